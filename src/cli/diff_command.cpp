// zorva-cli diff A B: what changed between two versions of a project, as text, as JSON, or as a picture
// of the changed maps for code review.
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/ascii_text.h"
#include "cli/commands.h"
#include "cli/project_diff.h"
#include "cli/project_loading.h"
#include "cli/report_json.h"
#ifdef ZORVA_CLI_RENDER
#include "cli/diff_picture.h"
#endif

namespace zorva::cli {

const char kDiffUsage[] =
    "Usage: zorva-cli diff A B [--json] [--editor-state] [--picture OUT.png [--zoom PERCENT]]\n"
    "\n"
    "Lists what changed from project file A to project file B, one line each:\n"
    "  map 0 \"World\": renamed from \"Wrld\"\n"
    "  map 0 \"World\" / layer 1 \"Ground\": 12 cells changed in (3, 4)-(10, 7)\n"
    "  map 0 \"World\" / layer 1 \"Ground\" / instance 7: px: 10 -> 24\n"
    "  map 1 \"Cave\": added\n"
    "and a summary line. Objects are matched by their ids; cells are compared per layer.\n"
    "  --editor-state     also compare what only keeps the editor's state (selection, camera, zoom, the\n"
    "                     tile brush, remembered folders, id counters)\n"
    "  --json             one JSON document on standard output (docs/zorva-cli.schema.json)\n"
    "  --picture OUT.png  draw every map that changed as a row: A on the left, B on the right, changed\n"
    "                     cells outlined (an added map is drawn on the right only, a removed one on the\n"
    "                     left only)\n"
    "  --zoom PERCENT     the picture's zoom, 1 to 800 (default 100)\n"
    "Exit status: 0 no differences, 1 differences, 2 trouble (a project could not be read, wrong\n"
    "arguments, the picture could not be written).\n";

int run_diff(Arguments arguments) {
    std::string paths[2];
    int given = 0;
    bool json = false;
    DiffOptions options;
    std::string picture;
    long long zoom = 100;
    const auto refuse = [](const std::string& why) {
        std::fprintf(stderr, "zorva-cli diff: %s\n\n%s", why.c_str(), kDiffUsage);
        return 2;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--json") {
            json = true;
        } else if (argument == "--editor-state") {
            options.editor_state = true;
        } else if (argument == "--picture" || argument == "--zoom") {
            if (i + 1 >= arguments.size()) return refuse("a value is missing after " + std::string(argument));
            const std::string_view value = arguments[++i];
            if (argument == "--picture") {
                picture = std::string(value);
                continue;
            }
            const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), zoom);
            if (failure != std::errc() || end != value.data() + value.size() || zoom < 1 || zoom > 800)
                return refuse("invalid zoom (1 to 800) '" + std::string(value) + "'");
        } else if (argument.starts_with("--") || given == 2) {
            return refuse("invalid argument '" + std::string(argument) + "'");
        } else {
            paths[given++] = std::string(argument);
        }
    }
    if (given != 2) return refuse("two project files are needed");
    if (!picture.empty() && !ends_with_ignoring_case(picture, ".png"))
        return refuse("pictures are written as PNG only; the name must end in .png: " + picture);
#ifndef ZORVA_CLI_RENDER
    if (!picture.empty())
        return refuse("this zorva-cli was built without the Qt parts and draws no pictures");
#endif

    std::string messages[2];
    LoadResult a = load_project(paths[0], messages[0]);
    LoadResult b = load_project(paths[1], messages[1]);
    if (!a || !b) {
        if (json) {
            JsonWriter out;
            begin_document(out, "diff", ZORVA_VERSION);
            out.member("a", SystemText{paths[0]});
            out.member("b", SystemText{paths[1]});
            out.member("status", "unreadable");
            out.key("unreadable").begin_array();
            for (int i = 0; i < 2; ++i) {
                if ((i == 0 ? a : b)) continue;
                out.begin_object();
                out.member("project", SystemText{paths[i]});
                write_lines(out, "messages", messages[i]);
                out.end_object();
            }
            out.end_array();
            out.member("exit_status", 2);
            out.end_object();
            std::fputs(out.text().c_str(), stdout);
        } else {
            for (const std::string& text : messages) std::fputs(text.c_str(), stderr);
        }
        return 2;
    }
    if (!json)
        for (const std::string& text : messages) std::fputs(text.c_str(), stderr);

    const DiffReport report = diff_projects(*a.project, *b.project, options);
    int exit_status = report.identical() ? 0 : 1;
    bool picture_written = false;
    std::string picture_message;
#ifdef ZORVA_CLI_RENDER
    if (!picture.empty()) {
        const DiffPicture drawn =
            write_diff_picture(*a.project, *b.project, report, static_cast<std::uint32_t>(zoom), picture);
        picture_written = drawn.written;
        picture_message = drawn.message;
        if (drawn.failed) exit_status = 2;
    }
#endif

    if (json) {
        JsonWriter out;
        begin_document(out, "diff", ZORVA_VERSION);
        out.member("a", SystemText{paths[0]});
        out.member("b", SystemText{paths[1]});
        out.member("status", report.identical() ? "identical" : "different");
        out.member("editor_state", options.editor_state);
        out.key("changes").begin_array();
        for (const Change& change : report.changes) write_change(out, change);
        out.end_array();
        write_diff_summary(out, report.summary);
        if (!picture.empty()) {
            out.key("picture").begin_object();
            out.member("file", SystemText{picture});
            out.member("written", picture_written);
            if (!picture_message.empty()) out.member("message", SystemText{picture_message});
            out.end_object();
        }
        out.member("exit_status", exit_status);
        out.end_object();
        std::fputs(out.text().c_str(), stdout);
    } else {
        std::string text;
        for (const Change& change : report.changes)
            for (const std::string& line : change_lines(change)) text += line + "\n";
        text += report.identical() ? std::string("no differences") : summary_line(report.summary);
        text += '\n';
        std::fputs(text.c_str(), stdout);
    }
    if (!picture_message.empty()) std::fprintf(stderr, "zorva-cli diff: %s\n", picture_message.c_str());
    return exit_status;
}

}  // namespace zorva::cli
