// Shared pieces of the editor tests: a scripted platform that also answers the file choosers, and whole
// files read and written.
#pragma once

#include <deque>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/scripted_platform.h"

namespace zorva::test {

class ChooserPlatform : public ScriptedPlatform {
public:
    struct Chooser {
        std::string title;
        std::vector<FileFilter> filters;
        std::string start_folder;
    };

    std::optional<std::string> choose_open_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view start_folder) override {
        choosers.push_back({std::string(title), filters, std::string(start_folder)});
        return next(open_files);
    }
    std::optional<SaveChoice> choose_save_file(std::string_view title, const std::vector<FileFilter>& filters,
                                               std::string_view start_folder, std::string_view) override {
        choosers.push_back({std::string(title), filters, std::string(start_folder)});
        return next(save_files);
    }

    std::deque<std::optional<std::string>> open_files;
    std::deque<std::optional<SaveChoice>> save_files;  // the name typed and the index of the filter picked
    std::vector<Chooser> choosers;

private:
    template <class T>
    static std::optional<T> next(std::deque<std::optional<T>>& queue) {
        if (queue.empty()) return std::nullopt;
        std::optional<T> value = queue.front();
        queue.pop_front();
        return value;
    }
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

}  // namespace zorva::test
