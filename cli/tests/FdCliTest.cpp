// quillon-cli fd in-process: the second word, the refusals of the FD options before anything
// runs, and one row per command that it reaches the model and renders what it gives.
#include "cli/CliCommands.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace quillon::cli {
namespace {

const std::string kInputs = "--osc 40 --rate 500 --data-rate 2000 ";
const std::string kSamples = std::string(QUILLON_IP_DETAILS_DIR) + "/";

CommandOutput Answer(const std::string& line) {
    std::istringstream words(line);
    const std::vector<std::string> args{std::istream_iterator<std::string>(words),
                                        std::istream_iterator<std::string>()};
    return RunCommandLine(args, [](const Request& request) {
        return CommandOutput{-1, "reached " + CommandName(request.command), {}};
    });
}

struct Row {
    std::string args;
    int status;
    std::string text; // the refusal after "quillon-cli: ", or a line the output holds
};

class FdRefusals : public testing::TestWithParam<Row> {};

TEST_P(FdRefusals, OneLineAndTheUsageStatus) {
    const CommandOutput output = Answer(GetParam().args);
    EXPECT_EQ(output.status, GetParam().status);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, "quillon-cli: " + GetParam().text + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Fd, FdRefusals,
    testing::Values(
        Row{"fd", 2, "fd: a command must follow; try 'quillon-cli fd --help'"},
        Row{"fd bogus", 2, "bogus: unknown fd command; try 'quillon-cli fd --help'"},
        Row{"fd timing --osc 40 --rate 500 --pick 1", 2,
            "--data-rate: required (the data rate in kbit/s)"},
        Row{"fd timing --osc 40 --rate 500 --data-rate 8001 --pick 1", 2,
            "--data-rate: The CAN FD data rate must be at least 1 and no more than 8000."},
        Row{"fd timing " + kInputs, 2,
            "fd timing: choose the candidate with --pick K or with --nbrp B --ntq N --dbrp B "
            "--dtq N"},
        Row{"fd export " + kInputs + "--pick 1 --dbrp 1 --format json", 2,
            "--pick: cannot be combined with --nbrp, --ntq, --dbrp or --dtq"},
        Row{"fd report " + kInputs + "--nbrp 1 --ntq 80", 2, "--dbrp: required with --nbrp"},
        Row{"fd timing " + kInputs + "--pick 33", 2,
            "--pick: 33 is beyond the candidate list, which has 32 entries"},
        Row{"fd timing " + kInputs + "--nbrp 1 --ntq 386 --dbrp 1 --dtq 20", 2,
            "--ntq: 386 is outside 4 to 385"},
        Row{"fd timing " + kInputs + "--pick 1 --dsjw 17", 2, "--dsjw: 17 is outside 1 to 16"},
        Row{"fd timing " + kInputs + "--pick 1 --grid", 2, "--grid: unknown option for fd timing"},
        Row{"timing --osc 16 --rate 500 --pick 1 --pll", 2, "--pll: unknown option for timing"},
        // An interface's `ip -details` instead of the words, and the files that cannot be read.
        Row{"fd decode --ip-details can0.txt --nbtcfg 1", 2,
            "--nbtcfg: cannot be combined with --ip-details; give the words or the interface"},
        Row{"fd decode --ip-details can0.txt --pll", 2,
            "--pll: not with --ip-details: the driver switches the PLL on by itself for an "
            "oscillator of 4 MHz or less, so give --osc alone"},
        Row{"fd decode --ip-details .", 2,
            "--ip-details: '.' is a folder, not a file; give the file with the output of 'ip "
            "-details link show can0'"},
        Row{"decode --ip-details /dev/null", 2,
            "--ip-details: '/dev/null' is empty; give it the output of 'ip -details link show "
            "can0'"},
        Row{"decode --ip-details " + kSamples + "mcp251xfd-tdc.txt", 2,
            "--ip-details: can0 runs the mcp251xfd driver, a CAN FD controller: decode it with "
            "'quillon-cli fd decode --ip-details'"},
        Row{"fd decode --ip-details " + kSamples + "at91_can.json", 2,
            "--ip-details: can0 runs the at91_can driver, a classic CAN controller: decode it "
            "with 'quillon-cli decode --ip-details'"},
        Row{"fd decode --osc 40 --nbtcfg 0x100000000 --dbtcfg 0", 2,
            "--nbtcfg: 0x100000000 is above 0xFFFFFFFF (4294967295)"},
        Row{"fd decode --osc 40 --nbtcfg 0x00440904", 2, "--dbtcfg: required (the CiDBTCFG word)"},
        Row{"fd decode --osc 40 --rate 500 --nbtcfg 1 --dbtcfg 1", 2,
            "--rate: unknown option for fd decode"},
        Row{"fd export " + kInputs + "--pick 1 --format yaml", 2,
            "--format: 'yaml' is not a form; try c-mcp251xfd, c-dspic33c, c-mcan, ip-link, "
            "ip-link-tq, "
            "networkd, networkd-tq, rpi-overlay or json"},
        Row{"fd export " + kInputs + "--pick 1 --format ip-link --interface=can/0", 2,
            "--interface: 'can/0' is not an interface name (1 to 15 letters, digits, '.', '-' "
            "or '_')"},
        Row{"fd export " + kInputs + "--pick 1 --format json --interrupt 54", 2,
            "--interrupt: 54 is outside 0 to 53"},
        // The row chosen with --controller: its PLL, its prescalers, its words, its forms.
        Row{"fd timing --controller same51 " + kInputs + "--pick 1 --pll", 2,
            "--pll: the mcan has no PLL: --osc is its CAN clock as it is, so give that"},
        Row{"fd timing --controller mcan " + kInputs + "--nbrp 1 --ntq 80 --dbrp 33 --dtq 20", 2,
            "--dbrp: 33 is outside 1 to 32"},
        Row{"fd decode --osc 40 --registers 0x00440909,0x000D0404 --tdc 0", 2,
            "--registers: cannot be combined with --tdc; give the words either way, not both"},
        Row{"fd decode --controller mcan --osc 48 --registers 0x0A00520B", 2,
            "--registers: 2 or 3 words are needed (NBTP,DBTP[,TDCR]), 1 was given"},
        Row{"fd export --controller samv71 " + kInputs + "--pick 1 --format rpi-overlay", 2,
            "--format: rpi-overlay is the Raspberry Pi line of the mcp251xfd on SPI; the M_CAN "
            "cell is on the SoC, whose own device tree describes it"},
        Row{"fd timing " + kInputs + "--pick 1 --transceiver 3M", 2,
            "--transceiver: '3M' is no transceiver class; give none, 2M or 5M"},
        Row{"fd timing " + kInputs + "--pick 1 --data-sample-point 70", 2,
            "--data-sample-point: only with --recommend, whose segments aim at it"},
        // A bus without --data-rate is classic: an FD node or a transceiver class is refused.
        Row{"bus --rate 500 --node a=mcp2518fd@40 --node b=pic18@40", 2,
            "--node: node 'a': the mcp2518fd is a CAN FD controller: give the bus's --data-rate "
            "to check both its phases (a bus without one is classic)"},
        Row{"bus --rate 500 --node a=pic18@40 --node b=pic18@40 --transceiver 2M", 2,
            "--transceiver: only with --data-rate: the transceivers' symmetry concerns the data "
            "phase"}));

class FdCommands : public testing::TestWithParam<Row> {};

TEST_P(FdCommands, ReachTheModelAndRenderIt) {
    const CommandOutput output = Answer(GetParam().args);
    EXPECT_EQ(output.status, GetParam().status) << output.err;
    EXPECT_NE((output.out + output.err).find(GetParam().text), std::string::npos)
        << output.out << output.err;
}

INSTANTIATE_TEST_SUITE_P(
    Fd, FdCommands,
    testing::Values(
        Row{"fd --help", 0, "  kernel       what Linux chooses for 'bitrate B dbitrate D fd on'\n"},
        Row{"fd export --osc -1 --help", 0,
            "  rpi-overlay  the Raspberry Pi config.txt line of the mcp251xfd\n"},
        Row{"fd candidates " + kInputs, 0,
            "1   1     80   1     20   yes      yes  0.0 %         0.0 %      87.5/75.0  0.3125 "
            "(1)"},
        Row{"fd candidates --osc 40 --rate 500 --data-rate 3000", 0,
            "No combination gives both rates within 1 %."},
        Row{"fd timing " + kInputs + "--nbrp 2 --ntq 40 --dbrp 1 --dtq 20", 0,
            "combination: nominal BRP 2 x 40 Tq, data BRP 1 x 20 Tq, proposed segments\n"},
        // A data propagation of 3: 16 quanta, and the TDC follows the data phase; the data
        // rate is then off, an error.
        Row{"fd timing " + kInputs + "--pick 1 --dprop 3", 1,
            "TDC                   auto, TDCO 11 (as the controller needs it)\n"},
        Row{"fd timing " + kInputs + "--pick 1 --recommend --nsjw 4", 0,
            "nominal  1    80  25.000 ns     59    10      10      4    87.5 %"},
        Row{"fd decode --osc 40 --nbtcfg 0x00440904 --dbtcfg 0x000D0401 --tdc 0x00020E00", 1,
            "Verdict               TDC must be automatic with TDCO 15"},
        Row{"fd kernel --osc 40 --rate 500 --data-rate 7500", 1,
            "finds no timing for 'ip link set can0 type can bitrate 500000 dbitrate 7500000 fd "
            "on': data: bitrate error: 6.6% too high\n"},
        Row{"fd export --osc 4 --rate 125 --data-rate 500 --pick 1 --format rpi-overlay", 1,
            "dtoverlay=mcp251xfd,spi0-0,oscillator=4000000,interrupt=25\nquillon-cli: warning: "
            "The mcp251xfd driver switches the PLL on for an oscillator of 4 MHz"},
        // The driver at probe and the kernel at open, for fd kernel and its TDC generations.
        Row{"fd kernel --osc 4 --rate 500 --data-rate 2000", 0,
            "(4 MHz or less): SYSCLK 40 MHz.\n\nThe Linux mcp251xfd driver's own choice for 'ip "
            "link set can0 type can bitrate 500000 dbitrate 2000000 fd on', with the TDC of Linux "
            "5.16 and later (--linux-tdc new):"},
        Row{"fd kernel --osc 40 --rate 1000 --data-rate 500", 1,
            "\nThe kernel refuses to open an interface whose data bit rate is below its nominal "
            "one (open_candev): 500000 bit/s below 1000000 bit/s.\n"},
        Row{"fd kernel --osc 40 --rate 500 --data-rate 2000 --linux-tdc old", 0,
            "\nThe mcp251xfd driver of Linux before 5.16 always sets TDC automatic with TDCO = "
            "DBRP x (DPROP + DPH1) = 1 x (7 + 7) = 14.\n"},
        Row{"fd decode --osc 40 --nbtcfg 0x00440904 --dbtcfg 0x000D0401 --linux-tdc old", 1,
            "Note: CiTDC not given: the TDC is taken as the mcp251xfd driver of Linux before 5.16 "
            "writes it.\n"},
        Row{"fd decode --osc 40 --nbtcfg 0x00440904 --dbtcfg 0x000D0401 --tdc 0x00020E00", 1,
            "advice: TDC automatic with TDCO 14 matches the mcp251xfd driver before Linux 5.16"},
        Row{"fd export " + kInputs + "--pick 1 --format c-mcp251xfd --linux-tdc old", 2,
            "quillon-cli: --linux-tdc: only ip-link-tq and networkd-tq compare the TDC with the "
            "Linux driver's; c-mcp251xfd does not\n"},
        Row{"fd report " + kInputs + "--pick 1", -1, "reached fd report"},
        Row{"fd timing --controller same51 --osc 48 --rate 500 --data-rate 2000 --pick 1", 0,
            "CAN clock     48.000 MHz\n"},
        Row{"fd export --controller same51 --osc 48 --rate 500 --data-rate 2000 --pick 1 "
            "--recommend --format c-mcan",
            0, "#define MCAN_NBTP 0x1600520BUL\n"},
        // Without segment options fd export writes the recommended segments and says so.
        Row{"fd export " + kInputs + "--pick 1 --format c-mcp251xfd", 0,
            "from Quillon (recommended segments).\n"},
        Row{"fd export " + kInputs + "--pick 1 --nsjw 4 --format ip-link", 0,
            "# CAN FD bit timing from Quillon (proposed segments, changed by the segment "
            "options)\n"},
        // The transceivers' symmetry: a 2M part shortens a 5 Mbit/s bit past the sample point.
        Row{"fd timing --osc 40 --rate 500 --data-rate 5000 --pick 1 --recommend --transceiver 2M",
            1, "error: The data sample point lies 150 ns into a bit of 200 ns; a 2M transceiver"},
        Row{"fd decode --osc 40 --nbtcfg 0x00440909 --dbtcfg 0x00040101 --transceiver 5M", 1,
            "[fd-data-sample-point-asymmetry; ISO 11898-2:2016]"},
        Row{"fd export --osc 40 --rate 500 --data-rate 5000 --pick 1 --transceiver 5M --format "
            "ip-link",
            1,
            "ip link set can0 up\nquillon-cli: fd export: error: The data sample point lies 150 "
            "ns"},
        // A CAN FD bus: both phases' margins, and a classic node on it.
        Row{"bus --rate 500 --data-rate 2000 --node "
            "a=mcp2518fd@40:registers=0x00440904,0x000D0401,0x00020F00 --node "
            "b=mcp2517fd@20:registers=0x001E0707,0x00060101,0x00020800:ppm=2000",
            0,
            "Nominal phase: margin 0.1125 %: df_min 0.3125 %, the smallest tolerance of any "
            "node, less the largest need 0.2 %.\nData phase: margin 0.2255 %: df_min 0.4255 %"},
        Row{"bus --rate 500 --data-rate 2000 --node a=mcp2518fd@40 --node u=mcp2515@16:kernel", 1,
            "Bus: incompatible.\nThe classic node u answers every CAN FD frame with an error "
            "frame.\n"},
        Row{"bus --rate 500 --data-rate 2000 --node a=mcp2518fd@40 --node u=mcp2515@16 --json", 1,
            "\"classic_nodes\": [\n      \"u\"\n    ]"}));

} // namespace
} // namespace quillon::cli
