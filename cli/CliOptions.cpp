// The option table of quillon-cli and the lookups on it.
#include "cli/CliOptions.h"

#include "cli/CliArguments.h"
#include "report/classic/Export.h"
#include "report/fd/FdExport.h"
#include "report/fd/FdHtmlReport.h"
#include "report/common/ReportFiles.h"
#include "timing/bus/Bus.h"
#include "timing/classic/CandidateSearch.h"
#include "timing/common/Controllers.h"
#include "timing/classic/CrystalCheck.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/fd/FdTiming.h"
#include "timing/common/InputChecks.h"
#include "timing/common/NumberFormat.h"
#include "timing/classic/Segments.h"

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
// The CAN FD commands: all of them, those that take the two rates, those that choose a setting.
constexpr CommandMask kFdRateCommands = MaskOf(Command::FdCandidates) | MaskOf(Command::FdTiming) |
                                        MaskOf(Command::FdKernel) | MaskOf(Command::FdExport) |
                                        MaskOf(Command::FdReport);
constexpr CommandMask kFdCommands = kFdRateCommands | MaskOf(Command::FdDecode);
constexpr CommandMask kFdChoosing =
    MaskOf(Command::FdTiming) | MaskOf(Command::FdExport) | MaskOf(Command::FdReport);
constexpr double kLargestWord = 4294967295.0;

// --pick has no upper end of its own: the length of the list is known after the search.
constexpr double kLastEntry = std::numeric_limits<int>::max();

using G = OptionGroup;
using K = ValueKind;

std::optional<std::string> ClassicControllerProblem(std::string_view text) {
    return ControllerProblem(text, ControllerKind::Classic);
}
std::optional<std::string> FdControllerProblem(std::string_view text) {
    return ControllerProblem(text, ControllerKind::Fd);
}

// In the order of the help.
constexpr OptionInfo kOptions[] = {
    {Option::Controller,
     "--controller",
     "",
     kInputCommands | kDecode,
     G::Own,
     K::Word,
     "NAME",
     "a controller of 'quillon-cli controllers'",
     0,
     0,
     nullptr,
     "the controller, a name or alias of 'quillon-cli controllers'\n"
     "(default {default_controller}): its clock, registers, limits, errata\n"
     "and Linux driver",
     {},
     ClassicControllerProblem},
    {Option::FdController,
     "--controller",
     "",
     kFdCommands,
     G::Own,
     K::Word,
     "NAME",
     "a CAN FD controller of 'quillon-cli controllers'",
     0,
     0,
     nullptr,
     "the CAN FD controller, a name or alias of 'quillon-cli\n"
     "controllers' (default: the MCP251xFD and the dsPIC33C together)",
     {},
     FdControllerProblem},
    {Option::Registers, "--registers", "", kDecode, G::Source, K::Text, "V1,V2,...",
     "the controller's registers in their order, as 0x91 or 145", 0, 0, nullptr,
     "the registers of --controller in their order (see\n"
     "'quillon-cli controllers'), hexadecimal (0x91) or decimal"},
    {Option::FdRegisters, "--registers", "", MaskOf(Command::FdDecode), G::Own, K::Text,
     "W1,W2[,W3]", "the controller's register words in their order", 0, 0, nullptr,
     "the register words of --controller in their order (mcan:\n"
     "NBTP,DBTP[,TDCR]), instead of --nbtcfg, --dbtcfg and --tdc"},
    {Option::Osc, "--osc", "", kInputCommands | kDecode | kFdCommands, G::Input, K::Reading, "MHZ",
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
    {Option::FdRate, "--rate", "", kFdRateCommands, G::Input, K::Reading, "KBPS",
     "the nominal rate in kbit/s", kMinRateKbps, kMaxRateKbps, RateProblem,
     "nominal (arbitration) rate in kbit/s, {min} to {max}"},
    {Option::DataRate, "--data-rate", "", kFdRateCommands, G::Input, K::Reading, "KBPS",
     "the data rate in kbit/s", kFdMinDataRateKbps, kFdMaxDataRateKbps, FdDataRateProblem,
     "data rate in kbit/s, {min} to {max}"},
    // Not required: fd decode may have the words from --registers instead.
    {Option::Nbtcfg, "--nbtcfg", "", MaskOf(Command::FdDecode), G::Own, K::RegisterWord, "W",
     "the CiNBTCFG word", 0, kLargestWord, nullptr,
     "CiNBTCFG (C1NBTCFGH:C1NBTCFGL), 0x... or decimal"},
    {Option::Dbtcfg, "--dbtcfg", "", MaskOf(Command::FdDecode), G::Own, K::RegisterWord, "W",
     "the CiDBTCFG word", 0, kLargestWord, nullptr,
     "CiDBTCFG (C1DBTCFGH:C1DBTCFGL), 0x... or decimal"},
    {Option::FdFormat,
     "--format",
     "",
     MaskOf(Command::FdExport),
     G::Input,
     K::Word,
     "FORMAT",
     "the form of the export",
     0,
     0,
     nullptr,
     "{fd_formats}",
     {},
     FdExportFormatProblem},
    {Option::Pick, "--pick", "", kChoosingCommands | kFdChoosing, G::Selection, K::WholeNumber, "K",
     "an entry of the chosen list, counted from {min}", 1, kLastEntry, nullptr,
     "entry {metavar} (from {min}) of the chosen candidate list",
     "{value} is not an entry of the list (entries count from {min})"},
    {Option::Brp1, "--brp1", "", kChoosingCommands, G::Selection, K::WholeNumber, "B",
     "the BRP-1 value of a grid cell", kMinBRPMinus1, kMaxBRPMinus1, nullptr,
     "any grid cell instead: BRP-1 value {min}..{max} ..."},
    {Option::Tq, "--tq", "", kChoosingCommands, G::Selection, K::WholeNumber, "N",
     "the Tq count of a grid cell", kMinTqCount, kMaxTqCount, nullptr,
     "... and Tq count {min}..{max} (error taken as target - actual)"},
    {Option::NBrp, "--nbrp", "", kFdChoosing, G::Selection, K::WholeNumber, "B", "the nominal BRP",
     kFdNominalLimits.brpMin, kFdNominalLimits.brpMax, nullptr,
     "any combination instead: nominal BRP {min}..{max} ..."},
    {Option::NTq, "--ntq", "", kFdChoosing, G::Selection, K::WholeNumber, "N",
     "the nominal Tq count", kFdNominalLimits.MinTqCount(), kFdNominalLimits.MaxTqCount(), nullptr,
     "... nominal Tq count {min}..{max} ..."},
    {Option::DBrp, "--dbrp", "", kFdChoosing, G::Selection, K::WholeNumber, "B", "the data BRP",
     kFdDataLimits.brpMin, kFdDataLimits.brpMax, nullptr, "... data BRP {min}..{max} ..."},
    {Option::DTq, "--dtq", "", kFdChoosing, G::Selection, K::WholeNumber, "N", "the data Tq count",
     kFdDataLimits.MinTqCount(), kFdDataLimits.MaxTqCount(), nullptr,
     "... and data Tq count {min}..{max}"},
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
    {Option::NProp, "--nprop", "", kFdChoosing, G::Segment, K::WholeNumber, "P",
     "the nominal propagation segment in Tq", 0, kFdNominalLimits.tseg1Max - 1, nullptr,
     "nominal propagation, {min}..{max} Tq (TSEG1 = propagation\n+ phase 1)"},
    {Option::NPhase1, "--nphase1", "", kFdChoosing, G::Segment, K::WholeNumber, "Q",
     "nominal phase segment 1 in Tq", 1, kFdNominalLimits.tseg1Max, nullptr,
     "nominal phase 1, {min}..{max} Tq"},
    {Option::NPhase2, "--nphase2", "", kFdChoosing, G::Segment, K::WholeNumber, "R",
     "nominal phase segment 2 in Tq", kFdNominalLimits.tseg2Min, kFdNominalLimits.tseg2Max, nullptr,
     "nominal phase 2 (TSEG2), {min}..{max} Tq"},
    {Option::NSjw, "--nsjw", "", kFdChoosing, G::Segment, K::WholeNumber, "J",
     "the nominal synchronisation jump width in Tq", 1, kFdNominalLimits.sjwMax, nullptr,
     "nominal SJW, {min}..{max} Tq"},
    {Option::DProp, "--dprop", "", kFdChoosing, G::Segment, K::WholeNumber, "P",
     "the data propagation segment in Tq", 0, kFdDataLimits.tseg1Max - 1, nullptr,
     "data propagation, {min}..{max} Tq"},
    {Option::DPhase1, "--dphase1", "", kFdChoosing, G::Segment, K::WholeNumber, "Q",
     "data phase segment 1 in Tq", 1, kFdDataLimits.tseg1Max, nullptr,
     "data phase 1, {min}..{max} Tq"},
    {Option::DPhase2, "--dphase2", "", kFdChoosing, G::Segment, K::WholeNumber, "R",
     "data phase segment 2 in Tq", kFdDataLimits.tseg2Min, kFdDataLimits.tseg2Max, nullptr,
     "data phase 2 (TSEG2), {min}..{max} Tq"},
    {Option::DSjw, "--dsjw", "", kFdChoosing, G::Segment, K::WholeNumber, "J",
     "the data synchronisation jump width in Tq", 1, kFdDataLimits.sjwMax, nullptr,
     "data SJW, {min}..{max} Tq"},
    {Option::Recommend, "--recommend", "", kChoosingCommands | kFdChoosing, G::Segment, K::Flag, "",
     "", 0, 0, nullptr,
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
    {Option::Node, "--node", "", MaskOf(Command::Bus), G::Input, K::BusNode, "NODE",
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
         kBus | MaskOf(Command::Controllers) | MaskOf(Command::FdCandidates) |
         MaskOf(Command::FdTiming) | MaskOf(Command::FdKernel) | MaskOf(Command::FdDecode),
     G::Own, K::Flag, "", "", 0, 0, nullptr, "one JSON document instead of tables"},
    {Option::Pll, "--pll", "", kFdCommands, G::Own, K::Flag, "", "", 0, 0, nullptr,
     "SYSCLK is 10 x the oscillator (the PLL, for a 4 MHz crystal)"},
    {Option::Tdc, "--tdc", "", MaskOf(Command::FdDecode), G::Own, K::RegisterWord, "W",
     "the CiTDC word", 0, kLargestWord, nullptr,
     "CiTDC (C1TDCH:C1TDCL); without it the TDC is taken as\nthe controller needs it"},
    {Option::Out, "--out", "", MaskOf(Command::Report) | MaskOf(Command::FdReport), G::Own,
     K::Folder, "DIR", "the folder for the report files", 0, 0, nullptr,
     "folder for the two files (default: the current folder)"},
    {Option::Open, "--open", "", MaskOf(Command::Report) | MaskOf(Command::FdReport), G::Own,
     K::Flag, "", "", 0, 0, nullptr, "open the report with the desktop's program afterwards"},
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
     MaskOf(Command::Export) | MaskOf(Command::FdExport),
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
    {Option::Interrupt, "--interrupt", "", MaskOf(Command::Export) | MaskOf(Command::FdExport),
     G::Own, K::WholeNumber, "PIN", "the GPIO of the interrupt line", kMinInterruptPin,
     kMaxInterruptPin, nullptr,
     "the GPIO of the controller's interrupt line in rpi-overlay,\n"
     "{min}..{max} (default {pin})"},
};

} // namespace

const OptionInfo* FindOption(std::string_view name) {
    for (const OptionInfo& info : kOptions) {
        if (info.name == name || (!info.alias.empty() && info.alias == name)) {
            return &info;
        }
    }
    return nullptr;
}

const OptionInfo* FindOption(std::string_view name, Command command) {
    for (const OptionInfo& info : kOptions) {
        if ((info.name == name || (!info.alias.empty() && info.alias == name)) &&
            (info.commands & MaskOf(command)) != 0) {
            return &info;
        }
    }
    return FindOption(name);
}

const OptionInfo& InfoOf(Option option) {
    return *std::find_if(std::begin(kOptions), std::end(kOptions),
                         [option](const OptionInfo& info) { return info.option == option; });
}

bool Accepts(Command command, Option option) {
    return (InfoOf(option).commands & MaskOf(command)) != 0;
}

std::vector<const OptionInfo*> OptionsOf(Command command) {
    std::vector<const OptionInfo*> options;
    for (const OptionInfo& info : kOptions) {
        if ((info.commands & MaskOf(command)) != 0) {
            options.push_back(&info);
        }
    }
    return options;
}

std::string Synopsis(Option option) {
    const OptionInfo& info = InfoOf(option);
    return std::string(info.name) + (info.metavar.empty() ? "" : " " + std::string(info.metavar));
}

} // namespace quillon::cli
