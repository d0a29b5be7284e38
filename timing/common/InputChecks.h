#pragma once
// The checks every front end makes on the two inputs before a search: the oscillator in
// MHz and the target bus rate in kbit/s, their limits, defaults and the sentence that says
// what is wrong. The window adds what it does about it ("Setting to default value."), the
// command line names the option.
#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

// An oscillator from 1 MHz up to 1e300 MHz (much more and the oscillator in hertz, or the
// bit rates, no longer fit in a double) and a bus rate from 1 to 1000 kbit/s.
inline constexpr double kMinOscillatorMHz = 1.0;
inline constexpr double kMaxOscillatorMHz = 1e300;
inline constexpr double kMinRateKbps = 1.0;
inline constexpr double kMaxRateKbps = 1000.0;

// What the boxes hold when the window opens, and what a bad value is reset to.
inline constexpr std::string_view kDefaultOscillatorText = "16";
inline constexpr std::string_view kDefaultRateText = "500";

// The problem with an oscillator frequency, or nothing when it may be used:
// "The oscillator must be greater than 0." or "... no more than 1E+300 MHz.".
std::optional<std::string> OscillatorProblem(double dOscFreqMHz);
// "The CAN baud rate must be greater than 0 and no more than 1000.", or nothing.
std::optional<std::string> RateProblem(double dRateKbps);

// What a report cannot be worked out with: an oscillator or a rate of 0 or below, or a value
// that is no finite number ("The oscillator must be greater than 0." or "The CAN baud rate
// must be greater than 0."). A value outside the search's limits can still be reported.
std::optional<std::string> OscillatorComputeProblem(double dOscFreqMHz);
std::optional<std::string> RateComputeProblem(double dRateKbps);

} // namespace common
} // namespace quillon
