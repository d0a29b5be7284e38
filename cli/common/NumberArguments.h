#pragma once
// The numbers of a command line (CliArguments.h): every option that takes a number reads it
// with the model's strict reading, so that "16,5", "16MHz" or "16 500" is refused with what
// was read instead of becoming another number; and once the controller is known, an
// oscillator it cannot run with is refused with its likely meaning (Hz, kHz, or the
// oscillator and the rate swapped), as the model's unit hints work it out.
#include "cli/common/CliArguments.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillon::cli {
inline namespace common {

// What the option's number is counted in, as a refusal names it: "MHz", "kbit/s", "Tq"; empty
// for a plain count.
std::string_view UnitOf(Option option);

// The option's value read strictly, or nothing with `error` set to the refusal naming `name`.
std::optional<double> ReadOptionNumber(const OptionInfo& info, std::string_view name,
                                       std::string_view text, std::string& error);
// A whole number in the option's range, or nothing with `error` set.
std::optional<int> ReadWholeNumber(const OptionInfo& info, std::string_view name,
                                   std::string_view text, std::string& error);

// The checks of --rate and --data-rate in the option table: the model's range check, with the
// unit the value was likely typed in when it lies outside ("500000 looks like bit/s").
std::optional<std::string> NominalRateProblem(double dRateKbps);
std::optional<std::string> DataRateProblem(double dRateKbps);
// --measured-rate: any rate above 0, but one that reads as a classic rate in bit/s is named.
std::optional<std::string> MeasuredRateProblem(double dRateKbps);

// Once the controller is known: --osc above what it runs with, refused with its likely
// meaning, or --osc and --rate that look swapped. The refusal, or empty.
std::string CheckClockAndRate(const Request& request);

} // namespace common
} // namespace quillon::cli
