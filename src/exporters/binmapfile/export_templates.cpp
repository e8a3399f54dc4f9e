#include "exporters/binmapfile/export_templates.h"

namespace zorva::binmap {

const std::array<TemplateDesc, kTemplateCount> kTemplates = {{
    {15110, "01) Empty                - Empty template with no data"},
    {15111, "02) Map array            - Array data only (1 byte per cell)."},
    {15112, "03) Map size & array     - Width & height (1 byte each) & array data (1 byte per cell)."},
    {15113, "04) Map array (2)        - Array data only (2 byte per cell)."},
    {15114, "05) Map size & array (2) - Width & height (2 bytes each) & array data (2 bytes per cell)."},
    {15115, "06) Entities             - Child entities' types and world positions."},
    {15116, "07) Entities (details)   - Child entities' details."},
    {15117, "08) Paths                - Paths' number of nodes and node positions."},
    {15118, "09) Paths (details)      - Paths' details."},
}};

const std::array<TemplateRow, kTemplateRowCount> kTemplateRows = {{
    {15110, -1}, {-1, 0},   {15111, -1}, {2001, 2}, {15112, -1}, {106, 2},  {107, 2},    {2001, 2},
    {15113, -1}, {2001, 4}, {15114, -1}, {106, 4},  {107, 4},    {2001, 4}, {15115, -1}, {3002, 2},
    {3005, 5},   {3006, 5}, {15116, -1}, {3001, 2}, {3002, 2},   {3003, 5}, {3004, 5},   {3005, 5},
    {3006, 5},   {3007, 0}, {3008, 0},   {3009, 0}, {3010, 3},   {3110, 6}, {3111, 6},   {3112, 6},
    {15117, -1}, {4001, 6}, {5003, 7},   {5004, 7}, {15118, -1}, {4001, 6}, {4002, 0},   {5001, 7},
    {5002, 7},   {5003, 7}, {5004, 7},   {5005, 0}, {5006, 0},   {5007, 0}, {5008, 3},   {-1, -1},
}};

namespace {

bool is_header(const TemplateRow& row) { return row.type == -1 && row.id >= 0; }
bool is_end(const TemplateRow& row) { return row.type == -1 && row.id == -1; }

}  // namespace

TemplateTable::TemplateTable(std::span<const TemplateRow> rows) : rows_(rows) {
    for (std::size_t t = 0; t < kTemplateCount; ++t) {
        for (std::size_t r = 0; r < rows_.size() && !is_end(rows_[r]); ++r) {
            if (!is_header(rows_[r]) || static_cast<std::uint32_t>(rows_[r].id) != kTemplates[t].id) continue;
            std::size_t last = r;
            while (last + 1 < rows_.size() && !is_header(rows_[last + 1]) && !is_end(rows_[last + 1])) ++last;
            if (last > r) ranges_[t] = RowRange{r + 1, last};
            break;
        }
    }
}

std::optional<RowRange> TemplateTable::range(std::size_t index) const {
    return index < ranges_.size() ? ranges_[index] : std::nullopt;
}

}  // namespace zorva::binmap
