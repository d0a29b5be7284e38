#include "timing/classic/BitTiming.h"

#include "timing/classic/ClassicFindings.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/classic/QuantumLength.h"
#include "timing/common/NumberFormat.h"
#include "timing/common/SamplePoint.h"

namespace quillon {
inline namespace classic {

namespace {

// The sync segment is always one time quantum.
constexpr int kSyncTq = 1;

constexpr std::string_view kErrorPattern = "0.0##";
constexpr std::string_view kActualRateLead = " %  (Actual Baud Rate is ";

RateFacts DescribeRate(const BitTimingSetting& s, std::string_view sep) {
    RateFacts rate;
    rate.dTargetBaud = s.dTargetKbps * 1000.0;
    rate.dTqSeconds = ReportTqSeconds(s.dOscFreqMHz, s.lBRPMinus1, s.ClockPeriodsPerBrp());
    rate.dActualBaud = 1.0 / (s.segments.lTqCount * rate.dTqSeconds);
    rate.dErrorPercent =
        RateErrorPercent(rate.dActualBaud, rate.dTargetBaud, ErrorSign::BelowIsPositive);
    rate.bHitsTarget = RoundToWhole(rate.dActualBaud) == RoundToWhole(rate.dTargetBaud);
    rate.sTq = FormatEngineering(rate.dTqSeconds, "0.000", "s", false, sep);
    rate.sActual = FormatEngineering(rate.dActualBaud, "0.000###", "bps", false, sep);
    rate.sError = FormatNumber(rate.dErrorPercent, kErrorPattern, sep);
    if (rate.dErrorPercent == 0.0) {
        rate.sError += " %";
    } else {
        rate.sError += std::string(kActualRateLead) + rate.sActual + " )";
    }
    return rate;
}

} // namespace

bool operator==(const BitTimingSetting& a, const BitTimingSetting& b) {
    const SegmentSettings& x = a.segments;
    const SegmentSettings& y = b.segments;
    // The programmed phase 2 is not used in the larger-of mode, so it does not count there.
    const bool samePhase2 = x.mode == Phase2Mode::LargerOf || x.lPhase2 == y.lPhase2;
    return &a.Row() == &b.Row() && a.dOscFreqMHz == b.dOscFreqMHz &&
           a.dTargetKbps == b.dTargetKbps && a.lBRPMinus1 == b.lBRPMinus1 &&
           x.lTqCount == y.lTqCount && x.lPropagation == y.lPropagation && x.lPhase1 == y.lPhase1 &&
           samePhase2 && x.lSJW == y.lSJW && x.bSam == y.bSam && x.bWakFil == y.bWakFil &&
           x.mode == y.mode;
}

BitTimingSetting ProposedSetting(double dOscFreqMHz, double dTargetKbps, int lBRPMinus1,
                                 int lTqCount, const Controller* pController) {
    const SegmentProposal proposal = ProposeSegments(lTqCount);
    BitTimingSetting setting;
    setting.pController = pController;
    setting.dOscFreqMHz = dOscFreqMHz;
    setting.dTargetKbps = dTargetKbps;
    setting.lBRPMinus1 = lBRPMinus1;
    setting.segments.lTqCount = lTqCount;
    setting.segments.lPropagation = proposal.lPropagation;
    setting.segments.lPhase1 = proposal.lPhase1;
    setting.segments.lPhase2 = proposal.lPhase2;
    return setting;
}

BitTimingFacts DescribeBitTiming(const BitTimingSetting& setting, std::string_view decimalSeparator,
                                 const BusContext& bus) {
    const std::string_view sep = decimalSeparator;
    const SegmentSettings& s = setting.segments;
    BitTimingFacts facts;
    facts.setting = setting;
    facts.lPhase2Effective = Phase2Length(s);
    facts.dSamplePointPercent = SamplePointPercent(s);
    facts.sSamplePoint = SamplePointText(facts.dSamplePointPercent, sep);

    const int periods = setting.ClockPeriodsPerBrp();
    const double dTq = DiagramTqSeconds(setting.dOscFreqMHz, setting.lBRPMinus1, periods);
    facts.dDiagramTqSeconds = dTq;
    const auto duration = [dTq, sep](std::string_view name, int tq) {
        return SegmentDuration{name, tq, tq * dTq, DurationText(tq, dTq, sep)};
    };
    facts.durations = {duration("sync", kSyncTq),     duration("propagation", s.lPropagation),
                       duration("phase1", s.lPhase1), duration("phase2", facts.lPhase2Effective),
                       duration("sjw", s.lSJW),       duration("bit", s.lTqCount)};

    facts.rate = DescribeRate(setting, sep);
    facts.verdict = CheckTimingRules(true, s);
    facts.sVerdict = VerdictText(facts.verdict);
    facts.registers = EncodeConfigRegisters(setting.lBRPMinus1, s);
    if (facts.registers) {
        facts.registerTexts = MakeConfigRegisterTexts(*facts.registers.registers);
    }
    facts.words = LayoutWords(setting.Row().layout, setting);
    facts.lOscClocks = periods * (setting.lBRPMinus1 + 1) * s.lTqCount;
    if (setting.Row().bBusIdleErratum) {
        facts.busIdleWarning = BusIdleErrataMessage(setting.lBRPMinus1, s.lTqCount);
    }

    // The analysis works on the diagram's quantum, so it agrees with the durations shown.
    const bool usable = IsUsableQuantum(dTq);
    facts.analysis =
        AnalyseTiming(s.lTqCount, s.lPropagation, s.lPhase1, facts.lPhase2Effective, s.lSJW,
                      usable ? dTq : 0.0, usable ? 1.0 / (s.lTqCount * dTq) : 0.0, bus);
    facts.bus = bus;
    facts.findings = ClassicFindings(facts, bus, sep);
    return facts;
}

} // namespace classic
} // namespace quillon
