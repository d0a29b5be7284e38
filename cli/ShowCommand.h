#pragma once
// The show command: asks the calculator on the D-Bus session bus to open its window, as any
// automation client would, so that a shell script needs no D-Bus code of its own. The bus
// starts the program if it is not running yet. Runs in quillon-cli-qt; its arguments
// are read by the common parser.
#include "cli/common/CommandOutput.h"

namespace quillon::cli {

// Status 0 when the calculator took the call, 1 with one line when it could not be reached.
// No QCoreApplication may exist yet when it is called.
CommandOutput RunShow(const Request& request);

} // namespace quillon::cli
