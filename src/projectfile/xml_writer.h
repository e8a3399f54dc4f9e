// The XML project file writer: the whole Project as one ".xml" document, line for line in the layout
// the reader and older tools expect (CR LF line ends, tab indentation, ISO-8859-1 declaration).
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

#include "model/project.h"

namespace zorva {

// Where the writer's bytes go. The writer hands over large chunks (tens of kilobytes), never single
// characters, so a virtual call per chunk costs nothing.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(const char* data, std::size_t size) = 0;
};

// The program name and version in the creation comment.
inline constexpr std::string_view kProgramName = "Zorva";
inline constexpr std::string_view kProgramVersion = "1.0.4";

// Writes the document for `project` to `sink`. `file_name` is the value of the `file_name` attribute and
// the base of every relative path; `local_date` the creation date of line 2 (null: the line has no date).
void write_xml_document(const Project& project, std::string_view file_name, const std::tm* local_date,
                        ByteSink& sink);

// The document as a string (tests, benchmarks).
std::string xml_document_text(const Project& project, std::string_view file_name, const std::tm* local_date);

// Writes `project` to `path` through a temporary file renamed over the target, dated with today's local
// date. On success, unless `keep_name` is set (automatic backups), the project's path and file name become
// `path`. On failure (empty path, file not creatable, any write or the close failing) the previous file is
// untouched, the project's name unchanged, `error` receives the reason and false is returned.
bool write_xml_project(std::string_view path, Project& project, bool keep_name, std::string* error = nullptr);

}  // namespace zorva
