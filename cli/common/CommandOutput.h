#pragma once
// What a command gives back instead of printing: its exit status and the texts for stdout
// and stderr, so that the two programs print them alike and the tests can read them.
#include "cli/common/CliArguments.h"

#include <string>
#include <string_view>

namespace quillon::cli {
inline namespace common {

// Every number the tool writes uses a point, whatever the user's locale: scripts read
// the output.
inline constexpr std::string_view kDecimalSeparator = ".";

struct CommandOutput {
    int status = kExitOk;
    std::string out; // for stdout
    std::string err; // for stderr, each message one line
};

// A refusal: `status` and the one-line message `Problem(argument, what)`.
inline CommandOutput Refusal(int status, std::string_view argument, std::string_view what) {
    return CommandOutput{status, {}, Problem(argument, what) + "\n"};
}

} // namespace common
} // namespace quillon::cli
