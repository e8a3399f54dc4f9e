#include "exporters/binmapfile/value_encoding.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "exporters/binmapfile/data_types.h"
#include "exporters/binmapfile/export_list.h"

namespace zorva::binmap {
namespace {

EncodedValue little_endian(std::uint64_t bits, std::size_t size) {
    EncodedValue out;
    out.size = size;
    for (std::size_t i = 0; i < size; ++i) out.bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return out;
}

// One conversion for every source kind: the integer the integer types take their low bits from, whether
// the value counts as non-zero, and the value as a float.
EncodedValue encode(std::int64_t integer, bool non_zero, float as_float, std::uint32_t type) {
    switch (type) {
        case kTypeBoolean:
            return little_endian(non_zero ? 1 : 0, 1);
        case kTypeSignedByte:
        case kTypeUnsignedByte:
            return little_endian(static_cast<std::uint64_t>(integer), 1);
        case kTypeSignedShort:
        case kTypeUnsignedShort:
            return little_endian(static_cast<std::uint64_t>(integer), 2);
        case kTypeSignedInt:
        case kTypeUnsignedInt:
            return little_endian(static_cast<std::uint64_t>(integer), 4);
        case kTypeFloat: {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &as_float, sizeof bits);
            return little_endian(bits, 4);
        }
        default:
            return {};
    }
}

std::int64_t truncate_float(float value) {
    if (!std::isfinite(value)) return 0;
    const double truncated = std::trunc(static_cast<double>(value));
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (truncated >= kLimit || truncated < -kLimit) return 0;
    return static_cast<std::int64_t>(truncated);
}

}  // namespace

EncodedValue encode_unsigned32(std::uint32_t value, std::uint32_t type) {
    return encode(value, value != 0, static_cast<float>(value), type);
}

EncodedValue encode_flag(std::uint8_t value, std::uint32_t type) {
    const bool set = value != 0;
    return encode(set ? 1 : 0, set, set ? 1.0f : 0.0f, type);
}

EncodedValue encode_float(float value, std::uint32_t type) {
    return encode(truncate_float(value), !std::isnan(value) && value != 0.0f, value, type);
}

EncodedValue encode_signed32(std::int32_t value, std::uint32_t type) {
    return encode(value, value != 0, static_cast<float>(value), type);
}

EncodedValue encode_signed16(std::int16_t value, std::uint32_t type) {
    return encode(value, value != 0, static_cast<float>(value), type);
}

EncodedValue encode_unsigned8(std::uint8_t value, std::uint32_t type) {
    return encode(value, value != 0, static_cast<float>(value), type);
}

void append_string(std::vector<std::uint8_t>& out, std::string_view text, std::uint32_t length,
                   std::uint32_t type) {
    const std::size_t count = std::min<std::size_t>(length, kMaxStringLength);
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    const std::size_t used = std::min(text.size(), count);
    if (type == kTypeSignedByte || type == kTypeUnsignedByte) {
        out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(used));
        out.insert(out.end(), count - used, 0);
    } else if (type == kTypeSignedShort || type == kTypeUnsignedShort) {
        for (std::size_t i = 0; i < used; ++i) {
            const auto unit =
                static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>(text[i])));
            out.push_back(static_cast<std::uint8_t>(unit));
            out.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        out.insert(out.end(), 2 * (count - used), 0);
    }
}

std::string_view fixed_text(const char* array, std::size_t capacity) {
    return std::string_view(array, strnlen(array, capacity));
}

}  // namespace zorva::binmap
