// Viewport redraw cost in milliseconds per 1920 × 1080 frame: four full layers of 32-pixel tiles at
// 100 % and at 25 %, and 10,000 entities in view; and a whole 250 × 250-cell map drawn as a picture
// and written as PNG.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "base/platform.h"
#include "image/builtin_pictures.h"
#include "image/png_writer.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "projectfile/project_io.h"
#include "render/map_picture.h"
#include "render/renderer.h"

namespace {

using namespace zorva;

constexpr int kTile = 32;
constexpr int kTilesAcross = 8;  // a 256 × 256 tile set of 64 tiles

// Tiles 1-16 are opaque ground; tiles 17-64 are round shapes with soft edges on transparency.
std::uint32_t tile_pixel(int x, int y) {
    const int tile = (y / kTile) * kTilesAcross + x / kTile;
    const int u = x % kTile, v = y % kTile;
    const auto r = static_cast<std::uint32_t>((tile * 37 + u * 3) & 0xFF);
    const auto g = static_cast<std::uint32_t>((tile * 11 + v * 5) & 0xFF);
    const auto b = static_cast<std::uint32_t>((tile * 23 + u + v) & 0xFF);
    if (tile < 16) return 0xFF000000u | (r << 16) | (g << 8) | b;
    const double d = std::hypot(u - 15.5, v - 15.5);
    const double a = d < 11 ? 1.0 : d > 14 ? 0.0 : (14 - d) / 3;
    const auto alpha = static_cast<std::uint32_t>(a * 255);
    auto pm = [alpha](std::uint32_t c) { return c * alpha / 255; };
    return (alpha << 24) | (pm(r) << 16) | (pm(g) << 8) | pm(b);
}

struct Scene {
    Project project;
    HeadlessPlatform platform;
    Preferences prefs;
    Map* map = nullptr;
    Layer* first = nullptr;

    // With `opaque`, the tile set is what a 24-bit file gives: every pixel opaque, copied without
    // blending.
    Scene(int width, int height, int layers, bool opaque = false) {
        TileSetProperties ts;
        ts.single_tile_pixel_width = ts.single_tile_pixel_height = kTile;
        TileSet* tile_set = add_tile_set(project, ts, false, &platform);
        Image image;
        image.allocate(kTile * kTilesAcross, kTile * kTilesAcross);
        image.kind = ImageKind::Png;
        image.stored_depth = opaque ? 24 : 32;
        image.stored_width = image.width;
        image.stored_height = image.height;
        image.needs_blending = true;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                reinterpret_cast<std::uint32_t*>(image.row(y))[x] =
                    opaque ? 0xFF000000u | tile_pixel(x, y) : tile_pixel(x, y);
        copy_image(tile_set->image, image);
        MapProperties mp;
        mp.use_tile_set_id = tile_set->unique_id;
        map = add_map(project, mp, false, &platform);
        project.select_map(map->unique_id);
        std::mt19937 random(7);
        for (int i = 0; i < layers; ++i) {
            LayerProperties lp;
            lp.map_id = map->unique_id;
            lp.grid_width = width;
            lp.grid_height = height;
            Layer* layer = add_layer(project, lp, false, &platform);
            if (!first) first = layer;
            for (GridCell& cell : layer->grid) {
                cell.tile = i == 0 ? 1 + random() % 16 : 17 + random() % 48;
                cell.flags = make_cell_flags(random() % 4 == 0, random() % 4 == 0, random() % 4 == 0, 0);
            }
        }
        project.select_layer(first->unique_id);
    }
};

QGuiApplication& gui() {
    static int argc = 1;
    static char name[] = "bench_render";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(argc, argv);
    return app;
}

void frames(benchmark::State& state, Scene& scene, std::uint32_t zoom) {
    gui();
    BuiltinPictures pictures;
    Renderer renderer(pictures);
    scene.project.zoom = zoom;
    RenderRequest request;
    request.project = &scene.project;
    request.preferences = &scene.prefs;
    request.view = {1920, 1080};
    request.cursor = ViewPoint{960, 540};
    for (auto _ : state) {
        renderer.redraw(request);
        benchmark::DoNotOptimize(renderer.frame().constBits());
    }
    state.counters["tiles"] = static_cast<double>(renderer.results().tiles_drawn);
    state.counters["entities"] = static_cast<double>(renderer.results().entities_drawn);
}

void BM_Frame4Layers100(benchmark::State& state) {
    Scene scene(256, 256, 4);
    frames(state, scene, 100);
}
BENCHMARK(BM_Frame4Layers100)->Unit(benchmark::kMillisecond);

void BM_Frame4OpaqueLayers100(benchmark::State& state) {
    Scene scene(256, 256, 4, true);
    frames(state, scene, 100);
}
BENCHMARK(BM_Frame4OpaqueLayers100)->Unit(benchmark::kMillisecond);

void BM_Frame4Layers25(benchmark::State& state) {
    Scene scene(256, 256, 4);
    frames(state, scene, 25);
}
BENCHMARK(BM_Frame4Layers25)->Unit(benchmark::kMillisecond);

void BM_Frame10000Entities(benchmark::State& state) {
    Scene scene(256, 256, 1);
    ParentEntityProperties pp;
    pp.pixel_width = pp.pixel_height = 64;
    pp.single_frame_pixel_width = pp.single_frame_pixel_height = kTile;
    ParentEntity* parent = add_parent_entity(scene.project, pp, false, &scene.platform);
    Image sprite;
    sprite.allocate(64, 64);
    sprite.kind = ImageKind::Png;
    sprite.stored_depth = 32;
    sprite.needs_blending = true;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            reinterpret_cast<std::uint32_t*>(sprite.row(y))[x] = tile_pixel(x + 2 * kTile, y + 2 * kTile);
    copy_image(parent->image, sprite);
    std::mt19937 random(11);
    for (int i = 0; i < 10000; ++i) {
        const auto x = static_cast<float>(random() % (1920 - kTile));
        const auto y = static_cast<float>(random() % (1080 - kTile));
        InstanceEntity e = make_instance_entity(*parent, scene.map->unique_id, scene.first->unique_id, x, y);
        e.fh = random() % 2 == 0;
        add_instance_entity(scene.project, e, false, &scene.platform);
    }
    frames(state, scene, 100);
}
BENCHMARK(BM_Frame10000Entities)->Unit(benchmark::kMillisecond);

void BM_WholeMapPicture(benchmark::State& state) {
    gui();
    Scene scene(250, 250, 1);
    BuiltinPictures pictures;
    const std::filesystem::path out = std::filesystem::temp_directory_path() /
                                      ("zorva-bench-render-" + std::to_string(::getpid()) + ".png");
    for (auto _ : state) {
        PictureOptions options;
        options.zoom_percent = 100;
        const PictureResult result =
            write_map_picture(scene.project, *scene.map, scene.prefs, pictures, options, out.string());
        if (!result.ok) state.SkipWithError(result.message.c_str());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(out));
    std::filesystem::remove(out);
}
BENCHMARK(BM_WholeMapPicture)->Unit(benchmark::kMillisecond)->Iterations(3);

// Writes the map of BM_WholeMapPicture (without flips, which another program may read differently)
// three ways into `folder`: tiles.png, scene.xml (our project) and scene.tmx (a TMX map for the
// comparison with another rasterizer).
int make_comparison_scene(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    Scene scene(250, 250, 1);
    for (GridCell& cell : scene.first->grid) cell.flags = 0;
    const std::string png = (folder / "tiles.png").string();
    const Image& image = scene.project.tile_sets[0]->image;
    std::string error;
    const bool written =
        write_png_pixels(png, image.width, image.height, image.pixels(), image.stride, {}, &error);
    if (!written) return std::fprintf(stderr, "%s\n", error.c_str()), 1;
    scene.project.tile_sets[0]->image_path_and_file_name = png;
    if (!write_project((folder / "scene.xml").string(), scene.project, false, &error))
        return std::fprintf(stderr, "%s\n", error.c_str()), 1;
    std::ofstream tmx(folder / "scene.tmx");
    tmx << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<map version=\"1.8\" orientation=\"orthogonal\" renderorder=\"right-down\" width=\"250\" "
           "height=\"250\" tilewidth=\"32\" tileheight=\"32\" infinite=\"0\" nextlayerid=\"2\" "
           "nextobjectid=\"1\">\n"
        << " <tileset firstgid=\"1\" name=\"tiles\" tilewidth=\"32\" tileheight=\"32\" tilecount=\"64\" "
           "columns=\"8\">\n  <image source=\"tiles.png\" width=\"256\" height=\"256\"/>\n </tileset>\n"
        << " <layer id=\"1\" name=\"Layer\" width=\"250\" height=\"250\">\n  <data encoding=\"csv\">\n";
    const auto& grid = scene.first->grid;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        tmx << grid[i].tile;
        if (i + 1 < grid.size()) tmx << ',';
        if (i % 250 == 249) tmx << '\n';
    }
    tmx << "</data>\n </layer>\n</map>\n";
    return tmx.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--make-comparison-scene") == 0)
        return make_comparison_scene(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
