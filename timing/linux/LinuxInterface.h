#pragma once
// From what `ip -details` says (IpDetails.h) to what the interface runs on, the part the
// classic and the CAN FD decoding share: the controller the driver runs (its row of the
// controller table, or the one given, which must have that driver), whether the interface is
// of the kind asked for, the values every decoding needs, the prescalers, and the oscillator
// behind the driver's clock. The clock is the row's CAN clock (CanClockMHz): half the
// oscillator on the mcp251x, the peripheral clock itself on at91_can and m_can, SYSCLK on the
// mcp251xfd, which is the oscillator or 10 x it with the PLL the driver switches on by itself
// for an oscillator of 4 MHz or less.
#include "timing/common/Controllers.h"
#include "timing/common/Findings.h"
#include "timing/linux/IpDetails.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace linux {

// Segment lengths and prescalers above this are no CAN controller's: the text is refused.
inline constexpr std::uint32_t kLargestLinuxField = 1024;

// The row a Linux driver runs: the calculator's mcp251x row, the default CAN FD row for the
// mcp251xfd, else the first row of the table with that driver; nullptr for a name no row has.
const Controller* RowOfDriver(std::string_view driver);
// "mcp251x, at91_can, mcp251xfd and m_can": the drivers of the table, for a refusal.
std::string KnownDrivers();

struct InterfaceReading {
    IpDetails details;
    const Controller* row = nullptr; // never nullptr once read
    bool bRowGiven = false;
    // The prescalers: "brp", or from "tq" as the kernel rounds it (dataBrp for CAN FD).
    std::uint32_t brp = 0;
    std::uint32_t dataBrp = 0;
    // What the driver counts on, from its clock.
    double dInterfaceOscMHz = 0.0;
    bool bInterfacePll = false;
    // What the setting runs on: the oscillator given, or the driver's.
    double dOscFreqMHz = 0.0;
    bool bPll = false;
    // What only the interface shows: the oscillator given differs, the oscillator behind
    // SYSCLK is one of two, no driver named.
    Findings findings;
};

struct InterfaceResult {
    std::optional<InterfaceReading> reading;
    std::string sError; // one line naming what is missing or wrong
};

// Reads the text for a decoding of `kind`. `dOscFreqMHz` is the board's oscillator when
// known (for a peripheral clock: that clock). `pRow` is the controller given, or nullptr to
// take the driver's row.
InterfaceResult ReadInterface(std::string_view text, ControllerKind kind,
                              std::optional<double> dOscFreqMHz, const Controller* pRow);

} // namespace linux
} // namespace quillon
