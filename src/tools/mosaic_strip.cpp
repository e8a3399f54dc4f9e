#include "tools/mosaic_strip.h"

#include <algorithm>
#include <cstdio>

#include "base/platform.h"
#include "model/tile_set.h"
#include "prefs/preferences.h"

namespace zorva {

std::size_t first_shown_index(const TileSet& tile_set) {
    int index = -1;
    find_mosaic(tile_set, tile_set.left_most_mosaic_id_on_mosaics_dialog, &index);
    return index < 0 ? 0 : static_cast<std::size_t>(index);
}

std::size_t strip_slots(int width, int height) {
    if (height <= 0) return 1;
    const int slot = height + kMosaicGap;
    return static_cast<std::size_t>(std::max(1, (width + kMosaicGap) / slot));
}

bool mosaic_shown(const TileSet& tile_set, ObjectId id, std::size_t slots) {
    int index = -1;
    if (!find_mosaic(tile_set, id, &index)) return false;
    const std::size_t first = first_shown_index(tile_set);
    return static_cast<std::size_t>(index) >= first && static_cast<std::size_t>(index) < first + slots;
}

Mosaic* mosaic_at_x(const TileSet& tile_set, int x, int strip_height) {
    if (x < 0 || strip_height <= 0) return nullptr;
    const long long slot = x / (strip_height + kMosaicGap);
    return mosaic_at(tile_set, static_cast<long long>(first_shown_index(tile_set)) + slot);
}

ThumbnailCell thumbnail_cell(const Mosaic& mosaic, int tile_width, int tile_height, int side) {
    if (mosaic.gw == 0 || mosaic.gh == 0 || tile_width <= 0 || tile_height <= 0 || side <= 0) return {1, 1};
    const double w = static_cast<double>(mosaic.gw) * tile_width;
    const double h = static_cast<double>(mosaic.gh) * tile_height;
    const double scale = std::min({1.0, side / w, side / h});
    return {std::max(1, static_cast<int>(tile_width * scale)),
            std::max(1, static_cast<int>(tile_height * scale))};
}

std::string mosaics_title(const TileSet* tile_set) {
    unsigned long position = 0;
    unsigned long count = 0;
    if (tile_set) {
        count = static_cast<unsigned long>(tile_set->mosaics.size());
        int index = -1;
        if (find_mosaic(*tile_set, tile_set->selected_mosaic_id, &index))
            position = static_cast<unsigned long>(index) + 1;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Mosaics  (%lu / %lu)", position, count);
    return text;
}

bool scroll_strip(TileSet& tile_set, long long steps) {
    if (tile_set.mosaics.empty()) return false;
    const long long last = static_cast<long long>(tile_set.mosaics.size()) - 1;
    const long long from = static_cast<long long>(first_shown_index(tile_set));
    const long long to = std::clamp(from + steps, 0LL, last);
    const ObjectId id = tile_set.mosaics[static_cast<std::size_t>(to)]->uid;
    if (id == tile_set.left_most_mosaic_id_on_mosaics_dialog) return false;
    tile_set.left_most_mosaic_id_on_mosaics_dialog = id;
    return true;
}

void make_current_mosaic(TileSet& tile_set, const Mosaic& mosaic, std::size_t slots) {
    tile_set.selected_mosaic_id = mosaic.uid;
    if (!mosaic_shown(tile_set, mosaic.uid, slots))
        tile_set.left_most_mosaic_id_on_mosaics_dialog = mosaic.uid;
}

bool delete_current_mosaic(TileSet& tile_set, Preferences& preferences, Platform& platform) {
    if (!find_mosaic(tile_set, tile_set.selected_mosaic_id)) return false;
    if (preferences.flag(FlagA::AskWhenDeletingMosaics)) {
        bool dont_ask = false;
        const Answer answer = platform.ask_with_dont_ask_again(
            "Do you want to delete the mosaic?", "Delete Mosaic", MessageButtons::YesNo, dont_ask);
        if (dont_ask) preferences.set_flag(FlagA::AskWhenDeletingMosaics, false);
        if (answer != Answer::Yes) return false;
    }
    return remove_mosaic(tile_set, tile_set.selected_mosaic_id);
}

}  // namespace zorva
