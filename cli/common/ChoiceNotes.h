#pragma once
// What the commands say about a chosen setting beside its tables, classic and CAN FD alike:
// where its segments come from (the proposal, the recommendation, or the proposal because no
// recommendation exists, each perhaps changed by segment options), and the error findings an
// export names on stderr besides what its target refuses.
#include "timing/common/Findings.h"

#include <string>
#include <vector>

namespace quillon::cli {
inline namespace common {

enum class SegmentsOrigin {
    Proposed,        // the proposal for the Tq count
    Recommended,     // the recommended segments (--recommend, or export without segments)
    NoneRecommended, // the proposal, as no recommended segments fill the Tq count
};

// "recommended segments", "proposed segments, changed by the segment options", ...
std::string SegmentsOriginText(SegmentsOrigin origin, bool changed);

// "1 error, 2 warnings", or "-" for neither: a proposal's findings in a list's column.
std::string FindingCounts(const Findings& findings);
// The legend under a list with that column.
inline constexpr const char* kFindingCountsLegend =
    "(Findings: the errors and warnings of the proposed segments on this bus; timing with\n"
    "the entry's --pick names them)\n";

// One line each ("error: ... [code; source]") for the error findings whose text none of the
// export's `warnings` already holds (a broken rule is one of those).
std::vector<std::string> ErrorLinesNotSaid(const Findings& findings,
                                           const std::vector<std::string>& warnings);

} // namespace common
} // namespace quillon::cli
