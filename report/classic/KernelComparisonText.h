#pragma once
// The Linux kernel's own choice beside Quillon's, as text: the inputs, one column each for
// the kernel, Quillon's proposal and its recommendation (prescaler, Tq count, quantum,
// segments, rate and its error, sample point, oscillator tolerance, bus length, the
// Microchip verdict, CNF1..CNF3), why a column is missing, and the differences in plain
// sentences. `quillon-cli kernel` prints it and the window's kernel dialog shows it, so
// both say the same.
#include "timing/linux/KernelComparison.h"

#include <string>
#include <string_view>

namespace quillon {
inline namespace classic {

std::string KernelComparisonText(const KernelComparison& comparison,
                                 std::string_view decimalSeparator = ".");

} // namespace classic
} // namespace quillon
