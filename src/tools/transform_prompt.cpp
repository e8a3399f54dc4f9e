#include "tools/transform_prompt.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <system_error>

#include "base/platform.h"
#include "prefs/preferences.h"

namespace zorva {

std::optional<float> parse_prompt_number(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > 64) return std::nullopt;
    std::string digits(text);
    if (digits.front() == '+') digits.erase(0, 1);
    if (digits.empty() || digits.front() == '+') return std::nullopt;
    for (char& c : digits) {
        if (c == ',') c = '.';
        // Only plain decimal numbers: no hexadecimal forms, and no "nan" or "inf" words.
        const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E';
        if (!allowed) return std::nullopt;
    }
    double value = 0.0;
    const char* first = digits.data();
    const char* last = digits.data() + digits.size();
    const std::from_chars_result result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last) return std::nullopt;
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(FLT_MAX)) return std::nullopt;
    return static_cast<float>(value);
}

std::string prompt_number_text(float value) {
    char text[64];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    if (result.ec != std::errc()) return "0";
    return std::string(text, result.ptr);
}

std::optional<float> ask_rotation_angle(Platform& platform, Preferences& preferences) {
    const std::optional<std::string> typed = platform.prompt_value(
        "Rotate",
        "Specify the angle of rotation (e.g. 90.5). Positive value rotates clockwise, and negative value "
        "anti-clockwise:",
        prompt_number_text(preferences.last_rotation_angle()));
    if (!typed) return std::nullopt;
    const std::optional<float> angle = parse_prompt_number(*typed);
    if (!angle || *angle == 0.0f) return std::nullopt;
    preferences.set_last_rotation_angle(*angle);
    return angle;
}

std::optional<double> ask_scale_factor(Platform& platform, Preferences& preferences) {
    const std::optional<std::string> typed = platform.prompt_value(
        "Scale", "Specify the scale percentage (e.g. 23.5). The value must be positive:",
        prompt_number_text(preferences.last_scale_percent()));
    if (!typed) return std::nullopt;
    const std::optional<float> percent = parse_prompt_number(*typed);
    if (!percent || !(*percent > 0.0f) || *percent == 100.0f) return std::nullopt;
    preferences.set_last_scale_percent(*percent);
    return static_cast<double>(*percent) / 100.0;
}

}  // namespace zorva
