// The "Rotate" and "Scale" prompts of the Transform menu: the one-value dialog through the platform seam,
// opened on the remembered angle or percentage, and the reading of what was typed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorva {

class Platform;
class Preferences;

// A decimal number typed into the one-value dialog: surrounding blanks ignored, an optional sign, a point
// or a comma before the fraction, an optional exponent. None for anything else, including NaN, infinities
// and numbers beyond the 32-bit float range.
std::optional<float> parse_prompt_number(std::string_view text);
// A remembered value as the dialog shows it (the shortest text that reads back as the same float).
std::string prompt_number_text(float value);

// Asks for an angle in degrees. An accepted angle (any number but 0) becomes the remembered angle and is
// returned; Cancel and anything else return none and keep the remembered angle.
std::optional<float> ask_rotation_angle(Platform& platform, Preferences& preferences);
// Asks for a percentage. An accepted one (above 0 and not 100) becomes the remembered percentage and is
// returned as a factor (percentage / 100); anything else returns none and keeps the remembered value.
std::optional<double> ask_scale_factor(Platform& platform, Preferences& preferences);

}  // namespace zorva
