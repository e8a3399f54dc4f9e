#include "exporters/binmapfile/settings_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "base/safe_file.h"

namespace zorva::binmap {
namespace {

std::uint32_t get_le32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void put_le32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

ExportVariable record_to_variable(const std::uint8_t* record) {
    // Bytes 0 to 7 are the two link words, which carry no information.
    return {get_le32(record + 8), get_le32(record + 12), get_le32(record + 16)};
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

std::string with_path(const char* text, const std::string& path) { return text + path; }

}  // namespace

FileFilter settings_file_filter() {
    return {std::string("Zorva Binary Exporter Settings Files (*") + kSettingsExtension + ")",
            {std::string("*") + kSettingsExtension}};
}

SettingsReadResult read_settings(const ReadBytes& read, const SettingsReadOptions& options) {
    SettingsReadResult result;
    std::uint8_t header[kSettingsHeaderSize] = {};
    if (read(header, sizeof header) < sizeof header) {
        result.status = SettingsReadResult::Status::BadHeader;
        return result;
    }
    result.count = get_le32(header);
    result.flags = get_le32(header + 4);
    try {
        for (std::uint32_t k = 0; k < result.count; ++k) {
            if (result.variables.size() >= options.record_limit) throw std::bad_alloc();
            std::uint8_t record[kSettingsRecordSize] = {};
            const std::size_t got = read(record, sizeof record);
            if (got < sizeof record) {
                const bool keep = !options.continue_after_short_read || options.continue_after_short_read();
                if (!keep) {
                    result.status = SettingsReadResult::Status::Stopped;
                    return result;
                }
                // The short record enters with zeros where nothing was read. Records after it could only
                // be zeros (variable id 0 is no variable), so none are made for them.
                if (got > 0) result.variables.push_back(record_to_variable(record));
                result.status = SettingsReadResult::Status::Truncated;
                return result;
            }
            result.variables.push_back(record_to_variable(record));
        }
    } catch (const std::bad_alloc&) {
        result.variables.clear();
        result.variables.shrink_to_fit();
        result.status = SettingsReadResult::Status::OutOfMemory;
    }
    return result;
}

std::vector<std::uint8_t> settings_file_bytes(std::uint32_t flags,
                                              std::span<const ExportVariable> variables) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kSettingsHeaderSize + kSettingsRecordSize * variables.size());
    put_le32(bytes, static_cast<std::uint32_t>(variables.size()));
    put_le32(bytes, flags);
    for (const ExportVariable& variable : variables) {
        put_le32(bytes, 0);
        put_le32(bytes, 0);
        put_le32(bytes, variable.variable_id);
        put_le32(bytes, variable.data_type);
        put_le32(bytes, variable.string_length);
    }
    return bytes;
}

bool is_noname(const std::string& name) {
    const std::string noname = kNonameSettings;
    return name.empty() ||
           std::equal(name.begin(), name.end(), noname.begin(), noname.end(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

LoadStatus load_settings(ExportSettings& settings, const LoadRequest& request, Platform* platform) {
    const bool talk = !request.silent && platform != nullptr;
    std::string path = request.path;
    if (path.empty()) {
        if (!talk) return LoadStatus::Error;
        const std::string start = std::filesystem::path(settings.file_name).parent_path().string();
        auto chosen = platform->choose_open_file("Load Settings", {settings_file_filter()}, start);
        if (!chosen || chosen->empty()) return LoadStatus::Cancelled;
        path = *chosen;
    }

    FilePointer file(std::fopen(path.c_str(), "rb"));
    std::error_code ignored;
    if (!file || std::filesystem::is_directory(path, ignored)) {
        if (talk) {
            platform->message_box(with_path("Failed to open the file:\n", path), "Error - Load",
                                  MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
        }
        return LoadStatus::Error;
    }

    SettingsReadOptions options;
    options.record_limit = request.record_limit;
    if (talk) {
        options.continue_after_short_read = [&] {
            const std::string question = "This file may an invalid settings file: \n" + path +
                                         "\n\nLoading it may cause errors.\n\nContinue loading?";
            return platform->message_box(question, "Error - Load", MessageButtons::YesNoCancel,
                                         MessageIcon::Warning, Answer::Cancel) == Answer::Yes;
        };
    }
    std::FILE* stream = file.get();
    SettingsReadResult read = read_settings(
        [stream](std::uint8_t* into, std::size_t count) { return std::fread(into, 1, count, stream); },
        options);
    file.reset();

    using Status = SettingsReadResult::Status;
    if (read.status == Status::BadHeader) {
        if (talk) {
            platform->message_box(with_path("This file is not a valid settings file:\n", path),
                                  "Error - Load", MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
        }
        return LoadStatus::Error;
    }
    if (read.status == Status::OutOfMemory) {
        if (talk) {
            platform->message_box(with_path("Not enough memmory to load the file:\n", path), "Error - Load",
                                  MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
        }
        return LoadStatus::Error;
    }
    settings.list.assign(std::move(read.variables));
    settings.flags = read.flags;
    settings.file_name = path;
    return LoadStatus::Loaded;
}

SaveStatus save_settings(ExportSettings& settings, bool save_as, Platform& platform) {
    std::string path = settings.file_name;
    if (save_as || is_noname(path)) {
        const std::filesystem::path current(settings.file_name);
        auto chosen = platform.choose_save_file("Save Settings", {settings_file_filter()},
                                                current.parent_path().string(), current.filename().string());
        if (!chosen || chosen->path.empty()) return SaveStatus::Cancelled;
        path = chosen->path;
        if (std::filesystem::path(path).extension().empty()) path += kSettingsExtension;
    }
    const std::vector<std::uint8_t> bytes = settings_file_bytes(settings.flags, settings.list.items());
    if (!write_file_safely(path, bytes)) {
        platform.message_box(with_path("Failed to save the file:\n", path), "Error - Save",
                             MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
        return SaveStatus::Error;
    }
    settings.file_name = path;
    return SaveStatus::Saved;
}

std::filesystem::path settings_folder_for(const std::string& data_folder) {
    std::error_code error;
    std::filesystem::path folder =
        data_folder.empty() ? std::filesystem::current_path(error) : std::filesystem::path(data_folder);
    if (std::filesystem::is_directory(folder / "Exporters", error)) folder /= "Exporters";
    return folder;
}

std::string read_remembered_settings(const std::filesystem::path& folder) {
    FilePointer file(std::fopen((folder / kRememberedSettingsFile).string().c_str(), "rb"));
    if (!file) return kNonameSettings;
    char buffer[kRememberedSettingsSize] = {};
    const std::size_t got = std::fread(buffer, 1, sizeof buffer - 1, file.get());
    const std::string name(buffer, strnlen(buffer, got));
    return name.empty() ? std::string(kNonameSettings) : name;
}

bool write_remembered_settings(const std::filesystem::path& folder, const std::string& name) {
    std::uint8_t bytes[kRememberedSettingsSize] = {};
    const std::string& stored = name.size() < kRememberedSettingsSize ? name : std::string(kNonameSettings);
    std::memcpy(bytes, stored.data(), std::min(stored.size(), kRememberedSettingsSize - 1));
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return write_file_safely((folder / kRememberedSettingsFile).string(), bytes);
}

bool load_remembered_settings(ExportSettings& settings, const std::filesystem::path& folder) {
    settings.reset();
    const std::string name = read_remembered_settings(folder);
    if (is_noname(name)) return false;
    LoadRequest request;
    request.path = name;
    request.silent = true;
    if (load_settings(settings, request, nullptr) == LoadStatus::Loaded) return true;
    settings.file_name = kNonameSettings;
    write_remembered_settings(folder, kNonameSettings);
    return false;
}

}  // namespace zorva::binmap
