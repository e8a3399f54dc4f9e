#include "cli/project_diff.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdio>
#include <set>
#include <unordered_map>

#include "model/project.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

std::string_view change_kind_name(ChangeKind kind) {
    switch (kind) {
        case ChangeKind::Added:
            return "added";
        case ChangeKind::Removed:
            return "removed";
        case ChangeKind::Renamed:
            return "renamed";
        case ChangeKind::Moved:
            return "moved";
        case ChangeKind::Changed:
            return "changed";
        case ChangeKind::Cells:
            return "cells";
    }
    return "changed";
}

std::string field_value_text(const FieldValue& value) {
    if (const bool* flag = std::get_if<bool>(&value)) return *flag ? "true" : "false";
    if (const std::int64_t* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    if (const float* real = std::get_if<float>(&value)) {
        char buffer[32];
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *real);
        return error == std::errc() ? std::string(buffer, end) : std::string("?");
    }
    return quote_name(std::get<std::string>(value));
}

std::vector<std::string> change_lines(const Change& change) {
    const std::string head = change.object.text() + ": ";
    std::vector<std::string> lines;
    switch (change.kind) {
        case ChangeKind::Added:
        case ChangeKind::Removed:
            lines.push_back(head + std::string(change_kind_name(change.kind)));
            break;
        case ChangeKind::Renamed:
            lines.push_back(head + "renamed from " + quote_name(change.old_name));
            break;
        case ChangeKind::Moved:
            lines.push_back(head + "moved from position " + std::to_string(change.from) + " to " +
                            std::to_string(change.to));
            break;
        case ChangeKind::Changed:
            for (const FieldChange& field : change.fields) {
                lines.push_back(head + field.field + ": " + field_value_text(field.before) + " -> " +
                                field_value_text(field.after));
            }
            break;
        case ChangeKind::Cells: {
            const CellBox& box = change.box;
            const std::string first = "(" + std::to_string(box.x) + ", " + std::to_string(box.y) + ")";
            if (change.cells_changed == 1) {
                lines.push_back(head + "1 cell changed at " + first);
            } else {
                lines.push_back(head + std::to_string(change.cells_changed) + " cells changed in " + first +
                                "-(" + std::to_string(box.x + box.width - 1) + ", " +
                                std::to_string(box.y + box.height - 1) + ")");
            }
            break;
        }
    }
    return lines;
}

std::string summary_line(const DiffSummary& summary) {
    return std::to_string(summary.added) + " added, " + std::to_string(summary.removed) + " removed, " +
           std::to_string(summary.renamed) + " renamed, " + std::to_string(summary.moved) + " moved, " +
           std::to_string(summary.changed) + " changed; " + std::to_string(summary.cells_changed) +
           (summary.cells_changed == 1 ? " cell" : " cells") + " changed on " +
           std::to_string(summary.grids_changed) +
           (summary.grids_changed == 1 ? " layer or mosaic" : " layers or mosaics");
}

namespace {

std::string colour_text(std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour & 0xFFu, (colour >> 8) & 0xFFu,
                  (colour >> 16) & 0xFFu);
    return text;
}

// An image path as compared and shown: relative to the project's file where it can be.
std::string image_form(const Project& project, std::string_view path) {
    if (path.empty()) return {};
    std::string relative = make_relative_path(project.path_and_file_name.view(), path, PathKind::File);
    return relative.empty() ? std::string(path) : relative;
}

// The fields of one object that differ.
class FieldDiff {
public:
    explicit FieldDiff(bool editor_state) : editor_state_(editor_state) {}

    void number(std::string_view name, std::int64_t a, std::int64_t b, bool editor = false) {
        if (a != b && (editor_state_ || !editor)) fields.push_back({std::string(name), a, b});
    }
    void flag(std::string_view name, bool a, bool b, bool editor = false) {
        if (a != b && (editor_state_ || !editor)) fields.push_back({std::string(name), a, b});
    }
    // Compared bit for bit, so a position that is not a number still equals itself.
    void real(std::string_view name, float a, float b) {
        if (std::bit_cast<std::uint32_t>(a) != std::bit_cast<std::uint32_t>(b))
            fields.push_back({std::string(name), a, b});
    }
    void text(std::string_view name, std::string_view a, std::string_view b, bool editor = false) {
        if (a != b && (editor_state_ || !editor))
            fields.push_back({std::string(name), std::string(a), std::string(b)});
    }
    void colour(std::string_view name, std::uint32_t a, std::uint32_t b) {
        if (a != b) fields.push_back({std::string(name), colour_text(a), colour_text(b)});
    }
    // Text variables in bit mode (as the descriptions of B say) are shown as their 16 flags.
    void text_variables(const TextVariables& a, const TextVariables& b,
                        const DescriptionTable& descriptions) {
        for (int i = 0; i < kCustomVariableCount; ++i) {
            const auto at = static_cast<std::size_t>(i);
            if (a[at] == b[at]) continue;
            const std::string name = "custom_variables[" + std::to_string(i + 1) + "]";
            const bool bits = descriptions[at].use_bits || a[at].view() == b[at].view();
            fields.push_back({name, bits ? text_variable_bits(a[at]) : a[at].str(),
                              bits ? text_variable_bits(b[at]) : b[at].str()});
        }
    }
    void int_variables(const IntVariables& a, const IntVariables& b) {
        for (int i = 0; i < kCustomVariableCount; ++i) {
            const auto at = static_cast<std::size_t>(i);
            number("custom_variables[" + std::to_string(i + 1) + "]", a[at], b[at]);
        }
    }

    std::vector<FieldChange> fields;

private:
    bool editor_state_;
};

// Objects of two versions of a list, matched by id.
struct Matching {
    struct Pair {
        std::size_t a = 0;
        std::size_t b = 0;
        bool moved = false;
    };
    std::vector<Pair> matched;         // in B's order
    std::vector<std::size_t> removed;  // positions in A
    std::vector<std::size_t> added;    // positions in B
};

// Marks as moved the matched objects outside one longest run of A positions that rises in B's order: the
// fewest objects whose moving explains the new order.
void mark_moved(std::vector<Matching::Pair>& matched) {
    const std::size_t n = matched.size();
    std::vector<std::size_t> tails;  // tails[k]: index into matched of the smallest end of a run of k + 1
    std::vector<std::size_t> before(n, n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto at =
            std::lower_bound(tails.begin(), tails.end(), matched[i].a,
                             [&](std::size_t tail, std::size_t a) { return matched[tail].a < a; });
        if (at != tails.begin()) before[i] = *(at - 1);
        if (at == tails.end())
            tails.push_back(i);
        else
            *at = i;
    }
    for (auto& pair : matched) pair.moved = true;
    for (std::size_t i = tails.empty() ? n : tails.back(); i < n; i = before[i]) matched[i].moved = false;
}

template <class T>
Matching match_by_id(const ObjectList<T>& a, const ObjectList<T>& b) {
    Matching matching;
    std::unordered_map<ObjectId, std::vector<std::size_t>> in_a;  // a file may repeat an id
    for (std::size_t i = a.size(); i-- > 0;) in_a[a[i]->id()].push_back(i);
    std::vector<bool> taken(a.size(), false);
    for (std::size_t j = 0; j < b.size(); ++j) {
        auto found = in_a.find(b[j]->id());
        if (found == in_a.end() || found->second.empty()) {
            matching.added.push_back(j);
            continue;
        }
        const std::size_t i = found->second.back();
        found->second.pop_back();
        taken[i] = true;
        matching.matched.push_back({i, j, false});
    }
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!taken[i]) matching.removed.push_back(i);
    mark_moved(matching.matched);
    return matching;
}

ListedObject listed(std::size_t index, ObjectId id, std::string_view name) {
    return {static_cast<std::int64_t>(index), id, std::string(name)};
}

// The cells of two grids (`wa` x `ha` and `wb` x `hb`) that differ, over the union of both sizes: A's
// cells against B's, then B's cells outside A against empty ones (outside both grids every cell is empty
// on both sides). Visits only the cells the two grids have, however differently they are shaped: a layer
// turned from one column into one row is not the square of its length.
template <class OnChanged>
void compare_grids(const std::vector<GridCell>& a, std::int64_t wa, std::int64_t ha,
                   const std::vector<GridCell>& b, std::int64_t wb, std::int64_t hb, OnChanged on_changed) {
    const GridCell empty;
    const auto cell = [&](const std::vector<GridCell>& grid, std::int64_t w, std::int64_t h, std::int64_t x,
                          std::int64_t y) -> const GridCell& {
        if (x >= w || y >= h) return empty;
        const auto at = static_cast<std::size_t>(y * w + x);
        return at < grid.size() ? grid[at] : empty;
    };
    for (std::int64_t y = 0; y < ha; ++y)
        for (std::int64_t x = 0; x < wa; ++x)
            if (!(cell(a, wa, ha, x, y) == cell(b, wb, hb, x, y))) on_changed(x, y);
    for (std::int64_t y = 0; y < hb; ++y)
        for (std::int64_t x = y < ha ? wa : 0; x < wb; ++x)
            if (!(cell(b, wb, hb, x, y) == empty)) on_changed(x, y);
}

std::int64_t positive(std::int64_t value) { return value > 0 ? value : 0; }

class Differ {
public:
    Differ(const Project& a, const Project& b, const DiffOptions& options, DiffReport& report)
        : a_(a), b_(b), options_(options), report_(report) {}

    void run() {
        project_fields();
        tile_sets();
        parent_entities();
        maps();
    }

private:
    void add(Change change) {
        DiffSummary& s = report_.summary;
        switch (change.kind) {
            case ChangeKind::Added:
                ++s.added;
                break;
            case ChangeKind::Removed:
                ++s.removed;
                break;
            case ChangeKind::Renamed:
                ++s.renamed;
                break;
            case ChangeKind::Moved:
                ++s.moved;
                break;
            case ChangeKind::Changed:
                ++s.changed;
                break;
            case ChangeKind::Cells:
                s.cells_changed += change.cells_changed;
                ++s.grids_changed;
                break;
        }
        report_.changes.push_back(std::move(change));
    }

    void simple(ChangeKind kind, const ObjectPath& path) {
        Change change;
        change.kind = kind;
        change.object = path;
        add(std::move(change));
    }

    // Renamed, moved and changed entries of a matched object.
    void matched(const ObjectPath& path, std::string_view name_a, std::string_view name_b,
                 const Matching::Pair& pair, FieldDiff&& fields) {
        if (name_a != name_b) {
            Change change;
            change.kind = ChangeKind::Renamed;
            change.object = path;
            change.old_name = name_a;
            add(std::move(change));
        }
        if (pair.moved) {
            Change change;
            change.kind = ChangeKind::Moved;
            change.object = path;
            change.from = static_cast<std::int64_t>(pair.a);
            change.to = static_cast<std::int64_t>(pair.b);
            add(std::move(change));
        }
        if (!fields.fields.empty()) {
            Change change;
            change.kind = ChangeKind::Changed;
            change.object = path;
            change.fields = std::move(fields.fields);
            add(std::move(change));
        }
    }

    void cells(const ObjectPath& path, const std::vector<GridCell>& a, std::int64_t wa, std::int64_t ha,
               const std::vector<GridCell>& b, std::int64_t wb, std::int64_t hb) {
        Change change;
        change.kind = ChangeKind::Cells;
        change.object = path;
        std::int64_t x1 = 0, y1 = 0, x2 = -1, y2 = -1;
        compare_grids(a, wa, ha, b, wb, hb, [&](std::int64_t x, std::int64_t y) {
            if (change.cells_changed++ == 0) {
                x1 = x2 = x;
                y1 = y2 = y;
            }
            x1 = std::min(x1, x);
            x2 = std::max(x2, x);
            y1 = std::min(y1, y);
            y2 = std::max(y2, y);
        });
        if (change.cells_changed == 0) return;
        change.box = {x1, y1, x2 - x1 + 1, y2 - y1 + 1};
        add(std::move(change));
    }

    void project_fields() {
        FieldDiff f(options_.editor_state);
        constexpr bool kEditor = true;
        f.number("zoom", a_.zoom, b_.zoom, kEditor);
        f.flag("use_export_dll_in_exporters_folder", a_.use_export_dll_in_exporters_folder,
               b_.use_export_dll_in_exporters_folder, kEditor);
        f.number("default_entity_trigger_radius", a_.default_entity_trigger_radius,
                 b_.default_entity_trigger_radius, kEditor);
        f.number("default_entity_trigger_width", a_.default_entity_trigger_width,
                 b_.default_entity_trigger_width, kEditor);
        f.number("default_entity_trigger_height", a_.default_entity_trigger_height,
                 b_.default_entity_trigger_height, kEditor);
        static constexpr const char* kCounters[kObjectKindCount] = {
            "tile_set", "map", "layer", "parent_entity", "instance_entity", "path_point"};
        for (int kind = 0; kind < kObjectKindCount; ++kind) {
            const auto k = static_cast<ObjectKind>(kind);
            const std::string name = kCounters[kind];
            f.number("next_" + name + "_id", a_.next_id(k), b_.next_id(k), kEditor);
            f.flag("did_" + name + "_id_overflow", a_.did_id_overflow(k), b_.did_id_overflow(k), kEditor);
        }
        f.number("selected_tile_set_id", a_.selected_tile_set_id(), b_.selected_tile_set_id(), kEditor);
        f.number("selected_map_id", a_.selected_map_id(), b_.selected_map_id(), kEditor);
        f.number("selected_layer_id", a_.selected_layer_id(), b_.selected_layer_id(), kEditor);
        f.number("selected_parent_entity_id", a_.selected_parent_entity_id(), b_.selected_parent_entity_id(),
                 kEditor);
        f.text("last_used_exporter_dll_file_name", a_.last_used_exporter_dll_file_name.view(),
               b_.last_used_exporter_dll_file_name.view(), kEditor);
        f.text("last_used_export_output_path_and_file_name",
               a_.last_used_export_output_path_and_file_name.view(),
               b_.last_used_export_output_path_and_file_name.view(), kEditor);
        f.text("last_used_exporter_dll_path_and_file_name_not_in_exporters_folder",
               a_.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder.view(),
               b_.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder.view(), kEditor);
        f.text("last_used_image_tile_set_path", a_.last_used_image_tile_set_path.view(),
               b_.last_used_image_tile_set_path.view(), kEditor);
        f.text("last_used_image_parent_entity_path", a_.last_used_image_parent_entity_path.view(),
               b_.last_used_image_parent_entity_path.view(), kEditor);
        f.text("last_used_image_layer_background_path", a_.last_used_image_layer_background_path.view(),
               b_.last_used_image_layer_background_path.view(), kEditor);
        // The descriptions of the custom variables, one table per kind of object.
        static constexpr const char* kTables[kObjectKindCount] = {
            "tile_set", "map", "layer", "parent_entity", "instance_entity", "path_point"};
        for (int kind = 0; kind < kObjectKindCount; ++kind) {
            const auto k = static_cast<ObjectKind>(kind);
            const DescriptionTable& da = a_.descriptions_for(k);
            const DescriptionTable& db = b_.descriptions_for(k);
            for (std::size_t i = 0; i < da.size(); ++i) {
                const std::string name =
                    std::string("descriptions.") + kTables[kind] + "[" + std::to_string(i + 1) + "].";
                f.text(name + "desc", da[i].desc.view(), db[i].desc.view());
                f.flag(name + "use_bits", da[i].use_bits, db[i].use_bits);
                f.flag(name + "show_in_view", da[i].show_in_view, db[i].show_in_view);
                f.flag(name + "show_desc_in_view", da[i].show_desc_in_view, db[i].show_desc_in_view);
            }
        }
        if (f.fields.empty()) return;
        Change change;
        change.kind = ChangeKind::Changed;
        change.fields = std::move(f.fields);
        add(std::move(change));
    }

    void tile_sets() {
        const Matching m = match_by_id(a_.tile_sets, b_.tile_sets);
        for (const std::size_t i : m.removed) {
            ObjectPath path;
            path.tile_set = listed(i, a_.tile_sets[i]->unique_id, a_.tile_sets[i]->name.view());
            simple(ChangeKind::Removed, path);
        }
        std::size_t next = 0;
        for (std::size_t j = 0; j < b_.tile_sets.size(); ++j) {
            const TileSet& tb = *b_.tile_sets[j];
            ObjectPath path;
            path.tile_set = listed(j, tb.unique_id, tb.name.view());
            if (next < m.matched.size() && m.matched[next].b == j) {
                const Matching::Pair& pair = m.matched[next++];
                const TileSet& ta = *a_.tile_sets[pair.a];
                FieldDiff f(options_.editor_state);
                f.number("user_supplied_id", ta.user_supplied_id, tb.user_supplied_id);
                f.number("single_tile_pixel_width", ta.single_tile_pixel_width, tb.single_tile_pixel_width);
                f.number("single_tile_pixel_height", ta.single_tile_pixel_height,
                         tb.single_tile_pixel_height);
                f.number("first_tile_offset_pixel_x", ta.first_tile_offset_pixel_x,
                         tb.first_tile_offset_pixel_x);
                f.number("first_tile_offset_pixel_y", ta.first_tile_offset_pixel_y,
                         tb.first_tile_offset_pixel_y);
                f.number("space_between_tiles_pixel_x", ta.space_between_tiles_pixel_x,
                         tb.space_between_tiles_pixel_x);
                f.number("space_between_tiles_pixel_y", ta.space_between_tiles_pixel_y,
                         tb.space_between_tiles_pixel_y);
                f.flag("is_locked", ta.is_locked, tb.is_locked);
                f.text("image_path_and_file_name", image_form(a_, ta.image_path_and_file_name.view()),
                       image_form(b_, tb.image_path_and_file_name.view()));
                f.flag("use_transparent_colour", ta.use_transparent_colour, tb.use_transparent_colour);
                f.colour("transparent_colour", ta.transparent_colour, tb.transparent_colour);
                constexpr bool kEditor = true;
                f.number("next_mosaic_id", ta.next_mosaic_id, tb.next_mosaic_id, kEditor);
                f.flag("did_mosaic_id_overflow", ta.did_mosaic_id_overflow, tb.did_mosaic_id_overflow,
                       kEditor);
                f.number("selected_mosaic_id", ta.selected_mosaic_id, tb.selected_mosaic_id, kEditor);
                f.number("left_most_mosaic_id_on_mosaics_dialog", ta.left_most_mosaic_id_on_mosaics_dialog,
                         tb.left_most_mosaic_id_on_mosaics_dialog, kEditor);
                f.text_variables(ta.custom_variables, tb.custom_variables,
                                 b_.descriptions_for(ObjectKind::TileSet));
                matched(path, ta.name.view(), tb.name.view(), pair, std::move(f));
                mosaics(path, ta, tb);
            } else {
                simple(ChangeKind::Added, path);
            }
        }
    }

    void mosaics(const ObjectPath& tile_set_path, const TileSet& ta, const TileSet& tb) {
        const Matching m = match_by_id(ta.mosaics, tb.mosaics);
        for (const std::size_t i : m.removed) {
            ObjectPath path = tile_set_path;
            path.mosaic = ta.mosaics[i]->uid;
            simple(ChangeKind::Removed, path);
        }
        std::size_t next = 0;
        for (std::size_t j = 0; j < tb.mosaics.size(); ++j) {
            const Mosaic& mb = *tb.mosaics[j];
            ObjectPath path = tile_set_path;
            path.mosaic = mb.uid;
            if (next < m.matched.size() && m.matched[next].b == j) {
                const Mosaic& ma = *ta.mosaics[m.matched[next++].a];
                FieldDiff f(options_.editor_state);
                f.number("gw", ma.gw, mb.gw);
                f.number("gh", ma.gh, mb.gh);
                Matching::Pair unmoved;  // the order of mosaics is only the mosaics window's
                matched(path, {}, {}, unmoved, std::move(f));
                cells(path, ma.grid, ma.gw, ma.gh, mb.grid, mb.gw, mb.gh);
            } else {
                simple(ChangeKind::Added, path);
            }
        }
    }

    void parent_entities() {
        const Matching m = match_by_id(a_.parent_entities, b_.parent_entities);
        for (const std::size_t i : m.removed) {
            ObjectPath path;
            path.parent_entity =
                listed(i, a_.parent_entities[i]->unique_id, a_.parent_entities[i]->name.view());
            simple(ChangeKind::Removed, path);
        }
        std::size_t next = 0;
        for (std::size_t j = 0; j < b_.parent_entities.size(); ++j) {
            const ParentEntity& eb = *b_.parent_entities[j];
            ObjectPath path;
            path.parent_entity = listed(j, eb.unique_id, eb.name.view());
            if (!(next < m.matched.size() && m.matched[next].b == j)) {
                simple(ChangeKind::Added, path);
                continue;
            }
            const Matching::Pair& pair = m.matched[next++];
            const ParentEntity& ea = *a_.parent_entities[pair.a];
            FieldDiff f(options_.editor_state);
            f.number("user_supplied_id", ea.user_supplied_id, eb.user_supplied_id);
            f.flag("is_locked", ea.is_locked, eb.is_locked);
            f.flag("is_trigger", ea.is_trigger, eb.is_trigger);
            f.flag("trigger_is_a_circle", ea.trigger_is_a_circle, eb.trigger_is_a_circle);
            f.flag("use_transparent_colour", ea.use_transparent_colour, eb.use_transparent_colour);
            f.colour("transparent_colour", ea.transparent_colour, eb.transparent_colour);
            f.number("pixel_width", ea.pixel_width, eb.pixel_width);
            f.number("pixel_height", ea.pixel_height, eb.pixel_height);
            f.text("image_path_and_file_name", image_form(a_, ea.image_path_and_file_name.view()),
                   image_form(b_, eb.image_path_and_file_name.view()));
            f.number("default_circle_trigger_radius", ea.default_circle_trigger_radius,
                     eb.default_circle_trigger_radius);
            f.number("default_rectangle_trigger_width", ea.default_rectangle_trigger_width,
                     eb.default_rectangle_trigger_width);
            f.number("default_rectangle_trigger_height", ea.default_rectangle_trigger_height,
                     eb.default_rectangle_trigger_height);
            f.number("single_frame_pixel_width", ea.single_frame_pixel_width, eb.single_frame_pixel_width);
            f.number("single_frame_pixel_height", ea.single_frame_pixel_height, eb.single_frame_pixel_height);
            f.number("first_frame_offset_pixel_x", ea.first_frame_offset_pixel_x,
                     eb.first_frame_offset_pixel_x);
            f.number("first_frame_offset_pixel_y", ea.first_frame_offset_pixel_y,
                     eb.first_frame_offset_pixel_y);
            f.number("space_between_frames_pixel_x", ea.space_between_frames_pixel_x,
                     eb.space_between_frames_pixel_x);
            f.number("space_between_frames_pixel_y", ea.space_between_frames_pixel_y,
                     eb.space_between_frames_pixel_y);
            f.number("preview_anima_frame", ea.preview_anima_frame, eb.preview_anima_frame);
            f.text_variables(ea.custom_variables, eb.custom_variables,
                             b_.descriptions_for(ObjectKind::ParentEntity));
            matched(path, ea.name.view(), eb.name.view(), pair, std::move(f));
        }
    }

    void maps() {
        const Matching m = match_by_id(a_.maps, b_.maps);
        for (const std::size_t i : m.removed) {
            ObjectPath path;
            path.map = listed(i, a_.maps[i]->unique_id, a_.maps[i]->name.view());
            simple(ChangeKind::Removed, path);
        }
        std::size_t next = 0;
        for (std::size_t j = 0; j < b_.maps.size(); ++j) {
            const Map& mb = *b_.maps[j];
            ObjectPath path;
            path.map = listed(j, mb.unique_id, mb.name.view());
            if (!(next < m.matched.size() && m.matched[next].b == j)) {
                simple(ChangeKind::Added, path);
                continue;
            }
            const Matching::Pair& pair = m.matched[next++];
            const Map& ma = *a_.maps[pair.a];
            FieldDiff f(options_.editor_state);
            f.number("user_supplied_id", ma.user_supplied_id, mb.user_supplied_id);
            f.number("use_tile_set_id", ma.use_tile_set_id, mb.use_tile_set_id);
            f.flag("export_this_map", ma.export_this_map, mb.export_this_map);
            f.flag("is_locked", ma.is_locked, mb.is_locked);
            constexpr bool kEditor = true;
            f.number("camera_grid_position_x", ma.camera_grid_position_x, mb.camera_grid_position_x, kEditor);
            f.number("camera_grid_position_y", ma.camera_grid_position_y, mb.camera_grid_position_y, kEditor);
            f.number("selected_layer_id", ma.selected_layer_id, mb.selected_layer_id, kEditor);
            f.number("selected_tile_index", ma.selected_tile_index, mb.selected_tile_index, kEditor);
            f.number("top_left_tile_index_in_tiles_dialog", ma.top_left_tile_index_in_tiles_dialog,
                     mb.top_left_tile_index_in_tiles_dialog, kEditor);
            f.number("pixel_size_of_tiles_in_tiles_dialog", ma.pixel_size_of_tiles_in_tiles_dialog,
                     mb.pixel_size_of_tiles_in_tiles_dialog, kEditor);
            f.flag("place_tile_horizontal_flip", ma.place_tile_horizontal_flip, mb.place_tile_horizontal_flip,
                   kEditor);
            f.flag("place_tile_vertical_flip", ma.place_tile_vertical_flip, mb.place_tile_vertical_flip,
                   kEditor);
            f.flag("place_tile_rotate", ma.place_tile_rotate, mb.place_tile_rotate, kEditor);
            f.number("place_tile_attribute", ma.place_tile_attribute, mb.place_tile_attribute, kEditor);
            f.text_variables(ma.custom_variables, mb.custom_variables, b_.descriptions_for(ObjectKind::Map));
            matched(path, ma.name.view(), mb.name.view(), pair, std::move(f));
            layers(path, ma, mb);
        }
    }

    void layers(const ObjectPath& map_path, const Map& ma, const Map& mb) {
        const Matching m = match_by_id(ma.layers, mb.layers);
        for (const std::size_t i : m.removed) {
            ObjectPath path = map_path;
            path.layer = listed(i, ma.layers[i]->unique_id, ma.layers[i]->name.view());
            simple(ChangeKind::Removed, path);
        }
        std::size_t next = 0;
        for (std::size_t j = 0; j < mb.layers.size(); ++j) {
            const Layer& lb = *mb.layers[j];
            ObjectPath path = map_path;
            path.layer = listed(j, lb.unique_id, lb.name.view());
            if (!(next < m.matched.size() && m.matched[next].b == j)) {
                simple(ChangeKind::Added, path);
                continue;
            }
            const Matching::Pair& pair = m.matched[next++];
            const Layer& la = *ma.layers[pair.a];
            FieldDiff f(options_.editor_state);
            f.number("user_supplied_id", la.user_supplied_id, lb.user_supplied_id);
            f.number("grid_width", la.grid_width, lb.grid_width);
            f.number("grid_height", la.grid_height, lb.grid_height);
            f.flag("is_locked", la.is_locked, lb.is_locked);
            f.flag("is_visible", la.is_visible, lb.is_visible);
            f.flag("is_main_layer", la.is_main_layer, lb.is_main_layer);
            f.number("grid_offset_x", la.grid_offset_x, lb.grid_offset_x);
            f.number("grid_offset_y", la.grid_offset_y, lb.grid_offset_y);
            f.real("scroll_speed_x", la.scroll_speed_x, lb.scroll_speed_x);
            f.real("scroll_speed_y", la.scroll_speed_y, lb.scroll_speed_y);
            f.flag("wrap_x", la.wrap_x, lb.wrap_x);
            f.flag("wrap_y", la.wrap_y, lb.wrap_y);
            f.number("opacity", la.opacity, lb.opacity);
            f.flag("use_background_colour", la.use_background_colour, lb.use_background_colour);
            f.colour("background_colour", la.background_colour, lb.background_colour);
            f.flag("use_background_image", la.use_background_image, lb.use_background_image);
            f.text("background_image_path_and_file_name",
                   image_form(a_, la.background_image_path_and_file_name.view()),
                   image_form(b_, lb.background_image_path_and_file_name.view()));
            f.text_variables(la.custom_variables, lb.custom_variables,
                             b_.descriptions_for(ObjectKind::Layer));
            matched(path, la.name.view(), lb.name.view(), pair, std::move(f));
            cells(path, la.grid, positive(la.grid_width), positive(la.grid_height), lb.grid,
                  positive(lb.grid_width), positive(lb.grid_height));
            instances(path, la, lb);
            points(path, la, lb);
        }
    }

    void instances(const ObjectPath& layer_path, const Layer& la, const Layer& lb) {
        const Matching m = match_by_id(la.instance_entities, lb.instance_entities);
        for (const std::size_t i : m.removed) {
            ObjectPath path = layer_path;
            path.instance = la.instance_entities[i]->uid;
            simple(ChangeKind::Removed, path);
        }
        std::size_t next = 0;
        for (std::size_t j = 0; j < lb.instance_entities.size(); ++j) {
            const InstanceEntity& eb = *lb.instance_entities[j];
            ObjectPath path = layer_path;
            path.instance = eb.uid;
            if (!(next < m.matched.size() && m.matched[next].b == j)) {
                simple(ChangeKind::Added, path);
                continue;
            }
            const InstanceEntity& ea = *la.instance_entities[m.matched[next++].a];
            FieldDiff f(options_.editor_state);
            f.number("pid", ea.pid, eb.pid);
            f.real("px", ea.px, eb.px);
            f.real("py", ea.py, eb.py);
            f.flag("fh", ea.fh, eb.fh);
            f.flag("fv", ea.fv, eb.fv);
            f.flag("ro", ea.ro, eb.ro);
            f.number("tcr", ea.tcr, eb.tcr);
            f.number("trw", ea.trw, eb.trw);
            f.number("trh", ea.trh, eb.trh);
            f.int_variables(ea.custom_variables, eb.custom_variables);
            // The order of instances is not reported: it is only the order they were placed in.
            matched(path, {}, {}, Matching::Pair{}, std::move(f));
        }
    }

    void points(const ObjectPath& layer_path, const Layer& la, const Layer& lb) {
        const Matching m = match_by_id(la.path_points, lb.path_points);
        for (const std::size_t i : m.removed) {
            ObjectPath path = layer_path;
            path.point = la.path_points[i]->uid;
            simple(ChangeKind::Removed, path);
        }
        std::size_t next = 0;
        for (std::size_t j = 0; j < lb.path_points.size(); ++j) {
            const PathPoint& pb = *lb.path_points[j];
            ObjectPath path = layer_path;
            path.point = pb.uid;
            if (!(next < m.matched.size() && m.matched[next].b == j)) {
                simple(ChangeKind::Added, path);
                continue;
            }
            const Matching::Pair& pair = m.matched[next++];
            const PathPoint& pa = *la.path_points[pair.a];
            FieldDiff f(options_.editor_state);
            f.real("px", pa.px, pb.px);
            f.real("py", pa.py, pb.py);
            f.real("cx1", pa.cx1, pb.cx1);
            f.real("cy1", pa.cy1, pb.cy1);
            f.real("cx2", pa.cx2, pb.cx2);
            f.real("cy2", pa.cy2, pb.cy2);
            f.flag("ucp", pa.ucp(), pb.ucp());
            f.flag("starts_path", pa.starts_path(), pb.starts_path());
            f.flag("ends_path", pa.ends_path(), pb.ends_path());
            f.flag("is_closed", pa.is_closed(), pb.is_closed());
            f.int_variables(pa.custom_variables, pb.custom_variables);
            // The order of the points is the shape of the paths: a point that moved is reported.
            matched(path, {}, {}, pair, std::move(f));
        }
    }

    const Project& a_;
    const Project& b_;
    const DiffOptions& options_;
    DiffReport& report_;
};

}  // namespace

DiffReport diff_projects(const Project& a, const Project& b, const DiffOptions& options) {
    DiffReport report;
    Differ(a, b, options, report).run();
    return report;
}

CellMask changed_cells(const Layer* a, const Layer* b) {
    static const std::vector<GridCell> kNone;
    const std::int64_t wa = a ? positive(a->grid_width) : 0;
    const std::int64_t ha = a ? positive(a->grid_height) : 0;
    const std::int64_t wb = b ? positive(b->grid_width) : 0;
    const std::int64_t hb = b ? positive(b->grid_height) : 0;
    CellMask mask;
    mask.width = std::max(wa, wb);
    mask.height = std::max(ha, hb);
    compare_grids(a ? a->grid : kNone, wa, ha, b ? b->grid : kNone, wb, hb,
                  [&](std::int64_t x, std::int64_t y) {
                      mask.cells.push_back({x, y});
                  });
    std::sort(mask.cells.begin(), mask.cells.end(), [](const CellMask::Cell& p, const CellMask::Cell& q) {
        return p.y != q.y ? p.y < q.y : p.x < q.x;
    });
    return mask;
}

bool CellMask::at(std::int64_t x, std::int64_t y) const {
    const Cell wanted{x, y};
    return std::binary_search(cells.begin(), cells.end(), wanted, [](const Cell& p, const Cell& q) {
        return p.y != q.y ? p.y < q.y : p.x < q.x;
    });
}

std::vector<MapPair> changed_maps(const Project& a, const Project& b, const DiffReport& report) {
    std::set<ObjectId> touched;
    for (const Change& change : report.changes)
        if (change.object.map) touched.insert(change.object.map->id);
    std::vector<MapPair> pairs;
    for (const auto& map : b.maps)
        if (touched.count(map->unique_id)) pairs.push_back({find_map(a, map->unique_id), map.get()});
    for (const auto& map : a.maps)
        if (touched.count(map->unique_id) && !find_map(b, map->unique_id))
            pairs.push_back({map.get(), nullptr});
    return pairs;
}

}  // namespace zorva::cli
