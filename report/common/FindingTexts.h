#pragma once
// A setting's findings as every text form writes them: one line each for the command line
// and the pages ("error: ... [rate-off-target; CAN 2.0 / ISO 11898-1]"), an HTML list, and
// the JSON array of {severity, code, text, source}.
#include "report/common/JsonWriter.h"
#include "timing/common/BusContext.h"
#include "timing/common/Findings.h"

#include <string>

namespace quillon {
inline namespace common {

// "error: <text> [<code>; <source>]"; without a source only the code stands in brackets.
std::string FindingLine(const Finding& finding);
// "Findings\n" and one indented line each; empty for no findings.
std::string FindingsBlock(const Findings& findings);
// <ul> with one <li> per finding, the severity in bold words; empty for no findings.
std::string FindingsHtmlList(const Findings& findings);
// Writes the member "bus" of the open object: the bus the findings were made for (length
// null when none was given).
void WriteBusMember(JsonWriter& json, const BusContext& bus);
// Writes the member "findings" of the open object.
void WriteFindingsMember(JsonWriter& json, const Findings& findings);

} // namespace common
} // namespace quillon
