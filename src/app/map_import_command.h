// "Import Binary MAP File": the save-changes question, the dialog, the settings remembered, the automatic
// backup before a merge into a modified project, the import, the missing-resources check and the new or
// merged project taken over by the session. Qt-free: the dialog and the check come in as functions, every
// message goes through the session's platform.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/project_session.h"
#include "import/import_settings.h"
#include "import/map_import.h"

namespace zorva {

enum class MapImportOutcome { Cancelled, Failed, Imported };

class MapImportCommand {
public:
    // Shows the dialog on `initial`; the settings to import with, or none when the dialog was cancelled.
    using Dialog = std::function<std::optional<ImportSettings>(const ImportSettings& initial)>;

    MapImportCommand(ProjectSession& session, Dialog dialog, MissingResourcesCheck check = {},
                     ImportOptions options = {});

    MapImportOutcome run();

    // The settings the dialog opens with: those remembered in the preferences, with the tile set image of
    // the last import of this run.
    ImportSettings initial_settings() const;

    static std::string backup_failed_text();

private:
    ProjectSession& session_;
    Dialog dialog_;
    MissingResourcesCheck check_;
    ImportOptions options_;
    PathText tile_set_image_;  // remembered for the run
};

}  // namespace zorva
