#pragma once
// Reading the timing a Linux CAN interface runs with from `ip -details link show can0`:
// the "bitrate … sample-point …" and "tq … prop-seg … phase-seg1 … phase-seg2 … sjw …"
// values, the "clock" of the controller and the driver's limits line. For the mcp251x the
// clock is half the oscillator.
#include "timing/Decode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// What the text says, each value only when it was there.
struct IpDetails {
    std::optional<std::uint32_t> bitrate, tqNs, propSeg, phaseSeg1, phaseSeg2, sjw, brp, clockHz;
    std::string driver; // the name before the limits ("mcp251x"), empty without that line
    bool bTripleSampling = false;
};

IpDetails ParseIpDetails(std::string_view text);

struct IpDetailsDecoding {
    std::optional<DecodedRegisters> decoded;
    std::string sError; // what is missing when nothing could be decoded
};

// The setting behind the text, with its findings. `dTargetKbps` defaults to the interface's
// own bitrate.
IpDetailsDecoding DecodeIpDetails(std::string_view text, std::optional<double> dTargetKbps);

} // namespace quillon
