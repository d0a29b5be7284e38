// The CAN FD candidate list as quillon-cli prints it for a person.
#include "cli/fd/FdText.h"

#include "cli/common/ChoiceNotes.h"
#include "cli/common/CommandOutput.h"
#include "report/common/TextTable.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>

namespace quillon::cli {
inline namespace fd {

namespace {

const char* YesNo(bool yes) {
    return yes ? "yes" : "no";
}

} // namespace

std::string FdCandidatesTable(const std::vector<FdCandidate>& candidates, bool withFindings,
                              const std::vector<FdFacts>& proposals) {
    if (candidates.empty()) {
        return "No combination gives both rates within " + FormatGeneralNumber(kFdNearRatePercent) +
               " %.\n";
    }
    TextTable table;
    std::vector<std::string> headings{"#",         "NBRP",    "NTq",   "DBRP",
                                      "DTq",       "Same Tq", "TDC",   "%Err nominal",
                                      "%Err data", "SP %",    "Tol %", "Usable"};
    if (withFindings) {
        headings.push_back("Findings");
    }
    table.AddRow(headings);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const FdCandidate& c = candidates[i];
        const FdFacts& p = proposals[i];
        std::vector<std::string> row{
            std::to_string(i + 1),
            std::to_string(c.nominal.lBRP),
            std::to_string(c.nominal.lTqCount),
            std::to_string(c.data.lBRP),
            std::to_string(c.data.lTqCount),
            YesNo(c.SameQuantum()),
            YesNo(c.TdcPossible()),
            p.nominal.sError,
            p.data.sError,
            p.nominal.sSamplePoint + "/" + p.data.sSamplePoint,
            p.sTolerance + " (" + std::to_string(p.tolerance.lLimiting) + ")",
            c.bUsable ? "yes" : "no, condition " + std::to_string(p.tolerance.lLimiting) + " <= 0"};
        if (withFindings) {
            row.push_back(FindingCounts(p.findings));
        }
        table.AddRow(row);
    }
    const auto usable = std::count_if(candidates.begin(), candidates.end(),
                                      [](const FdCandidate& c) { return c.bUsable; });
    return "Candidates (" + std::to_string(candidates.size()) + ", " + std::to_string(usable) +
           " usable), best first:\n\n" + table.Text() +
           "\nSP %: the sample points of the proposed segments (nominal/data); Tol %: their\n"
           "oscillator tolerance and, in brackets, the condition that limits it. Usable: no\n"
           "where that condition is at or below zero: no crystal is exact enough for those\n"
           "segments.\n" +
           (withFindings ? kFindingCountsLegend : "");
}

} // namespace fd
} // namespace quillon::cli
