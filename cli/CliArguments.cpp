#include "cli/CliArguments.h"

#include "timing/CandidateSearch.h"
#include "timing/NumberReading.h"
#include "timing/Segments.h"
#include "timing/Version.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <initializer_list>

namespace quillon::cli {

namespace {

// The limits of the step-1 entry checks: the oscillator in MHz, the rate in kbit/s.
constexpr std::string_view kOscillatorCheck = "The oscillator must be greater than 0.";
constexpr std::string_view kOscillatorLimit = "The oscillator must be no more than 1E+300 MHz.";
constexpr std::string_view kRateCheck =
    "The CAN baud rate must be greater than 0 and no more than 1000.";

enum class Option {
    Osc,
    Rate,
    Grid,
    Json,
    Analyse,
    Pick,
    Brp1,
    Tq,
    Prop,
    Phase1,
    Phase2,
    Sjw,
    Sam,
    WakFil,
    LargerOf,
    Out,
    Open,
};

struct OptionInfo {
    std::string_view name;
    Option option;
    bool takesValue;
    std::string_view valueMeaning; // said when the value is missing
};

constexpr OptionInfo kOptions[] = {
    {"--osc", Option::Osc, true, "the oscillator frequency in MHz"},
    {"--rate", Option::Rate, true, "the CAN bus rate in kbit/s"},
    {"--grid", Option::Grid, false, ""},
    {"--json", Option::Json, false, ""},
    {"--analyse", Option::Analyse, false, ""},
    {"--analyze", Option::Analyse, false, ""},
    {"--pick", Option::Pick, true, "an entry of the chosen list, counted from 1"},
    {"--brp1", Option::Brp1, true, "the BRP-1 value of a grid cell"},
    {"--tq", Option::Tq, true, "the Tq count of a grid cell"},
    {"--prop", Option::Prop, true, "the propagation segment in Tq"},
    {"--phase1", Option::Phase1, true, "phase segment 1 in Tq"},
    {"--phase2", Option::Phase2, true, "phase segment 2 in Tq"},
    {"--sjw", Option::Sjw, true, "the synchronisation jump width in Tq"},
    {"--sam", Option::Sam, false, ""},
    {"--wakfil", Option::WakFil, false, ""},
    {"--larger-of", Option::LargerOf, false, ""},
    {"--out", Option::Out, true, "the folder for the report files"},
    {"--open", Option::Open, false, ""},
};

// The options of the timing and report commands that choose and shape the bit.
constexpr Option kSelectionOptions[] = {
    Option::Osc,    Option::Rate,   Option::Pick, Option::Brp1, Option::Tq,     Option::Prop,
    Option::Phase1, Option::Phase2, Option::Sjw,  Option::Sam,  Option::WakFil, Option::LargerOf,
};

bool Accepts(Command command, Option option) {
    const auto inSelection = [option] {
        return std::find(std::begin(kSelectionOptions), std::end(kSelectionOptions), option) !=
               std::end(kSelectionOptions);
    };
    switch (command) {
    case Command::Candidates:
        return option == Option::Osc || option == Option::Rate || option == Option::Grid ||
               option == Option::Json || option == Option::Analyse;
    case Command::Timing:
        return inSelection() || option == Option::Json;
    case Command::Report:
        return inSelection() || option == Option::Out || option == Option::Open;
    default:
        return false;
    }
}

std::string_view CommandName(Command command) {
    switch (command) {
    case Command::Candidates:
        return "candidates";
    case Command::Timing:
        return "timing";
    case Command::Report:
        return "report";
    case Command::Show:
        return "show";
    default:
        return "";
    }
}

const OptionInfo* FindOption(std::string_view name) {
    for (const OptionInfo& info : kOptions) {
        if (info.name == name) {
            return &info;
        }
    }
    return nullptr;
}

struct IntRange {
    int min;
    int max;
};

IntRange RangeOf(Option option) {
    switch (option) {
    case Option::Brp1:
        return {kMinBRPMinus1, kMaxBRPMinus1};
    case Option::Tq:
        return {kMinTqCount, kMaxTqCount};
    case Option::Prop:
        return {kMinPropagation, kMaxPropagation};
    case Option::Phase1:
        return {kMinPhase1, kMaxPhase1};
    case Option::Phase2:
        return {kMinPhase2, kMaxPhase2};
    case Option::Sjw:
        return {kMinSJW, kMaxSJW};
    default: // --pick: its upper end is the length of the list, known only after the search
        return {1, INT_MAX};
    }
}

// A whole number in the option's range, or the problem with it.
std::optional<int> ReadWholeNumber(const OptionInfo& info, const std::string& text,
                                   std::string& error) {
    int value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, code] = std::from_chars(text.data(), end, value);
    if (text.empty() || code != std::errc() || stop != end) {
        error = Problem(info.name, "'" + text + "' is not a whole number");
        return std::nullopt;
    }
    const IntRange range = RangeOf(info.option);
    if (value < range.min || value > range.max) {
        error = info.option == Option::Pick
                    ? Problem(info.name, std::to_string(value) +
                                             " is not an entry of the list (entries count from 1)")
                    : Problem(info.name, std::to_string(value) + " is outside " +
                                             std::to_string(range.min) + " to " +
                                             std::to_string(range.max));
        return std::nullopt;
    }
    return value;
}

// Stores one option's value into the request; false with `error` set when it is bad.
bool Apply(const OptionInfo& info, const std::string& value, Request& request, std::string& error) {
    const auto store = [&](std::optional<int>& field) {
        field = ReadWholeNumber(info, value, error);
        return field.has_value();
    };
    switch (info.option) {
    case Option::Osc:
        // The entry box's reading rule: the leading number, 0 when there is none.
        request.oscFreqMHz = ReadLeadingNumber(value);
        if (!(request.oscFreqMHz >= kMinOscillatorMHz)) {
            error = Problem(info.name, kOscillatorCheck);
            return false;
        }
        if (request.oscFreqMHz > kMaxOscillatorMHz) {
            error = Problem(info.name, kOscillatorLimit);
            return false;
        }
        return true;
    case Option::Rate:
        request.rateKbps = ReadLeadingNumber(value);
        if (!(request.rateKbps >= kMinRateKbps && request.rateKbps <= kMaxRateKbps)) {
            error = Problem(info.name, kRateCheck);
            return false;
        }
        return true;
    case Option::Grid:
        request.grid = true;
        return true;
    case Option::Json:
        request.json = true;
        return true;
    case Option::Analyse:
        request.analyse = true;
        return true;
    case Option::Pick:
        return store(request.selection.pick);
    case Option::Brp1:
        return store(request.selection.brpMinus1);
    case Option::Tq:
        return store(request.selection.tqCount);
    case Option::Prop:
        return store(request.segments.propagation);
    case Option::Phase1:
        return store(request.segments.phase1);
    case Option::Phase2:
        return store(request.segments.phase2);
    case Option::Sjw:
        return store(request.segments.sjw);
    case Option::Sam:
        request.segments.sam = true;
        return true;
    case Option::WakFil:
        request.segments.wakFil = true;
        return true;
    case Option::LargerOf:
        request.segments.largerOf = true;
        return true;
    case Option::Out:
        if (value.empty()) {
            error = Problem(info.name, "the folder name is empty");
            return false;
        }
        request.outDir = value;
        return true;
    case Option::Open:
        request.open = true;
        return true;
    }
    return true;
}

// The checks that need all options: the required ones and the choice of the candidate.
std::string CheckComplete(const Request& request, const std::vector<Option>& seen) {
    const auto given = [&seen](Option option) {
        return std::find(seen.begin(), seen.end(), option) != seen.end();
    };
    for (const Option required : {Option::Osc, Option::Rate}) {
        if (!given(required)) {
            const OptionInfo* info = FindOption(required == Option::Osc ? "--osc" : "--rate");
            return Problem(info->name,
                           std::string("required (") + std::string(info->valueMeaning) + ")");
        }
    }
    if (request.command == Command::Candidates) {
        return {};
    }
    const Selection& selection = request.selection;
    if (selection.pick && (selection.brpMinus1 || selection.tqCount)) {
        return Problem("--pick", "cannot be combined with --brp1 or --tq");
    }
    if (selection.brpMinus1 && !selection.tqCount) {
        return Problem("--tq", "required with --brp1");
    }
    if (selection.tqCount && !selection.brpMinus1) {
        return Problem("--brp1", "required with --tq");
    }
    if (!selection.pick && !selection.brpMinus1) {
        return Problem(CommandName(request.command),
                       "choose the candidate with --pick K or with --brp1 B --tq N");
    }
    return {};
}

bool IsHelp(std::string_view argument) {
    return argument == "--help" || argument == "-h";
}

std::string TryHelp() {
    return "; try '" + std::string(kProgramName) + " --help'";
}

} // namespace

std::string Problem(std::string_view argument, std::string_view what) {
    std::string text(kProgramName);
    text += ": ";
    text += argument;
    text += ": ";
    text += what;
    return text;
}

ParseResult ParseArguments(const std::vector<std::string>& args) {
    ParseResult result;
    if (args.empty()) {
        result.error = std::string(kProgramName) + ": no command given" + TryHelp();
        return result;
    }
    Request request;
    const std::string& first = args.front();
    if (IsHelp(first) || first == "help") {
        request.command = Command::Help;
        result.request = request;
        return result;
    }
    if (first == "--version") {
        request.command = Command::Version;
        result.request = request;
        return result;
    }
    if (first == "show") {
        request.command = Command::Show;
        request.showArguments.assign(args.begin() + 1, args.end());
        result.request = request;
        return result;
    }
    if (first == "candidates") {
        request.command = Command::Candidates;
    } else if (first == "timing") {
        request.command = Command::Timing;
    } else if (first == "report") {
        request.command = Command::Report;
    } else {
        result.error = Problem(first, first.rfind("-", 0) == 0 ? "unknown option" + TryHelp()
                                                               : "unknown command" + TryHelp());
        return result;
    }

    if (std::any_of(args.begin() + 1, args.end(), IsHelp)) {
        request.help = true;
        result.request = request;
        return result;
    }

    std::vector<Option> seen;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& argument = args[i];
        const std::size_t equals = argument.find('=');
        const bool hasInlineValue = argument.rfind("--", 0) == 0 && equals != std::string::npos;
        const std::string name = hasInlineValue ? argument.substr(0, equals) : argument;
        const OptionInfo* info = FindOption(name);
        if (info == nullptr || !Accepts(request.command, info->option)) {
            const bool looksLikeOption = name.rfind("-", 0) == 0;
            result.error =
                Problem(name, looksLikeOption ? "unknown option for " +
                                                    std::string(CommandName(request.command))
                                              : std::string("unexpected argument"));
            return result;
        }
        if (std::find(seen.begin(), seen.end(), info->option) != seen.end()) {
            result.error = Problem(info->name, "given more than once");
            return result;
        }
        seen.push_back(info->option);

        std::string value;
        if (info->takesValue) {
            if (hasInlineValue) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
                value = args[++i];
            } else {
                result.error =
                    Problem(info->name, "missing value (" + std::string(info->valueMeaning) + ")");
                return result;
            }
        } else if (hasInlineValue) {
            result.error = Problem(info->name, "takes no value");
            return result;
        }
        if (!Apply(*info, value, request, result.error)) {
            return result;
        }
    }

    result.error = CheckComplete(request, seen);
    if (result.error.empty()) {
        result.request = request;
    }
    return result;
}

std::string GeneralHelp() {
    return "Usage: quillon-cli COMMAND [OPTIONS]\n"
           "The CAN bit timing calculator for Microchip CAN controllers, without a window.\n"
           "\n"
           "Commands:\n"
           "  candidates   the prescaler/Tq combinations that hit the bus rate\n"
           "  timing       the segments, sample point, verdict and registers of one choice\n"
           "  report       write MCP2510Report.htm and bittime.bmp for one choice\n"
           "  show         open the calculator window for automation\n"
           "\n"
           "  --help       this text; 'quillon-cli COMMAND --help' for a command\n"
           "  --version    the program version\n"
           "\n"
           "Numbers are written with a point as the decimal separator.\n"
           "\n"
           "Exit status: 0 done, also when timing shows a setting that breaks a timing rule\n"
           "(its verdict names the rule); 1 refused or failed: report of a setting that breaks\n"
           "a timing rule, report files not written, or show could not reach the calculator;\n"
           "2 bad arguments.\n";
}

namespace {

constexpr const char* kInputsHelp = "  --osc MHZ        oscillator frequency in MHz, at least 1\n"
                                    "  --rate KBPS      CAN bus rate in kbit/s, from 1 to 1000\n";

constexpr const char* kSelectionHelp =
    "  --pick K         entry K (from 1) of the chosen candidate list\n"
    "  --brp1 B         any grid cell instead: BRP-1 value 0..63 ...\n"
    "  --tq N           ... and Tq count 8..25 (error taken as target - actual)\n"
    "Segments default to the proposal for the Tq count; these override it:\n"
    "  --prop P         propagation segment, 1..8 Tq\n"
    "  --phase1 Q       phase segment 1, 1..8 Tq\n"
    "  --phase2 R       phase segment 2, 2..8 Tq\n"
    "  --sjw J          synchronisation jump width, 1..4 Tq\n"
    "  --sam            multiple bit sampling\n"
    "  --wakfil         wake-up filter\n"
    "  --larger-of      phase 2 is the larger of phase 1 and the IPT of 2 Tq\n";

} // namespace

std::string CommandHelp(Command command) {
    switch (command) {
    case Command::Candidates:
        return std::string("Usage: quillon-cli candidates --osc MHZ --rate KBPS [--grid] "
                           "[--analyse] [--json]\n"
                           "The chosen candidates in list order: Tq, BRP-1, osc1 clks, %Err.\n"
                           "\n") +
               kInputsHelp +
               "  --grid           also the full 64 x 18 grid; '*' marks the cells that match\n"
               "  --analyse        also the sample point (SP %) and the oscillator tolerance\n"
               "                   (Tol %) of each candidate with its proposed segments, SJW 1\n"
               "                   and the programmed phase 2 (also spelt --analyze)\n"
               "  --json           one JSON document instead of tables\n";
    case Command::Timing:
        return std::string(
                   "Usage: quillon-cli timing --osc MHZ --rate KBPS (--pick K | --brp1 B "
                   "--tq N)\n"
                   "                          [SEGMENT OPTIONS] [--json]\n"
                   "The settings, effective phase 2, sample point, durations, verdict, the\n"
                   "analysis (oscillator tolerance, propagation round trip, bus length with\n"
                   "typical transceiver and cable delays, sample point against the one\n"
                   "recommended for the rate) and the five configuration registers of one\n"
                   "choice. A setting that breaks a timing rule is shown with its verdict\n"
                   "and exits with status 0.\n"
                   "\n") +
               kInputsHelp + kSelectionHelp +
               "  --json           one JSON document instead of tables\n";
    case Command::Report:
        return std::string("Usage: quillon-cli report --osc MHZ --rate KBPS (--pick K | --brp1 B "
                           "--tq N)\n"
                           "                          [SEGMENT OPTIONS] [--out DIR] [--open]\n"
                           "Writes MCP2510Report.htm and bittime.bmp. A setting that breaks a "
                           "timing\n"
                           "rule writes nothing and exits with status 1. SOURCE_DATE_EPOCH fixes "
                           "the\n"
                           "time stamp.\n"
                           "\n") +
               kInputsHelp + kSelectionHelp +
               "  --out DIR        folder for the two files (default: the current folder)\n"
               "  --open           open the report with the desktop's program afterwards\n";
    default:
        return GeneralHelp();
    }
}

std::string VersionText() {
    return std::string(kProgramName) + " " + std::string(kVersion) + "\n";
}

} // namespace quillon::cli
