#include "timing/classic/CrystalCheck.h"

#include "timing/classic/CandidateSearch.h"
#include "timing/classic/Decode.h"
#include "timing/classic/Recommendation.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace quillon {
inline namespace classic {

std::optional<BitTimingSetting> SettingForCrystal(const BitTimingSetting& registers,
                                                  double dOscFreqMHz, double dRateKbps) {
    const int n = registers.segments.lTqCount;
    for (int brp1 = kMinBRPMinus1; brp1 <= kMaxBRPMinus1; ++brp1) {
        if (MakeTqCandidate(dOscFreqMHz, dRateKbps * 1000, brp1, n, ErrorSignRule::Search)
                .bMatches) {
            BitTimingSetting moved = registers;
            moved.dOscFreqMHz = dOscFreqMHz;
            moved.dTargetKbps = dRateKbps;
            moved.lBRPMinus1 = brp1;
            return moved;
        }
    }
    ChosenList chosen;
    chosen.Refill(EvaluateAllCandidates(dOscFreqMHz, dRateKbps * 1000));
    if (chosen.Count() == 0) {
        return std::nullopt;
    }
    const TqCandidate& first = chosen.Items().front();
    BitTimingSetting fresh =
        ProposedSetting(dOscFreqMHz, dRateKbps, first.lBRPMinus1, first.lTqCount);
    fresh.segments.bSam = registers.segments.bSam;
    fresh.segments.bWakFil = registers.segments.bWakFil;
    return RecommendedSetting(fresh).value_or(fresh);
}

namespace {

// How far `dRateKbps` lies from `dMeasuredKbps`, in percent of the measured rate.
double OffPercent(double dRateKbps, double dMeasuredKbps) {
    return (dRateKbps - dMeasuredKbps) / dMeasuredKbps * 100.0;
}

std::string Kbps(double kbps) {
    return FormatNumber(kbps, "0.0##") + " kbit/s";
}

std::string Mhz(double mhz) {
    return FormatGeneralNumber(mhz) + " MHz";
}

} // namespace

std::optional<std::string> MeasuredRateFinding(const BitTimingSetting& registers,
                                               double dMeasuredKbps,
                                               const std::vector<CrystalSuggestion>& suggestions) {
    const double dRate = ActualRateKbps(registers);
    if (!(dMeasuredKbps > 0) ||
        std::fabs(OffPercent(dRate, dMeasuredKbps)) <= kCrystalMatchPercent) {
        return std::nullopt;
    }
    const std::string lead = "The bus was measured at " + Kbps(dMeasuredKbps) +
                             ", but these registers give " + Kbps(dRate) + " on " +
                             Mhz(registers.dOscFreqMHz);
    if (suggestions.empty()) {
        return lead + ", and no common oscillator gives the measured rate with them.";
    }
    return lead + ": the board's oscillator is likely " + Mhz(suggestions.front().dOscFreqMHz) +
           ".";
}

std::vector<CrystalSuggestion> SuggestCrystals(const BitTimingSetting& registers,
                                               double dMeasuredKbps, double dIntendedKbps,
                                               const std::vector<double>& extraMHz) {
    std::vector<double> crystals(kCommonCrystalsMHz.begin(), kCommonCrystalsMHz.end());
    for (const double extra : extraMHz) {
        if (std::find(crystals.begin(), crystals.end(), extra) == crystals.end()) {
            crystals.push_back(extra);
        }
    }
    std::vector<CrystalSuggestion> suggestions;
    if (!(dMeasuredKbps > 0)) {
        return suggestions;
    }
    for (const double crystal : crystals) {
        BitTimingSetting onCrystal = registers;
        onCrystal.dOscFreqMHz = crystal;
        const double dRate = ActualRateKbps(onCrystal);
        const double dOff = OffPercent(dRate, dMeasuredKbps);
        if (std::fabs(dOff) <= kCrystalMatchPercent) {
            suggestions.push_back(
                {crystal, dRate, dOff, SettingForCrystal(registers, crystal, dIntendedKbps)});
        }
    }
    std::stable_sort(suggestions.begin(), suggestions.end(),
                     [](const CrystalSuggestion& a, const CrystalSuggestion& b) {
                         return std::fabs(a.dOffPercent) < std::fabs(b.dOffPercent);
                     });
    return suggestions;
}

std::vector<CrystalSuggestion> CheckMeasuredRate(DecodedRegisters& decoded, double dMeasuredKbps) {
    const BitTimingSetting& setting = decoded.setting;
    std::vector<CrystalSuggestion> suggestions =
        SuggestCrystals(setting, dMeasuredKbps, setting.dTargetKbps, {setting.dOscFreqMHz});
    if (std::optional<std::string> finding =
            MeasuredRateFinding(setting, dMeasuredKbps, suggestions)) {
        decoded.findings.push_back({Severity::Error, code::kMeasuredRate, std::move(*finding), {}});
    }
    return suggestions;
}

} // namespace classic
} // namespace quillon
