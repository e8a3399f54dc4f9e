#include "cli/project_list.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "projectfile/project_io.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

bool matches_globs(std::string_view relative, const std::vector<std::string>& globs) {
    if (globs.empty()) return project_format_from_path(relative) != ProjectFormat::Unknown;
    const std::string path(relative);
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const std::string& glob : globs) {
        const bool whole_path = glob.find('/') != std::string::npos;
        if (fnmatch(glob.c_str(), whole_path ? path.c_str() : name.c_str(), whole_path ? FNM_PATHNAME : 0) ==
            0)
            return true;
    }
    return false;
}

namespace {

bool search_folder(const std::string& folder, const std::vector<std::string>& globs,
                   std::vector<std::string>& found, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code failure;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, failure);
    const fs::recursive_directory_iterator end;
    std::vector<std::string> matches;
    for (; !failure && it != end; it.increment(failure)) {
        const fs::directory_entry& entry = *it;
        const std::string file_name = entry.path().filename().string();
        std::error_code ignored;
        if (entry.is_directory(ignored)) {
            if (file_name.starts_with(".")) it.disable_recursion_pending();
            continue;
        }
        if (!entry.is_regular_file(ignored)) continue;
        const std::string relative = entry.path().lexically_relative(folder).generic_string();
        if (matches_globs(relative, globs)) matches.push_back(entry.path().string());
    }
    if (failure) {
        error = "cannot search the folder " + folder + ": " + failure.message();
        return false;
    }
    if (matches.empty()) {
        error = "the folder " + folder + " holds no project file" +
                (globs.empty() ? std::string(" (.xml or .zvp)") : " that matches the --glob patterns");
        return false;
    }
    std::sort(matches.begin(), matches.end());
    found.insert(found.end(), matches.begin(), matches.end());
    return true;
}

}  // namespace

bool expand_project_inputs(const std::vector<std::string>& inputs, const std::vector<std::string>& globs,
                           std::vector<std::string>& projects, std::string& error) {
    for (const std::string& input : inputs) {
        std::error_code ignored;
        if (std::filesystem::is_directory(input, ignored)) {
            if (!search_folder(input, globs, projects, error)) return false;
        } else {
            projects.push_back(input);
        }
    }
    return true;
}

std::string output_for(std::string_view pattern, std::string_view project) {
    const std::string name = std::filesystem::path(project).stem().string();
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern.substr(i).starts_with("{name}")) {
            out += name;
            i += 6;
        } else {
            out += pattern[i++];
        }
    }
    return out;
}

bool outputs_for(std::string_view pattern, const std::vector<std::string>& projects,
                 std::vector<std::string>& outputs, std::string& error) {
    if (projects.size() > 1 && pattern.find("{name}") == std::string_view::npos) {
        error =
            "several projects need an output name with {name} in it (the project's file name without "
            "its extension), such as out/{name}.bin";
        return false;
    }
    std::map<std::string, std::size_t> first;
    for (std::size_t i = 0; i < projects.size(); ++i) {
        outputs.push_back(output_for(pattern, projects[i]));
        const auto [at, inserted] = first.emplace(absolute_path(outputs.back()), i);
        if (!inserted) {
            error = projects[at->second] + " and " + projects[i] + " would both write " + outputs.back();
            return false;
        }
    }
    return true;
}

}  // namespace zorva::cli
