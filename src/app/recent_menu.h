// The items of the "&Recent Projects" submenu, worked out from the preferences.
#pragma once

#include <string>
#include <vector>

namespace zorva {

class Preferences;

struct RecentMenuItem {
    int id = 0;        // 10030 + k
    std::string text;  // "&1 path" ... "&9 path", "1&0 path"
    std::string path;
};

// As many items as the recent projects count (1 to 10) says, but never more than the leading non-empty
// entries of the list.
std::vector<RecentMenuItem> recent_menu_items(const Preferences& preferences);

// "&%d %s" for k below 9, "1&0 %s" for k = 9.
std::string recent_item_text(int k, const std::string& path);

}  // namespace zorva
