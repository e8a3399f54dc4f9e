#include "projectfile/project_io.h"

#include "base/ascii_text.h"
#include "projectfile/xml_reader.h"
#include "projectfile/xml_writer.h"
#include "projectfile/zvp_reader.h"
#include "projectfile/zvp_writer.h"

namespace zorva {

namespace {}  // namespace

ProjectFormat project_format_from_path(std::string_view path) {
    if (ends_with_ignoring_case(path, ".xml")) return ProjectFormat::Xml;
    if (ends_with_ignoring_case(path, ".zvp")) return ProjectFormat::Zvp;
    return ProjectFormat::Unknown;
}

LoadResult read_project(std::string_view path, Platform* platform) {
    switch (project_format_from_path(path)) {
        case ProjectFormat::Xml:
            return read_xml_project(path, platform);
        case ProjectFormat::Zvp:
            return read_zvp_project(path, platform);
        case ProjectFormat::Unknown:
            break;
    }
    LoadResult result;
    result.message = "The file has an invalid extension:\n\n";
    result.message += path;
    result.message += "\n\nZorva only supports the following file extensions:\n.zvp\n.xml\n\n";
    return result;
}

bool write_project(std::string_view path, Project& project, bool keep_name, std::string* error) {
    switch (project_format_from_path(path)) {
        case ProjectFormat::Zvp:
            return write_zvp_project(path, project, keep_name, error);
        case ProjectFormat::Xml:
        case ProjectFormat::Unknown:
            break;
    }
    return write_xml_project(path, project, keep_name, error);
}

}  // namespace zorva
