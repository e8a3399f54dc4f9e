#include "app/tmx_import_command.h"

#include <filesystem>
#include <vector>

namespace zorva {

TmxImportCommand::TmxImportCommand(ProjectSession& session, MissingResourcesCheck check,
                                   TmxImportOptions options)
    : session_(session), check_(std::move(check)), options_(options) {}

MapImportOutcome TmxImportCommand::run() {
    if (!session_.ask_save_changes()) return MapImportOutcome::Cancelled;
    Platform& platform = session_.platform();
    const std::vector<FileFilter> filters = {{"TMX Maps (*.tmx)", {"*.tmx"}}, {"All Files (*.*)", {"*"}}};
    const std::optional<std::string> chosen = platform.choose_open_file("Import TMX Map", filters, folder_);
    if (!chosen || chosen->empty()) return MapImportOutcome::Cancelled;
    folder_ = std::filesystem::path(*chosen).parent_path().string();

    TmxImportResult result;
    platform.set_busy(true);
    result = import_tmx_map(*chosen, nullptr, options_);
    platform.set_busy(false);
    if (!result.ok) {
        platform.message_box(result.message, result.caption, MessageButtons::Ok, MessageIcon::Stop,
                             Answer::Ok);
        return MapImportOutcome::Failed;
    }
    if (!result.notes.empty()) {
        std::string text = "The map was imported. Some of it cannot be shown in Zorva:\n";
        for (const auto& note : result.notes) text += "\n- " + note;
        platform.message_box(text, "Import TMX Map", MessageButtons::Ok, MessageIcon::Information,
                             Answer::Ok);
    }
    if (check_ && check_(*result.project, *chosen) == MissingResourcesOutcome::Cancelled)
        return MapImportOutcome::Cancelled;
    session_.adopt_import(std::move(result.project), result.map_id);
    return MapImportOutcome::Imported;
}

}  // namespace zorva
