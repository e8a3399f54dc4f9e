// The nine templates that fill the export list in one step.
//
// Their (variable id, data type) pairs form one table of 48 rows: each template's rows follow a header
// row (template id, -1) and the table ends with (-1, -1). The row ranges of the templates are found in
// the table when a TemplateTable is made. Template 01 holds the single variable -1, which matches no
// catalogue entry and adds nothing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace zorva::binmap {

struct TemplateRow {
    std::int32_t id;    // template id in a header row, else variable id
    std::int32_t type;  // -1 in a header row, else data type id
};

struct TemplateDesc {
    std::uint32_t id;  // 15110 to 15118
    const char* text;  // shown as stored, with its runs of spaces
};

inline constexpr std::size_t kTemplateCount = 9;
inline constexpr std::size_t kTemplateRowCount = 48;

extern const std::array<TemplateDesc, kTemplateCount> kTemplates;
extern const std::array<TemplateRow, kTemplateRowCount> kTemplateRows;

// First and last row index of a template's variable rows (its header excluded).
struct RowRange {
    std::size_t first = 0;
    std::size_t last = 0;
};

class TemplateTable {
public:
    // Finds every template's row range in `rows`.
    explicit TemplateTable(std::span<const TemplateRow> rows = kTemplateRows);

    // The row range of the template at `index` (0-based, kTemplates order); empty when its header is
    // missing or it has no rows.
    std::optional<RowRange> range(std::size_t index) const;
    std::span<const TemplateRow> rows() const { return rows_; }

private:
    std::span<const TemplateRow> rows_;
    std::array<std::optional<RowRange>, kTemplateCount> ranges_{};
};

}  // namespace zorva::binmap
