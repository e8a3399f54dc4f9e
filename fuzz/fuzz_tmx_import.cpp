// libFuzzer target for the TMX import: any map text, and any text as the external tile set it names.
//
// The input up to its first NUL byte is the map; what follows is returned for every file the map asks for.
// The import must never crash, must stay within its memory limit, and must either fail with a message and
// nothing made, or make a map whose layers hold exactly their declared cells.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "import/tmx_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view map = input.substr(0, split);
    const std::string tile_set(split == std::string_view::npos ? std::string_view()
                                                               : input.substr(split + 1));
    const zorva::TmxFileReader reader = [&tile_set](const std::string&) -> std::optional<std::string> {
        if (tile_set.empty()) return std::nullopt;
        return tile_set;
    };
    zorva::TmxImportOptions options;
    options.memory_limit = 8u << 20;
    const zorva::TmxImportResult result =
        zorva::import_tmx_text(map, "/nonexistent/fuzz.tmx", reader, nullptr, options);
    if (!result.ok) {
        if (result.project || result.message.empty()) __builtin_trap();
        return 0;
    }
    const zorva::Map* imported = zorva::find_map(*result.project, result.map_id);
    if (!imported || imported->layers.empty()) __builtin_trap();
    for (const auto& layer : imported->layers)
        if (layer->grid.size() != layer->cell_count()) __builtin_trap();
    return 0;
}
