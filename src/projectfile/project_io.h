// Reading and writing a whole project, the storage form chosen by the file's extension.
#pragma once

#include <string>
#include <string_view>

#include "base/platform.h"
#include "model/project.h"
#include "projectfile/load_result.h"

namespace zorva {

// The storage forms of a project file.
enum class ProjectFormat {
    Unknown,  // any other extension
    Xml,      // ".xml": the XML document
    Zvp,      // ".zvp": the binary project file
};

// The form named by the extension of `path`, compared in any letter case.
ProjectFormat project_format_from_path(std::string_view path);

// Reads a project by extension. Another extension fails with the invalid-extension message.
LoadResult read_project(std::string_view path, Platform* platform = nullptr);

// Writes a project: ".zvp" (any case) as a binary project file, every other name as XML. Failure leaves
// any previous file untouched (see write_xml_project). On success, unless `keep_name` is set, the
// project's path and file name become `path`.
bool write_project(std::string_view path, Project& project, bool keep_name = false,
                   std::string* error = nullptr);

}  // namespace zorva
