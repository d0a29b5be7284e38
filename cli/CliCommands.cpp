#include "cli/CliCommands.h"

#include "cli/CliHelp.h"
#include "cli/FdCommands.h"

namespace quillon::cli {

std::optional<CommandOutput> RunPlainCommand(const Request& request) {
    if (request.help) {
        return CommandOutput{kExitOk, CommandHelp(request.command), {}};
    }
    switch (request.command) {
    case Command::Help:
        return CommandOutput{kExitOk, GeneralHelp(), {}};
    case Command::Fd: // the group word alone: its help
        return CommandOutput{kExitOk, CommandHelp(Command::Fd), {}};
    case Command::Version:
        return CommandOutput{kExitOk, VersionText(), {}};
    case Command::Candidates:
        return RunCandidates(request);
    case Command::Timing:
        return RunTiming(request);
    case Command::FdCandidates:
        return RunFdCandidates(request);
    case Command::FdTiming:
        return RunFdTiming(request);
    case Command::FdKernel:
        return RunFdKernel(request);
    case Command::FdDecode:
        return RunFdDecode(request);
    case Command::FdExport:
        return RunFdExport(request);
    case Command::Report:
    case Command::Show:
    case Command::FdReport:
        break;
    }
    return std::nullopt;
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
