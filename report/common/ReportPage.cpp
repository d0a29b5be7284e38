#include "report/common/ReportPage.h"

#include "report/common/Windows1252.h"
#include "timing/common/Maker.h"

namespace quillon {
inline namespace common {

namespace {

// The text that replaces the placeholder `name`; a name the page does not know stays as
// it was written.
std::string Substitute(std::string_view name, const PageValueLookup& lookup) {
    if (name == "sMakerDomain") {
        return std::string(kMakerDomain);
    }
    if (name == "sMakerUrl") {
        return std::string(kMakerUrl);
    }
    if (name == "sMakerHost") {
        return std::string(kMakerHost);
    }
    if (std::optional<std::string> value = lookup(name)) {
        return *value;
    }
    return "{" + std::string(name) + "}";
}

// One line of the template with its placeholders filled in.
std::string FillLine(std::string_view line, const PageValueLookup& lookup) {
    std::string filled;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t open = line.find('{', pos);
        const std::size_t close = open == std::string_view::npos ? open : line.find('}', open + 1);
        if (close == std::string_view::npos) {
            filled.append(line.substr(pos));
            break;
        }
        filled.append(line.substr(pos, open - pos));
        filled += Substitute(line.substr(open + 1, close - open - 1), lookup);
        pos = close + 1;
    }
    return filled;
}

} // namespace

void WriteReportPage(std::ostream& nFile, std::string_view pageTemplate,
                     const PageValueLookup& lookup) {
    // The template starts after the line feed that follows its opening delimiter.
    std::string_view page = pageTemplate.substr(1);
    while (!page.empty()) {
        const std::size_t end = page.find('\n');
        // A value of several lines makes several lines of the page.
        const std::string filled = Utf8ToWindows1252(FillLine(page.substr(0, end), lookup));
        std::size_t start = 0;
        for (std::size_t lf; (lf = filled.find('\n', start)) != std::string::npos; start = lf + 1) {
            nFile << filled.substr(start, lf - start) << "\r\n";
        }
        nFile << filled.substr(start) << "\r\n";
        page.remove_prefix(end == std::string_view::npos ? page.size() : end + 1);
    }
}

} // namespace common
} // namespace quillon
