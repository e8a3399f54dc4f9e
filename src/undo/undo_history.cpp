#include "undo/undo_history.h"

#include <algorithm>
#include <utility>

namespace zorva {

UndoHistory::UndoHistory(int limit) : limit_(std::clamp(limit, kMinUndoLimit, kMaxUndoLimit)) {}

void UndoHistory::push_bounded(List& list, std::unique_ptr<UndoRecord> record, std::size_t limit) {
    if (!record) return;
    while (list.size() >= limit) list.pop_front();
    list.push_back(std::move(record));
}

void UndoHistory::add(std::unique_ptr<UndoRecord> record) {
    push_bounded(undo_, std::move(record), static_cast<std::size_t>(limit_));
    redo_.clear();  // a new action always empties the redo history
}

std::unique_ptr<UndoRecord> UndoHistory::take_newest_undo() {
    if (undo_.empty()) return nullptr;
    std::unique_ptr<UndoRecord> record = std::move(undo_.back());
    undo_.pop_back();
    return record;
}

std::unique_ptr<UndoRecord> UndoHistory::take_newest_redo() {
    if (redo_.empty()) return nullptr;
    std::unique_ptr<UndoRecord> record = std::move(redo_.back());
    redo_.pop_back();
    return record;
}

void UndoHistory::push_redo(std::unique_ptr<UndoRecord> record) {
    push_bounded(redo_, std::move(record), static_cast<std::size_t>(limit_));
}

void UndoHistory::push_undo(std::unique_ptr<UndoRecord> record) {
    push_bounded(undo_, std::move(record), static_cast<std::size_t>(limit_));
}

MenuItemState UndoHistory::undo_item() const {
    const UndoRecord* record = newest_undo();
    const std::string_view name = record ? operation_name(record->code()) : std::string_view();
    if (name.empty()) return {"Undo\tCtrl+Z", false};
    std::string text = "&Undo : ";
    text += name;
    text += "\tCtrl+Z";
    return {std::move(text), true};
}

MenuItemState UndoHistory::redo_item() const {
    const UndoRecord* record = newest_redo();
    const std::string_view name =
        record ? operation_name(inverse_operation(record->code())) : std::string_view();
    if (name.empty()) return {"Redo\tCtrl+Y", false};
    std::string text = "&Redo : ";
    text += name;
    text += "\tCtrl+Y";
    return {std::move(text), true};
}

std::size_t UndoHistory::memory_bytes() const {
    std::size_t bytes = 0;
    for (const auto& record : undo_) bytes += record->memory_bytes();
    for (const auto& record : redo_) bytes += record->memory_bytes();
    return bytes;
}

std::size_t UndoHistory::kept_object_count() const {
    const auto keeps = [](const std::unique_ptr<UndoRecord>& record) { return record->keeps_object(); };
    return static_cast<std::size_t>(std::count_if(undo_.begin(), undo_.end(), keeps) +
                                    std::count_if(redo_.begin(), redo_.end(), keeps));
}

}  // namespace zorva
