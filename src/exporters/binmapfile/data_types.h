// The data types an export variable can be stored in: the table gtDataTypeDesc.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace zorva::binmap {

struct DataTypeDesc {
    std::uint32_t id;
    const char* name;    // at most 99 characters
    std::uint32_t size;  // bytes per value (per character for strings)
};

enum DataTypeId : std::uint32_t {
    kTypeBoolean = 0,
    kTypeSignedByte = 1,
    kTypeUnsignedByte = 2,
    kTypeSignedShort = 3,
    kTypeUnsignedShort = 4,
    kTypeSignedInt = 5,
    kTypeUnsignedInt = 6,
    kTypeFloat = 7,
};

inline constexpr std::size_t kDataTypeCount = 8;

// Every entry's id equals its position; the writer checks this before each run.
extern const std::array<DataTypeDesc, kDataTypeCount> gtDataTypeDesc;

// The entry of a data type id, or nullptr when the id is out of range.
const DataTypeDesc* find_data_type(std::uint32_t id);

// True when every entry of `table` carries its own position as id.
bool data_types_in_order(std::span<const DataTypeDesc> table);

// Only the byte and short types can store strings (one or two bytes per character).
constexpr bool type_can_hold_string(std::uint32_t id) {
    return id >= kTypeSignedByte && id <= kTypeUnsignedShort;
}

}  // namespace zorva::binmap
