#pragma once
// The CAN FD side of reading a command line (CliArguments.h): what depends on the row
// --controller names.
#include "cli/common/CliArguments.h"

#include <string>
#include <vector>

namespace quillon::cli {
inline namespace common {

// The CAN FD row named by --controller anywhere on the line from `first` on, or nullptr.
const Controller* FdRowOnLine(const std::vector<std::string>& args, std::size_t first);

// `info` with the prescaler range of `row`'s phase for --nbrp and --dbrp; as it is for any
// other option or without a row.
OptionInfo WithRowRange(const OptionInfo& info, const Controller* row);

// For an fd command once every option is read and request.controller is set: --pll refused
// for a row without one; fd decode's words taken from --registers in the row's order or
// from --nbtcfg and --dbtcfg (never both). The refusal, or empty.
std::string ResolveFdController(Request& request);

} // namespace common
} // namespace quillon::cli
