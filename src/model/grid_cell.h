// One cell of a layer or mosaic grid: a tile index and a flag word, 8 bytes in memory and in files.
// Grids are stored row by row: the cell at column x, row y is element y * width + x.
#pragma once

#include <cstdint>
#include <type_traits>

namespace zorva {

inline constexpr std::uint32_t kCellFlipHorizontal = 1u << 0;
inline constexpr std::uint32_t kCellFlipVertical = 1u << 1;
inline constexpr std::uint32_t kCellRotate = 1u << 2;
inline constexpr int kCellAttributeShift = 3;
inline constexpr std::uint32_t kCellAttributeMask = 0xFFu << kCellAttributeShift;
inline constexpr std::uint32_t kCellFlagsMask = 0x7FFu;  // bits 11 to 31 are always 0

// The flag word of a cell with the given flips, rotation and attribute.
constexpr std::uint32_t make_cell_flags(bool flip_horizontal, bool flip_vertical, bool rotate,
                                        std::uint8_t attribute) {
    return (flip_horizontal ? kCellFlipHorizontal : 0u) | (flip_vertical ? kCellFlipVertical : 0u) |
           (rotate ? kCellRotate : 0u) | (static_cast<std::uint32_t>(attribute) << kCellAttributeShift);
}

struct GridCell {
    std::uint32_t tile = 0;   // 0 = empty; i >= 1 = tile i of the map's tile set
    std::uint32_t flags = 0;  // bit 0 flip H, bit 1 flip V, bit 2 rotate, bits 3-10 attribute

    bool empty() const { return tile == 0; }
    bool flip_horizontal() const { return (flags & kCellFlipHorizontal) != 0; }
    bool flip_vertical() const { return (flags & kCellFlipVertical) != 0; }
    bool rotate() const { return (flags & kCellRotate) != 0; }
    std::uint8_t attribute() const {
        return static_cast<std::uint8_t>((flags & kCellAttributeMask) >> kCellAttributeShift);
    }

    void set_flip_horizontal(bool on) {
        flags = on ? flags | kCellFlipHorizontal : flags & ~kCellFlipHorizontal;
    }
    void set_flip_vertical(bool on) { flags = on ? flags | kCellFlipVertical : flags & ~kCellFlipVertical; }
    void set_rotate(bool on) { flags = on ? flags | kCellRotate : flags & ~kCellRotate; }
    void set_attribute(std::uint8_t attribute) {
        flags =
            (flags & ~kCellAttributeMask) | (static_cast<std::uint32_t>(attribute) << kCellAttributeShift);
    }

    friend bool operator==(const GridCell&, const GridCell&) = default;
};

static_assert(sizeof(GridCell) == 8);
static_assert(std::is_trivially_copyable_v<GridCell>);

}  // namespace zorva
