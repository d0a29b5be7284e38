#include "cli/CliOptions.h"

#include "cli/CliArguments.h"
#include "report/Export.h"
#include "report/ReportFiles.h"
#include "timing/Bus.h"
#include "timing/CandidateSearch.h"
#include "timing/CrystalCheck.h"
#include "timing/DisplayTexts.h"
#include "timing/InputChecks.h"
#include "timing/NumberFormat.h"
#include "timing/Segments.h"

#include <algorithm>
#include <limits>

namespace quillon::cli {

namespace {

constexpr CommandMask kInputCommands = MaskOf(Command::Candidates) | MaskOf(Command::Timing) |
                                       MaskOf(Command::Report) | MaskOf(Command::Kernel) |
                                       MaskOf(Command::Export);
constexpr CommandMask kChoosingCommands =
    MaskOf(Command::Timing) | MaskOf(Command::Report) | MaskOf(Command::Export);
constexpr CommandMask kDecode = MaskOf(Command::Decode);
// The bus rate is every node's target; each node has its own oscillator.
constexpr CommandMask kBus = MaskOf(Command::Bus);
// --pick has no upper end of its own: the length of the list is known after the search.
constexpr double kLastEntry = std::numeric_limits<int>::max();

using G = OptionGroup;
using K = ValueKind;

// In the order of the help.
constexpr OptionSpec kOptions[] = {
    {Option::Osc, "--osc", "", kInputCommands | kDecode, G::Input, K::Reading, "MHZ",
     "the oscillator frequency in MHz", kMinOscillatorMHz, kMaxOscillatorMHz, OscillatorProblem,
     "oscillator frequency in MHz, at least {min}"},
    {Option::Rate,
     "--rate",
     "",
     kInputCommands | kDecode | kBus,
     G::Input,
     K::Reading,
     "KBPS",
     "the CAN bus rate in kbit/s",
     kMinRateKbps,
     kMaxRateKbps,
     RateProblem,
     "CAN bus rate in kbit/s, from {min} to {max}",
     {},
     nullptr,
     kDecode},
    {Option::Cnf, "--cnf", "", kDecode, G::Source, K::RegisterList, "C1,C2,C3",
     "CNF1,CNF2,CNF3 as 0x91 or 145", 0, 0, nullptr,
     "CNF1..CNF3 of the MCP2510/MCP251X, hexadecimal (0x91)\n"
     "or decimal"},
    {Option::Brgcon, "--brgcon", "", kDecode, G::Source, K::RegisterList, "B1,B2,B3",
     "BRGCON1,BRGCON2,BRGCON3 as 0x91 or 145", 0, 0, nullptr,
     "BRGCON1..3 of the PIC18 (the CNF layout)"},
    {Option::Cicfg, "--cicfg", "", kDecode, G::Source, K::RegisterList, "G1,G2",
     "CiCFG1,CiCFG2 as 0x0191 or 401", 0, 0, nullptr,
     "CiCFG1 and CiCFG2 of the dsPIC30F, dsPIC33F and PIC24H"},
    {Option::IpDetails, "--ip-details", "", kDecode, G::Source, K::FileName, "FILE|-",
     "a file with the output of 'ip -details link show', or - for standard input", 0, 0, nullptr,
     "the output of 'ip -details link show can0' in FILE, or\n"
     "on standard input with -; --osc is then the board's\n"
     "oscillator and may be left out (twice the interface's\n"
     "clock, as the mcp251x driver counts)"},
    {Option::MeasuredRate, "--measured-rate", "", kDecode, G::Own, K::Reading, "KBPS",
     "the rate measured on the bus in kbit/s", 0, 0, RateComputeProblem,
     "the rate seen on the bus in kbit/s: the common oscillators\n"
     "on which these registers give it (within {match} %), nearest\n"
     "first, with the registers for the intended rate on each"},
    {Option::Pick, "--pick", "", kChoosingCommands, G::Selection, K::WholeNumber, "K",
     "an entry of the chosen list, counted from {min}", 1, kLastEntry, nullptr,
     "entry {metavar} (from {min}) of the chosen candidate list",
     "{value} is not an entry of the list (entries count from {min})"},
    {Option::Brp1, "--brp1", "", kChoosingCommands, G::Selection, K::WholeNumber, "B",
     "the BRP-1 value of a grid cell", kMinBRPMinus1, kMaxBRPMinus1, nullptr,
     "any grid cell instead: BRP-1 value {min}..{max} ..."},
    {Option::Tq, "--tq", "", kChoosingCommands, G::Selection, K::WholeNumber, "N",
     "the Tq count of a grid cell", kMinTqCount, kMaxTqCount, nullptr,
     "... and Tq count {min}..{max} (error taken as target - actual)"},
    {Option::Prop, "--prop", "", kChoosingCommands, G::Segment, K::WholeNumber, "P",
     "the propagation segment in Tq", kMinPropagation, kMaxPropagation, nullptr,
     "propagation segment, {min}..{max} Tq"},
    {Option::Phase1, "--phase1", "", kChoosingCommands, G::Segment, K::WholeNumber, "Q",
     "phase segment 1 in Tq", kMinPhase1, kMaxPhase1, nullptr, "phase segment 1, {min}..{max} Tq"},
    {Option::Phase2, "--phase2", "", kChoosingCommands, G::Segment, K::WholeNumber, "R",
     "phase segment 2 in Tq", kMinPhase2, kMaxPhase2, nullptr, "phase segment 2, {min}..{max} Tq"},
    {Option::Sjw, "--sjw", "", kChoosingCommands, G::Segment, K::WholeNumber, "J",
     "the synchronisation jump width in Tq", kMinSJW, kMaxSJW, nullptr,
     "synchronisation jump width, {min}..{max} Tq"},
    {Option::Sam, "--sam", "", kChoosingCommands, G::Segment, K::Flag, "", "", 0, 0, nullptr,
     "multiple bit sampling"},
    {Option::WakFil, "--wakfil", "", kChoosingCommands, G::Segment, K::Flag, "", "", 0, 0, nullptr,
     "wake-up filter"},
    {Option::LargerOf, "--larger-of", "", kChoosingCommands, G::Segment, K::Flag, "", "", 0, 0,
     nullptr, "phase 2 is the larger of phase 1 and the IPT of {ipt} Tq"},
    {Option::Recommend, "--recommend", "", kChoosingCommands, G::Segment, K::Flag, "", "", 0, 0,
     nullptr,
     "start from the recommended segments instead: every rule\n"
     "passed, the sample point nearest the one recommended for\n"
     "the rate, then the most tolerance, the longest bus; the\n"
     "options above still override them"},
    {Option::Grid, "--grid", "", MaskOf(Command::Candidates), G::Own, K::Flag, "", "", 0, 0,
     nullptr, "also the full {brp_values} x {tq_counts} grid; '*' marks the cells that match"},
    {Option::Analyse, "--analyse", "--analyze", MaskOf(Command::Candidates), G::Own, K::Flag, "",
     "", 0, 0, nullptr,
     "also the sample point (SP %) and the oscillator tolerance\n"
     "(Tol %) of each candidate with its proposed segments, SJW 1\n"
     "and the programmed phase 2 (also spelt {alias})"},
    {Option::Node, "--node", "", MaskOf(Command::Bus), G::Input, K::BusNode, "SPEC",
     "a node, NAME=FAMILY@MHZ[:setting][:ppm=N]", static_cast<double>(kMinBusNodes),
     static_cast<double>(kMaxBusNodes), nullptr,
     "one node, given {min} to {max} times:\n"
     "NAME=FAMILY@MHZ[:cnf=C1,C2,C3 | :cicfg=G1,G2\n"
     "| :segments=BRP1/TQ/PROP/PHASE1/PHASE2/SJW | :kernel | :free]\n"
     "[:ppm=N]; FAMILY is {families}; no setting\n"
     "means free: Quillon chooses it; ppm is the crystal\n"
     "tolerance (default {ppm})"},
    {Option::Html, "--html", "", MaskOf(Command::Bus), G::Own, K::FileName, "FILE",
     "the file for the page", 0, 0, nullptr,
     "also write a page with the table and every node's bit\n"
     "drawn one below the other on one time scale"},
    {Option::Json, "--json", "",
     MaskOf(Command::Candidates) | MaskOf(Command::Timing) | MaskOf(Command::Kernel) | kDecode |
         kBus,
     G::Own, K::Flag, "", "", 0, 0, nullptr, "one JSON document instead of tables"},
    {Option::Out, "--out", "", MaskOf(Command::Report), G::Own, K::Folder, "DIR",
     "the folder for the report files", 0, 0, nullptr,
     "folder for the two files (default: the current folder)"},
    {Option::Open, "--open", "", MaskOf(Command::Report), G::Own, K::Flag, "", "", 0, 0, nullptr,
     "open the report with the desktop's program afterwards"},
    {Option::LockFrequency, "--lock-frequency", "", MaskOf(Command::Show), G::Own, K::LeadingNumber,
     "MHZ", "oscillator frequency in MHz", 0, 0, nullptr,
     "write {metavar} into the oscillator box and lock the box"},
    {Option::Format,
     "--format",
     "",
     MaskOf(Command::Export),
     G::Input,
     K::Word,
     "FORMAT",
     "the form: {formats}",
     0,
     0,
     nullptr,
     "the form, one of\n{formats}",
     {},
     ExportFormatProblem},
    {Option::Interface,
     "--interface",
     "",
     MaskOf(Command::Export),
     G::Own,
     K::Word,
     "IF",
     "the CAN interface",
     0,
     0,
     nullptr,
     "the CAN interface of ip-link and networkd (default {interface})",
     {},
     InterfaceNameProblem},
    {Option::Interrupt, "--interrupt", "", MaskOf(Command::Export), G::Own, K::WholeNumber, "PIN",
     "the GPIO of the interrupt line", kMinInterruptPin, kMaxInterruptPin, nullptr,
     "the GPIO of the MCP2515's interrupt line in rpi-overlay,\n"
     "{min}..{max} (default {pin})"},
};

const std::vector<CommandSpec> kCommands = {
    {Command::Candidates, "candidates", "the prescaler/Tq combinations that hit the bus rate",
     "The chosen candidates in list order: {list_headings}."},
    {Command::Timing, "timing", "the segments, sample point, verdict and registers of one choice",
     "The settings, effective phase 2, sample point, durations, verdict, the\n"
     "analysis (oscillator tolerance, propagation round trip, bus length with\n"
     "typical transceiver and cable delays, sample point against the one\n"
     "recommended for the rate) and the five configuration registers of one\n"
     "choice. A setting that breaks a timing rule is shown with its verdict\n"
     "and exits with status {ok}."},
    {Command::Decode, "decode", "the rate, sample point, verdict and findings of registers",
     "Decodes a register set, or the timing a Linux interface reports, and shows it\n"
     "as timing does (with the registers of both families), then the bits that are\n"
     "no timing and the findings: what the calculator would never have produced\n"
     "(a Tq count outside {tq_min}..{tq_max}, phase 2 below {ipt} Tq, unused bits set), a timing\n"
     "rule broken, a rate other than --rate, the bus idle erratum, a measured rate\n"
     "these registers do not give. Without --rate the target is the rate the\n"
     "registers give.\n"
     "Exit status: {ok} decoded, no finding; {refused} decoded with findings; {usage} bad\n"
     "arguments or a value that cannot be read."},
    {Command::Report, "report", "write {page} and {bitmap} for one choice",
     "Writes {page} and {bitmap}. A setting that breaks a timing\n"
     "rule writes nothing and exits with status {refused}. SOURCE_DATE_EPOCH fixes the\n"
     "time stamp."},
    {Command::Bus, "bus", "check several nodes on one bus; choose the free ones",
     "Every node's bit rate, configuration error, sample point, oscillator tolerance\n"
     "(df) and verdict, and the bus: df_min, the smallest df, must cover every node's\n"
     "need, its crystal tolerance plus its configuration error. Free nodes get the\n"
     "settings that leave the largest margin. Exit status {ok} compatible, {refused}\n"
     "incompatible, {usage} bad input."},
    {Command::Show, "show", "open the calculator window for automation",
     "Opens the calculator window through the D-Bus session bus, or brings it forward; the\n"
     "bus starts the calculator if it is not running. Returns once the window is shown."},
    {Command::Kernel, "kernel", "the Linux kernel's own choice for the rate beside Quillon's",
     "What the Linux mcp251x driver runs with when it is given only the bit rate\n"
     "(\"ip link set can0 type can bitrate ...\"; Linux 6.3 and later), beside\n"
     "Quillon's first candidate with its proposed and recommended segments: rate\n"
     "error, sample point, tolerance, bus length and the Microchip verdict of\n"
     "each, and where they differ."},
    {Command::Export, "export", "one choice in a form its target takes (C, ip link, ...)",
     "One choice as C for the MCP251x, PIC18 or dsPIC/PIC24H registers, as the\n"
     "Linux ip link command, systemd-networkd file or Raspberry Pi overlay line for\n"
     "an MCP251x, or as the JSON of timing --json. Where the target would refuse\n"
     "or change the setting the text is still printed, the warnings go to stderr\n"
     "and the exit status is {refused}."},
};

std::string FamilyList() {
    std::string text;
    for (const ControllerFamily family :
         {ControllerFamily::Mcp251x, ControllerFamily::Pic18, ControllerFamily::Dspic30,
          ControllerFamily::Dspic33f, ControllerFamily::Pic24h}) {
        text += (text.empty() ? "" : ", ") + std::string(FamilyName(family));
    }
    return text;
}

std::string ListHeadings() {
    std::string text;
    for (const std::string_view heading : kListHeadings) {
        text += (text.empty() ? "" : ", ") + std::string(heading);
    }
    return text;
}

std::optional<std::string> PlaceholderValue(std::string_view key, const OptionSpec* spec,
                                            std::string_view value) {
    if (spec != nullptr) {
        if (key == "min") {
            return FormatGeneralNumber(spec->min);
        }
        if (key == "max") {
            return FormatGeneralNumber(spec->max);
        }
        if (key == "metavar") {
            return std::string(spec->metavar);
        }
        if (key == "alias") {
            return std::string(spec->alias);
        }
        if (key == "value") {
            return std::string(value);
        }
    }
    const std::pair<std::string_view, std::string> fixed[] = {
        {"program", std::string(kProgramName)},
        {"families", FamilyList()},
        {"ppm", FormatGeneralNumber(kDefaultCrystalPpm)},
        {"ipt", std::to_string(kIptTq)},
        {"match", FormatGeneralNumber(kCrystalMatchPercent)},
        {"tq_min", std::to_string(kMinTqCount)},
        {"tq_max", std::to_string(kMaxTqCount)},
        {"brp_values", std::to_string(kBRPValueCount)},
        {"tq_counts", std::to_string(kTqCountCount)},
        {"list_headings", ListHeadings()},
        {"page", kReportFileName},
        {"bitmap", kBitmapFileName},
        {"ok", std::to_string(kExitOk)},
        {"refused", std::to_string(kExitRefused)},
        {"usage", std::to_string(kExitUsage)},
        {"formats", ExportFormatNames()},
        {"interface", std::string(kDefaultInterfaceName)},
        {"pin", std::to_string(kDefaultInterruptPin)},
    };
    for (const auto& [name, text] : fixed) {
        if (name == key) {
            return text;
        }
    }
    return std::nullopt;
}

} // namespace

const OptionSpec* FindOption(std::string_view name) {
    for (const OptionSpec& spec : kOptions) {
        if (spec.name == name || (!spec.alias.empty() && spec.alias == name)) {
            return &spec;
        }
    }
    return nullptr;
}

const OptionSpec& SpecOf(Option option) {
    return *std::find_if(std::begin(kOptions), std::end(kOptions),
                         [option](const OptionSpec& spec) { return spec.option == option; });
}

bool Accepts(Command command, Option option) {
    return (SpecOf(option).commands & MaskOf(command)) != 0;
}

std::vector<const OptionSpec*> OptionsOf(Command command) {
    std::vector<const OptionSpec*> options;
    for (const OptionSpec& spec : kOptions) {
        if ((spec.commands & MaskOf(command)) != 0) {
            options.push_back(&spec);
        }
    }
    return options;
}

const std::vector<CommandSpec>& Commands() {
    return kCommands;
}

const CommandSpec* FindCommand(std::string_view name) {
    for (const CommandSpec& spec : kCommands) {
        if (spec.name == name) {
            return &spec;
        }
    }
    return nullptr;
}

const CommandSpec& SpecOf(Command command) {
    return *std::find_if(kCommands.begin(), kCommands.end(),
                         [command](const CommandSpec& spec) { return spec.command == command; });
}

std::string Synopsis(Option option) {
    const OptionSpec& spec = SpecOf(option);
    return std::string(spec.name) + (spec.metavar.empty() ? "" : " " + std::string(spec.metavar));
}

std::string Expand(std::string_view text, const OptionSpec* spec, std::string_view value) {
    std::string expanded;
    std::size_t start = 0;
    for (std::size_t open; (open = text.find('{', start)) != std::string_view::npos;) {
        const std::size_t close = text.find('}', open);
        if (close == std::string_view::npos) {
            break;
        }
        expanded += text.substr(start, open - start);
        const std::optional<std::string> filled =
            PlaceholderValue(text.substr(open + 1, close - open - 1), spec, value);
        // A brace that names no placeholder is kept as written.
        expanded += filled ? *filled : std::string(text.substr(open, close - open + 1));
        start = close + 1;
    }
    return expanded + std::string(text.substr(start));
}

} // namespace quillon::cli
