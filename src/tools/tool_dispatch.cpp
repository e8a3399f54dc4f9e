#include "tools/tool_dispatch.h"

namespace zorva {

bool ToolDispatch::handle(const ToolInput& /*input*/) {
    // No tool acts yet.
    return false;
}

}  // namespace zorva
