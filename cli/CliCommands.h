#pragma once
// One command line from start to end: read the arguments, refuse bad ones with one line,
// answer help and version, and run the command. candidates, timing, kernel and export run
// here; report and show need Qt and are handed to a runner the caller supplies
// (quillon-cli starts its companion, the companion runs them), so both programs answer
// alike.
#include "cli/common/CliArguments.h"
#include "cli/common/CommandOutput.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon::cli {

// Help, version, candidates, timing, kernel, export, decode, bus without its page and the fd
// commands but fd report, and the help of every command; nothing for report, show, bus with
// --html and fd report.
std::optional<CommandOutput> RunPlainCommand(const Request& request);

// Runs one command.
using CommandRunner = CommandOutput (*)(const Request&);
using QtCommandRunner = std::function<CommandOutput(const Request&)>;

// The arguments after the program name: a bad command line gives the usage status and
// its one-line message; report, show and fd report go to `runWithQt`.
CommandOutput RunCommandLine(const std::vector<std::string>& args,
                             const QtCommandRunner& runWithQt);

} // namespace quillon::cli
