#pragma once
// A CAN FD setting as text for a person, in fixed-width tables: the inputs, both phases with
// their durations, the TDC, verdict, findings, the five tolerance conditions and the
// controller's registers. quillon-cli's fd commands print it and the window's FD dialogs show
// it, so both say the same; every value comes from the model's DescribeFdTiming.
#include "timing/fd/FdTiming.h"

#include <string>
#include <string_view>

namespace quillon {
inline namespace fd {

// The controller (when one was chosen), oscillator, PLL, SYSCLK (for a cell inside a
// processor only its CAN clock) and, with `withRates`, the two target rates, one row each.
std::string FdInputsTable(const FdSetting& setting, bool withRates = true,
                          std::string_view decimalSeparator = ".");

// The tables of a setting; `source` says where it came from ("list entry 1 of 32: ...").
std::string FdSettingText(std::string_view source, const FdFacts& facts);

// The controller's registers of the setting, hexadecimal, with their family; or why the
// setting has none.
std::string FdRegisterTable(const FdFacts& facts);

} // namespace fd
} // namespace quillon
