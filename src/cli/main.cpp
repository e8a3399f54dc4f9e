// zorva-cli: the headless companion of the editor, for build pipelines and tests.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace zorva::cli {

std::span<const Command> commands() {
    // Commands register here, one line each.
    static const std::vector<Command> kCommands = {
        {"convert", "convert INPUT OUTPUT   read a project or TMX map, write it (.zvp binary, else XML)",
         run_convert, kConvertUsage},
        {"info", "info FILE [--json]     object counts and images that failed to load", run_info, kInfoUsage},
        {"export",
         "export PROJECT --exporter NAME --output FILE [--settings LAYOUT.zbe]   run an exporter plug-in",
         run_export_command, kExportUsage},
        {"import",
         "import SETTINGS.zis OUTPUT [--map FILE] [--image FILE] [--merge-into PROJECT]   import a binary "
         "MAP file",
         run_import, kImportUsage},
        {"check", "check PROJECT... [--werror] [--json]   problems a game build would trip over", run_check,
         kCheckUsage},
        {"diff", "diff A B [--json] [--picture OUT.png]   what changed between two versions", run_diff,
         kDiffUsage},
#ifdef ZORVA_CLI_RENDER
        {"render", "render PROJECT --output OUT.png [--whole] ...   draw a map as PNG (render --help)",
         run_render, kRenderUsage},
#endif
    };
    return kCommands;
}

#ifndef ZORVA_CLI_RENDER
void quiet_qt_messages() {}  // no Qt in this build
#endif

}  // namespace zorva::cli

namespace {

std::string usage() {
    std::string text =
        "Usage: zorva-cli COMMAND [ARGUMENTS]\n"
        "\n"
        "The headless tool of the Zorva level editor.\n"
        "\n"
        "Commands:\n";
    for (const auto& command : zorva::cli::commands()) {
        text += "  ";
        text += command.synopsis;
        text += '\n';
    }
    text +=
        "\n"
        "convert, export, render and check also take several projects or folders of them, with --jobs N to\n"
        "work on N at once; info, check and diff write JSON with --json (docs/zorva-cli.schema.json).\n"
        "\n"
        "Options:\n"
        "  --help       show this help and exit (COMMAND --help: the help of that command)\n"
        "  --version    show the version and exit (COMMAND --version too)\n";
    return text;
}

bool asks_for(zorva::cli::Arguments arguments, std::string_view option, std::string_view short_option = {}) {
    for (const char* argument : arguments) {
        const std::string_view text = argument;
        if (text == option || (!short_option.empty() && text == short_option)) return true;
    }
    return false;
}

int print_version() {
    std::printf("zorva-cli %s\n", ZORVA_VERSION);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(usage().c_str(), stderr);
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    if (name == "--version") return print_version();
    zorva::cli::quiet_qt_messages();
    for (const auto& command : zorva::cli::commands()) {
        if (command.name != name) continue;
        const zorva::cli::Arguments arguments(argv + 2, argv + argc);
        if (asks_for(arguments, "--help", "-h")) {
            std::fputs(command.usage, stdout);
            return 0;
        }
        if (asks_for(arguments, "--version")) return print_version();
        return command.run(arguments);
    }
    std::fprintf(stderr, "zorva-cli: unknown command '%s'\n\n%s", argv[1], usage().c_str());
    return 2;
}
