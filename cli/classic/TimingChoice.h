#pragma once
// The candidate a command line chooses and the bit-timing setting made from it: the chosen
// list's entry or a grid cell, the proposal for its Tq count (the model's ProposedSetting)
// (or the recommendation, aimed at the request's goal) and the segment options over it. The
// timing, export and report commands share it, so all describe the same setting for the same
// arguments.
#include "cli/common/ChoiceNotes.h"
#include "cli/common/CommandOutput.h"
#include "report/classic/SettingJson.h"
#include "timing/classic/BitTiming.h"
#include "timing/classic/CandidateSearch.h"

#include <optional>
#include <vector>

namespace quillon::cli {
inline namespace classic {

// The search for the two inputs: all grid cells and the chosen list made from them.
struct SearchResult {
    std::vector<TqCandidate> evaluated;
    ChosenList chosen;
};
// Over the controller's own prescaler and Tq ranges on its clock.
SearchResult SearchCandidates(double oscFreqMHz, double rateKbps,
                              const Controller& row = DefaultController());

struct TimingChoice {
    // As the step-2 list shows it: the search's error sign for a list entry, the grid's
    // (target - actual) for a grid cell.
    TqCandidate candidate;
    int listEntry = 0; // 1-based entry of the chosen list, 0 for a grid cell
    int listSize = 0;  // entries in the chosen list
    BitTimingSetting setting;
    SegmentsOrigin origin = SegmentsOrigin::Proposed;
    bool changed = false; // segment options changed them

    SettingSelection Selection() const { return {candidate, listEntry, listSize}; }
};

// The choice made by the request; --recommend (or export without segments) aims at the
// request's goal. Fails only for a --pick beyond the chosen list: then it
// gives nothing and sets `output` to the usage status and message.
std::optional<TimingChoice> ResolveChoice(const Request& request, CommandOutput& output);

} // namespace classic
} // namespace quillon::cli
