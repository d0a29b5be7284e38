#pragma once
// What a Linux CAN FD driver (mcp251xfd, m_can) chooses by itself for "ip link set can0 type
// can bitrate B dbitrate D fd on": the clock it takes at probe (the mcp251xfd refuses an
// oscillator outside 1 to 40 MHz and switches its PLL on for 4 MHz or less), the Linux CAN
// core's algorithm (KernelChoice.h) run once with the driver's nominal limits and once with
// its data limits on that clock, the kernel's refusal at open of a data rate below the
// nominal one, and the transmitter delay compensation the driver then writes. The TDC depends
// on the kernel's age: since Linux 5.16 the CAN core works it out (can_calc_tdco: automatic
// when the data BRP is 1 or 2, TDCO the data sample point in clock periods, at most the
// driver's largest); before, the mcp251xfd always wrote TDC automatic with TDCO one quantum
// short of that. The m_can driver has its own rule in both.
#include "timing/common/KernelChoice.h"
#include "timing/common/NumberFormat.h"
#include "timing/fd/FdSetting.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace linux {

// Which kernel's TDC the driver runs with.
enum class LinuxTdcGeneration {
    Old, // before Linux 5.16: the driver's own (the mcp251xfd: always automatic, DBRP x
         // (DPROP + DPH1))
    New, // Linux 5.16 and later: the CAN core's can_calc_tdco, DBRP x (1 + DPROP + DPH1)
};
inline constexpr LinuxTdcGeneration kDefaultLinuxTdc = LinuxTdcGeneration::New;
// "old", "new": what --linux-tdc takes.
std::string_view LinuxTdcGenerationName(LinuxTdcGeneration generation);
std::optional<LinuxTdcGeneration> FindLinuxTdcGeneration(std::string_view name);
// The refusal of a name that is neither, or nothing.
std::optional<std::string> LinuxTdcGenerationProblem(std::string_view name);
// "Linux before 5.16", "Linux 5.16 and later".
std::string_view LinuxTdcGenerationTitle(LinuxTdcGeneration generation);

// The clock a row's Linux driver runs on, as it works it out at probe from the oscillator
// given and the PLL asked for.
struct DriverClock {
    std::uint32_t clockHz = 0; // the clock the prescalers divide, whole hertz; 0 when refused
    bool bPll = false;         // the PLL as the driver sets it
    bool bPllChanged = false;  // the driver sets the PLL otherwise than asked
    // The driver's refusal of the oscillator, one sentence: "The mcp251xfd driver refuses an
    // oscillator of 50 MHz; it takes 1 to 40 MHz."; empty when it takes it.
    std::string sRefusal;
    // What the driver does with the PLL when it switches it on, or leaves off a PLL asked for,
    // one sentence; empty otherwise.
    std::string sPll;
};
// The rule of the row's driver (nullptr: the default CAN FD row); for a row without one, the
// row's clock in whole hertz.
DriverClock FdDriverClock(const Controller* row, double dOscFreqMHz, bool bPll,
                          std::string_view sep = kDefaultDecimalSeparator);

struct FdKernelChoice {
    DriverClock clock;
    std::optional<KernelTiming> nominal;
    std::optional<KernelTiming> data;
    // The setting the driver writes when it finds both phases, TDC included; its oscillator
    // and PLL are those the driver runs with.
    std::optional<FdSetting> setting;
    // Why there is none: "data: bitrate error: 5.8% too high", or the refusal at probe or open.
    std::string sReason;
    // The driver or the kernel refuses the oscillator (probe) or the two rates (open): sReason
    // is then a whole sentence.
    bool bRefused = false;
    // How the TDC of the setting came about, one sentence.
    std::string sTdc;
};

// The kernel's refusal at open (open_candev) of a data rate below the nominal one.
inline constexpr std::string_view kDataBelowNominalRefusal =
    "The kernel refuses to open an interface whose data bit rate is below its nominal one "
    "(open_candev)";

// SYSCLK in whole hertz, the clock the driver reports; 0 when it is no positive 32-bit number.
std::uint32_t FdKernelClock(double dOscFreqMHz, bool bPll);
// The same for the clock of the setting's controller (FdClockMHz).
std::uint32_t FdKernelClock(const FdSetting& setting);

// A rate in kbit/s as the bit/s the kernel is given (rounded); 0 when it is no positive 32-bit
// number.
std::uint32_t KernelBitrate(double dKbps);

// The choice of the row's driver (nullptr: the mcp251xfd) for the two rates (kbit/s, taken
// in whole bit/s) with the TDC of `generation`; none, with the reason, for a row no Linux
// driver runs, an oscillator the driver refuses, rates the CAN core finds nothing for or a
// data rate the kernel refuses to open with.
FdKernelChoice ChooseFdKernelBitTiming(double dOscFreqMHz, bool bPll, double dNominalKbps,
                                       double dDataKbps, const Controller* row = nullptr,
                                       LinuxTdcGeneration generation = kDefaultLinuxTdc);

// The TDC the CAN core gives a data phase when it is not told one, for a driver whose largest
// TDCO is `lOffsetMax` (the controller's own rule, RequiredTdc).
FdTdcSetting KernelTdc(const FdPhaseSetting& data, int lOffsetMax = kTdcoMax);

// The TDC the row's Linux driver of `generation` runs a setting's data phase with: the CAN
// core's (KernelTdc); always automatic with TDCO = DBRP x (DPROP + DPH1), at most the largest
// (the mcp251xfd before 5.16); or, for a driver that sets it itself (m_can), its own: on only
// above 2.5 Mbit/s, TDCO = clock / 1000 x the data sample point in tenths of a percent / the
// data rate, at most 127, in the driver's unsigned 32-bit arithmetic.
FdTdcSetting LinuxDriverTdc(const FdSetting& setting,
                            LinuxTdcGeneration generation = kDefaultLinuxTdc);
// The rule the driver of `generation` follows for the row (CanCore for a row without one).
DriverTdc DriverTdcRule(const Controller& row, LinuxTdcGeneration generation);
// How LinuxDriverTdc came to its TDC for the setting, one sentence: "The CAN core (Linux 5.16
// and later) works out TDC automatic with TDCO = DBRP x (1 + DPROP + DPH1) = 2 x (1 + 15 +
// 16) = 66, limited to the driver's largest, 63, with TDC on."
std::string LinuxDriverTdcText(const FdSetting& setting,
                               LinuxTdcGeneration generation = kDefaultLinuxTdc);

// The time quantum in whole nanoseconds that "ip link … tq T" turns back into `lBRP` on a
// controller clocked at `clockHz` (the kernel takes (clock x T + 499999999) / 1e9); nothing
// when no whole number does.
std::optional<std::uint32_t> KernelTqNsForBrp(std::uint32_t clockHz, int lBRP);

} // namespace linux
} // namespace quillon
