// Shows the main dialog inside the editor: modal, owned by the editor's main window, centred on the
// screen, on the main window's thread (the export itself runs on another one, which waits for the
// dialog). A headless host (no main window) or a process without a QApplication cannot show it.
#pragma once

#include "exporters/binmapfile/export_run.h"

namespace zorva::binmap {

class QtLayoutDialogRunner : public LayoutDialogRunner {
public:
    DialogOutcome run(ExportSettings& settings, const std::filesystem::path& settings_folder,
                      const ExporterHostApplication& application) override;
};

}  // namespace zorva::binmap
