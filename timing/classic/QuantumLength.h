#pragma once
// The length of one time quantum, 2 x (BRP-1 + 1) oscillator periods, as each screen of the
// calculator has always worked it out. The three orders of operations can differ in the
// last bit of a double, and that bit decides how a rate or a duration rounds, so each
// screen keeps its own and its texts stay exactly what they were. They sit side by side
// here so that nobody adds a fourth.
#include "timing/common/BitTexts.h"

namespace quillon {
inline namespace classic {

// The candidate grid and the chosen list: (1 / F) x (2 x BRP) x 0.000001, with F in MHz.
// `lPeriodsPerBrp` is 2 on Microchip's classic controllers (the quantum is 2 x BRP oscillator
// periods) and 1 on a cell clocked by its peripheral clock; with 2 each order is as it was.
double GridTqSeconds(double dOscFreqMHz, int lBRPMinus1, int lPeriodsPerBrp = 2);

// The diagram's durations and the step-3 analysis: (1 / (F x 1000000)) x 2 x BRP.
double DiagramTqSeconds(double dOscFreqMHz, int lBRPMinus1, int lPeriodsPerBrp = 2);

// The report: one oscillator period added to itself, then x BRP.
double ReportTqSeconds(double dOscFreqMHz, int lBRPMinus1, int lPeriodsPerBrp = 2);

} // namespace classic
} // namespace quillon
