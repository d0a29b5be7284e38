#pragma once
// What the Linux CAN core chooses by itself when it is given only a bit rate ("ip link set
// can0 type can bitrate 500000"): the algorithm of drivers/net/can/dev/calc_bittiming.c as
// of Linux 6.3, in the same unsigned 32-bit arithmetic, for any controller's limits. The
// classic MCP251x driver and the CAN FD MCP251xFD driver both use it.
#include <cstdint>
#include <optional>
#include <string>

namespace quillon {
inline namespace common {

// A controller's bit-timing limits as its Linux driver declares them.
struct KernelLimits {
    std::uint32_t tseg1Min, tseg1Max; // propagation + phase 1
    std::uint32_t tseg2Min, tseg2Max; // phase 2
    std::uint32_t sjwMax;
    std::uint32_t brpMin, brpMax, brpInc;
};

// The largest rate error the kernel accepts, in tenths of a percent (5.0 %).
inline constexpr std::uint32_t kKernelMaxErrorTenths = 50;

// The segments the kernel settles on, as `ip -details link show` prints them.
struct KernelTiming {
    std::uint32_t brp = 0;
    std::uint32_t tqNs = 0; // brp x 1e9 / clock, truncated
    std::uint32_t propSeg = 0;
    std::uint32_t phaseSeg1 = 0;
    std::uint32_t phaseSeg2 = 0;
    std::uint32_t sjw = 0;
    std::uint32_t bitrate = 0;           // clock / (brp x (1 + tseg1 + tseg2))
    std::uint32_t samplePointTenths = 0; // tenths of a percent, 875 = 87.5 %
    std::uint32_t errorTenths = 0;       // the rate error the kernel warns about, truncated
};

struct KernelChoiceResult {
    std::optional<KernelTiming> timing;
    // Why there is none, in the kernel's words: "bitrate error: 33.3% too high".
    std::string sReason;
};

// The sample point the kernel aims at when none is given, in tenths of a percent (CiA):
// 750 above 800 kbit/s, 800 above 500 kbit/s, else 875.
std::uint32_t KernelNominalSamplePoint(std::uint32_t bitrate);

// The kernel's choice for `bitrate` bit/s on a controller clocked at `clockHz`, aiming at
// `samplePointTenths` ("sample-point 0.875" gives 875), or at the nominal one for 0.
KernelChoiceResult ChooseKernelBitTiming(const KernelLimits& limits, std::uint32_t clockHz,
                                         std::uint32_t bitrate,
                                         std::uint32_t samplePointTenths = 0);

// The mcp251x driver's clock: half the oscillator in whole hertz (the device tree's value),
// 0 when the oscillator is no positive 32-bit number of hertz.
std::uint32_t Mcp251xKernelClock(double dOscFreqMHz);

} // namespace common
} // namespace quillon
