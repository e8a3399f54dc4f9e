#include "model/object_list.h"

namespace zorva {

void report_out_of_memory(Platform* platform, std::string_view text) {
    if (!platform) return;
    try {
        platform->message_box(text, "Warning", MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
    } catch (const std::bad_alloc&) {
        // Nothing more can be done without memory.
    }
}

}  // namespace zorva
