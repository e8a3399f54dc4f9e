// Writing one binary file per exported map from the export list.
//
// A file holds nothing but the export variables' values in list order: map variables once, then per
// layer the layer variables, per cell each run of grid variables, per child entity each run of entity
// variables, per path the path variables and per path node (control points only with the control-points
// flag) each run of path-node variables. After each variable or run the cancel flag is checked and the
// progress advanced.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/safe_file.h"
#include "export/export_api.h"
#include "exporters/binmapfile/export_list.h"
#include "exporters/binmapfile/output_names.h"
#include "exporters/binmapfile/value_encoding.h"

namespace zorva::binmap {

class MapFileWriter {
public:
    // `api` is the editor's table; every slot is tested before it is called.
    MapFileWriter(const ExportApi& api, const ExportList& list, std::uint32_t flags);

    // Writes every exported map. True unless memory ran out (a cancel or a file that could not be
    // created still gives true). An empty list fails with "ERROR: No variables specified to export.".
    bool run();

    // Path point arrays larger than this fail as out of memory (lets tests reach that path).
    void set_point_limit(std::size_t limit) { point_limit_ = limit; }

private:
    struct Item {
        ExportVariable variable;
        Category category;
    };

    void message(const std::string& text) const;
    void report_unknown_variables();
    void export_map(std::uint32_t index, std::uint32_t map_count, const OutputParts& output);
    void write_variables();
    void write_layer_part(std::size_t start);
    void write_path_run(std::size_t first, std::size_t end);
    std::size_t run_end(std::size_t first, Category a, Category b) const;
    bool cancel_check();
    void pass_over(std::size_t first, std::size_t end);
    void flush();

    void write_map_variable(const ExportVariable& variable);
    void write_layer_variable(const ExportVariable& variable);
    void write_grid_variable(const ExportVariable& variable);
    void write_entity_variable(const ExportVariable& variable);
    void write_path_variable(const ExportVariable& variable);
    void write_node_variable(const ExportVariable& variable, const PathPointInfo& point);
    void put(const EncodedValue& value);
    void put_string(const char* array, std::size_t capacity, const ExportVariable& variable);
    void put_strings(const char (*strings)[kExportCustomTextSize], const ExportVariable& variable);
    // 100 signed 16-bit values read from the packed bytes at `values`.
    void put_shorts(const std::uint8_t* values, const ExportVariable& variable);

    const ExportApi& api_;
    std::vector<Item> items_;
    std::uint32_t flags_;

    MapInfo map_{};
    LayerInfo layer_{};
    GridCellInfo cell_{};
    ChildEntityInfo entity_{};
    PathInfo path_{};
    std::vector<PathPointInfo> points_;
    std::size_t point_limit_ = static_cast<std::size_t>(-1);
    std::uint32_t first_layer_width_ = 0;
    std::uint32_t first_layer_height_ = 0;

    SafeFileWriter file_{1 << 16};
    std::vector<std::uint8_t> pending_;
    float progress_ = 0.0f;
    float step_ = 0.0f;
    bool result_ = true;
    bool stopped_ = false;
};

}  // namespace zorva::binmap
