// One undo history: the undo list and the redo list (oldest first) with the limit they share. It only
// keeps records in order; UndoHistories runs them against the project and handles failures.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>

#include "undo/undo_record.h"

namespace zorva {

inline constexpr int kMinUndoLimit = 5;
inline constexpr int kMaxUndoLimit = 200;
inline constexpr int kDefaultUndoLimit = 50;

// The Edit menu items the histories describe.
inline constexpr int kUndoMenuItemId = 57643;
inline constexpr int kRedoMenuItemId = 57644;

struct MenuItemState {
    std::string text;
    bool enabled = false;  // a disabled item is also greyed
};

class UndoHistory {
public:
    // The limit is clamped to 5 ... 200.
    explicit UndoHistory(int limit = kDefaultUndoLimit);

    int limit() const { return limit_; }
    std::size_t undo_count() const { return undo_.size(); }
    std::size_t redo_count() const { return redo_.size(); }
    const UndoRecord* newest_undo() const { return undo_.empty() ? nullptr : undo_.back().get(); }
    const UndoRecord* newest_redo() const { return redo_.empty() ? nullptr : redo_.back().get(); }
    UndoRecord* newest_undo() { return undo_.empty() ? nullptr : undo_.back().get(); }

    // A new record: the oldest undo record is discarded at the limit, and the redo list is cleared.
    // Throws std::bad_alloc (the record is then freed; the oldest record may already be gone).
    void add(std::unique_ptr<UndoRecord> record);

    // Takes the newest record out of a list (null when empty).
    std::unique_ptr<UndoRecord> take_newest_undo();
    std::unique_ptr<UndoRecord> take_newest_redo();
    // Appends a record taken by an undo to the redo list, or by a redo to the undo list, discarding the
    // oldest record of that list at the limit. Throws std::bad_alloc (the record is then freed).
    void push_redo(std::unique_ptr<UndoRecord> record);
    void push_undo(std::unique_ptr<UndoRecord> record);

    void clear_undo() { undo_.clear(); }
    void clear_redo() { redo_.clear(); }
    void clear() {
        clear_undo();
        clear_redo();
    }

    // "&Undo : <name>\tCtrl+Z", enabled, when the newest undo record has a named code; else
    // "Undo\tCtrl+Z", disabled.
    MenuItemState undo_item() const;
    // "&Redo : <name>\tCtrl+Y", enabled, naming the operation redo performs again; else "Redo\tCtrl+Y".
    MenuItemState redo_item() const;

    // Memory held by all records, and the number of records keeping an object out of the project.
    std::size_t memory_bytes() const;
    std::size_t kept_object_count() const;

private:
    using List = std::deque<std::unique_ptr<UndoRecord>>;
    static void push_bounded(List& list, std::unique_ptr<UndoRecord> record, std::size_t limit);

    int limit_;
    List undo_;
    List redo_;
};

}  // namespace zorva
