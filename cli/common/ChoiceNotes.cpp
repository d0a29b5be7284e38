#include "cli/common/ChoiceNotes.h"

#include "report/common/FindingTexts.h"

#include <algorithm>

namespace quillon::cli {
inline namespace common {

std::string SegmentsOriginText(SegmentsOrigin origin, bool changed) {
    std::string text;
    switch (origin) {
    case SegmentsOrigin::Proposed:
        text = "proposed segments";
        break;
    case SegmentsOrigin::Recommended:
        text = "recommended segments";
        break;
    case SegmentsOrigin::NoneRecommended:
        text = "proposed segments: no recommended ones fill these Tq counts";
        break;
    }
    return changed ? text + ", changed by the segment options" : text;
}

std::string FindingCounts(const Findings& findings) {
    const auto count = [&findings](Severity severity, const char* word) {
        const auto n =
            std::count_if(findings.begin(), findings.end(),
                          [severity](const Finding& f) { return f.severity == severity; });
        return n == 0 ? std::string() : std::to_string(n) + " " + word + (n == 1 ? "" : "s");
    };
    const std::string errors = count(Severity::Error, "error");
    const std::string warnings = count(Severity::Warning, "warning");
    if (errors.empty() && warnings.empty()) {
        return "-";
    }
    return errors + (errors.empty() || warnings.empty() ? "" : ", ") + warnings;
}

std::vector<std::string> ErrorLinesNotSaid(const Findings& findings,
                                           const std::vector<std::string>& warnings) {
    std::vector<std::string> lines;
    for (const Finding& finding : findings) {
        const bool said = std::any_of(warnings.begin(), warnings.end(), [&](const std::string& w) {
            return w.find(finding.sText) != std::string::npos;
        });
        if (finding.severity == Severity::Error && !said) {
            lines.push_back(FindingLine(finding));
        }
    }
    return lines;
}

} // namespace common
} // namespace quillon::cli
