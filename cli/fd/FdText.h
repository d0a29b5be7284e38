#pragma once
// The text form of CAN FD facts as the fd commands print them for a person: the inputs,
// the candidate list, and one setting with both phases, durations, TDC, verdict, findings,
// the five tolerance conditions and the registers of the controller. Only renders: every
// value comes from the model's DescribeFdTiming and the search.
#include "timing/fd/FdSearch.h"
#include "timing/fd/FdTiming.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {
inline namespace fd {

// The controller (when one was chosen), oscillator, PLL, SYSCLK (for a cell inside a
// processor only its CAN clock) and, with `withRates`, the two target rates, one row each.
std::string FdInputsTable(const FdSetting& setting, bool withRates = true);

// The candidates, numbered from 1, each with the sample points and tolerance of its proposal
// (`proposals` in the same order) and whether that proposal can work at all.
std::string FdCandidatesTable(const std::vector<FdCandidate>& candidates, bool withFindings,
                              const std::vector<FdFacts>& proposals);

// The tables of a setting; `source` says where it came from ("list entry 1 of 32: ...").
std::string FdSettingText(std::string_view source, const FdFacts& facts);

} // namespace fd
} // namespace quillon::cli
