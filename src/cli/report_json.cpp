#include "cli/report_json.h"

#include <variant>

namespace zorva::cli {

void begin_document(JsonWriter& json, std::string_view command, std::string_view tool_version) {
    json.begin_object();
    json.member("format", "zorva-cli");
    json.member("format_version", kJsonFormatVersion);
    json.member("command", command);
    json.member("tool_version", tool_version);
}

void write_lines(JsonWriter& json, std::string_view key, std::string_view text) {
    json.key(key).begin_array();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) json.value(SystemText{text.substr(start, end - start)});
        start = end + 1;
    }
    json.end_array();
}

void write_problem(JsonWriter& json, const Problem& problem) {
    json.begin_object();
    json.member("severity", severity_name(problem.severity));
    json.member("code", problem.code);
    json.member("message", problem.message);
    json.member("more", static_cast<std::uint64_t>(problem.more));
    json.key("object").begin_object();
    problem.object.write_members(json);
    json.end_object();
    json.end_object();
}

namespace {

void write_field_value(JsonWriter& json, const FieldValue& value) {
    std::visit([&](const auto& v) { json.value(v); }, value);
}

}  // namespace

void write_change(JsonWriter& json, const Change& change) {
    json.begin_object();
    json.member("change", change_kind_name(change.kind));
    json.key("object").begin_object();
    change.object.write_members(json);
    json.end_object();
    switch (change.kind) {
        case ChangeKind::Added:
        case ChangeKind::Removed:
            break;
        case ChangeKind::Renamed:
            json.member("old_name", change.old_name);
            break;
        case ChangeKind::Moved:
            json.member("from", change.from);
            json.member("to", change.to);
            break;
        case ChangeKind::Changed:
            json.key("fields").begin_array();
            for (const FieldChange& field : change.fields) {
                json.begin_object();
                json.member("field", field.field);
                json.key("before");
                write_field_value(json, field.before);
                json.key("after");
                write_field_value(json, field.after);
                json.end_object();
            }
            json.end_array();
            break;
        case ChangeKind::Cells:
            json.key("cells").begin_object();
            json.member("changed", static_cast<std::uint64_t>(change.cells_changed));
            json.key("box").begin_object();
            json.member("x", change.box.x);
            json.member("y", change.box.y);
            json.member("width", change.box.width);
            json.member("height", change.box.height);
            json.end_object();
            json.end_object();
            break;
    }
    json.end_object();
}

void write_diff_summary(JsonWriter& json, const DiffSummary& summary) {
    json.key("summary").begin_object();
    json.member("added", static_cast<std::uint64_t>(summary.added));
    json.member("removed", static_cast<std::uint64_t>(summary.removed));
    json.member("renamed", static_cast<std::uint64_t>(summary.renamed));
    json.member("moved", static_cast<std::uint64_t>(summary.moved));
    json.member("changed", static_cast<std::uint64_t>(summary.changed));
    json.member("cells_changed", static_cast<std::uint64_t>(summary.cells_changed));
    json.member("grids_changed", static_cast<std::uint64_t>(summary.grids_changed));
    json.end_object();
}

}  // namespace zorva::cli
