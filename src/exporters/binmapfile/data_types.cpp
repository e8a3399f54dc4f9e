#include "exporters/binmapfile/data_types.h"

namespace zorva::binmap {

const std::array<DataTypeDesc, kDataTypeCount> gtDataTypeDesc = {{
    {kTypeBoolean, "Boolean", 1},
    {kTypeSignedByte, "Signed Byte", 1},
    {kTypeUnsignedByte, "Unsigned Byte", 1},
    {kTypeSignedShort, "Signed Short", 2},
    {kTypeUnsignedShort, "Unsigned Short / Word", 2},
    {kTypeSignedInt, "Signed Int", 4},
    {kTypeUnsignedInt, "Unsigned Int / DWord", 4},
    {kTypeFloat, "Float", 4},
}};

const DataTypeDesc* find_data_type(std::uint32_t id) {
    return id < gtDataTypeDesc.size() ? &gtDataTypeDesc[id] : nullptr;
}

bool data_types_in_order(std::span<const DataTypeDesc> table) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].id != i) return false;
    }
    return true;
}

}  // namespace zorva::binmap
