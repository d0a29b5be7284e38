// The command table of quillon-cli (names, summaries, help paragraphs, groups) and the
// lookups on it.
#include "cli/common/CliOptions.h"

#include <algorithm>

namespace quillon::cli {
inline namespace common {

namespace {

const std::vector<CommandInfo> kCommands = {
    {Command::Candidates, "candidates", "the prescaler/Tq combinations that hit the bus rate",
     "The chosen candidates in list order: {list_headings}. With --analyse and\n"
     "the bus described, also how many errors and warnings each proposal has on it."},
    {Command::Timing, "timing", "the segments, sample point, verdict and registers of one choice",
     "The settings, effective phase 2, sample point, durations, verdict, the\n"
     "analysis (oscillator tolerance, propagation round trip, bus length with\n"
     "typical transceiver and cable delays, sample point against the one\n"
     "recommended for the rate), the five configuration registers and the\n"
     "findings of one choice on the bus as built. A setting with an error among\n"
     "its findings (a timing rule broken, the rate missed, a propagation segment\n"
     "short of the bus) is shown all the same and exits with status {refused}."},
    {Command::Decode, "decode", "the rate, sample point, verdict and findings of registers",
     "Decodes a register set, or the timing a Linux interface reports, and shows it\n"
     "as timing does (with the registers of both families), then the bits that are\n"
     "no timing and the findings: what the calculator would never have produced\n"
     "(a Tq count outside {tq_min}..{tq_max}, phase 2 below {ipt} Tq, unused bits set), a timing\n"
     "rule broken, a rate other than --rate, the bus idle erratum, a measured rate\n"
     "these registers do not give. Without --rate the target is the rate the\n"
     "registers give.\n"
     "Exit status: {ok} decoded, no error or warning among the findings (advice may\n"
     "stand); {refused} decoded with an error or a warning; {usage} bad arguments or a\n"
     "value that cannot be read."},
    {Command::Report, "report", "write {page} and {bitmap} for one choice",
     "Writes {page} and {bitmap}. A setting that breaks a timing\n"
     "rule writes nothing and exits with status {refused}. SOURCE_DATE_EPOCH fixes the\n"
     "time stamp."},
    {Command::Bus, "bus", "check several nodes on one bus; choose the free ones",
     "Every node's bit rate, configuration error, sample point, oscillator tolerance\n"
     "(df) and verdict, and the bus: df_min, the smallest df, must cover every node's\n"
     "need, its crystal tolerance plus its configuration error. Free nodes get legal\n"
     "settings at the rate nearest the bus's, with a propagation segment that covers\n"
     "the bus, then the largest margin, the sample points nearest the others', the\n"
     "longest bus. --ppm is the crystal tolerance of the nodes that give no ppm= of\n"
     "their own. With --data-rate the bus runs CAN FD frames: both phases of the FD\n"
     "nodes are checked, each phase's margin and the data sample points, and a\n"
     "classic node is an error. Exit status {ok} compatible, {refused} incompatible,\n"
     "{usage} bad input."},
    {Command::Controllers, "controllers", "every controller Quillon knows, with its limits",
     "The controller table: each controller's name and aliases, kind (classic or\n"
     "CAN FD), clock, registers, limits and Linux driver. --json prints it as one\n"
     "document."},
    {Command::Show, "show", "open the calculator window for automation",
     "Opens the calculator window through the D-Bus session bus, or brings it forward; the\n"
     "bus starts the calculator if it is not running. Returns once the window is shown."},
    {Command::Kernel, "kernel", "the Linux kernel's own choice for the rate beside Quillon's",
     "What the Linux mcp251x driver runs with when it is given only the bit rate\n"
     "(\"ip link set can0 type can bitrate ...\"; Linux 6.3 and later), beside\n"
     "Quillon's first candidate with its proposed and recommended segments: rate\n"
     "error, sample point, tolerance, bus length and the Microchip verdict of\n"
     "each, and where they differ. With --sample-point the kernel is given that\n"
     "sample point too; with the bus described, each setting's errors and\n"
     "warnings on it follow."},
    {Command::Export, "export", "one choice in a form its target takes (C, ip link, ...)",
     "One choice as C for the MCP251x, PIC18 or dsPIC/PIC24H registers, as the\n"
     "Linux ip link command, systemd-networkd file or Raspberry Pi overlay line for\n"
     "an MCP251x, or as the JSON of timing --json. Without --prop, --phase1,\n"
     "--phase2, --sjw and --larger-of it writes the recommended segments (as\n"
     "--recommend) and its comment line says where the segments come from. Where\n"
     "the target would refuse or change the setting, or the setting has an error\n"
     "among its findings on the bus, the text is still printed, the reasons go to\n"
     "stderr and the exit status is {refused}."},
    {Command::Fd, "fd", "CAN FD: MCP2517FD, MCP2518FD, MCP251863, dsPIC33C ('fd --help')",
     "CAN FD bit timing for Microchip's FD controllers: the MCP2517FD, MCP2518FD and\n"
     "MCP251863 on SPI and the CAN FD module of the dsPIC33CH/CK, with the nominal and\n"
     "the data phase, the transmitter delay compensation (TDC) and the registers of both\n"
     "families. SYSCLK is the oscillator, or 10 x the oscillator with --pll, at most 40 MHz;\n"
     "one time quantum is BRP SYSCLK periods."},
    {Command::FdCandidates, "candidates", "the nominal and data prescaler/Tq pairs for both rates",
     "The pairs that give both rates, best first: exact rates, a data BRP of 1 or 2\n"
     "(so TDC can work), the same time quantum in both phases, then the finer quanta;\n"
     "with the proposed segments' sample points and oscillator tolerance.",
     "fd"},
    {Command::FdTiming, "timing",
     "both phases, TDC, tolerance, verdict and registers of one choice",
     "Both phases of one choice (quantum, rate, segments, sample point, durations),\n"
     "the TDC, the oscillator tolerance by the five conditions of ISO 11898-1:2015 with\n"
     "the one that limits, the verdict with every rule broken and CiA's advice, and\n"
     "the registers of the MCP251xFD and the dsPIC33C, and the findings on the bus as\n"
     "built. A setting with an error among its findings is shown all the same and\n"
     "exits with status {refused}.",
     "fd"},
    {Command::FdKernel, "kernel", "what Linux chooses for 'bitrate B dbitrate D fd on'",
     "The segments, TDC and registers the controller's Linux driver (mcp251xfd, or\n"
     "m_can with --controller mcan) chooses by itself for 'ip link set can0 type can\n"
     "bitrate B dbitrate D fd on', with the verdict and tolerance of that setting.\n"
     "Exits with status {refused} when the driver finds none.",
     "fd"},
    {Command::FdDecode, "decode", "the setting behind CiNBTCFG, CiDBTCFG, CiTDC or an interface",
     "Reads the register words back into a setting (TSEG1 split as Linux splits it,\n"
     "propagation = TSEG1 / 2) with its facts. The dsPIC33C words are C1xxxH:C1xxxL;\n"
     "the M_CAN's (--controller mcan) are NBTP, DBTP and TDCR, given with --registers.\n"
     "With --ip-details it reads what a Linux CAN FD interface (mcp251xfd, m_can)\n"
     "reports instead: both phases, the TDC and the clock, in the text or -json form.\n"
     "Exits with status {refused} when the words break a rule, hold bits outside\n"
     "their fields or give a setting with an error or a warning among its findings.",
     "fd"},
    {Command::FdExport, "export", "the setting as C, ip link, systemd-networkd or Pi overlay",
     "Writes one choice in the form asked for; without segment options (--nprop to\n"
     "--dsjw) the recommended segments, as --recommend, and its comment says so.\n"
     "Where the Linux driver would refuse or change it, or it has an error among its\n"
     "findings on the bus, says so on stderr and exits with status {refused}, still\n"
     "writing it. The forms:{fd_format_list}",
     "fd"},
    {Command::FdReport, "report", "write {fd_page} and {fd_bitmap} for one choice",
     "Writes {fd_page} and {fd_bitmap}. A setting that breaks a rule\n"
     "writes nothing and exits with status {refused}. SOURCE_DATE_EPOCH fixes the time\n"
     "stamp.",
     "fd"},
};

} // namespace

const std::vector<CommandInfo>& Commands() {
    return kCommands;
}

const CommandInfo* FindCommand(std::string_view name, std::string_view group) {
    for (const CommandInfo& info : kCommands) {
        if (info.name == name && info.group == group) {
            return &info;
        }
    }
    return nullptr;
}

bool IsFdCommand(Command command) {
    return InfoOf(command).group == "fd";
}

bool IsGroup(Command command) {
    return command == Command::Fd;
}

std::string CommandName(Command command) {
    const CommandInfo& info = InfoOf(command);
    return info.group.empty() ? std::string(info.name)
                              : std::string(info.group) + " " + std::string(info.name);
}

const CommandInfo& InfoOf(Command command) {
    return *std::find_if(kCommands.begin(), kCommands.end(),
                         [command](const CommandInfo& info) { return info.command == command; });
}

} // namespace common
} // namespace quillon::cli
