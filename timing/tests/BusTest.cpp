// Several nodes on one bus: hand-worked buses, the free-node choice against a search over
// every legal setting, and the refusals of the one-line node description.
#include "timing/bus/BusNodeText.h"
#include "timing/classic/Analysis.h"
#include "timing/classic/CandidateSearch.h"
#include "timing/classic/QuantumLength.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillon {
namespace {

BusNode Node(const char* text) {
    const BusNodeParse parsed = ParseBusNode(text);
    EXPECT_TRUE(parsed.node) << text << ": " << parsed.sError;
    return parsed.node.value_or(BusNode{});
}

// Worked by hand: 16 MHz, BRP-1 0, 16 Tq with 1/8/6 and SJW 1 gives df = min(1/320,
// 6/(2 x 202)) = 0.3125 %; a crystal of 100 ppm needs 0.01 %.
TEST(Bus, HandWorkedBuses) {
    const BusVerdict same = CheckBus(500, {Node("a=mcp251x@16:segments=0/16/1/8/6/1"),
                                           Node("b=mcp251x@16:segments=0/16/1/8/6/1:ppm=50")});
    EXPECT_TRUE(same.bCompatible);
    EXPECT_DOUBLE_EQ(same.dDfMinPercent, 0.3125);
    EXPECT_NEAR(same.dMarginPercent, 0.3125 - 0.01, 1e-12);
    EXPECT_DOUBLE_EQ(same.dSamplePointSpreadPercent, 0.0);

    // Firmware for 16 MHz on an 8 MHz board runs at half the rate: a configuration error of
    // 50 % that no tolerance covers. The registers' findings say so.
    const BusVerdict slow = CheckBus(500, {Node("a=mcp251x@16:segments=0/16/1/8/6/1"),
                                           Node("half=mcp251x@8:cnf=0x00,0xF0,0x86")});
    EXPECT_FALSE(slow.bCompatible);
    EXPECT_NEAR(slow.nodes[1].dErrorPercent, 50.0, 1e-9);
    EXPECT_NEAR(slow.dMarginPercent, 0.3125 - 50.01, 1e-9);
    EXPECT_FALSE(slow.nodes[1].findings.empty());

    // A Raspberry Pi whose kernel chose 6/7/2 beside a copied table with 1/7/7: both
    // tolerate 0.3125 %, and their sample points lie 87.5 - 56.25 apart.
    const BusVerdict mixed =
        CheckBus(500, {Node("pi=mcp251x@16:kernel"), Node("uno=mcp251x@16:cnf=0x00,0xF0,0x86")});
    EXPECT_TRUE(mixed.bCompatible);
    EXPECT_EQ(mixed.nodes[0].facts->setting.segments.lPropagation, 6);
    EXPECT_DOUBLE_EQ(mixed.dSamplePointSpreadPercent, 87.5 - 56.25);

    // The kernel finds nothing for 8 MHz at 1 Mbit/s: that node has no timing at all.
    const BusVerdict none = CheckBus(1000, {Node("pi=mcp251x@8:kernel"), Node("b=pic18@40")});
    EXPECT_FALSE(none.bCompatible);
    EXPECT_EQ(none.problems, std::vector<std::string>{"pi: bitrate error: 33.3% too high"});
}

struct Legal {
    double df, need, sample, roundTrip;
};

// Every legal setting of a node, every SJW included, worked out from the model's pieces.
std::vector<Legal> EveryLegalSetting(double osc, double ppm, double busBps) {
    std::vector<Legal> all;
    for (int b = kMinBRPMinus1; b <= kMaxBRPMinus1; ++b) {
        const double actual = 1.0 / ReportTqSeconds(osc, b);
        for (int n = kMinTqCount; n <= kMaxTqCount; ++n) {
            const double need = ppm * 1e-4 + std::fabs((busBps - actual / n) / busBps * 100);
            for (int p = 1; p <= 8; ++p) {
                for (int q = 1; q <= 8; ++q) {
                    for (int j = 1; j <= 4; ++j) {
                        const SegmentSettings s{n, p, q, n - 1 - p - q, j};
                        if (s.lPhase2 >= 2 && s.lPhase2 <= 8 &&
                            CheckTimingRules(true, s) == TimingVerdict::Pass) {
                            all.push_back({OscillatorTolerance(n, q, s.lPhase2, j) * 100, need,
                                           100.0 * (1 + p + q) / n, p * DiagramTqSeconds(osc, b)});
                        }
                    }
                }
            }
        }
    }
    return all;
}

// One fixed node and one free one: the largest margin any legal setting gives, and of those
// the sample point nearest the fixed node's, then the longest propagation.
TEST(Bus, FreeNodeMatchesASearchOverEveryLegalSetting) {
    for (const auto& [fixed, free, rate] :
         {std::tuple{"f=mcp251x@16:segments=0/16/1/8/6/1", "x=pic18@40", 500.0},
          {"f=mcp251x@20:segments=4/10/3/4/2/2", "x=dspic33f@29.4912:ppm=30", 250.0},
          {"f=mcp251x@16:kernel:ppm=5000", "x=mcp251x@12", 125.0}}) {
        const BusVerdict bus = CheckBus(rate, {Node(fixed), Node(free)});
        const NodeVerdict& f = bus.nodes[0];
        double best = -std::numeric_limits<double>::infinity();
        const std::vector<Legal> all =
            EveryLegalSetting(Node(free).dOscFreqMHz, Node(free).dCrystalPpm, rate * 1000);
        for (const Legal& l : all) {
            best = std::max(best,
                            std::min(f.dTolerancePercent, l.df) - std::max(f.dNeedPercent, l.need));
        }
        EXPECT_NEAR(bus.dMarginPercent, best, 1e-9) << free;
        double nearest = std::numeric_limits<double>::infinity();
        for (const Legal& l : all) {
            if (std::min(f.dTolerancePercent, l.df) - std::max(f.dNeedPercent, l.need) >=
                best - 1e-9) {
                nearest = std::min(nearest, std::fabs(l.sample - f.facts->dSamplePointPercent));
            }
        }
        const NodeVerdict& x = bus.nodes[1];
        EXPECT_NEAR(std::fabs(x.facts->dSamplePointPercent - f.facts->dSamplePointPercent), nearest,
                    1e-9)
            << free;
        EXPECT_EQ(x.facts->Passes(), true);
    }
}

// Of settings with the same need only the most tolerant can matter to the margin.
std::vector<Legal> MostTolerantPerNeed(std::vector<Legal> all) {
    std::sort(all.begin(), all.end(), [](const Legal& x, const Legal& y) {
        return x.need < y.need || (x.need == y.need && x.df > y.df);
    });
    all.erase(std::unique(all.begin(), all.end(),
                          [](const Legal& x, const Legal& y) { return x.need == y.need; }),
              all.end());
    return all;
}

// Two free nodes together: the margin equals the best over every pair of settings.
TEST(Bus, TwoFreeNodesTogether) {
    const BusVerdict bus = CheckBus(500, {Node("a=mcp251x@10"), Node("b=pic18@24:ppm=2000")});
    const std::vector<Legal> a = MostTolerantPerNeed(EveryLegalSetting(10, 100, 500000));
    const std::vector<Legal> b = MostTolerantPerNeed(EveryLegalSetting(24, 2000, 500000));
    double best = -std::numeric_limits<double>::infinity();
    for (const Legal& x : a) {
        for (const Legal& y : b) {
            best = std::max(best, std::min(x.df, y.df) - std::max(x.need, y.need));
        }
    }
    EXPECT_NEAR(bus.dMarginPercent, best, 1e-9);
}

TEST(BusNodeText, RefusalsNameTheNodeAndTheField) {
    const std::pair<const char*, const char*> rows[] = {
        {"pi", "node: 'pi': write NAME=CONTROLLER@MHZ[:setting][:ppm=N]"},
        {"=mcp251x@16", "node: '=mcp251x@16': write NAME=CONTROLLER@MHZ[:setting][:ppm=N]"},
        {"pi=can@16", "node 'pi': controller: 'can' is no controller Quillon knows (mcp251x, "
                      "mcp2510, mcp2515, mcp25625, pic18, dspic30, dspic33f, dspic33e, pic24h, "
                      "pic24e, pic32mx, at91)"},
        {"f=mcp2518fd@40", "node 'f': controller: mcp2518fd is a CAN FD controller: use "
                           "quillon-cli fd"},
        {"x=pic32mx@80:cnf=1,2,3", "node 'x': cnf: pic32mx is set with registers"},
        {"pi=mcp251x@x", "node 'pi': oscillator: 'x' is no number of MHz"},
        {"pi=mcp251x@0.5", "node 'pi': oscillator: The oscillator must be greater than 0."},
        {"pi=mcp251x@16:cnf=1,2",
         "node 'pi': cnf: 3 values are needed (CNF1,CNF2,CNF3), 2 were given"},
        {"pi=mcp251x@16:cnf=1,2,0x100", "node 'pi': cnf: CNF3: 0x100 is above 0xFF (255)"},
        {"d=dspic33f@40:cicfg=1,0x10000",
         "node 'd': cicfg: CiCFG2: 0x10000 is above 0xFFFF (65535)"},
        {"d=dspic33f@40:cnf=1,2,3", "node 'd': cnf: dspic33f is set with cicfg"},
        {"p=pic18@40:cicfg=1,2", "node 'p': cicfg: pic18 is set with cnf"},
        {"p=pic18@40:kernel", "node 'p': kernel: the pic18 has no Linux driver whose own choice "
                              "could be taken"},
        {"p=pic18@40:segments=1/2/3", "node 'p': segments: six values "
                                      "BRP1/TQ/PROP/PHASE1/PHASE2/SJW are needed"},
        {"p=pic18@40:segments=1/16/9/3/3/1",
         "node 'p': segments: PROP '9' is no whole number from 1 to 8"},
        {"p=pic18@40:ppm=-3", "node 'p': ppm: '-3' is no crystal tolerance in ppm"},
        {"p=pic18@40:free:kernel", "node 'p': kernel: a node has one setting; another was given "
                                   "before"},
        {"p=pic18@40:fast", "node 'p': fast: unknown; use cnf=, cicfg=, registers=, segments=, "
                            "kernel, free or ppm="},
    };
    for (const auto& [text, error] : rows) {
        const BusNodeParse parsed = ParseBusNode(text);
        EXPECT_FALSE(parsed.node) << text;
        EXPECT_EQ(parsed.sError, error) << text;
    }
    const BusNode node = Node("pi-3=mcp251x@16:cnf=0x01,145,1:ppm=50");
    EXPECT_EQ(node.registers, (std::vector<unsigned>{1, 145, 1}));
    EXPECT_EQ(node.source, NodeSource::Registers);
    EXPECT_EQ(node.dCrystalPpm, 50);
    EXPECT_EQ(Node("x=pic24h@20").source, NodeSource::Free);
}

} // namespace
} // namespace quillon
