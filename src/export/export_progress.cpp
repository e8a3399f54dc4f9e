#include "export/export_progress.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace zorva {

void ExportProgress::start() {
    std::lock_guard lock(mutex_);
    text_ = kStartText;
    percent_ = 0;
    text_changed_ = true;
    percent_changed_ = true;
    cancelled_ = false;
}

void ExportProgress::message(std::string_view text) {
    std::lock_guard lock(mutex_);
    text_.assign(text.substr(0, kStatusTextLength));
    text_changed_ = true;
}

void ExportProgress::progress(int percent) {
    std::lock_guard lock(mutex_);
    const int clamped = std::clamp(percent, 0, 100);
    if (clamped == percent_) return;
    percent_ = clamped;
    percent_changed_ = true;
}

bool ExportProgress::cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

void ExportProgress::yield() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

void ExportProgress::cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
}

ExportProgress::Changes ExportProgress::take_changes(std::string& text, int& percent) {
    std::lock_guard lock(mutex_);
    Changes changes{text_changed_, percent_changed_};
    if (text_changed_) text = text_;
    if (percent_changed_) percent = percent_;
    text_changed_ = false;
    percent_changed_ = false;
    return changes;
}

}  // namespace zorva
