#pragma once
// The Linux kernel's own choice for a rate beside Quillon's: what the mcp251x driver runs
// with when it is given `bitrate` alone, Quillon's first candidate with its proposed and its
// recommended segments, and in plain sentences where they differ. `ip link ... bitrate`
// alone often gives other segments than the rest of a bus uses; this says which.
#include "timing/classic/BitTiming.h"
#include "timing/common/RecommendationGoal.h"
#include "timing/linux/Mcp251xLinux.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace linux {

struct KernelComparison {
    const Controller* pController = nullptr; // nullptr: the calculator's MCP2510/MCP251X
    double dOscFreqMHz = 0.0;
    double dTargetKbps = 0.0;
    // The sample point the kernel is given ("sample-point 0.875"), in tenths of a percent;
    // 0: none, the kernel chooses its own.
    std::uint32_t samplePointTenths = 0;
    BusContext bus; // the bus the three settings are judged for
    // The search's problem with the oscillator or the rate; then nothing else is filled in.
    std::optional<std::string> inputProblem;
    KernelSetting kernel;
    std::optional<BitTimingSetting> proposed;    // Quillon's first candidate, proposed segments
    std::optional<BitTimingSetting> recommended; // its recommended segments, where they exist
    std::vector<std::string> differences;        // one sentence each
};

// Numbers in the sentences use `decimalSeparator`.
// `pController` names a row with a Linux driver of its own (nullptr: the calculator's
// MCP2510/MCP251X on the mcp251x driver). With a sample point in `goal` the kernel is given
// it (rounded to tenths of a percent) and the recommendation aims at it too; both are
// judged on the goal's bus.
KernelComparison CompareWithKernel(double dOscFreqMHz, double dTargetKbps,
                                   std::string_view decimalSeparator = ".",
                                   const Controller* pController = nullptr,
                                   const RecommendationGoal& goal = {});

} // namespace linux
} // namespace quillon
