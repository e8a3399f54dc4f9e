#include "app/recent_menu.h"

#include "app/command_table.h"
#include "prefs/preferences.h"

namespace zorva {

std::string recent_item_text(int k, const std::string& path) {
    if (k == 9) return "1&0 " + path;
    return "&" + std::to_string(k + 1) + " " + path;
}

std::vector<RecentMenuItem> recent_menu_items(const Preferences& preferences) {
    std::vector<RecentMenuItem> items;
    const std::size_t count = preferences.recent_count();
    for (std::size_t k = 0; k < count && k < kRecentProjectsMax; ++k) {
        std::string path = preferences.recent_entry(k);
        if (path.empty()) break;
        const int index = static_cast<int>(k);
        items.push_back({cmd::kRecentFirst + index, recent_item_text(index, path), std::move(path)});
    }
    return items;
}

}  // namespace zorva
