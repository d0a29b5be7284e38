#pragma once
// The help texts of quillon-cli, written from the command and option tables so that
// every name, value and range they show is the one the parser checks.
#include "cli/common/CliOptions.h"

#include <string>

namespace quillon::cli {
inline namespace common {

// Each text ends in a line feed.
std::string GeneralHelp();
// The help of candidates, timing, report or show; the general help for the others.
std::string CommandHelp(Command command);
std::string VersionText();

} // namespace common
} // namespace quillon::cli
