// Several nodes on one bus: hand-worked buses (among them the ones users found wrong), the
// free nodes' choice against a search over every legal setting, what a node set through Linux
// may take, and the refusals of the one-line node description.
#include "timing/bus/BusNodeText.h"
#include "timing/classic/Analysis.h"
#include "timing/classic/QuantumLength.h"
#include "timing/linux/Mcp251xLinux.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillon {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

BusNode Node(const char* text) {
    const BusNodeParse parsed = ParseBusNode(text);
    EXPECT_TRUE(parsed.node) << text << ": " << parsed.sError;
    return parsed.node.value_or(BusNode{});
}

std::vector<BusNode> Nodes(const std::vector<const char*>& texts) {
    std::vector<BusNode> nodes;
    for (const char* text : texts) {
        nodes.push_back(Node(text));
    }
    return nodes;
}

BusContext Length(std::optional<double> metres) {
    BusContext bus;
    bus.dBusLengthMetres = metres;
    return bus;
}

double LongestMetres(const BusContext& bus, const NodeVerdict& node) {
    return LongestBusMetres(bus, node.facts->analysis.dRoundTripSeconds);
}

// Worked by hand: 16 MHz, BRP-1 0, 16 Tq with 1/8/6 and SJW 1 gives df = min(1/320,
// 6/(2 x 202)) = 0.3125 %; a crystal of 100 ppm needs 0.01 %.
TEST(Bus, HandWorkedBuses) {
    const BusVerdict same = CheckBus(500, Nodes({"a=mcp251x@16:segments=0/16/1/8/6/1",
                                                 "b=mcp251x@16:segments=0/16/1/8/6/1:ppm=50"}));
    EXPECT_TRUE(same.bCompatible);
    EXPECT_DOUBLE_EQ(same.dDfMinPercent, 0.3125);
    EXPECT_NEAR(same.dMarginPercent, 0.3125 - 0.01, 1e-12);
    EXPECT_DOUBLE_EQ(same.dSamplePointSpreadPercent, 0.0);

    // Firmware for 16 MHz on an 8 MHz board runs at half the rate: a configuration error of
    // 50 % that no tolerance covers. The registers' findings say so.
    const BusVerdict slow = CheckBus(
        500, Nodes({"a=mcp251x@16:segments=0/16/1/8/6/1", "half=mcp251x@8:cnf=0x00,0xF0,0x86"}));
    EXPECT_FALSE(slow.bCompatible);
    EXPECT_NEAR(slow.nodes[1].dErrorPercent, 50.0, 1e-9);
    EXPECT_NEAR(slow.dMarginPercent, 0.3125 - 50.01, 1e-9);
    EXPECT_FALSE(slow.nodes[1].findings.empty());

    // A Raspberry Pi whose kernel chose 6/7/2 beside a copied table with 1/7/7: both
    // tolerate 0.3125 %, and their sample points lie 87.5 - 56.25 apart.
    const BusVerdict mixed =
        CheckBus(500, Nodes({"pi=mcp251x@16:kernel", "uno=mcp251x@16:cnf=0x00,0xF0,0x86"}));
    EXPECT_TRUE(mixed.bCompatible);
    EXPECT_EQ(mixed.nodes[0].facts->setting.segments.lPropagation, 6);
    EXPECT_DOUBLE_EQ(mixed.dSamplePointSpreadPercent, 87.5 - 56.25);

    // The kernel finds nothing for 8 MHz at 1 Mbit/s: that node has no timing at all.
    const BusVerdict none = CheckBus(1000, Nodes({"pi=mcp251x@8:kernel", "b=pic18@40"}));
    EXPECT_FALSE(none.bCompatible);
    EXPECT_EQ(none.problems, std::vector<std::string>{"pi: bitrate error: 33.3% too high"});

    // A node without ppm= takes the bus's crystals; one with it keeps its own.
    BusContext crystals;
    crystals.dCrystalPpm = 500;
    const BusVerdict ppm =
        CheckBus(500, Nodes({"a=mcp251x@16:kernel", "b=pic18@40:ppm=20"}), crystals);
    EXPECT_EQ(ppm.nodes[0].dCrystalPpm, 500);
    EXPECT_NEAR(ppm.nodes[0].dNeedPercent, 0.05, 1e-12);
    EXPECT_EQ(ppm.nodes[1].dCrystalPpm, 20);
}

// The buses users reported, worked by hand.
TEST(Bus, FreeNodesOnTheBusesUsersReported) {
    // Beside an Uno with 1/3/3 and SJW 1 (62.5 %), the free nodes took SJW 4 with phase 1 3
    // and SJW 3 with phase 1 2; now no SJW is longer than either phase.
    const BusVerdict beside =
        CheckBus(500, Nodes({"uno=mcp251x@8:cnf=0x00,0x90,0x02", "pi=mcp251x@16", "plc=pic18@40"}));
    for (const std::size_t i : {std::size_t{1}, std::size_t{2}}) {
        const SegmentSettings& s = beside.nodes[i].facts->setting.segments;
        EXPECT_LE(s.lSJW, std::min(s.lPhase1, s.lPhase2)) << beside.nodes[i].sName;
        EXPECT_FALSE(HasCode(beside.nodes[i].findings, code::kSjwAbovePhase));
        EXPECT_FALSE(HasError(beside.nodes[i].findings)) << beside.nodes[i].sName;
    }
    EXPECT_TRUE(beside.bCompatible);

    // All free. The 8 MHz node has 8 Tq of 250 ns at 500 kbit/s, so 75 % is its latest
    // sample point; covering two transceivers (2 x 255 ns) takes 3 Tq, and of 3/2/2 (SJW 2,
    // df 2/(2 x 102) = 0.98 %), 3/1/3 and 4/1/2 (SJW 1) the first tolerates most. The others
    // keep that tolerance, and so sample at 75 % too, instead of 62.5 % with 1 Tq propagation.
    const BusVerdict free =
        CheckBus(500, Nodes({"uno=mcp251x@8", "pi=mcp251x@16", "plc=pic18@40"}));
    const SegmentSettings& uno = free.nodes[0].facts->setting.segments;
    EXPECT_EQ(std::tie(uno.lPropagation, uno.lPhase1, uno.lPhase2, uno.lSJW),
              std::make_tuple(3, 2, 2, 2));
    for (const NodeVerdict& node : free.nodes) {
        EXPECT_DOUBLE_EQ(node.facts->dSamplePointPercent, 75.0) << node.sName;
        EXPECT_GT(LongestMetres({}, node), 9.0) << node.sName;
    }
    EXPECT_NEAR(free.dDfMinPercent, 100.0 / 102, 1e-9);

    // At 1 Mbit/s the 4 MHz node comes no nearer than 250 kbit/s, but that is no reason for
    // the 40 MHz node to leave 1 Mbit/s: 10 Tq of 100 ns, 6 of them to cover the transceivers.
    const BusVerdict fast = CheckBus(1000, Nodes({"a=mcp251x@4", "b=pic18@40"}));
    EXPECT_DOUBLE_EQ(fast.nodes[0].dActualBps, 250000.0);
    EXPECT_DOUBLE_EQ(fast.nodes[1].dActualBps, 1000000.0);
    EXPECT_EQ(fast.nodes[1].dErrorPercent, 0.0);
    EXPECT_EQ(fast.nodes[1].facts->setting.segments.lPropagation, 6);
}

// A bus of a given length: 40 m at 5 ns/m and two 255 ns transceivers is a 910 ns round
// trip, 8 Tq of 125 ns at 16 MHz, 5 of 200 ns or 4 of 250 ns at 40 MHz. At 100 m (1510 ns) no
// setting of a 2 us bit covers it, and the findings say so as errors.
TEST(Bus, PropagationCoversTheBusLength) {
    const BusVerdict forty = CheckBus(500, Nodes({"pi=mcp251x@16", "plc=pic18@40"}), Length(40));
    for (const NodeVerdict& node : forty.nodes) {
        EXPECT_TRUE(CoversBus({}, node.facts->analysis.dRoundTripSeconds, 40)) << node.sName;
        EXPECT_FALSE(HasCode(node.findings, code::kPropagationShort)) << node.sName;
    }
    EXPECT_EQ(forty.nodes[0].facts->setting.segments.lPropagation, 8);
    EXPECT_TRUE(forty.bCompatible);

    const BusVerdict hundred = CheckBus(500, Nodes({"pi=mcp251x@16", "plc=pic18@40"}), Length(100));
    for (const NodeVerdict& node : hundred.nodes) {
        EXPECT_TRUE(HasCode(node.findings, code::kPropagationShort)) << node.sName;
        EXPECT_TRUE(HasError(node.findings)) << node.sName;
    }
}

// One setting of a free node and what a bus's choice looks at.
struct Trait {
    double error, df, need, distance, longest;
    bool covers;
};

double Distance(double sample, const std::vector<double>& targets) {
    double best = kInf;
    for (const double target : targets) {
        best = std::min(best, std::fabs(sample - target));
    }
    return best;
}

// Every legal setting of a node, every SJW included, from the model's pieces; a node set
// through Linux only with what ToMcp251xLinux finds nothing against.
std::vector<Trait> EveryLegalSetting(const BusNode& node, double rateKbps, const BusContext& bus,
                                     const std::vector<double>& targets) {
    const Controller& row = *node.controller;
    const int periods = ClockPeriodsPerBrp(row.clock);
    const double length = bus.dBusLengthMetres.value_or(0);
    std::vector<Trait> all;
    for (int b = row.limits.brpMinus1Min; b <= row.limits.brpMinus1Max; ++b) {
        const double tq = ReportTqSeconds(node.dOscFreqMHz, b, periods);
        for (int n = row.limits.tqMin; n <= row.limits.tqMax; ++n) {
            const double error = std::fabs(1.0 / (n * tq) / (rateKbps * 1000) - 1) * 100;
            for (int p = 1; p <= 8; ++p) {
                for (int q = 1; q <= 8; ++q) {
                    for (int j = 1; j <= std::min(4, q); ++j) {
                        const SegmentSettings s{n, p, q, n - 1 - p - q, j};
                        if (s.lPhase2 < 2 || s.lPhase2 > 8 ||
                            CheckTimingRules(true, s) != TimingVerdict::Pass) {
                            continue;
                        }
                        BitTimingSetting setting{node.dOscFreqMHz, rateKbps, b, s, &row};
                        if (node.source == NodeSource::Linux &&
                            !ToMcp251xLinux(setting).problems.empty()) {
                            continue;
                        }
                        const double prop = p * DiagramTqSeconds(node.dOscFreqMHz, b, periods);
                        all.push_back({error, OscillatorTolerance(n, q, s.lPhase2, j) * 100,
                                       node.dCrystalPpm.value_or(bus.dCrystalPpm) * 1e-4 + error,
                                       Distance(100.0 * (1 + p + q) / n, targets),
                                       LongestBusMetres(bus, prop), CoversBus(bus, prop, length)});
                    }
                }
            }
        }
    }
    return all;
}

// A bus's choice never gets worse when one node's setting gives way to one at least as good
// in every respect, so only settings nothing beats need to be paired.
std::vector<Trait> Unbeaten(std::vector<Trait> all) {
    // Of settings alike but for their tolerance the most tolerant first, the rest dropped.
    const auto alike = [](const Trait& t) {
        return std::make_tuple(t.error, !t.covers, t.distance, -t.longest);
    };
    std::sort(all.begin(), all.end(), [&](const Trait& x, const Trait& y) {
        return std::make_tuple(alike(x), -x.df) < std::make_tuple(alike(y), -y.df);
    });
    all.erase(std::unique(all.begin(), all.end(),
                          [&](const Trait& x, const Trait& y) { return alike(x) == alike(y); }),
              all.end());
    std::vector<Trait> unbeaten;
    std::size_t last = 0; // the setting that beat the one before: likely to beat this one too
    for (const Trait& t : all) {
        const auto beats = [&](const Trait& u) {
            return u.error <= t.error && u.covers >= t.covers && u.df >= t.df &&
                   u.distance <= t.distance && u.longest >= t.longest;
        };
        if (last < unbeaten.size() && beats(unbeaten[last])) {
            continue;
        }
        const auto beater = std::find_if(unbeaten.begin(), unbeaten.end(), beats);
        if (beater == unbeaten.end()) {
            unbeaten.push_back(t);
        } else {
            last = static_cast<std::size_t>(beater - unbeaten.begin());
        }
    }
    return unbeaten;
}

// The order the free nodes are chosen by, smaller first: summed rate errors, nodes that do
// not cover the bus, minus the margin, summed distances to the nearest target sample point,
// minus the longest bus.
using Rank = std::tuple<double, int, double, double, double>;

template <typename Traits>
Rank RankOf(const Traits& free, double fixedDf, double fixedNeed, double fixedLongest) {
    double error = 0, dfMin = fixedDf, need = fixedNeed, distance = 0, longest = fixedLongest;
    int uncovered = 0;
    for (const Trait& t : free) {
        error += t.error;
        uncovered += t.covers ? 0 : 1;
        dfMin = std::min(dfMin, t.df);
        need = std::max(need, t.need);
        distance += t.distance;
        longest = std::min(longest, t.longest);
    }
    return {error, uncovered, need - dfMin, distance, -longest};
}

std::string Text(const Rank& rank) {
    return "rate errors " + std::to_string(std::get<0>(rank)) + " %, " +
           std::to_string(std::get<1>(rank)) + " not covering, margin " +
           std::to_string(-std::get<2>(rank)) + " %, distance " +
           std::to_string(std::get<3>(rank)) + ", longest " + std::to_string(-std::get<4>(rank)) +
           " m";
}

// Equal within rounding, else which is smaller.
bool Before(const Rank& a, const Rank& b) {
    const double x[] = {std::get<0>(a), double(std::get<1>(a)), std::get<2>(a), std::get<3>(a),
                        std::get<4>(a)};
    const double y[] = {std::get<0>(b), double(std::get<1>(b)), std::get<2>(b), std::get<3>(b),
                        std::get<4>(b)};
    for (std::size_t i = 0; i < std::size(x); ++i) {
        if (std::fabs(x[i] - y[i]) > 1e-7) {
            return x[i] < y[i];
        }
    }
    return false;
}

// The free nodes' choice against every legal setting of one or two free nodes together.
TEST(Bus, FreeNodesMatchASearchOverEveryLegalSetting) {
    const struct {
        const char* name;
        double rate;
        std::vector<const char*> nodes;
        std::optional<double> length;
    } rows[] = {
        {"pic18 beside a fixed node",
         500,
         {"f=mcp251x@16:segments=0/16/1/8/6/1", "x=pic18@40"},
         {}},
        {"odd crystal",
         250,
         {"f=mcp251x@20:segments=4/10/3/4/2/2", "x=dspic33f@29.4912:ppm=30"},
         {}},
        {"wide crystals", 125, {"f=mcp251x@16:kernel:ppm=5000", "x=mcp251x@12"}, {}},
        // The fixed node's 17/23 sample point is there for the taking 0.6 % off the rate.
        {"exact before near", 50, {"f=mcp251x@16:segments=6/23/8/8/6/1", "x=mcp251x@16"}, {}},
        {"through Linux, 40 m", 500, {"f=mcp251x@16:kernel", "x=mcp2515@20:linux"}, 40},
        {"AT91 through Linux", 1000, {"f=mcp2515@16:kernel", "x=at91@132:linux"}, {}},
        {"two free", 500, {"a=mcp251x@10", "b=pic18@24:ppm=2000"}, {}},
        {"two free, 30 m", 250, {"a=mcp2515@16:linux", "b=dspic33f@40"}, 30},
        {"two free, no exact rate",
         1000,
         {"a=mcp251x@4", "b=pic32mx@80", "f=mcp2515@16:kernel"},
         {}},
    };
    for (const auto& row : rows) {
        const std::vector<BusNode> nodes = Nodes(row.nodes);
        const BusContext bus = Length(row.length);
        const BusVerdict verdict = CheckBus(row.rate, nodes, bus);
        double fixedDf = kInf, fixedNeed = -kInf, fixedLongest = kInf;
        std::vector<double> targets;
        for (const NodeVerdict& node : verdict.nodes) {
            if (!IsFree(node.source)) {
                fixedDf = std::min(fixedDf, node.dTolerancePercent);
                fixedNeed = std::max(fixedNeed, node.dNeedPercent);
                fixedLongest = std::min(fixedLongest, LongestMetres(bus, node));
                targets.push_back(node.facts->dSamplePointPercent);
            }
        }
        if (targets.empty()) {
            targets.push_back(RecommendedSamplePointPercent(row.rate * 1000));
        }
        std::vector<std::vector<Trait>> settings;
        std::vector<Trait> chosen;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            if (!IsFree(nodes[i].source)) {
                continue;
            }
            settings.push_back(EveryLegalSetting(nodes[i], row.rate, bus, targets));
            const NodeVerdict& node = verdict.nodes[i];
            const SegmentSettings& s = node.facts->setting.segments;
            EXPECT_LE(s.lSJW, std::min(s.lPhase1, s.lPhase2)) << row.name;
            chosen.push_back(
                {std::fabs(node.dErrorPercent), node.dTolerancePercent, node.dNeedPercent,
                 Distance(node.facts->dSamplePointPercent, targets), LongestMetres(bus, node),
                 CoversBus(bus, node.facts->analysis.dRoundTripSeconds, row.length.value_or(0))});
        }
        if (settings.size() > 1) {
            for (std::vector<Trait>& node : settings) {
                node = Unbeaten(std::move(node));
            }
        }
        std::optional<Rank> best;
        const auto consider = [&](std::initializer_list<Trait> free) {
            const Rank rank = RankOf(free, fixedDf, fixedNeed, fixedLongest);
            if (!best || Before(rank, *best)) {
                best = rank;
            }
        };
        for (const Trait& a : settings[0]) {
            if (settings.size() == 1) {
                consider({a});
                continue;
            }
            for (const Trait& b : settings[1]) {
                consider({a, b});
            }
        }
        const Rank rank = RankOf(chosen, fixedDf, fixedNeed, fixedLongest);
        EXPECT_FALSE(Before(*best, rank) || Before(rank, *best))
            << row.name << ": chosen " << Text(rank) << "; best " << Text(*best);
    }
}

// A node set through Linux: its oscillator as the driver takes it, and each part of a setting
// taken exactly when ToMcp251xLinux has nothing against the whole.
TEST(Bus, LinuxNodeTakesWhatItsDriverTakes) {
    const BusVerdict refused = CheckBus(500, Nodes({"a=mcp2515@40:linux", "b=pic18@40"}));
    EXPECT_EQ(refused.problems,
              std::vector<std::string>{"a: The mcp251x driver refuses an oscillator of 40 MHz; it "
                                       "accepts 1 to 25 MHz."});
    for (const auto& [name, osc] : {std::pair{"mcp2515", 16.0}, {"at91", 132.0}}) {
        const Controller& row = *FindController(name);
        BitTimingSetting setting{osc, 500, 3, {16, 5, 6, 4, 3}, &row};
        for (int b = 0; b <= 130; ++b) {
            setting.lBRPMinus1 = b;
            EXPECT_EQ(DriverTakesPrescaler(row, osc, b), ToMcp251xLinux(setting).problems.empty())
                << name << " BRP-1 " << b;
        }
        setting.lBRPMinus1 = 3;
        for (int p = 1; p <= 8; ++p) {
            for (int q = 1; q <= 8; ++q) {
                for (int r = 1; r <= 9; ++r) {
                    for (int j = 1; j <= 5; ++j) {
                        setting.segments = {1 + p + q + r, p, q, r, j};
                        EXPECT_EQ(DriverTakesSegments(row, p, q, r, j),
                                  ToMcp251xLinux(setting).problems.empty())
                            << name << " " << p << "/" << q << "/" << r << "/" << j;
                    }
                }
            }
        }
    }
}

TEST(BusNodeText, RefusalsNameTheNodeAndTheField) {
    const std::pair<const char*, const char*> rows[] = {
        {"pi", "node: 'pi': write NAME=CONTROLLER@MHZ[:setting][:ppm=N]"},
        {"=mcp251x@16", "node: '=mcp251x@16': write NAME=CONTROLLER@MHZ[:setting][:ppm=N]"},
        {"pi=can@16", "node 'pi': controller: 'can' is no controller Quillon knows (mcp251x, "
                      "mcp2510, mcp2515, mcp25625, pic18, dspic30, dspic33f, dspic33e, pic24h, "
                      "pic24e, pic32mx, at91; CAN FD: mcp2517fd, mcp2518fd, mcp251863, dspic33c, "
                      "mcan)"},
        {"x=pic32mx@80:cnf=1,2,3", "node 'x': cnf: pic32mx is set with registers"},
        {"pi=mcp251x@x", "node 'pi': oscillator: 'x' is not a number"},
        {"pi=mcp251x@16,5", "node 'pi': oscillator: '16,5': a comma is no decimal point here; "
                            "did you mean 16.5?"},
        {"pi=mcp251x@0.5", "node 'pi': oscillator: The oscillator must be greater than 0."},
        {"uno=mcp251x@8000000", "node 'uno': oscillator: 8000000 looks like Hz: did you mean "
                                "8 MHz?"},
        {"p=pic18@40:ppm=50ppm", "node 'p': ppm: '50ppm': the unit is implied (ppm); give the "
                                 "number alone: 50"},
        {"pi=mcp251x@16:cnf=1,2",
         "node 'pi': cnf: 3 values are needed (CNF1,CNF2,CNF3), 2 were given"},
        {"pi=mcp251x@16:cnf=1,2,0x100", "node 'pi': cnf: CNF3: 0x100 is above 0xFF (255)"},
        {"d=dspic33f@40:cicfg=1,0x10000",
         "node 'd': cicfg: CiCFG2: 0x10000 is above 0xFFFF (65535)"},
        {"d=dspic33f@40:cnf=1,2,3", "node 'd': cnf: dspic33f is set with cicfg"},
        {"p=pic18@40:cicfg=1,2", "node 'p': cicfg: pic18 is set with cnf"},
        {"p=pic18@40:kernel", "node 'p': kernel: the pic18 has no Linux driver whose own choice "
                              "could be taken"},
        {"p=pic18@40:linux", "node 'p': linux: the pic18 has no Linux driver to be set through"},
        {"p=pic18@40:segments=1/2/3", "node 'p': segments: six values "
                                      "BRP1/TQ/PROP/PHASE1/PHASE2/SJW are needed"},
        {"p=pic18@40:segments=1/16/9/3/3/1",
         "node 'p': segments: PROP '9' is no whole number from 1 to 8"},
        {"p=pic18@40:ppm=-3", "node 'p': ppm: '-3' is no crystal tolerance from 0 to 20000 ppm"},
        {"p=pic18@40:ppm=25000",
         "node 'p': ppm: '25000' is no crystal tolerance from 0 to 20000 ppm"},
        {"p=pic18@40:free:kernel", "node 'p': kernel: a node has one setting; another was given "
                                   "before"},
        {"p=mcp2515@16:linux:free", "node 'p': free: a node has one setting; another was given "
                                    "before"},
        {"p=pic18@40:fast", "node 'p': fast: unknown; use cnf=, cicfg=, registers=, segments=, "
                            "kernel, linux, ip=, free or ppm="},
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
    EXPECT_FALSE(Node("x=pic24h@20").dCrystalPpm.has_value());
    EXPECT_EQ(Node("x=mcp2515@16:linux").source, NodeSource::Linux);
}

} // namespace
} // namespace quillon
