#include "view/redraw_pacer.h"

#include "base/platform.h"
#include "prefs/preferences.h"

namespace zorva {

RedrawPacer::RedrawPacer(Clock clock, const Preferences* preferences, Platform* platform)
    : clock_(std::move(clock)), preferences_(preferences), platform_(platform) {}

bool RedrawPacer::request(bool force) {
    if (!view_ready_ || handling_) return false;
    const std::int64_t now = clock_ ? clock_() : 0;
    if (!force) {
        if (suspended_) return false;
        if (has_redrawn_ && now - last_redraw_ms_ < kMinimumGapMs) return false;
    }
    handling_ = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{handling_};

    if (hooks_.auto_backup && preferences_ && preferences_->flag(FlagA::EnableAutoBackup))
        hooks_.auto_backup();
    if (hooks_.update_title) hooks_.update_title();
    if (hooks_.take_offscreen_failure && hooks_.take_offscreen_failure() && platform_) {
        platform_->message_box(
            "Failed to create an offscreen buffer for rendering. \nRendering may flicker. Try reducing the "
            "screen resolution.\n",
            "Warning", MessageButtons::Ok, MessageIcon::Warning, Answer::Ok);
    }
    if (hooks_.invalidate) hooks_.invalidate();
    last_redraw_ms_ = clock_ ? clock_() : now;
    has_redrawn_ = true;
    return true;
}

}  // namespace zorva
