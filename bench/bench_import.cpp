// Binary MAP import: a 2000 x 2000 map of two-byte cells with 4 layers (32 MB of MAP file) imported from a
// file into a new project, reported as time per import and MAP bytes per second. The aim is under 0.5 s.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "import/map_import.h"
#include "support/temp_dir.h"
#include "support/test_bmp.h"

namespace zorva {
namespace {

constexpr std::uint32_t kSide = 2000;
constexpr int kLayers = 4;
constexpr std::uint32_t kCellSize = 2;
constexpr std::int64_t kFileBytes = static_cast<std::int64_t>(kSide) * kSide * kCellSize * kLayers;

void BM_ImportMap2000x2000x4(benchmark::State& state) {
    test::TempDir dir;
    const std::string map = dir.file("big.map");
    const std::string image = dir.file("tiles.bmp");
    test::write_bmp(image, 256, 0x808080);
    {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kFileBytes));
        std::uint32_t seed = 12345;
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            seed = seed * 1664525u + 1013904223u;
            const std::uint32_t tile = (seed >> 24) % 257;
            bytes[i] = static_cast<std::uint8_t>(tile);
            bytes[i + 1] = static_cast<std::uint8_t>(tile >> 8);
        }
        std::ofstream(map, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ImportSettings settings;
    settings.map_file = map;
    settings.tile_set_image = image;
    settings.tile_width = settings.tile_height = 16;
    settings.map_width = settings.map_height = kSide;
    settings.cell_size = kCellSize;
    HeadlessPlatform platform;
    for (auto _ : state) {
        ImportResult result = import_binary_map(settings, nullptr, platform);
        if (!result.ok || result.project->maps.front()->layers.size() != kLayers) {
            state.SkipWithError(result.message.c_str());
            break;
        }
        benchmark::DoNotOptimize(result.project);
    }
    state.SetBytesProcessed(state.iterations() * kFileBytes);
    state.counters["cells/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSide * kSide * kLayers, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportMap2000x2000x4)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zorva

BENCHMARK_MAIN();
