#pragma once
// The one page writer of every report: a page template filled in line for line, written
// with CR LF in Windows-1252, the form browsers have always read the report in.
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

// The value of a page's placeholder by its name, or nothing for a name the page does not
// know (it is then written as it stands).
using PageValueLookup = std::function<std::optional<std::string>(std::string_view name)>;

// Writes a page template (its text starting after a first line feed) line for line with
// CR LF in Windows-1252, its {placeholders} filled in from `lookup` and the maker's names
// ({sMakerDomain}, {sMakerUrl}, {sMakerHost}); a value of several lines makes several lines
// of the page. Every report page is written this way.
void WriteReportPage(std::ostream& nFile, std::string_view pageTemplate,
                     const PageValueLookup& lookup);

} // namespace common
} // namespace quillon
