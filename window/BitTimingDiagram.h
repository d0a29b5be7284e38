#pragma once
// The bit timing diagram: one CAN bit cut into time quanta, with the sync, propagation,
// phase 1 and phase 2 segments as dimension arrows, the SJW around the sample point and
// the sample marker(s). It draws on any BitCanvas and keeps no state; the window reads
// its controls into DiagramInputs, draws, and runs the timing rules itself afterwards.
#include "window/BitCanvas.h"

#include <string>

namespace quillon {

struct DiagramInputs {
    double dTqCountFromText = 0; // N: the leading number of the Tq list's text (0 when empty)
    int lListIndex = -1;         // selected entry of the Tq list, -1 for none
    int lBRPMinus1 = 0;          // BRP - 1 of the selected candidate
    double dOscFreqMHz = 0;      // the leading number of the oscillator box
    int lPropagation = 1;
    int lPhase1 = 1;
    int lPhase2Effective = 2; // phase 2 as the phase-2 mode gives it
    int lSJW = 1;
    bool bSam = false;
    std::string decimalSeparator = ".";
};

// Clears the canvas and draws the whole diagram. Returns false, leaving the canvas
// untouched (no Cls), when nothing is selected or the Tq count is not a positive number
// (it is 0 when the list's text is empty).
bool DrawBitTimingDiagram(BitCanvas& canvas, const DiagramInputs& in);

} // namespace quillon
