// Compiled into every test program: leaks the sanitizer builds' leak checker is not to report. The system
// font library keeps a cache for the life of the process.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
