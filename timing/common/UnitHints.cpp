// The unit-slip hints of UnitHints.h: each tries the other unit a value was likely typed in.
#include "timing/common/UnitHints.h"

#include "timing/common/InputChecks.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace quillon {
inline namespace common {

namespace {

bool Within(double value, double min, double max) {
    return std::isfinite(value) && value >= min && value <= max;
}

std::string DidYouMean(double given, std::string_view unitTaken, double meant,
                       std::string_view unit) {
    return FormatGeneralNumber(given) + " looks like " + std::string(unitTaken) +
           ": did you mean " + FormatGeneralNumber(meant) + " " + std::string(unit) + "?";
}

} // namespace

std::optional<std::string> GivenClockProblem(double dGivenMHz, const Controller& row) {
    if (!(dGivenMHz > row.dMaxGivenMHz)) {
        return std::nullopt;
    }
    for (const auto& [factor, unit] :
         {std::pair<double, std::string_view>{1e6, "Hz"}, {1e3, "kHz"}}) {
        const double meant = dGivenMHz / factor;
        if (Within(meant, kMinOscillatorMHz, row.dMaxGivenMHz)) {
            return DidYouMean(dGivenMHz, unit, meant, "MHz");
        }
    }
    return FormatGeneralNumber(dGivenMHz) + " MHz is more than the " + std::string(row.sTitle) +
           " runs with (at most " + FormatGeneralNumber(row.dMaxGivenMHz) + " MHz)";
}

std::optional<std::string> RateUnitHint(double dRateKbps, double dMinKbps, double dMaxKbps) {
    if (Within(dRateKbps, dMinKbps, dMaxKbps)) {
        return std::nullopt;
    }
    const bool above = dRateKbps > dMaxKbps;
    const double meant = above ? dRateKbps / 1000 : dRateKbps * 1000;
    if (Within(meant, std::max(dMinKbps, kLowestLikelyRateKbps), dMaxKbps)) {
        return DidYouMean(dRateKbps, above ? "bit/s" : "Mbit/s", meant, "kbit/s");
    }
    return std::nullopt;
}

bool LookSwapped(double dGivenMHz, double dRateKbps, const Controller& row, double dMaxRateKbps) {
    return dGivenMHz > row.dMaxGivenMHz && Within(dRateKbps, kMinOscillatorMHz, row.dMaxGivenMHz) &&
           Within(dGivenMHz, kMinRateKbps, dMaxRateKbps);
}

} // namespace common
} // namespace quillon
