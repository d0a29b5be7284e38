#pragma once
// Several nodes on one bus. Each node brings its own controller, crystal and bit timing
// (registers it already has, segments, the Linux driver's own choice, or none yet), and
// the bus works only when every node samples every other node's bits: the accuracy the
// bus needs is set by the node with the smallest oscillator tolerance (df_min), and every
// node uses that budget for its crystal and its configuration error (its rate off the bus
// rate) together. Free nodes are given legal settings at their nearest rate that suit the
// bus as built (FreeNodeChoice.h says in which order). A bus given a data rate runs CAN FD
// frames: its FD nodes are judged in both phases and a classic node cannot take part
// (FdBus.h).
#include "timing/classic/BitTiming.h"
#include "timing/common/RegisterReading.h"
#include "timing/fd/FdTiming.h"

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
    const Controller* controller = &DefaultController(); // a classic or CAN FD row
    // The clock the row's rule starts from; for a CAN FD row SYSCLK, or the M_CAN's CAN clock.
    double dOscFreqMHz = 0.0;
    std::optional<double> dCrystalPpm; // nothing: the bus's (BusContext::dCrystalPpm)
    NodeSource source = NodeSource::Free;
    // Registers: in the order of the controller's register layout; for a CAN FD row its two
    // or three words (CiNBTCFG, CiDBTCFG[, CiTDC] or NBTP, DBTP[, TDCR]).
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
    const Controller* controller = &DefaultController(); // a classic or CAN FD row
    NodeSource source = NodeSource::Free;
    double dCrystalPpm = kDefaultCrystalPpm; // its own, or the bus's
    // A classic node's facts, or a CAN FD node's of both phases; neither without a setting
    // (the kernel finds none), and then `sReason` says why, and the bus cannot work.
    std::optional<BitTimingFacts> facts;
    std::optional<FdFacts> fdFacts;
    std::string sReason;
    // The nominal phase (a classic node's only one).
    double dActualBps = 0.0;
    double dErrorPercent = 0.0;     // (bus rate - actual) / bus rate x 100, as the report has it
    double dTolerancePercent = 0.0; // df of its bit, in percent (FdBus.h: of an FD node)
    double dNeedPercent = 0.0;      // crystal tolerance + |configuration error|, in percent
    // A CAN FD node's data phase, the same numbers against the data rate.
    double dDataActualBps = 0.0;
    double dDataErrorPercent = 0.0;
    double dDataTolerancePercent = 0.0;
    double dDataNeedPercent = 0.0;
    // What the registers show and what is wrong with its setting on this bus, errors first.
    Findings findings;

    bool HasSetting() const { return facts.has_value() || fdFacts.has_value(); }
    // The sample point of its (nominal) bit and that bit's length; 0 without a setting.
    double SamplePointPercent() const;
    double BitSeconds() const;
};

struct BusVerdict {
    double dRateKbps = 0.0;
    double dDataRateKbps = 0.0;     // 0: a classic bus
    std::vector<NodeVerdict> nodes; // in the given order
    // The nominal phase (a classic bus's only one), over every node with a setting.
    double dDfMinPercent = 0.0;
    double dMarginPercent = 0.0; // df_min - the largest need
    double dSamplePointSpreadPercent = 0.0;
    // The data phase of a CAN FD bus, over its FD nodes; 0 on a classic bus.
    double dDataDfMinPercent = 0.0;
    double dDataMarginPercent = 0.0;
    double dDataSamplePointSpreadPercent = 0.0;
    bool bCompatible = false;
    // A node without a setting makes the whole bus unusable; its reason is here too.
    std::vector<std::string> problems;
    // The classic nodes of a CAN FD bus, which make it unusable for CAN FD frames.
    std::vector<std::string> classicNodes;

    bool IsFd() const { return dDataRateKbps > 0; }
};

// Works out every node (choosing the free ones) and the bus. `nodes` holds 2..16 nodes.
// `context` is the bus as built; a node's own crystal tolerance stands for the bus's. With
// a data rate (kbit/s) the bus runs CAN FD frames (FdBus.h); without one an FD node has no
// setting, with the reason.
BusVerdict CheckBus(double dRateKbps, const std::vector<BusNode>& nodes,
                    const BusContext& context = {}, double dDataRateKbps = 0.0);

} // namespace bus
} // namespace quillon
