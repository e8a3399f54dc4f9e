// Custom variables: 100 texts of 50 characters (tile sets, maps, layers, parent entities) or 100 signed
// 16-bit values (instance entities, path points) per object, and one table of 100 descriptions per
// object kind shared by all objects of that kind.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/fixed_text.h"
#include "model/ids.h"

namespace zorva {

inline constexpr int kCustomVariableCount = 100;
inline constexpr int kCustomTextLength = 50;
inline constexpr int kCustomVariableBits = 16;

using CustomText = ShortText;  // 50 characters + terminator = 51 bytes
using TextVariables = std::array<CustomText, kCustomVariableCount>;
using IntVariables = std::array<std::int16_t, kCustomVariableCount>;

static_assert(sizeof(TextVariables) == 5100);
static_assert(sizeof(IntVariables) == 200);

struct CustomVariableDescription {
    ShortText desc;                  // "Variable%02d" with the 1-based index by default
    bool use_bits = false;           // shown and edited as 16 flags
    bool show_in_view = false;       // instance entity table only: value shown beside each instance
    bool show_desc_in_view = false;  // instance entity table only: description shown too
};

using DescriptionTable = std::array<CustomVariableDescription, kCustomVariableCount>;

// 100 descriptions "Variable01" ... "Variable100", all flags false.
DescriptionTable make_default_descriptions();

// Bit mode. Flags are numbered 0 to 15 from left to right.
// 16-bit value: flag n is bit 15 - n.
bool int_variable_flag(std::int16_t value, int flag);
std::int16_t with_int_variable_flag(std::int16_t value, int flag, bool on);
// Text: flag n (0-7) is bit 7 - n of the first byte, flag n (8-15) bit 15 - n of the second byte.
bool text_variable_flag(const CustomText& text, int flag);
void set_text_variable_flag(CustomText& text, int flag, bool on);
// The 16 flags as a string of '1' and '0', flag 0 first.
std::string int_variable_bits(std::int16_t value);
std::string text_variable_bits(const CustomText& text);
// Label n of a description in bit mode: characters 3n+1 to 3n+3 (1-based) of `desc`, shorter where it ends.
std::string bit_label(std::string_view desc, int flag);

// Clamps a typed integer into -32768 ... 32767.
std::int16_t clamp_to_int16(long long value);

// List lines of the custom-variables list; `index` is 0-based and shown 1-based ("%02d").
std::string format_text_variable_line(int index, std::string_view desc, std::string_view value);
std::string format_int_variable_line(int index, std::string_view desc, int value);
// Bit mode: "%02d:  %s   =   " followed by the 16 flag characters.
std::string format_bits_variable_line(int index, std::string_view desc, std::string_view bits);

}  // namespace zorva
