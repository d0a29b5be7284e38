#pragma once
// The page of a bus check: the verdict, the table of nodes and every node's bit drawn one
// below the other on one time scale, so the sample points can be compared at a glance. The
// drawings come in as PNG files (the same drawing as step 3's diagram), which the page
// carries inside itself, so it is one file that can be mailed or archived. A CAN FD bus has a
// table per phase and draws each FD node's nominal bit above its data bit.
#include "timing/bus/Bus.h"

#include <string>
#include <vector>

namespace quillon {
inline namespace bus {

struct BusPageDrawing {
    std::string sPngBytes; // empty for a node without a setting
    int lWidth = 0;        // pixels; proportional to the node's bit time
    int lHeight = 0;
};

// The width each node's drawing gets so that all (nominal) bits share one time scale: the
// longest spans `lLongestWidth` pixels. 0 for a node without a setting.
std::vector<int> BusDrawingWidths(const BusVerdict& bus, int lLongestWidth);

// The whole page, UTF-8. `drawings` holds one entry per node, in the nodes' order.
std::string BusPageHtml(const BusVerdict& bus, const std::vector<BusPageDrawing>& drawings,
                        const std::string& sDate);

} // namespace bus
} // namespace quillon
