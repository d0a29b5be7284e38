#pragma once
// The timing a classic Linux CAN interface runs with, from `ip -details link show can0` in
// the text or the JSON form (IpDetails.h): the setting behind its bit timing on the
// controller its driver runs (mcp251x: the oscillator is twice the clock; at91_can: the
// clock is the peripheral clock), with what only the interface shows said as findings. A
// CAN FD interface is refused here and read by FdLinuxDetails.h.
#include "timing/classic/Decode.h"
#include "timing/linux/LinuxInterface.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace linux {

struct IpDetailsDecoding {
    std::optional<DecodedRegisters> decoded;
    std::string sInterface; // "can0"; empty where the text does not name it
    IpForm form = IpForm::Text;
    // Why nothing could be decoded: "no 'clock N' in the text", ...
    std::string sError;
};

// The setting behind the text, with its findings. `dOscFreqMHz` is the oscillator the board
// really has (for at91_can its peripheral clock), when known: without it the driver's clock
// gives it; with one that differs from that, the registers the driver wrote run on the real
// one and a finding says so. `dTargetKbps` defaults to the rate the interface believes it
// runs at. `pController` is the controller given (it must run under the driver the text
// names), or nullptr for the driver's own row.
IpDetailsDecoding DecodeIpDetails(std::string_view text, std::optional<double> dOscFreqMHz,
                                  std::optional<double> dTargetKbps,
                                  const Controller* pController = nullptr);

} // namespace linux
} // namespace quillon
