#include "timing/common/PhaseFindings.h"

#include "timing/common/NumberFormat.h"

#include <cmath>

namespace quillon {
inline namespace common {

namespace {

std::string Lead(const PhaseQuantities& phase, std::string_view what) {
    std::string text = "The ";
    if (!phase.sPhase.empty()) {
        text += std::string(phase.sPhase) + " ";
    }
    return text + std::string(what);
}

std::string Bps(double bitsPerSecond, std::string_view sep) {
    return FormatEngineering(bitsPerSecond, "0.000###", "bps", false, sep);
}

std::string Percent(double fraction, std::string_view sep) {
    return FormatNumber(fraction * 100.0, "0.0###", sep) + " %";
}

std::string Ns(double seconds, std::string_view sep) {
    return FormatNumber(seconds * 1e9, "0.#", sep) + " ns";
}

std::string Metres(double metres, std::string_view sep) {
    return FormatNumber(metres, "0.#", sep) + " m";
}

} // namespace

void AddRateFindings(const PhaseQuantities& phase, const BusContext& bus, Findings& findings,
                     std::string_view sep) {
    if (phase.bHitsTarget || !(phase.dTargetBaud > 0) || !(phase.dActualBaud > 0)) {
        return;
    }
    const double dError = std::fabs(phase.dActualBaud - phase.dTargetBaud) / phase.dTargetBaud;
    const double dCrystal = bus.dCrystalPpm * 1e-6;
    const std::string lead = Lead(phase, "bit rate is ") + Bps(phase.dActualBaud, sep) + ", " +
                             Percent(dError, sep) +
                             (phase.dActualBaud < phase.dTargetBaud ? " below" : " above") +
                             " the " + Bps(phase.dTargetBaud, sep) + " asked for";
    const std::string crystals =
        "; with the crystals' " + FormatGeneralNumber(bus.dCrystalPpm) + " ppm on top ";
    const std::string tolerance =
        " the " + Percent(phase.dTolerance, sep) + " oscillator tolerance of this bit";
    if (dError + dCrystal > phase.dTolerance) {
        findings.push_back({Severity::Error, code::kRateOffTarget,
                            lead + crystals + "that is more than" + tolerance +
                                ", so it loses step with nodes at the right rate.",
                            source::kIso11898_1});
    } else {
        findings.push_back({Severity::Warning, code::kRateOffTarget,
                            lead + crystals + "it stays within" + tolerance +
                                ", but it uses up that much of every other node's margin.",
                            source::kIso11898_1});
    }
}

void AddToleranceFinding(const PhaseQuantities& phase, const BusContext& bus, Findings& findings,
                         std::string_view sep) {
    const double dCrystal = bus.dCrystalPpm * 1e-6;
    if (phase.dTolerance > 0 && phase.dTolerance < dCrystal) {
        findings.push_back({Severity::Error, code::kToleranceShort,
                            "The bit tolerates " + Percent(phase.dTolerance, sep) +
                                " oscillator drift, less than the crystals' " +
                                FormatGeneralNumber(bus.dCrystalPpm) + " ppm (" +
                                Percent(dCrystal, sep) +
                                "): two nodes at opposite ends of their tolerance lose step.",
                            source::kIso11898_1});
    }
}

void AddPropagationFinding(const PhaseQuantities& phase, const BusContext& bus, Findings& findings,
                           std::string_view sep) {
    if (!(phase.dTqSeconds > 0) || phase.lPropagation < 0) {
        return;
    }
    const double dProp = phase.lPropagation * phase.dTqSeconds;
    const double dLongest = LongestBusMetres(bus, dProp);
    const std::string segment = Lead(phase, "propagation segment is ") +
                                std::to_string(phase.lPropagation) + " Tq (" + Ns(dProp, sep) + ")";
    const std::string allows =
        dLongest < 0 ? "it covers no cable at all" : "it covers at most " + Metres(dLongest, sep);
    if (bus.dBusLengthMetres) {
        const double length = *bus.dBusLengthMetres;
        if (!CoversBus(bus, dProp, length)) {
            findings.push_back(
                {Severity::Error, code::kPropagationShort,
                 segment + "; the round trip over " + Metres(length, sep) + " of cable at " +
                     FormatGeneralNumber(bus.dCableDelayNsPerMetre) +
                     " ns/m and through two transceivers of " +
                     FormatGeneralNumber(bus.dLoopDelayNs) + " ns loop delay takes " +
                     Ns(RoundTripSeconds(bus, length), sep) + ", so in arbitration this node " +
                     "samples before the far node's bit arrives; " + allows + ".",
                 source::kIso11898_2});
        }
        return;
    }
    if (dLongest < 0) {
        findings.push_back({Severity::Warning, code::kPropagationShort,
                            segment + ", less than the " + Ns(RoundTripSeconds(bus, 0), sep) +
                                " two transceivers of " + FormatGeneralNumber(bus.dLoopDelayNs) +
                                " ns loop delay take without any cable: it works only with faster "
                                "transceivers and a short bus.",
                            source::kIso11898_2});
    }
}

void AddSamplePointFinding(const PhaseQuantities& phase, Findings& findings, std::string_view sep) {
    const double dOff = phase.dSamplePointPercent - phase.dRecommendedSamplePointPercent;
    // Compared in tenths of a percent, as the sample points are shown.
    const double dTenths = std::round(std::fabs(dOff) * 10.0);
    if (phase.dSamplePointPercent <= 0 || dTenths <= kSamplePointAdvicePoints * 10.0) {
        return;
    }
    const bool early = dOff < 0;
    const Severity severity =
        dTenths > kSamplePointWarningPoints * 10.0 ? Severity::Warning : Severity::Advice;
    const std::string text =
        Lead(phase, "sample point is at ") + FormatNumber(phase.dSamplePointPercent, "0.0", sep) +
        " %, " + FormatNumber(std::fabs(dOff), "0.0", sep) + " points " +
        (early ? "before" : "after") + " the " +
        FormatNumber(phase.dRecommendedSamplePointPercent, "0.0", sep) + " % recommended for " +
        Bps(phase.dActualBaud, sep) +
        (early ? ": it leaves less room for the bus's propagation and samples nodes set to "
                 "the recommendation at a different place in the bit."
               : ": phase 2 is short, so less oscillator drift can be resynchronised, and it "
                 "samples nodes set to the recommendation at a different place in the bit.");
    findings.push_back({severity, early ? code::kSamplePointEarly : code::kSamplePointLate, text,
                        phase.sRecommendationSource});
}

void AddSjwFinding(const PhaseQuantities& phase, bool bCheckPhase2, Findings& findings) {
    const bool above1 = phase.lSJW > phase.lPhase1 && phase.lPhase1 >= 1;
    const bool above2 = bCheckPhase2 && phase.lSJW > phase.lPhase2 && phase.lPhase2 >= 1;
    if (!above1 && !above2) {
        return;
    }
    std::string which;
    if (above1) {
        which = "phase 1 (" + std::to_string(phase.lPhase1) + " Tq)";
    }
    if (above2) {
        which += std::string(above1 ? " and " : "") + "phase 2 (" + std::to_string(phase.lPhase2) +
                 " Tq)";
    }
    findings.push_back({Severity::Error, code::kSjwAbovePhase,
                        Lead(phase, "SJW ") + std::to_string(phase.lSJW) + " is longer than " +
                            which +
                            ": the rules allow SJW up to the shorter phase segment, and the "
                            "Linux driver refuses it.",
                        source::kIso11898_1});
}

std::string LongestBusText(const BusContext& bus, double dPropagationSeconds,
                           std::string_view sep) {
    if (!(dPropagationSeconds > 0)) {
        return "n/a";
    }
    const double dLongest = LongestBusMetres(bus, dPropagationSeconds);
    if (dLongest < 0) {
        return "none";
    }
    return "up to " + FormatNumber(dLongest, "0.0", sep) + " m";
}

} // namespace common
} // namespace quillon
