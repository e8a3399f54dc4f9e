// The JSON documents of zorva-cli (info, check and diff with --json). Their shape is versioned and
// described by the schema docs/zorva-cli.schema.json; every document starts with the members
//
//   "format": "zorva-cli", "format_version": 1, "command": "...", "tool_version": "..."
//
// A new member may appear within a format version; a member changes or goes away only with a new
// format_version.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/json_writer.h"
#include "cli/project_check.h"
#include "cli/project_diff.h"

namespace zorva::cli {

inline constexpr int kJsonFormatVersion = 1;

// Opens the document's object and writes the four members every document starts with.
void begin_document(JsonWriter& json, std::string_view command, std::string_view tool_version);

// A text of several lines (a reader's message) as an array of its lines, empty lines dropped.
void write_lines(JsonWriter& json, std::string_view key, std::string_view text);

void write_problem(JsonWriter& json, const Problem& problem);
void write_change(JsonWriter& json, const Change& change);
void write_diff_summary(JsonWriter& json, const DiffSummary& summary);

}  // namespace zorva::cli
