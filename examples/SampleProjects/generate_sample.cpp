// Draws the sample project's pictures and writes Sample.xml beside them.
//
//   generate_sample [FOLDER]     (default: the folder this file lives in)
//
// Everything is drawn here from simple shapes and noise with a fixed seed, so the output is the same on
// every run (apart from the creation date in the project file).
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "model/project.h"
#include "projectfile/xml_writer.h"

namespace {

using zorva::GridCell;

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

class Picture {
public:
    Picture(int width, int height)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height)) {}
    int width() const { return width_; }
    int height() const { return height_; }
    void set(int x, int y, Rgba colour) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_)
            pixels_[static_cast<std::size_t>(y * width_ + x)] = colour;
    }
    void fill(int x0, int y0, int w, int h, Rgba colour) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) set(x, y, colour);
    }
    void disc(double cx, double cy, double radius, Rgba colour) {
        for (int y = static_cast<int>(cy - radius) - 1; y <= static_cast<int>(cy + radius) + 1; ++y)
            for (int x = static_cast<int>(cx - radius) - 1; x <= static_cast<int>(cx + radius) + 1; ++x)
                if ((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) <= radius * radius)
                    set(x, y, colour);
    }
    bool save(const std::string& path) const {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width_);
        image.height = static_cast<png_uint_32>(height_);
        image.format = PNG_FORMAT_RGBA;
        const bool ok = png_image_write_to_file(&image, path.c_str(), 0, pixels_.data(), 0, nullptr) != 0;
        png_image_free(&image);
        return ok;
    }

private:
    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

// A small deterministic generator (xorshift).
class Noise {
public:
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int range(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t state_ = 0x2545F491u;
};

Rgba shade(Rgba c, int delta) {
    auto clamp = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    return {clamp(c.r + delta), clamp(c.g + delta), clamp(c.b + delta), c.a};
}

constexpr int kTile = 16;

// One 16 x 16 tile: a base colour with speckles and an optional border.
void draw_tile(Picture& picture, Noise& noise, int index, int across, Rgba base, int speckle, bool border) {
    const int x0 = (index % across) * kTile;
    const int y0 = (index / across) * kTile;
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
            picture.set(x0 + x, y0 + y, shade(base, noise.range(2 * speckle + 1) - speckle));
    if (border) {
        for (int i = 0; i < kTile; ++i) {
            picture.set(x0 + i, y0, shade(base, 40));
            picture.set(x0, y0 + i, shade(base, 40));
            picture.set(x0 + i, y0 + kTile - 1, shade(base, -50));
            picture.set(x0 + kTile - 1, y0 + i, shade(base, -50));
        }
    }
}

// Outdoor tiles: 8 x 4 tiles of 16 x 16 pixels.
Picture draw_terrain(Noise& noise) {
    Picture picture(8 * kTile, 4 * kTile);
    const Rgba palette[] = {{86, 170, 70, 255},   {70, 150, 60, 255},   {140, 110, 70, 255},
                            {120, 95, 60, 255},   {60, 110, 200, 255},  {50, 95, 180, 255},
                            {150, 150, 150, 255}, {120, 120, 130, 255}, {220, 200, 130, 255},
                            {200, 180, 110, 255}, {110, 180, 230, 255}, {240, 240, 250, 255}};
    for (int i = 0; i < 32; ++i) {
        const Rgba base = palette[i % 12];
        draw_tile(picture, noise, i, 8, base, i < 12 ? 12 : 6, i >= 12 && i < 24);
    }
    // Tiles 25 to 32 carry small pictures: flowers, a bush, a stone, a cloud.
    for (int i = 24; i < 32; ++i) {
        const int x0 = (i % 8) * kTile;
        const int y0 = (i / 8) * kTile;
        picture.fill(x0, y0, kTile, kTile, palette[0]);
        switch (i % 4) {
            case 0:
                picture.disc(x0 + 8, y0 + 8, 3, {230, 60, 80, 255});
                break;
            case 1:
                picture.disc(x0 + 8, y0 + 9, 6, {40, 120, 40, 255});
                break;
            case 2:
                picture.disc(x0 + 8, y0 + 10, 5, {130, 130, 135, 255});
                break;
            default:
                picture.fill(x0, y0, kTile, kTile, palette[10]);
                picture.disc(x0 + 6, y0 + 9, 4, palette[11]);
                picture.disc(x0 + 10, y0 + 8, 5, palette[11]);
                break;
        }
    }
    return picture;
}

// Cave tiles: 4 x 4 tiles, dark stone, floor, lava and crystals.
Picture draw_dungeon(Noise& noise) {
    Picture picture(4 * kTile, 4 * kTile);
    const Rgba palette[] = {{60, 55, 70, 255}, {90, 80, 95, 255}, {40, 35, 45, 255}, {200, 80, 30, 255}};
    for (int i = 0; i < 16; ++i) draw_tile(picture, noise, i, 4, palette[i % 4], 10, i % 4 == 1);
    for (int i = 12; i < 16; ++i) picture.disc((i % 4) * kTile + 8, 3 * kTile + 8, 4, {120, 220, 255, 255});
    return picture;
}

// A coin spinning over four 16 x 16 frames.
Picture draw_coin() {
    Picture picture(4 * kTile, kTile);
    for (int frame = 0; frame < 4; ++frame) {
        const double width = 6.0 * std::fabs(std::cos(frame * 3.14159265 / 4.0)) + 1.0;
        for (int y = 2; y < 14; ++y)
            for (int x = 0; x < kTile; ++x) {
                const double dx = (x + 0.5 - 8.0) / width;
                const double dy = (y + 0.5 - 8.0) / 6.0;
                if (dx * dx + dy * dy <= 1.0) picture.set(frame * kTile + x, y, {250, 200, 40, 255});
            }
    }
    return picture;
}

// A slime enemy: two frames of 16 x 16.
Picture draw_slime() {
    Picture picture(2 * kTile, kTile);
    for (int frame = 0; frame < 2; ++frame) {
        picture.disc(frame * kTile + 8, 10 - frame, 6 + frame, {80, 200, 120, 255});
        picture.set(frame * kTile + 6, 8 - frame, {0, 0, 0, 255});
        picture.set(frame * kTile + 10, 8 - frame, {0, 0, 0, 255});
    }
    return picture;
}

// A door, one frame of 16 x 32.
Picture draw_door() {
    Picture picture(kTile, 2 * kTile);
    picture.fill(1, 2, 14, 30, {120, 70, 30, 255});
    picture.fill(3, 4, 10, 26, {150, 95, 45, 255});
    picture.disc(11, 18, 1.5, {250, 220, 90, 255});
    return picture;
}

// A sky gradient used as a layer background, 64 x 64.
Picture draw_sky() {
    Picture picture(64, 64);
    for (int y = 0; y < 64; ++y)
        picture.fill(0, y, 64, 1,
                     {static_cast<std::uint8_t>(120 + y), static_cast<std::uint8_t>(170 + y / 2), 240, 255});
    return picture;
}

GridCell cell(std::uint32_t tile, std::uint8_t attribute = 0, bool flip_h = false, bool flip_v = false,
              bool rotate = false) {
    return GridCell{tile, zorva::make_cell_flags(flip_h, flip_v, rotate, attribute)};
}

zorva::PathPoint point(const zorva::Layer& layer, float x, float y) {
    zorva::PathPoint p;
    p.map_id = layer.map_id;
    p.layer_id = layer.unique_id;
    p.px = x;
    p.py = y;
    return p;
}

// Adds a path through `coordinates` (pairs of x, y). With `bezier` every point carries control points a
// third of the way towards its neighbours. A closed path ends on its starting point, with the same
// control points, as the editor closes one.
void add_path(zorva::Project& project, const zorva::Layer& layer, const std::vector<float>& coordinates,
              bool closed, bool bezier, std::int16_t speed) {
    const std::size_t count = coordinates.size() / 2;
    const std::size_t points = closed ? count + 1 : count;
    for (std::size_t i = 0; i < points; ++i) {
        const std::size_t k = i % count;  // the closing point repeats the first
        zorva::PathPoint p = point(layer, coordinates[2 * k], coordinates[2 * k + 1]);
        p.set_starts_path(i == 0);
        p.set_ends_path(i + 1 == points);
        p.set_is_closed(i == 0 && closed);
        if (bezier) {
            const std::size_t previous = (k + count - 1) % count;
            const std::size_t next = (k + 1) % count;
            const float dx = (coordinates[2 * next] - coordinates[2 * previous]) / 6.0f;
            const float dy = (coordinates[2 * next + 1] - coordinates[2 * previous + 1]) / 6.0f;
            p.set_ucp(true);
            p.cx1 = p.px - dx;
            p.cy1 = p.py - dy;
            p.cx2 = p.px + dx;
            p.cy2 = p.py + dy;
        }
        p.custom_variables[0] = speed;
        p.custom_variables[1] = static_cast<std::int16_t>(i);
        zorva::add_path_point(project, p, false, nullptr);
    }
}

void add_instance(zorva::Project& project, const zorva::ParentEntity& parent, const zorva::Layer& layer,
                  float x, float y, std::int16_t value, bool flip = false) {
    zorva::InstanceEntity instance = zorva::make_instance_entity(parent, layer.map_id, layer.unique_id, x, y);
    instance.fh = flip;
    instance.custom_variables[0] = value;
    instance.custom_variables[1] = static_cast<std::int16_t>(0x0005);
    zorva::add_instance_entity(project, instance, false, nullptr);
}

zorva::Layer* add_layer(zorva::Project& project, const zorva::Map& map, const char* name, int width,
                        int height) {
    zorva::LayerProperties properties =
        zorva::make_default_layer(project, zorva::ProjectDefaults{}, map.unique_id);
    properties.name = name;
    properties.grid_width = width;
    properties.grid_height = height;
    return zorva::add_layer(project, properties, false, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path());
    fs::create_directories(folder / "Images");
    Noise noise;
    const struct {
        const char* name;
        Picture picture;
    } pictures[] = {{"terrain.png", draw_terrain(noise)},
                    {"dungeon.png", draw_dungeon(noise)},
                    {"coin.png", draw_coin()},
                    {"slime.png", draw_slime()},
                    {"door.png", draw_door()},
                    {"sky.png", draw_sky()}};
    for (const auto& entry : pictures) {
        const std::string path = (folder / "Images" / entry.name).string();
        if (!entry.picture.save(path)) {
            std::fprintf(stderr, "generate_sample: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    auto image = [&](const char* name) { return (folder / "Images" / name).string(); };

    zorva::Project project;
    project.last_used_image_tile_set_path = (folder / "Images").string() + "/";
    project.last_used_image_parent_entity_path = (folder / "Images").string() + "/";
    project.last_used_image_layer_background_path = (folder / "Images").string() + "/";
    project.descriptions_for(zorva::ObjectKind::TileSet)[0].desc = "Author";
    project.descriptions_for(zorva::ObjectKind::Map)[0].desc = "Music";
    project.descriptions_for(zorva::ObjectKind::Map)[1].desc = "Time limit";
    project.descriptions_for(zorva::ObjectKind::Layer)[0].desc = "Collision";
    project.descriptions_for(zorva::ObjectKind::ParentEntity)[0].desc = "Class";
    auto& instance_descriptions = project.descriptions_for(zorva::ObjectKind::InstanceEntity);
    instance_descriptions[0].desc = "Value";
    instance_descriptions[0].show_in_view = true;
    instance_descriptions[1].desc = "ActSldHidBos";  // 3-character bit labels
    instance_descriptions[1].use_bits = true;
    project.descriptions_for(zorva::ObjectKind::PathPoint)[0].desc = "Speed";
    project.descriptions_for(zorva::ObjectKind::PathPoint)[1].desc = "Index";

    // Tile sets.
    zorva::TileSetProperties terrain = zorva::make_default_tile_set(project, zorva::ProjectDefaults{});
    terrain.name = "Terrain";
    terrain.single_tile_pixel_width = kTile;
    terrain.single_tile_pixel_height = kTile;
    terrain.image_path_and_file_name = image("terrain.png");
    terrain.custom_variables[0] = "Sample generator";
    zorva::TileSet* terrain_set = zorva::add_tile_set(project, terrain, false, nullptr);
    zorva::TileSetProperties dungeon = terrain;
    dungeon.name = "Dungeon";
    dungeon.image_path_and_file_name = image("dungeon.png");
    dungeon.user_supplied_id = 2;
    zorva::TileSet* dungeon_set = zorva::add_tile_set(project, dungeon, false, nullptr);

    // Mosaics: a flower bed and a stone wall piece.
    zorva::Mosaic bed;
    bed.tile_set_id = terrain_set->unique_id;
    bed.gw = 3;
    bed.gh = 2;
    bed.grid = {cell(25), cell(26), cell(25), cell(1), cell(27), cell(1)};
    zorva::add_mosaic(*terrain_set, bed, false, nullptr);
    zorva::Mosaic wall;
    wall.tile_set_id = dungeon_set->unique_id;
    wall.gw = 2;
    wall.gh = 2;
    wall.grid = {cell(2), cell(2, 0, true), cell(6), cell(6, 0, true)};
    zorva::add_mosaic(*dungeon_set, wall, false, nullptr);

    // Parent entities, two of them triggers.
    zorva::ParentEntityProperties coin = zorva::make_default_parent_entity(project, zorva::ProjectDefaults{});
    coin.name = "Coin";
    coin.single_frame_pixel_width = kTile;
    coin.single_frame_pixel_height = kTile;
    coin.image_path_and_file_name = image("coin.png");
    coin.custom_variables[0] = "pickup";
    const zorva::ParentEntity* coin_entity = zorva::add_parent_entity(project, coin, false, nullptr);
    zorva::ParentEntityProperties slime = coin;
    slime.name = "Slime";
    slime.image_path_and_file_name = image("slime.png");
    slime.custom_variables[0] = "enemy";
    const zorva::ParentEntity* slime_entity = zorva::add_parent_entity(project, slime, false, nullptr);
    zorva::ParentEntityProperties door = coin;
    door.name = "Door";
    door.single_frame_pixel_height = 2 * kTile;
    door.image_path_and_file_name = image("door.png");
    door.is_trigger = true;
    door.default_rectangle_trigger_width = 16;
    door.default_rectangle_trigger_height = 32;
    door.custom_variables[0] = "exit";
    const zorva::ParentEntity* door_entity = zorva::add_parent_entity(project, door, false, nullptr);
    zorva::ParentEntityProperties spawn = coin;
    spawn.name = "Spawn Area";
    spawn.image_path_and_file_name.set("");
    spawn.is_trigger = true;
    spawn.trigger_is_a_circle = true;
    spawn.default_circle_trigger_radius = 40;
    spawn.custom_variables[0] = "spawner";
    const zorva::ParentEntity* spawn_entity = zorva::add_parent_entity(project, spawn, false, nullptr);

    // Map 1: an outdoor meadow with a wrapping sky, the ground and a see-through decoration layer.
    zorva::MapProperties meadow_properties = zorva::make_default_map(project);
    meadow_properties.name = "Meadow";
    meadow_properties.use_tile_set_id = terrain_set->unique_id;
    meadow_properties.selected_tile_index = 1;
    meadow_properties.pixel_size_of_tiles_in_tiles_dialog = 32;
    meadow_properties.custom_variables[0] = "meadow_theme.ogg";
    meadow_properties.custom_variables[1] = "300";
    zorva::Map* meadow = zorva::add_map(project, meadow_properties, false, nullptr);
    constexpr int kMeadowWidth = 40;
    constexpr int kMeadowHeight = 24;

    zorva::Layer* sky = add_layer(project, *meadow, "Sky", kMeadowWidth, 8);
    sky->wrap_x = true;
    sky->scroll_speed_x = 0.5f;
    sky->scroll_speed_y = 0.5f;
    sky->use_background_image = true;
    sky->background_image_path_and_file_name = image("sky.png");
    for (int x = 0; x < kMeadowWidth; x += 7) *sky->cell(x, 1 + (x / 7) % 3) = cell(28);

    zorva::Layer* ground = add_layer(project, *meadow, "Ground", kMeadowWidth, kMeadowHeight);
    ground->is_main_layer = true;
    ground->custom_variables[0] = "solid";
    for (int y = 0; y < kMeadowHeight; ++y) {
        for (int x = 0; x < kMeadowWidth; ++x) {
            const int surface = 14 + static_cast<int>(3.0 * std::sin(x / 5.0));
            GridCell c;
            if (y == surface)
                c = cell(1 + static_cast<std::uint32_t>(noise.range(2)), 1);
            else if (y > surface && y < surface + 3)
                c = cell(3 + static_cast<std::uint32_t>(noise.range(2)), 1);
            else if (y >= surface + 3)
                c = cell(7 + static_cast<std::uint32_t>(noise.range(2)), 2);
            if (y > 18 && x > 24 && x < 32 && y >= surface)
                c = cell(5 + static_cast<std::uint32_t>(x % 2), 3, x % 3 == 0);
            *ground->cell(x, y) = c;
        }
    }

    zorva::Layer* decor = add_layer(project, *meadow, "Decor", kMeadowWidth, kMeadowHeight);
    decor->opacity = 160;
    decor->grid_offset_y = -1;
    for (int x = 2; x < kMeadowWidth; x += 5)
        *decor->cell(x, 13 + static_cast<int>(3.0 * std::sin(x / 5.0))) =
            cell(25 + static_cast<std::uint32_t>(x % 3), 0, x % 2 == 0);

    for (int i = 0; i < 8; ++i)
        add_instance(project, *coin_entity, *ground, 40.0f + 64.0f * i, 150.0f + 8.0f * (i % 3), 10);
    add_instance(project, *slime_entity, *ground, 300.0f, 200.0f, -5, true);
    add_instance(project, *slime_entity, *ground, 420.5f, 190.25f, -7);
    add_instance(project, *door_entity, *ground, 600.0f, 176.0f, 2);
    add_instance(project, *spawn_entity, *ground, 96.0f, 160.0f, 3);
    // An open Bézier path for a flying enemy and a closed patrol loop.
    add_path(project, *ground, {32, 96, 160, 48, 288, 112, 416, 64, 560, 96}, false, true, 2);
    add_path(project, *decor, {256, 176, 352, 176, 352, 208, 256, 208}, true, false, 1);
    meadow->selected_layer_id = ground->unique_id;

    // Map 2: a cave with a floor, walls that wrap vertically, and a closed Bézier route.
    zorva::MapProperties cave_properties = zorva::make_default_map(project);
    cave_properties.name = "Crystal Cave";
    cave_properties.use_tile_set_id = dungeon_set->unique_id;
    cave_properties.selected_tile_index = 2;
    cave_properties.pixel_size_of_tiles_in_tiles_dialog = 32;
    cave_properties.camera_grid_position_x = 4;
    cave_properties.custom_variables[0] = "cave_drips.ogg";
    cave_properties.custom_variables[1] = "120";
    zorva::Map* cave = zorva::add_map(project, cave_properties, false, nullptr);
    zorva::Layer* floor = add_layer(project, *cave, "Floor", 24, 16);
    floor->use_background_colour = true;
    floor->background_colour = 0x00201820u;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            *floor->cell(x, y) =
                cell(5 + static_cast<std::uint32_t>((x + y) % 2) * 4, 0, false, false, (x * y) % 5 == 0);
    zorva::Layer* walls = add_layer(project, *cave, "Walls", 24, 16);
    walls->wrap_y = true;
    walls->opacity = 230;
    for (int x = 0; x < 24; ++x) {
        *walls->cell(x, 0) = cell(2, 7);
        *walls->cell(x, 15) = cell(2, 7, false, true);
    }
    for (int y = 4; y < 12; y += 3) *walls->cell(5 + y, y) = cell(13 + static_cast<std::uint32_t>(y % 4), 9);
    *walls->cell(12, 8) = cell(4, 200);
    add_instance(project, *slime_entity, *floor, 128.0f, 128.0f, -3);
    add_instance(project, *coin_entity, *floor, 200.0f, 96.0f, 25);
    add_instance(project, *door_entity, *floor, 352.0f, 208.0f, 1);
    add_path(project, *floor, {64, 64, 192, 48, 320, 96, 288, 200, 96, 200}, true, true, 3);
    cave->selected_layer_id = floor->unique_id;

    project.select_tile_set(terrain_set->unique_id);
    project.select_parent_entity(coin_entity->unique_id);
    project.select_map(meadow->unique_id);
    project.select_layer(ground->unique_id);

    const std::string path = (folder / "Sample.xml").string();
    std::string error;
    if (!zorva::write_xml_project(path, project, false, &error)) {
        std::fprintf(stderr, "generate_sample: cannot write %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}
