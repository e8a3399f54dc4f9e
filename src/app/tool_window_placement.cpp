#include "app/tool_window_placement.h"

namespace zorva {

ScreenBox keep_in_work_area(ScreenBox w, const ScreenBox& area) {
    if (w.x + w.width > area.x + area.width) w.x = area.x + area.width - w.width;
    if (w.y + w.height > area.y + area.height) w.y = area.y + area.height - w.height;
    if (w.x < area.x) w.x = area.x;
    if (w.y < area.y) w.y = area.y;
    return w;
}

}  // namespace zorva
