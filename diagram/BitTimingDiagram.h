#pragma once
// The bit timing diagram: one CAN bit cut into time quanta, with the sync, propagation,
// phase 1 and phase 2 segments as dimension arrows, the SJW around the sample point and
// the sample marker(s). It draws a setting on any BitCanvas and keeps no state; its
// numbers and texts come from the setting's facts. Every text stays inside the picture,
// whatever the sample point and SJW: a label with no room right of its mark stands left of
// it, then in a shorter form, and a centred one moves in from the edge it would cross.
#include "diagram/BitCanvas.h"
#include "timing/classic/BitTiming.h"

#include <string_view>

namespace quillon {

// Clears the canvas and draws the whole diagram of `setting`. Returns false, leaving the
// canvas untouched (no Cls), when no candidate is selected or the Tq count is not a
// positive number the grid can be numbered with.
bool DrawBitTimingDiagram(BitCanvas& canvas, const BitTimingSetting& setting, bool bSelected,
                          std::string_view decimalSeparator = ".");

} // namespace quillon
