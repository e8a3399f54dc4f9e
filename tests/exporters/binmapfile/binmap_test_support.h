// Helpers shared by the binary exporter's tests.
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "support/scripted_platform.h"

namespace zorva::binmap::test {

// A scripted platform whose file choosers answer from the script too.
class ChooserPlatform : public zorva::test::ScriptedPlatform {
public:
    std::optional<std::string> choose_open_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view start_folder) override {
        chooser_titles.emplace_back(title);
        last_filters = filters;
        last_start_folder = start_folder;
        return open_choice;
    }
    std::optional<SaveChoice> choose_save_file(std::string_view title, const std::vector<FileFilter>& filters,
                                               std::string_view start_folder,
                                               std::string_view /*proposed_name*/) override {
        chooser_titles.emplace_back(title);
        last_filters = filters;
        last_start_folder = start_folder;
        if (!save_choice) return std::nullopt;
        return SaveChoice{*save_choice, 0};
    }

    std::optional<std::string> open_choice;
    std::optional<std::string> save_choice;
    std::vector<std::string> chooser_titles;
    std::vector<FileFilter> last_filters;
    std::string last_start_folder;
};

inline std::vector<std::uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_bytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void append_le32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A settings file image: header, then (id, type, length) records with zero link words.
inline std::vector<std::uint8_t> zbe(std::uint32_t count, std::uint32_t flags,
                                     const std::vector<std::array<std::uint32_t, 3>>& records) {
    std::vector<std::uint8_t> bytes;
    append_le32(bytes, count);
    append_le32(bytes, flags);
    for (const auto& record : records) {
        append_le32(bytes, 0);
        append_le32(bytes, 0);
        for (std::uint32_t value : record) append_le32(bytes, value);
    }
    return bytes;
}

}  // namespace zorva::binmap::test
