// CAN FD nodes on one bus: both phases' margins worked by hand from register words, the free
// FD node's choice against the candidate list, the classic node that cannot take part, a
// data rate below the nominal one, and the FD node grammar.
#include "timing/bus/BusNodeText.h"
#include "timing/bus/FreeFdChoice.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

BusNode Node(const std::string& text) {
    const BusNodeParse parsed = ParseBusNode(text);
    EXPECT_TRUE(parsed.node) << text << ": " << parsed.sError;
    return parsed.node.value_or(BusNode{});
}

// a: 40 MHz, nominal BRP 1 x 80 Tq (TSEG1 69 = 34 + 35, TSEG2 10, SJW 5), data BRP 1 x 20 Tq
// (TSEG1 14, TSEG2 5, SJW 2): conditions 1 5/1600 = 0.3125 %, 2 10/2060, 3 2/400, 4 10/1350,
// 5 2/470 = 0.42553 %; nominal df min(1, 2, 4) = 0.3125 %, data df min(3, 5) = 0.42553 %.
constexpr const char* kA = "a=mcp2518fd@40:registers=0x00440904,0x000D0401,0x00020F00";
// b: 20 MHz, nominal BRP 1 x 40 Tq (TSEG1 31 = 15 + 16, TSEG2 8, SJW 8), data BRP 1 x 10 Tq
// (TSEG1 7, TSEG2 2, SJW 2), TDCO 8: conditions 1 8/800, 2 8/1024 = 0.78125 %, 3 2/200,
// 4 8/676, 5 2/228 = 0.87719 %.
constexpr const char* kB = "b=mcp2517fd@20:registers=0x001E0707,0x00060101,0x00020800";
// a with data TSEG1 15, 21 Tq: 1.90476 Mbit/s, 100/21 % below the data rate; conditions
// 3 2/420, 5 2/(2 x 239) = 0.41841 %; no CiTDC word.
constexpr const char* kSlowData = "s=mcp2518fd@40:registers=0x00440904,0x000E0401";

TEST(FdBus, TwoNodesFromRegistersWorkedByHand) {
    const struct {
        const char* name;
        std::vector<std::string> nodes;
        double margin, dataMargin;
        bool compatible;
    } rows[] = {
        // Both exact; b's crystal of 2000 ppm is the largest need in either phase.
        {"crystal within both",
         {kA, kB + std::string(":ppm=2000")},
         0.3125 - 0.2,
         200.0 / 470 - 0.2,
         true},
        // 3500 ppm: the data phase still holds, the nominal phase does not.
        {"nominal fails alone",
         {kA, kB + std::string(":ppm=3500")},
         0.3125 - 0.35,
         200.0 / 470 - 0.35,
         false},
        // A data phase 4.76 % slow: its need swamps the data phase's df_min only.
        {"data rate off", {kSlowData, kB}, 0.3125 - 0.01, 200.0 / 478 - (100.0 / 21 + 0.01), false},
    };
    for (const auto& row : rows) {
        std::vector<BusNode> nodes;
        for (const std::string& text : row.nodes) {
            nodes.push_back(Node(text));
        }
        const BusVerdict bus = CheckBus(500, nodes, {}, 2000);
        EXPECT_TRUE(bus.problems.empty()) << row.name;
        EXPECT_NEAR(bus.dDfMinPercent, 0.3125, 1e-9) << row.name;
        EXPECT_NEAR(bus.dMarginPercent, row.margin, 1e-9) << row.name;
        EXPECT_NEAR(bus.dDataMarginPercent, row.dataMargin, 1e-9) << row.name;
        EXPECT_EQ(bus.bCompatible, row.compatible) << row.name;
    }
    const BusVerdict both = CheckBus(500, {Node(kA), Node(kB)}, {}, 2000);
    EXPECT_NEAR(both.nodes[1].dTolerancePercent, 0.78125, 1e-9);
    EXPECT_NEAR(both.nodes[1].dDataTolerancePercent, 200.0 / 228, 1e-9);
    EXPECT_DOUBLE_EQ(both.dSamplePointSpreadPercent, 87.5 - 80.0);     // 70/80 and 32/40
    EXPECT_DOUBLE_EQ(both.dDataSamplePointSpreadPercent, 80.0 - 75.0); // 15/20 and 8/10
    EXPECT_EQ(both.nodes[1].fdFacts->setting.tdc.lOffset, 8);

    const BusVerdict slow = CheckBus(500, {Node(kSlowData), Node(kB)}, {}, 2000);
    EXPECT_NEAR(slow.nodes[0].dDataErrorPercent, 100.0 / 21, 1e-9); // positive: below the rate
    EXPECT_TRUE(HasCode(slow.nodes[0].findings, code::kRateOffTarget));
    EXPECT_EQ(slow.nodes[0].findings.back().sCode, code::kRegisterBits) << "CiTDC left out";
}

// The free nodes' choice, worked from 'fd candidates' and 'fd timing --pick K --recommend'.
TEST(FdBus, FreeNodesChosenTogether) {
    const struct {
        const char* name;
        double nominal, data;
        std::vector<std::string> nodes;
        std::size_t node; // the free node looked at
        int nbrp, ntq, dbrp, dtq;
    } rows[] = {
        // 1 x 80 / 1 x 20 and 2 x 40 / 2 x 10: nominal condition 2 10/2060 = 5/1030 in both;
        // data condition 5 5/470 and 3/236: the second. 4 x 20 / 4 x 5 tolerates more, but with
        // a data BRP of 4 TDC cannot work.
        {"alone: the larger data margin", 500, 2000, {"f=mcp2518fd@40"}, 0, 2, 40, 2, 10},
        // 2 x 20 / 2 x 5 (13/3/3, SJW 3): nominal condition 2 3/514 = 0.5837 %, against 5/1030.
        {"alone: the larger nominal margin", 500, 2000, {"f=mcp2517fd@20"}, 0, 2, 20, 2, 5},
        // 250 kbit/s needs a data BRP of 4 or more; of the same quanta 32 x 10 / 32 x 5 (SJW 3
        // of 10) tolerates most.
        {"no TDC possible", 125, 250, {"f=mcp2518fd@40"}, 0, 32, 10, 32, 5},
        // Beside a (0.3125 % nominal, 0.4255 % data) both pairs above keep the margins; 87.5
        // and 70 % lie 5 points from the recommendation, 85 and 60 % 17.5.
        {"beside a fixed node: the sample points",
         500,
         2000,
         {kA, "f=mcp2517fd@20"},
         1,
         1,
         40,
         1,
         10},
        // Two free: the 40 MHz node's best nominal df, 5/1030, is df_min, which both of the
        // 20 MHz node's pairs keep, and so is its best data df, 3/236; then the sample points.
        {"two free, the 20 MHz", 500, 2000, {"f=mcp2517fd@20", "g=mcp2518fd@40"}, 0, 1, 40, 1, 10},
        {"two free, the 40 MHz", 500, 2000, {"f=mcp2517fd@20", "g=mcp2518fd@40"}, 1, 2, 40, 2, 10},
    };
    for (const auto& row : rows) {
        std::vector<BusNode> nodes;
        for (const std::string& text : row.nodes) {
            nodes.push_back(Node(text));
        }
        std::optional<FdSetting> chosen;
        if (nodes.size() == 1) { // no bus of one node: the choice alone
            FdNodeGoal goal;
            goal.dNominalKbps = row.nominal;
            goal.dDataKbps = row.data;
            chosen = ChooseFreeFdNodes({&nodes[0]}, goal).front().setting;
        } else if (const BusVerdict bus = CheckBus(row.nominal, nodes, {}, row.data);
                   bus.nodes[row.node].fdFacts) {
            chosen = bus.nodes[row.node].fdFacts->setting;
        }
        ASSERT_TRUE(chosen) << row.name;
        EXPECT_EQ(std::make_tuple(chosen->nominal.lBRP, chosen->nominal.TqCount(),
                                  chosen->data.lBRP, chosen->data.TqCount()),
                  std::make_tuple(row.nbrp, row.ntq, row.dbrp, row.dtq))
            << row.name;
    }
    // No pair within 1 % of 3 Mbit/s on 40 MHz: the node has no setting and the bus says so
    // (the kernel takes 13 Tq, 2.56 % fast).
    const BusVerdict none =
        CheckBus(500, {Node("a=mcp2518fd@40"), Node("b=mcp2518fd@40:kernel")}, {}, 3000);
    EXPECT_FALSE(none.bCompatible);
    EXPECT_EQ(none.problems, std::vector<std::string>{"a: no prescaler and Tq count of both "
                                                      "phases give 500 kbit/s and 3000 kbit/s "
                                                      "within 1 % on 40 MHz"});
    EXPECT_NEAR(none.nodes[1].dDataErrorPercent, -100.0 / 39, 1e-9);
}

TEST(FdBus, ClassicNodeCannotTakePart) {
    const BusVerdict bus =
        CheckBus(500, {Node(kA), Node("u=mcp2515@16:kernel"), Node("p=pic18@40")}, {}, 2000);
    EXPECT_FALSE(bus.bCompatible);
    EXPECT_EQ(bus.classicNodes, (std::vector<std::string>{"u", "p"}));
    for (const std::size_t i : {std::size_t{1}, std::size_t{2}}) {
        const NodeVerdict& node = bus.nodes[i];
        ASSERT_TRUE(node.facts) << node.sName;
        EXPECT_EQ(node.findings.front().sCode, code::kClassicOnFdBus) << node.sName;
        EXPECT_EQ(node.findings.front().severity, Severity::Error) << node.sName;
    }
    // The nominal phase is judged with them, the data phase without: a's alone.
    EXPECT_GE(bus.dMarginPercent, 0.0);
    EXPECT_NEAR(bus.dDataDfMinPercent, 200.0 / 470, 1e-9);

    // Without a data rate an FD node is not judged at all, and the bus says why.
    const BusVerdict classic = CheckBus(500, {Node(kA), Node("u=mcp2515@16:kernel")});
    EXPECT_FALSE(classic.bCompatible);
    EXPECT_FALSE(classic.nodes[0].HasSetting());
    EXPECT_EQ(classic.problems,
              std::vector<std::string>{"a: the mcp2518fd is a CAN FD controller; the bus needs its "
                                       "data rate to judge it"});
}

// A data rate below the nominal one is judged as given, and each node is told that the data
// phase is meant to be the faster one. Its long data bit makes condition 4, which the nominal
// phase's segments enter, the smallest: r at 20 MHz, nominal 1 x 40 Tq (15 + 16, TSEG2 8,
// SJW 8), data 5 x 16 Tq (TSEG1 13, TSEG2 2, SJW 2) for 500 and 250 kbit/s: conditions
// 1 8/800, 2 8/1024, 3 2/320 = 0.625 %, 4 8/(2 ((96 - 2) x 5 + 280)) = 8/1500 = 0.5333 %,
// 5 2/(2 (72/5 + 2 + 64)) = 1.2438 %. A node left to its Linux driver has no setting at all:
// the kernel refuses to open an interface whose data rate is below the nominal one.
TEST(FdBus, DataRateBelowNominal) {
    const BusVerdict bus = CheckBus(500,
                                    {Node("r=mcp2517fd@20:registers=0x001E0707,0x040C0101"),
                                     Node("a=mcp2518fd@40:kernel:ppm=50")},
                                    {}, 250);
    EXPECT_TRUE(HasCode(bus.nodes[0].findings, code::kFdDataBelowNominal));
    EXPECT_NEAR(bus.nodes[0].dTolerancePercent, 800.0 / 1500, 1e-9);
    EXPECT_NEAR(bus.nodes[0].dDataTolerancePercent, 0.625, 1e-9);
    EXPECT_FALSE(bus.nodes[1].fdFacts);
    EXPECT_NE(bus.nodes[1].sReason.find("refuses to open"), std::string::npos)
        << bus.nodes[1].sReason;
    EXPECT_FALSE(bus.bCompatible);
}

TEST(FdBusNodeText, WordsAndRefusals) {
    EXPECT_EQ(Node(kA).registers, (std::vector<unsigned>{0x00440904, 0x000D0401, 0x00020F00}));
    EXPECT_EQ(Node("m=same51@48:registers=0x0A00520B,0x00030A33").registers.size(), 2U);
    const std::pair<const char*, const char*> rows[] = {
        {"f=mcp2518fd@40:cnf=1,2,3", "node 'f': cnf: mcp2518fd is a CAN FD controller: set it "
                                     "with registers=W1,W2[,W3], kernel, ip=FILE or free"},
        {"f=mcp2518fd@40:linux", "node 'f': linux: mcp2518fd is a CAN FD controller: set it with "
                                 "registers=W1,W2[,W3], kernel, ip=FILE or free"},
        {"f=mcp2518fd@40:registers=1", "node 'f': registers: 2 or 3 words are needed "
                                       "(CiNBTCFG,CiDBTCFG[,CiTDC]), 1 was given"},
        {"m=mcan@40:registers=1,2,3,4", "node 'm': registers: 2 or 3 words are needed "
                                        "(NBTP,DBTP[,TDCR]), 4 were given"},
        {"d=dspic33c@40:kernel", "node 'd': kernel: the dspic33c has no Linux driver whose own "
                                 "choice could be taken"},
    };
    for (const auto& [text, error] : rows) {
        const BusNodeParse parsed = ParseBusNode(text);
        EXPECT_FALSE(parsed.node) << text;
        EXPECT_EQ(parsed.sError, error) << text;
    }
}

} // namespace
} // namespace quillon
