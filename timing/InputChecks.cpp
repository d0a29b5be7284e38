#include "timing/InputChecks.h"

#include "timing/NumberFormat.h"

namespace quillon {

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

} // namespace quillon
