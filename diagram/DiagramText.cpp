#include "diagram/DiagramText.h"

#include <array>

namespace quillon {

namespace {

// The segments in BitTimingFacts::durations and FdPhaseFacts::durations, as they are named
// in words.
constexpr std::array<std::pair<std::size_t, std::string_view>, 4> kNamedSegments{
    {{0, "sync"}, {1, "propagation"}, {2, "phase 1"}, {3, "phase 2"}}};
constexpr std::size_t kSJWDuration = 4;

std::string Tq(const SegmentDuration& d) {
    return std::to_string(d.lTq) + " Tq";
}

// "sync 1 Tq, propagation 6 Tq (1.5 µs), ...; SJW 2 Tq (500.0 ns); sample point at 87.5 %
// of the bit"; the sync segment has no duration in the drawing either.
std::string SegmentsText(const std::array<SegmentDuration, kDurationCount>& durations,
                         const std::string& sSamplePoint, bool bThreeSamples) {
    std::string text;
    for (const auto& [index, name] : kNamedSegments) {
        const SegmentDuration& d = durations[index];
        if (index > 0 && d.lTq == 0) {
            continue; // a CAN FD phase without propagation
        }
        text += (text.empty() ? "" : ", ") + std::string(name) + ' ' + Tq(d) +
                (index > 0 ? " (" + d.sText + ")" : "");
    }
    const SegmentDuration& sjw = durations[kSJWDuration];
    text += "; SJW " + Tq(sjw) + " (" + sjw.sText + "); ";
    text += bThreeSamples ? "three samples, the last at " : "sample point at ";
    return text + sSamplePoint + " % of the bit";
}

} // namespace

std::string BitTimingDiagramText(const BitTimingSetting& setting,
                                 std::string_view decimalSeparator) {
    const BitTimingFacts facts = DescribeBitTiming(setting, decimalSeparator);
    return "Bit of " + std::to_string(setting.segments.lTqCount) + " Tq at " + facts.rate.sActual +
           ": " + SegmentsText(facts.durations, facts.sSamplePoint, setting.segments.bSam) + ".";
}

std::string FdBitTimingDiagramText(const FdSetting& setting, std::string_view decimalSeparator) {
    const FdFacts facts = DescribeFdTiming(setting, decimalSeparator);
    std::string text;
    for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
        const FdPhaseFacts& f = facts.Phase(phase);
        text += std::string(phase == FdPhase::Nominal ? "Nominal" : " Data") + " bit of " +
                std::to_string(f.lTqCount) + " Tq at " + f.sActual + ": " +
                SegmentsText(f.durations, f.sSamplePoint, false) + ".";
    }
    // As the drawing's title of the data bit says it.
    const FdTdcSetting& tdc = facts.setting.tdc;
    return text + (tdc.mode == TdcMode::Off ? " TDC off."
                                            : " TDC " + std::string(TdcModeName(tdc.mode)) +
                                                  " (TDCO " + std::to_string(tdc.lOffset) + ").");
}

} // namespace quillon
