#pragma once
// bus --html: the bus command's table or JSON as usual, and the page with every node's bit
// drawn (in the companion, which draws with Qt).
#include "cli/common/CommandOutput.h"

namespace quillon::cli {

CommandOutput RunBusWithPage(const Request& request);

} // namespace quillon::cli
