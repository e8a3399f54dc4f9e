#include "export/attribute_flip.h"

#include <array>

namespace zorva {
namespace {

// One row per attribute 227 to 254. Column 0 is the attribute itself; then its replacement when the cell
// is flipped H only, V only, rotated only, H+V, H+R, V+R, H+V+R.
constexpr int kRows = kLastFlipAttribute - kFirstFlipAttribute + 1;
constexpr std::array<std::array<std::uint8_t, 8>, kRows> kAttributeFlipTable = {{
    {227, 229, 228, 236, 230, 244, 237, 241}, {228, 230, 227, 237, 229, 241, 236, 244},
    {229, 227, 230, 244, 228, 236, 241, 237}, {230, 228, 229, 241, 227, 237, 244, 236},
    {231, 233, 232, 235, 234, 243, 238, 242}, {232, 234, 231, 238, 233, 242, 235, 243},
    {233, 231, 234, 243, 232, 235, 242, 238}, {234, 232, 233, 242, 231, 238, 243, 235},
    {235, 238, 243, 234, 242, 233, 232, 231}, {236, 237, 244, 230, 241, 229, 228, 227},
    {237, 236, 241, 229, 244, 230, 227, 228}, {238, 235, 242, 233, 243, 234, 231, 232},
    {239, 240, 246, 246, 245, 239, 245, 240}, {240, 239, 245, 239, 246, 246, 240, 245},
    {241, 244, 237, 227, 236, 228, 229, 230}, {242, 243, 238, 231, 235, 232, 233, 234},
    {243, 242, 235, 232, 238, 231, 234, 233}, {244, 241, 236, 228, 237, 227, 230, 229},
    {245, 246, 240, 240, 239, 245, 239, 246}, {246, 245, 239, 245, 240, 240, 246, 239},
    {247, 248, 249, 248, 250, 250, 247, 249}, {248, 247, 250, 250, 249, 248, 249, 247},
    {249, 250, 247, 247, 248, 249, 248, 250}, {250, 249, 248, 249, 247, 247, 250, 248},
    {251, 252, 251, 254, 252, 253, 254, 253}, {252, 251, 252, 253, 251, 254, 253, 254},
    {253, 253, 254, 251, 254, 251, 252, 252}, {254, 254, 253, 252, 253, 252, 251, 251},
}};

constexpr bool table_rows_in_order() {
    for (int i = 0; i < kRows; ++i)
        if (kAttributeFlipTable[static_cast<std::size_t>(i)][0] != kFirstFlipAttribute + i) return false;
    return true;
}
static_assert(table_rows_in_order(), "row i of the flip table must describe attribute 227 + i");

enum Column { kH = 1, kV = 2, kR = 3, kHV = 4, kHR = 5, kVR = 6, kHVR = 7 };

}  // namespace

std::uint8_t remap_attribute(std::uint8_t attribute, bool flip_horizontal, bool flip_vertical, bool rotate) {
    if (attribute < kFirstFlipAttribute || attribute > kLastFlipAttribute) return attribute;
    if (!flip_horizontal && !flip_vertical && !rotate) return attribute;
    int column = kR;
    if (flip_horizontal && flip_vertical && rotate)
        column = kHVR;
    else if (flip_horizontal && flip_vertical)
        column = kHV;
    else if (flip_horizontal && rotate)
        column = kHR;
    else if (flip_vertical && rotate)
        column = kVR;
    else if (flip_horizontal)
        column = kH;
    else if (flip_vertical)
        column = kV;
    return kAttributeFlipTable[static_cast<std::size_t>(attribute - kFirstFlipAttribute)]
                              [static_cast<std::size_t>(column)];
}

}  // namespace zorva
