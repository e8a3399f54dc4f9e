// A small in-memory stand-in for the editor's ExportApi table: maps, layers, cells, child entities and
// paths described directly as the records the table hands out, with the table's selection and path-point
// rules. One FakeExportHost is active at a time (the table's slots are plain C functions).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/export_api.h"

namespace zorva::binmap::test {

struct FakePath {
    bool closed = false;
    std::vector<PathPointInfo> nodes;  // the nodes only; the table adds the control points around them
};

struct FakeLayer {
    LayerInfo info{};
    std::vector<GridCellInfo> cells;  // row by row
    std::vector<ChildEntityInfo> entities;
    std::vector<FakePath> paths;
};

struct FakeMap {
    MapInfo info{};
    std::vector<FakeLayer> layers;
};

class FakeExportHost {
public:
    FakeExportHost();
    ~FakeExportHost();
    FakeExportHost(const FakeExportHost&) = delete;
    FakeExportHost& operator=(const FakeExportHost&) = delete;

    // A map named `name` (exported unless told otherwise).
    FakeMap& add_map(const std::string& name, bool exported = true);
    // A layer of width × height empty cells.
    FakeLayer& add_layer(FakeMap& map, std::uint32_t width, std::uint32_t height);
    // A path of `nodes` nodes at (10k, 20k) with control points at ±1 pixel in x.
    FakePath& add_path(FakeLayer& layer, std::uint32_t nodes, bool closed = false);

    ExportApi* table() { return &table_; }

    std::string output_file;
    std::vector<FakeMap> maps;
    bool quick_export = false;
    // IsExportCancelled reports true from this call on (0-based count); negative: never.
    long cancel_at_check = -1;
    long cancel_checks = 0;

    std::vector<std::string> messages;
    std::vector<float> progress;

    // Selections as the table keeps them.
    long map = -1, layer = -1, entity = -1, path = -1;

private:
    ExportApi table_{};
};

}  // namespace zorva::binmap::test
