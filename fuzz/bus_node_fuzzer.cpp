// Fuzz target for the one-line bus node: any text is a node or one refusal naming the
// field, never a crash; a node that is read takes part in a classic and a CAN FD bus check
// beside a fixed node, whose every number is finite and whose verdict agrees with its
// margins.
#include "FuzzInput.h"
#include "timing/bus/BusNodeText.h"

#include <cmath>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzInput input(data, size);
    const std::string text(input.Rest());
    const quillon::BusNodeParse parsed = quillon::ParseBusNode(text);
    FUZZ_CHECK(parsed.node.has_value() != !parsed.sError.empty(), "\"" + text + "\"");
    if (!parsed.node) {
        FUZZ_CHECK(parsed.sError.rfind("node", 0) == 0, parsed.sError);
        return 0;
    }
    // On a classic bus beside a classic node, and on a CAN FD bus beside an FD node.
    for (const double dataKbps : {0.0, 2000.0}) {
        const quillon::BusNodeParse fixed =
            quillon::ParseBusNode(dataKbps > 0 ? "f=mcp2518fd@40:registers=0x00440904,0x000D0401"
                                               : "f=mcp251x@16:segments=0/16/1/8/6/1");
        const quillon::BusVerdict bus =
            quillon::CheckBus(500, {*fixed.node, *parsed.node}, {}, dataKbps);
        FUZZ_CHECK(bus.nodes.size() == 2, "\"" + text + "\"");
        FUZZ_CHECK(std::isfinite(bus.dDfMinPercent) &&
                       std::isfinite(bus.dSamplePointSpreadPercent) &&
                       std::isfinite(bus.dDataDfMinPercent) &&
                       std::isfinite(bus.dDataSamplePointSpreadPercent),
                   "\"" + text + "\"");
        FUZZ_CHECK(!bus.bCompatible || (bus.dMarginPercent >= 0 && bus.dDataMarginPercent >= 0 &&
                                        bus.classicNodes.empty()),
                   "\"" + text + "\"");
        for (const quillon::NodeVerdict& node : bus.nodes) {
            FUZZ_CHECK(node.HasSetting() || !node.sReason.empty(), "\"" + text + "\"");
        }
    }
    return 0;
}
