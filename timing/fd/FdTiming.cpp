// DescribeFdTiming: every fact of a CAN FD setting, worked out once for every front end.
#include "timing/fd/FdTiming.h"

#include "timing/common/BitTexts.h"
#include "timing/common/Controllers.h"
#include "timing/common/InputChecks.h"
#include "timing/common/NumberFormat.h"
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

void Rule(FdFacts& facts, std::string text) {
    facts.findings.push_back({FdFindingKind::Rule, std::move(text)});
}

void Advice(FdFacts& facts, std::string text) {
    facts.findings.push_back({FdFindingKind::Advice, std::move(text)});
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
        Rule(facts, Outside(name + " BRP", s.lBRP, l.brpMin, l.brpMax));
    }
    if (s.lPropagation < 0) {
        Rule(facts, name + " propagation " + std::to_string(s.lPropagation) + " is below 0.");
    }
    if (s.lPhase1 < 1) {
        Rule(facts, name + " phase 1 " + std::to_string(s.lPhase1) + " is below 1.");
    }
    if (s.Tseg1() < l.tseg1Min || s.Tseg1() > l.tseg1Max) {
        Rule(facts,
             Outside(name + " TSEG1 (propagation + phase 1)", s.Tseg1(), l.tseg1Min, l.tseg1Max));
    }
    if (s.lPhase2 < l.tseg2Min || s.lPhase2 > l.tseg2Max) {
        Rule(facts, Outside(name + " phase 2 (TSEG2)", s.lPhase2, l.tseg2Min, l.tseg2Max));
    }
    if (s.lSJW < 1 || s.lSJW > l.sjwMax) {
        Rule(facts, Outside(name + " SJW", s.lSJW, 1, l.sjwMax));
    }
    if (s.lSJW > s.lPhase2) {
        Rule(facts, name + " SJW " + std::to_string(s.lSJW) + " is longer than phase 2 (" +
                        std::to_string(s.lPhase2) + " Tq).");
    }
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

void CheckTdc(FdFacts& facts, std::string_view sep) {
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
    // The m_can driver's own TDC is off up to 2.5 Mbit/s (linux/FdKernelChoice works it out
    // in the driver's whole numbers; the rate the bit gives decides it the same way).
    const bool driverLeavesItOff = row.linux && row.linux->tdc == DriverTdc::OwnAbove2500k &&
                                   tdc.mode == TdcMode::Off &&
                                   facts.data.dActualBaud < kDriverTdcAboveBps + 0.5;
    if (needed.mode == TdcMode::Auto && driverLeavesItOff) {
        // What the Linux driver runs with up to 2.5 Mbit/s: a choice, not a broken rule.
        const double dSampleNs = (1.0 + data.Tseg1()) * data.lBRP / FdClockMHz(facts.setting) * 1e3;
        Advice(facts, "TDC is off, as the " + std::string(row.linux->sName) +
                          " driver leaves it up to 2.5 Mbit/s: the data phase works only while "
                          "the transceiver's loop delay stays below the data sample point, " +
                          FormatNumber(dSampleNs, "0.#", sep) +
                          " ns into the bit; TDC automatic with TDCO " +
                          std::to_string(needed.lOffset) + " would not depend on it.");
        return;
    }
    std::string why;
    if (needed.mode == TdcMode::Auto) {
        why = "TDC must be automatic with TDCO " + std::to_string(needed.lOffset) +
              " (the data sample point in " + clock + " periods)";
    } else if (data.lBRP == 1 || data.lBRP == 2) {
        why = "TDC must be off: the data sample point lies " +
              std::to_string((1LL + data.lPropagation + data.lPhase1) * data.lBRP) + " " + clock +
              " periods into the bit, beyond the largest TDCO of " +
              std::to_string(row.tdcLimits.offsetMax);
    } else {
        why = "TDC must be off with a data BRP of " + std::to_string(data.lBRP) +
              " (it works only with 1 or 2)";
    }
    Rule(facts, why + "; it is " + TdcText(tdc) + ".");
}

void AddAdvice(FdFacts& facts, std::string_view sep) {
    const FdSetting& s = facts.setting;
    for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
        const FdPhaseFacts& f = facts.Phase(phase);
        if (!f.bHitsTarget && f.dTargetBaud > 0) {
            Advice(facts, "The " + std::string(PhaseName(phase)) + " rate is " +
                              Kbps(f.dActualBaud, sep) + ", not the " + Kbps(f.dTargetBaud, sep) +
                              " asked for (" + f.sError + ").");
        }
    }
    if (s.nominal.lBRP != s.data.lBRP) {
        Advice(facts, "CiA recommends the same time quantum in both phases; here the nominal one "
                      "is " +
                          facts.nominal.sTq + " and the data one " + facts.data.sTq + ".");
    }
    if (s.data.lBRP > 2) {
        Advice(facts, "CiA recommends a data BRP of 1 or 2, with which TDC can work; here it is " +
                          std::to_string(s.data.lBRP) + ".");
    }
    for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
        const FdPhaseSetting& p = s.Phase(phase);
        if (p.lSJW > p.lPhase1 && p.lPhase1 >= 1) {
            Advice(facts, Capitalised(PhaseName(phase)) + " SJW " + std::to_string(p.lSJW) +
                              " is longer than phase 1 (" + std::to_string(p.lPhase1) +
                              " Tq): Linux refuses that in the explicit ip link form; the "
                              "controller itself sees only TSEG1.");
        }
    }
    if (facts.data.dActualBaud > 0 && facts.data.dActualBaud < facts.nominal.dActualBaud) {
        Advice(facts, "The data rate is below the nominal rate; the data phase is meant to be "
                      "the faster one.");
    }
    if (facts.tolerance.lLimiting != 0 && facts.tolerance.dTolerance <= 0) {
        Advice(facts, "No oscillator tolerance is left: condition " +
                          std::to_string(facts.tolerance.lLimiting) + " cannot be met.");
    }
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

bool FdFacts::Passes() const {
    return std::none_of(findings.begin(), findings.end(), [](const FdFinding& finding) {
        return finding.kind == FdFindingKind::Rule;
    });
}

FdFacts DescribeFdTiming(const FdSetting& setting, std::string_view decimalSeparator) {
    const std::string_view sep = decimalSeparator;
    FdFacts facts;
    facts.setting = setting;
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
        Rule(facts, *problem);
    } else if (row.dMaxClockMHz > 0 && facts.dSysclkMHz > row.dMaxClockMHz) {
        Rule(facts, std::string(FdClockName(row)) + " " + facts.sSysclk + " is above the " +
                        FormatGeneralNumber(row.dMaxClockMHz) + " MHz the controller allows.");
    }
    if (setting.bPll && row.clock != ClockRule::Sysclk) {
        Rule(facts, "The " + std::string(row.sName) +
                        " has no PLL: the frequency given is its CAN clock as it is.");
    }
    CheckTdc(facts, decimalSeparator);
    facts.sVerdict = facts.Passes() ? std::string(kFdPassText) : facts.findings.front().sText;
    AddAdvice(facts, sep);

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
