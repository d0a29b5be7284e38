#pragma once
// A bus node written on one line, as quillon-cli bus takes it:
//   NAME=FAMILY@MHZ[:cnf=C1,C2,C3 | :cicfg=G1,G2 | :segments=BRP1/TQ/PROP/PHASE1/PHASE2/SJW
//                  | :kernel | :linux | :ip=FILE | :free][:ppm=N]
// A node without a setting is free; :linux is free within what its Linux driver takes, :kernel
// the driver's own choice, :ip= what `ip -details link show` of its interface says it runs
// (the front end reads the file, AttachIpDetails reads the text). Without ppm= the bus's
// crystal tolerance stands. Register values are hexadecimal (0x91) or decimal. MHZ and N are
// each one decimal number, read strictly (NumberReading.h); an oscillator above what the
// controller runs with is refused with its likely meaning ("8000000 looks like Hz").
// A CAN FD row takes :registers=W1,W2[,W3] (its words in the order fd decode --registers reads
// them), :kernel or :free.
#include "timing/bus/Bus.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace bus {

struct BusNodeParse {
    std::optional<BusNode> node;
    // One line naming the node (or the text, before a name is known) and the field:
    // "node 'pi': ppm: 'x' is not a number".
    std::string sError;
};

BusNodeParse ParseBusNode(std::string_view text);

// Gives a node of :ip=FILE the text of its file, once the front end has read it; the problem
// with the text, naming the node and the file, when no setting can be read from it (the
// node's family must run under the driver the text names; MHZ is the board's oscillator).
std::optional<std::string> AttachIpDetails(BusNode& node, std::string text);

} // namespace bus
} // namespace quillon
