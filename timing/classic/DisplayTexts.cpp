#include "timing/classic/DisplayTexts.h"

#include "timing/classic/CandidateSearch.h"
#include "timing/classic/QuantumLength.h"
#include "timing/classic/Segments.h"
#include "timing/common/NumberFormat.h"

#include <cmath>
#include <cstdio>

namespace quillon {
inline namespace classic {

namespace {

constexpr std::string_view kGridTqCountSuffix = " Tq Baud";
constexpr std::string_view kGridTqPattern = "0.000";
constexpr std::string_view kGridTqUnit = "S";
constexpr std::string_view kGridRatePattern = "0.000";
constexpr std::string_view kGridRateUnit = "b";
constexpr std::string_view kErrorPattern = "0.0###";
constexpr std::string_view kRatePattern = "0.000###";
constexpr std::string_view kRateUnit = "bps";

} // namespace

std::string GridTqCountHeading(int tqCount) {
    return std::to_string(tqCount) + std::string(kGridTqCountSuffix);
}

std::string GridRowLabel(int brpMinus1) {
    // A negative value keeps its sign in front of the hexadecimal digits ("-5 (0x-5)");
    // the grid itself only holds 0 to 63.
    const unsigned magnitude =
        brpMinus1 < 0 ? 0U - static_cast<unsigned>(brpMinus1) : static_cast<unsigned>(brpMinus1);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%s%X", brpMinus1 < 0 ? "-" : "", magnitude);
    return std::to_string(brpMinus1) + " (0x" + hex + ")";
}

std::string GridTqText(double seconds, std::string_view decimalSeparator) {
    return FormatEngineering(seconds, kGridTqPattern, kGridTqUnit, false, decimalSeparator);
}

std::string GridRateText(double bitsPerSecond, std::string_view decimalSeparator) {
    return FormatEngineering(bitsPerSecond, kGridRatePattern, kGridRateUnit, false,
                             decimalSeparator);
}

std::string GridCellDescription(const TqCandidate& candidate, double targetBitsPerSecond,
                                std::string_view decimalSeparator) {
    const auto rate = [decimalSeparator](double bitsPerSecond) {
        return FormatEngineering(bitsPerSecond, kRatePattern, kRateUnit, false, decimalSeparator);
    };
    const std::string asked = "the " + rate(targetBitsPerSecond) + " asked for";
    const std::string where = " (BRP-1 " + std::to_string(candidate.lBRPMinus1) + ", " +
                              std::to_string(candidate.lTqCount) + " Tq)";
    if (candidate.bMatches) {
        return "Matches " + asked + where;
    }
    const double dOff = candidate.dActualBaud - targetBitsPerSecond;
    return rate(candidate.dActualBaud) + ", " +
           FormatNumber(std::fabs(dOff) / targetBitsPerSecond * 100, kErrorPattern,
                        decimalSeparator) +
           (dOff > 0 ? " % above " : " % below ") + asked + where;
}

CandidateListTexts ListTexts(const TqCandidate& candidate, std::string_view decimalSeparator) {
    return {std::to_string(candidate.lTqCount), std::to_string(candidate.lBRPMinus1),
            std::to_string(candidate.lOscClocks),
            FormatNumber(candidate.dErrorPercent, kErrorPattern, decimalSeparator)};
}

std::string_view Phase2ModeName(Phase2Mode mode) {
    return mode == Phase2Mode::Programmed ? "programmed" : "larger-of";
}

} // namespace classic
} // namespace quillon
