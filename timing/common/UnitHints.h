#pragma once
// The likely meaning of an input no controller can run with, worked out once for every front
// end: an oscillator above what the chosen controller runs with that reads as MHz when taken as
// Hz or kHz, a rate above the largest that reads as kbit/s when taken as bit/s (or below the
// smallest when taken as Mbit/s), and an oscillator and a rate that fit each other's place.
#include "timing/common/Controllers.h"

#include <optional>
#include <string>

namespace quillon {
inline namespace common {

// A rate read in another unit is a likely meaning only from 10 kbit/s on: a CAN bus is seldom
// run slower, and "2000" on a classic rate is rather a data rate than 2 kbit/s.
inline constexpr double kLowestLikelyRateKbps = 10.0;

// Nothing when `dGivenMHz` is no more than `row` runs with (its dMaxGivenMHz); otherwise
// "16000000 looks like Hz: did you mean 16 MHz?", "16000 looks like kHz: did you mean 16 MHz?"
// or "500 MHz is more than the MCP2515 runs with (at most 40 MHz)". The lower end is
// OscillatorProblem's (InputChecks.h).
std::optional<std::string> GivenClockProblem(double dGivenMHz, const Controller& row);

// For a rate outside `dMinKbps` to `dMaxKbps`: "500000 looks like bit/s: did you mean 500
// kbit/s?" or "0.5 looks like Mbit/s: did you mean 500 kbit/s?", when that reading lies in the
// range and at kLowestLikelyRateKbps or above; nothing otherwise (the range check says why).
std::optional<std::string> RateUnitHint(double dRateKbps, double dMinKbps, double dMaxKbps);

// True when an oscillator the row cannot run with and a rate would both fit when swapped:
// "--osc 500 --rate 16" meant 16 MHz and 500 kbit/s.
bool LookSwapped(double dGivenMHz, double dRateKbps, const Controller& row, double dMaxRateKbps);

} // namespace common
} // namespace quillon
