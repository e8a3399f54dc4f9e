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
        {"info", "info FILE              object counts and images that failed to load", run_info, kInfoUsage},
        {"export",
         "export PROJECT --exporter NAME --output FILE [--settings LAYOUT.zbe]   run an exporter plug-in",
         run_export_command, kExportUsage},
        {"import",
         "import SETTINGS.zis OUTPUT [--map FILE] [--image FILE] [--merge-into PROJECT]   import a binary "
         "MAP file",
         run_import, kImportUsage},
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
        "Options:\n"
        "  --help       show this help and exit (COMMAND --help: the help of that command)\n"
        "  --version    show the version and exit\n";
    return text;
}

bool asks_for_help(zorva::cli::Arguments arguments) {
    for (const char* argument : arguments) {
        const std::string_view text = argument;
        if (text == "--help" || text == "-h") return true;
    }
    return false;
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
    if (name == "--version") {
        std::printf("zorva-cli %s\n", ZORVA_VERSION);
        return 0;
    }
    zorva::cli::quiet_qt_messages();
    for (const auto& command : zorva::cli::commands()) {
        if (command.name != name) continue;
        const zorva::cli::Arguments arguments(argv + 2, argv + argc);
        if (asks_for_help(arguments)) {
            std::fputs(command.usage, stdout);
            return 0;
        }
        return command.run(arguments);
    }
    std::fprintf(stderr, "zorva-cli: unknown command '%s'\n\n%s", argv[1], usage().c_str());
    return 2;
}
