#pragma once
// The search for CAN FD settings: the prescaler and Tq count of each phase that give its
// rate, paired, judged by the tolerance of the segments proposed for them and ordered by
// what CiA recommends for CAN FD; the segments proposed when a pair is chosen; and the
// recommended segments of each phase for a bus by the same preferences as the classic
// recommendation (timing/classic/Recommendation.h).
#include "timing/common/RecommendationGoal.h"
#include "timing/fd/FdTiming.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace fd {

struct FdPhaseCandidate {
    int lBRP = 1;
    int lTqCount = 0;
    double dActualBaud = 0.0;
    double dErrorPercent = 0.0; // (actual - target) / target x 100
    bool bExact = false;        // equal in whole bit/s
};

struct FdCandidate {
    FdPhaseCandidate nominal;
    FdPhaseCandidate data;
    // Every tolerance condition of the pair's proposal (ProposedFdSetting) is above zero. A
    // pair without it cannot work with those segments whatever the crystals.
    bool bUsable = true;
    bool SameQuantum() const { return nominal.lBRP == data.lBRP; }
    bool TdcPossible() const { return data.lBRP <= 2; }
    bool Exact() const { return nominal.bExact && data.bExact; }
};

// How far a rate may lie from the target when no combination hits it, in percent.
inline constexpr double kFdNearRatePercent = 1.0;

// Every prescaler of the phase with the Tq count (within the phase's register ranges) whose
// rate comes nearest the target: those that hit it in whole bit/s, or, when none does, those
// within 1 %. Prescaler ascending.
std::vector<FdPhaseCandidate> SearchFdPhase(const FdPhaseLimits& limits, double dClockMHz,
                                            double dRateKbps);

// The facts of each candidate's proposal (ProposedFdSetting), in the candidates' order: the
// sample points and tolerance the list shows beside each entry.
std::vector<FdFacts> DescribeFdProposals(const FdSetting& inputs,
                                         const std::vector<FdCandidate>& candidates,
                                         std::string_view decimalSeparator = ".");

// "nominal BRP 1 x 80 Tq, data BRP 1 x 20 Tq"
std::string FdCandidateText(const FdCandidate& candidate);

// One phase's prescaler and Tq count with the rate they give on SYSCLK.
FdPhaseCandidate MakeFdPhaseCandidate(double dSysclkMHz, double dRateKbps, int lBRP, int lTqCount);

// True when every condition of `tolerance` is above zero (and it describes a bit).
bool FdToleranceUsable(const FdTolerance& tolerance);
// The pair of `nominal` and `data`, judged by its proposal for `inputs`.
FdCandidate MakeFdCandidate(const FdSetting& inputs, const FdPhaseCandidate& nominal,
                            const FdPhaseCandidate& data);

// Every pair of a nominal and a data candidate, best first. Usable pairs come before every
// pair that is not; each group ordered by what CiA recommends: the same quantum in both
// phases first, then the smallest data prescaler (with 1 or 2 TDC can work, and the finer
// quantum places the data sample point better), the smallest summed rate error (where the
// rates are not hit exactly), the proposal's sample points nearest the recommendation for
// the rates (summed distance), its largest oscillator tolerance, then the smallest nominal
// prescaler. Every phase's candidates hit their rate exactly, or none does.
// The search of the inputs' controller (its limits and clock) for the inputs' rates.
std::vector<FdCandidate> SearchFdCandidates(const FdSetting& inputs);
// The same for the default controller.
std::vector<FdCandidate> SearchFdCandidates(double dOscFreqMHz, bool bPll, double dNominalKbps,
                                            double dDataKbps);

// What choosing a prescaler and Tq count proposes for a phase: the sample point nearest the
// recommended one (`dRecommendedPercent`, RecommendedSamplePointPercent of the rate) without
// passing it, TSEG1 split as the kernel splits it (propagation = TSEG1 / 2) and the kernel's
// SJW, max(1, min(phase 1, phase 2 / 2)). Nothing when no legal split fills the Tq count.
std::optional<FdPhaseSetting> ProposedFdPhase(const FdPhaseLimits& limits, int lBRP, int lTqCount,
                                              double dRecommendedPercent);
// The same within the default controller's limits of `phase`.
std::optional<FdPhaseSetting> ProposedFdPhase(FdPhase phase, int lBRP, int lTqCount,
                                              double dRecommendedPercent);

// The proposal for a candidate, both phases, with the TDC the controller needs: `inputs`
// gives the controller, clock and rates.
FdSetting ProposedFdSetting(const FdSetting& inputs, const FdCandidate& candidate);
// The same for the default controller.
FdSetting ProposedFdSetting(double dOscFreqMHz, bool bPll, double dNominalKbps, double dDataKbps,
                            const FdCandidate& candidate);

// The recommended segments for the prescalers and Tq counts of `setting` on the bus of
// `goal`: in each phase, of every split that keeps the register ranges, SJW <= phase 2 and
// SJW <= phase 1 (which Linux demands), first (the nominal phase, when the bus length is
// given) one whose propagation covers the bus, then the sample point nearest the goal's (or
// the recommended one for the rate) without passing it, then the most oscillator tolerance by
// the conditions that phase's own choice enters (1, 2 and 4 for the nominal phase, 3 and 5
// for the data phase), then the longest propagation, then the widest SJW. When no nominal
// split covers the bus, the longest propagation comes first; the findings say how far it
// falls short. The data phase needs no propagation for the bus: TDC covers its loop. The
// TDC becomes what the controller needs. Nothing when a phase cannot be filled.
std::optional<FdSetting> RecommendedFdSetting(const FdSetting& setting,
                                              const RecommendationGoal& goal = {});

} // namespace fd
} // namespace quillon
