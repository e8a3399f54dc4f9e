#include "projectfile/xml_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "base/safe_file.h"
#include "model/path.h"
#include "projectfile/relative_path.h"

namespace zorva {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::size_t kMaxTextOutput = 4094;  // escaped characters of one text value

// Collects the document in a fixed chunk and hands full chunks to the sink. Every append of bounded size
// first makes sure `kReserve` bytes are free, so numbers are formatted straight into the chunk.
class Output {
public:
    static constexpr std::size_t kReserve = 256;

    explicit Output(ByteSink& sink) : sink_(sink), chunk_(new char[kChunkSize]) {}
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    ~Output() = default;

    void finish() { flush(); }

    void raw(std::string_view text) {
        while (!text.empty()) {
            if (used_ == kChunkSize) flush();
            const std::size_t take = std::min(text.size(), kChunkSize - used_);
            std::memcpy(chunk_.get() + used_, text.data(), take);
            used_ += take;
            text.remove_prefix(take);
        }
    }
    void put(char c) {
        if (used_ == kChunkSize) flush();
        chunk_[used_++] = c;
    }
    void tabs(int count) {
        reserve();
        for (int i = 0; i < count; ++i) chunk_[used_++] = '\t';
    }
    void eol() {
        reserve();
        chunk_[used_++] = '\r';
        chunk_[used_++] = '\n';
    }
    // A whole line: tabs, text, line end.
    void line(int tab_count, std::string_view text) {
        tabs(tab_count);
        raw(text);
        eol();
    }
    void blank() { eol(); }

    // Decimal, no special case.
    void plain(std::uint64_t value) {
        reserve();
        used_ = static_cast<std::size_t>(std::to_chars(cursor(), end(), value).ptr - chunk_.get());
    }
    void signed_number(std::int64_t value) {
        reserve();
        used_ = static_cast<std::size_t>(std::to_chars(cursor(), end(), value).ptr - chunk_.get());
    }
    // Id form: 0xFFFFFFFF as that text, everything else decimal.
    void id(std::uint32_t value) {
        if (value == kInvalidId) {
            raw("0xFFFFFFFF");
        } else {
            plain(value);
        }
    }
    // "%.5f" of the value promoted to double.
    void real(float value) {
        reserve();
        const auto result =
            std::to_chars(cursor(), end(), static_cast<double>(value), std::chars_format::fixed, 5);
        if (result.ec == std::errc()) {
            used_ = static_cast<std::size_t>(result.ptr - chunk_.get());
        } else {
            raw("0.00000");  // only for values beyond 10^250, which a float cannot hold
        }
    }
    void word(bool value) { raw(value ? "true" : "false"); }
    void digit(bool value) { put(value ? '1' : '0'); }

    // A text value with the five entity escapes, at most 4094 characters of output.
    void text(std::string_view value) {
        std::size_t written = 0;
        for (const char c : value) {
            std::string_view piece;
            switch (c) {
                case '"':
                    piece = "&quot;";
                    break;
                case '\'':
                    piece = "&apos;";
                    break;
                case '&':
                    piece = "&amp;";
                    break;
                case '<':
                    piece = "&lt;";
                    break;
                case '>':
                    piece = "&gt;";
                    break;
                default:
                    piece = std::string_view(&c, 1);
                    break;
            }
            if (written + piece.size() > kMaxTextOutput) break;
            raw(piece);
            written += piece.size();
        }
    }
    // Text inside a comment: every "--" becomes "__" so the comment stays valid.
    void comment_text(std::string_view value) {
        std::string copy(value);
        for (std::size_t i = 0; i + 1 < copy.size(); ++i) {
            if (copy[i] == '-' && copy[i + 1] == '-') {
                copy[i] = '_';
                copy[i + 1] = '_';
                ++i;
            }
        }
        raw(copy);
    }

    // One attribute line: tabs, name="value", line end. The value is written by `value`.
    template <class F>
    void attribute_line(int tab_count, std::string_view name, F&& value) {
        tabs(tab_count);
        attribute(name, std::forward<F>(value));
        eol();
    }
    template <class F>
    void attribute(std::string_view name, F&& value) {
        raw(name);
        raw("=\"");
        value();
        put('"');
    }

    // One grid cell: <grid>T,H,V,R,A</grid>.
    void cell(const GridCell& cell) {
        reserve();
        char* p = cursor();
        std::memcpy(p, "<grid>", 6);
        p += 6;
        if (cell.tile == kInvalidId) {
            std::memcpy(p, "0xFFFFFFFF", 10);
            p += 10;
        } else {
            p = std::to_chars(p, p + 16, cell.tile).ptr;
        }
        *p++ = ',';
        *p++ = cell.flip_horizontal() ? '1' : '0';
        *p++ = ',';
        *p++ = cell.flip_vertical() ? '1' : '0';
        *p++ = ',';
        *p++ = cell.rotate() ? '1' : '0';
        *p++ = ',';
        p = std::to_chars(p, p + 4, static_cast<unsigned>(cell.attribute())).ptr;
        std::memcpy(p, "</grid>", 7);
        p += 7;
        used_ = static_cast<std::size_t>(p - chunk_.get());
    }

private:
    char* cursor() { return chunk_.get() + used_; }
    char* end() { return chunk_.get() + kChunkSize; }
    void reserve() {
        if (kChunkSize - used_ < kReserve) flush();
    }
    void flush() {
        if (used_ != 0) sink_.write(chunk_.get(), used_);
        used_ = 0;
    }

    ByteSink& sink_;
    std::unique_ptr<char[]> chunk_;
    std::size_t used_ = 0;
};

// Cells row by row, four to a line; a blank line between rows.
void write_grid(Output& out, const GridCell* cells, std::size_t width, std::size_t height) {
    if (width == 0 || height == 0 || cells == nullptr) return;
    for (std::size_t y = 0; y < height; ++y) {
        const GridCell* row = cells + y * width;
        for (std::size_t x = 0; x < width; ++x) {
            out.tabs(x % 4 == 0 ? 5 : 1);
            out.cell(row[x]);
            if (x % 4 == 3 || x + 1 == width) out.eol();
        }
        if (y + 1 < height) out.blank();
    }
}

void write_text_variables(Output& out, int tab_count, const TextVariables& values) {
    for (const auto& value : values) {
        out.tabs(tab_count);
        out.raw("<cvar\t");
        out.attribute("val", [&] { out.text(value.view()); });
        out.raw("></cvar>");
        out.eol();
    }
}

void write_int_variables(Output& out, int tab_count, const IntVariables& values) {
    for (std::size_t i = 0; i < values.size(); i += 2) {
        out.tabs(tab_count);
        out.raw("<cvar val=\"");
        out.signed_number(values[i]);
        out.raw("\"></cvar>\t<cvar val=\"");
        out.signed_number(values[i + 1]);
        out.raw("\"></cvar>");
        out.eol();
    }
}

// "<!-- <what> # n (id: i,  userid: u,  name: s) -->"
void write_object_comment(Output& out, int tab_count, std::string_view what, std::size_t number,
                          std::uint32_t id, std::uint32_t user_id, std::string_view name) {
    out.tabs(tab_count);
    out.raw("<!-- ");
    out.raw(what);
    out.raw(" # ");
    out.plain(number);
    out.raw(" (id: ");
    out.plain(id);
    out.raw(",  userid: ");
    out.plain(user_id);
    out.raw(",  name: ");
    out.comment_text(name);
    out.raw(") -->");
    out.eol();
}

void write_count_comment(Output& out, int tab_count, std::string_view what, std::size_t count) {
    out.tabs(tab_count);
    out.raw("<!-- Number of ");
    out.raw(what);
    out.raw(": ");
    out.plain(count);
    out.raw(" -->");
    out.eol();
}

class DocumentWriter {
public:
    DocumentWriter(const Project& project, std::string_view file_name, Output& out)
        : project_(project), file_name_(file_name), out_(out) {
        parents_.reserve(project.parent_entities.size());
        for (const auto& entity : project.parent_entities)
            parents_.emplace_back(entity->unique_id, entity.get());
        std::stable_sort(parents_.begin(), parents_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    void write(const std::tm* local_date) {
        write_head(local_date);
        write_project_properties();
        write_descriptions();
        write_tile_sets();
        write_parent_entities();
        write_maps();
    }

private:
    template <class T>
    void id_line(int tab_count, std::string_view name, T value) {
        out_.attribute_line(tab_count, name, [&] { out_.id(static_cast<std::uint32_t>(value)); });
    }
    void plain_line(int tab_count, std::string_view name, std::uint32_t value) {
        out_.attribute_line(tab_count, name, [&] { out_.plain(value); });
    }
    void signed_line(int tab_count, std::string_view name, std::int32_t value) {
        out_.attribute_line(tab_count, name, [&] { out_.signed_number(value); });
    }
    void real_line(int tab_count, std::string_view name, float value) {
        out_.attribute_line(tab_count, name, [&] { out_.real(value); });
    }
    void word_line(int tab_count, std::string_view name, bool value) {
        out_.attribute_line(tab_count, name, [&] { out_.word(value); });
    }
    void text_line(int tab_count, std::string_view name, std::string_view value) {
        out_.attribute_line(tab_count, name, [&] { out_.text(value); });
    }
    void path_pair(int tab_count, std::string_view name, std::string_view relative_name,
                   std::string_view value, PathKind kind) {
        text_line(tab_count, name, value);
        text_line(tab_count, relative_name, make_relative_path(file_name_, value, kind));
    }

    void write_head(const std::tm* local_date) {
        out_.line(0, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
        std::string created = "Created with ";
        created += kProgramName;
        created += "  ";
        created += kProgramVersion;
        if (local_date) {
            char date[64];
            if (std::strftime(date, sizeof date, "%d-%m-%Y", local_date) > 0) {
                created += "  on  ";
                created += date;
            }
        }
        created += '.';
        out_.raw("<!-- ");
        out_.comment_text(created);
        out_.raw(" -->");
        out_.eol();
        out_.line(0, "<project>");
        out_.blank();
        out_.line(0, "<!-- Project Properties -->");
        out_.line(0, "<!-- ================== -->");
        out_.line(0, "<!-- ");
        out_.line(1, "Notes:");
        out_.line(1,
                  "1: Object ids are unsigned 32-bits. Invalid ids are represented as \"0xFFFFFFFF\" or "
                  "\"4294967295\". ");
        out_.line(
            1,
            "2: Boolean variables can be represented as \"true\", \"false\", \"TRUE\", \"FALSE\", \"1\" "
            "or \"0\". ");
        out_.line(2, "It is not case sensitive. ");
        out_.line(1,
                  "3: If \"use_export_dll_in_exporters_folder\" is false then "
                  "\"last_used_exporter_dll_file_name\" ");
        out_.line(2,
                  "contains the path and file name. If it is true then \"last_used_exporter_dll_file_name\" "
                  "only ");
        out_.line(2, "contains the file name. ");
        out_.line(1,
                  "4: The \"did_XXX_id_overflow\" is true when the object type's \"next_XXX_id\" has been "
                  "greater ");
        out_.line(2, "than 4294967295 and overflows back to 0.");
        out_.line(1, "5. Grid format description: <grid>T,H,V,R,A</grid>");
        out_.line(2, "T,H,V,R and A represent the following values:");
        out_.line(2, "T = tile index,  H = flip horizontal,  V = flip vertical,  R = rotate,  A = attribute");
        out_.line(1,
                  "6. Mosaic attributes descriptions:  uid = unique id,  gw = grid width,  gh = grid_height");
        out_.line(1,
                  "7. Instance entities attribute descriptions:  uid = unique id,  pid = parent entity id,");
        out_.line(2, "px = pixel position on layer x,  py = pixel position on layer y,");
        out_.line(2, "fh = flip horizontal,  fv = flip vertical,  ro = rotate,");
        out_.line(
            2,
            "tcr = trigger circle radius,  trw = trigger rectangle width,  trh = trigger_rectangle_height");
        out_.line(1,
                  "8. Path point attributes descriptions: \tuid = unique id,  ucp = use control points,  "
                  "px = point X,  py = point Y,");
        out_.line(
            2,
            "cx1 = first control point X,  cy1 = first control point Y,  cx2 = second control point X,  "
            "cy2 = second control point Y");
        out_.line(1, "9. The first released project version was 110.");
        out_.line(0, "-->");
    }

    void write_project_properties() {
        const Project& p = project_;
        out_.line(0, "<project_properties");
        out_.blank();
        id_line(1, "version", kProjectVersion);
        out_.blank();
        id_line(1, "next_tile_set_id", p.next_tile_set_id);
        id_line(1, "next_map_id", p.next_map_id);
        id_line(1, "next_layer_id", p.next_layer_id);
        id_line(1, "next_parent_entity_id", p.next_parent_entity_id);
        id_line(1, "next_instance_entity_Id", p.next_instance_entity_id);
        id_line(1, "next_path_point_id", p.next_path_point_id);
        out_.blank();
        word_line(1, "did_tile_set_id_overflow", p.did_tile_set_id_overflow);
        word_line(1, "did_map_id_overflow", p.did_map_id_overflow);
        word_line(1, "did_layer_id_overflow", p.did_layer_id_overflow);
        word_line(1, "did_parent_entity_id_overflow", p.did_parent_entity_id_overflow);
        word_line(1, "did_instance_entity_id_overflow", p.did_instance_entity_id_overflow);
        word_line(1, "did_path_point_id_overflow", p.did_path_point_id_overflow);
        out_.blank();
        id_line(1, "selected_tile_set_id", p.selected_tile_set() ? p.selected_tile_set_id() : kInvalidId);
        id_line(1, "selected_map_id", p.selected_map() ? p.selected_map_id() : kInvalidId);
        id_line(1, "selected_layer_id", p.selected_layer() ? p.selected_layer_id() : kInvalidId);
        id_line(1, "selected_parent_entity_id",
                p.selected_parent_entity() ? p.selected_parent_entity_id() : kInvalidId);
        out_.blank();
        id_line(1, "zoom", p.zoom);
        word_line(1, "use_export_dll_in_exporters_folder", p.use_export_dll_in_exporters_folder);
        id_line(1, "default_entity_trigger_radius", p.default_entity_trigger_radius);
        id_line(1, "default_entity_trigger_width", p.default_entity_trigger_width);
        id_line(1, "default_entity_trigger_height", p.default_entity_trigger_height);
        path_pair(1, "last_used_exporter_dll_file_name", "last_used_exporter_dll_relative_file_name",
                  p.last_used_exporter_dll_file_name.view(), PathKind::File);
        path_pair(1, "last_used_export_output_path_and_file_name",
                  "last_used_export_output_relative_path_and_file_name",
                  p.last_used_export_output_path_and_file_name.view(), PathKind::File);
        path_pair(1, "last_used_exporter_dll_path_and_file_name_not_in_exporters_folder",
                  "last_used_exporter_dll_relative_path_and_file_name_not_in_exporters_folder",
                  p.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder.view(), PathKind::File);
        path_pair(1, "last_used_image_tile_set_path", "last_used_image_tile_set_relative_path",
                  p.last_used_image_tile_set_path.view(), PathKind::Folder);
        path_pair(1, "last_used_image_parent_entity_path", "last_used_image_parent_entity_relative_path",
                  p.last_used_image_parent_entity_path.view(), PathKind::Folder);
        path_pair(1, "last_used_image_layer_background_path",
                  "last_used_image_layer_background_relative_path",
                  p.last_used_image_layer_background_path.view(), PathKind::Folder);
        out_.blank();
        text_line(1, "file_name", file_name_);
        out_.line(0, ">");
        out_.line(0, "</project_properties>");
        out_.blank();
        out_.blank();
    }

    void write_descriptions() {
        out_.line(0, "<!-- Custom Variable Descriptions -->");
        out_.line(0, "<!-- ============================ -->");
        out_.line(0, "<!-- Zorva version 1 only supports 10 custom variables per object type. -->");
        out_.line(0,
                  "<!-- Note: The \"use_bits\" boolean values indicates if bit flags must be used for the "
                  "custom variables.  -->");
        out_.line(0, "<custom_variable_descriptions>");
        out_.blank();
        static constexpr std::string_view kTables[kObjectKindCount] = {
            "cvdesc_tile_set",        "cvdesc_map",       "cvdesc_layer", "cvdesc_parent_entity",
            "cvdesc_instance_entity", "cvdesc_path_point"};
        for (int kind = 0; kind < kObjectKindCount; ++kind) {
            const std::string_view table = kTables[kind];
            const bool instance = static_cast<ObjectKind>(kind) == ObjectKind::InstanceEntity;
            for (const auto& description : project_.descriptions[static_cast<std::size_t>(kind)]) {
                out_.tabs(1);
                out_.put('<');
                out_.raw(table);
                out_.put('\t');
                out_.attribute("use_bits", [&] { out_.word(description.use_bits); });
                if (instance) {
                    out_.put('\t');
                    out_.attribute("show_in_view", [&] { out_.word(description.show_in_view); });
                    out_.put('\t');
                    out_.attribute("show_desc_in_view", [&] { out_.word(description.show_desc_in_view); });
                }
                out_.put('\t');
                out_.attribute("desc", [&] { out_.text(description.desc.view()); });
                out_.raw("></");
                out_.raw(table);
                out_.put('>');
                out_.eol();
            }
            out_.blank();
        }
        out_.line(0, "</custom_variable_descriptions>");
        out_.blank();
        out_.blank();
    }

    void write_tile_sets() {
        out_.line(0, "<!-- Tile Sets -->");
        out_.line(0, "<!-- ========= -->");
        write_count_comment(out_, 0, "tile sets", project_.tile_sets.size());
        out_.line(0, "<all_tile_sets>");
        if (!project_.tile_sets.empty()) out_.blank();
        std::size_t number = 0;
        for (const auto& tile_set : project_.tile_sets) write_tile_set(*tile_set, ++number);
        out_.line(0, "</all_tile_sets>");
        out_.blank();
        out_.blank();
    }

    void write_tile_set(const TileSet& t, std::size_t number) {
        write_object_comment(out_, 1, "Tile set", number, t.unique_id, t.user_supplied_id, t.name.view());
        out_.line(1, "<tile_set>");
        out_.blank();
        out_.line(2, "<!-- Properties -->");
        out_.line(2, "<tile_set_properties");
        id_line(3, "unique_id", t.unique_id);
        text_line(3, "name", t.name.view());
        id_line(3, "user_supplied_id", t.user_supplied_id);
        id_line(3, "single_tile_pixel_width", t.single_tile_pixel_width);
        id_line(3, "single_tile_pixel_height", t.single_tile_pixel_height);
        id_line(3, "first_tile_offset_pixel_x", t.first_tile_offset_pixel_x);
        id_line(3, "first_tile_offset_pixel_y", t.first_tile_offset_pixel_y);
        id_line(3, "space_between_tiles_pixel_x", t.space_between_tiles_pixel_x);
        id_line(3, "space_between_tiles_pixel_y", t.space_between_tiles_pixel_y);
        word_line(3, "is_locked", t.is_locked);
        text_line(3, "image_path_and_file_name", t.image_path_and_file_name.view());
        text_line(3, "image_relative_path_and_file_name",
                  make_relative_path(file_name_, t.image_path_and_file_name.view(), PathKind::File));
        id_line(3, "next_mosaic_id", t.next_mosaic_id);
        word_line(3, "did_mosaic_id_overflow", t.did_mosaic_id_overflow);
        id_line(3, "selected_mosaic_id", t.selected_mosaic_id);
        id_line(3, "left_most_mosaic_id_on_mosaics_dialog", t.left_most_mosaic_id_on_mosaics_dialog);
        word_line(3, "use_transparent_colour", t.use_transparent_colour);
        write_colour(3, t.transparent_colour, "transparent_colour_red", "transparent_colour_green",
                     "transparent_colour_blue");
        out_.line(2, ">");
        out_.line(2, "</tile_set_properties>");
        out_.blank();
        out_.line(2, "<!-- Custom Variables (Data type: Strings) -->");
        out_.line(2, "<tile_set_custom_variables>");
        write_text_variables(out_, 3, t.custom_variables);
        out_.line(2, "</tile_set_custom_variables>");
        out_.blank();
        out_.line(2, "<!-- Mosaics -->");
        out_.line(2, "<!-- ======= -->");
        write_count_comment(out_, 2, "mosaics", t.mosaics.size());
        out_.line(2, "<all_tile_set_mosaics>");
        if (!t.mosaics.empty()) out_.blank();
        std::size_t mosaic_number = 0;
        for (const auto& mosaic : t.mosaics) {
            out_.tabs(3);
            out_.raw("<!-- Mosaic # ");
            out_.plain(++mosaic_number);
            out_.raw(" (id: ");
            out_.plain(mosaic->uid);
            out_.raw(") -->");
            out_.eol();
            out_.line(3, "<mosaic>");
            out_.tabs(4);
            out_.raw("<mosaic_properties\t");
            out_.attribute("uid", [&] { out_.id(mosaic->uid); });
            out_.put('\t');
            out_.attribute("gw", [&] { out_.plain(mosaic->gw); });
            out_.put('\t');
            out_.attribute("gh", [&] { out_.plain(mosaic->gh); });
            out_.raw("></mosaic_properties>");
            out_.eol();
            out_.line(4, "<mosaic_grid>");
            const std::size_t cells = static_cast<std::size_t>(mosaic->gw) * mosaic->gh;
            if (mosaic->grid.size() >= cells) write_grid(out_, mosaic->grid.data(), mosaic->gw, mosaic->gh);
            out_.line(4, "</mosaic_grid>");
            out_.line(3, "</mosaic>");
            out_.blank();
        }
        out_.line(2, "</all_tile_set_mosaics>");
        out_.blank();
        out_.line(1, "</tile_set>");
        out_.blank();
    }

    void write_colour(int tab_count, std::uint32_t colour, std::string_view red, std::string_view green,
                      std::string_view blue) {
        id_line(tab_count, red, colour & 0xFFu);
        id_line(tab_count, green, (colour >> 8) & 0xFFu);
        id_line(tab_count, blue, (colour >> 16) & 0xFFu);
    }

    void write_parent_entities() {
        out_.line(0, "<!-- Parent Entities -->");
        out_.line(0, "<!-- =============== -->");
        write_count_comment(out_, 0, "parent entities", project_.parent_entities.size());
        out_.line(0, "<all_parent_entities>");
        if (!project_.parent_entities.empty()) out_.blank();
        std::size_t number = 0;
        for (const auto& entity : project_.parent_entities) write_parent_entity(*entity, ++number);
        out_.line(0, "</all_parent_entities>");
        out_.blank();
        out_.blank();
    }

    void write_parent_entity(const ParentEntity& e, std::size_t number) {
        write_object_comment(out_, 1, "Parent entity", number, e.unique_id, e.user_supplied_id,
                             e.name.view());
        out_.line(1, "<parent_entity>");
        out_.blank();
        out_.line(2, "<!-- Properties -->");
        out_.line(2, "<parent_entity_properties");
        id_line(3, "unique_id", e.unique_id);
        text_line(3, "name", e.name.view());
        id_line(3, "user_supplied_id", e.user_supplied_id);
        word_line(3, "is_locked", e.is_locked);
        plain_line(3, "pixel_width", e.pixel_width);
        plain_line(3, "pixel_height", e.pixel_height);
        word_line(3, "is_trigger", e.is_trigger);
        word_line(3, "trigger_is_a_circle", e.trigger_is_a_circle);
        plain_line(3, "default_circle_trigger_radius", e.default_circle_trigger_radius);
        plain_line(3, "default_rectangle_trigger_width", e.default_rectangle_trigger_width);
        plain_line(3, "default_rectangle_trigger_height", e.default_rectangle_trigger_height);
        text_line(3, "image_path_and_file_name", e.image_path_and_file_name.view());
        text_line(3, "image_relative_path_and_file_name",
                  make_relative_path(file_name_, e.image_path_and_file_name.view(), PathKind::File));
        id_line(3, "single_frame_pixel_width", e.single_frame_pixel_width);
        id_line(3, "single_frame_pixel_height", e.single_frame_pixel_height);
        id_line(3, "first_frame_offset_pixel_x", e.first_frame_offset_pixel_x);
        id_line(3, "first_frame_offset_pixel_y", e.first_frame_offset_pixel_y);
        id_line(3, "space_between_frames_pixel_x", e.space_between_frames_pixel_x);
        id_line(3, "space_between_frames_pixel_y", e.space_between_frames_pixel_y);
        id_line(3, "preview_anima_frame", e.preview_anima_frame);
        word_line(3, "use_transparent_colour", e.use_transparent_colour);
        write_colour(3, e.transparent_colour, "transparent_colour_red", "transparent_colour_green",
                     "transparent_colour_blue");
        out_.line(2, ">");
        out_.line(2, "</parent_entity_properties>");
        out_.blank();
        out_.line(2, "<!-- Custom Variables (Data type: Strings) -->");
        out_.line(2, "<parent_entity_custom_variables>");
        write_text_variables(out_, 3, e.custom_variables);
        out_.line(2, "</parent_entity_custom_variables>");
        out_.blank();
        out_.line(1, "</parent_entity>");
        out_.blank();
    }

    void write_maps() {
        out_.line(0, "<!-- Maps -->");
        out_.line(0, "<!-- ==== -->");
        write_count_comment(out_, 0, "maps", project_.maps.size());
        out_.line(0, "<all_maps>");
        if (!project_.maps.empty()) out_.blank();
        std::size_t number = 0;
        for (const auto& map : project_.maps) write_map(*map, ++number);
        out_.line(0, "</all_maps>");
        out_.blank();
        out_.blank();
        out_.blank();
        out_.line(0, "</project>");
        out_.blank();
        out_.blank();
    }

    void write_map(const Map& m, std::size_t number) {
        write_object_comment(out_, 1, "Map", number, m.unique_id, m.user_supplied_id, m.name.view());
        out_.line(1, "<map>");
        out_.blank();
        out_.line(2, "<!-- Properties -->");
        out_.line(2, "<map_properties");
        id_line(3, "unique_id", m.unique_id);
        text_line(3, "name", m.name.view());
        id_line(3, "user_supplied_id", m.user_supplied_id);
        id_line(3, "use_tile_set_id", m.use_tile_set_id);
        word_line(3, "export_this_map", m.export_this_map);
        word_line(3, "is_locked", m.is_locked);
        signed_line(3, "camera_grid_position_x", m.camera_grid_position_x);
        signed_line(3, "camera_grid_position_y", m.camera_grid_position_y);
        id_line(3, "selected_layer_id", m.selected_layer_id);
        id_line(3, "selected_tile_index", m.selected_tile_index);
        id_line(3, "top_left_tile_index_in_tiles_dialog", m.top_left_tile_index_in_tiles_dialog);
        signed_line(3, "pixel_size_of_tiles_in_tiles_dialog", m.pixel_size_of_tiles_in_tiles_dialog);
        word_line(3, "place_tile_horizontal_flip", m.place_tile_horizontal_flip);
        word_line(3, "place_tile_vertical_flip", m.place_tile_vertical_flip);
        word_line(3, "place_tile_rotate", m.place_tile_rotate);
        id_line(3, "place_tile_attribute", m.place_tile_attribute);
        out_.line(2, ">");
        out_.line(2, "</map_properties>");
        out_.blank();
        out_.line(2, "<!-- Custom Variables (Data type: Strings) -->");
        out_.line(2, "<map_custom_variables>");
        write_text_variables(out_, 3, m.custom_variables);
        out_.line(2, "</map_custom_variables>");
        out_.blank();
        out_.line(2, "<!-- Layers -->");
        out_.line(2, "<!-- ====== -->");
        write_count_comment(out_, 2, "layers", m.layers.size());
        out_.line(2, "<all_map_layers>");
        if (!m.layers.empty()) out_.blank();
        std::size_t layer_number = 0;
        for (const auto& layer : m.layers) write_layer(*layer, ++layer_number);
        out_.line(2, "</all_map_layers>");
        out_.blank();
        out_.line(1, "</map>");
        out_.blank();
    }

    void write_layer(const Layer& l, std::size_t number) {
        write_object_comment(out_, 3, "Layer", number, l.unique_id, l.user_supplied_id, l.name.view());
        out_.line(3, "<layer>");
        out_.blank();
        out_.line(4, "<!-- Properties -->");
        out_.line(4, "<layer_properties");
        id_line(5, "unique_id", l.unique_id);
        text_line(5, "name", l.name.view());
        id_line(5, "user_supplied_id", l.user_supplied_id);
        word_line(5, "is_locked", l.is_locked);
        word_line(5, "is_visible", l.is_visible);
        word_line(5, "is_main_layer", l.is_main_layer);
        id_line(5, "grid_width", l.grid_width);
        id_line(5, "grid_height", l.grid_height);
        signed_line(5, "grid_offset_x", l.grid_offset_x);
        signed_line(5, "grid_offset_y", l.grid_offset_y);
        real_line(5, "scroll_speed_x", l.scroll_speed_x);
        real_line(5, "scroll_speed_y", l.scroll_speed_y);
        word_line(5, "wrap_x", l.wrap_x);
        word_line(5, "wrap_y", l.wrap_y);
        id_line(5, "opacity", l.opacity);
        word_line(5, "use_background_colour", l.use_background_colour);
        write_colour(5, l.background_colour, "background_colour_red", "background_colour_green",
                     "background_colour_blue");
        word_line(5, "use_background_image", l.use_background_image);
        text_line(5, "background_image_path_and_file_name", l.background_image_path_and_file_name.view());
        text_line(
            5, "background_image_relative_path_and_file_name",
            make_relative_path(file_name_, l.background_image_path_and_file_name.view(), PathKind::File));
        out_.line(4, ">");
        out_.line(4, "</layer_properties>");
        out_.blank();
        out_.line(4, "<!-- Custom Variables (Data type: Strings) -->");
        out_.line(4, "<layer_custom_variables>");
        write_text_variables(out_, 5, l.custom_variables);
        out_.line(4, "</layer_custom_variables>");
        out_.blank();
        out_.line(4, "<!-- Grid -->");
        out_.line(4, "<layer_grid>");
        const std::size_t cells = l.cell_count();
        if (l.grid.size() >= cells && cells != 0)
            write_grid(out_, l.grid.data(), static_cast<std::size_t>(l.grid_width),
                       static_cast<std::size_t>(l.grid_height));
        out_.line(4, "</layer_grid>");
        out_.blank();
        out_.blank();
        write_instance_entities(l);
        write_paths(l);
        out_.line(3, "</layer>");
        out_.blank();
    }

    const ParentEntity* parent_of(const InstanceEntity& entity) const {
        const auto found = std::lower_bound(parents_.begin(), parents_.end(), entity.pid,
                                            [](const auto& entry, ObjectId id) { return entry.first < id; });
        if (found == parents_.end() || found->first != entity.pid || entity.pid == kInvalidId) return nullptr;
        return found->second;
    }

    void write_instance_entities(const Layer& l) {
        out_.line(4, "<!-- Instance Entities -->");
        out_.line(4, "<!-- ================= -->");
        out_.line(4,
                  "<!-- Note: The instance entities custom Variables data type: Short integer with range  "
                  "-32768 to 32767 -->");
        write_count_comment(out_, 4, "instance entities", l.instance_entities.size());
        out_.line(4, "<all_layer_instance_entities>");
        if (!l.instance_entities.empty()) out_.blank();
        std::size_t number = 0;
        for (const auto& entity : l.instance_entities) {
            const ParentEntity* parent = parent_of(*entity);
            if (!parent) continue;  // orphans (parent deleted) are not saved
            const InstanceEntity& e = *entity;
            out_.tabs(5);
            out_.raw("<!-- Instance entity # ");
            out_.plain(++number);
            out_.raw(" (id:");
            out_.plain(e.uid);
            out_.raw(",  parent: ");
            out_.comment_text(parent->name.view());
            out_.raw(",  x:");
            out_.real(e.px);
            out_.raw(",  y:");
            out_.real(e.py);
            out_.raw(") -->");
            out_.eol();
            out_.line(5, "<instance_entity>");
            out_.line(6, "<!-- Properties -->");
            out_.line(6, "<instance_entity_properties");
            out_.tabs(7);
            out_.attribute("uid", [&] { out_.id(e.uid); });
            out_.put('\t');
            out_.attribute("pid", [&] { out_.id(e.pid); });
            out_.put('\t');
            out_.attribute("px", [&] { out_.real(e.px); });
            out_.put('\t');
            out_.attribute("py", [&] { out_.real(e.py); });
            out_.put('\t');
            out_.attribute("fh", [&] { out_.digit(e.fh); });
            out_.put('\t');
            out_.attribute("fv", [&] { out_.digit(e.fv); });
            out_.put('\t');
            out_.attribute("ro", [&] { out_.digit(e.ro); });
            out_.eol();
            out_.tabs(7);
            out_.attribute("tcr", [&] { out_.plain(e.tcr); });
            out_.put('\t');
            out_.attribute("trw", [&] { out_.plain(e.trw); });
            out_.put('\t');
            out_.attribute("trh", [&] { out_.plain(e.trh); });
            out_.eol();
            out_.line(6, ">");
            out_.line(6, "</instance_entity_properties>");
            out_.blank();
            out_.line(6, "<instance_entity_custom_variables>");
            write_int_variables(out_, 7, e.custom_variables);
            out_.line(6, "</instance_entity_custom_variables>");
            out_.line(5, "</instance_entity>");
            out_.blank();
        }
        out_.line(4, "</all_layer_instance_entities>");
        out_.blank();
        out_.blank();
    }

    void write_paths(const Layer& l) {
        out_.line(4, "<!-- Paths -->");
        out_.line(4, "<!-- ===== -->");
        out_.line(4,
                  "<!-- Note: The path custom variables data type: Short integer with range  -32768 to "
                  "32767) -->");
        // Points outside every path (no start mark before them) belong to no path and are not written; a
        // path whose end mark is missing is closed before the next start, so the document stays well formed.
        const std::vector<PathRange> ranges = path_ranges(l.path_points);
        write_count_comment(out_, 4, "paths", l.path_count());
        out_.line(4, "<all_layer_paths>");
        if (!l.path_points.empty()) out_.blank();
        std::size_t number = 0;
        for (const PathRange& range : ranges) {
            const PathPoint& start = *l.path_points[range.first];
            out_.tabs(5);
            out_.raw("<!-- Path # ");
            out_.plain(++number);
            out_.raw(" -->");
            out_.eol();
            out_.line(5, "<path>");
            out_.line(6, "<!-- Properties -->");
            out_.tabs(6);
            out_.raw("<path_properties\t");
            out_.attribute("is_closed", [&] { out_.word(start.is_closed()); });
            out_.raw("></path_properties>");
            out_.eol();
            out_.line(6, "<!-- Points -->");
            out_.line(6, "<path_points>");
            for (std::size_t i = range.first; i <= range.last; ++i) write_point(*l.path_points[i]);
            out_.line(6, "</path_points>");
            out_.line(5, "</path>");
            out_.blank();
        }
        out_.line(4, "</all_layer_paths>");
        out_.blank();
    }

    void write_point(const PathPoint& point) {
        out_.tabs(7);
        out_.raw("<point ");
        out_.attribute("uid", [&] { out_.id(point.uid); });
        out_.put(' ');
        out_.attribute("ucp", [&] { out_.digit(point.ucp()); });
        out_.put(' ');
        out_.attribute("px", [&] { out_.real(point.px); });
        out_.put(' ');
        out_.attribute("py", [&] { out_.real(point.py); });
        out_.put(' ');
        out_.attribute("cx1", [&] { out_.real(point.cx1); });
        out_.put(' ');
        out_.attribute("cy1", [&] { out_.real(point.cy1); });
        out_.put(' ');
        out_.attribute("cx2", [&] { out_.real(point.cx2); });
        out_.put(' ');
        out_.attribute("cy2", [&] { out_.real(point.cy2); });
        out_.put('>');
        out_.eol();
        out_.line(8, "<point_custom_variables>");
        write_int_variables(out_, 9, point.custom_variables);
        out_.line(8, "</point_custom_variables>");
        out_.line(7, "</point>");
    }

    const Project& project_;
    std::string_view file_name_;
    Output& out_;
    std::vector<std::pair<ObjectId, const ParentEntity*>> parents_;
};

class StringSink : public ByteSink {
public:
    explicit StringSink(std::string& text) : text_(text) {}
    void write(const char* data, std::size_t size) override { text_.append(data, size); }

private:
    std::string& text_;
};

class FileSink : public ByteSink {
public:
    explicit FileSink(SafeFileWriter& file) : file_(file) {}
    void write(const char* data, std::size_t size) override { file_.write(data, size); }

private:
    SafeFileWriter& file_;
};

}  // namespace

void write_xml_document(const Project& project, std::string_view file_name, const std::tm* local_date,
                        ByteSink& sink) {
    Output out(sink);
    DocumentWriter(project, file_name, out).write(local_date);
    out.finish();
}

std::string xml_document_text(const Project& project, std::string_view file_name, const std::tm* local_date) {
    std::string text;
    StringSink sink(text);
    write_xml_document(project, file_name, local_date, sink);
    return text;
}

bool write_xml_project(std::string_view path, Project& project, bool keep_name, std::string* error) {
    if (path.empty()) {
        if (error) *error = "No file name was given.";
        return false;
    }
    std::tm local{};
    const std::time_t now = std::time(nullptr);
    const bool have_date = now != static_cast<std::time_t>(-1) && localtime_r(&now, &local) != nullptr;

    // SafeFileWriter buffers again; the chunks above are large, so its buffer only batches the syscalls.
    SafeFileWriter file;
    if (!file.open(path)) {
        if (error) *error = file.error();
        return false;
    }
    try {
        FileSink sink(file);
        write_xml_document(project, path, have_date ? &local : nullptr, sink);
    } catch (const std::bad_alloc&) {
        file.abandon();
        if (error) *error = "Not enough memory to write the project.";
        return false;
    }
    if (!file.commit()) {
        if (error) *error = file.error();
        return false;
    }
    if (!keep_name) project.path_and_file_name = path;
    return true;
}

}  // namespace zorva
