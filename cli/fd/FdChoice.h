#pragma once
// The CAN FD setting a command line chooses: the candidate list's entry (--pick) or any
// combination of nominal and data prescaler and Tq count, the proposal for it (or the
// recommendation with --recommend) and the segment options of both phases over it, with
// the TDC the controller needs for the data phase that results; the recommendation aims at
// the request's goal. The fd timing, export and report commands share it, so all three
// describe the same setting for the same arguments.
#include "cli/common/ChoiceNotes.h"
#include "cli/common/CommandOutput.h"
#include "timing/fd/FdSearch.h"
#include "timing/linux/FdKernelChoice.h"

#include <optional>
#include <vector>

namespace quillon::cli {
inline namespace fd {

// The request's oscillator, PLL and two rates as a setting without phases.
FdSetting FdInputs(const Request& request);

// --linux-tdc, or the model's default when it is not given.
LinuxTdcGeneration LinuxTdcOf(const Request& request);

// The search for the request's oscillator, PLL and two rates.
std::vector<FdCandidate> SearchFdFor(const Request& request);

struct FdChoice {
    FdCandidate candidate;
    int listEntry = 0; // 1-based entry of the candidate list, 0 for a combination
    int listSize = 0;
    FdSetting setting;
    SegmentsOrigin origin = SegmentsOrigin::Proposed;
    bool changed = false; // segment options changed them
};

// The choice made by the request. Fails only for a --pick beyond the list: then it gives
// nothing and sets `output` to the usage status and message.
std::optional<FdChoice> ResolveFdChoice(const Request& request, CommandOutput& output);

} // namespace fd
} // namespace quillon::cli
