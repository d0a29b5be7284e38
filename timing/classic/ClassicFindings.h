#pragma once
// The findings of a classic setting: the controller's own rules (the Tq count the calculator
// holds, the information processing time, the timing rules), then what the bus as built
// makes of it (rate, tolerance, propagation, sample point, SJW) and the controller's errata.
// DescribeBitTiming calls this once; everyone else reads BitTimingFacts::findings.
#include "timing/common/BusContext.h"
#include "timing/common/Findings.h"

#include <string_view>

namespace quillon {
inline namespace classic {

struct BitTimingFacts;

// The setting's findings, errors first, then warnings, then advice, each group in the order
// the rules are checked.
Findings ClassicFindings(const BitTimingFacts& facts, const BusContext& bus,
                         std::string_view decimalSeparator);

} // namespace classic
} // namespace quillon
