#pragma once
// The text form of CAN FD facts as the fd commands print them for a person: the candidate
// list here, the inputs and one setting from report/ (FdSettingText.h), which the window
// shares. Only renders: every value comes from the model's DescribeFdTiming and the search.
#include "report/fd/FdSettingText.h"
#include "timing/fd/FdSearch.h"
#include "timing/fd/FdTiming.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {
inline namespace fd {

// The candidates, numbered from 1, each with the sample points and tolerance of its proposal
// (`proposals` in the same order) and whether that proposal can work at all.
std::string FdCandidatesTable(const std::vector<FdCandidate>& candidates, bool withFindings,
                              const std::vector<FdFacts>& proposals);

} // namespace fd
} // namespace quillon::cli
