// Fuzz target for quillon-cli's command line: the input, split at zero bytes, is the list
// of arguments after the program name (at most 24 of them). The candidates, timing, kernel
// and export commands, and decode of a register set, are then run in-process on what the
// parser accepts; the report command, which writes files, show, which talks to the desktop
// bus, and decode of a file are only parsed.
// Properties: the parser either accepts with the values in their ranges, or refuses with
// one message that starts with the program's name; a command ends with an exit status of
// 0, 1 or 2, and nothing it prints shows "inf" or "nan".
#include "FuzzInput.h"
#include "cli/CliCommands.h"
#include "cli/classic/CandidatesCommand.h"
#include "cli/classic/DecodeCommand.h"
#include "cli/classic/ExportCommand.h"
#include "cli/classic/KernelCommand.h"
#include "cli/classic/TimingCommand.h"
#include "cli/common/CliArguments.h"

#include <limits>
#include <string>
#include <vector>

namespace {

using namespace quillon::cli;

constexpr std::size_t kMaxArguments = 24;
constexpr std::size_t kMaxArgumentLength = 512;

std::string Describe(const std::vector<std::string>& args) {
    std::string text = "arguments:";
    for (const std::string& argument : args) {
        text += " [" + argument.substr(0, 80) + "]";
    }
    return text;
}

template <typename T> bool Within(const std::optional<T>& value, T low, T high) {
    return !value || (*value >= low && *value <= high);
}

void CheckOutput(const CommandOutput& output, const std::vector<std::string>& args) {
    FUZZ_CHECK(output.status == kExitOk || output.status == kExitRefused ||
                   output.status == kExitUsage,
               Describe(args));
    FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(output.out), Describe(args) + "\n" + output.out);
    FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(output.err), Describe(args) + "\n" + output.err);
    // A usage failure always says what was wrong.
    FUZZ_CHECK(output.status != kExitUsage || !output.err.empty(), Describe(args));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzInput input(data, size);
    std::vector<std::string> args;
    while (input.Remaining() > 0 && args.size() < kMaxArguments) {
        args.push_back(input.TakeText(kMaxArgumentLength));
    }

    const ParseResult parsed = ParseArguments(args);
    FUZZ_CHECK(parsed.request.has_value() != !parsed.error.empty(), Describe(args));
    if (!parsed.request) {
        FUZZ_CHECK(parsed.error.rfind(std::string(kProgramName) + ": ", 0) == 0,
                   Describe(args) + " -> " + parsed.error);
        return 0;
    }

    const Request& request = *parsed.request;
    if (request.command == Command::Decode && request.decode.layout && !request.help) {
        CheckOutput(RunDecode(request), args);
        return 0;
    }
    const bool computes = request.command == Command::Candidates ||
                          request.command == Command::Timing ||
                          request.command == Command::Report ||
                          request.command == Command::Kernel || request.command == Command::Export;
    if (!computes || request.help) {
        return 0;
    }
    FUZZ_CHECK(request.oscFreqMHz >= 1, Describe(args));
    FUZZ_CHECK(request.rateKbps >= 1 && request.rateKbps <= 1000, Describe(args));
    const Selection& s = request.selection;
    FUZZ_CHECK(Within(s.brpMinus1, 0, 63) && Within(s.tqCount, 8, 25) &&
                   Within(s.pick, 1, std::numeric_limits<int>::max()),
               Describe(args));
    const SegmentOptions& o = request.segments;
    FUZZ_CHECK(Within(o.propagation, 1, 8) && Within(o.phase1, 1, 8) && Within(o.phase2, 2, 8) &&
                   Within(o.sjw, 1, 4),
               Describe(args));

    if (request.command == Command::Candidates) {
        CheckOutput(RunCandidates(request), args);
    } else if (request.command == Command::Timing) {
        CheckOutput(RunTiming(request), args);
    } else if (request.command == Command::Kernel) {
        CheckOutput(RunKernel(request), args);
    } else if (request.command == Command::Export) {
        FUZZ_CHECK(Within(request.interruptPin, 0, 53), Describe(args));
        CheckOutput(RunExport(request), args);
    }
    return 0;
}
