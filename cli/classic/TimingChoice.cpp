#include "cli/classic/TimingChoice.h"

#include "timing/classic/Recommendation.h"

namespace quillon::cli {
inline namespace classic {

SearchResult SearchCandidates(double oscFreqMHz, double rateKbps, const Controller& row) {
    SearchResult result;
    result.evaluated = EvaluateAllCandidates(oscFreqMHz, rateKbps * 1000, SearchRangeOf(row));
    result.chosen.Refill(result.evaluated);
    return result;
}

std::optional<TimingChoice> ResolveChoice(const Request& request, CommandOutput& output) {
    TimingChoice choice;
    const Selection& selection = request.selection;
    const ChosenList chosen =
        SearchCandidates(request.oscFreqMHz, request.rateKbps, *request.controller).chosen;
    choice.listSize = chosen.Count();
    if (selection.pick) {
        if (*selection.pick > chosen.Count()) {
            output = Refusal(
                kExitUsage, InfoOf(Option::Pick).name,
                std::to_string(*selection.pick) + " is beyond the chosen list, which has " +
                    std::to_string(chosen.Count()) + (chosen.Count() == 1 ? " entry" : " entries"));
            return std::nullopt;
        }
        choice.listEntry = *selection.pick;
        choice.candidate = chosen.Items().at(static_cast<std::size_t>(*selection.pick - 1));
    }
    const int brpMinus1 = selection.pick ? choice.candidate.lBRPMinus1 : *selection.brpMinus1;
    const int tqCount = selection.pick ? choice.candidate.lTqCount : *selection.tqCount;

    // Selecting a Tq count starts from the proposal (or, asked for, the recommendation); the
    // options then change the controls one by one.
    BitTimingSetting& setting = choice.setting;
    setting = ProposedSetting(request.oscFreqMHz, request.rateKbps, brpMinus1, tqCount,
                              request.controller);
    const SegmentOptions& options = request.segments;
    if (options.recommend) {
        const std::optional<BitTimingSetting> recommended =
            RecommendedSetting(setting, request.Goal());
        choice.origin = recommended ? SegmentsOrigin::Recommended : SegmentsOrigin::NoneRecommended;
        setting = recommended.value_or(setting);
    }
    choice.changed =
        options.propagation || options.phase1 || options.phase2 || options.sjw || options.largerOf;
    SegmentSettings& s = setting.segments;
    s.lPropagation = options.propagation.value_or(s.lPropagation);
    s.lPhase1 = options.phase1.value_or(s.lPhase1);
    s.lPhase2 = options.phase2.value_or(s.lPhase2);
    s.lSJW = options.sjw.value_or(s.lSJW);
    s.bSam = options.sam;
    s.bWakFil = options.wakFil;
    s.mode = options.largerOf ? Phase2Mode::LargerOf : Phase2Mode::Programmed;
    if (!selection.pick) {
        choice.candidate = GridSelection(setting, 0).candidate;
    }
    return choice;
}

} // namespace classic
} // namespace quillon::cli
