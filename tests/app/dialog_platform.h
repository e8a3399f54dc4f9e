// The scripted platform with scripted colour and folder choosers, for the dialog tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/scripted_platform.h"

namespace zorva::test {

class DialogPlatform : public ScriptedPlatform {
public:
    std::optional<std::uint32_t> choose_colour(std::uint32_t initial) override {
        colour_requests.push_back(initial);
        return next_colour;
    }
    std::optional<std::string> choose_folder(std::string_view title, std::string_view start_folder) override {
        folder_requests.push_back({std::string(title), std::string(start_folder)});
        return next_folder;
    }

    std::optional<std::uint32_t> next_colour;
    std::vector<std::uint32_t> colour_requests;
    std::optional<std::string> next_folder;
    struct FolderRequest {
        std::string title;
        std::string start_folder;
    };
    std::vector<FolderRequest> folder_requests;
};

}  // namespace zorva::test
