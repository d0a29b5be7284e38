// quillon-cli: reads the command line, runs the command and prints its output.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "cli/ShowCommand.h"

#include <QString>
#include <QStringList>

#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace quillon::cli;

CommandOutput Run(const Request& request) {
    if (request.help) {
        return {kExitOk, CommandHelp(request.command), {}};
    }
    switch (request.command) {
    case Command::Help:
        return {kExitOk, GeneralHelp(), {}};
    case Command::Version:
        return {kExitOk, VersionText(), {}};
    case Command::Candidates:
        return RunCandidates(request);
    case Command::Timing:
        return RunTiming(request);
    case Command::Report:
        return RunReport(request);
    case Command::Show:
        break;
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
