#pragma once
// What both kinds of controller say about a bit in the same words: the length of a segment
// as the diagrams label it, the sample point with one decimal place, and whether a quantum
// describes a bit at all.
#include <cstddef>
#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

// True for a quantum that describes a bit: a positive, finite number of seconds.
bool IsUsableQuantum(double dTqSeconds);

// A duration label: tqCount x tqSeconds in engineering notation, "375.0 ns". A quantum
// length that is not a positive finite number (an oscillator of 0, a negative one or one
// too large for a double) gives "n/a" instead of a meaningless time.
std::string DurationText(int tqCount, double tqSeconds, std::string_view decimalSeparator);

// The sample point's share of the bit in percent with one decimal place, "75.0".
std::string SamplePointText(double percent, std::string_view decimalSeparator);

// One segment's length as the diagram labels it.
struct SegmentDuration {
    std::string_view sName; // "sync", "propagation", "phase1", "phase2", "sjw", "bit"
    int lTq = 0;
    double dSeconds = 0.0;
    std::string sText; // "375.0 ns", or "n/a" without a usable quantum
};
inline constexpr std::size_t kDurationCount = 6;

} // namespace common
} // namespace quillon
