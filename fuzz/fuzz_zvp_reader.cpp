// libFuzzer target for the binary project file reader: any bytes must give a project or a clean failure,
// with no allocation beyond what the input can hold.
#include <cstddef>
#include <cstdint>
#include <span>

#include "projectfile/zvp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A folder that does not exist: relative paths in the input resolve to nothing.
    zorva::read_zvp_project_from_memory(std::span<const unsigned char>(data, size),
                                        "/nonexistent-zvp-fuzz/level.zvp");
    return 0;
}
