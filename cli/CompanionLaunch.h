#pragma once
// The report and show commands draw with Qt and talk to the session bus, and loading those
// libraries alone takes longer than a script should wait for a timing table. quillon-cli
// therefore links no Qt and hands these two commands to its companion, quillon-cli-qt,
// which it finds beside itself (build tree) or in the libexec folder of its installation.
#include "cli/common/CommandOutput.h"

#include <string>
#include <vector>

namespace quillon::cli {

// Where the companion is looked for, in order, for an executable in `executableDir`.
std::vector<std::string> CompanionPaths(const std::string& executableDir);

// Replaces this process with the companion, run with the same arguments. Returns only when
// that fails: then with the refusal status and one line saying why.
CommandOutput RunCompanion(const Request& request, char* argv[]);

} // namespace quillon::cli
