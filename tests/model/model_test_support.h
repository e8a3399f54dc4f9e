// Small builders shared by the model tests.
#pragma once

#include <cstdint>
#include <memory>

#include "model/project.h"
#include "image/image.h"

namespace zorva::test {

// An image record as a loader would leave it, without touching any file.
inline Image make_test_image(int width, int height) {
    Image image;
    image.kind = ImageKind::Png;
    image.depth = 32;
    image.width = width;
    image.height = height;
    image.stored_depth = 32;
    image.stored_width = width;
    image.stored_height = height;
    image.stride = width * 4;
    image.bitmap = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(image.stride) * height);
    return image;
}

// A project with one map holding one layer of the given size.
struct MapWithLayer {
    Project project;
    Map* map = nullptr;
    Layer* layer = nullptr;
};

inline void add_map_with_layer(MapWithLayer& setup, std::int32_t width, std::int32_t height) {
    setup.map = add_map(setup.project, make_default_map(setup.project), false, nullptr);
    LayerProperties layer = make_default_layer(setup.project, ProjectDefaults{}, setup.map->unique_id);
    layer.grid_width = width;
    layer.grid_height = height;
    setup.layer = add_layer(setup.project, layer, false, nullptr);
}

}  // namespace zorva::test
