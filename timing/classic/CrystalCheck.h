#pragma once
// The most common fault users report: firmware built for one crystal running on a board with
// another, so the bus runs at half (or some other share of) its rate. Given the rate seen on
// the bus, this finds the crystals on which the registers give that rate, and what the
// registers should be for the intended rate on each of them.
#include "timing/classic/BitTiming.h"
#include "timing/classic/Decode.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quillon {
inline namespace classic {

// The crystals boards are usually built with, in MHz.
inline constexpr std::array<double, 10> kCommonCrystalsMHz{4, 8, 10, 12, 16, 20, 24, 25, 32, 40};
// How far the registers' rate may lie from the measured one, in percent.
inline constexpr double kCrystalMatchPercent = 1.0;

struct CrystalSuggestion {
    double dOscFreqMHz = 0.0;
    double dRateKbps = 0.0;   // what the registers give on this crystal
    double dOffPercent = 0.0; // that rate against the measured one
    // The setting for the intended rate on this crystal: the same segments with another
    // prescaler where one fits, otherwise the recommended segments of the first candidate.
    std::optional<BitTimingSetting> corrected;
};

// The crystals (the common ones and `extraMHz`) on which `registers` give `dMeasuredKbps`
// within 1 %, nearest first. `dIntendedKbps` is the rate the bus should have.
std::vector<CrystalSuggestion> SuggestCrystals(const BitTimingSetting& registers,
                                               double dMeasuredKbps, double dIntendedKbps,
                                               const std::vector<double>& extraMHz = {});

// The finding when the registers give another rate on their oscillator than the one
// measured: which crystal explains it (the first suggestion), or that none of them does.
// Nothing when the measured rate is within 1 % of the registers' rate.
std::optional<std::string> MeasuredRateFinding(const BitTimingSetting& registers,
                                               double dMeasuredKbps,
                                               const std::vector<CrystalSuggestion>& suggestions);

// The crystal check of a decoded setting: the suggestions for `dMeasuredKbps` (the common
// crystals and the setting's own, for the rate it is meant for), with the finding above
// added to its findings.
std::vector<CrystalSuggestion> CheckMeasuredRate(DecodedRegisters& decoded, double dMeasuredKbps);

// The registers' setting moved to another crystal and rate: the same segments and flags with
// the prescaler that hits the rate there, or the recommended segments of the first matching
// candidate; nothing when no combination hits the rate from that crystal.
std::optional<BitTimingSetting> SettingForCrystal(const BitTimingSetting& registers,
                                                  double dOscFreqMHz, double dRateKbps);

} // namespace classic
} // namespace quillon
