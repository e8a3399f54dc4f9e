#include "projectfile/relative_path.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace zorva {

namespace fs = std::filesystem;

namespace {

std::string with_forward_slashes(std::string_view path) {
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

// The components of an absolute, lexically normal path, without the root.
std::vector<std::string> components(const fs::path& path) {
    std::vector<std::string> parts;
    for (const auto& part : path.relative_path()) {
        if (!part.empty()) parts.push_back(part.string());
    }
    return parts;
}

fs::path folder_of(std::string_view file) { return fs::path(absolute_path(file)).parent_path(); }

}  // namespace

std::string absolute_path(std::string_view path) {
    const fs::path given(with_forward_slashes(path));
    std::error_code error;
    fs::path result = given.is_absolute() ? given : fs::absolute(given, error);
    if (error) result = given;
    std::string text = result.lexically_normal().string();
    // Keep "/a/b/" for folders but drop the "." that lexically_normal leaves for "a/.".
    if (text.size() > 1 && text.ends_with("/.")) text.pop_back();
    return text;
}

std::string make_relative_path(std::string_view project_file, std::string_view target, PathKind kind) {
    const std::string target_text = with_forward_slashes(target);
    if (target_text.empty() || target_text.front() != '/') return {};

    const fs::path normal_target = fs::path(target_text).lexically_normal();
    fs::path target_folder;
    std::string name;
    if (kind == PathKind::File) {
        target_folder = normal_target.parent_path();
        name = normal_target.filename().string();
    } else {
        target_folder = normal_target;
    }

    const std::vector<std::string> from = components(folder_of(project_file));
    const std::vector<std::string> to = components(target_folder);
    std::size_t common = 0;
    while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;

    std::string folder;
    if (common == from.size()) {
        folder = ".";
    } else {
        for (std::size_t i = common; i < from.size(); ++i) {
            if (!folder.empty()) folder += '/';
            folder += "..";
        }
    }
    for (std::size_t i = common; i < to.size(); ++i) {
        folder += '/';
        folder += to[i];
    }
    return folder + "/" + name;
}

std::string resolve_relative_path(std::string_view project_file, std::string_view relative, PathKind kind) {
    const std::string value = with_forward_slashes(relative);
    const std::size_t slash = value.rfind('/');
    const std::string folder_part = slash == std::string::npos ? std::string() : value.substr(0, slash);
    const std::string name_part = slash == std::string::npos ? value : value.substr(slash + 1);

    std::string joined = folder_of(project_file).string();
    if (!folder_part.empty()) {
        if (folder_part.front() == '/') return {};  // not a relative value
        if (!joined.ends_with('/')) joined += '/';
        joined += folder_part;
    }
    std::string result = fs::path(joined).lexically_normal().string();
    if (result.size() > 1 && result.ends_with("/.")) result.pop_back();
    if (!result.ends_with('/')) result += '/';
    result += name_part;

    std::error_code error;
    if (kind == PathKind::File) {
        if (name_part.empty() || !fs::is_regular_file(result, error)) return {};
    } else if (!fs::is_directory(result, error)) {
        return {};
    }
    return result;
}

}  // namespace zorva
