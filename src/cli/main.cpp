// zorva-cli: the headless companion of the editor, for build pipelines and tests.
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "Usage: zorva-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "The headless tool of the Zorva level editor.\n"
    "\n"
    "Options:\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("zorva-cli %s\n", ZORVA_VERSION);
        return 0;
    }
    std::fprintf(stderr, "zorva-cli: unknown command '%s'\n\n%s", argv[1], kUsage);
    return 2;
}
