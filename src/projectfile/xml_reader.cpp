#include "projectfile/xml_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "model/path.h"
#include "projectfile/relative_path.h"

namespace zorva {

namespace xml_values {

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Leading white space, an optional sign and decimal digits, like the C library's integer readers. The
// magnitude saturates at `limit`. Returns false when there are no digits.
bool scan_integer(std::string_view text, std::size_t& position, bool& negative, std::uint64_t& magnitude,
                  std::uint64_t limit) {
    std::size_t p = position;
    while (p < text.size() && is_space(text[p])) ++p;
    negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size() || !is_digit(text[p])) return false;
    magnitude = 0;
    while (p < text.size() && is_digit(text[p])) {
        const auto digit = static_cast<std::uint64_t>(text[p] - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
        ++p;
    }
    position = p;
    return true;
}

}  // namespace

std::uint32_t parse_id(std::string_view text) {
    if (equals_ignoring_case(text, "0xffffffff")) return 0xFFFFFFFFu;
    std::size_t position = 0;
    bool negative = false;
    std::uint64_t magnitude = 0;
    // A 64-bit integer (saturated at its limits), then its low 32 bits.
    if (!scan_integer(text, position, negative, magnitude,
                      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1))
        return 0;
    std::uint64_t value = negative ? ~magnitude + 1 : magnitude;
    if (!negative && magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        value = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::uint32_t>(value);
}

std::int32_t parse_signed(std::string_view text) {
    std::size_t position = 0;
    bool negative = false;
    std::uint64_t magnitude = 0;
    if (!scan_integer(text, position, negative, magnitude, std::uint64_t{1} << 32)) return 0;
    if (negative) {
        if (magnitude >= std::uint64_t{1} << 31) return std::numeric_limits<std::int32_t>::min();
        return -static_cast<std::int32_t>(magnitude);
    }
    if (magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(magnitude);
}

float parse_float(std::string_view text) {
    std::size_t p = 0;
    while (p < text.size() && is_space(text[p])) ++p;
    if (p < text.size() && text[p] == '+') ++p;
    double value = 0.0;
    const char* first = text.data() + p;
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large gives infinity, too small zero, as the C library reads them.
        const bool minus = p < text.size() && text[p] == '-';
        std::size_t digits = p + (minus ? 1 : 0);
        while (digits < text.size() && (text[digits] == '0' || text[digits] == '.')) ++digits;
        std::size_t exponent = text.find_first_of("eE", p);
        const bool tiny =
            exponent != std::string_view::npos && exponent + 1 < text.size() && text[exponent + 1] == '-';
        if (tiny) return minus ? -0.0f : 0.0f;
        return minus ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    }
    if (result.ec != std::errc()) return 0.0f;
    if (std::isnan(value)) return static_cast<float>(value);
    if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
    if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

bool parse_bool(std::string_view text) {
    if (text == "0" || equals_ignoring_case(text, "false")) return false;
    if (text == "1" || equals_ignoring_case(text, "true")) return true;
    return parse_signed(text) != 0;
}

CellValues parse_cell(std::string_view text) {
    if (text.size() > 99) text = text.substr(0, 99);
    std::uint32_t values[5] = {0, 0, 0, 0, 0};
    std::size_t position = 0;
    for (int i = 0; i < 5; ++i) {
        if (i > 0) {
            if (position >= text.size() || text[position] != ',') break;
            ++position;
        }
        if (i == 0) {
            std::size_t p = position;
            while (p < text.size() && is_space(text[p])) ++p;
            if (text.size() - p >= 10 && equals_ignoring_case(text.substr(p, 10), "0xffffffff")) {
                values[0] = 0xFFFFFFFFu;
                position = p + 10;
                continue;
            }
        }
        bool negative = false;
        std::uint64_t magnitude = 0;
        if (!scan_integer(text, position, negative, magnitude, std::uint64_t{1} << 32)) break;
        // Unsigned 32-bit reading: out of range saturates, a minus sign negates modulo 2^32.
        if (magnitude > 0xFFFFFFFFu) {
            values[i] = 0xFFFFFFFFu;
        } else {
            values[i] = negative ? static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(magnitude))
                                 : static_cast<std::uint32_t>(magnitude);
        }
    }
    CellValues cell;
    cell.tile = values[0];
    cell.flags =
        make_cell_flags(values[1] != 0, values[2] != 0, values[3] != 0, static_cast<std::uint8_t>(values[4]));
    return cell;
}

}  // namespace xml_values

namespace {

using namespace xml_values;

// A cell needs at least "<grid>0</grid>" in the file; a dozen bytes per cell bounds every grid allocation
// by what the file can really hold.
constexpr std::uint64_t kMinBytesPerCell = 12;

constexpr std::size_t kNameSize = 31;
constexpr std::size_t kPathSize = 260;
constexpr std::size_t kShortTextSize = 51;

// ---------------------------------------------------------------------------------------------------
// The grid scanner. Before the tree is built, every <layer_grid> and <mosaic_grid> element whose content
// is nothing but plain <grid>text</grid> cells (and white space) is read here into a cell vector. The
// document handed to the parser is a copy of the file without those contents: each is replaced by one
// marker character, so the tree holds one element with a one-character text instead of millions of
// nodes, and the marker's address (inside our copy, which no file content can forge) leads back to the
// cells. Anything unusual (comments, entities, other elements, empty cells) is copied as it is and left
// to the ordinary tree walk, so the result is the same either way.

struct ScannedGrid {
    std::size_t marker = 0;  // offset of the marker in the copy
    std::vector<GridCell> cells;
};

// The common cell text "T,H,V,R,A" written by the editor (plain digits, no sign or spaces), parsed
// without the general reader. `p` points after "<grid>"; on success it points at the '<' that ends the
// text. Anything else returns false and leaves the general reader to it.
inline bool parse_plain_cell(const char*& p, const char* end, GridCell& cell) {
    const char* q = p;
    std::uint32_t tile = 0;
    int digits = 0;
    while (q < end && *q >= '0' && *q <= '9' && digits < 9) {
        tile = tile * 10 + static_cast<std::uint32_t>(*q - '0');
        ++q;
        ++digits;
    }
    if (digits == 0 || q >= end || *q != ',') return false;
    std::uint32_t flags = 0;
    for (std::uint32_t bit = 1; bit <= 4; bit <<= 1) {
        if (end - q < 3 || q[0] != ',' || q[1] < '0' || q[1] > '9' || q[2] != ',') return false;
        if (q[1] != '0') flags |= bit;
        q += 2;
    }
    ++q;  // the comma before the attribute
    std::uint32_t attribute = 0;
    digits = 0;
    while (q < end && *q >= '0' && *q <= '9' && digits < 9) {
        attribute = attribute * 10 + static_cast<std::uint32_t>(*q - '0');
        ++q;
        ++digits;
    }
    if (digits == 0 || q >= end || *q != '<') return false;
    cell.tile = tile;
    cell.flags = flags | ((attribute & 0xFFu) << kCellAttributeShift);
    p = q;
    return true;
}

// Whether `p` starts with the literal (its length known at compile time, so no library call).
template <std::size_t N>
inline bool same_bytes(const char* p, const char (&literal)[N]) {
    for (std::size_t i = 0; i + 1 < N; ++i)
        if (p[i] != literal[i]) return false;
    return true;
}

class GridScanner {
public:
    // Copies `source` into `copy_`, reading the plain grids on the way.
    void scan(std::string_view source) {
        source_ = source;
        copy_.clear();
        // Without its grid runs a document is mostly much smaller; a quarter avoids regrowing in the usual
        // case.
        copy_.reserve(source.size() / 4 + 4096);
        segments_.clear();
        segments_.push_back({0, 0});
        std::size_t copied = 0;  // source bytes copied so far
        std::size_t pos = 0;
        const char* data = source_.data();
        const std::size_t size = source_.size();
        while (pos < size) {
            const void* found = std::memchr(data + pos, '<', size - pos);
            if (!found) break;
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(found) - data);
            if (starts_with(at, "<!--")) {
                pos = skip_past(at + 4, "-->");
            } else if (starts_with(at, "<![CDATA[")) {
                pos = skip_past(at + 9, "]]>");
            } else if (starts_with(at, "<?")) {
                pos = skip_past(at + 2, "?>");
            } else if (starts_with(at, "<!")) {
                break;  // a document type declaration: leave the rest to the parser
            } else if (starts_with(at, "</")) {
                const void* close = std::memchr(data + at, '>', size - at);
                pos = close ? static_cast<std::size_t>(static_cast<const char*>(close) - data) + 1
                            : std::string_view::npos;
            } else {
                pos = start_tag(at, copied);
            }
            if (pos == std::string_view::npos) break;
        }
        copy_.append(data + copied, size - copied);
    }

    // The document for the parser (the file minus the scanned grid contents); null-terminated.
    std::string& copy() { return copy_; }

    // The offset in the file of offset `offset` in the copy.
    std::size_t source_offset(std::size_t offset) const {
        const auto next = std::upper_bound(segments_.begin(), segments_.end(), offset,
                                           [](std::size_t o, const Segment& s) { return o < s.copy_start; });
        const Segment& segment = *(next - 1);
        return segment.source_start + (offset - segment.copy_start);
    }

    // The grid whose marker is at `text` (a pointer into the copy), or null.
    ScannedGrid* find(const char* text) {
        if (!text || copy_.empty() || text < copy_.data() || text >= copy_.data() + copy_.size())
            return nullptr;
        const auto offset = static_cast<std::size_t>(text - copy_.data());
        const auto found =
            std::lower_bound(grids_.begin(), grids_.end(), offset,
                             [](const ScannedGrid& grid, std::size_t o) { return grid.marker < o; });
        if (found == grids_.end() || found->marker != offset) return nullptr;
        return &*found;
    }

private:
    struct Segment {
        std::size_t copy_start;
        std::size_t source_start;
    };

    bool starts_with(std::size_t at, std::string_view text) const {
        return source_.size() - at >= text.size() &&
               std::memcmp(source_.data() + at, text.data(), text.size()) == 0;
    }
    std::size_t skip_past(std::size_t from, std::string_view end) const {
        const std::size_t found = source_.find(end, from);
        return found == std::string_view::npos ? std::string_view::npos : found + end.size();
    }

    // A start tag at `at`: its end, honouring quoted attribute values. A bare <layer_grid> or <mosaic_grid>
    // gets its content scanned.
    std::size_t start_tag(std::size_t at, std::size_t& copied) {
        const char* data = source_.data();
        const std::size_t size = source_.size();
        std::size_t p = at + 1;
        char quote = 0;
        while (p < size) {
            const char c = data[p];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
            ++p;
        }
        if (p >= size) return std::string_view::npos;
        const std::string_view name(data + at + 1, p - at - 1);
        // The size stated just before a grid tells how many cells to expect (only a capacity hint).
        if (name.starts_with("layer_properties")) {
            expected_cells_ = stated_size(name, "grid_width=\"", "grid_height=\"");
        } else if (name.starts_with("mosaic_properties")) {
            expected_cells_ = stated_size(name, "gw=\"", "gh=\"");
        } else if (name == "layer_grid" || name == "mosaic_grid") {
            const std::size_t end = scan_grid(p + 1, name, copied);
            if (end != std::string_view::npos) return end;
        }
        return p + 1;
    }

    // Width x height from two attributes of a start tag's text; 0 when either is missing.
    static std::uint64_t stated_size(std::string_view tag, std::string_view width, std::string_view height) {
        const std::size_t w = tag.find(width);
        const std::size_t h = tag.find(height);
        if (w == std::string_view::npos || h == std::string_view::npos) return 0;
        return static_cast<std::uint64_t>(parse_id(tag.substr(w + width.size(), 12))) *
               parse_id(tag.substr(h + height.size(), 12));
    }

    // Reads the content from `from` up to "</name>". Returns the position after the end tag, or npos
    // (and keeps nothing) when the content is not plain cells.
    std::size_t scan_grid(std::size_t from, std::string_view name, std::size_t& copied) {
        const char* data = source_.data();
        const std::size_t size = source_.size();
        const char* end = data + size;
        std::vector<GridCell> cells;
        // Layers of a map usually share their size: the previous grid's size is a good first guess.
        // Capacity: the stated size, else the previous grid's (layers of a map usually share their size),
        // never more than the rest of the file could hold.
        const std::uint64_t expected = expected_cells_ != 0 ? expected_cells_ : last_grid_size_;
        expected_cells_ = 0;
        cells.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(expected, (size - from) / 14 + 1)));
        std::size_t p = from;
        for (;;) {
            while (p < size && (data[p] == ' ' || data[p] == '\t' || data[p] == '\r' || data[p] == '\n')) ++p;
            if (p >= size || data[p] != '<') return std::string_view::npos;
            if (size - p >= 6 && same_bytes(data + p, "<grid>")) {
                const char* text = data + p + 6;
                GridCell cell;
                const char* q = text;
                if (!parse_plain_cell(q, end, cell)) {
                    const void* lt = std::memchr(text, '<', static_cast<std::size_t>(end - text));
                    if (!lt) return std::string_view::npos;
                    q = static_cast<const char*>(lt);
                    const std::string_view value(text, static_cast<std::size_t>(q - text));
                    bool has_content = false;
                    for (const char c : value) {
                        if (c == '&' || c == '\r') return std::string_view::npos;
                        if (!(c == ' ' || c == '\t' || c == '\n')) has_content = true;
                    }
                    if (!has_content) return std::string_view::npos;
                    const CellValues values = parse_cell(value);
                    cell = GridCell{values.tile, values.flags};
                }
                if (end - q < 7 || !same_bytes(q, "</grid>")) return std::string_view::npos;
                cells.push_back(cell);
                p = static_cast<std::size_t>(q - data) + 7;
                continue;
            }
            if (size - p >= name.size() + 3 && data[p + 1] == '/' &&
                std::memcmp(data + p + 2, name.data(), name.size()) == 0 && data[p + 2 + name.size()] == '>')
                break;
            return std::string_view::npos;
        }
        // p is at "</name>": copy what came before the content, then the marker in place of the content.
        if (cells.capacity() > cells.size() + cells.size() / 8 + 16) cells.shrink_to_fit();
        last_grid_size_ = cells.size();
        copy_.append(data + copied, from - copied);
        ScannedGrid grid;
        grid.marker = copy_.size();
        grid.cells = std::move(cells);
        grids_.push_back(std::move(grid));
        copy_.push_back('#');
        copied = p;
        segments_.push_back({copy_.size(), p});
        return p + name.size() + 3;
    }

    std::string_view source_;
    std::string copy_;
    std::vector<Segment> segments_;
    std::vector<ScannedGrid> grids_;  // in document order, so sorted by marker
    std::size_t last_grid_size_ = 0;
    std::uint64_t expected_cells_ = 0;
};

// ---------------------------------------------------------------------------------------------------
// Attribute readers. A missing attribute gives the reader's fixed default.

std::uint32_t read_id(const pugi::xml_node& element, const char* name, std::uint32_t missing = kInvalidId) {
    const pugi::xml_attribute attribute = element.attribute(name);
    return attribute ? parse_id(attribute.value()) : missing;
}
std::int32_t read_signed(const pugi::xml_node& element, const char* name) {
    const pugi::xml_attribute attribute = element.attribute(name);
    return attribute ? parse_signed(attribute.value()) : 0;
}
float read_float(const pugi::xml_node& element, const char* name) {
    const pugi::xml_attribute attribute = element.attribute(name);
    return attribute ? parse_float(attribute.value()) : 0.0f;
}
bool read_bool(const pugi::xml_node& element, const char* name) {
    const pugi::xml_attribute attribute = element.attribute(name);
    return attribute ? parse_bool(attribute.value()) : false;
}
// The text cut to size - 1 characters.
std::string_view read_text(const pugi::xml_node& element, const char* name, std::size_t size) {
    const pugi::xml_attribute attribute = element.attribute(name);
    if (!attribute) return {};
    std::string_view text = attribute.value();
    if (text.size() > size - 1) text = text.substr(0, size - 1);
    return text;
}
std::uint32_t read_colour(const pugi::xml_node& element, const char* red, const char* green, const char* blue,
                          std::uint32_t missing) {
    return (read_id(element, red, missing) & 0xFFu) | ((read_id(element, green, missing) & 0xFFu) << 8) |
           ((read_id(element, blue, missing) & 0xFFu) << 16);
}

void read_text_variables(const pugi::xml_node& parent, TextVariables& values) {
    std::size_t index = 0;
    for (pugi::xml_node cvar = parent.child("cvar"); cvar && index < values.size();
         cvar = cvar.next_sibling("cvar")) {
        values[index++] = read_text(cvar, "val", kShortTextSize);
    }
}

void read_int_variables(const pugi::xml_node& parent, IntVariables& values) {
    std::size_t index = 0;
    for (pugi::xml_node cvar = parent.child("cvar"); cvar && index < values.size();
         cvar = cvar.next_sibling("cvar")) {
        values[index++] =
            static_cast<std::int16_t>(static_cast<std::uint16_t>(read_signed(cvar, "val") & 0xFFFF));
    }
}

// The format with its "%lu" replaced by `number`.
std::string with_number(std::string format, unsigned long number) {
    const std::size_t at = format.find("%lu");
    if (at != std::string::npos) format.replace(at, 3, std::to_string(number));
    return format;
}

// "<outer>\n<inner>\n" or just "<outer>" when the inner message is empty.
std::string nest(std::string outer, const std::string& inner) {
    if (inner.empty()) return outer;
    outer += '\n';
    outer += inner;
    outer += '\n';
    return outer;
}

std::string replace_first(std::string format, std::string_view value) {
    const std::size_t at = format.find("%s");
    if (at != std::string::npos) format.replace(at, 2, value);
    return format;
}

// ---------------------------------------------------------------------------------------------------

class ProjectReader {
public:
    ProjectReader(std::string_view path, std::uint64_t file_size, Platform* platform)
        : path_(path), platform_(platform), cell_budget_(file_size / kMinBytesPerCell) {}

    // Builds the project from the parsed document. False with `message_` set on failure.
    bool build(const pugi::xml_document& document, GridScanner& grids, LoadResult& result) {
        grids_ = &grids;
        skipped_ = &result.skipped_instances;
        auto project = std::make_unique<Project>();
        project_ = project.get();

        const pugi::xml_node root = document.child("project");
        if (!root) {
            message_ = "Failed to find the \"project\" node in the XML file.";
            return false;
        }
        const pugi::xml_node properties = root.child("project_properties");
        if (!properties) {
            message_ = "Failed to find the element \"project_properties\" in the XML file.";
            return false;
        }
        version_ = read_id(properties, "version");
        if (version_ < kProjectVersion || version_ == kInvalidId) result.version_differs = true;
        if (version_ > kProjectVersion && version_ != kInvalidId) {
            result.version_differs = true;
            result.newer_version = true;
            message_.clear();
            return false;
        }
        read_project_properties(properties);
        read_descriptions(root.child("custom_variable_descriptions"));

        if (const pugi::xml_node all = root.child("all_tile_sets")) {
            unsigned long number = 0;
            for (pugi::xml_node element = all.child("tile_set"); element;
                 element = element.next_sibling("tile_set")) {
                ++number;
                std::string inner;
                if (!read_tile_set(element, inner)) {
                    message_ =
                        nest(with_number("Failed to load tile set # %lu from the XML file.", number), inner);
                    return false;
                }
            }
        }
        if (const pugi::xml_node all = root.child("all_parent_entities")) {
            unsigned long number = 0;
            for (pugi::xml_node element = all.child("parent_entity"); element;
                 element = element.next_sibling("parent_entity")) {
                ++number;
                std::string inner;
                if (!read_parent_entity(element, inner)) {
                    message_ = nest(
                        with_number("Failed to load parent entity # %lu from the XML file.", number), inner);
                    return false;
                }
            }
        }
        if (const pugi::xml_node all = root.child("all_maps")) {
            unsigned long number = 0;
            for (pugi::xml_node element = all.child("map"); element; element = element.next_sibling("map")) {
                ++number;
                std::string inner;
                if (!read_map(element, inner)) {
                    message_ =
                        nest(with_number("Failed to load map # %lu from the XML file.", number), inner);
                    return false;
                }
            }
        }
        project_->resolve_selection(selected_tile_set_, selected_map_, selected_layer_,
                                    selected_parent_entity_);
        project_->path_and_file_name = path_;
        project_->modified = false;
        result.project = std::move(project);
        return true;
    }

    const std::string& message() const { return message_; }

private:
    // A stored path pair: the relative value, resolved against this file's folder, wins when it exists.
    std::string read_path_pair(const pugi::xml_node& element, const char* absolute, const char* relative,
                               PathKind kind) {
        std::string value(read_text(element, absolute, kPathSize));
        const std::string_view relative_value = read_text(element, relative, kPathSize);
        std::string resolved = resolve_relative_path(path_, relative_value, kind);
        if (!resolved.empty()) value = std::move(resolved);
        return value;
    }

    void read_project_properties(const pugi::xml_node& e) {
        Project& p = *project_;
        p.next_tile_set_id = read_id(e, "next_tile_set_id");
        p.next_map_id = read_id(e, "next_map_id");
        p.next_layer_id = read_id(e, "next_layer_id");
        p.next_parent_entity_id = read_id(e, "next_parent_entity_id");
        p.next_instance_entity_id = read_id(e, "next_instance_entity_Id");
        p.next_path_point_id = read_id(e, "next_path_point_id");
        p.did_tile_set_id_overflow = read_bool(e, "did_tile_set_id_overflow");
        p.did_map_id_overflow = read_bool(e, "did_map_id_overflow");
        p.did_layer_id_overflow = read_bool(e, "did_layer_id_overflow");
        p.did_parent_entity_id_overflow = read_bool(e, "did_parent_entity_id_overflow");
        p.did_instance_entity_id_overflow = read_bool(e, "did_instance_entity_id_overflow");
        p.did_path_point_id_overflow = read_bool(e, "did_path_point_id_overflow");
        selected_tile_set_ = read_id(e, "selected_tile_set_id");
        selected_map_ = read_id(e, "selected_map_id");
        selected_layer_ = read_id(e, "selected_layer_id");
        selected_parent_entity_ = read_id(e, "selected_parent_entity_id");
        p.zoom = clamp_zoom(read_id(e, "zoom", 0));
        p.use_export_dll_in_exporters_folder = read_bool(e, "use_export_dll_in_exporters_folder");
        p.default_entity_trigger_radius = clamp_trigger_size(read_id(e, "default_entity_trigger_radius"));
        p.default_entity_trigger_width = clamp_trigger_size(read_id(e, "default_entity_trigger_width"));
        p.default_entity_trigger_height = clamp_trigger_size(read_id(e, "default_entity_trigger_height"));
        p.last_used_exporter_dll_file_name =
            read_path_pair(e, "last_used_exporter_dll_file_name", "last_used_exporter_dll_relative_file_name",
                           PathKind::File);
        p.last_used_export_output_path_and_file_name =
            read_path_pair(e, "last_used_export_output_path_and_file_name",
                           "last_used_export_output_relative_path_and_file_name", PathKind::File);
        p.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder = read_path_pair(
            e, "last_used_exporter_dll_path_and_file_name_not_in_exporters_folder",
            "last_used_exporter_dll_relative_path_and_file_name_not_in_exporters_folder", PathKind::File);
        p.last_used_image_tile_set_path = read_path_pair(
            e, "last_used_image_tile_set_path", "last_used_image_tile_set_relative_path", PathKind::Folder);
        p.last_used_image_parent_entity_path =
            read_path_pair(e, "last_used_image_parent_entity_path",
                           "last_used_image_parent_entity_relative_path", PathKind::Folder);
        p.last_used_image_layer_background_path =
            read_path_pair(e, "last_used_image_layer_background_path",
                           "last_used_image_layer_background_relative_path", PathKind::Folder);
        // file_name is read by older tools only.
    }

    void read_descriptions(const pugi::xml_node& all) {
        if (!all) return;
        static constexpr const char* kTables[kObjectKindCount] = {
            "cvdesc_tile_set",        "cvdesc_map",       "cvdesc_layer", "cvdesc_parent_entity",
            "cvdesc_instance_entity", "cvdesc_path_point"};
        for (int kind = 0; kind < kObjectKindCount; ++kind) {
            DescriptionTable& table = project_->descriptions[static_cast<std::size_t>(kind)];
            const bool instance = static_cast<ObjectKind>(kind) == ObjectKind::InstanceEntity;
            std::size_t index = 0;
            for (pugi::xml_node element = all.child(kTables[kind]); element && index < table.size();
                 element = element.next_sibling(kTables[kind])) {
                CustomVariableDescription& description = table[index++];
                description.use_bits = read_bool(element, "use_bits");
                description.desc = read_text(element, "desc", kShortTextSize);
                if (instance) {
                    description.show_in_view = read_bool(element, "show_in_view");
                    description.show_desc_in_view = read_bool(element, "show_desc_in_view");
                }
            }
        }
    }

    // Takes `cells` from the file's cell budget; false when the file cannot hold that many.
    bool take_cells(std::uint64_t cells) {
        if (cells > cell_budget_) return false;
        cell_budget_ -= cells;
        return true;
    }

    // Fills `cells` (count of them) from the <grid> children of `parent`. `read` receives how many
    // were read. False when a cell is missing or has no text.
    bool read_grid(const pugi::xml_node& parent, GridCell* cells, std::size_t count, std::size_t& read,
                   std::vector<GridCell>* take_over = nullptr) {
        read = 0;
        if (ScannedGrid* scanned = grids_->find(parent.child_value())) {
            const std::size_t available = scanned->cells.size();
            read = std::min(available, count);
            if (take_over && available == count) {
                take_over->swap(scanned->cells);
            } else {
                std::copy_n(scanned->cells.begin(), read, cells);
            }
            std::vector<GridCell>().swap(scanned->cells);
            return available >= count;
        }
        pugi::xml_node element = parent.child("grid");
        for (std::size_t i = 0; i < count; ++i) {
            if (!element) return false;
            const char* text = element.child_value();
            if (!text || !*text) return false;
            const CellValues values = parse_cell(std::string_view(text, strnlen(text, 99)));
            cells[i] = GridCell{values.tile, values.flags};
            read = i + 1;
            element = element.next_sibling("grid");
        }
        return true;
    }

    bool read_tile_set(const pugi::xml_node& element, std::string& message) {
        const pugi::xml_node e = element.child("tile_set_properties");
        if (!e) {
            message = "Failed to find the element \"tile_set_properties\" in the XML file.";
            return false;
        }
        TileSetProperties t;
        t.unique_id = read_id(e, "unique_id");
        t.name = read_text(e, "name", kNameSize);
        t.user_supplied_id = read_id(e, "user_supplied_id");
        t.single_tile_pixel_width = static_cast<std::int32_t>(read_id(e, "single_tile_pixel_width"));
        t.single_tile_pixel_height = static_cast<std::int32_t>(read_id(e, "single_tile_pixel_height"));
        t.first_tile_offset_pixel_x = static_cast<std::int32_t>(read_id(e, "first_tile_offset_pixel_x"));
        t.first_tile_offset_pixel_y = static_cast<std::int32_t>(read_id(e, "first_tile_offset_pixel_y"));
        t.space_between_tiles_pixel_x = read_id(e, "space_between_tiles_pixel_x");
        t.space_between_tiles_pixel_y = read_id(e, "space_between_tiles_pixel_y");
        t.is_locked = read_bool(e, "is_locked");
        t.next_mosaic_id = read_id(e, "next_mosaic_id");
        t.did_mosaic_id_overflow = read_bool(e, "did_mosaic_id_overflow");
        t.selected_mosaic_id = read_id(e, "selected_mosaic_id");
        t.left_most_mosaic_id_on_mosaics_dialog = read_id(e, "left_most_mosaic_id_on_mosaics_dialog");
        t.use_transparent_colour = read_bool(e, "use_transparent_colour");
        t.transparent_colour = read_colour(e, "transparent_colour_red", "transparent_colour_green",
                                           "transparent_colour_blue", kInvalidId);
        read_text_variables(element.child("tile_set_custom_variables"), t.custom_variables);
        t.image_path_and_file_name = read_path_pair(e, "image_path_and_file_name",
                                                    "image_relative_path_and_file_name", PathKind::File);

        TileSet* tile_set = add_tile_set(*project_, t, true, platform_);
        if (!tile_set) {
            message = replace_first("Failed to add the tile set (%s) to the project.", t.name.view());
            return false;
        }
        // A failure inside a mosaic is ignored: the mosaic keeps the cells read so far.
        if (const pugi::xml_node all = element.child("all_tile_set_mosaics")) {
            for (pugi::xml_node m = all.child("mosaic"); m; m = m.next_sibling("mosaic")) {
                const pugi::xml_node p = m.child("mosaic_properties");
                Mosaic tmpl;
                tmpl.uid = read_id(p, "uid");
                tmpl.gw = read_id(p, "gw", 0);
                tmpl.gh = read_id(p, "gh", 0);
                tmpl.tile_set_id = tile_set->unique_id;
                if (!take_cells(static_cast<std::uint64_t>(tmpl.gw) * tmpl.gh)) continue;
                Mosaic* mosaic = add_mosaic(*tile_set, tmpl, true, platform_);
                if (!mosaic) continue;
                std::size_t read = 0;
                read_grid(m.child("mosaic_grid"), mosaic->grid.data(), mosaic->grid.size(), read,
                          &mosaic->grid);
            }
        }
        return true;
    }

    bool read_parent_entity(const pugi::xml_node& element, std::string& message) {
        const pugi::xml_node e = element.child("parent_entity_properties");
        if (!e) {
            message = "Failed to find the element \"parent_entity_properties\" in the XML file.";
            return false;
        }
        ParentEntityProperties t;
        t.unique_id = read_id(e, "unique_id");
        t.name = read_text(e, "name", kNameSize);
        t.user_supplied_id = read_id(e, "user_supplied_id");
        t.is_locked = read_bool(e, "is_locked");
        t.pixel_width = read_id(e, "pixel_width");
        t.pixel_height = read_id(e, "pixel_height");
        t.is_trigger = read_bool(e, "is_trigger");
        t.trigger_is_a_circle = read_bool(e, "trigger_is_a_circle");
        t.default_circle_trigger_radius = read_id(e, "default_circle_trigger_radius", 0);
        t.default_rectangle_trigger_width = read_id(e, "default_rectangle_trigger_width", 0);
        t.default_rectangle_trigger_height = read_id(e, "default_rectangle_trigger_height", 0);
        t.single_frame_pixel_width = static_cast<std::int32_t>(read_id(e, "single_frame_pixel_width"));
        t.single_frame_pixel_height = static_cast<std::int32_t>(read_id(e, "single_frame_pixel_height"));
        t.first_frame_offset_pixel_x = static_cast<std::int32_t>(read_id(e, "first_frame_offset_pixel_x", 0));
        t.first_frame_offset_pixel_y = static_cast<std::int32_t>(read_id(e, "first_frame_offset_pixel_y", 0));
        t.space_between_frames_pixel_x =
            static_cast<std::int32_t>(read_id(e, "space_between_frames_pixel_x", 0));
        t.space_between_frames_pixel_y =
            static_cast<std::int32_t>(read_id(e, "space_between_frames_pixel_y", 0));
        t.preview_anima_frame = static_cast<std::int32_t>(read_id(e, "preview_anima_frame", 0));
        t.use_transparent_colour = read_bool(e, "use_transparent_colour");
        t.transparent_colour = read_colour(e, "transparent_colour_red", "transparent_colour_green",
                                           "transparent_colour_blue", 0);
        // Files before version 116 had no frame size of their own: one frame is the whole image.
        if (version_ < 116) {
            t.single_frame_pixel_width = static_cast<std::int32_t>(t.pixel_width);
            t.single_frame_pixel_height = static_cast<std::int32_t>(t.pixel_height);
        }
        sanitise_parent_entity(t);
        read_text_variables(element.child("parent_entity_custom_variables"), t.custom_variables);
        t.image_path_and_file_name = read_path_pair(e, "image_path_and_file_name",
                                                    "image_relative_path_and_file_name", PathKind::File);
        if (!add_parent_entity(*project_, t, true, platform_)) {
            message = replace_first("Failed to add the parent entity (%s) to the project.", t.name.view());
            return false;
        }
        return true;
    }

    bool read_map(const pugi::xml_node& element, std::string& message) {
        const pugi::xml_node e = element.child("map_properties");
        if (!e) {
            message = "Failed to find the element \"map_properties\" in the XML file.";
            return false;
        }
        MapProperties t;
        t.unique_id = read_id(e, "unique_id");
        t.name = read_text(e, "name", kNameSize);
        t.user_supplied_id = read_id(e, "user_supplied_id");
        t.use_tile_set_id = read_id(e, "use_tile_set_id");
        t.export_this_map = read_bool(e, "export_this_map");
        t.is_locked = read_bool(e, "is_locked");
        t.camera_grid_position_x = read_signed(e, "camera_grid_position_x");
        t.camera_grid_position_y = read_signed(e, "camera_grid_position_y");
        t.selected_layer_id = read_id(e, "selected_layer_id");
        t.selected_tile_index = read_id(e, "selected_tile_index");
        t.top_left_tile_index_in_tiles_dialog = read_id(e, "top_left_tile_index_in_tiles_dialog");
        t.pixel_size_of_tiles_in_tiles_dialog = clamp_tile_display_size(
            static_cast<std::int32_t>(read_id(e, "pixel_size_of_tiles_in_tiles_dialog", 0)));
        t.place_tile_horizontal_flip = read_bool(e, "place_tile_horizontal_flip");
        t.place_tile_vertical_flip = read_bool(e, "place_tile_vertical_flip");
        t.place_tile_rotate = read_bool(e, "place_tile_rotate");
        t.place_tile_attribute = static_cast<std::uint8_t>(read_id(e, "place_tile_attribute", 0));
        read_text_variables(element.child("map_custom_variables"), t.custom_variables);

        Map* map = add_map(*project_, t, true, platform_);
        if (!map) {
            message = replace_first("Failed to add the map (%s) to the project.", t.name.view());
            return false;
        }
        if (const pugi::xml_node all = element.child("all_map_layers")) {
            unsigned long number = 0;
            for (pugi::xml_node layer = all.child("layer"); layer; layer = layer.next_sibling("layer")) {
                ++number;
                std::string inner;
                if (!read_layer(layer, *map, inner)) {
                    std::string outer = with_number("Failed to load layer # %lu of the map (%s).", number);
                    outer = replace_first(std::move(outer), map->name.view());
                    message = nest(std::move(outer), inner);
                    return false;
                }
            }
        }
        return true;
    }

    bool read_layer(const pugi::xml_node& element, Map& map, std::string& message) {
        const pugi::xml_node e = element.child("layer_properties");
        if (!e) {
            message = "Failed to find the element \"layer_properties\" in the XML file.";
            return false;
        }
        LayerProperties t;
        t.unique_id = read_id(e, "unique_id");
        t.map_id = map.unique_id;
        t.name = read_text(e, "name", kNameSize);
        t.user_supplied_id = read_id(e, "user_supplied_id");
        t.is_locked = read_bool(e, "is_locked");
        t.is_visible = read_bool(e, "is_visible");
        t.is_main_layer = read_bool(e, "is_main_layer");
        const std::uint32_t width = read_id(e, "grid_width", 0);
        const std::uint32_t height = read_id(e, "grid_height", 0);
        t.grid_offset_x = static_cast<std::int32_t>(read_id(e, "grid_offset_x", 0));
        t.grid_offset_y = static_cast<std::int32_t>(read_id(e, "grid_offset_y", 0));
        t.scroll_speed_x = read_float(e, "scroll_speed_x");
        t.scroll_speed_y = read_float(e, "scroll_speed_y");
        t.wrap_x = read_bool(e, "wrap_x");
        t.wrap_y = read_bool(e, "wrap_y");
        t.opacity = static_cast<std::uint8_t>(read_id(e, "opacity"));
        t.use_background_colour = read_bool(e, "use_background_colour");
        t.background_colour = read_colour(e, "background_colour_red", "background_colour_green",
                                          "background_colour_blue", kInvalidId);
        t.use_background_image = read_bool(e, "use_background_image");
        read_text_variables(element.child("layer_custom_variables"), t.custom_variables);
        t.background_image_path_and_file_name =
            read_path_pair(e, "background_image_path_and_file_name",
                           "background_image_relative_path_and_file_name", PathKind::File);

        // Sizes beyond the signed range (negative numbers written as text, absurd values) cannot make a
        // layer; a grid larger than the file could hold is refused before anything is allocated.
        constexpr auto kMaxSide = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());
        if (width > kMaxSide || height > kMaxSide) {
            message = replace_first("Failed to add the layer (%s) to the map.", t.name.view());
            return false;
        }
        t.grid_width = static_cast<std::int32_t>(width);
        t.grid_height = static_cast<std::int32_t>(height);
        const std::uint64_t cells = static_cast<std::uint64_t>(std::max<std::uint32_t>(width, 1)) *
                                    std::max<std::uint32_t>(height, 1);
        if (!take_cells(cells)) {
            message =
                replace_first("Failed to read the grid of the layer (%s) from the XML file.", t.name.view());
            return false;
        }

        // A size of 0 in the file means no grid there; the layer keeps its minimal empty grid.
        const bool has_grid = width != 0 && height != 0;
        const pugi::xml_node grid = element.child("layer_grid");
        ScannedGrid* scanned = has_grid && grid ? grids_->find(grid.child_value()) : nullptr;
        const bool take_scanned = scanned && scanned->cells.size() >= cells;
        if (take_scanned) {
            // The cells are read already: add the layer with a minimal grid and hand it the cells, rather
            // than allocating and clearing a full grid first.
            t.grid_width = 1;
            t.grid_height = 1;
        }
        Layer* layer = add_layer(*project_, t, true, platform_);
        if (!layer) {
            message = replace_first("Failed to add the layer (%s) to the map.", t.name.view());
            return false;
        }
        if (take_scanned) {
            if (scanned->cells.size() != cells) scanned->cells.resize(static_cast<std::size_t>(cells));
            layer->grid.swap(scanned->cells);
            std::vector<GridCell>().swap(scanned->cells);
            layer->grid_width = static_cast<std::int32_t>(width);
            layer->grid_height = static_cast<std::int32_t>(height);
        } else if (has_grid) {
            if (!grid) {
                message.clear();
                return false;
            }
            std::size_t read = 0;
            if (!read_grid(grid, layer->grid.data(), layer->grid.size(), read, &layer->grid)) {
                message = replace_first("Failed to read the grid of the layer (%s) from the XML file.",
                                        layer->name.view());
                return false;
            }
        }

        if (const pugi::xml_node all = element.child("all_layer_instance_entities")) {
            unsigned long number = 0;
            for (pugi::xml_node instance = all.child("instance_entity"); instance;
                 instance = instance.next_sibling("instance_entity")) {
                ++number;
                std::string inner;
                if (!read_instance_entity(instance, map, *layer, inner)) {
                    message = nest(
                        with_number("Failed to load child entity # %lu from the XML file.", number), inner);
                    return false;
                }
            }
        }
        if (const pugi::xml_node all = element.child("all_layer_paths")) {
            unsigned long number = 0;
            for (pugi::xml_node path = all.child("path"); path; path = path.next_sibling("path")) {
                ++number;
                std::string inner;
                if (!read_path(path, map, *layer, inner)) {
                    message =
                        nest(with_number("Failed to load path # %lu from the XML file.", number), inner);
                    return false;
                }
            }
        }
        return true;
    }

    bool read_instance_entity(const pugi::xml_node& element, const Map& map, const Layer& layer,
                              std::string& message) {
        const pugi::xml_node e = element.child("instance_entity_properties");
        if (!e) {
            message = "Failed to find the element \"instance_entity_properties\" in the XML file.";
            return false;
        }
        InstanceEntity t;
        t.uid = read_id(e, "uid");
        t.pid = read_id(e, "pid");
        t.map_id = map.unique_id;
        t.layer_id = layer.unique_id;
        t.px = read_float(e, "px");
        t.py = read_float(e, "py");
        t.fh = read_bool(e, "fh");
        t.fv = read_bool(e, "fv");
        t.ro = read_bool(e, "ro");
        t.tcr = clamp_trigger_size(read_id(e, "tcr"));
        t.trw = clamp_trigger_size(read_id(e, "trw"));
        t.trh = clamp_trigger_size(read_id(e, "trh"));
        read_int_variables(element.child("instance_entity_custom_variables"), t.custom_variables);
        AddFailure failure = AddFailure::None;
        if (!add_instance_entity(*project_, t, true, platform_, &failure)) {
            if (failure == AddFailure::ParentMissing) {  // orphans are skipped quietly
                skipped_->push_back({t.map_id, t.layer_id, t.uid, t.pid});
                return true;
            }
            message = "Failed to add the child entity to the layer.";
            return false;
        }
        return true;
    }

    bool read_path(const pugi::xml_node& element, const Map& map, const Layer& layer, std::string& message) {
        const pugi::xml_node properties = element.child("path_properties");
        if (!properties) {
            message = "Failed to find the element \"path_properties\" in the XML file.";
            return false;
        }
        const bool is_closed = read_bool(properties, "is_closed");
        const pugi::xml_node points = element.child("path_points");
        if (!points) {
            message = "Failed to find the element \"path_points\" in the XML file.";
            return false;
        }
        PathPoint* last = nullptr;
        bool first = true;
        for (pugi::xml_node e = points.child("point"); e; e = e.next_sibling("point")) {
            PathPoint t;
            t.uid = read_id(e, "uid");
            t.map_id = map.unique_id;
            t.layer_id = layer.unique_id;
            t.set_ucp(read_bool(e, "ucp"));
            t.px = read_float(e, "px");
            t.py = read_float(e, "py");
            t.cx1 = read_float(e, "cx1");
            t.cy1 = read_float(e, "cy1");
            t.cx2 = read_float(e, "cx2");
            t.cy2 = read_float(e, "cy2");
            if (first) {
                t.set_starts_path(true);
                t.set_is_closed(is_closed);
                first = false;
            }
            read_int_variables(e.child("point_custom_variables"), t.custom_variables);
            last = add_path_point(*project_, t, true, platform_);
            if (!last) {
                message = "Failed to add the path point to the path.";
                return false;
            }
        }
        if (!last) {
            message = "Did not find any points for the path in the XML file.";
            return false;
        }
        last->set_ends_path(true);
        return true;
    }

    std::string path_;
    Platform* platform_;
    std::uint64_t cell_budget_;
    GridScanner* grids_ = nullptr;
    std::vector<SkippedInstance>* skipped_ = nullptr;
    Project* project_ = nullptr;
    std::uint32_t version_ = kInvalidId;
    ObjectId selected_tile_set_ = kInvalidId;
    ObjectId selected_map_ = kInvalidId;
    ObjectId selected_layer_ = kInvalidId;
    ObjectId selected_parent_entity_ = kInvalidId;
    std::string message_;
};

// Row and column (1-based) of byte `offset` in `text`.
void row_and_column(std::string_view text, std::size_t offset, int& row, int& column) {
    offset = std::min(offset, text.size());
    row = 1;
    std::size_t line_start = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++row;
            line_start = i + 1;
        }
    }
    column = static_cast<int>(offset - line_start) + 1;
}

std::string load_failure(std::string_view path, std::string_view description, int row, int column) {
    std::string text = "Failed to load XML file: \n\n";
    text += path;
    text += "\n\nError: ";
    text += description;
    text += "\n\nRow: ";
    text += std::to_string(row);
    text += "\nCol: ";
    text += std::to_string(column);
    text += "\n\n";
    return text;
}

// Parses the document and builds the project. `source` is the file's bytes; it is not changed.
LoadResult read_source(std::string_view source, std::string_view path, Platform* platform) {
    LoadResult result;
    try {
        GridScanner grids;
        grids.scan(source);
        std::string& copy = grids.copy();

        pugi::xml_document document;
        // Bytes pass through unchanged (no recoding from the declared ISO-8859-1). Tabs and line breaks
        // inside attribute values are kept as they are.
        const unsigned options =
            (pugi::parse_default & ~pugi::parse_wconv_attribute) | pugi::parse_embed_pcdata;
        const pugi::xml_parse_result parsed =
            document.load_buffer_inplace(copy.data(), copy.size(), options, pugi::encoding_utf8);
        if (!parsed) {
            int row = 0;
            int column = 0;
            const auto offset = static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0));
            row_and_column(source, grids.source_offset(offset), row, column);
            result.message = load_failure(path, parsed.description(), row, column);
            return result;
        }
        ProjectReader reader(path, source.size(), platform);
        if (!reader.build(document, grids, result)) {
            result.project.reset();
            result.message = reader.message();
        }
    } catch (const std::bad_alloc&) {
        result.project.reset();
        result.message = "Not enough memory to load the project.";
    }
    return result;
}

// A file mapped read-only into memory.
class MappedFile {
public:
    ~MappedFile() {
        if (data_ && size_ != 0) ::munmap(data_, size_);
    }
    // False with `failure` set to the parser's wording when the file cannot be opened or mapped.
    bool open(std::string_view path, const char*& failure) {
        const std::string name(path);
        const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            failure = "File was not found";
            return false;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            failure = "Error reading from file";
            return false;
        }
        size_ = static_cast<std::size_t>(info.st_size);
        if (size_ != 0) {
            void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (mapped == MAP_FAILED) {
                ::close(fd);
                failure = "Error reading from file";
                return false;
            }
            data_ = mapped;
            ::madvise(data_, size_, MADV_SEQUENTIAL);
        }
        ::close(fd);
        return true;
    }
    std::string_view bytes() const {
        return data_ ? std::string_view(static_cast<const char*>(data_), size_) : std::string_view();
    }

private:
    void* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace

LoadResult read_xml_project(std::string_view path, Platform* platform) {
    MappedFile file;
    const char* failure = nullptr;
    if (!file.open(path, failure)) {
        LoadResult result;
        result.message = load_failure(path, failure, 0, 0);
        return result;
    }
    return read_source(file.bytes(), path, platform);
}

LoadResult read_xml_project_from_memory(std::string_view bytes, std::string_view path, Platform* platform) {
    return read_source(bytes, path, platform);
}

}  // namespace zorva
