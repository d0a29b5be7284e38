#include "cli/CliCommands.h"

#include "cli/CliHelp.h"

namespace quillon::cli {

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
    const CommandInfo& info = InfoOf(request.command);
    if (info.run == nullptr || (info.needsQt != nullptr && info.needsQt(request))) {
        return std::nullopt;
    }
    return info.run(request);
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
