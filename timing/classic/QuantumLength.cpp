#include "timing/classic/QuantumLength.h"

#include <cmath>

namespace quillon {
inline namespace classic {

double GridTqSeconds(double dOscFreqMHz, int lBRPMinus1, int lPeriodsPerBrp) {
    // 2 x BRP is formed as a whole number first, then the products run left to right.
    return (1 / dOscFreqMHz) * static_cast<double>(lPeriodsPerBrp * (lBRPMinus1 + 1)) * 0.000001;
}

double DiagramTqSeconds(double dOscFreqMHz, int lBRPMinus1, int lPeriodsPerBrp) {
    const double dOscHz = dOscFreqMHz * 1000000;
    return (1 / dOscHz) * lPeriodsPerBrp * (lBRPMinus1 + 1);
}

double ReportTqSeconds(double dOscFreqMHz, int lBRPMinus1, int lPeriodsPerBrp) {
    const double dOscPeriod = 1.0 / (dOscFreqMHz * 1000000.0);
    const double dTwoOscPeriods = lPeriodsPerBrp == 2 ? dOscPeriod + dOscPeriod : dOscPeriod;
    return dTwoOscPeriods * (lBRPMinus1 + 1);
}

} // namespace classic
} // namespace quillon
