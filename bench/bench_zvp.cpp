// Binary project file: writing and reading a project of 4 layers of 1000 x 1000 cells with entities and
// paths, reported as cell data per second (32 MB of cells per run).
//
//   bench_zvp [benchmark options]
//   bench_zvp --emit=DIR   writes DIR/big.zvp and DIR/big.tmx (the same cells as a CSV map for comparing
//                          with other editors' load-and-save times) and exits.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "model/project.h"
#include "projectfile/zvp_reader.h"
#include "projectfile/zvp_writer.h"

namespace zorva {
namespace {

constexpr int kLayers = 4;
constexpr std::int32_t kSide = 1000;
constexpr std::uint32_t kTiles = 256;
constexpr std::int64_t kCellBytes = static_cast<std::int64_t>(kLayers) * kSide * kSide * 8;

std::unique_ptr<Project> make_big_project() {
    auto project = std::make_unique<Project>();
    TileSetProperties t = make_default_tile_set(*project, ProjectDefaults{});
    t.single_tile_pixel_width = 16;
    t.single_tile_pixel_height = 16;
    TileSet* tile_set = add_tile_set(*project, t, false, nullptr);
    ParentEntity* parent =
        add_parent_entity(*project, make_default_parent_entity(*project, ProjectDefaults{}), false, nullptr);
    MapProperties m = make_default_map(*project);
    m.use_tile_set_id = tile_set->unique_id;
    Map* map = add_map(*project, m, false, nullptr);
    std::uint32_t seed = 12345;
    for (int l = 0; l < kLayers; ++l) {
        LayerProperties properties = make_default_layer(*project, ProjectDefaults{}, map->unique_id);
        properties.grid_width = kSide;
        properties.grid_height = kSide;
        Layer* layer = add_layer(*project, properties, false, nullptr);
        for (GridCell& cell : layer->grid) {
            seed = seed * 1664525u + 1013904223u;
            cell.tile = (seed >> 24) % (kTiles + 1);  // about one cell in 257 empty
        }
        for (int i = 0; i < 1000; ++i)
            add_instance_entity(
                *project,
                make_instance_entity(*parent, map->unique_id, layer->unique_id, float(i * 16), float(l)),
                false, nullptr);
        for (int i = 0; i < 200; ++i) {
            PathPoint point;
            point.map_id = map->unique_id;
            point.layer_id = layer->unique_id;
            point.px = float(i);
            point.flags = (i % 10 == 0 ? kPathPointStartsPath : 0u) | (i % 10 == 9 ? kPathPointEndsPath : 0u);
            add_path_point(*project, point, false, nullptr);
        }
    }
    return project;
}

const Project& big_project() {
    static const std::unique_ptr<Project> project = make_big_project();
    return *project;
}

std::string scratch_file(const char* name) {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/" + name + "-" + std::to_string(::getpid()) +
           ".zvp";
}

void BM_WriteZvp(benchmark::State& state) {
    Project& project = const_cast<Project&>(big_project());
    const std::string file = scratch_file("bench-zvp-write");
    for (auto _ : state)
        if (!write_zvp_project(file, project, true)) state.SkipWithError("write failed");
    std::remove(file.c_str());
    state.SetBytesProcessed(state.iterations() * kCellBytes);
    state.counters["cells/s"] =
        benchmark::Counter(double(state.iterations()) * kLayers * kSide * kSide, benchmark::Counter::kIsRate);
}
// Each twice: rates over wall-clock time, and over the thread's CPU time (which a busy shared machine does
// not inflate with waiting).
BENCHMARK(BM_WriteZvp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteZvp)->Unit(benchmark::kMillisecond);

void BM_ReadZvp(benchmark::State& state) {
    Project& project = const_cast<Project&>(big_project());
    const std::string file = scratch_file("bench-zvp-read");
    if (!write_zvp_project(file, project, true)) {
        state.SkipWithError("write failed");
        return;
    }
    for (auto _ : state) {
        LoadResult loaded = read_zvp_project(file);
        if (!loaded) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(loaded.project.get());
        // Freeing the project is not part of reading it.
        state.PauseTiming();
        loaded.project.reset();
        state.ResumeTiming();
    }
    std::remove(file.c_str());
    state.SetBytesProcessed(state.iterations() * kCellBytes);
    state.counters["cells/s"] =
        benchmark::Counter(double(state.iterations()) * kLayers * kSide * kSide, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadZvp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadZvp)->Unit(benchmark::kMillisecond);

// The same cells as a map of another editor's XML format with CSV layer data (tile index i is gid i).
bool write_tmx(const std::string& path, const Project& project) {
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<map version=\"1.8\" orientation=\"orthogonal\" renderorder=\"right-down\" width=\"" << kSide
        << "\" height=\"" << kSide << "\" tilewidth=\"16\" tileheight=\"16\" infinite=\"0\" nextlayerid=\""
        << kLayers + 1 << "\" nextobjectid=\"1\">\n"
        << " <tileset firstgid=\"1\" name=\"tiles\" tilewidth=\"16\" tileheight=\"16\" tilecount=\"" << kTiles
        << "\" columns=\"16\">\n  <image source=\"tiles.png\" width=\"256\" height=\"256\"/>\n </tileset>\n";
    std::string line;
    int id = 1;
    for (const auto& layer : project.maps.front()->layers) {
        out << " <layer id=\"" << id++ << "\" name=\"" << layer->name.view() << "\" width=\"" << kSide
            << "\" height=\"" << kSide << "\">\n  <data encoding=\"csv\">\n";
        for (std::int32_t y = 0; y < kSide; ++y) {
            line.clear();
            for (std::int32_t x = 0; x < kSide; ++x) {
                line += std::to_string(layer->cell(x, y)->tile);
                if (x + 1 < kSide || y + 1 < kSide) line += ',';
            }
            out << line << '\n';
        }
        out << "</data>\n </layer>\n";
    }
    out << "</map>\n";
    return static_cast<bool>(out.flush());
}

int emit(std::string_view folder) {
    Project& project = const_cast<Project&>(big_project());
    const std::string zvp = std::string(folder) + "/big.zvp";
    const std::string tmx = std::string(folder) + "/big.tmx";
    if (!write_zvp_project(zvp, project, true) || !write_tmx(tmx, project)) {
        std::fprintf(stderr, "bench_zvp: cannot write %s or %s\n", zvp.c_str(), tmx.c_str());
        return 1;
    }
    std::printf("%s\n%s\n", zvp.c_str(), tmx.c_str());
    return 0;
}

}  // namespace
}  // namespace zorva

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with("--emit=")) return zorva::emit(argument.substr(7));
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
