// Where a tool window may sit: inside the desktop work area unless the user allows dialogs to move off
// screen. Qt-free.
#pragma once

#include <cstdint>

namespace zorva {

struct ScreenBox {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const ScreenBox&, const ScreenBox&) = default;
};

// A left or top edge beyond the work area moves onto it; a window sticking out to the right or bottom
// moves left or up, never beyond the work area's left or top edge.
ScreenBox keep_in_work_area(ScreenBox window, const ScreenBox& work_area);

}  // namespace zorva
