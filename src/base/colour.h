// Colours as the project, the preferences and the platform seam hold them: 0x00BBGGRR, red in the low byte.
#pragma once

#include <cstdint>

namespace zorva {

constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

}  // namespace zorva
