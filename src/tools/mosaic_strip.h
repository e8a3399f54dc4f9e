// The Mosaics window's logic without the window: which mosaics its strip shows, the slot under a click,
// the size of the cells in a thumbnail, its title, scrolling, and deleting the current mosaic with its
// question. The strip's state lives on the tile set (the current mosaic and the first one shown).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "model/ids.h"

namespace zorva {

class Platform;
class Preferences;
struct Mosaic;
struct TileSet;

inline constexpr int kMosaicGap = 2;   // pixels between two thumbnails
inline constexpr int kFrameWidth = 3;  // the frame of the current mosaic and of the brush tile

// The position of the first mosaic shown (0 when the remembered id names none).
std::size_t first_shown_index(const TileSet& tile_set);
// Thumbnails that fit wholly in a strip of `width` × `height` pixels (at least 1).
std::size_t strip_slots(int width, int height);
// True when the mosaic `id` is among the `slots` shown from the first shown one.
bool mosaic_shown(const TileSet& tile_set, ObjectId id, std::size_t slots);
// The mosaic under x (counted from the strip's left edge), or null.
Mosaic* mosaic_at_x(const TileSet& tile_set, int x, int strip_height);

// The size of one cell of a w × h-cell mosaic in a square of `side` pixels: the tile size when the
// mosaic fits at it, else the largest size that fits, keeping the tiles' proportions (at least 1).
struct ThumbnailCell {
    int width = 0;
    int height = 0;
};
ThumbnailCell thumbnail_cell(const Mosaic& mosaic, int tile_width, int tile_height, int side);

// "Mosaics  (%lu / %lu)": the current mosaic's position from 1 (0 when none) and the number of mosaics.
std::string mosaics_title(const TileSet* tile_set);

// Moves the first shown mosaic `steps` places (clamped to the list). True when it changed.
bool scroll_strip(TileSet& tile_set, long long steps);

// Makes `mosaic` current and, when the strip would not show it, the first shown.
void make_current_mosaic(TileSet& tile_set, const Mosaic& mosaic, std::size_t slots);

// The D button: with the preference "Ask when deleting mosaics" on, asks "Do you want to delete the
// mosaic?" ("Delete Mosaic", Yes/No and "Do not ask me this again", whose tick turns the preference off);
// on Yes, or without the question, deletes the current mosaic. True when one was deleted.
bool delete_current_mosaic(TileSet& tile_set, Preferences& preferences, Platform& platform);

}  // namespace zorva
