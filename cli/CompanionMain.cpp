// quillon-cli-qt: the part of quillon-cli that needs Qt. quillon-cli starts it with its
// own arguments for the report, fd report and show commands; it runs every other command the same
// way quillon-cli does.
#include "cli/BusPage.h"
#include "cli/CliCommands.h"
#include "cli/FdReportCommand.h"
#include "cli/ReportCommand.h"
#include "cli/ShowCommand.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace quillon::cli;

// The commands that need Qt, each with what runs it; show takes what is left.
constexpr std::pair<Command, CommandRunner> kQtCommands[] = {
    {Command::Report, RunReport},
    {Command::Bus, RunBusWithPage},
    {Command::FdReport, RunFdReport},
    {Command::Show, RunShow},
};

CommandOutput RunWithQt(const Request& request) {
    const auto* entry =
        std::find_if(std::begin(kQtCommands), std::end(kQtCommands),
                     [&request](const auto& row) { return row.first == request.command; });
    return (entry == std::end(kQtCommands) ? RunShow : entry->second)(request);
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandOutput output = RunCommandLine(args, RunWithQt);
    std::cout << output.out << std::flush;
    std::cerr << output.err << std::flush;
    return output.status;
}
