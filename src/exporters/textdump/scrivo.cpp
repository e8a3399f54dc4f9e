// Scrivo: the text dump exporter. Writes everything the ExportApi offers about the project into one
// readable text file, section by section. No dialog, no settings, no SetParentCWinApp.
//
// Every slot of the table is tested before use; a missing slot counts as a failed call, which leaves the
// zeroed record (or a count of 0) in use. Failed queries are printed as the zeroed records they leave.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "export/export_api.h"
#include "text_output.h"

using zorva::ExportApi;

namespace scrivo {
namespace {

constexpr std::uint32_t kPathLength = 260;

// Thin wrappers: a missing slot fails.
class Api {
public:
    explicit Api(ExportApi& table) : t_(table) {}

    bool set_progress(float percent, bool add, bool force) {
        return t_.SetProgress && t_.SetProgress(percent, add, force);
    }
    bool add_message(const char* text, bool force) { return t_.AddMessage && t_.AddMessage(text, force); }
    bool output_file_name(char* buffer, std::uint32_t length) {
        return t_.GetOutputFileName && t_.GetOutputFileName(buffer, length);
    }
    bool project_file_name(char* buffer, std::uint32_t length) {
        return t_.GetProjectFileName && t_.GetProjectFileName(buffer, length);
    }
    bool cancelled() {
        std::uint8_t out = 0;
        return t_.IsExportCancelled && t_.IsExportCancelled(&out) && out != 0;
    }
    std::uint32_t number_of_tile_sets() { return count(t_.GetNumberOfTileSets); }
    std::uint32_t number_of_parent_entities() { return count(t_.GetNumberOfParentEntities); }
    std::uint32_t number_of_maps() { return count(t_.GetNumberOfMaps); }
    bool select_tile_set(std::uint32_t i) { return t_.SelectTileSet && t_.SelectTileSet(i); }
    bool select_parent_entity(std::uint32_t i) { return t_.SelectParentEntity && t_.SelectParentEntity(i); }
    bool select_map(std::uint32_t i) { return t_.SelectMap && t_.SelectMap(i); }
    bool select_layer(std::uint32_t i) { return t_.SelectLayer && t_.SelectLayer(i); }
    bool select_child_entity(std::uint32_t i) { return t_.SelectChildEntity && t_.SelectChildEntity(i); }
    bool select_path(std::uint32_t i) { return t_.SelectPath && t_.SelectPath(i); }

    // The Get...Info calls zero the record themselves; it is zeroed here too for a missing slot.
    void tile_set(zorva::TileSetInfo& r) {
        std::memset(&r, 0, sizeof r);
        if (t_.GetTileSetInfo) t_.GetTileSetInfo(&r, sizeof r);
    }
    void parent_entity(zorva::ParentEntityInfo& r) {
        std::memset(&r, 0, sizeof r);
        if (t_.GetParentEntityInfo) t_.GetParentEntityInfo(&r, sizeof r);
    }
    void map(zorva::MapInfo& r) {
        std::memset(&r, 0, sizeof r);
        if (t_.GetMapInfo) t_.GetMapInfo(&r, sizeof r);
    }
    void layer(zorva::LayerInfo& r) {
        std::memset(&r, 0, sizeof r);
        if (t_.GetLayerInfo) t_.GetLayerInfo(&r, sizeof r);
    }
    void child_entity(zorva::ChildEntityInfo& r) {
        std::memset(&r, 0, sizeof r);
        if (t_.GetChildEntityInfo) t_.GetChildEntityInfo(&r, sizeof r);
    }
    void path(zorva::PathInfo& r) {
        std::memset(&r, 0, sizeof r);
        if (t_.GetPathInfo) t_.GetPathInfo(&r, sizeof r);
    }
    // A cell that cannot be read is all zero.
    void grid_cell(zorva::GridCellInfo& r, std::uint32_t column, std::uint32_t row) {
        if (!t_.GetGridCell || !t_.GetGridCell(&r, column, row, sizeof r)) {
            r.TileIndex = 0;
            r.FlipH = r.FlipV = r.Rotate = r.Attribute = 0;
        }
    }
    bool path_points(zorva::PathPointInfo* records, std::uint32_t capacity, std::uint32_t* written) {
        return t_.GetPathPoints && t_.GetPathPoints(records, capacity, written, sizeof(zorva::PathPointInfo));
    }

private:
    template <class Function>
    static std::uint32_t count(Function function) {
        std::uint32_t out = 0;
        if (!function || !function(&out)) return 0;
        return out;
    }

    ExportApi& t_;
};

// A fixed character field as text, however it ends.
template <std::size_t N>
struct Field {
    explicit Field(const char (&field)[N]) {
        const std::size_t length = strnlen(field, N);
        std::memcpy(text, field, length);
        text[length] = '\0';
    }
    char text[N + 1];
};
template <std::size_t N>
Field(const char (&)[N]) -> Field<N>;

void print_text_variables(TextOutput& out, const char (&variables)[100][51], const char* indent) {
    for (int i = 0; i < 100; ++i) out.print("%s%d: %s\n", indent, i + 1, Field(variables[i]).text);
}

// `variables` points at the 100 values inside a packed record: read by copying, never through a reference.
void print_int_variables(TextOutput& out, const unsigned char* variables) {
    for (int i = 0; i < 100; ++i) {
        std::int16_t value;
        std::memcpy(&value, variables + 2 * i, sizeof value);
        out.put_signed(value);
        if (i != 99) out.put(", ", 2);
    }
}

class Dump {
public:
    Dump(Api& api, TextOutput& out) : api_(api), out_(out) {}

    void tile_sets();
    void parent_entities();
    void maps();
    // Sections 4 to 7 share one frame around their per-layer body.
    void per_layer(const char* header, void (Dump::*body)());

    void layer_properties();
    void layer_grid();
    void child_entities();
    void paths();

    ~Dump() { std::free(points_); }

private:
    Api& api_;
    TextOutput& out_;
    zorva::TileSetInfo tile_set_;
    zorva::ParentEntityInfo parent_;
    zorva::MapInfo map_;
    zorva::LayerInfo layer_;
    zorva::GridCellInfo cell_;
    zorva::ChildEntityInfo child_;
    zorva::PathInfo path_;
    zorva::PathPointInfo* points_ = nullptr;  // grows only, freed after the path section
    std::uint32_t points_capacity_ = 0;
};

void Dump::tile_sets() {
    out_.put("Tile Sets\n---------\n");
    const std::uint32_t count = api_.number_of_tile_sets();
    out_.print("Number of Tile Sets: %u\n\n", count);
    for (std::uint32_t i = 0; i < count; ++i) {
        api_.select_tile_set(i);
        api_.tile_set(tile_set_);
        const zorva::TileSetInfo& t = tile_set_;
        out_.print("Tile Set # %u\n", i + 1);
        out_.print(
            "\tName: %s\n\tUserID: %u\n\tImageFile: %s\n\tTileWidth: %u\n\tTileHeight: %u\n\tOffsetX: %d\n"
            "\tOffsetY: %d\n\tSpaceX: %u\n\tSpaceY: %u\n\tNumberOfTilesAcross: %u\n\tNumberOfTilesDown: %u\n"
            "\tNumberOfTiles: %u\n\tUseTransparentColour: %d\n\tTransparentColour: %u, %u, %u\n",
            Field(t.Name).text, unsigned{t.UserID}, Field(t.ImageFile).text, unsigned{t.TileWidth},
            unsigned{t.TileHeight}, int{t.OffsetX}, int{t.OffsetY}, unsigned{t.SpaceX}, unsigned{t.SpaceY},
            unsigned{t.NumberOfTilesAcross}, unsigned{t.NumberOfTilesDown}, unsigned{t.NumberOfTiles},
            int{t.UseTransparentColour}, unsigned{t.TransparentColour[0]}, unsigned{t.TransparentColour[1]},
            unsigned{t.TransparentColour[2]});
        out_.put("\tCustomVariables:\n");
        print_text_variables(out_, t.CustomVariables, "\t\t");
        out_.put("\n");
    }
    out_.put("\n");
}

void Dump::parent_entities() {
    out_.put("Parent Entities\n---------------\n");
    const std::uint32_t count = api_.number_of_parent_entities();
    out_.print("Number of Parent Entities: %u\n\n", count);
    for (std::uint32_t i = 0; i < count; ++i) {
        api_.select_parent_entity(i);
        api_.parent_entity(parent_);
        const zorva::ParentEntityInfo& e = parent_;
        out_.print("Parent Entity # %u\n", i + 1);
        out_.print(
            "\tName: %s\n\tUserID: %u\n\tImageFile: %s\n\tWidth: %u\n\tHeight: %u\n\tIsTrigger: %d\n"
            "\tTriggerIsCircle: %d\n\tDefaultTriggerRadius: %u\n\tDefaultTriggerWidth: %u\n"
            "\tDefaultTriggerHeight: %u\n\tFrameWidth: %u\n\tFrameHeight: %u\n\tOffsetX: %d\n\tOffsetY: %d\n"
            "\tSpaceX: %u\n\tSpaceY: %u\n\tNumberOfFramesAcross: %u\n\tNumberOfFramesDown: %u\n"
            "\tNumberOfFrames: %u\n\tPreviewFrame: %u\n\tUseTransparentColour: %d\n"
            "\tTransparentColour: %u, %u, %u\n",
            Field(e.Name).text, unsigned{e.UserID}, Field(e.ImageFile).text, unsigned{e.Width},
            unsigned{e.Height}, int{e.IsTrigger}, int{e.TriggerIsCircle}, unsigned{e.DefaultTriggerRadius},
            unsigned{e.DefaultTriggerWidth}, unsigned{e.DefaultTriggerHeight}, unsigned{e.FrameWidth},
            unsigned{e.FrameHeight}, int{e.OffsetX}, int{e.OffsetY}, unsigned{e.SpaceX}, unsigned{e.SpaceY},
            unsigned{e.NumberOfFramesAcross}, unsigned{e.NumberOfFramesDown}, unsigned{e.NumberOfFrames},
            unsigned{e.PreviewFrame}, int{e.UseTransparentColour}, unsigned{e.TransparentColour[0]},
            unsigned{e.TransparentColour[1]}, unsigned{e.TransparentColour[2]});
        out_.put("\tCustomVariables:\n");
        print_text_variables(out_, e.CustomVariables, "\t\t");
        out_.put("\n");
    }
    out_.put("\n");
}

void Dump::maps() {
    out_.put("Map Properties\n--------------\n");
    const std::uint32_t count = api_.number_of_maps();
    out_.print("Number of Maps: %u\n\n", count);
    for (std::uint32_t i = 0; i < count; ++i) {
        api_.select_map(i);
        api_.map(map_);
        const zorva::MapInfo& m = map_;
        if (m.ExportThisMap == 0) continue;
        out_.print("Map # %u\n", i + 1);
        out_.print(
            "\tName: %s\n\tUserID: %u\n\tTileSetIndex: %u\n\tTileSetUserID: %u\n\tExportThisMap: %d\n"
            "\tNumberOfLayers: %u\n",
            Field(m.Name).text, unsigned{m.UserID}, unsigned{m.TileSetIndex}, unsigned{m.TileSetUserID},
            int{m.ExportThisMap}, unsigned{m.NumberOfLayers});
        out_.put("\tCustomVariables:\n");
        print_text_variables(out_, m.CustomVariables, "\t\t");
        out_.put("\n");
    }
    out_.put("\n");
}

void Dump::per_layer(const char* header, void (Dump::*body)()) {
    out_.put(header);
    const std::uint32_t count = api_.number_of_maps();
    out_.print("Number of Maps: %u\n\n", count);
    for (std::uint32_t i = 0; i < count; ++i) {
        api_.select_map(i);
        api_.map(map_);
        if (map_.ExportThisMap == 0) continue;
        const std::uint32_t layers = map_.NumberOfLayers;
        out_.print("Map # %u\n", i + 1);
        out_.print("\tName: %s\n\tNumberOfLayers: %u\n", Field(map_.Name).text, layers);
        out_.put("\tLayers:\n");
        for (std::uint32_t j = 0; j < layers; ++j) {
            api_.select_layer(j);
            api_.layer(layer_);
            out_.print("\t\tLayer # %u\n", j + 1);
            (this->*body)();
        }
        out_.put("\n");
    }
    out_.put("\n");
}

void Dump::layer_properties() {
    const zorva::LayerInfo& l = layer_;
    out_.print(
        "\t\t\tName: %s\n\t\t\tUserID: %u\n\t\t\tNumberOfChildEntities: %u\n\t\t\tNumberOfPaths: %u\n"
        "\t\t\tGridWidth: %u\n\t\t\tGridHeight: %u\n\t\t\tWrapX: %u\n\t\t\tWrapY: %u\n\t\t\tIsVisible: %u\n"
        "\t\t\tIsMainLayer: %u\n\t\t\tOffsetX: %d\n\t\t\tOffsetY: %d\n\t\t\tScrollSpeedX: %.5f\n"
        "\t\t\tScrollSpeedY: %.5f\n\t\t\tUseBackgroundColour: %u\n\t\t\tBackgroundColour: %u, %u, %u\n"
        "\t\t\tOpacity: %u\n\t\t\tUseBackgroundImage: %u\n\t\t\tBackgroundImageFile: %s\n",
        Field(l.Name).text, unsigned{l.UserID}, unsigned{l.NumberOfChildEntities}, unsigned{l.NumberOfPaths},
        unsigned{l.GridWidth}, unsigned{l.GridHeight}, unsigned{l.WrapX}, unsigned{l.WrapY},
        unsigned{l.IsVisible}, unsigned{l.IsMainLayer}, int{l.OffsetX}, int{l.OffsetY},
        static_cast<double>(float{l.ScrollSpeedX}), static_cast<double>(float{l.ScrollSpeedY}),
        unsigned{l.UseBackgroundColour}, unsigned{l.BackgroundColour[0]}, unsigned{l.BackgroundColour[1]},
        unsigned{l.BackgroundColour[2]}, unsigned{l.Opacity}, unsigned{l.UseBackgroundImage},
        Field(l.BackgroundImageFile).text);
    out_.put("\t\t\tCustomVariables:\n");
    print_text_variables(out_, l.CustomVariables, "\t\t\t\t");
    out_.put("\n");
}

void Dump::layer_grid() {
    const std::uint32_t width = layer_.GridWidth;
    const std::uint32_t height = layer_.GridHeight;
    out_.print("\t\t\tName: %s\n\t\t\tGridWidth: %u\n\t\t\tGridHeight: %u\n\t\t\tGrid:\n\t\t\t\t",
               Field(layer_.Name).text, width, height);
    for (std::uint32_t row = 0; row < height; ++row) {
        for (std::uint32_t column = 0; column < width; ++column) {
            api_.grid_cell(cell_, column, row);
            out_.put_char('(');
            out_.put_unsigned(cell_.TileIndex, 4);
            out_.put(", ", 2);
            out_.put_unsigned(cell_.FlipH);
            out_.put(", ", 2);
            out_.put_unsigned(cell_.FlipV);
            out_.put(", ", 2);
            out_.put_unsigned(cell_.Rotate);
            out_.put(", ", 2);
            out_.put_unsigned(cell_.Attribute, 3);
            if (column + 1 == width) {
                out_.put("),\n\t\t\t\t", 7);
            } else {
                out_.put("),  ", 4);
            }
        }
    }
    out_.put("\n");
}

void Dump::child_entities() {
    const std::uint32_t count = layer_.NumberOfChildEntities;
    out_.print("\t\t\tName: %s\n\t\t\tNumberOfChildEntities: %u\n\t\t\tChild Entities:\n",
               Field(layer_.Name).text, count);
    for (std::uint32_t k = 0; k < count; ++k) {
        api_.select_child_entity(k);
        api_.child_entity(child_);
        const zorva::ChildEntityInfo& c = child_;
        out_.print("\t\t\t\tChild Entity # %u\n", k + 1);
        out_.print(
            "\t\t\t\t\tParentIndex: %u\n\t\t\t\t\tParentUserID: %u\n\t\t\t\t\tLayerPosX: %.5f\n"
            "\t\t\t\t\tLayerPosY: %.5f\n\t\t\t\t\tWorldPosX: %.5f\n\t\t\t\t\tWorldPosY: %.5f\n"
            "\t\t\t\t\tFlipH: %u\n\t\t\t\t\tFlipV: %u\n\t\t\t\t\tRotate: %u\n\t\t\t\t\tTriggerCircleRadius: "
            "%u\n"
            "\t\t\t\t\tTriggerRectangleWidth: %u\n\t\t\t\t\tTriggerRectangleHeight: %u\n",
            unsigned{c.ParentIndex}, unsigned{c.ParentUserID}, static_cast<double>(float{c.LayerPosX}),
            static_cast<double>(float{c.LayerPosY}), static_cast<double>(float{c.WorldPosX}),
            static_cast<double>(float{c.WorldPosY}), unsigned{c.FlipH}, unsigned{c.FlipV}, unsigned{c.Rotate},
            unsigned{c.TriggerCircleRadius}, unsigned{c.TriggerRectangleWidth},
            unsigned{c.TriggerRectangleHeight});
        out_.put("\t\t\t\t\tCustomVariables: (");
        print_int_variables(out_, reinterpret_cast<const unsigned char*>(&c) +
                                      offsetof(zorva::ChildEntityInfo, CustomVariables));
        out_.put(")\n");
    }
    if (count == 0) out_.put("\n");
}

void Dump::paths() {
    const std::uint32_t count = layer_.NumberOfPaths;
    out_.print("\t\t\tName: %s\n\t\t\tNumberOfPaths: %u\n\t\t\tPaths:\n", Field(layer_.Name).text, count);
    for (std::uint32_t k = 0; k < count; ++k) {
        api_.select_path(k);
        api_.path(path_);
        out_.print("\t\t\t\tPath # %u\n", k + 1);
        out_.print("\t\t\t\t\tNumberOfPoints: %u\n\t\t\t\t\tIsClosed: %u\n\t\t\t\t\tPoints:\n",
                   unsigned{path_.NumberOfPoints}, unsigned{path_.IsClosed});
        std::uint32_t needed = 0;
        if (!api_.path_points(nullptr, 0, &needed) || needed == 0) continue;
        if (!points_ || points_capacity_ < needed) {
            std::free(points_);
            points_capacity_ = 0;
            points_ = static_cast<zorva::PathPointInfo*>(std::calloc(needed, sizeof(zorva::PathPointInfo)));
            if (!points_) continue;
            points_capacity_ = needed;
        }
        std::uint32_t written = 0;
        if (!api_.path_points(points_, needed, &written)) continue;
        if (written > needed) written = needed;
        for (std::uint32_t p = 0; p < written; ++p) {
            const zorva::PathPointInfo& point = points_[p];
            out_.print(
                "\t\t\t\t\t\t(%.5f, %.5f), (%.5f, %.5f), %u, %u, %u, (",
                static_cast<double>(float{point.LayerPosX}), static_cast<double>(float{point.LayerPosY}),
                static_cast<double>(float{point.WorldPosX}), static_cast<double>(float{point.WorldPosY}),
                unsigned{point.IsFirstNode}, unsigned{point.IsLastNode}, unsigned{point.IsControlPoint});
            print_int_variables(out_, reinterpret_cast<const unsigned char*>(&point) +
                                          offsetof(zorva::PathPointInfo, CustomVariables));
            out_.put(")\n");
        }
    }
    if (count == 0) out_.put("\n");
}

// Tells the log why the output file could not be created or written.
void report_failure(Api& api, const char* what, const char* file, const TextOutput& out) {
    const std::string text = std::string("ERROR: Failed to ") + what + " file [" + file + "]: " + out.error();
    api.add_message(text.c_str(), true);
}

bool commit(Api& api, const char* file, TextOutput& out) {
    if (out.commit()) return true;
    report_failure(api, "write", file, out);
    return false;
}

bool run(ExportApi& table) {
    Api api(table);
    float progress = 10.0f;
    api.set_progress(progress, false, true);

    char output_file[kPathLength] = {};
    api.output_file_name(output_file, kPathLength);
    output_file[kPathLength - 1] = '\0';
    TextOutput out;
    if (!out.open(output_file)) {
        report_failure(api, "create", output_file, out);
        return false;
    }
    api.add_message(output_file, true);

    char project_file[kPathLength] = {};
    api.project_file_name(project_file, kPathLength);
    project_file[kPathLength - 1] = '\0';
    out.print("\nExported project file: \n%s\n\n\n", project_file);

    if (api.cancelled()) return commit(api, output_file, out);

    Dump dump(api, out);
    struct Section {
        const char* progress_text;
        void (*write)(Dump&);
    };
    static const Section kSections[] = {
        {"Exporting Tile Sets...", [](Dump& d) { d.tile_sets(); }},
        {"Exporting Parent Entities...", [](Dump& d) { d.parent_entities(); }},
        {"Exporting Map Properties...", [](Dump& d) { d.maps(); }},
        {"Exporting Layer Properties...",
         [](Dump& d) { d.per_layer("Layer Properties\n----------------\n", &Dump::layer_properties); }},
        {"Exporting Layer Grids...",
         [](Dump& d) { d.per_layer("Layer Grids\n-----------\n", &Dump::layer_grid); }},
        {"Exporting Child Entities...",
         [](Dump& d) { d.per_layer("Child Entities\n--------------\n", &Dump::child_entities); }},
        {"Exporting Paths...", [](Dump& d) { d.per_layer("Paths\n-----\n", &Dump::paths); }},
    };
    for (const Section& section : kSections) {
        api.add_message(section.progress_text, true);
        section.write(dump);
        progress += 10.0f;
        api.set_progress(progress, false, true);
    }
    // A file that could not be written completely is a failed export, and the previous file stays.
    if (!commit(api, output_file, out)) return false;
    api.add_message("Success", true);
    api.set_progress(100.0f, false, true);
    return true;
}

}  // namespace
}  // namespace scrivo

extern "C" {

ZV_EXPORTER_VISIBLE std::uint32_t QueryExporterDLLVersion(void) { return zorva::kExporterInterfaceVersion; }

ZV_EXPORTER_VISIBLE std::uint8_t StartExport(zorva::ExportApi* api) {
    if (!api) return 0;
    // Nothing may escape into the host: a failure of memory ends the run as a failed export.
    try {
        return scrivo::run(*api) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
