// Image decoding throughput in megapixels per second: a 2048 × 2048 tile set as PNG (with alpha)
// and as a 24-bit BMP, generated into a scratch folder at start.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "image/image_loader.h"
#include "support/image_files.h"

namespace {

using zorva::test::Bytes;

constexpr int kSize = 2048;
constexpr int kTile = 32;

// A tile set: every 32 × 32 tile has its own colour ramp, a border and a little noise, so the PNG
// compresses about as well as drawn tiles do.
std::uint8_t channel(int x, int y, int c) {
    const int tile = (y / kTile) * (kSize / kTile) + x / kTile;
    const int u = x % kTile, v = y % kTile;
    if (u == 0 || v == 0) return static_cast<std::uint8_t>(40 + c * 30);
    const unsigned noise = (static_cast<unsigned>(x) * 2654435761u ^ static_cast<unsigned>(y) * 40503u) >> 29;
    return static_cast<std::uint8_t>((tile * (13 + 7 * c) + u * (2 + c) + v * (3 - c) + noise) & 0xFF);
}

struct Files {
    std::filesystem::path folder;
    std::string png_path, bmp_path;
    Bytes png, bmp;

    Files() {
        folder =
            std::filesystem::temp_directory_path() / ("zorva-bench-images-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        zorva::test::PngSpec spec;
        spec.width = spec.height = kSize;
        spec.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
        spec.rows.resize(kSize);
        Bytes rows;
        const int stride = kSize * 3;
        rows.reserve(static_cast<std::size_t>(stride) * kSize);
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                const bool clear = ((x / kTile + y / kTile) % 5) == 0 && (x % kTile) > 24;
                spec.rows[y].insert(spec.rows[y].end(), {channel(x, y, 0), channel(x, y, 1), channel(x, y, 2),
                                                         static_cast<std::uint8_t>(clear ? 0 : 255)});
            }
        }
        // The BMP holds the bottom row first.
        for (int y = kSize - 1; y >= 0; --y)
            for (int x = 0; x < kSize; ++x)
                rows.insert(rows.end(), {channel(x, y, 2), channel(x, y, 1), channel(x, y, 0)});
        png = zorva::test::png_file(spec);
        bmp = zorva::test::bmp_file(kSize, kSize, 24, rows);
        png_path = (folder / "tiles.png").string();
        bmp_path = (folder / "tiles.bmp").string();
        zorva::test::write_file(png_path, png);
        zorva::test::write_file(bmp_path, bmp);
    }
    ~Files() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

Files& files() {
    static Files instance;
    return instance;
}

void report(benchmark::State& state) {
    const double pixels = static_cast<double>(kSize) * kSize;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kSize * kSize);
    state.counters["Mpixels/s"] = benchmark::Counter(pixels * static_cast<double>(state.iterations()) / 1e6,
                                                     benchmark::Counter::kIsRate);
}

void decode(benchmark::State& state, zorva::ImageKind kind, const Bytes& bytes) {
    for (auto _ : state) {
        zorva::Image image;
        if (zorva::load_image_from_memory(image, kind, bytes.data(), bytes.size(), false, 0) !=
            zorva::kImageLoaded) {
            state.SkipWithError("decoding failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels());
    }
    report(state);
}

void load(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        zorva::Image image;
        if (zorva::load_image(image, path, zorva::ImageKind::Empty, nullptr, true, true, 0xFF00FF) !=
            zorva::kImageLoaded) {
            state.SkipWithError("loading failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels());
    }
    report(state);
}

void BM_DecodePngTileSet(benchmark::State& state) { decode(state, zorva::ImageKind::Png, files().png); }
void BM_DecodeBmp24(benchmark::State& state) { decode(state, zorva::ImageKind::Bmp, files().bmp); }
void BM_LoadPngFileWithColourKey(benchmark::State& state) { load(state, files().png_path); }
void BM_LoadBmpFileWithColourKey(benchmark::State& state) { load(state, files().bmp_path); }

BENCHMARK(BM_DecodePngTileSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPngFileWithColourKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBmpFileWithColourKey)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
