// The editor's own pictures, drawn by code: the attribute icons shown on cells whose attribute is
// 227 to 255, and the picture of a parent entity that has neither an image nor a trigger.
#pragma once

#include <array>

#include "image/image.h"

namespace zorva {

class BuiltinPictures {
public:
    static constexpr int kFirstIconValue = 227;
    static constexpr int kLastIconValue = 255;
    static constexpr int kIconSize = 16;
    static constexpr int kDefaultEntitySize = 8;

    // Draws every picture. When memory is short the affected pictures stay empty.
    BuiltinPictures();

    // The 16 × 16 icon of attribute `value`, or an empty image outside 227..255.
    const Image& attribute_icon(int value) const;
    // The 8 × 8 stand-in for a parent entity without image.
    const Image& default_entity() const { return default_entity_; }

private:
    std::array<Image, kLastIconValue - kFirstIconValue + 1> icons_;  // slot 255 - value
    Image default_entity_;
    Image none_;
};

}  // namespace zorva
