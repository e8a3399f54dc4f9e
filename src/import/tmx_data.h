// Decoding the cell data of a TMX tile layer or chunk: CSV text, or base64 holding little-endian 32-bit
// global tile ids, uncompressed or compressed with zlib, gzip or (when built with it) zstd.
//
// The data must hold exactly the declared number of cells. Nothing is allocated beyond what the data
// fills: text that cannot hold the cells is refused before any cell buffer exists, and decompression stops
// as soon as its output passes the declared size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorva {

// Bit 31 flips horizontally, bit 30 vertically, bit 29 flips along the anti-diagonal; bit 28 belongs to
// hexagonal maps. The rest is the global tile id.
inline constexpr std::uint32_t kTmxFlipHorizontal = 0x80000000u;
inline constexpr std::uint32_t kTmxFlipVertical = 0x40000000u;
inline constexpr std::uint32_t kTmxFlipDiagonal = 0x20000000u;
inline constexpr std::uint32_t kTmxRotateHexagonal = 0x10000000u;
inline constexpr std::uint32_t kTmxTileIdMask = 0x0FFFFFFFu;

// True when zstd-compressed data can be read by this build.
bool tmx_zstd_supported();

// Decodes `text` (the data element's text) with the element's `encoding` ("csv" or "base64") and
// `compression` ("", "zlib", "gzip" or "zstd") into `cells` global ids. On failure returns false with a
// message in `error`; `out` is then unspecified.
bool decode_tmx_cells(std::string_view text, std::string_view encoding, std::string_view compression,
                      std::size_t cells, std::vector<std::uint32_t>& out, std::string& error);

// Standard base64 with optional padding; whitespace is skipped. False on any other character.
bool decode_base64(std::string_view text, std::vector<std::uint8_t>& out);

}  // namespace zorva
