// The option table of quillon-cli and the lookups on it.
#include "cli/common/CliOptions.h"

#include "cli/common/CliArguments.h"
#include "cli/common/NumberArguments.h"
#include "cli/common/OptionChecks.h"
#include "report/classic/Export.h"
#include "report/common/ReportFiles.h"
#include "report/fd/FdExport.h"
#include "report/fd/FdHtmlReport.h"
#include "timing/bus/Bus.h"
#include "timing/classic/CandidateSearch.h"
#include "timing/classic/CrystalCheck.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/classic/Segments.h"
#include "timing/common/BusContext.h"
#include "timing/common/Controllers.h"
#include "timing/common/InputChecks.h"
#include "timing/common/NumberFormat.h"
#include "timing/fd/FdTiming.h"
#include "timing/linux/FdKernelChoice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillon::cli {
inline namespace common {

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
// The bus as built: every command that judges a setting (candidates only with --analyse).
constexpr CommandMask kBusCommands = kInputCommands | kDecode | kBus | kFdCommands;
constexpr double kLargestWord = 4294967295.0;

// --brp1 is read up to the largest prescaler field of any controller and then checked
// against the chosen one's (the calculator's grid ends at 63, the AT91's at 127).
constexpr double kLargestBrpMinus1 = 127;

// --pick has no upper end of its own: the length of the list is known after the search.
constexpr double kLastEntry = std::numeric_limits<int>::max();

using G = OptionGroup;
using K = ValueKind;

// Each row is built by the helper for its kind of value, so that a row reads as what the
// option is: its names, the commands that take it, where it stands, its value and its help.
constexpr OptionInfo Flag(Option option, std::string_view name, CommandMask commands,
                          std::string_view help, OptionGroup group = G::Own) {
    return {option, name, "", commands, group, K::Flag, "", "", 0, 0, nullptr, help};
}
constexpr OptionInfo Reading(Option option, std::string_view name, CommandMask commands,
                             OptionGroup group, std::string_view metavar, std::string_view meaning,
                             double min, double max, std::optional<std::string> (*check)(double),
                             std::string_view help, CommandMask optionalIn = 0) {
    return {option, name, "",    commands, group, K::Reading, metavar,   meaning,
            min,    max,  check, help,     {},    nullptr,    optionalIn};
}
constexpr OptionInfo PlainNumber(Option option, std::string_view name, CommandMask commands,
                                 OptionGroup group, std::string_view metavar,
                                 std::string_view meaning, double min, double max,
                                 std::optional<std::string> (*check)(double),
                                 std::string_view help) {
    return {option,  name,    "",  commands, group, K::PlainNumber,
            metavar, meaning, min, max,      check, help};
}
constexpr OptionInfo WholeNumber(Option option, std::string_view name, CommandMask commands,
                                 OptionGroup group, std::string_view metavar,
                                 std::string_view meaning, double min, double max,
                                 std::string_view help, std::string_view outOfRange = {}) {
    return {option,  name, "",  commands, group, K::WholeNumber, metavar,
            meaning, min,  max, nullptr,  help,  outOfRange};
}
constexpr OptionInfo Word(Option option, std::string_view name, CommandMask commands,
                          OptionGroup group, std::string_view metavar, std::string_view meaning,
                          std::optional<std::string> (*wordCheck)(std::string_view),
                          std::string_view help) {
    return {option,  name, "", commands, group, K::Word, metavar,
            meaning, 0,    0,  nullptr,  help,  {},      wordCheck};
}
// A folder, file, register list or word, bus node or text: checked by its kind.
constexpr OptionInfo Value(Option option, std::string_view name, CommandMask commands,
                           OptionGroup group, ValueKind kind, std::string_view metavar,
                           std::string_view meaning, std::string_view help, double min = 0,
                           double max = 0) {
    return {option, name, "", commands, group, kind, metavar, meaning, min, max, nullptr, help};
}
// A number the whole text must be, checked by `check`; `min` and `max` only for the help.
constexpr OptionInfo Decimal(Option option, std::string_view name, CommandMask commands,
                             OptionGroup group, std::string_view metavar, std::string_view meaning,
                             std::optional<std::string> (*check)(double), std::string_view help,
                             double min = 0, double max = 0) {
    return {option, name, "", commands, group, K::Decimal, metavar, meaning, min, max, check, help};
}
constexpr OptionInfo WithAlias(OptionInfo info, std::string_view alias) {
    info.alias = alias;
    return info;
}

// In the order of the help.
constexpr OptionInfo kOptions[] = {
    Word(Option::Controller, "--controller", kInputCommands | kDecode, G::Own, "NAME",
         "a controller of 'quillon-cli controllers'", ClassicControllerProblem,
         "the controller, a name or alias of 'quillon-cli controllers'\n"
         "(default {default_controller}): its clock, registers, limits, errata\n"
         "and Linux driver"),
    Word(Option::FdController, "--controller", kFdCommands, G::Own, "NAME",
         "a CAN FD controller of 'quillon-cli controllers'", FdControllerProblem,
         "the CAN FD controller, a name or alias of 'quillon-cli\n"
         "controllers' (default: the MCP251xFD and the dsPIC33C together)"),
    Value(Option::Registers, "--registers", kDecode, G::Source, K::Text, "V1,V2,...",
          "the controller's registers in their order, as 0x91 or 145",
          "the registers of --controller in their order (see\n"
          "'quillon-cli controllers'), hexadecimal (0x91) or decimal"),
    Value(Option::FdRegisters, "--registers", MaskOf(Command::FdDecode), G::Own, K::Text,
          "W1,W2[,W3]", "the controller's register words in their order",
          "the register words of --controller in their order (mcan:\n"
          "NBTP,DBTP[,TDCR]), instead of --nbtcfg, --dbtcfg and --tdc"),
    Reading(Option::Osc, "--osc", kInputCommands | kDecode | kFdCommands, G::Input, "MHZ",
            "the oscillator frequency in MHz", kMinOscillatorMHz, kMaxOscillatorMHz,
            OscillatorProblem,
            "oscillator frequency in MHz, at least {min} and at most what\n"
            "--controller runs with"),
    Reading(Option::Rate, "--rate", kInputCommands | kDecode | kBus, G::Input, "KBPS",
            "the CAN bus rate in kbit/s", kMinRateKbps, kMaxRateKbps, NominalRateProblem,
            "CAN bus rate in kbit/s, from {min} to {max}", kDecode),
    Value(Option::Cnf, "--cnf", kDecode, G::Source, K::RegisterList, "C1,C2,C3",
          "CNF1,CNF2,CNF3 as 0x91 or 145",
          "CNF1..CNF3 of the MCP2510/MCP251X, hexadecimal (0x91)\n"
          "or decimal"),
    Value(Option::Brgcon, "--brgcon", kDecode, G::Source, K::RegisterList, "B1,B2,B3",
          "BRGCON1,BRGCON2,BRGCON3 as 0x91 or 145", "BRGCON1..3 of the PIC18 (the CNF layout)"),
    Value(Option::Cicfg, "--cicfg", kDecode, G::Source, K::RegisterList, "G1,G2",
          "CiCFG1,CiCFG2 as 0x0191 or 401",
          "CiCFG1 and CiCFG2 of the dsPIC30F, dsPIC33F and PIC24H"),
    Value(Option::IpDetails, "--ip-details", kDecode, G::Source, K::FileName, "FILE|-",
          "a file with the output of 'ip -details link show', or - for standard input",
          "the output of 'ip -details [-json] link show can0' of a\n"
          "classic interface in FILE, or on standard input with -;\n"
          "--osc is then the board's oscillator and may be left out\n"
          "(the driver's clock gives it: twice the clock on mcp251x)"),
    Value(Option::FdIpDetails, "--ip-details", MaskOf(Command::FdDecode), G::Own, K::FileName,
          "FILE|-", "a file with the output of 'ip -details link show', or - for standard input",
          "the output of 'ip -details [-json] link show can0' of a\n"
          "CAN FD interface in FILE, or on standard input with -,\n"
          "instead of the words; --osc is then the board's oscillator\n"
          "and may be left out (SYSCLK or the CAN clock gives it)"),
    Reading(Option::MeasuredRate, "--measured-rate", kDecode, G::Own, "KBPS",
            "the rate measured on the bus in kbit/s", 0, 0, MeasuredRateProblem,
            "the rate seen on the bus in kbit/s: the common oscillators\n"
            "on which these registers give it (within {match} %), nearest\n"
            "first, with the registers for the intended rate on each"),
    Reading(Option::FdRate, "--rate", kFdRateCommands, G::Input, "KBPS",
            "the nominal rate in kbit/s", kMinRateKbps, kMaxRateKbps, NominalRateProblem,
            "nominal (arbitration) rate in kbit/s, {min} to {max}"),
    Reading(Option::DataRate, "--data-rate", kFdRateCommands | kBus, G::Input, "KBPS",
            "the data rate in kbit/s", kFdMinDataRateKbps, kFdMaxDataRateKbps, DataRateProblem,
            "data rate in kbit/s, {min} to {max}", kBus),
    Value(Option::Nbtcfg, "--nbtcfg", MaskOf(Command::FdDecode), G::Own, K::RegisterWord, "W",
          "the CiNBTCFG word", "CiNBTCFG (C1NBTCFGH:C1NBTCFGL), 0x... or decimal", 0, kLargestWord),
    Value(Option::Dbtcfg, "--dbtcfg", MaskOf(Command::FdDecode), G::Own, K::RegisterWord, "W",
          "the CiDBTCFG word", "CiDBTCFG (C1DBTCFGH:C1DBTCFGL), 0x... or decimal", 0, kLargestWord),
    Word(Option::FdFormat, "--format", MaskOf(Command::FdExport), G::Input, "FORMAT",
         "the form of the export", FdExportFormatProblem, "{fd_formats}"),
    WholeNumber(Option::Pick, "--pick", kChoosingCommands | kFdChoosing, G::Selection, "K",
                "an entry of the chosen list, counted from {min}", 1, kLastEntry,
                "entry {metavar} (from {min}) of the chosen candidate list",
                "{value} is not an entry of the list (entries count from {min})"),
    WholeNumber(Option::Brp1, "--brp1", kChoosingCommands, G::Selection, "B",
                "the BRP-1 value of a grid cell", kMinBRPMinus1, kLargestBrpMinus1,
                "any grid cell instead: BRP-1 value {min}..{grid_brp_max} ...",
                "{value} is outside {min} to {grid_brp_max}"),
    WholeNumber(Option::Tq, "--tq", kChoosingCommands, G::Selection, "N",
                "the Tq count of a grid cell", kMinTqCount, kMaxTqCount,
                "... and Tq count {min}..{max} (error taken as target - actual)"),
    WholeNumber(Option::NBrp, "--nbrp", kFdChoosing, G::Selection, "B", "the nominal BRP",
                kFdNominalLimits.brpMin, kFdNominalLimits.brpMax,
                "any combination instead: nominal BRP {min}..{max} ..."),
    WholeNumber(Option::NTq, "--ntq", kFdChoosing, G::Selection, "N", "the nominal Tq count",
                kFdNominalLimits.MinTqCount(), kFdNominalLimits.MaxTqCount(),
                "... nominal Tq count {min}..{max} ..."),
    WholeNumber(Option::DBrp, "--dbrp", kFdChoosing, G::Selection, "B", "the data BRP",
                kFdDataLimits.brpMin, kFdDataLimits.brpMax, "... data BRP {min}..{max} ..."),
    WholeNumber(Option::DTq, "--dtq", kFdChoosing, G::Selection, "N", "the data Tq count",
                kFdDataLimits.MinTqCount(), kFdDataLimits.MaxTqCount(),
                "... and data Tq count {min}..{max}"),
    WholeNumber(Option::Prop, "--prop", kChoosingCommands, G::Segment, "P",
                "the propagation segment in Tq", kMinPropagation, kMaxPropagation,
                "propagation segment, {min}..{max} Tq"),
    WholeNumber(Option::Phase1, "--phase1", kChoosingCommands, G::Segment, "Q",
                "phase segment 1 in Tq", kMinPhase1, kMaxPhase1,
                "phase segment 1, {min}..{max} Tq"),
    WholeNumber(Option::Phase2, "--phase2", kChoosingCommands, G::Segment, "R",
                "phase segment 2 in Tq", kMinPhase2, kMaxPhase2,
                "phase segment 2, {min}..{max} Tq"),
    WholeNumber(Option::Sjw, "--sjw", kChoosingCommands, G::Segment, "J",
                "the synchronisation jump width in Tq", kMinSJW, kMaxSJW,
                "synchronisation jump width, {min}..{max} Tq"),
    Flag(Option::Sam, "--sam", kChoosingCommands, "multiple bit sampling", G::Segment),
    Flag(Option::WakFil, "--wakfil", kChoosingCommands, "wake-up filter", G::Segment),
    Flag(Option::LargerOf, "--larger-of", kChoosingCommands,
         "phase 2 is the larger of phase 1 and the IPT of {ipt} Tq", G::Segment),
    WholeNumber(Option::NProp, "--nprop", kFdChoosing, G::Segment, "P",
                "the nominal propagation segment in Tq", 0, kFdNominalLimits.tseg1Max - 1,
                "nominal propagation, {min}..{max} Tq (TSEG1 = propagation\n+ phase 1)"),
    WholeNumber(Option::NPhase1, "--nphase1", kFdChoosing, G::Segment, "Q",
                "nominal phase segment 1 in Tq", 1, kFdNominalLimits.tseg1Max,
                "nominal phase 1, {min}..{max} Tq"),
    WholeNumber(Option::NPhase2, "--nphase2", kFdChoosing, G::Segment, "R",
                "nominal phase segment 2 in Tq", kFdNominalLimits.tseg2Min,
                kFdNominalLimits.tseg2Max, "nominal phase 2 (TSEG2), {min}..{max} Tq"),
    WholeNumber(Option::NSjw, "--nsjw", kFdChoosing, G::Segment, "J",
                "the nominal synchronisation jump width in Tq", 1, kFdNominalLimits.sjwMax,
                "nominal SJW, {min}..{max} Tq"),
    WholeNumber(Option::DProp, "--dprop", kFdChoosing, G::Segment, "P",
                "the data propagation segment in Tq", 0, kFdDataLimits.tseg1Max - 1,
                "data propagation, {min}..{max} Tq"),
    WholeNumber(Option::DPhase1, "--dphase1", kFdChoosing, G::Segment, "Q",
                "data phase segment 1 in Tq", 1, kFdDataLimits.tseg1Max,
                "data phase 1, {min}..{max} Tq"),
    WholeNumber(Option::DPhase2, "--dphase2", kFdChoosing, G::Segment, "R",
                "data phase segment 2 in Tq", kFdDataLimits.tseg2Min, kFdDataLimits.tseg2Max,
                "data phase 2 (TSEG2), {min}..{max} Tq"),
    WholeNumber(Option::DSjw, "--dsjw", kFdChoosing, G::Segment, "J",
                "the data synchronisation jump width in Tq", 1, kFdDataLimits.sjwMax,
                "data SJW, {min}..{max} Tq"),
    Flag(Option::Recommend, "--recommend", kChoosingCommands | kFdChoosing,
         "start from the recommended segments instead: every rule\n"
         "passed, a propagation that covers --bus-length, the sample\n"
         "point nearest --sample-point or the one recommended for the\n"
         "rate, then the most tolerance, the longest bus; the options\n"
         "above still override them",
         G::Segment),
    Decimal(Option::SamplePoint, "--sample-point", kChoosingCommands | kFdChoosing, G::Segment, "P",
            "the sample point in percent", SamplePointProblem,
            "the (nominal) sample point in percent, above 0 and below\n"
            "100, that the recommended segments come closest to\n"
            "instead of the one recommended for the rate"),
    Decimal(Option::DataSamplePoint, "--data-sample-point", kFdChoosing, G::Segment, "P",
            "the data sample point in percent", SamplePointProblem, "the same for the data phase"),
    Flag(Option::Grid, "--grid", MaskOf(Command::Candidates),
         "also the full {brp_values} x {tq_counts} grid; '*' marks the cells that match"),
    WithAlias(Flag(Option::Analyse, "--analyse", MaskOf(Command::Candidates),
                   "also the sample point (SP %) and the oscillator tolerance\n"
                   "(Tol %) of each candidate with its proposed segments, SJW 1\n"
                   "and the programmed phase 2 (also spelt {alias})"),
              "--analyze"),
    Value(Option::Node, "--node", MaskOf(Command::Bus), G::Input, K::BusNode, "NODE",
          "a node, NAME=FAMILY@MHZ[:setting][:ppm=N]",
          "one node, given {min} to {max} times:\n"
          "NAME=FAMILY@MHZ[:cnf=C1,C2,C3 | :cicfg=G1,G2\n"
          "| :segments=BRP1/TQ/PROP/PHASE1/PHASE2/SJW | :kernel\n"
          "| :linux | :ip=FILE | :free][:ppm=N]; FAMILY is {families};\n"
          "with --data-rate also {fd_families}, set with\n"
          ":registers=W1,W2[,W3], :kernel or :free (MHZ: SYSCLK or\n"
          "CAN clock);\n"
          "no setting means free: Quillon chooses it (with :linux\n"
          "only what its Linux driver takes); :ip= what the output\n"
          "of 'ip -details link show' in FILE says its interface runs;\n"
          "ppm is the crystal tolerance (default: the bus's, {ppm})",
          static_cast<double>(kMinBusNodes), static_cast<double>(kMaxBusNodes)),
    Value(Option::Html, "--html", MaskOf(Command::Bus), G::Own, K::FileName, "FILE",
          "the file for the page",
          "also write a page with the table and every node's bit\n"
          "drawn one below the other on one time scale"),
    Flag(Option::Json, "--json",
         MaskOf(Command::Candidates) | MaskOf(Command::Timing) | MaskOf(Command::Kernel) | kDecode |
             kBus | MaskOf(Command::Controllers) | MaskOf(Command::FdCandidates) |
             MaskOf(Command::FdTiming) | MaskOf(Command::FdKernel) | MaskOf(Command::FdDecode),
         "one JSON document instead of tables"),
    Flag(Option::Pll, "--pll", kFdCommands,
         "SYSCLK is 10 x the oscillator (the PLL, for a 4 MHz crystal)"),
    Value(Option::Tdc, "--tdc", MaskOf(Command::FdDecode), G::Own, K::RegisterWord, "W",
          "the CiTDC word",
          "CiTDC (C1TDCH:C1TDCL); without it the TDC is taken as\nthe controller needs it", 0,
          kLargestWord),
    Word(Option::LinuxTdc, "--linux-tdc",
         MaskOf(Command::FdKernel) | MaskOf(Command::FdExport) | MaskOf(Command::FdDecode), G::Own,
         "old|new", "old or new", LinuxTdcGenerationProblem,
         "the kernel whose driver writes the TDC: new (default), Linux\n"
         "5.16 and later, the CAN core's DBRP x (1 + DPROP + DPH1) for a\n"
         "data BRP of 1 or 2; old, the mcp251xfd before 5.16, always\n"
         "automatic with DBRP x (DPROP + DPH1). fd export: with\n"
         "ip-link-tq and networkd-tq; fd decode: the TDC taken without\n"
         "--tdc"),
    Value(Option::Out, "--out", MaskOf(Command::Report) | MaskOf(Command::FdReport), G::Own,
          K::Folder, "DIR", "the folder for the report files",
          "folder for the two files (default: the current folder)"),
    Flag(Option::Open, "--open", MaskOf(Command::Report) | MaskOf(Command::FdReport),
         "open the report with the desktop's program afterwards"),
    PlainNumber(Option::LockFrequency, "--lock-frequency", MaskOf(Command::Show), G::Own, "MHZ",
                "oscillator frequency in MHz", 0, 0, nullptr,
                "write {metavar} into the oscillator box and lock the box"),
    Word(Option::Format, "--format", MaskOf(Command::Export), G::Input, "FORMAT",
         "the form: {formats}", ExportFormatProblem, "the form, one of\n{formats}"),
    Word(Option::Interface, "--interface", MaskOf(Command::Export) | MaskOf(Command::FdExport),
         G::Own, "IF", "the CAN interface", InterfaceNameProblem,
         "the CAN interface of ip-link and networkd (default {interface})"),
    WholeNumber(Option::Interrupt, "--interrupt",
                MaskOf(Command::Export) | MaskOf(Command::FdExport), G::Own, "PIN",
                "the GPIO of the interrupt line", kMinInterruptPin, kMaxInterruptPin,
                "the GPIO of the controller's interrupt line in rpi-overlay,\n"
                "{min}..{max} (default {pin})"),
    Decimal(Option::KernelSamplePoint, "--sample-point", MaskOf(Command::Kernel), G::Own, "P",
            "the sample point in percent, in tenths", KernelSamplePointProblem,
            "the kernel's choice for this sample point in percent, in\n"
            "tenths ('ip link ... sample-point 0.875' is 87.5); Quillon's\n"
            "recommendation aims at it too"),
    Decimal(Option::BusLength, "--bus-length", kBusCommands, G::Bus, "M",
            "the length of the bus in metres", BusLengthProblem,
            "the length of the bus in metres, up to {max}: the\n"
            "propagation segment must cover its round trip (without it\n"
            "no length is checked)",
            0, kMaxBusLengthMetres),
    Decimal(Option::CableDelay, "--cable-delay", kBusCommands, G::Bus, "NS",
            "the cable's delay in ns per metre", CableDelayProblem,
            "the cable's delay, ns per metre, {min} to {max} (default {cable_delay})",
            kMinCableDelayNsPerMetre, kMaxCableDelayNsPerMetre),
    Decimal(Option::LoopDelay, "--loop-delay", kBusCommands, G::Bus, "NS",
            "the transceiver's loop delay in ns", LoopDelayProblem,
            "one transceiver's delay from TXD to RXD in ns, up to {max}\n"
            "(default {loop_delay}, the most a transceiver may take)",
            0, kMaxLoopDelayNs),
    Decimal(Option::Ppm, "--ppm", kBusCommands, G::Bus, "N", "the crystal tolerance in ppm",
            CrystalPpmProblem, "the crystals' tolerance in ppm, up to {max} (default {ppm})", 0,
            kMaxCrystalPpm),
    Word(Option::Transceiver, "--transceiver", kFdCommands | kBus, G::Bus, "CLASS",
         "the transceivers' bit symmetry class: {transceivers}", TransceiverProblem,
         "the transceivers' bit symmetry class, {transceivers}\n"
         "(default none): how much shorter or longer a data bit may\n"
         "arrive than it was sent"),
};

} // namespace

std::string TransceiverNames() {
    return std::string(TransceiverClassName(TransceiverClass::None)) + ", " +
           std::string(TransceiverClassName(TransceiverClass::Sic2M)) + " or " +
           std::string(TransceiverClassName(TransceiverClass::Sic5M));
}

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

} // namespace common
} // namespace quillon::cli
