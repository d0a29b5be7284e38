#include "cli/CliCommands.h"

#include "cli/BusCommand.h"
#include "cli/CliHelp.h"
#include "cli/ControllersCommand.h"
#include "cli/DecodeCommand.h"
#include "cli/ExportCommand.h"
#include "cli/FdCommands.h"
#include "cli/KernelCommand.h"

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
    case Command::Kernel:
        return RunKernel(request);
    case Command::Export:
        return RunExport(request);
    case Command::Decode:
        return RunDecode(request);
    case Command::Controllers:
        return RunControllers(request);
    case Command::Bus:
        if (request.htmlFile.empty()) {
            return RunBus(request);
        }
        break; // the page draws with Qt
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
