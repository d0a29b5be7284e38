// The command line in-process: every kind of bad argument gets its one-line message and
// the usage status before anything runs, and the help states the ranges the refusals
// enforce.
#include "cli/CliCommands.h"
#include "cli/common/CliHelp.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <sstream>

namespace quillon::cli {
namespace {

std::vector<std::string> Split(const std::string& line) {
    std::istringstream words(line);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

// Runs a command line as quillon-cli does; report and show only say that they were reached.
CommandOutput Answer(const std::vector<std::string>& args) {
    return RunCommandLine(args, [](const Request&) { return CommandOutput{-1, "reached", {}}; });
}

struct RefusalRow {
    const char* args;
    int status;
    const char* message; // without "quillon-cli: " and the line feed
};

class Refusals : public testing::TestWithParam<RefusalRow> {};

TEST_P(Refusals, OneLineAndStatusBeforeAnythingRuns) {
    const RefusalRow& row = GetParam();
    const CommandOutput output = Answer(Split(row.args));
    EXPECT_EQ(output.status, row.status);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, "quillon-cli: " + std::string(row.message) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Refusals,
    testing::Values(
        RefusalRow{"", 2, "no command given; try 'quillon-cli --help'"},
        RefusalRow{"bogus", 2, "bogus: unknown command; try 'quillon-cli --help'"},
        RefusalRow{"--bogus", 2, "--bogus: unknown option; try 'quillon-cli --help'"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 1 --grid", 2,
                   "--grid: unknown option for timing"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 1 extra", 2, "extra: unexpected argument"},
        RefusalRow{"candidates --osc", 2, "--osc: missing value (the oscillator frequency in MHz)"},
        RefusalRow{"report --osc --rate 500 --pick 1", 2,
                   "--osc: missing value (the oscillator frequency in MHz)"},
        RefusalRow{"report --osc 16 --rate 500 --pick 1 --out", 2,
                   "--out: missing value (the folder for the report files)"},
        RefusalRow{"report --osc 16 --rate 500 --pick 1 --out=", 2,
                   "--out: the folder name is empty"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 0", 2,
                   "--pick: 0 is not an entry of the list (entries count from 1)"},
        RefusalRow{"timing --osc 16 --rate 500 --pick x", 2, "--pick: 'x' is not a number"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 99999999999", 2,
                   "--pick: 99999999999 is not an entry of the list (entries count from 1)"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 1,5", 2,
                   "--pick: '1,5': a comma is no decimal point here; did you mean 1.5?"},
        RefusalRow{"timing --osc 16 --rate 500 --brp1 0 --tq 16tq", 2,
                   "--tq: '16tq': the unit is implied (Tq); give the number alone: 16"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 1 --prop 1.5", 2,
                   "--prop: '1.5' is not a whole number"},
        RefusalRow{"timing --osc 16 --rate 500 --pick=1 --pick 2", 2,
                   "--pick: given more than once"},
        RefusalRow{"candidates --osc 16 --rate 500 --analyse --analyze", 2,
                   "--analyze: given more than once"},
        RefusalRow{"candidates --osc 16 --rate 500 --json=1", 2, "--json: takes no value"},
        RefusalRow{"candidates --rate 500", 2, "--osc: required (the oscillator frequency in MHz)"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 1 --brp1 0", 2,
                   "--pick: cannot be combined with --brp1 or --tq"},
        RefusalRow{"timing --osc 16 --rate 500 --brp1 0", 2, "--tq: required with --brp1"},
        RefusalRow{"report --osc 16 --rate 500 --tq 8", 2, "--brp1: required with --tq"},
        RefusalRow{"report --osc 16 --rate 500", 2,
                   "report: choose the candidate with --pick K or with --brp1 B --tq N"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 3", 2,
                   "--pick: 3 is beyond the chosen list, which has 2 entries"},
        RefusalRow{"timing --osc 4 --rate 250 --pick 2", 2,
                   "--pick: 2 is beyond the chosen list, which has 1 entry"},
        RefusalRow{"show --bogus", 2, "--bogus: unknown option for show"},
        RefusalRow{"show --lock-frequency", 2,
                   "--lock-frequency: missing value (oscillator frequency in MHz)"},
        RefusalRow{"show --lock-frequency abc", 2, "--lock-frequency: 'abc' is not a number"},
        RefusalRow{"show --lock-frequency &H10", 2,
                   "--lock-frequency: '&H10' is hexadecimal; give the number in decimal digits: "
                   "16"},
        RefusalRow{"show --lock-frequency 1 --lock-frequency=2", 2,
                   "--lock-frequency: given more than once"},
        RefusalRow{"kernel --osc 16 --rate 500 --pick 1", 2, "--pick: unknown option for kernel"},
        RefusalRow{"export --osc 16 --rate 500 --pick 1", 2,
                   "--format: required (the form: c-mcp251x, c-pic18, c-dspic, ip-link, "
                   "networkd, rpi-overlay, json, c-pic32, c-at91)"},
        RefusalRow{"export --osc 16 --rate 500 --format c --pick 1", 2,
                   "--format: 'c' is not one of c-mcp251x, c-pic18, c-dspic, ip-link, networkd, "
                   "rpi-overlay, json, c-pic32, c-at91"},
        RefusalRow{"export --osc 16 --rate 500 --format json", 2,
                   "export: choose the candidate with --pick K or with --brp1 B --tq N"},
        RefusalRow{"export --osc 16 --rate 500 --format ip-link --pick 1 --interface a;b", 2,
                   "--interface: 'a;b' is not an interface name (1 to 15 letters, digits, '.', "
                   "'-' or '_')"},
        RefusalRow{"export --osc 16 --rate 500 --format rpi-overlay --pick 1 --interrupt 54", 2,
                   "--interrupt: 54 is outside 0 to 53"},
        RefusalRow{"decode --osc 16", 2,
                   "decode: give what to decode: --registers V1,V2,..., --cnf C1,C2,C3, --brgcon "
                   "B1,B2,B3, --cicfg G1,G2 or --ip-details FILE|-"},
        RefusalRow{"timing --controller mcp2516 --osc 16 --rate 500 --pick 1", 2,
                   "--controller: 'mcp2516' is no controller Quillon knows (mcp251x, mcp2510, "
                   "mcp2515, mcp25625, pic18, dspic30, dspic33f, dspic33e, pic24h, pic24e, "
                   "pic32mx, at91)"},
        RefusalRow{"fd timing --controller pic18 --osc 40 --rate 500 --data-rate 2000 --pick 1", 2,
                   "--controller: pic18 is a classic controller: leave out fd"},
        RefusalRow{"fd kernel --osc 40 --rate 500 --data-rate 2000 --linux-tdc 5.15", 2,
                   "--linux-tdc: '5.15' is no Linux TDC generation; give old (before Linux "
                   "5.16) or new (5.16 and later)"},
        RefusalRow{"fd timing --osc 40 --rate 500 --data-rate 2000 --pick 1 --linux-tdc old", 2,
                   "--linux-tdc: unknown option for fd timing"},
        RefusalRow{"decode --controller at91 --osc 132 --registers 1,2", 2,
                   "--registers: 1 value is needed (CAN_BR), 2 were given"},
        RefusalRow{"decode --controller sam9x5 --osc 132 --cnf 1,2,3", 2,
                   "--cnf: the at91 is written in CAN_BR; give its registers with --registers"},
        RefusalRow{"timing --controller at91 --osc 132 --rate 125 --brp1 0 --tq 16", 2,
                   "--brp1: 0 is outside 1 to 127 for the at91"},
        RefusalRow{"kernel --controller dspic33e --osc 40 --rate 500", 2,
                   "--controller: the dsPIC33E has no Linux driver; kernel takes mcp251x, "
                   "mcp2510, mcp2515, mcp25625, at91"},
        RefusalRow{"decode --cnf 1,2,3", 2, "--osc: required (the oscillator frequency in MHz)"},
        RefusalRow{"decode --osc 16 --cnf 1,2,3 --cicfg 1,2", 2,
                   "--cicfg: cannot be combined with --cnf"},
        RefusalRow{"decode --osc 16 --cnf 0x00,0xF0", 2,
                   "--cnf: 3 values are needed (CNF1,CNF2,CNF3), 2 were given"},
        RefusalRow{"decode --osc 16 --brgcon 1,256,3", 2,
                   "--brgcon: BRGCON2: 256 is above 0xFF (255)"},
        RefusalRow{"decode --osc 16 --cicfg 1,0x10000", 2,
                   "--cicfg: CiCFG2: 0x10000 is above 0xFFFF (65535)"},
        RefusalRow{"decode --osc 16 --cnf 0x00,0xF0,0x8G", 2,
                   "--cnf: CNF3: '0x8G' is not a register value (write 0x91 or 145)"},
        RefusalRow{"decode --osc 16 --cnf 1,2,3 --measured-rate x", 2,
                   "--measured-rate: 'x' is not a number"},
        RefusalRow{"decode --osc 16 --cnf 1,2,3 --measured-rate 250000", 2,
                   "--measured-rate: 250000 looks like bit/s: did you mean 250 kbit/s?"},
        RefusalRow{"decode --osc 16000000 --cnf 1,2,3", 2,
                   "--osc: 16000000 looks like Hz: did you mean 16 MHz?"},
        RefusalRow{"decode --osc 500 --rate 16 --cnf 1,2,3", 2,
                   "--osc 500 --rate 16: the oscillator and the rate look swapped; did you mean "
                   "--osc 16 --rate 500?"},
        RefusalRow{"decode --ip-details /nonexistent/can0", 2,
                   "--ip-details: cannot read '/nonexistent/can0': No such file or directory"},
        RefusalRow{"bus --rate 500", 2, "--node: a bus needs at least 2 nodes"},
        RefusalRow{"bus --rate 500 --node a=pic18@40", 2, "--node: a bus needs at least 2 nodes"},
        RefusalRow{"bus --rate 500 --node a=pic18@40 --node a=pic18@20", 2,
                   "--node: node 'a': the name is given twice"},
        RefusalRow{
            "bus --rate 500 --node a=pic18@40 --node b=pic18@40:cnf=1,2", 2,
            "--node: node 'b': cnf: 3 values are needed (BRGCON1,BRGCON2,BRGCON3), 2 were given"},
        RefusalRow{"bus --rate 500 --node a=pic18@40 --node b=pic18@40 --html=", 2,
                   "--html: the file name is empty"},
        RefusalRow{"bus --osc 16 --rate 500", 2, "--osc: unknown option for bus"},
        // The bus as built and the sample points: the model's ranges, and no option that
        // would change nothing where it is given.
        RefusalRow{"decode --osc 16 --cnf 1,2,3 --loop-delay 40ns", 2,
                   "--loop-delay: '40ns': the unit is implied (ns); give the number alone: 40"},
        RefusalRow{"bus --rate 500 --node a=pic18@40 --node b=pic18@40 --ppm nan", 2,
                   "--ppm: 'nan' is not a number"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 1 --transceiver 2M", 2,
                   "--transceiver: unknown option for timing"},
        RefusalRow{"candidates --osc 16 --rate 500 --ppm 50", 2,
                   "--ppm: only with --analyse: the list alone judges no setting on a bus"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 1 --sample-point 80", 2,
                   "--sample-point: only with --recommend, whose segments aim at it"},
        RefusalRow{"export --osc 16 --rate 500 --pick 1 --format json --sjw 2 --sample-point 80", 2,
                   "--sample-point: only with --recommend, whose segments aim at it"},
        RefusalRow{"timing --osc 16 --rate 500 --pick 1 --recommend --sample-point 100", 2,
                   "--sample-point: a sample point of 100 % is not inside the bit; give more than "
                   "0 and less than 100"},
        RefusalRow{"kernel --osc 16 --rate 500 --sample-point 87.55", 2,
                   "--sample-point: 87.55 is no whole tenth of a percent, and the kernel takes "
                   "tenths (87.5 or 87.6)"}));

// A bus takes 2 to 16 nodes; its exit status says whether they work together.
TEST(CommandLine, BusNodesAndStatus) {
    std::vector<std::string> args{"bus", "--rate", "500"};
    for (int i = 0; i < 17; ++i) {
        args.insert(args.end(), {"--node", "n" + std::to_string(i) + "=mcp251x@16:kernel"});
    }
    EXPECT_EQ(Answer(args).err, "quillon-cli: --node: a bus has at most 16 nodes\n");
    args.resize(3 + 2 * 16);
    EXPECT_EQ(Answer(args).status, kExitOk);
    // The same registers on a board with half the crystal: that node runs at half the rate.
    const CommandOutput half =
        Answer({"bus", "--rate", "500", "--node", "a=mcp251x@16:cnf=0x00,0xF0,0x86", "--node",
                "b=mcp251x@8:cnf=0x00,0xF0,0x86"});
    EXPECT_EQ(half.status, kExitRefused);
    EXPECT_NE(half.out.find("Bus: incompatible."), std::string::npos) << half.out;
    // --ppm stands for the crystal of every node that gives none of its own.
    const std::string ppm =
        Answer(Split("bus --rate 500 --node a=mcp2515@16 --node b=pic18@40:ppm=30 --ppm 500")).out;
    EXPECT_NE(ppm.find("1.2315  500 ppm"), std::string::npos) << ppm;
    EXPECT_NE(ppm.find("1.1811  30 ppm"), std::string::npos) << ppm;
}

// One row per ranged option: its help line, the ends it accepts and the refusals just
// outside them.
struct RangeRow {
    const char* option;
    const char* help; // found on the option's help line
    const char* lowest;
    const char* highest;
    const char* below;
    const char* above;
    const char* belowRefusal;
    const char* aboveRefusal;
};

class Ranges : public testing::TestWithParam<RangeRow> {};

constexpr const char* kOscLow = "The oscillator must be greater than 0.";
constexpr const char* kRateRange =
    "The CAN baud rate must be greater than 0 and no more than 1000.";

TEST_P(Ranges, HelpStatesWhatTheRefusalsEnforce) {
    const RangeRow& row = GetParam();
    const auto parse = [&row](const char* value) {
        std::map<std::string, std::string> options{
            {"--osc", "16"}, {"--rate", "500"}, {"--brp1", "0"}, {"--tq", "8"}};
        options[row.option] = value;
        std::vector<std::string> args{"timing"};
        for (const auto& [name, text] : options) {
            args.insert(args.end(), {name, text});
        }
        return ParseArguments(args);
    };
    EXPECT_TRUE(parse(row.lowest).request) << parse(row.lowest).error;
    EXPECT_TRUE(parse(row.highest).request) << parse(row.highest).error;
    EXPECT_EQ(parse(row.below).error, Problem(row.option, row.belowRefusal));
    EXPECT_EQ(parse(row.above).error, Problem(row.option, row.aboveRefusal));

    const std::string help = CommandHelp(Command::Timing);
    const std::size_t line = help.find("\n  " + std::string(row.option) + " ");
    ASSERT_NE(line, std::string::npos) << help;
    EXPECT_NE(help.substr(line, help.find('\n', line + 1) - line).find(row.help), std::string::npos)
        << help;
}

INSTANTIATE_TEST_SUITE_P(
    EveryRangedOption, Ranges,
    testing::Values(RangeRow{"--osc", "MHz, at least 1", "1", "40", "0.99", "40.5", kOscLow,
                             "40.5 MHz is more than the MCP2510/MCP251X runs with (at most 40 "
                             "MHz)"},
                    RangeRow{"--rate", "from 1 to 1000", "1", "1000", "0.99", "1000.5",
                             "0.99 looks like Mbit/s: did you mean 990 kbit/s?", kRateRange},
                    RangeRow{"--brp1", "BRP-1 value 0..63", "0", "63", "-1", "64",
                             "-1 is outside 0 to 63", "64 is outside 0 to 63"},
                    RangeRow{"--tq", "Tq count 8..25", "8", "25", "7", "26", "7 is outside 8 to 25",
                             "26 is outside 8 to 25"},
                    RangeRow{"--prop", "1..8 Tq", "1", "8", "0", "9", "0 is outside 1 to 8",
                             "9 is outside 1 to 8"},
                    RangeRow{"--phase1", "1..8 Tq", "1", "8", "0", "9", "0 is outside 1 to 8",
                             "9 is outside 1 to 8"},
                    RangeRow{"--phase2", "2..8 Tq", "2", "8", "1", "9", "1 is outside 2 to 8",
                             "9 is outside 2 to 8"},
                    RangeRow{"--sjw", "1..4 Tq", "1", "4", "0", "5", "0 is outside 1 to 4",
                             "5 is outside 1 to 4"},
                    RangeRow{"--bus-length", "metres, up to 10000", "0", "10000", "-0.5", "1e5",
                             "The bus length -0.5 m is outside 0 to 10000 m.",
                             "The bus length 100000 m is outside 0 to 10000 m."},
                    RangeRow{"--cable-delay", "1 to 20 (default 5)", "1", "20", "0.99", "21",
                             "The cable delay 0.99 ns/m is outside 1 to 20 ns/m.",
                             "The cable delay 21 ns/m is outside 1 to 20 ns/m."},
                    RangeRow{"--loop-delay", "in ns, up to 2000", "0", "2000", "-1", "2000.1",
                             "The transceiver loop delay -1 ns is outside 0 to 2000 ns.",
                             "The transceiver loop delay 2000.1 ns is outside 0 to 2000 ns."},
                    RangeRow{"--ppm", "up to 20000 (default 100)", "0", "20000", "-1", "2e4.5",
                             "The crystal tolerance -1 ppm is outside 0 to 20000 ppm.",
                             "'2e4.5': '.5' follows the number 2e4; give the number alone"}));

TEST(CommandLine, ShowReadsItsFrequencyStrictly) {
    const auto locked = [](const std::vector<std::string>& args) {
        std::optional<double> frequency = -1.0;
        RunCommandLine(args, [&frequency](const Request& request) {
            frequency = request.lockFrequencyMHz;
            return CommandOutput{};
        });
        return frequency;
    };
    EXPECT_EQ(locked({"show", "--lock-frequency", " 16.5 "}), 16.5);
    EXPECT_EQ(locked({"show", "--lock-frequency", " 1 6.5MHz"}), -1.0); // refused, never reached
    EXPECT_EQ(locked({"show"}), std::nullopt);
}

// --recommend starts from the recommended segments; the segment options still override.
TEST(CommandLine, RecommendStartsFromTheRecommendation) {
    const auto segments = [](std::vector<std::string> extra) {
        std::vector<std::string> args{"timing", "--osc", "16",   "--rate", "500",
                                      "--brp1", "0",     "--tq", "16",     "--recommend"};
        args.insert(args.end(), extra.begin(), extra.end());
        const std::string table = Answer(args).out;
        return table.substr(table.find("propagation"),
                            table.find("sjw") - table.find("propagation"));
    };
    EXPECT_EQ(segments({}), "propagation  8   1.0 \xC2\xB5s\nphase1       5   625.0 ns\n"
                            "phase2       2   250.0 ns\n");
    EXPECT_EQ(segments({"--prop", "7", "--phase1", "6"}).substr(0, 30),
              "propagation  7   875.0 ns\nphas");
}

// The bus as built reaches the candidates' proposals and the kernel comparison; the sample
// point reaches the kernel's command line.
TEST(CommandLine, BusAndSamplePointReachTheListAndTheKernel) {
    const std::string list =
        Answer(Split("candidates --osc 16 --rate 500 --analyse --bus-length 40")).out;
    EXPECT_NE(list.find("SP %  Tol %   Findings\n1  16  0      32         0.0   62.5  0.3125  "
                        "1 error, 1 warning\n"),
              std::string::npos)
        << list;
    const std::string kernel =
        Answer(Split("kernel --osc 16 --rate 500 --sample-point 80 --bus-length 40")).out;
    EXPECT_NE(kernel.find("\"ip link set can0 type can bitrate 500000 sample-point 0.8\".\n"),
              std::string::npos)
        << kernel;
    EXPECT_NE(kernel.find("\nOn this bus\n- Kernel: error: The propagation segment is 5 Tq"),
              std::string::npos)
        << kernel;
}

// export chooses the setting as timing does, without segment options the recommended one;
// the comment says which, and the warnings go to stderr with status 1.
TEST(CommandLine, ExportPrintsTheChosenSettingAndWarnsOnStderr) {
    const std::string choice = " --osc 16 --rate 500 --pick 2 --sam";
    EXPECT_EQ(Answer(Split("export --format json" + choice)).out,
              Answer(Split("timing --json --recommend" + choice)).out);
    EXPECT_EQ(Answer(Split("export --format json --sjw 1" + choice)).out,
              Answer(Split("timing --json --sjw 1" + choice)).out);
    const CommandOutput ip =
        Answer(Split("export --format ip-link --interface can1 --wakfil" + choice));
    EXPECT_EQ(ip.status, kExitRefused);
    EXPECT_NE(ip.out.find("sample point 75.0 %, triple sampling (recommended segments)\n"),
              std::string::npos)
        << ip.out;
    EXPECT_NE(ip.out.find("\nip link set can1 type can tq 250 prop-seg 3 phase-seg1 2 "
                          "phase-seg2 2 sjw 2 triple-sampling on\n"),
              std::string::npos)
        << ip.out;
    EXPECT_NE(Answer(Split("export --format c-pic18 --prop 2" + choice))
                  .out.find("(proposed segments, changed by the segment options) */\n"),
              std::string::npos);
    EXPECT_EQ(ip.err, "quillon-cli: export: The driver leaves the wake-up filter (WAKFIL) off; "
                      "the interface runs without it.\n");
    const CommandOutput overlay = Answer(
        Split("export --format rpi-overlay --interrupt 5 --brp1 0 --tq 8 --osc 16 --rate 1000"));
    EXPECT_EQ(overlay.status, kExitOk);
    EXPECT_NE(overlay.out.find("\ndtoverlay=mcp2515-can0,oscillator=16000000,interrupt=5\n"),
              std::string::npos);
}

TEST(CommandLine, HelpWinsOverBadArgumentsAndReachesNoCommand) {
    for (const char* command :
         {"candidates", "timing", "decode", "report", "show", "kernel", "export"}) {
        const CommandOutput output = Answer({command, "--rate", "0", "-h"});
        EXPECT_EQ(output.status, kExitOk);
        EXPECT_EQ(output.out.rfind("Usage: quillon-cli " + std::string(command) + " ", 0), 0U)
            << output.out;
    }
}

// decode exits with 1 for an error or a warning among the findings on the bus given, and
// names the rate it was given.
TEST(CommandLine, DecodeStatusFollowsTheFindings) {
    const struct {
        const char* args;
        int status;
        const char* shown;
    } rows[] = {
        {"decode --osc 16 --cnf 0x40,0xA7,0x01", 0,
         "Target rate  500.000 kbps (none given: the rate the registers give)"},
        {"decode --osc 16 --cnf 0x40,0xA7,0x01 --bus-length 60", 1,
         "  error: The propagation segment is 8 Tq (1000 ns); the round trip over 60 m"},
        {"decode --osc 16 --cnf 0x00,0xF0,0x86", 1, "  warning: The propagation segment is 1 Tq"},
        {"decode --osc 16 --cnf 0,240,134 --rate 250", 1,
         "  error: The bit rate is 500.000 kbps, 100.0 % above the 250.000 kbps asked for"},
        {"decode --osc 16 --cicfg 0x0001,0x0191 --json", 1, "\"CNF2\": {\n      \"value\": 145"},
    };
    for (const auto& row : rows) {
        const CommandOutput output = Answer(Split(row.args));
        EXPECT_EQ(output.status, row.status) << row.args;
        EXPECT_NE(output.out.find(row.shown), std::string::npos) << output.out;
    }
}

} // namespace
} // namespace quillon::cli
