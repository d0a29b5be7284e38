// quillon-cli: reads the command line, runs the command and prints its output. Report and
// show are handed to quillon-cli-qt, so this program loads no Qt library.
#include "cli/CliCommands.h"
#include "cli/CompanionLaunch.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    using namespace quillon::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandOutput output = RunCommandLine(
        args, [argv](const Request& request) { return RunCompanion(request, argv); });
    std::cout << output.out << std::flush;
    std::cerr << output.err << std::flush;
    return output.status;
}
