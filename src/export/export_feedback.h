// What an export run reports to the person waiting for it: the progress window of the editor, or the
// terminal of zorva-cli. The host calls it from inside the plug-in's StartExport, on the thread that runs
// the export; an implementation that paints on another thread guards its state itself.
#pragma once

#include <cstddef>
#include <string_view>

namespace zorva {

// The progress window shows at most this many characters of a message as its status line.
inline constexpr std::size_t kStatusTextLength = 1024;

class ExportFeedback {
public:
    virtual ~ExportFeedback() = default;

    // A message from the plug-in, whole; the progress window shows its first kStatusTextLength characters.
    virtual void message(std::string_view text) = 0;
    // The progress, a whole number 0 to 100.
    virtual void progress(int percent) = 0;
    // True once the person has cancelled (the CANCEL button, or the progress window was closed).
    virtual bool cancelled() const { return false; }
    // Gives the progress window time to repaint. Called at once for forced updates, otherwise at most
    // every 100 ms; the editor's window sleeps 1 ms here.
    virtual void yield() {}
};

}  // namespace zorva
