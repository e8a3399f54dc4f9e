#include "export/export_message_log.h"

#include <cstdio>

namespace zorva {

bool ExportMessageLog::add(std::string_view text) {
    if (lines_.size() > kMaxExportMessages) return false;
    if (lines_.size() == kMaxExportMessages) {
        char notice[96];
        std::snprintf(notice, sizeof notice, "The maximum number (%d) of error messages have been reached.",
                      static_cast<int>(kMaxExportMessages));
        lines_.emplace_back(notice);
        return false;
    }
    lines_.emplace_back(text.substr(0, kMaxExportMessageLength));
    return true;
}

std::string ExportMessageLog::clipboard_text() const {
    std::size_t size = 0;
    for (const auto& line : lines_) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace zorva
