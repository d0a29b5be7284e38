// quillon-cli-qt: the part of quillon-cli that needs Qt. quillon-cli starts it with its
// own arguments for the report, fd report and show commands; it runs every other command the same
// way quillon-cli does.
#include "cli/BusPage.h"
#include "cli/CliCommands.h"
#include "cli/FdReportCommand.h"
#include "cli/ReportCommand.h"
#include "cli/ShowCommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    using namespace quillon::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandOutput output = RunCommandLine(args, [](const Request& request) {
        switch (request.command) {
        case Command::Report:
            return RunReport(request);
        case Command::Bus:
            return RunBusWithPage(request);
        case Command::FdReport:
            return RunFdReport(request);
        default:
            return RunShow(request);
        }
    });
    std::cout << output.out << std::flush;
    std::cerr << output.err << std::flush;
    return output.status;
}
