// Reading `ip -details link show` output of a classic interface: the layouts iproute2 has
// printed in text and JSON, triple sampling, the prescaler from "brp" or only from "tq", the
// oscillator from the clock or from the board, the at91_can's peripheral clock, and the
// refusals of both decodings that name what is missing or wrong.
#include "timing/linux/LinuxDetails.h"
#include "timing/bus/BusNodeText.h"
#include "timing/linux/FdLinuxDetails.h"
#include "timing/tests/DecodeSummary.h"
#include "timing/tests/IpDetailsSamples.h"

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
    const std::string at91Text = IpSample("at91_can.txt");
    const std::string allLinks = IpSample("mcp251x-all-links.json");
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
        // The at91_can on its 132 MHz peripheral clock: "tq 166" rounds back to brp 22.
        {at91Text.c_str(), {}, {},
         "132 MHz for 500: BRP-1 21, 12 Tq = 1+4+5+2, SJW 1 | 500.000 kbps, 83.3 % | 0x15 0xA3 "
         "0x01", {}, ""},
        {at91Text.c_str(), 133, {},
         "133 MHz for 500: BRP-1 21, 12 Tq = 1+4+5+2, SJW 1 | 503.787879 kbps, 83.3 % | 0x15 "
         "0xA3 0x01",
         {"The interface counts on a 132 MHz peripheral clock (clock 132000000), not the 133 "
          "MHz given; the rates are worked out on the one given."},
         "interface rate-off-target"},
        // Every interface of the board in JSON: the one CAN interface is taken.
        {allLinks.c_str(), {}, {},
         "16 MHz for 500: BRP-1 0, 16 Tq = 1+6+7+2, SJW 1, SAM | 500.000 kbps, 87.5 % | 0x00 "
         "0xF5 0x01", {}, ""},
        // A paste without the limits line: the driver is taken, and a finding says so.
        {"bitrate 250000\ntq 250 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1 brp 1\nclock 4000000",
         {}, {},
         "8 MHz for 250: BRP-1 0, 16 Tq = 1+6+7+2, SJW 1 | 250.000 kbps, 87.5 % | 0x00 0xB5 0x01",
         {"No limits line names the driver: the interface is read as the mcp251x's, whose clock "
          "is half the oscillator."},
         "interface"},
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

// The refusal of `text` by decode (classic) or fd decode, for the controller given ("" for
// the driver's own).
std::string Refusal(const std::string& text, bool fd, const char* controller) {
    const Controller* row = *controller == '\0' ? nullptr : FindController(controller);
    if (fd) {
        const FdIpDetailsDecoding decoding = DecodeFdIpDetails(text, {}, row);
        return decoding.setting ? "decoded" : decoding.sError;
    }
    const IpDetailsDecoding decoding = DecodeIpDetails(text, {}, {}, row);
    return decoding.decoded ? "decoded" : decoding.sError;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    return at == std::string::npos ? "'" + from + "' not in the sample"
                                   : text.replace(at, from.size(), to);
}

TEST(LinuxDetails, RefusalsNameWhatIsMissing) {
    const std::string timing = "bitrate 500000 sample-point 0.875\n"
                               "tq 125 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1\n";
    const std::string classic = IpSample("mcp251x.txt");
    const std::string fdText = IpSample("mcp251xfd-tdc.txt");
    const std::string fdJson = IpSample("mcp251xfd-tdc.json");
    const std::string canLink =
        R"({"ifname":"can0","link_type":"can","linkinfo":{"info_kind":"can","info_data":{)";
    const std::string configured =
        R"("bittiming":{"tq":125,"prop_seg":6,"phase_seg1":7,"phase_seg2":2,"sjw":1},)"
        R"("bittiming_const":{"name":"mcp251x"},"clock":8000000}}})";
    const std::string unconfigured = canLink + R"("state":"STOPPED","clock":8000000}}})";
    const struct {
        std::string text;
        bool fd;
        const char* controller;
        const char* error;
    } rows[] = {
        {"", false, "", "the text is empty; give the output of 'ip -details link show can0'"},
        {" \n\t", true, "", "the text is empty; give the output of 'ip -details link show can0'"},
        {"3: can0: <NOARP,ECHO> mtu 16 qdisc noop state DOWN\n    can state STOPPED "
         "restart-ms 0\n\t  mcp251x: tseg1 3..16 tseg2 2..8 sjw 1..4 brp 1..64 brp-inc 1\n\t  "
         "clock 8000000\n",
         false, "",
         "no bit timing in the text (the 'bitrate ...' and 'tq ... prop-seg ...' lines of "
         "'ip -details link show'); is the interface configured?"},
        {timing, false, "", "no 'clock N' in the text"},
        {"tq 125 prop-seg 6 phase-seg1 7 sjw 1\nclock 8000000", false, "",
         "no 'phase-seg2 N' in the text"},
        {"tq 125 prop-seg 6 phase-seg1 7 phase-seg2 2\nmcp251x: tseg1 3..16 sjw 1..4\nclock 8",
         false, "", "no 'sjw N' in the text"},
        {"bitrate 500000 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1 clock 8000000", false, "",
         "neither 'tq N' nor 'brp N' in the text"},
        {timing + "clock 0", false, "", "'clock 0' gives no time quantum"},
        {Replaced(classic, "brp 1\n", "brp 0\n"), false, "", "'brp 0' gives no time quantum"},
        {timing + "clock 1000000", false, "",
         "'tq 125' is shorter than one period of 'clock 1000000'"},
        {timing + "clock 99999999999", false, "", "no 'clock N' in the text"},
        {"tq 125 prop-seg 6 phase-seg1 7000 phase-seg2 2 sjw 1 clock 8000000", false, "",
         "phase-seg1 7000 is more than any CAN controller has (1024 at most)"},
        // The user's mcp251xfd, in both forms, and the same controller with FD off.
        {fdText, false, "",
         "can0 runs the mcp251xfd driver, a CAN FD controller: decode it with 'quillon-cli fd "
         "decode --ip-details'"},
        {fdJson, false, "",
         "can0 runs the mcp251xfd driver, a CAN FD controller: decode it with 'quillon-cli fd "
         "decode --ip-details'"},
        {kOtherDriver, true, "",
         "the interface has CAN FD off (no FD among its control modes, no data phase): its "
         "mcp251xfd sends classic frames only, and fd decode needs both phases; switch FD on "
         "with 'ip link set can0 type can bitrate B dbitrate D fd on'"},
        {Replaced(Replaced(fdText, "mcp251xfd: tseg1", "tseg1"), "mcp251xfd: dtseg1", "dtseg1"),
         false, "",
         "can0 runs CAN FD (FD among its control modes or a data phase): decode it with "
         "'quillon-cli fd decode --ip-details'"},
        {classic, true, "",
         "can0 runs the mcp251x driver, a classic CAN controller: decode it with 'quillon-cli "
         "decode --ip-details'"},
        {"bitrate 500000\ntq 125 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1\nclock 8000000", true,
         "",
         "the interface shows no CAN FD (no FD among its control modes, no data phase) and names "
         "no driver: decode a classic interface with 'quillon-cli decode --ip-details'"},
        {Replaced(classic, "mcp251x:", "flexcan:"), false, "",
         "can0 runs the 'flexcan' driver, which Quillon does not know (it knows mcp251x, "
         "at91_can, mcp251xfd and m_can)"},
        {classic, false, "at91", "can0 runs the mcp251x driver, not the at91's at91_can"},
        {classic, false, "pic18", "the pic18 has no Linux driver, so no interface runs it"},
        {fdText, true, "mcan", "can0 runs the mcp251xfd driver, not the mcan's m_can"},
        // Values of the data phase and the TDC.
        {Replaced(fdText, "dsjw 1 dbrp", "dbrp"), true, "", "no 'dsjw N' in the text"},
        {Replaced(Replaced(fdText, "dbrp 1\n", "\n"), "dtq 25", "dtq 10"), true, "",
         "'dtq 10' is shorter than one period of 'clock 40000000'"},
        {Replaced(fdText, "tdcv 12 tdco 15", ""), true, "",
         "TDC-AUTO among the control modes, but no 'tdco N' in the text"},
        {Replaced(fdText, "tdco 15", "tdco 4096"), true, "",
         "tdco 4096 is more than any CAN controller has (1024 at most)"},
        // The text and the JSON of several interfaces, or none of them CAN.
        {classic + Replaced(Replaced(classic, "3: can0", "4: can1"), "spi0.0", "spi0.1"), false, "",
         "the text holds 2 CAN interfaces, can0 and can1; give the output of 'ip -details "
         "link show' for one of them"},
        {"1: lo: <LOOPBACK,UP,LOWER_UP> mtu 65536\n    link/loopback 00:00:00:00:00:00\n2: eth0: "
         "<BROADCAST> mtu 1500\n    link/ether dc:a6:32:00:00:01\n",
         false, "",
         "the text holds no CAN interface (lo and eth0); give the output of 'ip -details link "
         "show can0'"},
        {"[" + canLink + configured + "," + Replaced(canLink, "can0", "can1") + configured + "]",
         false, "",
         "the JSON holds 2 CAN interfaces, can0 and can1; give the output of 'ip -details -json "
         "link show' for one of them"},
        {R"([{"ifname":"lo","link_type":"loopback"},{"ifname":"eth0","link_type":"ether"}])", false,
         "",
         "the JSON holds no CAN interface (lo and eth0); give the output of 'ip -details -json "
         "link show can0'"},
        {"[]", false, "",
         "the JSON holds no interface (an empty array); is the name after 'link show' right?"},
        // JSON that is no output of ip, or lacks what a decoding needs.
        {R"([{"ifname":"can0",}])", false, "",
         "the JSON cannot be read: at byte 19: a member's name in quotes expected"},
        {R"({"bitrate":500000})", false, "",
         "the JSON is an object without 'ifname' or 'linkinfo', not the array of interfaces that "
         "'ip -details -json link show' prints"},
        {R"([{"ifname":"can0","link_type":"can"}])", false, "",
         "the JSON of can0 has no linkinfo.info_data; give the output of 'ip -details -json "
         "link show can0' (with -details)"},
        {"[" + unconfigured + "]", false, "",
         "the JSON of can0 has no 'bittiming' under linkinfo.info_data; is the interface "
         "configured ('ip link set can0 type can bitrate ...')?"},
        {"[" + canLink + Replaced(configured, "\"sjw\":1", "\"sjw\":\"1\"") + "]", false, "",
         "'bittiming.sjw' of can0 is a string, not a whole number from 0 to 4294967295"},
        {"[" + canLink + Replaced(configured, "\"sjw\":1", "\"sjw\":-1") + "]", false, "",
         "'bittiming.sjw' of can0 is -1, not a whole number from 0 to 4294967295"},
        {"[" + canLink + Replaced(configured, ",\"sjw\":1", "") + "]", false, "",
         "no 'bittiming.sjw' in the JSON of can0"},
        {"[" + canLink + Replaced(configured, "\"tq\":125,", "") + "]", false, "",
         "neither 'bittiming.tq' nor 'bittiming.brp' in the JSON of can0"},
        {Replaced(Replaced(fdJson, "\"tq\": 25,\n                    \"prop_seg\": 7",
                           "\"tq\": 10,\n                    \"prop_seg\": 7"),
                  ",\n                    \"brp\": 1\n                },\n                "
                  "\"data_bittiming_const",
                  "\n                },\n                \"data_bittiming_const"),
         true, "", "'data_bittiming.tq' 10 is shorter than one period of 'clock' 40000000"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Refusal(row.text, row.fd, row.controller), row.error) << row.text;
    }
}

// A bus node of :ip=FILE: the interface's setting on the node's board, and the refusals that
// name the node and the file.
TEST(LinuxDetails, BusNodeFromAnInterface) {
    const struct {
        const char* node;
        const char* sample;
        const char* problem; // of the node's text or of the file's; "" for none
        const char* codes;   // the node's findings on a 500 kbit/s bus
    } rows[] = {
        {"pi=mcp2515@16:ip=can0.txt", "mcp251x.txt", "", ""},
        {"pi=mcp2515@8:ip=can0.txt", "mcp251x.txt", "", "interface rate-off-target"},
        {"sam=at91@132:ip=at91.json:ppm=50", "at91_can.json", "", ""},
        {"pi=mcp2515@16:ip=can0.txt", "at91_can.txt",
         "node 'pi': ip=can0.txt: can0 runs the at91_can driver, not the mcp2515's mcp251x", ""},
        {"pi=mcp2515@16:ip=can0.txt", "mcp251xfd-tdc.json",
         "node 'pi': ip=can0.txt: can0 runs the mcp251xfd driver, not the mcp2515's mcp251x", ""},
        {"pi=mcp2515@16:ip=", "",
         "node 'pi': ip: the file name is empty; write ip=FILE with the "
         "output of 'ip -details link show' of the node's interface",
         ""},
        {"plc=pic18@40:ip=can0.txt", "",
         "node 'plc': ip: the pic18 has no Linux driver, so no interface runs it", ""},
        {"pi=mcp2515@16:kernel:ip=can0.txt", "",
         "node 'pi': ip: a node has one setting; another was given before", ""},
    };
    for (const auto& row : rows) {
        BusNodeParse parsed = ParseBusNode(row.node);
        std::optional<std::string> problem = parsed.sError;
        if (parsed.node) {
            EXPECT_EQ(parsed.node->source, NodeSource::Interface);
            problem = AttachIpDetails(*parsed.node, IpSample(row.sample));
        }
        EXPECT_EQ(problem.value_or(""), row.problem) << row.node;
        if (problem) {
            continue;
        }
        const BusVerdict bus = CheckBus(500, {*parsed.node, *ParseBusNode("b=pic18@40").node});
        const NodeVerdict& node = bus.nodes.front();
        ASSERT_TRUE(node.facts) << node.sReason;
        EXPECT_EQ(SourceName(node.source), "ip");
        EXPECT_EQ(node.facts->setting.lBRPMinus1, row.sample[0] == 'a' ? 21 : 0) << row.node;
        EXPECT_EQ(Codes(node.findings), row.codes) << row.node;
    }
}

} // namespace
} // namespace quillon
