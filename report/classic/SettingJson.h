#pragma once
// The JSON form of the facts of one bit-timing setting, as timing --json prints them, for
// every command that shows a setting: the candidate, segments, sample point, durations,
// rate, verdict, analysis, registers, OSC1 clocks and the bus-idle warning. Only renders:
// every value comes from the model's DescribeBitTiming.
#include "report/common/JsonWriter.h"
#include "timing/classic/BitTiming.h"
#include "timing/classic/CandidateSearch.h"

#include <string>
#include <string_view>

namespace quillon {
inline namespace classic {

// The members every document starts with: the command and the two inputs.
void WriteInputs(JsonWriter& json, std::string_view command, double oscFreqMHz, double rateKbps);

// A candidate's object; with `proposal`, the facts of its proposed setting, whose analysis
// (and the segments it was worked out for) and findings go inside it.
void WriteCandidate(JsonWriter& json, const TqCandidate& candidate,
                    const BitTimingFacts* proposal = nullptr);

// The member "registers" of the open object: the five registers or null.
void WriteRegisters(JsonWriter& json, const BitTimingFacts& facts);

// The members "candidate" to "bus_idle_warning" of the open object.
void WriteSettingMembers(JsonWriter& json, const TqCandidate& candidate,
                         const BitTimingFacts& facts);

// Which candidate a setting was made from: an entry of the chosen list or a grid cell.
struct SettingSelection {
    TqCandidate candidate; // as the list shows it, or as the grid does
    int listEntry = 0;     // 1-based entry of the chosen list, 0 for a grid cell
    int listSize = 0;      // entries in the chosen list
};

// The grid cell of the setting's prescaler and Tq count, its error taken as target - actual.
SettingSelection GridSelection(const BitTimingSetting& setting, int listSize);

// The whole document `timing --json` prints for a setting.
std::string TimingDocument(const SettingSelection& selection, const BitTimingFacts& facts);

} // namespace classic
} // namespace quillon
