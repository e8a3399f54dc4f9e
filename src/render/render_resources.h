// The pens and brushes of the viewport, taken from the preferences before every redraw. They are
// plain colours (opaque pixels 0xFFRRGGBB) and line styles; every pen is 1 pixel wide.
#pragma once

#include <cstdint>

#include "prefs/preferences.h"
#include "render/draw_primitives.h"

namespace zorva {

struct Pen {
    std::uint32_t pixel = 0xFF000000u;
    LineStyle style = LineStyle::Solid;
    friend bool operator==(const Pen&, const Pen&) = default;
};

struct RenderResources {
    std::uint32_t background = 0;                      // brush 0
    std::uint32_t path_points = 0;                     // brush 1
    std::uint32_t selected_path_points = 0;            // brush 2
    Pen grid;                                          // pen 0: dotted or solid lines
    Pen grid_solid;                                    // pen 1: origin marker, current layer outline
    Pen locked{pixel_from_colour(rgb(255, 0, 0))};     // pen 2
    Pen hidden{pixel_from_colour(rgb(255, 255, 0))};   // pen 3
    Pen selection;                                     // pen 4, dotted
    Pen hovered{pixel_from_colour(rgb(255, 20, 20))};  // pen 5
    Pen paths;                                         // pen 6
    Pen selected_paths;                                // pen 7
    Pen control_lines;                                 // pen 8
    Pen normals;                                       // pen 9
    Pen triggers;                                      // pen 10
    std::uint32_t entity_labels = 0;                   // text colour of the custom-variable labels
    GridType grid_type = GridType::Dots;

    // Takes every colour and style from the preferences.
    void update(const Preferences& preferences);
    friend bool operator==(const RenderResources&, const RenderResources&) = default;
};

}  // namespace zorva
