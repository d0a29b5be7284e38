#pragma once
// The text form of the facts of one bit-timing setting, as the timing command prints
// them, for every command that shows a setting to a person: the candidate, the segment
// durations, the options, verdict, analysis, registers and the bus-idle warning. Only
// renders: every value comes from the model's DescribeBitTiming.
#include "timing/classic/BitTiming.h"
#include "timing/classic/CandidateSearch.h"

#include <string>
#include <string_view>

namespace quillon::cli {
inline namespace classic {

// The two inputs as the report writes them, one row each.
// The inputs; a controller other than the calculator's own is named on a line of its own.
std::string InputsTable(double oscFreqMHz, double rateKbps,
                        const Controller& row = DefaultController());

// The tables of a setting, from the candidate it was made from (`source` says where that
// came from, e.g. "list entry 1 of 2") to the registers.
std::string SettingText(std::string_view source, const TqCandidate& candidate,
                        const BitTimingFacts& facts);

} // namespace classic
} // namespace quillon::cli
