// DescribeFdTiming: every fact of a CAN FD setting, worked out once for every front end.
#include "timing/fd/FdTiming.h"

#include "timing/common/BitTexts.h"
#include "timing/common/Controllers.h"
#include "timing/common/InputChecks.h"
#include "timing/common/NumberFormat.h"
#include "timing/common/PhaseFindings.h"
#include "timing/common/SamplePoint.h"

#include <algorithm>
#include <cmath>

namespace quillon {
inline namespace fd {

namespace {

constexpr int kSyncTq = 1;

std::string Capitalised(std::string_view name) {
    std::string text(name);
    if (!text.empty()) {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

std::string Kbps(double bitsPerSecond, std::string_view sep) {
    return FormatEngineering(bitsPerSecond, "0.000###", "bps", false, sep);
}

FdPhaseFacts DescribePhase(const FdSetting& setting, FdPhase phase, double dSysclkHz,
                           std::string_view sep) {
    const FdPhaseSetting& s = setting.Phase(phase);
    FdPhaseFacts f;
    f.phase = phase;
    f.lTqCount = s.TqCount();
    f.dTqSeconds = s.lBRP / dSysclkHz;
    const bool usable = IsUsableQuantum(f.dTqSeconds) && f.lTqCount > 0;
    const double dTq = usable ? f.dTqSeconds : 0.0;
    f.sTq = FormatEngineering(dTq, "0.000", "s", false, sep);
    f.dTargetBaud = setting.TargetKbps(phase) * 1000.0;
    f.dActualBaud = usable ? dSysclkHz / (s.lBRP * static_cast<double>(f.lTqCount)) : 0.0;
    f.dErrorPercent = f.dTargetBaud > 0 ? RateErrorPercent(f.dActualBaud, f.dTargetBaud,
                                                           ErrorSign::AboveIsPositive)
                                        : 0.0;
    f.bHitsTarget = RoundToWhole(f.dActualBaud) == RoundToWhole(f.dTargetBaud);
    f.sActual = Kbps(f.dActualBaud, sep);
    f.sError = FormatNumber(f.dErrorPercent, "0.0##", sep) + " %";
    f.dSamplePointPercent =
        f.lTqCount > 0 ? SamplePointPercent(1 + s.lPropagation + s.lPhase1, f.lTqCount) : 0.0;
    f.sSamplePoint = SamplePointText(f.dSamplePointPercent, sep);
    f.dRecommendedSamplePointPercent = RecommendedSamplePointPercent(f.dActualBaud);
    const auto duration = [dTq, sep](std::string_view name, int tq) {
        return SegmentDuration{name, tq, tq * dTq, DurationText(tq, dTq, sep)};
    };
    f.durations = {duration("sync", kSyncTq),     duration("propagation", s.lPropagation),
                   duration("phase1", s.lPhase1), duration("phase2", s.lPhase2),
                   duration("sjw", s.lSJW),       duration("bit", f.lTqCount)};
    return f;
}

void Rule(FdFacts& facts, std::string_view code, std::string text,
          std::string_view source = source::kDatasheet) {
    facts.findings.push_back({Severity::Error, code, std::move(text), source});
}

std::string Outside(std::string_view what, int value, int low, int high) {
    return std::string(what) + " " + std::to_string(value) + " is outside " + std::to_string(low) +
           " to " + std::to_string(high) + ".";
}

void CheckPhase(FdFacts& facts, FdPhase phase) {
    const FdPhaseSetting& s = facts.setting.Phase(phase);
    const FdPhaseLimits& l = LimitsOf(facts.setting, phase);
    const std::string name = Capitalised(PhaseName(phase));
    if (s.lBRP < l.brpMin || s.lBRP > l.brpMax) {
        Rule(facts, code::kFdFieldRange, Outside(name + " BRP", s.lBRP, l.brpMin, l.brpMax));
    }
    if (s.lPropagation < 0) {
        Rule(facts, code::kFdFieldRange,
             name + " propagation " + std::to_string(s.lPropagation) + " is below 0.");
    }
    if (s.lPhase1 < 1) {
        Rule(facts, code::kFdFieldRange,
             name + " phase 1 " + std::to_string(s.lPhase1) + " is below 1.");
    }
    if (s.Tseg1() < l.tseg1Min || s.Tseg1() > l.tseg1Max) {
        Rule(facts, code::kFdFieldRange,
             Outside(name + " TSEG1 (propagation + phase 1)", s.Tseg1(), l.tseg1Min, l.tseg1Max));
    }
    if (s.lPhase2 < l.tseg2Min || s.lPhase2 > l.tseg2Max) {
        Rule(facts, code::kFdFieldRange,
             Outside(name + " phase 2 (TSEG2)", s.lPhase2, l.tseg2Min, l.tseg2Max));
    }
    if (s.lSJW < 1 || s.lSJW > l.sjwMax) {
        Rule(facts, code::kFdFieldRange, Outside(name + " SJW", s.lSJW, 1, l.sjwMax));
    }
    PhaseQuantities quantities;
    quantities.sPhase = PhaseName(phase);
    quantities.lPhase1 = s.lPhase1;
    quantities.lPhase2 = s.lPhase2;
    quantities.lSJW = s.lSJW;
    AddSjwFinding(quantities, true, facts.findings);
}

std::string TdcText(const FdTdcSetting& tdc) {
    switch (tdc.mode) {
    case TdcMode::Auto:
        return "automatic with TDCO " + std::to_string(tdc.lOffset);
    case TdcMode::Manual:
        return "manual with TDCO " + std::to_string(tdc.lOffset) + " and TDCV " +
               std::to_string(tdc.lValue);
    case TdcMode::Off:
        break;
    }
    return "off";
}

void CheckTdc(FdFacts& facts) {
    const FdTdcSetting& tdc = facts.setting.tdc;
    const FdTdcSetting& needed = facts.requiredTdc;
    facts.bTdcAsRequired =
        tdc.mode == needed.mode && (needed.mode != TdcMode::Auto || tdc.lOffset == needed.lOffset);
    if (facts.bTdcAsRequired) {
        return;
    }
    const FdPhaseSetting& data = facts.setting.data;
    const Controller& row = facts.setting.Row();
    const std::string clock(FdClockName(row));
    if (needed.mode == TdcMode::Auto && DriverLeavesTdcOff(facts)) {
        return; // what the Linux driver runs with: said with the bus's findings
    }
    std::string why;
    if (needed.mode == TdcMode::Auto) {
        why = "TDC must be automatic with TDCO " + std::to_string(needed.lOffset) +
              " (the data sample point in " + clock + " periods)";
    } else {
        why = "TDC must be off with a data BRP of " + std::to_string(data.lBRP) +
              " (it works only with 1 or 2)";
    }
    Rule(facts, code::kFdTdcMode, why + "; it is " + TdcText(tdc) + ".");
}

} // namespace

FdTolerance ComputeFdTolerance(const FdPhaseSetting& n, const FdPhaseSetting& d) {
    FdTolerance t;
    for (const FdPhaseSetting* p : {&n, &d}) {
        if (p->lBRP < 1 || p->lPropagation < 0 || p->lPhase1 < 1 || p->lPhase2 < 1 || p->lSJW < 1) {
            return t;
        }
    }
    const double nbt = n.TqCount(), dbt = d.TqCount();
    const double nps1 = n.lPhase1, nps2 = n.lPhase2, dps2 = d.lPhase2;
    const double nsjw = n.lSJW, dsjw = d.lSJW;
    const double nOverD = static_cast<double>(n.lBRP) / d.lBRP;
    const double nominalPhase = std::min(nps1, nps2);
    t.conditions = {
        nsjw / (20.0 * nbt),
        nominalPhase / (2.0 * (13.0 * nbt - nps2)),
        dsjw / (20.0 * dbt),
        nominalPhase / (2.0 * ((6.0 * dbt - dps2) / nOverD + 7.0 * nbt)),
        (dsjw - std::max(0.0, nOverD - 1.0)) /
            (2.0 * ((2.0 * nbt - nps2) * nOverD + dps2 + 4.0 * dbt)),
    };
    const auto smallest = std::min_element(t.conditions.begin(), t.conditions.end());
    t.lLimiting = static_cast<int>(smallest - t.conditions.begin()) + 1;
    t.dTolerance = *smallest;
    return t;
}

FdFacts DescribeFdTiming(const FdSetting& setting, std::string_view decimalSeparator,
                         const BusContext& bus) {
    const std::string_view sep = decimalSeparator;
    FdFacts facts;
    facts.setting = setting;
    facts.bus = bus;
    const Controller& row = setting.Row();
    facts.dSysclkMHz = FdClockMHz(setting);
    const double dSysclkHz = facts.dSysclkMHz * 1e6;
    facts.sSysclk = FormatEngineering(dSysclkHz, "0.000", "Hz", false, sep);
    facts.nominal = DescribePhase(setting, FdPhase::Nominal, dSysclkHz, sep);
    facts.data = DescribePhase(setting, FdPhase::Data, dSysclkHz, sep);
    facts.requiredTdc = RequiredTdc(setting);
    facts.tolerance = ComputeFdTolerance(setting.nominal, setting.data);
    facts.sTolerance = FormatNumber(facts.tolerance.dTolerance * 100.0, "0.0###", sep);
    for (std::size_t i = 0; i < kFdConditionCount; ++i) {
        facts.conditionTexts[i] =
            FormatNumber(facts.tolerance.conditions[i] * 100.0, "0.0###", sep);
    }

    CheckPhase(facts, FdPhase::Nominal);
    CheckPhase(facts, FdPhase::Data);
    if (const std::optional<std::string> problem = OscillatorComputeProblem(facts.dSysclkMHz)) {
        Rule(facts, code::kFdClock, *problem);
    } else if (row.dMaxClockMHz > 0 && facts.dSysclkMHz > row.dMaxClockMHz) {
        Rule(facts, code::kFdClock,
             std::string(FdClockName(row)) + " " + facts.sSysclk + " is above the " +
                 FormatGeneralNumber(row.dMaxClockMHz) + " MHz the controller allows.");
    }
    if (setting.bPll && row.clock != ClockRule::Sysclk) {
        Rule(facts, code::kFdClock,
             "The " + std::string(row.sName) +
                 " has no PLL: the frequency given is its CAN clock as it is.");
    }
    CheckTdc(facts);
    facts.bRulesPass = facts.findings.empty();
    facts.sVerdict = facts.bRulesPass ? std::string(kFdPassText) : facts.findings.front().sText;
    AddFdBusFindings(facts, sep);

    FdRegisterEncoding encoding = EncodeFdRegisters(setting);
    facts.registers = encoding.words;
    facts.sRegisterError = std::move(encoding.sError);
    if (facts.registers) {
        facts.registerTexts = MakeFdRegisterTexts(*facts.registers, setting.controller);
    }
    return facts;
}

std::optional<std::string> FdDataRateProblem(double dDataKbps) {
    if (!(dDataKbps >= kFdMinDataRateKbps && dDataKbps <= kFdMaxDataRateKbps)) {
        return std::string("The CAN FD data rate must be at least 1 and no more than 8000.");
    }
    return std::nullopt;
}

} // namespace fd
} // namespace quillon
