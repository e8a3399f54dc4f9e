// Object ids, the kinds that carry an id counter, and the free-id search.
#pragma once

#include <cstdint>
#include <vector>

namespace zorva {

using ObjectId = std::uint32_t;

// Never given to an object; means "no object".
inline constexpr ObjectId kInvalidId = 0xFFFFFFFFu;

// The six kinds with an id counter in the Project, in the order of the description tables in files.
enum class ObjectKind : int {
    TileSet = 0,
    Map = 1,
    Layer = 2,
    ParentEntity = 3,
    InstanceEntity = 4,
    PathPoint = 5
};
inline constexpr int kObjectKindCount = 6;

// Free-id search. `start` is the kind's counter; `ids_in_scope` the ids of the objects of the kind's scope
// (consumed). A start of 0xFFFFFFFF sets `did_overflow` and becomes 0. Before an overflow the start is
// returned unchanged; afterwards the first id at or after the start (wrapping, skipping 0xFFFFFFFF) that
// no object in scope has, or the start itself when every id is taken.
ObjectId find_free_id(ObjectId start, bool& did_overflow, std::vector<ObjectId> ids_in_scope);

// Counter update after an object took `id`: when `id` is not below the counter, the counter becomes
// id + 1; a counter of 0 or 0xFFFFFFFF then sets the overflow flag.
void advance_id_counter(ObjectId id, ObjectId& counter, bool& did_overflow);

// The ids of a list of objects (anything with an `id()` member, held by pointer).
template <class List>
std::vector<ObjectId> collect_ids(const List& list) {
    std::vector<ObjectId> ids;
    ids.reserve(list.size());
    for (const auto& object : list) ids.push_back(object->id());
    return ids;
}

// The id for a new object of a kind: with `keep_id` the template's id (a kept id of 0xFFFFFFFF, which
// could never be found again, is replaced by a fresh one), else the free-id search over `scope` started at
// `counter`. The scope's ids are gathered only when the search needs them (after an overflow).
template <class List>
ObjectId allocate_id(bool keep_id, ObjectId template_id, ObjectId counter, bool& did_overflow,
                     const List& scope) {
    if (keep_id && template_id != kInvalidId) return template_id;
    if (counter != kInvalidId && !did_overflow) return counter;
    return find_free_id(counter, did_overflow, collect_ids(scope));
}

}  // namespace zorva
