#include "model/custom_variables.h"

#include <cstdio>

namespace zorva {

DescriptionTable make_default_descriptions() {
    DescriptionTable table;
    for (int i = 0; i < kCustomVariableCount; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "Variable%02d", i + 1);
        table[static_cast<std::size_t>(i)].desc = text;
    }
    return table;
}

bool int_variable_flag(std::int16_t value, int flag) {
    if (flag < 0 || flag >= kCustomVariableBits) return false;
    return (static_cast<std::uint16_t>(value) >> (15 - flag)) & 1u;
}

std::int16_t with_int_variable_flag(std::int16_t value, int flag, bool on) {
    if (flag < 0 || flag >= kCustomVariableBits) return value;
    const auto bit = static_cast<std::uint16_t>(1u << (15 - flag));
    auto bits = static_cast<std::uint16_t>(value);
    bits = on ? static_cast<std::uint16_t>(bits | bit) : static_cast<std::uint16_t>(bits & ~bit);
    return static_cast<std::int16_t>(bits);
}

bool text_variable_flag(const CustomText& text, int flag) {
    if (flag < 0 || flag >= kCustomVariableBits) return false;
    const unsigned byte = text.byte(flag < 8 ? 0 : 1);
    const int bit = flag < 8 ? 7 - flag : 15 - flag;
    return (byte >> bit) & 1u;
}

void set_text_variable_flag(CustomText& text, int flag, bool on) {
    if (flag < 0 || flag >= kCustomVariableBits) return;
    const std::size_t index = flag < 8 ? 0 : 1;
    const int bit = flag < 8 ? 7 - flag : 15 - flag;
    unsigned byte = text.byte(index);
    byte = on ? byte | (1u << bit) : byte & ~(1u << bit);
    text.set_byte(index, static_cast<unsigned char>(byte));
}

std::string int_variable_bits(std::int16_t value) {
    std::string bits(kCustomVariableBits, '0');
    for (int n = 0; n < kCustomVariableBits; ++n)
        if (int_variable_flag(value, n)) bits[static_cast<std::size_t>(n)] = '1';
    return bits;
}

std::string text_variable_bits(const CustomText& text) {
    std::string bits(kCustomVariableBits, '0');
    for (int n = 0; n < kCustomVariableBits; ++n)
        if (text_variable_flag(text, n)) bits[static_cast<std::size_t>(n)] = '1';
    return bits;
}

std::string bit_label(std::string_view desc, int flag) {
    if (flag < 0 || flag >= kCustomVariableBits) return {};
    const std::size_t start = static_cast<std::size_t>(flag) * 3;
    if (start >= desc.size()) return {};
    return std::string(desc.substr(start, 3));
}

std::int16_t clamp_to_int16(long long value) {
    if (value < -32768) return -32768;
    if (value > 32767) return 32767;
    return static_cast<std::int16_t>(value);
}

namespace {

std::string line_head(int index, std::string_view desc) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", index + 1);
    std::string line(number);
    line += ":  ";
    line += desc;
    line += "   =   ";
    return line;
}

}  // namespace

std::string format_text_variable_line(int index, std::string_view desc, std::string_view value) {
    return line_head(index, desc) + std::string(value);
}

std::string format_int_variable_line(int index, std::string_view desc, int value) {
    return line_head(index, desc) + std::to_string(value);
}

std::string format_bits_variable_line(int index, std::string_view desc, std::string_view bits) {
    return line_head(index, desc) + std::string(bits);
}

}  // namespace zorva
