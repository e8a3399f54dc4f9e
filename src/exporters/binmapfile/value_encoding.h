// Converting the editor's values into the export variables' data types, little-endian.
//
// Every value comes from one of six kinds of source; the conversion to each data type is fixed:
//   unsigned 32-bit, signed 32-bit, signed 16-bit, unsigned byte: Boolean 1 when non-zero; Byte, Short and
//     Int the low 8, 16 or 32 bits of the value (signed 16-bit sign-extends to Int, the unsigned kinds
//     zero-extend); Float the value converted;
//   flag byte: 0 or 1 in every integer width, 0.0 or 1.0 as Float;
//   float: Boolean 1 when not 0.0 (NaN gives 0); integer types the value truncated toward zero, then its
//     low bits (NaN, infinities and values beyond 64 bits give 0); Float the float itself.
// Strings are written with a length of L characters: one byte per character for the byte types, one
// 16-bit unit per character (widened with its sign) for the short types, zero-filled; other types
// write nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zorva::binmap {

// The bytes of one value in a data type: 0 to 4 bytes (0 for an unknown type).
struct EncodedValue {
    std::uint8_t bytes[4] = {};
    std::size_t size = 0;
};

EncodedValue encode_unsigned32(std::uint32_t value, std::uint32_t type);
EncodedValue encode_flag(std::uint8_t value, std::uint32_t type);
EncodedValue encode_float(float value, std::uint32_t type);
EncodedValue encode_signed32(std::int32_t value, std::uint32_t type);
EncodedValue encode_signed16(std::int16_t value, std::uint32_t type);
EncodedValue encode_unsigned8(std::uint8_t value, std::uint32_t type);

// Appends `text` (cut at its first NUL) as a string of `length` characters (at most 260) in `type`.
void append_string(std::vector<std::uint8_t>& out, std::string_view text, std::uint32_t length,
                   std::uint32_t type);

// The text of a fixed character array: up to its first NUL, never past its end.
std::string_view fixed_text(const char* array, std::size_t capacity);

}  // namespace zorva::binmap
