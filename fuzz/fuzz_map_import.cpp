// libFuzzer target for the binary MAP import: any MAP bytes under a few fixed layouts and under layouts
// taken from the input itself.
//
// The first 24 bytes choose the layout; the rest is the MAP file, read from memory with its size known or
// (one layout bit) unknown. The import must never crash, and whatever it makes must come from the bytes
// there were: no layer holds more cells than the file had bytes, and no more layers are made than the file
// could fill.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "import/map_import.h"

namespace {

// A 2 x 1 24-bit BMP, the tile set image of every run.
const std::string& tile_image() {
    static const std::string path = [] {
        std::string name = "/tmp/zorva-fuzz-map-import-" + std::to_string(::getpid()) + ".bmp";
        const unsigned char bmp[] = {
            'B', 'M', 62, 0, 0,   0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
            40,  0,   0,  0, 2,   0, 0, 0, 1, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0,
            8,   0,   0,  0, 0,   0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0,  // info header
            255, 0,   0,  0, 255, 0, 0, 0,                                        // two pixels and padding
        };
        if (std::FILE* file = std::fopen(name.c_str(), "wb")) {
            std::fwrite(bmp, 1, sizeof bmp, file);
            std::fclose(file);
        }
        return name;
    }();
    return path;
}

// Answers the size questions from a bit of the input.
class FuzzPlatform : public zorva::Platform {
public:
    explicit FuzzPlatform(bool yes) : yes_(yes) {}
    zorva::Answer message_box(std::string_view, std::string_view, zorva::MessageButtons, zorva::MessageIcon,
                              zorva::Answer) override {
        return yes_ ? zorva::Answer::Yes : zorva::Answer::No;
    }

private:
    bool yes_;
};

std::uint32_t u32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr std::size_t kLayoutBytes = 24;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kLayoutBytes) return 0;
    const std::uint8_t* layout = data;
    const std::uint8_t* map = data + kLayoutBytes;
    const std::size_t map_size = size - kLayoutBytes;

    zorva::ImportSettings s;
    s.map_file = "fuzz.map";
    s.tile_set_image = tile_image();
    s.tile_width = s.tile_height = 16;
    const std::uint8_t flags = layout[1];
    switch (layout[0] % 4) {
        case 0:  // a fixed 8 x 8 map of one-byte cells
            s.map_width = s.map_height = 8;
            s.cell_size = 1;
            break;
        case 1:  // sizes of two bytes at the start, two-byte cells after them
            s.width_from_file = s.height_from_file = true;
            s.width_field_size = s.height_field_size = 2;
            s.cell_size = 2;
            break;
        case 2:  // sizes at positions, the array at a position, skips
            s.width_from_file = s.height_from_file = true;
            s.width_field_size = 1 + layout[2] % 4;
            s.height_field_size = 1 + layout[3] % 4;
            s.use_width_position = s.use_height_position = s.use_map_array_position = true;
            s.width_position = static_cast<std::int8_t>(layout[4]);
            s.height_position = static_cast<std::int8_t>(layout[5]);
            s.map_array_position = static_cast<std::int16_t>(layout[6] | layout[7] << 8);
            s.cell_size = 1 + layout[8] % 4;
            s.skip_after_cell = layout[9] % 4;
            s.skip_after_layer = layout[10];
            break;
        default:  // every value from the input, in range or not
            s.map_width = u32(layout + 2);
            s.map_height = u32(layout + 6);
            s.width_from_file = (flags & 0x10) != 0;
            s.height_from_file = (flags & 0x20) != 0;
            s.width_field_size = layout[10] % 6;
            s.height_field_size = layout[11] % 6;
            s.use_width_position = s.use_height_position = (flags & 0x40) != 0;
            s.width_position = static_cast<std::int8_t>(layout[12]);
            s.height_position = static_cast<std::int8_t>(layout[13]);
            s.use_map_array_position = (flags & 0x80) != 0;
            s.map_array_position = static_cast<std::int32_t>(u32(layout + 14));
            s.cell_size = layout[18] % 6;
            s.skip_after_cell = layout[19] < 250 ? layout[19] % 3 : u32(layout + 20);
            s.skip_after_layer = u32(layout + 20);
            break;
    }
    s.tile_index_adjuster = static_cast<std::int8_t>(layout[23]);
    s.invert_layer_order = (flags & 0x01) != 0;
    s.use_transparent_colour = (flags & 0x02) != 0;
    const bool size_known = (flags & 0x04) == 0;
    const bool merge = (flags & 0x08) != 0;

    FuzzPlatform platform(layout[1] < 200);
    zorva::Project open;
    zorva::MemoryMapSource source({map, map_size});
    zorva::ImportOptions options;
    options.memory_limit = 8u << 20;
    const zorva::ImportResult result = zorva::import_binary_map(
        s, source, size_known ? std::optional<std::uint64_t>(map_size) : std::nullopt,
        merge ? &open : nullptr, platform, options);
    if (!result.ok) {
        if (result.project || result.message.empty()) __builtin_trap();
        return 0;
    }
    const zorva::Project& project = merge ? open : *result.project;
    const zorva::Map* imported = zorva::find_map(project, result.map_id);
    if (!imported || imported->layers.empty()) __builtin_trap();
    if (size_known) {
        // A layer's cells came from the file, and every layer but the last was filled from it.
        const std::size_t cells = imported->layers[0]->grid.size();
        if (cells * s.cell_size > map_size) __builtin_trap();
        if ((imported->layers.size() - 1) * cells * s.cell_size > map_size) __builtin_trap();
    }
    return 0;
}
