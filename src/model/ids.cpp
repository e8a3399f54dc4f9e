#include "model/ids.h"

#include <algorithm>

namespace zorva {

ObjectId find_free_id(ObjectId start, bool& did_overflow, std::vector<ObjectId> ids_in_scope) {
    if (start == kInvalidId) {
        did_overflow = true;
        start = 0;
    }
    if (!did_overflow) return start;

    // The first id at or after the start, going round and skipping the invalid id, that no object has.
    // Sorting once makes this O(n log n) instead of a rescan per taken id.
    std::sort(ids_in_scope.begin(), ids_in_scope.end());
    ids_in_scope.erase(std::unique(ids_in_scope.begin(), ids_in_scope.end()), ids_in_scope.end());

    ObjectId candidate = start;
    auto it = std::lower_bound(ids_in_scope.begin(), ids_in_scope.end(), candidate);
    bool wrapped = false;
    for (;;) {
        if (it == ids_in_scope.end() || *it != candidate) return candidate;
        ++candidate;
        ++it;
        if (candidate == kInvalidId) {
            if (wrapped) return start;
            wrapped = true;
            candidate = 0;
            it = ids_in_scope.begin();
        }
        if (wrapped && candidate == start) return start;
    }
}

void advance_id_counter(ObjectId id, ObjectId& counter, bool& did_overflow) {
    if (id < counter) return;
    counter = id + 1;
    if (counter == 0 || counter == kInvalidId) did_overflow = true;
}

}  // namespace zorva
