// The fd kernel comparison as text, shared by the command line and the window.
#include "report/fd/FdKernelText.h"

#include "report/fd/FdSettingText.h"
#include "timing/fd/FdSearch.h"

namespace quillon {
inline namespace fd {

namespace {

std::string Segments(const FdPhaseSetting& p) {
    return "BRP " + std::to_string(p.lBRP) + ", prop " + std::to_string(p.lPropagation) +
           ", phase1 " + std::to_string(p.lPhase1) + ", phase2 " + std::to_string(p.lPhase2) +
           ", SJW " + std::to_string(p.lSJW);
}

// Where the driver's choice and Quillon's recommendation for the first candidate on the
// driver's clock differ.
std::string Comparison(FdSetting inputs, const RecommendationGoal& goal, const FdFacts& kernel,
                       std::string_view decimalSeparator) {
    inputs.bPll = kernel.setting.bPll;
    const std::vector<FdCandidate> found = SearchFdCandidates(inputs);
    if (found.empty()) {
        return "Quillon finds no candidate for these rates.\n";
    }
    const FdSetting proposal = ProposedFdSetting(inputs, found.front());
    const FdFacts ours = DescribeFdTiming(RecommendedFdSetting(proposal, goal).value_or(proposal),
                                          decimalSeparator, goal.bus);
    std::string text = "Quillon's first candidate (" + FdCandidateText(found.front()) +
                       ") with its recommended segments:\n";
    for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
        const FdPhaseSetting& k = kernel.setting.Phase(phase);
        const FdPhaseSetting& q = ours.setting.Phase(phase);
        text += "  " + std::string(PhaseName(phase)) + ": " +
                (k == q ? "the same as the driver's"
                        : Segments(q) + " (the driver: " + Segments(k) + ")") +
                "\n";
    }
    return text + "  oscillator tolerance " + ours.sTolerance + " % (condition " +
           std::to_string(ours.tolerance.lLimiting) + "), the driver's " + kernel.sTolerance +
           " % (condition " + std::to_string(kernel.tolerance.lLimiting) + ")\n";
}

} // namespace

std::string FdKernelText(const FdSetting& inputs, const FdKernelChoice& choice,
                         LinuxTdcGeneration generation, const RecommendationGoal& goal,
                         std::string_view decimalSeparator) {
    const Controller& controller = inputs.Row();
    const std::string driver = controller.linux
                                   ? "The Linux " + std::string(controller.linux->sName) + " driver"
                                   : "Linux";
    std::string text = FdInputsTable(inputs, true, decimalSeparator) + "\n";
    if (!choice.clock.sPll.empty()) {
        text += choice.clock.sPll + "\n\n";
    }
    const std::string line = "'ip link set can0 type can bitrate " +
                             std::to_string(KernelBitrate(inputs.dNominalKbps)) + " dbitrate " +
                             std::to_string(KernelBitrate(inputs.dDataKbps)) + " fd on'";
    if (choice.bRefused) {
        return text + choice.sReason + "\n";
    }
    if (!choice.setting) {
        return text + driver + " finds no timing for " + line + ": " + choice.sReason + "\n";
    }
    const FdFacts facts = DescribeFdTiming(*choice.setting, decimalSeparator, goal.bus);
    return text + driver + "'s own choice for " + line + ", with the TDC of " +
           std::string(LinuxTdcGenerationTitle(generation)) + " (--linux-tdc " +
           std::string(LinuxTdcGenerationName(generation)) + "):\n\n" +
           FdSettingText("the driver's own choice", facts) + "\n" + choice.sTdc + "\n\n" +
           Comparison(inputs, goal, facts, decimalSeparator);
}

} // namespace fd
} // namespace quillon
