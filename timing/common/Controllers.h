#pragma once
// The controller table: one row for every CAN controller Quillon knows, as can-utils
// describes controllers. A row says what the controller is called (and its aliases), its
// kind, how its CAN clock follows from the frequency the user gives, the register layout
// it is programmed through, its limits, its errata, the Linux driver that runs it and the C
// form of its registers. Everything that differs between controllers is read from here: a
// new controller that reuses a layout is one more row.
#include "timing/common/KernelChoice.h"
#include "timing/common/Limits.h"
#include "timing/common/RegisterReading.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace common {

enum class ControllerKind { Classic, Fd };
std::string_view KindName(ControllerKind kind); // "classic", "fd"

// How the clock the prescaler divides follows from the frequency given as --osc.
enum class ClockRule {
    HalfOscillator,  // Microchip's classic controllers: one quantum is 2 x BRP oscillator periods
    PeripheralClock, // a cell inside a processor: the frequency given is its CAN clock, Tq = BRP /
                     // f
    Sysclk,          // the MCP251xFD and dsPIC33C: the oscillator, or 10 x it with the PLL
};

// SYSCLK of the MCP251xFD and dsPIC33C: the oscillator, or 10 x it with the PLL.
double FdSysclkMHz(double dOscFreqMHz, bool bPll);
// The CAN clock the prescaler divides, in MHz, for a frequency given as --osc (and the PLL,
// which only the SYSCLK rule has).
double CanClockMHz(ClockRule rule, double dGivenMHz, bool bPll = false);
// CAN clock periods per prescaler step of the classic model: 2 for the half-oscillator rule,
// 1 for a peripheral clock.
int ClockPeriodsPerBrp(ClockRule rule);

// The layouts of the CAN FD controllers; the classic ones are RegisterLayout.
enum class FdRegisterLayout {
    Mcp251xfd, // CiNBTCFG, CiDBTCFG, CiTDC
    Dspic33c,  // the same words as 16-bit halves
    Mcan,      // NBTP, DBTP, TDCR of the Bosch M_CAN cell
};

// The register ranges of a classic controller: the prescaler field (BRP-1) and the bit
// lengths the search covers. The segments' own ranges (propagation and phase 1 1..8, phase 2
// 2..8, SJW 1..4) are the same for every classic controller.
struct ClassicLimits {
    int brpMinus1Min, brpMinus1Max;
    int tqMin, tqMax;
};

// The Linux driver that runs a controller, as its source declares it.
// How a CAN FD driver sets the transmitter delay compensation.
// The data rate up to which the m_can driver leaves TDC off, bit/s.
inline constexpr std::uint32_t kDriverTdcAboveBps = 2500000;
enum class DriverTdc {
    // The CAN core works it out (can_calc_tdco) and ip link may set it (tdco, tdc-mode).
    CanCore,
    // The driver writes it itself, only above 2.5 Mbit/s, with TDCO = clock / 1000 x the data
    // sample point in tenths of a percent / the data rate, at most 127 (m_can); ip link
    // cannot set it.
    OwnAbove2500k,
    // The driver always writes TDC automatic with TDCO = DBRP x (DPROP + DPH1), at most its
    // largest, whatever the data rate (the mcp251xfd before the CAN core had TDC, Linux
    // 5.16); ip link cannot set it.
    AlwaysAuto,
};

struct LinuxDriver {
    std::string_view sName; // "mcp251x", "at91_can", "mcp251xfd", "m_can"; empty: none
    KernelLimits nominal;   // the classic limits, or the FD nominal ones
    KernelLimits data;      // CAN FD only
    // The driver's clock is the row's CAN clock (CanClockMHz) in whole hertz. The frequencies
    // given as --osc that the driver accepts at probe; 0 for no check.
    double dMinProbeMHz = 0.0, dMaxProbeMHz = 0.0;
    // What the driver does at probe and open that changes the timing, one sentence.
    std::string_view sBehaviour;
    DriverTdc tdc = DriverTdc::CanCore; // Linux 5.16 and later
    // The oscillator up to which the driver switches the PLL on by itself at probe (it leaves
    // it off above), MHz; 0 where it has no say over a PLL.
    double dPllUpToMHz = 0.0;
    DriverTdc tdcBefore516 = DriverTdc::CanCore; // the TDC of the driver before Linux 5.16
};

struct Controller {
    std::string_view sName;                  // "mcp2515": what --controller takes
    std::array<std::string_view, 5> aliases; // other names for it; unused entries empty
    std::string_view sTitle;                 // "MCP2515": how texts name it
    ControllerKind kind = ControllerKind::Classic;
    ClockRule clock = ClockRule::HalfOscillator;
    std::string_view sClockName;                             // "oscillator", "peripheral clock"
    RegisterLayout layout = RegisterLayout::Cnf;             // classic rows
    FdRegisterLayout fdLayout = FdRegisterLayout::Mcp251xfd; // CAN FD rows
    ClassicLimits limits{};                                  // classic rows
    FdPhaseLimits nominalLimits{}, dataLimits{};             // CAN FD rows
    FdTdcLimits tdcLimits{};                                 // CAN FD rows
    // The highest clock the prescalers may divide, in MHz (SYSCLK 40 MHz on the MCP251xFD);
    // 0 where the row names none (the M_CAN's clock depends on the processor it sits in).
    double dMaxClockMHz = 0.0;
    // The highest frequency that may be given as --osc, in MHz: what the controller runs with at
    // most (the oscillator, or the CAN clock of a cell in a processor). The PLL is not counted:
    // SYSCLK is checked against dMaxClockMHz.
    double dMaxGivenMHz = kProcessorClockCeilingMHz;
    bool bBusIdleErratum = false; // the MCP2510 revision A minimum bus idle time
    std::optional<LinuxDriver> linux;
    std::string_view sCForm; // the export form of its registers: "c-mcp251x"

    bool IsFd() const { return kind == ControllerKind::Fd; }
};

// The candidate search over a classic row's prescaler and Tq ranges on its clock.
SearchRange SearchRangeOf(const Controller& row);

// The row's clock as the first word of a line: "Oscillator", "Peripheral clock", "CAN clock".
std::string ClockLabel(const Controller& row);

// Every row, classic first, in the order lists show them.
const std::vector<Controller>& ControllerTable();
// The row of a name or alias (any letter case), or nullptr.
const Controller* FindController(std::string_view nameOrAlias);
// The row the calculator is without a choice: "mcp251x", the combined MCP2510/MCP251X.
const Controller& DefaultController();
// The default CAN FD row: "mcp2518fd".
const Controller& DefaultFdController();
// "mcp2510, mcp2515, ..." for a refusal or the help: every name of `kind`.
std::string ControllerNames(ControllerKind kind);
// The refusal of a text that names no controller of `kind`, or nothing when it names one.
std::optional<std::string> ControllerProblem(std::string_view text, ControllerKind kind);

} // namespace common
} // namespace quillon
