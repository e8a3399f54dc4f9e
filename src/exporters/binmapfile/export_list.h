// The export list: the user's ordered export variables, grouped by category, with the flags word and
// the settings file name they were loaded from.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "exporters/binmapfile/variable_catalogue.h"

namespace zorva::binmap {

inline constexpr std::uint32_t kDefaultStringLength = 50;
inline constexpr std::uint32_t kMaxStringLength = 260;

struct ExportVariable {
    std::uint32_t variable_id = 0;
    std::uint32_t data_type = kNoDataType;
    std::uint32_t string_length = kDefaultStringLength;  // characters; used only by string variables

    friend bool operator==(const ExportVariable&, const ExportVariable&) = default;
};

// The export flags word.
enum ExportFlag : std::uint32_t {
    kFlagLocked = 1,            // variables and settings are locked
    kFlagControlPoints = 2,     // path control points are exported
    kFlagMapNames = 4,          // map names are used as file names
    kFlagRemoveExtensions = 8,  // file name extensions are removed
};
inline constexpr std::uint32_t kFreshFlags = kFlagControlPoints;
inline constexpr const char* kNonameSettings = "Noname.zbe";

// The string length the variable dialog accepts: 0 becomes 1, anything above 260 becomes 260.
constexpr std::uint32_t clamp_string_length(std::uint64_t typed) {
    if (typed == 0) return 1;
    return typed > kMaxStringLength ? kMaxStringLength : static_cast<std::uint32_t>(typed);
}

class ExportList {
public:
    // Inserts by category: right after the last variable of the same category; else before the first
    // variable of a higher category; else at the end. Returns the new variable's index.
    std::size_t insert(const ExportVariable& variable);

    void remove(std::size_t index);
    // Replaces in place, even when the new variable belongs to another category.
    void replace(std::size_t index, const ExportVariable& variable);

    // Moving swaps with the neighbour, only when both have the same category.
    bool can_move_up(std::size_t index) const;
    bool can_move_down(std::size_t index) const;
    bool move_up(std::size_t index);
    bool move_down(std::size_t index);

    void clear() { items_.clear(); }
    void assign(std::vector<ExportVariable> items) { items_ = std::move(items); }

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    const ExportVariable& operator[](std::size_t index) const { return items_[index]; }
    std::span<const ExportVariable> items() const { return items_; }

private:
    std::vector<ExportVariable> items_;
};

// What one loaded exporter keeps between the dialog, the settings files and the writer.
struct ExportSettings {
    ExportList list;
    std::uint32_t flags = kFreshFlags;
    std::string file_name = kNonameSettings;  // the current settings file

    // Back to a fresh state: empty list, flags 2, "Noname.zbe".
    void reset() { *this = ExportSettings{}; }
};

// Fills the list from the templates at `template_indices` (kTemplates positions, in list order): the list
// is cleared, then every template's pairs are inserted in order with string length 50. Template 01 adds
// nothing. Unknown indices are ignored.
void apply_templates(ExportList& list, std::span<const std::size_t> template_indices);

}  // namespace zorva::binmap
