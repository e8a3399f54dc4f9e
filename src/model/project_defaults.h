// The values new tile sets, layers and parent entities start with. They come from the preferences
// record and, when a "New ..." dialog is confirmed, go back into it.
#pragma once

#include <cstdint>

namespace zorva {

struct ProjectDefaults {
    // New tile set.
    std::int32_t tile_width = 32;
    std::int32_t tile_height = 32;
    std::int32_t tile_offset_x = 0;
    std::int32_t tile_offset_y = 0;
    std::int32_t tile_spacing_x = 0;
    std::int32_t tile_spacing_y = 0;
    bool tile_set_use_transparent_colour = false;
    std::uint32_t tile_set_transparent_colour = 0;  // 0x00BBGGRR

    // New layer.
    std::int32_t layer_grid_width = 10;
    std::int32_t layer_grid_height = 10;
    float layer_scroll_speed_x = 1.0f;
    float layer_scroll_speed_y = 1.0f;
    std::int32_t layer_grid_offset_x = 0;
    std::int32_t layer_grid_offset_y = 0;

    // New parent entity.
    std::int32_t frame_width = 32;
    std::int32_t frame_height = 32;
    std::int32_t frame_offset_x = 0;
    std::int32_t frame_offset_y = 0;
    std::int32_t frame_spacing_x = 0;
    std::int32_t frame_spacing_y = 0;
    bool entity_use_transparent_colour = false;
    std::uint32_t entity_transparent_colour = 0;  // 0x00BBGGRR
};

}  // namespace zorva
