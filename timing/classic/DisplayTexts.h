#pragma once
// The texts of the step-2 candidate grid and list and of the bit timing diagram's labels,
// made in one place so that the window's controls and the command-line tool write the
// same characters for the same numbers. Only the texts live here; where they stand is the
// business of the caller. The decimal separator is always handed in (the user's regional
// setting in the window, a point in the command-line tool).
#include "timing/common/BitTexts.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillon {
inline namespace classic {

struct TqCandidate;
enum class Phase2Mode;

// The grid's top-left heading and the heading of its quantum-length column.
inline constexpr std::string_view kGridCornerText = "BRP-1 (hex)";
inline constexpr std::string_view kGridTqHeading = "Tq";

// Heading of the rate column of a Tq count: "8 Tq Baud".
std::string GridTqCountHeading(int tqCount);

// Label of a grid row: BRP-1 in decimal and in upper-case hexadecimal, "10 (0xA)".
std::string GridRowLabel(int brpMinus1);

// A row's quantum length, "125.000 nS", and a cell's bit rate, "500.000 kb".
std::string GridTqText(double seconds, std::string_view decimalSeparator);
std::string GridRateText(double bitsPerSecond, std::string_view decimalSeparator);

// What a screen reader says of a grid cell beside its rate: whether it gives the target and
// where it stands, "Matches the 500.000 kbps asked for (BRP-1 0, 16 Tq)" or "1.000 Mbps,
// 100.0 % above the 500.000 kbps asked for (BRP-1 0, 8 Tq)".
std::string GridCellDescription(const TqCandidate& candidate, double targetBitsPerSecond,
                                std::string_view decimalSeparator);

// The chosen list's columns: headings, and the texts of one candidate in the same order
// (Tq count, BRP-1 and oscillator clocks in decimal, the error in percent as "0.0###").
inline constexpr std::size_t kListColumnCount = 4;
inline constexpr std::array<std::string_view, kListColumnCount> kListHeadings{"Tq", "BRP-1",
                                                                              "osc1 clks", "%Err"};
using CandidateListTexts = std::array<std::string, kListColumnCount>;
CandidateListTexts ListTexts(const TqCandidate& candidate, std::string_view decimalSeparator);

// The name of a phase-2 mode in the command line's and the exports' texts: "programmed" or
// "larger-of".
std::string_view Phase2ModeName(Phase2Mode mode);

} // namespace classic
} // namespace quillon
