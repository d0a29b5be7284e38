// Reading `ip -details link show` output: the layouts iproute2 has printed, triple
// sampling, the prescaler from "brp" or only from "tq", the oscillator from the clock or
// from the board, another driver's segments, and the refusals that name what is missing.
#include "timing/linux/LinuxDetails.h"
#include "timing/tests/DecodeSummary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

// iproute2 6.1 (Debian 12): the prescaler printed, "brp_inc", triple sampling on.
constexpr const char* kNewer =
    "3: can0: <NOARP,UP,LOWER_UP,ECHO> mtu 16 qdisc pfifo_fast state UP mode DEFAULT group "
    "default qlen 10\n"
    "    link/can  promiscuity 0  allmulti 0 minmtu 0 maxmtu 0 \n"
    "    can <TRIPLE-SAMPLING> state ERROR-ACTIVE (berr-counter tx 0 rx 0) restart-ms 100 \n"
    "\t  bitrate 500000 sample-point 0.875\n"
    "\t  tq 125 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1 brp 1\n"
    "\t  mcp251x: tseg1 3..16 tseg2 2..8 sjw 1..4 brp 1..64 brp_inc 1\n"
    "\t  clock 8000000 numtxqueues 1 numrxqueues 1 gso_max_size 65536 gso_max_segs 65535 "
    "parentbus spi parentdev spi0.0 \n";

// iproute2 4.x (Raspbian): no "brp", "brp-inc", and the clock runs into the next word.
constexpr const char* kOlder =
    "3: can0: <NOARP,UP,LOWER_UP,ECHO> mtu 16 qdisc pfifo_fast state UNKNOWN mode DEFAULT "
    "group default qlen 10\n"
    "    link/can  promiscuity 0 \n"
    "    can state ERROR-ACTIVE (berr-counter tx 0 rx 0) restart-ms 0 \n"
    "\t  bitrate 125000 sample-point 0.875 \n"
    "\t  tq 500 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1\n"
    "\t  mcp251x: tseg1 3..16 tseg2 2..8 sjw 1..4 brp 1..64 brp-inc 1\n"
    "\t  clock 8000000numtxqueues 1 numrxqueues 1 gso_max_size 65536 gso_max_segs 65535 \n";

// `ip -oneline`: one line, a backslash where a line would end.
constexpr const char* kOneLine =
    "3: can0: <NOARP,UP,LOWER_UP,ECHO> mtu 16 qdisc pfifo_fast state UP mode DEFAULT group "
    "default qlen 10\\    link/can  promiscuity 0 minmtu 0 maxmtu 0 \\    can "
    "<LOOPBACK,TRIPLE-SAMPLING> state ERROR-ACTIVE (berr-counter tx 0 rx 0) restart-ms 0 \\\t  "
    "bitrate 250000 sample-point 0.750\\\t  tq 250 prop-seg 5 phase-seg1 6 phase-seg2 4 sjw 2 "
    "brp 2\\\t  mcp251x: tseg1 3..16 tseg2 2..8 sjw 1..4 brp 1..64 brp_inc 1\\\t  clock "
    "8000000 numtxqueues 1 numrxqueues 1\n";

// A CAN FD controller at 500 kbit/s: segments no MCP251X register holds.
constexpr const char* kOtherDriver =
    "    can state ERROR-ACTIVE (berr-counter tx 0 rx 0) restart-ms 0 \n"
    "\t  bitrate 500000 sample-point 0.875\n"
    "\t  tq 25 prop-seg 34 phase-seg1 35 phase-seg2 10 sjw 1 brp 1\n"
    "\t  mcp251xfd: tseg1 2..256 tseg2 1..128 sjw 1..128 brp 1..256 brp_inc 1\n"
    "\t  clock 40000000\n";

TEST(LinuxDetails, TheLayoutsOfIproute2) {
    // clang-format off
    const struct {
        const char* text;
        std::optional<double> osc, target;
        const char* setting;
        std::vector<std::string> findings; // what the interface's text shows
        const char* codes; // every finding of the decoded setting, on the default bus
    } rows[] = {
        {kNewer, {}, {},
         "16 MHz for 500: BRP-1 0, 16 Tq = 1+6+7+2, SJW 1, SAM | 500.000 kbps, 87.5 % | 0x00 "
         "0xF5 0x01", {}, ""},
        {kOlder, {}, {},
         "16 MHz for 125: BRP-1 3, 16 Tq = 1+6+7+2, SJW 1 | 125.000 kbps, 87.5 % | 0x03 0xB5 "
         "0x01", {}, ""},
        {kOneLine, {}, 300,
         "16 MHz for 300: BRP-1 1, 16 Tq = 1+5+6+4, SJW 2, SAM | 250.000 kbps, 75.0 % | 0x41 "
         "0xEC 0x03",
         {}, "rate-off-target sample-point-early"},
        // The device tree says 16 MHz, the board has 8: the bus runs at half the rate.
        {kNewer, 8, {},
         "8 MHz for 500: BRP-1 0, 16 Tq = 1+6+7+2, SJW 1, SAM | 250.000 kbps, 87.5 % | 0x00 "
         "0xF5 0x01",
         {"The interface counts on a 16 MHz oscillator (clock 8000000), not the 8 MHz given: "
          "its device tree names the wrong oscillator."},
         "interface rate-off-target"},
        {kOtherDriver, {}, {},
         "80 MHz for 500: BRP-1 0, 80 Tq = 1+34+35+10, SJW 1 | 500.000 kbps, 87.5 % | prop-seg "
         "34 does not fit the MCP251X registers, which hold 1 to 8.",
         {"The limits line names the mcp251xfd driver, not mcp251x; the oscillator is taken as "
          "twice its clock.",
          "prop-seg 34 does not fit the MCP251X registers, which hold 1 to 8.",
          "phase-seg1 35 does not fit the MCP251X registers, which hold 1 to 8.",
          "phase-seg2 10 does not fit the MCP251X registers, which hold 1 to 8."},
         "interface interface interface interface tq-count-outside"},
        // clang-format on
    };
    for (const auto& row : rows) {
        const IpDetailsDecoding decoding = DecodeIpDetails(row.text, row.osc, row.target);
        ASSERT_TRUE(decoding.decoded) << row.setting << ": " << decoding.sError;
        EXPECT_EQ(Summary(*decoding.decoded), row.setting);
        EXPECT_EQ(Texts(decoding.decoded->findings), row.findings) << row.setting;
        EXPECT_EQ(Codes(DescribeDecoded(*decoding.decoded).findings), row.codes) << row.setting;
    }
}

TEST(LinuxDetails, RefusalsNameWhatIsMissing) {
    const std::string timing = "bitrate 500000 sample-point 0.875\n"
                               "tq 125 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1\n";
    const struct {
        std::string text;
        const char* error;
    } rows[] = {
        {"", "no bit timing in the text (the 'bitrate ...' and 'tq ... prop-seg ...' lines of "
             "'ip -details link show'); is the interface configured?"},
        {"3: can0: <NOARP,ECHO> mtu 16 qdisc noop state DOWN\n    can state STOPPED "
         "restart-ms 0\n\t  mcp251x: tseg1 3..16 tseg2 2..8 sjw 1..4 brp 1..64 brp-inc 1\n\t  "
         "clock 8000000\n",
         "no bit timing in the text (the 'bitrate ...' and 'tq ... prop-seg ...' lines of "
         "'ip -details link show'); is the interface configured?"},
        {timing, "no 'clock N' in the text"},
        {"tq 125 prop-seg 6 phase-seg1 7 sjw 1\nclock 8000000", "no 'phase-seg2 N' in the text"},
        {"tq 125 prop-seg 6 phase-seg1 7 phase-seg2 2\nmcp251x: tseg1 3..16 sjw 1..4\nclock 8",
         "no 'sjw N' in the text"},
        {"bitrate 500000 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1 clock 8000000",
         "neither 'tq N' nor 'brp N' in the text"},
        {timing + "clock 0", "'clock 0' gives no time quantum"},
        {timing + "clock 1000000", "'tq 125' is shorter than one period of 'clock 1000000'"},
        {timing + "clock 99999999999", "no 'clock N' in the text"},
        {"tq 125 prop-seg 6 phase-seg1 7000 phase-seg2 2 sjw 1 clock 8000000",
         "phase-seg1 7000 is more than any CAN controller has (1024 at most)"},
    };
    for (const auto& row : rows) {
        const IpDetailsDecoding decoding = DecodeIpDetails(row.text, {}, {});
        EXPECT_FALSE(decoding.decoded) << row.text;
        EXPECT_EQ(decoding.sError, row.error) << row.text;
    }
}

} // namespace
} // namespace quillon
