// libFuzzer target for the binary exporter's settings reader (".zbe").
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "exporters/binmapfile/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte chooses the answer to the short-file question; the rest is the file.
    const bool keep_going = size > 0 && (data[0] & 1) != 0;
    const std::uint8_t* file = size > 0 ? data + 1 : data;
    std::size_t remaining = size > 0 ? size - 1 : 0;
    zorva::binmap::SettingsReadOptions options;
    options.continue_after_short_read = [keep_going] { return keep_going; };
    const auto result = zorva::binmap::read_settings(
        [&](std::uint8_t* into, std::size_t count) {
            const std::size_t taken = std::min(count, remaining);
            if (taken > 0) std::memcpy(into, file, taken);
            file += taken;
            remaining -= taken;
            return taken;
        },
        options);
    // Records come only from bytes that were there.
    if (result.variables.size() > size / 20 + 1) __builtin_trap();
    return 0;
}
