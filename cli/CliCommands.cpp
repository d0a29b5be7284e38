#include "cli/CliCommands.h"

#include "cli/ControllersCommand.h"
#include "cli/bus/BusCommand.h"
#include "cli/classic/CandidatesCommand.h"
#include "cli/classic/DecodeCommand.h"
#include "cli/classic/ExportCommand.h"
#include "cli/classic/KernelCommand.h"
#include "cli/classic/TimingCommand.h"
#include "cli/common/CliHelp.h"
#include "cli/fd/FdCommands.h"

#include <algorithm>
#include <iterator>

namespace quillon::cli {

namespace {

// "fd" alone: the group's help.
CommandOutput RunGroupHelp(const Request& request) {
    return CommandOutput{kExitOk, CommandHelp(request.command), {}};
}

// The bus page draws every node's bit, which needs Qt.
bool NeedsPage(const Request& request) {
    return !request.htmlFile.empty();
}

// The commands that need no Qt, each with what runs it and, for one that needs Qt for some
// options, when it does; the others are run by quillon-cli-qt from its own table.
struct PlainCommand {
    Command command;
    CommandRunner run;
    bool (*needsQt)(const Request&) = nullptr;
};
constexpr PlainCommand kPlainCommands[] = {
    {Command::Candidates, RunCandidates},
    {Command::Timing, RunTiming},
    {Command::Decode, RunDecode},
    {Command::Bus, RunBus, NeedsPage},
    {Command::Controllers, RunControllers},
    {Command::Kernel, RunKernel},
    {Command::Export, RunExport},
    {Command::Fd, RunGroupHelp},
    {Command::FdCandidates, RunFdCandidates},
    {Command::FdTiming, RunFdTiming},
    {Command::FdKernel, RunFdKernel},
    {Command::FdDecode, RunFdDecode},
    {Command::FdExport, RunFdExport},
};

} // namespace

std::optional<CommandOutput> RunPlainCommand(const Request& request) {
    if (request.help) {
        return CommandOutput{kExitOk, CommandHelp(request.command), {}};
    }
    if (request.command == Command::Help) {
        return CommandOutput{kExitOk, GeneralHelp(), {}};
    }
    if (request.command == Command::Version) {
        return CommandOutput{kExitOk, VersionText(), {}};
    }
    const auto* entry = std::find_if(
        std::begin(kPlainCommands), std::end(kPlainCommands),
        [&request](const PlainCommand& row) { return row.command == request.command; });
    if (entry == std::end(kPlainCommands) ||
        (entry->needsQt != nullptr && entry->needsQt(request))) {
        return std::nullopt;
    }
    return entry->run(request);
}

CommandOutput RunCommandLine(const std::vector<std::string>& args,
                             const QtCommandRunner& runWithQt) {
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.request) {
        return CommandOutput{kExitUsage, {}, parsed.error + "\n"};
    }
    if (std::optional<CommandOutput> output = RunPlainCommand(*parsed.request)) {
        return *output;
    }
    return runWithQt(*parsed.request);
}

} // namespace quillon::cli
