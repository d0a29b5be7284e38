// quillon-cli: reads the command line, runs the command and prints its output. Report and
// show are handed to quillon-cli-qt, so this program loads no Qt library.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/CompanionLaunch.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    using namespace quillon::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.request) {
        std::cerr << parsed.error << '\n';
        return kExitUsage;
    }
    if (NeedsCompanion(*parsed.request)) {
        return RunCompanion(*parsed.request, argv);
    }
    const CommandOutput output = RunPlainCommand(*parsed.request).value();
    std::cout << output.out << std::flush;
    std::cerr << output.err << std::flush;
    return output.status;
}
