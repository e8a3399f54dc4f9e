// Owning ordered lists of model objects and the operations they share: find by id or by position,
// detach (remove without freeing), re-insert at a position, move up and down.
//
// A list is a std::vector<std::unique_ptr<T>>: the vector order is the list order, the objects never
// move in memory while they are in a list, and the count is the vector size.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "model/ids.h"

namespace zorva {

template <class T>
using ObjectList = std::vector<std::unique_ptr<T>>;

// An object taken out of its list. `object` is null when the object was freed or not found;
// `index` is the position it had (-1 when not found). Hand both back to the matching insert to undo.
template <class T>
struct Detached {
    std::unique_ptr<T> object;
    int index = -1;
    explicit operator bool() const { return index >= 0; }
};

// The object with `id` (0xFFFFFFFF never matches), or null; `index` receives its position or -1.
template <class T>
T* find_by_id(const ObjectList<T>& list, ObjectId id, int* index = nullptr) {
    if (index) *index = -1;
    if (id == kInvalidId) return nullptr;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i]->id() == id) {
            if (index) *index = static_cast<int>(i);
            return list[i].get();
        }
    }
    return nullptr;
}

// The object at the 0-based `position`, or null.
template <class T>
T* find_at(const ObjectList<T>& list, long long position) {
    if (position < 0 || static_cast<unsigned long long>(position) >= list.size()) return nullptr;
    return list[static_cast<std::size_t>(position)].get();
}

// The position of `object` in the list, or -1.
template <class T>
int index_of(const ObjectList<T>& list, const T* object) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == object) return static_cast<int>(i);
    return -1;
}

// Unlinks `object`. With `free_it` the object is destroyed and the result holds no object.
template <class T>
Detached<T> detach(ObjectList<T>& list, const T* object, bool free_it) {
    Detached<T> result;
    const int index = index_of(list, object);
    if (index < 0) return result;
    result.index = index;
    std::unique_ptr<T> taken = std::move(list[static_cast<std::size_t>(index)]);
    list.erase(list.begin() + index);
    if (!free_it) result.object = std::move(taken);
    return result;
}

// Makes room for one more element without changing the list; throws std::bad_alloc on failure.
// Growth stays geometric, so appends remain amortised constant.
template <class T>
void reserve_one_more(ObjectList<T>& list) {
    if (list.size() < list.capacity()) return;
    list.reserve(list.size() < 4 ? 8 : list.size() * 2);
}

// Links `object` back in at `index` (clamped to 0 ... size; a negative index puts it at the front)
// without copying and without touching ids or counters. Returns the object; null when memory ran out,
// in which case `object` is left untouched with the caller.
template <class T>
T* insert_at(ObjectList<T>& list, std::unique_ptr<T>&& object, int index) {
    if (!object) return nullptr;
    std::size_t position = index < 0 ? 0 : static_cast<std::size_t>(index);
    if (position > list.size()) position = list.size();
    try {
        reserve_one_more(list);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    T* raw = object.get();
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), std::move(object));
    return raw;
}

// Swaps `object` with its predecessor (move up) or successor (move down). False at the list's end.
template <class T>
bool move_up(ObjectList<T>& list, const T* object) {
    const int index = index_of(list, object);
    if (index <= 0) return false;
    std::swap(list[static_cast<std::size_t>(index)], list[static_cast<std::size_t>(index - 1)]);
    return true;
}
template <class T>
bool move_down(ObjectList<T>& list, const T* object) {
    const int index = index_of(list, object);
    if (index < 0 || static_cast<std::size_t>(index) + 1 >= list.size()) return false;
    std::swap(list[static_cast<std::size_t>(index)], list[static_cast<std::size_t>(index + 1)]);
    return true;
}

// Copies of the objects of a list, in order (a deep snapshot of a list of plain objects).
template <class T>
std::vector<T> copy_values(const ObjectList<T>& list) {
    std::vector<T> copy;
    copy.reserve(list.size());
    for (const auto& object : list) copy.push_back(*object);
    return copy;
}

// Replaces the list with new objects made from `values`. False, with the list unchanged, when memory
// runs out.
template <class T>
bool replace_with_values(ObjectList<T>& list, std::span<const T> values) {
    ObjectList<T> fresh;
    try {
        fresh.reserve(values.size());
        for (const T& value : values) fresh.push_back(std::make_unique<T>(value));
    } catch (const std::bad_alloc&) {
        return false;
    }
    list.swap(fresh);
    return true;
}

// Shows an out-of-memory message of the model (caption "Warning", stop icon). `platform` may be null.
void report_out_of_memory(Platform* platform, std::string_view text);

}  // namespace zorva
