// The attribute remap for flipped and rotated cells: attributes 227 to 254 name directional tiles
// (slopes, corners), and a flipped or rotated cell reports the attribute its mirrored shape has.
#pragma once

#include <cstdint>

namespace zorva {

inline constexpr std::uint8_t kFirstFlipAttribute = 227;
inline constexpr std::uint8_t kLastFlipAttribute = 254;

// The attribute a cell with `attribute` and these flags reports. Attributes outside 227 to 254 and
// cells without flips or rotation are returned unchanged; otherwise the column is chosen in the order
// H+V+R, H+V, H+R, V+R, H, V, R.
std::uint8_t remap_attribute(std::uint8_t attribute, bool flip_horizontal, bool flip_vertical, bool rotate);

}  // namespace zorva
