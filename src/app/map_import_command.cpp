#include "app/map_import_command.h"

#include "app/import_preferences.h"
#include "prefs/preferences.h"

namespace zorva {

namespace {

class BusyCursor {
public:
    explicit BusyCursor(Platform& platform) : platform_(platform) { platform_.set_busy(true); }
    ~BusyCursor() { platform_.set_busy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Platform& platform_;
};

}  // namespace

MapImportCommand::MapImportCommand(ProjectSession& session, Dialog dialog, MissingResourcesCheck check,
                                   ImportOptions options)
    : session_(session), dialog_(std::move(dialog)), check_(std::move(check)), options_(options) {}

std::string MapImportCommand::backup_failed_text() {
    return "The open project could not be backed up before the merge.\n\nThe merge cannot be undone. Merge "
           "anyway?";
}

ImportSettings MapImportCommand::initial_settings() const {
    ImportSettings settings = import_settings_from_preferences(session_.preferences());
    settings.tile_set_image = tile_set_image_;
    return settings;
}

MapImportOutcome MapImportCommand::run() {
    if (!session_.ask_save_changes()) return MapImportOutcome::Cancelled;
    const std::optional<ImportSettings> chosen = dialog_ ? dialog_(initial_settings()) : std::nullopt;
    if (!chosen) return MapImportOutcome::Cancelled;
    const ImportSettings& settings = *chosen;
    Preferences& preferences = session_.preferences();
    store_import_settings(preferences, settings);
    tile_set_image_ = settings.tile_set_image;
    preferences.save(Preferences::settings_file(session_.data_folder()));

    Platform& platform = session_.platform();
    // The merge cannot be undone: unsaved work is backed up first.
    if (settings.merge && session_.project().modified &&
        session_.backup_now() != AutoBackup::Result::Written &&
        platform.message_box(backup_failed_text(), "Merge", MessageButtons::YesNo, MessageIcon::Warning,
                             Answer::No) != Answer::Yes)
        return MapImportOutcome::Cancelled;

    ImportResult result;
    {
        BusyCursor busy(platform);
        result =
            import_binary_map(settings, settings.merge ? &session_.project() : nullptr, platform, options_);
    }
    if (!result.ok) {
        platform.message_box(result.message, result.caption, MessageButtons::Ok, MessageIcon::Stop,
                             Answer::Ok);
        if (result.target_changed) session_.keep_partial_merge();
        return MapImportOutcome::Failed;
    }

    Project& imported = result.project ? *result.project : session_.project();
    if (check_ && check_(imported, settings.map_file.str()) == MissingResourcesOutcome::Cancelled) {
        // A new project goes with `result`; a merged one stays as it now is.
        if (!result.project) session_.keep_partial_merge();
        return MapImportOutcome::Cancelled;
    }
    session_.adopt_import(std::move(result.project), result.map_id);
    return MapImportOutcome::Imported;
}

}  // namespace zorva
