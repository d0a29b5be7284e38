// What the bus as built makes of a CAN FD setting, beyond the controller's own rules: both
// phases' rates and sample points, the tolerance against the crystals, the nominal phase's
// propagation against the cable, the data sample point against the transceivers' bit
// symmetry and loop delay, and CiA's advice.
#include "timing/common/NumberFormat.h"
#include "timing/common/PhaseFindings.h"
#include "timing/fd/FdTiming.h"

#include <algorithm>

namespace quillon {
inline namespace fd {

namespace {

std::string Ns(double seconds, std::string_view sep) {
    return FormatNumber(seconds * 1e9, "0.#", sep) + " ns";
}

PhaseQuantities Quantities(const FdFacts& facts, FdPhase phase) {
    const FdPhaseSetting& s = facts.setting.Phase(phase);
    const FdPhaseFacts& f = facts.Phase(phase);
    PhaseQuantities q;
    q.sPhase = PhaseName(phase);
    q.dTargetBaud = f.dTargetBaud;
    q.dActualBaud = f.dActualBaud;
    q.bHitsTarget = f.bHitsTarget;
    q.dTolerance = facts.tolerance.dTolerance;
    q.dTqSeconds = f.dTqSeconds;
    q.lPropagation = s.lPropagation;
    q.lPhase1 = s.lPhase1;
    q.lPhase2 = s.lPhase2;
    q.lSJW = s.lSJW;
    q.dSamplePointPercent = f.dSamplePointPercent;
    q.dRecommendedSamplePointPercent = f.dRecommendedSamplePointPercent;
    q.sRecommendationSource = source::kCiaFd;
    return q;
}

// From the start of the data bit to its sample point, seconds.
double DataSampleSeconds(const FdFacts& facts) {
    return (1.0 + facts.setting.data.Tseg1()) * facts.data.dTqSeconds;
}

void AddToleranceFindings(FdFacts& facts, std::string_view sep) {
    const FdTolerance& t = facts.tolerance;
    if (t.lLimiting == 0) {
        return;
    }
    if (t.dTolerance <= 0) {
        facts.findings.push_back(
            {Severity::Error, code::kFdToleranceNegative,
             "Condition " + std::to_string(t.lLimiting) + " of the oscillator tolerance (" +
                 std::string(kFdConditionFormulas[t.lLimiting - 1]) + ") is " +
                 facts.conditionTexts[t.lLimiting - 1] +
                 " %: no crystal is exact enough, so this pair cannot work at all.",
             source::kIso11898_1});
        return;
    }
    AddToleranceFinding(Quantities(facts, FdPhase::Nominal), facts.bus, facts.findings, sep);
}

void AddSymmetryFinding(FdFacts& facts, std::string_view sep) {
    const std::optional<BitSymmetry> symmetry = SymmetryOf(facts.bus.transceiver);
    if (!symmetry || !(facts.data.dActualBaud > 0)) {
        return;
    }
    const double dBit = 1.0 / facts.data.dActualBaud;
    const double dShortest = dBit - (symmetry->dBitSeconds - symmetry->dShortestSeconds);
    const double dLate = symmetry->dLongestSeconds - symmetry->dBitSeconds;
    const double dSample = DataSampleSeconds(facts);
    const std::string lead = "The data sample point lies " + Ns(dSample, sep) + " into a bit of " +
                             Ns(dBit, sep) + "; a " +
                             std::string(TransceiverClassName(facts.bus.transceiver)) +
                             " transceiver may deliver it ";
    if (dSample > dShortest) {
        facts.findings.push_back(
            {Severity::Error, code::kFdDataSamplePointAsymmetry,
             lead + "as short as " + Ns(dShortest, sep) + ", so the receiver samples the next bit.",
             source::kIso11898_2});
    } else if (dSample <= dLate) {
        facts.findings.push_back(
            {Severity::Error, code::kFdDataSamplePointAsymmetry,
             lead + Ns(dLate, sep) + " late, so the receiver samples the bit before.",
             source::kIso11898_2});
    }
}

void AddTdcFindings(FdFacts& facts, std::string_view sep) {
    const FdSetting& s = facts.setting;
    const Controller& row = s.Row();
    const double dSample = DataSampleSeconds(facts);
    if (s.tdc.mode == TdcMode::Off && facts.data.dTqSeconds > 0) {
        if (dSample <= facts.bus.dLoopDelayNs * 1e-9) {
            facts.findings.push_back(
                {Severity::Error, code::kFdTdcNeeded,
                 "TDC is off and the data sample point comes " + Ns(dSample, sep) +
                     " into the bit, before a transceiver of " +
                     FormatGeneralNumber(facts.bus.dLoopDelayNs) +
                     " ns loop delay gives back the transmitted bit: the transmitter sees bit "
                     "errors in every data phase.",
                 source::kIso11898_2});
        } else if (DriverLeavesTdcOff(facts)) {
            facts.findings.push_back(
                {Severity::Advice, code::kFdTdcOff,
                 "TDC is off, as the " + std::string(row.linux->sName) +
                     " driver leaves it up to 2.5 Mbit/s: the data phase works only while the "
                     "transceiver's loop delay stays below the data sample point, " +
                     Ns(dSample, sep) + " into the bit; TDC automatic with TDCO " +
                     std::to_string(facts.requiredTdc.lOffset) + " would not depend on it.",
                 source::kLinux});
        }
    }
    const long long offset = (1LL + s.data.Tseg1()) * s.data.lBRP;
    if (s.tdc.mode == TdcMode::Auto && offset > row.tdcLimits.offsetMax) {
        facts.findings.push_back(
            {Severity::Advice, code::kFdTdcOffsetLimited,
             "The data sample point lies " + std::to_string(offset) + " " +
                 std::string(FdClockName(row)) +
                 " periods into the bit, beyond the largest TDCO (" +
                 std::to_string(row.tdcLimits.offsetMax) +
                 "): TDCO is limited to it and TDC stays on, as the Linux driver does; a data "
                 "sample point nearer the start of the bit would put the secondary sample point "
                 "on it.",
             source::kLinux});
    }
}

void AddCiaAdvice(FdFacts& facts) {
    const FdSetting& s = facts.setting;
    if (s.nominal.lBRP != s.data.lBRP) {
        facts.findings.push_back({Severity::Advice, code::kFdQuantumDiffers,
                                  "CiA recommends the same time quantum in both phases; here "
                                  "the nominal one is " +
                                      facts.nominal.sTq + " and the data one " + facts.data.sTq +
                                      ".",
                                  source::kCiaFd});
    }
    if (s.data.lBRP > 2) {
        facts.findings.push_back({Severity::Advice, code::kFdDataBrp,
                                  "CiA recommends a data BRP of 1 or 2, with which TDC can work; "
                                  "here it is " +
                                      std::to_string(s.data.lBRP) + ".",
                                  source::kCiaFd});
    }
    if (facts.data.dActualBaud > 0 && facts.data.dActualBaud < facts.nominal.dActualBaud) {
        facts.findings.push_back({Severity::Advice,
                                  code::kFdDataBelowNominal,
                                  "The data rate is below the nominal rate; the data phase is "
                                  "meant to be the faster one.",
                                  {}});
    }
}

} // namespace

bool DriverLeavesTdcOff(const FdFacts& facts) {
    const Controller& row = facts.setting.Row();
    // The m_can driver's own TDC is off up to 2.5 Mbit/s (linux/FdKernelChoice works it out
    // in the driver's whole numbers; the rate the bit gives decides it the same way).
    return row.linux && row.linux->tdc == DriverTdc::OwnAbove2500k &&
           facts.setting.tdc.mode == TdcMode::Off &&
           facts.data.dActualBaud < kDriverTdcAboveBps + 0.5;
}

void AddFdBusFindings(FdFacts& facts, std::string_view sep) {
    for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
        AddRateFindings(Quantities(facts, phase), facts.bus, facts.findings, sep);
    }
    AddToleranceFindings(facts, sep);
    AddPropagationFinding(Quantities(facts, FdPhase::Nominal), facts.bus, facts.findings, sep);
    for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
        AddSamplePointFinding(Quantities(facts, phase), facts.findings, sep);
    }
    AddSymmetryFinding(facts, sep);
    AddTdcFindings(facts, sep);
    AddCiaAdvice(facts);
    SortBySeverity(facts.findings);
}

} // namespace fd
} // namespace quillon
