// quillon-cli-qt: the part of quillon-cli that needs Qt. quillon-cli starts it with its
// own arguments for the report and show commands; it runs every other command the same
// way quillon-cli does.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "cli/ShowCommand.h"

#include <QString>
#include <QStringList>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace quillon::cli;

CommandOutput Run(const Request& request) {
    if (std::optional<CommandOutput> output = RunPlainCommand(request)) {
        return *output;
    }
    if (request.command == Command::Report) {
        return RunReport(request);
    }
    QStringList arguments;
    for (const std::string& argument : request.showArguments) {
        arguments << QString::fromLocal8Bit(argument.c_str());
    }
    return {RunShowCommand(arguments), {}, {}};
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.request) {
        std::cerr << parsed.error << '\n';
        return kExitUsage;
    }
    const CommandOutput output = Run(*parsed.request);
    std::cout << output.out << std::flush;
    std::cerr << output.err << std::flush;
    return output.status;
}
