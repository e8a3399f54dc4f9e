// Pacing of viewport redraws: unforced requests are at least 33 ms apart, requests made while one is
// being handled are dropped, and drawing can be suspended while a modal activity runs. The clock is
// injected, so the timing can be tested without waiting; the periodic timer that calls request()
// belongs to the editor.
#pragma once

#include <cstdint>
#include <functional>

namespace zorva {

class Platform;
class Preferences;

class RedrawPacer {
public:
    static constexpr std::int64_t kMinimumGapMs = 33;
    // Consecutive redraws without an offscreen surface before the one-time warning.
    static constexpr int kOffscreenFailureLimit = 20;

    using Clock = std::function<std::int64_t()>;  // milliseconds, monotonic

    // What a granted request does, in this order. Any of them may be empty.
    struct Hooks {
        std::function<void()> auto_backup;   // the automatic backup check (when the preference is on)
        std::function<void()> update_title;  // the project's window title
        std::function<void()> invalidate;    // schedules the paint that runs the redraw
        // True (once) when the viewport flagged repeated offscreen failures; clears the flag.
        std::function<bool()> take_offscreen_failure;
    };

    RedrawPacer(Clock clock, const Preferences* preferences, Platform* platform);

    void set_hooks(Hooks hooks) { hooks_ = std::move(hooks); }
    void set_view_ready(bool ready) { view_ready_ = ready; }
    bool view_ready() const { return view_ready_; }
    // While suspended, unforced requests do nothing.
    void set_suspended(bool suspended) { suspended_ = suspended; }
    bool suspended() const { return suspended_; }

    // Asks for a redraw. Returns true when the view was invalidated.
    bool request(bool force = false);

    std::int64_t last_redraw_ms() const { return last_redraw_ms_; }
    bool handling() const { return handling_; }

private:
    Clock clock_;
    const Preferences* preferences_;
    Platform* platform_;
    Hooks hooks_;
    bool view_ready_ = true;
    bool suspended_ = false;
    bool handling_ = false;
    bool has_redrawn_ = false;
    std::int64_t last_redraw_ms_ = 0;
};

}  // namespace zorva
