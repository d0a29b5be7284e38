#pragma once
// The CAN FD side of a bus (Bus.h). A bus given a data rate runs CAN FD frames, and each FD
// node takes part in both phases with the setting its register words give (read as fd decode
// reads them), the one its Linux driver chooses by itself for the two rates, or one chosen for
// it. Both phases are judged as a classic bus is: in each, df_min is the smallest tolerance
// of any node, and the margin is df_min less the largest need, crystal tolerance + that
// phase's rate error. An FD node's tolerance in a phase is the smallest of the conditions of
// ISO 11898-1:2015 that phase's own segments enter, grouped as the FD recommendation groups
// them: 1, 2 and 4 in the nominal phase (the nominal bit, also after a data phase), 3 and 5 in
// the data phase (the data bit, also after the switch to it); the smaller of the two is the
// node's whole tolerance. A classic controller takes the FDF bit of an FD frame for its
// reserved bit and destroys the frame with an error frame: on an FD bus it is an error
// finding of its own, and the bus cannot carry FD frames.
#include "timing/bus/Bus.h"

#include <limits>
#include <optional>
#include <string>

namespace quillon {
inline namespace bus {

// The tolerance of each phase of an FD setting, in percent (see above).
double NominalTolerancePercent(const FdTolerance& tolerance);
double DataTolerancePercent(const FdTolerance& tolerance);

// A CAN FD bus as an FD node sees it: the two rates (kbit/s), the bus as built, and for the
// free nodes (FreeFdChoice.h) the smallest tolerance in each phase of the nodes that have a
// setting, percent (infinity for none).
struct FdNodeGoal {
    double dNominalKbps = 0.0;
    double dDataKbps = 0.0;
    BusContext bus;
    double dNominalDfPercent = std::numeric_limits<double>::infinity();
    double dDataDfPercent = std::numeric_limits<double>::infinity();
};

// A free FD node's setting, or why it has none.
struct FreeFdChoice {
    std::optional<FdSetting> setting;
    std::string sReason; // why there is none
};

// One FD node (Registers, Kernel or Free) on the bus of `goal`: its setting (a free node's
// from `free`, FreeFdChoice.h), the facts of both phases with the node's crystal tolerance,
// and each phase's numbers; the findings of its register words (bits outside the fields, the
// TDC word left out) among them.
NodeVerdict JudgeFdNode(const BusNode& node, const FdNodeGoal& goal, const FreeFdChoice& free = {});

// The error finding of a classic controller on a CAN FD bus.
Finding ClassicOnFdBusFinding(const Controller& row);

// The data phase over the FD nodes with a setting: df_min, the margin and the spread of the
// data sample points, into `bus`; zeros without any.
void JudgeDataPhase(BusVerdict& bus);

} // namespace bus
} // namespace quillon
