#include "render/render_resources.h"

namespace zorva {

void RenderResources::update(const Preferences& preferences) {
    auto colour = [&](PrefColour which) { return pixel_from_colour(preferences.colour(which)); };
    auto solid = [&](PrefColour which) { return Pen{colour(which), LineStyle::Solid}; };
    background = colour(PrefColour::Background);
    path_points = colour(PrefColour::PathPoints);
    selected_path_points = colour(PrefColour::SelectedPathPoints);
    grid_type = preferences.grid_type();
    grid = Pen{colour(PrefColour::Grid),
               grid_type == GridType::DottedLines ? LineStyle::Dotted : LineStyle::Solid};
    grid_solid = solid(PrefColour::Grid);
    selection = Pen{colour(PrefColour::Selection), LineStyle::Dotted};
    paths = solid(PrefColour::Paths);
    selected_paths = solid(PrefColour::SelectedPaths);
    control_lines = solid(PrefColour::PathControlLines);
    normals = solid(PrefColour::PathNormals);
    triggers = solid(PrefColour::Triggers);
    entity_labels = colour(PrefColour::EntitiesCustomVariables);
}

}  // namespace zorva
