// Feeds arbitrary bytes to the "Settings.cfg" reader and checks the corrections and clamped getters hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "prefs/preferences.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zorva::Preferences prefs;
    prefs.load_bytes(data, size);
    if (!prefs.flag(zorva::FlagA::ViewPaths) || prefs.recent_count_raw() < 1 ||
        prefs.recent_count_raw() > 10 || prefs.backup_interval_raw() < 1 ||
        prefs.backup_interval_raw() > 120 || prefs.max_backup_files_raw() < 5 ||
        prefs.max_backup_files_raw() > 100) {
        std::abort();
    }
    (void)prefs.undo_count_clamped();
    (void)prefs.path_normals_length_clamped();
    (void)prefs.recent_projects();
    (void)prefs.project_defaults();
    prefs.add_recent("/fuzz/project.xml");
    if (prefs.recent_entry(0) != "/fuzz/project.xml") std::abort();
    return 0;
}
