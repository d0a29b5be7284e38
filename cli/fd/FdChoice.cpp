// The CAN FD setting a command line chooses, shared by fd timing, export and report.
#include "cli/fd/FdChoice.h"

namespace quillon::cli {
inline namespace fd {

namespace {

void Override(FdPhaseSetting& phase, const FdPhaseOptions& options) {
    phase.lPropagation = options.propagation.value_or(phase.lPropagation);
    phase.lPhase1 = options.phase1.value_or(phase.lPhase1);
    phase.lPhase2 = options.phase2.value_or(phase.lPhase2);
    phase.lSJW = options.sjw.value_or(phase.lSJW);
}

} // namespace

FdSetting FdInputs(const Request& request) {
    FdSetting setting;
    setting.dOscFreqMHz = request.oscFreqMHz;
    setting.bPll = request.pll;
    setting.dNominalKbps = request.rateKbps;
    setting.dDataKbps = request.dataRateKbps;
    // Without --controller the setting keeps the default row, whose texts name the registers
    // of both the MCP251xFD and the dsPIC33C.
    setting.controller = request.controllerName.empty() ? nullptr : request.controller;
    return setting;
}

LinuxTdcGeneration LinuxTdcOf(const Request& request) {
    return FindLinuxTdcGeneration(request.linuxTdcName).value_or(kDefaultLinuxTdc);
}

std::vector<FdCandidate> SearchFdFor(const Request& request) {
    return SearchFdCandidates(FdInputs(request));
}

std::optional<FdChoice> ResolveFdChoice(const Request& request, CommandOutput& output) {
    FdChoice choice;
    const std::vector<FdCandidate> found = SearchFdFor(request);
    choice.listSize = static_cast<int>(found.size());
    if (const std::optional<int> pick = request.selection.pick) {
        if (*pick > choice.listSize) {
            output = Refusal(kExitUsage, InfoOf(Option::Pick).name,
                             std::to_string(*pick) + " is beyond the candidate list, which has " +
                                 std::to_string(choice.listSize) +
                                 (choice.listSize == 1 ? " entry" : " entries"));
            return std::nullopt;
        }
        choice.listEntry = *pick;
        choice.candidate = found.at(static_cast<std::size_t>(*pick - 1));
    } else {
        const FdSelection& s = request.fdSelection;
        const double sysclk = FdClockMHz(FdInputs(request));
        choice.candidate = MakeFdCandidate(
            FdInputs(request),
            MakeFdPhaseCandidate(sysclk, request.rateKbps, *s.nominalBrp, *s.nominalTqCount),
            MakeFdPhaseCandidate(sysclk, request.dataRateKbps, *s.dataBrp, *s.dataTqCount));
    }
    FdSetting& setting = choice.setting;
    setting = ProposedFdSetting(FdInputs(request), choice.candidate);
    if (request.segments.recommend) {
        const std::optional<FdSetting> recommended = RecommendedFdSetting(setting, request.Goal());
        choice.origin = recommended ? SegmentsOrigin::Recommended : SegmentsOrigin::NoneRecommended;
        setting = recommended.value_or(setting);
    }
    for (const FdPhaseOptions* options : {&request.nominal, &request.data}) {
        choice.changed = choice.changed || options->propagation || options->phase1 ||
                         options->phase2 || options->sjw;
    }
    Override(setting.nominal, request.nominal);
    Override(setting.data, request.data);
    // The TDC follows the data phase, as the controls keep it.
    setting.tdc = RequiredTdc(setting);
    return choice;
}

} // namespace fd
} // namespace quillon::cli
