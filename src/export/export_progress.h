// What the progress window shows while a plug-in runs: the status text, the percentage and the cancel
// flag, shared under one lock by the thread that runs the plug-in (through the table's SetProgress,
// AddMessage and IsExportCancelled) and the user-interface thread that paints the window and takes the
// CANCEL click.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "export/export_feedback.h"

namespace zorva {

class ExportProgress : public ExportFeedback {
public:
    static constexpr const char* kStartText = "Exporting. Please wait...";

    // What take_changes() copied out.
    struct Changes {
        bool text = false;
        bool percent = false;
        explicit operator bool() const { return text || percent; }
    };

    ExportProgress() { start(); }

    // A new run: the status text "Exporting. Please wait...", 0 %, not cancelled; both marked changed.
    void start();

    // The plug-in's side.
    void message(std::string_view text) override;  // the first kStatusTextLength characters
    void progress(int percent) override;           // clamped to 0..100
    bool cancelled() const override;
    // Sleeps 1 ms, giving the window's thread the processor.
    void yield() override;

    // The window's side: the CANCEL button or closing the window.
    void cancel();
    // Copies the text and the percentage that changed since the last call into `text` and `percent`
    // (the others are left as they are) and clears the change marks.
    Changes take_changes(std::string& text, int& percent);

private:
    mutable std::mutex mutex_;
    std::string text_;
    int percent_ = 0;
    bool text_changed_ = false;
    bool percent_changed_ = false;
    bool cancelled_ = false;
};

}  // namespace zorva
