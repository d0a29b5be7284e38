#pragma once
// Several nodes on one bus. Each node brings its own controller, crystal and bit timing
// (registers it already has, segments, the Linux driver's own choice, or none yet), and
// the bus works only when every node samples every other node's bits: the accuracy the
// bus needs is set by the node with the smallest oscillator tolerance (df_min), and every
// node uses that budget for its crystal and its configuration error (its rate off the bus
// rate) together. Free nodes are given legal settings at their nearest rate that suit the
// bus as built (FreeNodeChoice.h says in which order).
#include "timing/classic/BitTiming.h"
#include "timing/common/RegisterReading.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace bus {

// Free: Quillon chooses the setting. Linux: Quillon chooses it among those the row's Linux
// driver takes through ip link (tq, prop-seg, phase-seg1, phase-seg2, sjw). Interface: what
// `ip -details link show` of the node's interface says it runs.
enum class NodeSource { Registers, Segments, Kernel, Free, Linux, Interface };
std::string_view SourceName(NodeSource source); // "registers", ..., "free", "linux", "ip"
inline bool IsFree(NodeSource source) {
    return source == NodeSource::Free || source == NodeSource::Linux;
}

inline constexpr std::size_t kMinBusNodes = 2;
inline constexpr std::size_t kMaxBusNodes = 16;

struct BusNode {
    std::string sName;
    const Controller* controller = &DefaultController(); // a classic row of the table
    double dOscFreqMHz = 0.0;
    std::optional<double> dCrystalPpm; // nothing: the bus's (BusContext::dCrystalPpm)
    NodeSource source = NodeSource::Free;
    // Registers: in the order of the controller's register layout.
    std::vector<unsigned> registers;
    // Segments: BRP-1, Tq count, propagation, phase 1, phase 2 (programmed), SJW.
    int lBRPMinus1 = 0;
    SegmentSettings segments;
    // Interface: the file named (read by the front end) and the `ip -details` text in it.
    std::string sIpDetailsFile;
    std::string sIpDetails;
};

struct NodeVerdict {
    std::string sName;
    const Controller* controller = &DefaultController(); // a classic row of the table
    NodeSource source = NodeSource::Free;
    double dCrystalPpm = kDefaultCrystalPpm; // its own, or the bus's
    // Without a setting (the kernel finds none) `sReason` says why, and the bus cannot work.
    std::optional<BitTimingFacts> facts;
    std::string sReason;
    double dActualBps = 0.0;
    double dErrorPercent = 0.0;     // (bus rate - actual) / bus rate x 100, as the report has it
    double dTolerancePercent = 0.0; // df of its bit, in percent
    double dNeedPercent = 0.0;      // crystal tolerance + |configuration error|, in percent
    // What the registers show and what is wrong with its setting on this bus, errors first.
    Findings findings;
};

struct BusVerdict {
    double dRateKbps = 0.0;
    std::vector<NodeVerdict> nodes; // in the given order
    double dDfMinPercent = 0.0;
    double dMarginPercent = 0.0; // df_min - the largest need
    double dSamplePointSpreadPercent = 0.0;
    bool bCompatible = false;
    // A node without a setting makes the whole bus unusable; its reason is here too.
    std::vector<std::string> problems;
};

// Works out every node (choosing the free ones) and the bus. `nodes` holds 2..16 nodes.
// `context` is the bus as built; a node's own crystal tolerance stands for the bus's.
BusVerdict CheckBus(double dRateKbps, const std::vector<BusNode>& nodes,
                    const BusContext& context = {});

} // namespace bus
} // namespace quillon
