#pragma once
// The bit timing diagrams in words: what each picture shows (the segments in Tq with their
// durations, SJW, the sample point and the rate), for a screen reader, which cannot read
// the picture. The numbers are the setting's facts, the same the drawing labels with.
#include "timing/classic/BitTiming.h"
#include "timing/fd/FdTiming.h"

#include <string>
#include <string_view>

namespace quillon {

// "Bit of 16 Tq at 500.000 kbps: sync 1 Tq, propagation 6 Tq (1.5 µs), phase 1 7 Tq
// (1.75 µs), phase 2 2 Tq (500.0 ns); SJW 2 Tq (500.0 ns); sample point at 87.5 % of the
// bit." With multiple sampling the sample point is the last of three.
std::string BitTimingDiagramText(const BitTimingSetting& setting,
                                 std::string_view decimalSeparator = ".");

// The nominal bit, then the data bit with its transmitter delay compensation.
std::string FdBitTimingDiagramText(const FdSetting& setting,
                                   std::string_view decimalSeparator = ".");

} // namespace quillon
