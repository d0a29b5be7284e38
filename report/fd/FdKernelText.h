#pragma once
// The Linux driver's own choice for two CAN FD rates beside Quillon's, as text: the inputs,
// the setting the controller's driver (mcp251xfd, m_can) writes for 'ip link set can0 type
// can bitrate N dbitrate D fd on' with its facts and how its TDC came about, or why it has
// none, then where Quillon's first candidate with its recommended segments differs.
// `quillon-cli fd kernel` prints it and the window's kernel dialog shows it, so both say
// the same.
#include "timing/common/RecommendationGoal.h"
#include "timing/linux/FdKernelChoice.h"

#include <string>
#include <string_view>

namespace quillon {
inline namespace fd {

// `inputs` holds the controller, oscillator, PLL and the two rates the choice was made for;
// `goal` the bus the facts are judged for and the sample points the recommendation aims at.
std::string FdKernelText(const FdSetting& inputs, const FdKernelChoice& choice,
                         LinuxTdcGeneration generation, const RecommendationGoal& goal,
                         std::string_view decimalSeparator = ".");

} // namespace fd
} // namespace quillon
