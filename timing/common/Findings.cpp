#include "timing/common/Findings.h"

#include <algorithm>

namespace quillon {
inline namespace common {

std::string_view SeverityName(Severity severity) {
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Advice:
        break;
    }
    return "advice";
}

bool HasError(const Findings& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.severity == Severity::Error; });
}

bool HasErrorOrWarning(const Findings& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.severity != Severity::Advice; });
}

void SortBySeverity(Findings& findings) {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
}

bool HasCode(const Findings& findings, std::string_view code) {
    return std::any_of(findings.begin(), findings.end(),
                       [code](const Finding& f) { return f.sCode == code; });
}

} // namespace common
} // namespace quillon
