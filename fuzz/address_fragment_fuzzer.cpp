// Fuzz target for the web page's address fragment: the input is the fragment as a link
// could carry it. It is read into a command line, which is parsed and, where accepted, run
// in-process as the page runs it (with --json where the command takes it).
// Properties: the reader either gives a command line and no message, or a message that
// starts with "address: " and holds no control character, and nothing else; what it gives
// is at most the bounded number of options; written back as a fragment, the command line
// reads as the same arguments; the parser accepts it or refuses with one message; a command
// run on it ends with an exit status of 0, 1 or 2 and prints no "inf" or "nan".
#include "FuzzInput.h"
#include "cli/CliCommands.h"
#include "cli/common/AddressFragment.h"
#include "cli/common/CliArguments.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace quillon::cli;

bool Printable(const std::string& text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string fragment(reinterpret_cast<const char*>(data), size);
    const std::string shown = "fragment: [" + fragment.substr(0, 200) + "]";
    const FragmentReading reading = ReadFragment(fragment);
    if (!reading.error.empty()) {
        FUZZ_CHECK(reading.args.empty(), shown);
        FUZZ_CHECK(reading.error.rfind("address: ", 0) == 0, shown + " -> " + reading.error);
        FUZZ_CHECK(Printable(reading.error), shown + " -> " + reading.error);
        return 0;
    }
    FUZZ_CHECK(!reading.args.empty() && reading.args.size() <= kFragmentMaxOptions + 2, shown);
    const FragmentReading again = ReadFragment(WriteFragment(reading.args));
    FUZZ_CHECK(again.error.empty() && again.args == reading.args,
               shown + " -> " + WriteFragment(reading.args) + " -> " + again.error);

    std::vector<std::string> args = reading.args;
    ParseResult parsed = ParseArguments(args);
    FUZZ_CHECK(parsed.request.has_value() != !parsed.error.empty(), shown);
    if (!parsed.request) {
        FUZZ_CHECK(parsed.error.rfind("quillon-cli: ", 0) == 0, shown + " -> " + parsed.error);
        return 0;
    }
    if (Accepts(parsed.request->command, Option::Json) && !parsed.request->json) {
        args.push_back("--json");
        parsed = ParseArguments(args);
        FUZZ_CHECK(parsed.request.has_value(), shown + " --json -> " + parsed.error);
    }
    const auto output = RunPlainCommand(*parsed.request);
    if (!output) {
        return 0; // bus --html: refused by the reader, but the parser takes it
    }
    FUZZ_CHECK(output->status == kExitOk || output->status == kExitRefused ||
                   output->status == kExitUsage,
               shown);
    FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(output->out), shown + "\n" + output->out);
    FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(output->err), shown + "\n" + output->err);
    return 0;
}
