// Draws the sample project's pictures and writes Sample.xml beside them: a small platform level (a meadow
// under a parallax sky) and a crystal cave, with a player, coins, enemies and their paths.
//
//   generate_sample [FOLDER]     (default: the folder this file lives in)
//
// Everything is drawn here from simple shapes and a hash of the pixel position, so every run writes the
// same bytes. The project file names its images relative to itself (the reader takes those first); its
// absolute paths are those of the installed sample, so nothing in it depends on where it was generated.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/project.h"
#include "projectfile/xml_writer.h"

namespace {

using zorva::GridCell;

// Where the package installs the sample; the project's absolute paths point there.
constexpr const char* kInstalledFolder = "/usr/share/zorva/Examples/SampleProjects";

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

constexpr Rgba kClear{0, 0, 0, 0};

Rgba shade(Rgba c, int delta) {
    auto clamp = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    return {clamp(c.r + delta), clamp(c.g + delta), clamp(c.b + delta), c.a};
}

Rgba mix(Rgba a, Rgba b, double t) {
    auto channel = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b), channel(a.a, b.a)};
}

// A fixed pseudo-random value 0..n-1 for a position and a seed.
int hash(int x, int y, int seed, int n) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u ^
                      static_cast<std::uint32_t>(seed) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<int>(h % static_cast<std::uint32_t>(n));
}

class Picture {
public:
    Picture(int width, int height)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height), kClear) {}
    int width() const { return width_; }
    int height() const { return height_; }

    // A region of the picture with its own origin: one tile or one frame.
    struct Cell {
        Picture& picture;
        int x0, y0;
        void set(int x, int y, Rgba c) const { picture.set(x0 + x, y0 + y, c); }
        Rgba get(int x, int y) const { return picture.get(x0 + x, y0 + y); }
        void fill(int x, int y, int w, int h, Rgba c) const { picture.fill(x0 + x, y0 + y, w, h, c); }
        void ellipse(double cx, double cy, double rx, double ry, Rgba c) const {
            picture.ellipse(x0 + cx, y0 + cy, rx, ry, c);
        }
        // Outlines the shapes of a `w` x `h` region at this origin (see Picture::outline).
        void outline(int w, int h, Rgba c) const { picture.outline(x0, y0, w, h, c); }
    };
    Cell cell(int x0, int y0) { return Cell{*this, x0, y0}; }

    void set(int x, int y, Rgba colour) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[index(x, y)] = colour;
    }
    Rgba get(int x, int y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_ ? pixels_[index(x, y)] : kClear;
    }
    void fill(int x0, int y0, int w, int h, Rgba colour) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) set(x, y, colour);
    }
    void ellipse(double cx, double cy, double rx, double ry, Rgba colour) {
        for (int y = static_cast<int>(cy - ry) - 1; y <= static_cast<int>(cy + ry) + 1; ++y)
            for (int x = static_cast<int>(cx - rx) - 1; x <= static_cast<int>(cx + rx) + 1; ++x) {
                const double dx = (x + 0.5 - cx) / rx;
                const double dy = (y + 0.5 - cy) / ry;
                if (dx * dx + dy * dy <= 1.0) set(x, y, colour);
            }
    }
    // Every transparent pixel next to an opaque one becomes `colour`: a one-pixel outline around the
    // shapes of the region.
    void outline(int x0, int y0, int w, int h, Rgba colour) {
        std::vector<std::pair<int, int>> edge;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) {
                if (get(x, y).a != 0) continue;
                auto solid = [&](int sx, int sy) {
                    return sx >= x0 && sy >= y0 && sx < x0 + w && sy < y0 + h && get(sx, sy).a == 255;
                };
                if (solid(x - 1, y) || solid(x + 1, y) || solid(x, y - 1) || solid(x, y + 1))
                    edge.emplace_back(x, y);
            }
        for (const auto& [x, y] : edge) set(x, y, colour);
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
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y * width_ + x); }

    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

constexpr int kTile = 16;

// --- Terrain: 8 x 4 tiles ---------------------------------------------------------------------------------

// Tile numbers of the terrain set (counted from 1, row by row).
namespace terrain {
constexpr std::uint32_t kGrassLeft = 1, kGrass = 2, kGrass2 = 3, kGrassRight = 4, kDirt = 5, kDirt2 = 6,
                        kDirtStone = 7, kDirtRoot = 8;
constexpr std::uint32_t kDirtLeft = 9, kDirtRight = 10, kBricks = 11, kBonus = 12, kPlatformLeft = 13,
                        kPlatform = 14, kPlatformRight = 15, kCrate = 16;
constexpr std::uint32_t kWaterTop = 17, kWater = 18, kLadder = 19, kSpikes = 20, kFlowerRed = 21,
                        kFlowerYellow = 22, kTallGrass = 23, kMushroom = 24;
constexpr std::uint32_t kBushLeft = 25, kBushRight = 26, kRock = 27, kSign = 28, kCloudLeft = 29, kCloud = 30,
                        kCloudRight = 31, kFence = 32;
}  // namespace terrain

const Rgba kDirtColour{150, 98, 56};
const Rgba kGrassColour{88, 176, 62};
const Rgba kOutline{38, 30, 34};

// Earth: a brown body with darker and lighter specks and the odd pebble.
void draw_dirt(const Picture::Cell& t, int seed) {
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const int n = hash(x, y, seed, 20);
            t.set(x, y, n < 3 ? shade(kDirtColour, -28) : (n > 17 ? shade(kDirtColour, 18) : kDirtColour));
        }
    for (int i = 0; i < 3; ++i) {
        const int px = 2 + hash(i, 1, seed, 11);
        const int py = 2 + hash(i, 2, seed, 11);
        t.fill(px, py, 2, 2, shade(kDirtColour, -44));
        t.set(px, py, shade(kDirtColour, -10));
    }
}

// Grass over earth: a light top edge, a body, and blades hanging into the earth below.
void draw_grass(const Picture::Cell& t, int seed) {
    draw_dirt(t, seed);
    for (int x = 0; x < kTile; ++x) {
        const int depth = 4 + hash(x, 0, seed, 3);
        for (int y = 0; y < depth; ++y) t.set(x, y, y == 0 ? shade(kGrassColour, 40) : kGrassColour);
        t.set(x, depth, shade(kGrassColour, -50));
        if (hash(x, 5, seed, 4) == 0) t.set(x, 2, shade(kGrassColour, 24));
    }
}

void draw_edge(const Picture::Cell& t, bool left) {
    for (int y = 0; y < kTile; ++y) {
        const int x = left ? 0 : kTile - 1;
        t.set(x, y, kOutline);
        t.set(left ? 1 : kTile - 2, y, shade(kDirtColour, -30));
    }
}

void draw_grass_corner(const Picture::Cell& t, int seed, bool left) {
    draw_grass(t, seed);
    draw_edge(t, left);
    const int x = left ? 0 : kTile - 1;
    const int inner = left ? 1 : kTile - 2;
    t.set(x, 0, kClear);
    t.set(x, 1, kClear);
    t.set(inner, 0, kClear);
    t.set(x, 2, kOutline);
    t.set(inner, 1, kOutline);
    for (int y = 2; y < 5; ++y) t.set(inner, y, shade(kGrassColour, -20));
}

void draw_bricks(const Picture::Cell& t) {
    const Rgba stone{150, 146, 150};
    t.fill(0, 0, kTile, kTile, shade(stone, -60));
    for (int row = 0; row < 4; ++row) {
        const int shift = row % 2 == 0 ? 0 : 4;
        for (int brick = -1; brick < 2; ++brick) {
            const int bx = brick * 8 + shift;
            for (int y = row * 4; y < row * 4 + 3; ++y)
                for (int x = std::max(bx, 0); x < std::min(bx + 7, kTile); ++x) {
                    const Rgba base = shade(stone, hash(bx, row, 7, 3) * 8 - 8);
                    t.set(x, y, y == row * 4 ? shade(base, 30) : base);
                }
        }
    }
}

void draw_bonus(const Picture::Cell& t) {
    const Rgba gold{232, 168, 40};
    t.fill(0, 0, kTile, kTile, kOutline);
    t.fill(1, 1, 14, 14, gold);
    t.fill(1, 1, 14, 1, shade(gold, 50));
    t.fill(1, 1, 1, 14, shade(gold, 30));
    t.fill(1, 14, 14, 1, shade(gold, -60));
    t.fill(14, 1, 1, 14, shade(gold, -50));
    for (const auto& [x, y] : {std::pair{3, 3}, {12, 3}, {3, 12}, {12, 12}}) t.set(x, y, shade(gold, -70));
    // A coin in relief.
    t.ellipse(8, 8, 3.6, 4.6, shade(gold, -70));
    t.ellipse(8, 8, 2.4, 3.4, shade(gold, 40));
    t.fill(8, 6, 1, 4, shade(gold, -40));
}

void draw_platform(const Picture::Cell& t, int part) {
    const Rgba wood{176, 116, 60};
    t.fill(0, 1, kTile, 7, wood);
    t.fill(0, 1, kTile, 1, shade(wood, 40));
    t.fill(0, 7, kTile, 1, shade(wood, -60));
    t.fill(0, 0, kTile, 1, kOutline);
    t.fill(0, 8, kTile, 1, kOutline);
    for (int x = 3; x < kTile; x += 8) t.fill(x, 3, 1, 3, shade(wood, -40));
    if (part == 0) {
        t.fill(0, 0, 1, 9, kOutline);
        t.set(0, 0, kClear);
        t.set(0, 8, kClear);
    } else if (part == 2) {
        t.fill(kTile - 1, 0, 1, 9, kOutline);
        t.set(kTile - 1, 0, kClear);
        t.set(kTile - 1, 8, kClear);
    }
    // Supports under the ends.
    if (part != 1) {
        const int x = part == 0 ? 3 : 10;
        t.fill(x, 9, 3, 4, shade(wood, -50));
        t.fill(x + 1, 9, 1, 4, shade(wood, -20));
    }
}

void draw_crate(const Picture::Cell& t) {
    const Rgba wood{186, 128, 70};
    t.fill(0, 0, kTile, kTile, kOutline);
    t.fill(1, 1, 14, 14, shade(wood, -40));
    t.fill(2, 2, 12, 12, wood);
    for (int i = 0; i < 12; ++i) {
        t.set(2 + i, 2 + i, shade(wood, -50));
        t.set(2 + i, 3 + i, shade(wood, -30));
    }
    t.fill(2, 7, 12, 2, shade(wood, -40));
}

void draw_water(const Picture::Cell& t, bool top) {
    const Rgba water{64, 140, 220, 200};
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            Rgba c = mix(water, Rgba{40, 96, 180, 220}, y / 16.0);
            if (hash(x / 3, y, 3, 9) == 0) c = shade(c, 24);
            if (top) {
                const int wave = 3 + static_cast<int>(std::lround(1.5 * std::sin((x + 2) * 0.8)));
                if (y < wave) c = kClear;
                if (y == wave) c = Rgba{220, 240, 255, 230};
            }
            t.set(x, y, c);
        }
}

void draw_ladder(const Picture::Cell& t) {
    const Rgba wood{170, 112, 58};
    for (int x : {2, 12}) {
        t.fill(x - 1, 0, 4, kTile, kOutline);
        t.fill(x, 0, 2, kTile, wood);
    }
    for (int y : {3, 11}) {
        t.fill(4, y - 1, 8, 4, kOutline);
        t.fill(4, y, 8, 2, shade(wood, 20));
    }
}

void draw_spikes(const Picture::Cell& t) {
    const Rgba steel{196, 204, 214};
    for (int spike = 0; spike < 4; ++spike) {
        const int cx = spike * 4 + 2;
        for (int y = 6; y < kTile; ++y) {
            const int half = (y - 6) / 4;
            for (int x = cx - half; x <= cx + half; ++x) t.set(x, y, x < cx ? steel : shade(steel, -60));
        }
    }
    t.outline(kTile, kTile, kOutline);
    t.fill(0, 14, kTile, 2, shade(steel, -90));
}

void draw_flower(const Picture::Cell& t, Rgba petal, int seed) {
    const Rgba stem{60, 140, 50};
    const int cx = 7 + hash(0, 0, seed, 2);
    t.fill(cx, 8, 1, 8, stem);
    t.fill(cx + 1, 11, 2, 1, stem);
    t.fill(cx - 2, 13, 2, 1, stem);
    for (const auto& [dx, dy] : {std::pair{-2, 0}, {2, 0}, {0, -2}, {0, 2}})
        t.ellipse(cx + 0.5 + dx, 6.5 + dy, 1.6, 1.6, petal);
    t.ellipse(cx + 0.5, 6.5, 1.2, 1.2, Rgba{250, 230, 120});
    t.outline(kTile, kTile, shade(petal, -110));
}

void draw_tall_grass(const Picture::Cell& t) {
    for (int blade = 0; blade < 6; ++blade) {
        const int x0 = 1 + blade * 3 - (blade > 2 ? 2 : 0);
        const int height = 6 + hash(blade, 0, 11, 7);
        for (int i = 0; i < height; ++i) {
            const int x = x0 + (i * (blade % 2 == 0 ? 1 : -1)) / 4;
            t.set(x, kTile - 1 - i, shade(kGrassColour, -30 + i * 5));
        }
    }
}

void draw_mushroom(const Picture::Cell& t) {
    t.fill(6, 9, 4, 7, Rgba{240, 228, 200});
    t.ellipse(8, 8, 6.5, 4.5, Rgba{214, 50, 50});
    t.fill(1, 9, 14, 3, kClear);
    t.fill(6, 9, 4, 7, Rgba{240, 228, 200});
    for (const auto& [x, y] : {std::pair{5, 6}, {10, 5}, {8, 8}}) t.fill(x, y, 2, 2, Rgba{255, 250, 240});
    t.outline(kTile, kTile, kOutline);
}

// A bush drawn across two tiles: `half` 0 is the left one.
void draw_bush(Picture& picture, int x0, int y0) {
    const Rgba leaf{60, 150, 60};
    picture.ellipse(x0 + 9, y0 + 10, 8, 6, leaf);
    picture.ellipse(x0 + 17, y0 + 8, 9, 8, leaf);
    picture.ellipse(x0 + 25, y0 + 10, 7, 6, leaf);
    picture.fill(x0 + 1, y0 + 14, 30, 2, leaf);
    for (int i = 0; i < 14; ++i) {
        const int x = x0 + 3 + hash(i, 0, 21, 26);
        const int y = y0 + 4 + hash(i, 1, 21, 9);
        if (picture.get(x, y).a) picture.fill(x, y, 2, 1, shade(leaf, 40));
    }
    picture.outline(x0, y0, 2 * kTile, kTile, Rgba{30, 80, 36});
}

void draw_rock(const Picture::Cell& t) {
    const Rgba stone{140, 138, 146};
    t.ellipse(8, 11, 7, 5, stone);
    t.ellipse(6, 9, 3, 2, shade(stone, 30));
    t.fill(2, 14, 12, 2, stone);
    t.outline(kTile, kTile, kOutline);
}

void draw_sign(const Picture::Cell& t) {
    const Rgba wood{186, 130, 74};
    t.fill(7, 8, 2, 8, shade(wood, -50));
    t.fill(2, 2, 12, 7, wood);
    t.fill(2, 2, 12, 1, shade(wood, 30));
    // An arrow to the right.
    t.fill(4, 5, 6, 1, kOutline);
    t.set(9, 4, kOutline);
    t.set(9, 6, kOutline);
    t.set(8, 3, kOutline);
    t.set(8, 7, kOutline);
    t.outline(kTile, kTile, kOutline);
}

void draw_fence(const Picture::Cell& t) {
    const Rgba wood{224, 214, 190};
    for (int x : {2, 11}) {
        t.fill(x, 5, 3, 11, wood);
        t.set(x + 1, 4, wood);
    }
    t.fill(0, 8, kTile, 2, shade(wood, -20));
    t.fill(0, 12, kTile, 2, shade(wood, -20));
    t.outline(kTile, kTile, Rgba{90, 80, 70});
}

// A cloud across three tiles.
void draw_cloud(Picture& picture, int x0, int y0) {
    const Rgba white{250, 252, 255};
    picture.ellipse(x0 + 10, y0 + 11, 9, 5, white);
    picture.ellipse(x0 + 20, y0 + 7, 10, 7, white);
    picture.ellipse(x0 + 31, y0 + 8, 8, 6, white);
    picture.ellipse(x0 + 39, y0 + 11, 8, 4.5, white);
    picture.fill(x0 + 6, y0 + 11, 36, 4, white);
    for (int x = x0 + 4; x < x0 + 44; ++x)
        for (int y = y0 + 12; y < y0 + 16; ++y)
            if (picture.get(x, y).a) picture.set(x, y, Rgba{214, 228, 246});
    picture.outline(x0, y0, 3 * kTile, kTile, Rgba{170, 196, 232});
}

Picture draw_terrain() {
    using namespace terrain;
    Picture picture(8 * kTile, 4 * kTile);
    auto tile = [&](std::uint32_t number) {
        return picture.cell(static_cast<int>((number - 1) % 8) * kTile,
                            static_cast<int>((number - 1) / 8) * kTile);
    };
    draw_grass_corner(tile(kGrassLeft), 1, true);
    draw_grass(tile(kGrass), 2);
    draw_grass(tile(kGrass2), 3);
    draw_grass_corner(tile(kGrassRight), 4, false);
    draw_dirt(tile(kDirt), 5);
    draw_dirt(tile(kDirt2), 6);
    draw_dirt(tile(kDirtStone), 7);
    tile(kDirtStone).ellipse(8, 9, 4.5, 3.5, Rgba{128, 126, 136});
    tile(kDirtStone).ellipse(7, 8, 2, 1.4, Rgba{170, 168, 178});
    draw_dirt(tile(kDirtRoot), 8);
    for (int i = 0; i < 12; ++i) tile(kDirtRoot).set(2 + i, 4 + (i * i) / 20, Rgba{96, 62, 34});
    draw_dirt(tile(kDirtLeft), 9);
    draw_edge(tile(kDirtLeft), true);
    draw_dirt(tile(kDirtRight), 10);
    draw_edge(tile(kDirtRight), false);
    draw_bricks(tile(kBricks));
    draw_bonus(tile(kBonus));
    draw_platform(tile(kPlatformLeft), 0);
    draw_platform(tile(kPlatform), 1);
    draw_platform(tile(kPlatformRight), 2);
    draw_crate(tile(kCrate));
    draw_water(tile(kWaterTop), true);
    draw_water(tile(kWater), false);
    draw_ladder(tile(kLadder));
    draw_spikes(tile(kSpikes));
    draw_flower(tile(kFlowerRed), Rgba{230, 70, 90}, 1);
    draw_flower(tile(kFlowerYellow), Rgba{250, 210, 60}, 2);
    draw_tall_grass(tile(kTallGrass));
    draw_mushroom(tile(kMushroom));
    draw_bush(picture, tile(kBushLeft).x0, tile(kBushLeft).y0);
    draw_rock(tile(kRock));
    draw_sign(tile(kSign));
    draw_cloud(picture, tile(kCloudLeft).x0, tile(kCloudLeft).y0);
    draw_fence(tile(kFence));
    return picture;
}

// --- Dungeon: 4 x 4 tiles ---------------------------------------------------------------------------------

namespace dungeon {
constexpr std::uint32_t kBackWall = 1, kFloor = 2, kRock = 3, kCeiling = 4;
constexpr std::uint32_t kBricks = 5, kBricks2 = 6, kBeam = 7, kTorch = 8;
constexpr std::uint32_t kLavaTop = 9, kLava = 10, kLedge = 11, kSpikes = 12;
constexpr std::uint32_t kCrystalBlue = 13, kCrystalViolet = 14, kStalagmite = 15, kGlowShroom = 16;
}  // namespace dungeon

const Rgba kCaveRock{92, 84, 104};

void draw_cave_rock(const Picture::Cell& t, int seed, Rgba base) {
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const int n = hash(x / 2, y / 2, seed, 12);
            t.set(x, y, shade(base, n < 2 ? -18 : (n > 9 ? 12 : 0)));
        }
    for (int i = 0; i < 2; ++i) {
        const int x = 2 + hash(i, 0, seed, 10);
        const int y = 2 + hash(i, 1, seed, 10);
        for (int k = 0; k < 4; ++k) t.set(x + k, y + (k + i) / 2, shade(base, -36));
    }
}

void draw_crystal(const Picture::Cell& t, Rgba colour) {
    auto shard = [&](int cx, int base_y, int height, int half) {
        for (int y = base_y - height; y <= base_y; ++y) {
            const int w = std::min(half, (y - (base_y - height)) / 2);
            for (int x = cx - w; x <= cx + w; ++x) t.set(x, y, x < cx ? shade(colour, 50) : colour);
        }
    };
    shard(5, 15, 9, 2);
    shard(10, 15, 13, 3);
    shard(13, 15, 6, 2);
    t.outline(kTile, kTile, shade(colour, -120));
    t.set(9, 5, Rgba{255, 255, 255});
}

Picture draw_dungeon() {
    using namespace dungeon;
    Picture picture(4 * kTile, 4 * kTile);
    auto tile = [&](std::uint32_t number) {
        return picture.cell(static_cast<int>((number - 1) % 4) * kTile,
                            static_cast<int>((number - 1) / 4) * kTile);
    };
    draw_cave_rock(tile(kBackWall), 1, shade(kCaveRock, -46));
    draw_cave_rock(tile(kFloor), 2, kCaveRock);
    for (int x = 0; x < kTile; ++x) {
        tile(kFloor).set(x, 0, shade(kCaveRock, 60));
        tile(kFloor).set(x, 1, shade(kCaveRock, 30));
        tile(kFloor).set(x, 2 + hash(x, 0, 4, 2), shade(kCaveRock, -30));
    }
    draw_cave_rock(tile(kRock), 3, kCaveRock);
    draw_cave_rock(tile(kCeiling), 4, kCaveRock);
    for (int x = 0; x < kTile; ++x) {
        const int drip = 11 + static_cast<int>(std::lround(3 * std::sin(x * 0.9))) + (x == 6 ? 3 : 0);
        for (int y = drip; y < kTile; ++y) tile(kCeiling).set(x, y, kClear);
        tile(kCeiling).set(x, drip - 1, shade(kCaveRock, -40));
    }
    for (std::uint32_t bricks : {kBricks, kBricks2}) {
        const Picture::Cell t = tile(bricks);
        t.fill(0, 0, kTile, kTile, shade(kCaveRock, -60));
        for (int row = 0; row < 2; ++row)
            for (int b = -1; b < 2; ++b) {
                const int bx = b * 8 + (row + static_cast<int>(bricks)) % 2 * 4;
                for (int y = row * 8 + 1; y < row * 8 + 7; ++y)
                    for (int x = std::max(bx + 1, 0); x < std::min(bx + 8, kTile); ++x)
                        t.set(x, y, shade(kCaveRock, y == row * 8 + 1 ? 24 : hash(bx, row, 5, 3) * 6 - 6));
            }
    }
    {
        const Picture::Cell t = tile(kBeam);
        const Rgba wood{140, 92, 50};
        t.fill(0, 0, kTile, 5, wood);
        t.fill(0, 0, kTile, 1, shade(wood, 40));
        t.fill(0, 5, kTile, 1, kOutline);
        t.fill(2, 6, 3, 10, shade(wood, -20));
        t.fill(11, 6, 3, 10, shade(wood, -20));
    }
    {
        const Picture::Cell t = tile(kTorch);
        t.fill(7, 7, 2, 8, Rgba{120, 80, 40});
        t.ellipse(8, 5, 3, 4.5, Rgba{250, 140, 30});
        t.ellipse(8, 6, 1.6, 2.5, Rgba{255, 230, 120});
        t.outline(kTile, kTile, Rgba{120, 40, 20});
    }
    for (std::uint32_t lava : {kLavaTop, kLava}) {
        const Picture::Cell t = tile(lava);
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x) {
                Rgba c = mix(Rgba{255, 170, 40}, Rgba{200, 50, 20}, std::min(1.0, y / 12.0));
                if (hash(x / 2, y / 2, 8, 7) == 0) c = Rgba{255, 220, 90};
                if (lava == kLavaTop) {
                    const int wave = 2 + static_cast<int>(std::lround(1.2 * std::sin(x * 0.7)));
                    if (y < wave) c = kClear;
                    if (y == wave) c = Rgba{255, 240, 160};
                }
                t.set(x, y, c);
            }
    }
    {
        const Picture::Cell t = tile(kLedge);
        draw_cave_rock(t, 11, kCaveRock);
        t.fill(0, 8, kTile, 8, kClear);
        for (int x = 0; x < kTile; ++x) {
            t.set(x, 0, shade(kCaveRock, 60));
            const int bottom = 8 + static_cast<int>(std::lround(2 * std::sin(x * 1.3)));
            for (int y = 8; y < bottom; ++y) t.set(x, y, kCaveRock);
        }
        t.outline(kTile, kTile, kOutline);
    }
    draw_spikes(tile(kSpikes));
    draw_crystal(tile(kCrystalBlue), Rgba{90, 210, 250});
    draw_crystal(tile(kCrystalViolet), Rgba{190, 110, 250});
    {
        const Picture::Cell t = tile(kStalagmite);
        for (int y = 3; y < kTile; ++y) {
            const int w = (y - 3) / 3;
            for (int x = 8 - w; x <= 8 + w; ++x) t.set(x, y, x < 8 ? shade(kCaveRock, 30) : kCaveRock);
        }
        t.outline(kTile, kTile, kOutline);
    }
    {
        const Picture::Cell t = tile(kGlowShroom);
        for (int i = 0; i < 2; ++i) {
            const int cx = 5 + i * 6;
            const int top = 7 + i * 2;
            t.fill(cx - 1, top + 2, 2, kTile - top - 2, Rgba{200, 220, 230});
            t.ellipse(cx, top + 1, 4 - i, 3 - i * 0.5, Rgba{80, 240, 200});
            t.set(cx - 1, top, Rgba{220, 255, 245});
        }
        t.outline(kTile, kTile, Rgba{20, 90, 80});
    }
    return picture;
}

// --- Sprites ----------------------------------------------------------------------------------------------

// The player: two frames of 16 x 24, standing and stepping.
Picture draw_player() {
    Picture picture(2 * kTile, 24);
    const Rgba cap{214, 48, 48}, skin{250, 200, 160}, shirt{60, 110, 220}, trousers{70, 60, 110},
        boots{90, 56, 30}, hair{110, 70, 40};
    for (int frame = 0; frame < 2; ++frame) {
        const Picture::Cell p = picture.cell(frame * kTile, 0);
        p.fill(5, 2, 7, 3, cap);               // cap
        p.fill(10, 4, 4, 1, shade(cap, -40));  // peak
        p.fill(5, 5, 7, 6, skin);              // face
        p.fill(5, 5, 2, 4, hair);
        p.fill(9, 7, 1, 2, kOutline);           // eye
        p.fill(10, 9, 2, 1, shade(skin, -50));  // mouth
        p.fill(4, 11, 9, 6, shirt);             // body
        p.fill(4, 11, 9, 1, shade(shirt, 40));
        p.fill(7, 13, 3, 1, Rgba{250, 220, 80});     // belt buckle
        p.fill(frame == 0 ? 3 : 2, 12, 2, 4, skin);  // arm
        p.fill(12, 12, 2, 4, skin);
        if (frame == 0) {
            p.fill(5, 17, 3, 5, trousers);
            p.fill(9, 17, 3, 5, trousers);
            p.fill(4, 22, 4, 2, boots);
            p.fill(9, 22, 4, 2, boots);
        } else {
            p.fill(4, 17, 3, 4, trousers);
            p.fill(10, 17, 3, 5, trousers);
            p.fill(2, 20, 4, 2, boots);
            p.fill(10, 22, 5, 2, boots);
        }
        picture.outline(frame * kTile, 0, kTile, 24, kOutline);
    }
    return picture;
}

// A coin turning over four frames of 16 x 16.
Picture draw_coin() {
    Picture picture(4 * kTile, kTile);
    const Rgba gold{250, 196, 40};
    for (int frame = 0; frame < 4; ++frame) {
        const double half = 5.5 * std::fabs(std::cos(frame * 3.14159265 / 4.0)) + 1.2;
        const Picture::Cell c = picture.cell(frame * kTile, 0);
        c.ellipse(8, 8, half, 6.5, shade(gold, -50));
        c.ellipse(8, 8, std::max(half - 1.5, 0.8), 5.0, gold);
        if (half > 3) c.fill(8, 5, 1, 6, shade(gold, -60));
        c.set(static_cast<int>(8 - half / 2), 5, Rgba{255, 250, 220});
        picture.outline(frame * kTile, 0, kTile, kTile, Rgba{120, 70, 10});
    }
    return picture;
}

// A slime: two frames of 16 x 16, squashed and stretched.
Picture draw_slime() {
    Picture picture(2 * kTile, kTile);
    const Rgba body{90, 200, 110};
    for (int frame = 0; frame < 2; ++frame) {
        const Picture::Cell s = picture.cell(frame * kTile, 0);
        const double rx = frame == 0 ? 6.5 : 5.5;
        const double ry = frame == 0 ? 5.0 : 6.0;
        s.ellipse(8, 15 - ry, rx, ry, body);
        s.fill(static_cast<int>(8 - rx) + 1, 13, static_cast<int>(2 * rx) - 1, 2, body);
        s.ellipse(6, 15 - ry * 1.5, 1.6, 1.2, Rgba{200, 255, 210});
        s.fill(6, static_cast<int>(15 - ry) + 1, 1, 2, kOutline);
        s.fill(10, static_cast<int>(15 - ry) + 1, 1, 2, kOutline);
        s.fill(7, static_cast<int>(15 - ry) + 4, 3, 1, shade(body, -80));
        picture.outline(frame * kTile, 0, kTile, kTile, Rgba{20, 70, 40});
    }
    return picture;
}

// A bat: two frames of 16 x 16, wings up and down.
Picture draw_bat() {
    Picture picture(2 * kTile, kTile);
    const Rgba body{110, 70, 150};
    for (int frame = 0; frame < 2; ++frame) {
        const Picture::Cell b = picture.cell(frame * kTile, 0);
        b.ellipse(8, 8, 3, 3.5, body);
        b.fill(6, 4, 1, 2, body);  // ears
        b.fill(10, 4, 1, 2, body);
        for (int i = 0; i < 6; ++i) {
            const int lift = frame == 0 ? -(i / 2) : i / 3;
            b.fill(5 - i, 7 + lift, 1, 3 - i / 3, shade(body, -20));
            b.fill(11 + i, 7 + lift, 1, 3 - i / 3, shade(body, -20));
        }
        b.set(7, 7, Rgba{255, 220, 80});
        b.set(9, 7, Rgba{255, 220, 80});
        picture.outline(frame * kTile, 0, kTile, kTile, kOutline);
    }
    return picture;
}

// The exit door, one frame of 16 x 32: an arched wooden door in a stone frame.
Picture draw_door() {
    Picture picture(kTile, 2 * kTile);
    const Rgba stone{150, 146, 156}, wood{150, 92, 44};
    picture.ellipse(8, 9, 8, 8, stone);
    picture.fill(0, 9, 16, 23, stone);
    picture.ellipse(8, 10, 6, 6, wood);
    picture.fill(2, 10, 12, 22, wood);
    for (int x : {5, 8, 11}) picture.fill(x, 6, 1, 26, shade(wood, -36));
    picture.fill(2, 16, 12, 1, shade(wood, -50));
    picture.fill(2, 24, 12, 1, shade(wood, -50));
    picture.ellipse(11.5, 20, 1.2, 1.2, Rgba{250, 220, 90});
    picture.outline(0, 0, kTile, 2 * kTile, kOutline);
    return picture;
}

// The sky behind the meadow, as large as the map (40 x 24 tiles): a gradient, the sun, far mountains and
// near hills, which a game scrolls slower than the ground.
Picture draw_sky(int width, int height) {
    Picture picture(width, height);
    const Rgba top{70, 140, 228}, horizon{196, 232, 252};
    for (int y = 0; y < height; ++y)
        picture.fill(0, y, width, 1, mix(top, horizon, std::min(1.0, y / (height * 0.7))));
    // The sun with a soft glow.
    const double sun_x = width * 0.82;
    const double sun_y = 64;
    for (int y = 0; y < 140; ++y)
        for (int x = static_cast<int>(sun_x) - 70; x < static_cast<int>(sun_x) + 70; ++x) {
            const double d = std::hypot(x + 0.5 - sun_x, y + 0.5 - sun_y);
            if (d < 64)
                picture.set(x, y,
                            mix(picture.get(x, y), Rgba{255, 250, 224}, std::pow(1.0 - d / 64, 2) * 0.8));
        }
    picture.ellipse(sun_x, sun_y, 16, 16, Rgba{255, 244, 190});
    auto ridge = [&](double base, double amplitude, double wavelength, double phase, Rgba colour, bool snow) {
        for (int x = 0; x < width; ++x) {
            const double t = x / wavelength + phase;
            const double crest =
                base - amplitude * (0.6 * std::fabs(std::sin(t)) + 0.4 * std::sin(2.3 * t + 1.0));
            const int top_y = static_cast<int>(crest);
            for (int y = std::max(top_y, 0); y < height; ++y) {
                Rgba c = colour;
                if (snow && y < top_y + 6 && crest < base - amplitude * 0.55) c = Rgba{238, 244, 252};
                picture.set(x, y, hash(x / 2, y / 2, 31, 9) == 0 ? shade(c, 6) : c);
            }
        }
    };
    ridge(height * 0.55, 70, 90, 0.3, Rgba{130, 160, 206}, true);
    ridge(height * 0.68, 36, 60, 1.7, Rgba{110, 176, 150}, false);
    ridge(height * 0.78, 20, 44, 0.9, Rgba{84, 156, 100}, false);
    return picture;
}

// --- The project ------------------------------------------------------------------------------------------

GridCell cell(std::uint32_t tile, std::uint8_t attribute = 0, bool flip_h = false, bool flip_v = false,
              bool rotate = false) {
    return GridCell{tile, zorva::make_cell_flags(flip_h, flip_v, rotate, attribute)};
}

// Collision marks a game reads from the attribute byte: a solid cell, and the top half that a platform
// can be stood on.
constexpr std::uint8_t kSolid = 255;
constexpr std::uint8_t kStandOn = 254;

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
            const std::size_t previous = closed || k > 0 ? (k + count - 1) % count : k;
            const std::size_t next = closed || k + 1 < count ? (k + 1) % count : k;
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

// An instance with its value (coins: points; enemies: hit points) and flags (bit 0 active, bit 2 hidden).
void add_instance(zorva::Project& project, const zorva::ParentEntity& parent, const zorva::Layer& layer,
                  float x, float y, std::int16_t value, bool flip = false) {
    zorva::InstanceEntity instance = zorva::make_instance_entity(parent, layer.map_id, layer.unique_id, x, y);
    instance.fh = flip;
    instance.custom_variables[0] = value;
    instance.custom_variables[1] = static_cast<std::int16_t>(0x0001);
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

// A row of a platform from column `from` to `to`, inclusive.
void platform(zorva::Layer& layer, int from, int to, int row) {
    using namespace terrain;
    for (int x = from; x <= to; ++x)
        *layer.cell(x, row) =
            cell(x == from ? kPlatformLeft : (x == to ? kPlatformRight : kPlatform), kStandOn);
}

// The meadow's ground: the surface row of every column, earth below it, a pond, a pit with spikes, bricks
// and crates. Only the cells a body can touch carry the solid mark.
void build_meadow_ground(zorva::Layer& ground, int width, int height, const std::vector<int>& surface) {
    using namespace terrain;
    // Beyond the map's sides the ground goes on: no edge there.
    auto solid_at = [&](int x, int y) {
        return x < 0 || x >= width || y >= surface[static_cast<std::size_t>(x)];
    };
    for (int x = 0; x < width; ++x) {
        const int top = surface[static_cast<std::size_t>(x)];
        if (top >= height) continue;
        for (int y = top; y < height; ++y) {
            const bool open_left = !solid_at(x - 1, y);
            const bool open_right = !solid_at(x + 1, y);
            GridCell c;
            if (y == top) {
                const std::uint32_t tile =
                    open_left ? kGrassLeft
                              : (open_right ? kGrassRight : (hash(x, y, 1, 3) == 0 ? kGrass2 : kGrass));
                c = cell(tile, kSolid);
            } else if (open_left || open_right) {
                c = cell(open_left ? kDirtLeft : kDirtRight, kSolid);
            } else {
                const int n = hash(x, y, 2, 14);
                c = cell(n == 0 ? kDirtStone : (n == 1 ? kDirtRoot : (n < 7 ? kDirt2 : kDirt)));
            }
            *ground.cell(x, y) = c;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path());
    fs::create_directories(folder / "Images");

    constexpr int kMeadowWidth = 40;
    constexpr int kMeadowHeight = 24;
    const struct {
        const char* name;
        Picture picture;
    } pictures[] = {
        {"terrain.png", draw_terrain()}, {"dungeon.png", draw_dungeon()},
        {"player.png", draw_player()},   {"coin.png", draw_coin()},
        {"slime.png", draw_slime()},     {"bat.png", draw_bat()},
        {"door.png", draw_door()},       {"sky.png", draw_sky(kMeadowWidth * kTile, kMeadowHeight * kTile)}};
    for (const auto& entry : pictures) {
        const std::string path = (folder / "Images" / entry.name).string();
        if (!entry.picture.save(path)) {
            std::fprintf(stderr, "generate_sample: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    const std::string images = std::string(kInstalledFolder) + "/Images/";
    auto image = [&](const char* name) { return images + name; };

    zorva::Project project;
    project.zoom = 200;
    project.last_used_image_tile_set_path = images;
    project.last_used_image_parent_entity_path = images;
    project.last_used_image_layer_background_path = images;
    project.descriptions_for(zorva::ObjectKind::TileSet)[0].desc = "Author";
    project.descriptions_for(zorva::ObjectKind::Map)[0].desc = "Music";
    project.descriptions_for(zorva::ObjectKind::Map)[1].desc = "Time limit";
    project.descriptions_for(zorva::ObjectKind::Layer)[0].desc = "Collision";
    project.descriptions_for(zorva::ObjectKind::ParentEntity)[0].desc = "Class";
    auto& instance_descriptions = project.descriptions_for(zorva::ObjectKind::InstanceEntity);
    instance_descriptions[0].desc = "Value";
    instance_descriptions[1].desc = "ActSldHidBos";  // 3-character bit labels
    instance_descriptions[1].use_bits = true;
    project.descriptions_for(zorva::ObjectKind::PathPoint)[0].desc = "Speed";
    project.descriptions_for(zorva::ObjectKind::PathPoint)[1].desc = "Index";

    // Tile sets.
    zorva::TileSetProperties terrain_properties =
        zorva::make_default_tile_set(project, zorva::ProjectDefaults{});
    terrain_properties.name = "Terrain";
    terrain_properties.single_tile_pixel_width = kTile;
    terrain_properties.single_tile_pixel_height = kTile;
    terrain_properties.image_path_and_file_name = image("terrain.png");
    terrain_properties.custom_variables[0] = "Sample generator";
    zorva::TileSet* terrain_set = zorva::add_tile_set(project, terrain_properties, false, nullptr);
    zorva::TileSetProperties dungeon_properties = terrain_properties;
    dungeon_properties.name = "Dungeon";
    dungeon_properties.image_path_and_file_name = image("dungeon.png");
    dungeon_properties.user_supplied_id = 2;
    zorva::TileSet* dungeon_set = zorva::add_tile_set(project, dungeon_properties, false, nullptr);

    // Mosaics: a floating island of grass and a cave wall with a torch.
    {
        using namespace terrain;
        zorva::Mosaic island;
        island.tile_set_id = terrain_set->unique_id;
        island.gw = 3;
        island.gh = 2;
        island.grid = {cell(kGrassLeft, kSolid), cell(kGrass, kSolid), cell(kGrassRight, kSolid),
                       cell(kDirtLeft, kSolid),  cell(kDirtStone),     cell(kDirtRight, kSolid)};
        zorva::add_mosaic(*terrain_set, island, false, nullptr);
        zorva::Mosaic wall;
        wall.tile_set_id = dungeon_set->unique_id;
        wall.gw = 2;
        wall.gh = 2;
        wall.grid = {cell(dungeon::kBricks), cell(dungeon::kTorch), cell(dungeon::kBricks2),
                     cell(dungeon::kBricks)};
        zorva::add_mosaic(*dungeon_set, wall, false, nullptr);
    }

    // Parent entities.
    zorva::ParentEntityProperties player =
        zorva::make_default_parent_entity(project, zorva::ProjectDefaults{});
    player.name = "Player";
    player.single_frame_pixel_width = kTile;
    player.single_frame_pixel_height = 24;
    player.image_path_and_file_name = image("player.png");
    player.custom_variables[0] = "player";
    const zorva::ParentEntity* player_entity = zorva::add_parent_entity(project, player, false, nullptr);
    zorva::ParentEntityProperties coin = player;
    coin.name = "Coin";
    coin.single_frame_pixel_height = kTile;
    coin.image_path_and_file_name = image("coin.png");
    coin.custom_variables[0] = "pickup";
    const zorva::ParentEntity* coin_entity = zorva::add_parent_entity(project, coin, false, nullptr);
    zorva::ParentEntityProperties slime = coin;
    slime.name = "Slime";
    slime.image_path_and_file_name = image("slime.png");
    slime.custom_variables[0] = "enemy";
    const zorva::ParentEntity* slime_entity = zorva::add_parent_entity(project, slime, false, nullptr);
    zorva::ParentEntityProperties bat = slime;
    bat.name = "Bat";
    bat.image_path_and_file_name = image("bat.png");
    const zorva::ParentEntity* bat_entity = zorva::add_parent_entity(project, bat, false, nullptr);
    zorva::ParentEntityProperties door = coin;
    door.name = "Exit Door";
    door.single_frame_pixel_height = 2 * kTile;
    door.image_path_and_file_name = image("door.png");
    door.custom_variables[0] = "exit";
    const zorva::ParentEntity* door_entity = zorva::add_parent_entity(project, door, false, nullptr);

    // Map 1: the meadow. The sky layer wraps and scrolls slower than the ground (a game's parallax; the
    // editor draws every layer at the same speed); the decoration layer sits in front of the ground.
    zorva::MapProperties meadow_properties = zorva::make_default_map(project);
    meadow_properties.name = "Meadow";
    meadow_properties.use_tile_set_id = terrain_set->unique_id;
    meadow_properties.selected_tile_index = terrain::kGrass;
    meadow_properties.pixel_size_of_tiles_in_tiles_dialog = 32;
    meadow_properties.camera_grid_position_y = 4;
    meadow_properties.custom_variables[0] = "meadow_theme.ogg";
    meadow_properties.custom_variables[1] = "300";
    zorva::Map* meadow = zorva::add_map(project, meadow_properties, false, nullptr);

    zorva::Layer* sky = add_layer(project, *meadow, "Sky", kMeadowWidth, kMeadowHeight);
    sky->wrap_x = true;
    sky->scroll_speed_x = 0.25f;
    sky->scroll_speed_y = 0.1f;
    sky->use_background_image = true;
    sky->background_image_path_and_file_name = image("sky.png");
    for (const auto& [x, y] : {std::pair{3, 4}, {14, 2}, {24, 5}, {33, 3}}) {
        *sky->cell(x, y) = cell(terrain::kCloudLeft);
        *sky->cell(x + 1, y) = cell(terrain::kCloud);
        *sky->cell(x + 2, y) = cell(terrain::kCloudRight);
    }

    // The height of the ground in every column: a start area, a pond, a hill, a pit, and the way to the exit.
    std::vector<int> surface(kMeadowWidth, 18);
    for (int x = 11; x <= 14; ++x) surface[static_cast<std::size_t>(x)] = 20;             // the pond's bed
    for (int x = 17; x <= 23; ++x) surface[static_cast<std::size_t>(x)] = 16;             // the hill
    for (int x = 24; x <= 27; ++x) surface[static_cast<std::size_t>(x)] = kMeadowHeight;  // the pit
    for (int x = 28; x < kMeadowWidth; ++x) surface[static_cast<std::size_t>(x)] = 17;

    zorva::Layer* ground = add_layer(project, *meadow, "Ground", kMeadowWidth, kMeadowHeight);
    ground->is_main_layer = true;
    ground->custom_variables[0] = "solid";
    build_meadow_ground(*ground, kMeadowWidth, kMeadowHeight, surface);
    {
        using namespace terrain;
        // Water over the pond's bed.
        for (int x = 11; x <= 14; ++x) {
            *ground->cell(x, 18) = cell(kWaterTop);
            *ground->cell(x, 19) = cell(kWater);
        }
        // Spikes at the bottom of the pit.
        for (int x = 24; x <= 27; ++x) *ground->cell(x, 23) = cell(kSpikes, kSolid);
        platform(*ground, 5, 7, 14);
        platform(*ground, 24, 27, 13);
        *ground->cell(9, 13) = cell(kBonus, kSolid);
        *ground->cell(10, 13) = cell(kBricks, kSolid);
        *ground->cell(11, 13) = cell(kBonus, kSolid);
        for (int y = 12; y < 16; ++y) *ground->cell(20, y) = cell(kLadder);
        *ground->cell(20, 11) = cell(kPlatform, kStandOn);
        *ground->cell(19, 11) = cell(kPlatformLeft, kStandOn);
        *ground->cell(21, 11) = cell(kPlatformRight, kStandOn);
        *ground->cell(31, 16) = cell(kCrate, kSolid);
        *ground->cell(32, 16) = cell(kCrate, kSolid);
        *ground->cell(32, 15) = cell(kCrate, kSolid);
        for (int x = 34; x <= 35; ++x)
            for (int y = 14; y <= 16; ++y) *ground->cell(x, y) = cell(kBricks, kSolid);
    }

    zorva::Layer* decor = add_layer(project, *meadow, "Decor", kMeadowWidth, kMeadowHeight);
    {
        using namespace terrain;
        auto on_ground = [&](int x, std::uint32_t tile, bool flip = false) {
            *decor->cell(x, surface[static_cast<std::size_t>(x)] - 1) = cell(tile, 0, flip);
        };
        on_ground(1, kSign);
        on_ground(3, kTallGrass);
        on_ground(5, kFlowerRed);
        on_ground(6, kBushLeft);
        on_ground(7, kBushRight);
        on_ground(9, kFlowerYellow);
        on_ground(16, kRock);
        on_ground(17, kMushroom);
        on_ground(18, kTallGrass, true);
        on_ground(22, kFlowerRed);
        on_ground(23, kFence);
        on_ground(29, kFlowerYellow);
        on_ground(30, kTallGrass);
        on_ground(36, kBushLeft);
        on_ground(37, kBushRight);
        on_ground(39, kFence);
    }

    auto on_surface = [&](int column, float height) {
        return static_cast<float>(surface[static_cast<std::size_t>(column)] * kTile) - height;
    };
    add_instance(project, *player_entity, *ground, 2 * kTile, on_surface(2, 24), 3);
    // Coins: an arc over the pond, a row on the hill, some over the pit's platform.
    for (int i = 0; i < 5; ++i) {
        const float x = static_cast<float>(10 * kTile + i * 20);
        const float y = 15.0f * kTile - 20.0f * std::sin(i * 3.14159265f / 4.0f);
        add_instance(project, *coin_entity, *ground, x, y, 10);
    }
    for (int x = 6; x <= 7; ++x) add_instance(project, *coin_entity, *ground, x * kTile, 13 * kTile, 10);
    for (int x = 24; x <= 27; ++x) add_instance(project, *coin_entity, *ground, x * kTile, 12 * kTile, 10);
    add_instance(project, *coin_entity, *ground, 20 * kTile, 10 * kTile, 50);
    add_instance(project, *slime_entity, *ground, 18 * kTile, on_surface(18, kTile), 2);
    add_instance(project, *slime_entity, *ground, 33 * kTile, on_surface(33, kTile), 2, true);
    add_instance(project, *bat_entity, *ground, 23 * kTile, 9 * kTile, 1);
    add_instance(project, *door_entity, *ground, 38 * kTile, on_surface(38, 2 * kTile), 1);
    // The bat flies a Bézier curve over the pit; the slime on the hill patrols its top.
    add_path(project, *ground, {368, 144, 400, 104, 448, 152, 496, 112, 528, 160}, false, true, 2);
    add_path(project, *ground, {272, 244, 352, 244, 352, 252, 272, 252}, true, false, 1);
    meadow->selected_layer_id = ground->unique_id;

    // Map 2: a crystal cave with a lava pool, lit by torches.
    zorva::MapProperties cave_properties = zorva::make_default_map(project);
    cave_properties.name = "Crystal Cave";
    cave_properties.use_tile_set_id = dungeon_set->unique_id;
    cave_properties.selected_tile_index = dungeon::kFloor;
    cave_properties.pixel_size_of_tiles_in_tiles_dialog = 32;
    cave_properties.custom_variables[0] = "cave_drips.ogg";
    cave_properties.custom_variables[1] = "120";
    zorva::Map* cave = zorva::add_map(project, cave_properties, false, nullptr);
    constexpr int kCaveWidth = 32;
    constexpr int kCaveHeight = 18;
    zorva::Layer* back = add_layer(project, *cave, "Back Wall", kCaveWidth, kCaveHeight);
    back->use_background_colour = true;
    back->background_colour = 0x00201820u;
    zorva::Layer* walls = add_layer(project, *cave, "Walls", kCaveWidth, kCaveHeight);
    walls->is_main_layer = true;
    {
        using namespace dungeon;
        for (int y = 2; y < kCaveHeight - 2; ++y)
            for (int x = 0; x < kCaveWidth; ++x) *back->cell(x, y) = cell(kBackWall);
        for (int x = 0; x < kCaveWidth; ++x) {
            for (int y = 0; y < 2; ++y) *walls->cell(x, y) = cell(kRock);
            *walls->cell(x, 2) = cell(kCeiling, kSolid, hash(x, 0, 3, 2) == 0);
            const bool lava = x >= 13 && x <= 18;
            for (int y = 15; y < kCaveHeight; ++y)
                *walls->cell(x, y) = lava ? cell(y == 15 ? kLavaTop : kLava)
                                          : cell(y == 15 ? kFloor : kRock, y == 15 ? kSolid : 0);
        }
        for (int x : {4, 9, 22, 27}) *walls->cell(x, 3) = cell(kStalagmite, 0, false, true);
        for (int x = 3; x < kCaveWidth; x += 7) *walls->cell(x, 8) = cell(kTorch);
        for (int x = 14; x <= 17; ++x) *walls->cell(x, 11) = cell(kLedge, kStandOn);
        *walls->cell(6, 14) = cell(kCrystalBlue);
        *walls->cell(7, 14) = cell(kCrystalViolet);
        *walls->cell(21, 14) = cell(kGlowShroom);
        *walls->cell(25, 14) = cell(kCrystalBlue);
        *walls->cell(10, 14) = cell(kStalagmite);
        for (int y = 10; y < 15; ++y) *walls->cell(29, y) = cell(kBricks, kSolid);
        *walls->cell(29, 9) = cell(kBeam, kSolid);
        *walls->cell(2, 14) = cell(kSpikes, kSolid);
    }
    add_instance(project, *slime_entity, *walls, 8 * kTile, 14 * kTile, 3);
    for (int x = 14; x <= 17; ++x) add_instance(project, *coin_entity, *walls, x * kTile, 10 * kTile, 25);
    add_instance(project, *door_entity, *walls, 30 * kTile, 13 * kTile, 2);
    add_instance(project, *bat_entity, *walls, 15 * kTile, 6 * kTile, 2);
    add_path(project, *walls, {176, 96, 256, 64, 336, 96, 304, 144, 208, 144}, true, true, 3);
    cave->selected_layer_id = walls->unique_id;

    project.select_tile_set(terrain_set->unique_id);
    project.select_parent_entity(coin_entity->unique_id);
    project.select_map(meadow->unique_id);
    project.select_layer(ground->unique_id);

    // Written as the installed file, so that every relative path is right beside it; no date, so the same
    // project gives the same bytes.
    const std::string text =
        zorva::xml_document_text(project, std::string(kInstalledFolder) + "/Sample.xml", nullptr);
    const std::string path = (folder / "Sample.xml").string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "generate_sample: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}
