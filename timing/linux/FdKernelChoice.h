#pragma once
// What a Linux CAN FD driver (mcp251xfd, m_can) chooses by itself for "ip link set can0 type
// can bitrate B dbitrate D fd on": the Linux CAN core's algorithm (KernelChoice.h) run once
// with the driver's nominal limits and once with its data limits on the controller's clock,
// and the transmitter delay compensation the core then works out (can_calc_tdco): automatic
// when the data BRP is 1 or 2, with TDCO the data sample point in clock periods, at most the
// driver's largest TDCO (63 for the mcp251xfd, 127 for the m_can).
#include "timing/common/KernelChoice.h"
#include "timing/fd/FdSetting.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {
inline namespace linux {

struct FdKernelChoice {
    std::optional<KernelTiming> nominal;
    std::optional<KernelTiming> data;
    // The setting the driver writes when it finds both phases, TDC included.
    std::optional<FdSetting> setting;
    // Why there is none: "data: bitrate error: 5.8% too high".
    std::string sReason;
};

// SYSCLK in whole hertz, the clock the driver reports; 0 when it is no positive 32-bit number.
std::uint32_t FdKernelClock(double dOscFreqMHz, bool bPll);
// The same for the clock of the setting's controller (FdClockMHz).
std::uint32_t FdKernelClock(const FdSetting& setting);

// A rate in kbit/s as the bit/s the kernel is given (rounded); 0 when it is no positive 32-bit
// number.
std::uint32_t KernelBitrate(double dKbps);

// The choice of the row's driver (nullptr: the mcp251xfd) for the two rates (kbit/s, taken
// in whole bit/s); none, with the reason, for a row no Linux driver runs.
FdKernelChoice ChooseFdKernelBitTiming(double dOscFreqMHz, bool bPll, double dNominalKbps,
                                       double dDataKbps, const Controller* row = nullptr);

// The TDC the CAN core gives a data phase when it is not told one, for a driver whose largest
// TDCO is `lOffsetMax`.
FdTdcSetting KernelTdc(const FdPhaseSetting& data, int lOffsetMax = kTdcoMax);

// The TDC the row's Linux driver runs a setting's data phase with: the CAN core's (KernelTdc)
// or, for a driver that sets it itself (m_can), its own: on only above 2.5 Mbit/s, TDCO =
// clock / 1000 x the data sample point in tenths of a percent / the data rate, at most 127,
// in the driver's unsigned 32-bit arithmetic.
FdTdcSetting LinuxDriverTdc(const FdSetting& setting);

// The time quantum in whole nanoseconds that "ip link … tq T" turns back into `lBRP` on a
// controller clocked at `clockHz` (the kernel takes (clock x T + 499999999) / 1e9); nothing
// when no whole number does.
std::optional<std::uint32_t> KernelTqNsForBrp(std::uint32_t clockHz, int lBRP);

} // namespace linux
} // namespace quillon
