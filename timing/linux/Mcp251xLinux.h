#pragma once
// The classic MCP251x under Linux, where most of them run: what the mcp251x driver chooses by
// itself for a bit rate (the kernel's algorithm with the driver's limits and clock), which
// values `ip link` and systemd-networkd hand it for a setting, whether the driver accepts
// them and what it cannot carry, and the whole-nanosecond quantum that the kernel turns back
// into the same prescaler. The export forms and the comparison with the kernel's own
// choice are made from these facts.
#include "timing/classic/BitTiming.h"
#include "timing/common/KernelChoice.h"
#include "timing/common/Limits.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace linux {

// The oscillator in whole hertz, as a device tree carries it; nothing for a value that is
// not a positive 32-bit number of hertz.
std::optional<std::uint32_t> OscillatorHz(double dOscFreqMHz);

// The prescaler the kernel makes of `ip link ... tq T`: clock x T / 1e9 rounded to the
// nearest whole number, an exact half downwards (can_fixup_bittiming).
std::uint64_t KernelPrescaler(std::uint32_t clockHz, std::uint32_t tqNs);

// The whole number of nanoseconds nearest to brp x 1e9 / clock (what the kernel reports
// back) for which KernelPrescaler gives `brp` again; nothing when there is none.
std::optional<std::uint32_t> QuantumForPrescaler(std::uint32_t clockHz, std::uint32_t brp);

// The kernel's own choice for the target rate (and `sample-point`, in tenths of a percent,
// if given) as the setting the driver writes: CNF2's BTLMODE set, SAM from triple sampling,
// no wake-up filter. Without a choice, the reason: the driver's refusal of the oscillator
// or the kernel's words ("bitrate error: 33.3% too high").
struct KernelSetting {
    std::optional<BitTimingSetting> setting;
    KernelTiming timing; // the kernel's figures, when there is a setting
    std::uint32_t clockHz = 0;
    std::uint32_t bitrate = 0; // the rate asked for, bit/s
    std::string sReason;
};
// `pController` names the row whose driver chooses (nullptr: the calculator's MCP2510/MCP251X
// on the mcp251x driver); a row without a driver of its own is taken as that one.
KernelSetting Mcp251xKernelSetting(double dOscFreqMHz, double dTargetKbps,
                                   bool bTripleSampling = false,
                                   std::uint32_t samplePointTenths = 0,
                                   const Controller* pController = nullptr);

// The values a setting becomes on a Linux mcp251x interface.
struct LinuxBitTiming {
    std::uint32_t oscillatorHz = 0;
    std::uint32_t clockHz = 0; // half the oscillator
    std::uint32_t brp = 0;
    std::optional<std::uint32_t> tqNs; // nothing when no whole quantum gives `brp` back
    std::uint32_t propSeg = 0;
    std::uint32_t phaseSeg1 = 0;
    std::uint32_t phaseSeg2 = 0; // the effective phase 2, whatever the phase-2 mode
    std::uint32_t sjw = 0;
    bool bTripleSampling = false;
    std::uint32_t bitrate = 0;           // the target rate, bit/s, for the short form
    std::uint32_t samplePointTenths = 0; // the setting's sample point, rounded down
};

struct LinuxTarget {
    LinuxBitTiming timing;
    // One sentence each for what the driver refuses (the oscillator, the segment sums, the
    // jump width, the prescaler, a quantum that cannot be given) and what it would run
    // differently (the larger-of mode, the wake-up filter). Empty: carried as it is.
    std::vector<std::string> problems;
};

// The setting on its row's Linux driver (the mcp251x, or at91_can for the AT91 CAN cell);
// numbers in the sentences use `decimalSeparator`.
LinuxTarget ToMcp251xLinux(const BitTimingSetting& setting,
                           std::string_view decimalSeparator = ".");

// What the row's driver takes through `ip link ... tq T prop-seg P phase-seg1 Q phase-seg2 R
// sjw J`, each part on its own so that a search can sift prescalers and segments apart
// (ToMcp251xLinux says the same in sentences). The oscillator: the driver's refusal when it
// loads, or nothing.
std::optional<std::string> DriverOscillatorRefusal(const Controller& row, double dOscFreqMHz,
                                                   std::string_view decimalSeparator = ".");
// The prescaler: within the driver's range, and given back by a whole-nanosecond quantum.
bool DriverTakesPrescaler(const Controller& row, double dOscFreqMHz, int lBRPMinus1);
// The segments (phase 2 the effective one): the sums within the driver's limits, SJW within
// its limit and up to either phase.
bool DriverTakesSegments(const Controller& row, int lPropagation, int lPhase1, int lPhase2,
                         int lSJW);

// Only the oscillator's part of that: the driver's range and whole hertz.
std::vector<std::string> Mcp251xOscillatorProblems(double dOscFreqMHz,
                                                   std::string_view decimalSeparator = ".",
                                                   const Controller* pController = nullptr);

} // namespace linux
} // namespace quillon
