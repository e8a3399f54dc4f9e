// "File > Import > TMX Map": the save-changes question, the file chooser, the import into a new project,
// the list of what the map held that Zorva cannot show, the missing-resources check and the new project
// taken over by the session. Qt-free: the check comes in as a function, every message and the chooser go
// through the session's platform.
#pragma once

#include <string>

#include "app/map_import_command.h"
#include "app/project_session.h"
#include "import/tmx_import.h"

namespace zorva {

class TmxImportCommand {
public:
    explicit TmxImportCommand(ProjectSession& session, MissingResourcesCheck check = {},
                              TmxImportOptions options = {});

    MapImportOutcome run();

private:
    ProjectSession& session_;
    MissingResourcesCheck check_;
    TmxImportOptions options_;
    std::string folder_;  // of the last map chosen, for the next chooser
};

}  // namespace zorva
