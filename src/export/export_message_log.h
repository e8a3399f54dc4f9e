// The lines an export run collects for the "Export Messages/Errors" window: at most 5000 messages of at
// most 4096 characters, then one notice that the limit was reached; later messages are dropped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorva {

inline constexpr std::size_t kMaxExportMessages = 5000;
inline constexpr std::size_t kMaxExportMessageLength = 4096;

class ExportMessageLog {
public:
    // Appends `text` cut to 4096 characters. The 5001st call appends the notice
    // "The maximum number (5000) of error messages have been reached." instead; later calls do nothing.
    // Returns whether the text itself was kept.
    bool add(std::string_view text);

    const std::vector<std::string>& lines() const { return lines_; }
    bool empty() const { return lines_.empty(); }
    bool full() const { return lines_.size() > kMaxExportMessages; }
    void clear() { lines_.clear(); }

    // Every line followed by "\r\n": the clipboard text of the log window.
    std::string clipboard_text() const;

private:
    std::vector<std::string> lines_;
};

}  // namespace zorva
