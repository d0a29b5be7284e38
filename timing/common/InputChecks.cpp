#include "timing/common/InputChecks.h"

#include "timing/common/NumberFormat.h"

#include <cmath>

namespace quillon {
inline namespace common {

std::optional<std::string> OscillatorProblem(double dOscFreqMHz) {
    if (!(dOscFreqMHz >= kMinOscillatorMHz)) {
        return std::string("The oscillator must be greater than 0.");
    }
    if (dOscFreqMHz > kMaxOscillatorMHz) {
        return "The oscillator must be no more than " + FormatGeneralNumber(kMaxOscillatorMHz) +
               " MHz.";
    }
    return std::nullopt;
}

std::optional<std::string> RateProblem(double dRateKbps) {
    if (dRateKbps >= kMinRateKbps && dRateKbps <= kMaxRateKbps) {
        return std::nullopt;
    }
    return "The CAN baud rate must be greater than 0 and no more than " +
           FormatGeneralNumber(kMaxRateKbps) + ".";
}

std::optional<std::string> OscillatorComputeProblem(double dOscFreqMHz) {
    if (std::isfinite(dOscFreqMHz) && dOscFreqMHz > 0) {
        return std::nullopt;
    }
    return std::string("The oscillator must be greater than 0.");
}

std::optional<std::string> RateComputeProblem(double dRateKbps) {
    if (std::isfinite(dRateKbps) && dRateKbps > 0) {
        return std::nullopt;
    }
    return std::string("The CAN baud rate must be greater than 0.");
}

} // namespace common
} // namespace quillon
