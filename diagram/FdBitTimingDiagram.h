#pragma once
// The CAN FD bit timing diagram: the nominal bit above and the data bit below, each across
// the full width and cut into its own time quanta, with its sync, propagation, phase 1 and
// phase 2 segments as dimension arrows, the SJW around the sample point, the sample marker
// and, on the data bit, the secondary sample point of the transmitter delay compensation.
// It draws a setting on any BitCanvas and keeps no state; its numbers and texts come from
// the setting's facts (DescribeFdTiming). Every text stays inside the picture, as the
// classic diagram's do: a label with no room right of its mark stands left of it, then in a
// shorter form.
#include "diagram/BitCanvas.h"
#include "timing/fd/FdTiming.h"

#include <string_view>

namespace quillon {

namespace fd_diagram_colours {
inline constexpr Rgb kSecondarySample{160, 0, 160}; // purple: the TDC's secondary sample point
} // namespace fd_diagram_colours

// The drawing's user height: two rows of 100 with a gap of 10 between them, and a lane of
// 15 under the data bit for the secondary sample point.
inline constexpr double kFdDiagramHeight = 225;
inline constexpr double kFdDataRowTop = 110;

// Clears the canvas and draws both bits of `setting`. Returns false, leaving the canvas
// untouched, when a phase has no bit to draw (a Tq count below 1 or above 1000).
bool DrawFdBitTimingDiagram(BitCanvas& canvas, const FdSetting& setting,
                            std::string_view decimalSeparator = ".");

} // namespace quillon
