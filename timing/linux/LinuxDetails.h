#pragma once
// Reading the timing a Linux CAN interface runs with from `ip -details link show can0`:
// the "bitrate … sample-point …" and "tq … prop-seg … phase-seg1 … phase-seg2 … sjw …
// [brp …]" values, the "clock" of the controller, the driver's limits line and the
// TRIPLE-SAMPLING flag. Any layout iproute2 has printed reads alike: the older one whose
// clock runs into the next word ("clock 8000000numtxqueues 1"), the newer one with "brp"
// and "brp_inc", and `ip -oneline`'s backslashes for line breaks. For the mcp251x the
// clock is half the oscillator.
#include "timing/classic/Decode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace linux {

// What the text says, each value only when it was there.
struct IpDetails {
    std::optional<std::uint32_t> bitrate, tqNs, propSeg, phaseSeg1, phaseSeg2, sjw, brp, clockHz;
    std::string driver; // the name before the limits ("mcp251x"), empty without that line
    bool bTripleSampling = false;
};

IpDetails ParseIpDetails(std::string_view text);

// Segment lengths and prescalers above this are no CAN controller's: the text is refused.
inline constexpr std::uint32_t kLargestLinuxField = 1024;

struct IpDetailsDecoding {
    std::optional<DecodedRegisters> decoded;
    // Why nothing could be decoded: "no 'clock N' in the text", ...
    std::string sError;
};

// The setting behind the text, with its findings. `dOscFreqMHz` is the oscillator the
// board really has, when known: without it the oscillator is twice the interface's clock,
// as the mcp251x driver counts; with one that differs from that, the registers the driver
// wrote run on the real one and a finding says so. `dTargetKbps` defaults to the rate the
// interface believes it runs at.
IpDetailsDecoding DecodeIpDetails(std::string_view text, std::optional<double> dOscFreqMHz,
                                  std::optional<double> dTargetKbps);

} // namespace linux
} // namespace quillon
