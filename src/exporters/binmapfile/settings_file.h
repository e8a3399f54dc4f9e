// The binary exporter's settings files: ".zbe" layouts and the remembered-settings file
// "ZvBinMapFile.cfg".
//
// A ".zbe" file is little-endian without magic: a 4-byte count, the 4-byte flags word, then per export
// variable 20 bytes: two link words (ignored, written as 0), variable id, data type id, string length.
// "ZvBinMapFile.cfg" is exactly 260 bytes: the full path of the last settings file, NUL-terminated and
// padded with zero bytes ("Noname.zbe" means none).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "base/platform.h"
#include "exporters/binmapfile/export_list.h"

namespace zorva::binmap {

inline constexpr std::size_t kSettingsHeaderSize = 8;
inline constexpr std::size_t kSettingsRecordSize = 20;
inline constexpr std::size_t kRememberedSettingsSize = 260;
inline constexpr const char* kRememberedSettingsFile = "ZvBinMapFile.cfg";
inline constexpr const char* kSettingsExtension = ".zbe";

// The file-type filter of the load and save dialogs.
FileFilter settings_file_filter();

// --- Reading -----------------------------------------------------------------------------------------

// Reads up to `count` bytes into `into`; returns how many were read (fewer only at the end of the input).
using ReadBytes = std::function<std::size_t(std::uint8_t* into, std::size_t count)>;

struct SettingsReadResult {
    enum class Status {
        Complete,     // every counted record was read
        Truncated,    // the input ended inside the records; `variables` holds what was kept
        Stopped,      // the input ended inside the records and the caller chose to stop there
        BadHeader,    // fewer than 8 bytes
        OutOfMemory,  // a record could not be allocated; `variables` is empty
    };
    Status status = Status::Complete;
    std::uint32_t count = 0;  // as stored in the header
    std::uint32_t flags = 0;
    std::vector<ExportVariable> variables;
};

struct SettingsReadOptions {
    // Asked once when the input ends inside the records: true keeps the short record (zeros where
    // nothing was read), false stops with the complete records. Unset means keep going without asking.
    std::function<bool()> continue_after_short_read;
    // Records beyond this many fail as out of memory (lets tests reach that path).
    std::size_t record_limit = std::numeric_limits<std::size_t>::max();
};

// Never allocates more than the input really holds: records are made only from bytes that were read,
// whatever the header's count says.
SettingsReadResult read_settings(const ReadBytes& read, const SettingsReadOptions& options = {});

// The 8 + 20 × n bytes of a settings file.
std::vector<std::uint8_t> settings_file_bytes(std::uint32_t flags, std::span<const ExportVariable> variables);

// --- Load and save -----------------------------------------------------------------------------------

enum class LoadStatus { Loaded, Cancelled, Error };
enum class SaveStatus { Saved, Cancelled, Error };

struct LoadRequest {
    std::string path;     // empty: ask with an open-file dialog (never in silent mode)
    bool silent = false;  // no message boxes, no questions
    std::size_t record_limit = std::numeric_limits<std::size_t>::max();
};

// Loads a settings file into `settings`: on success the list, flags and file name are replaced; on
// failure or cancel nothing changes. `platform` may be null in silent mode.
LoadStatus load_settings(ExportSettings& settings, const LoadRequest& request, Platform* platform);

// Saves the list and flags. Without `save_as` it writes straight to the current file name when that is not
// empty and not "Noname.zbe" (in any case); otherwise it asks for a name. On success the name becomes the
// current file name. The previous file survives a failed save.
SaveStatus save_settings(ExportSettings& settings, bool save_as, Platform& platform);

// True for "" and any case of "Noname.zbe": settings never saved.
bool is_noname(const std::string& name);

// --- Remembered settings -----------------------------------------------------------------------------

// The settings folder for a data folder: "<data>/Exporters/" when that subfolder exists, else "<data>/".
// An empty data folder means the current folder.
std::filesystem::path settings_folder_for(const std::string& data_folder);

// The name stored in ZvBinMapFile.cfg in `folder`; "Noname.zbe" when the file is missing or empty.
std::string read_remembered_settings(const std::filesystem::path& folder);

// Stores `name` (260 bytes, zero-padded); a name of 260 characters or more cannot be stored and is
// remembered as "Noname.zbe".
bool write_remembered_settings(const std::filesystem::path& folder, const std::string& name);

// The start of every run: a fresh state, then the remembered settings file is loaded silently. Returns
// true when it was loaded; when it could not be loaded the remembered name becomes "Noname.zbe" again.
bool load_remembered_settings(ExportSettings& settings, const std::filesystem::path& folder);

}  // namespace zorva::binmap
