#pragma once
// The numbers the controller table is made of, in one place below every kind: the ranges of
// Microchip's classic controllers, the register ranges of a CAN FD phase and of its TDC, the
// SYSCLK of the MCP251xFD, and the limits the Linux drivers declare. The table
// (Controllers.h) puts them together per controller; the searches and checks read them there.
#include "timing/common/KernelChoice.h"

#include <cstdint>

namespace quillon {
inline namespace common {

// Microchip's classic controllers: BRP-1 0..63 and the calculator's bits of 8..25 Tq.
inline constexpr std::int32_t kMinBRPMinus1 = 0;
inline constexpr std::int32_t kMaxBRPMinus1 = 63;
inline constexpr std::int32_t kMinTqCount = 8;
inline constexpr std::int32_t kMaxTqCount = 25;
inline constexpr int kBRPValueCount = kMaxBRPMinus1 - kMinBRPMinus1 + 1; // 64
inline constexpr int kTqCountCount = kMaxTqCount - kMinTqCount + 1;      // 18

// A classic candidate search: the prescaler field and bit lengths it covers, and the clock
// periods one prescaler step takes (2 on Microchip's controllers, 1 on a peripheral clock).
struct SearchRange {
    std::int32_t brpMinus1Min, brpMinus1Max;
    std::int32_t tqMin, tqMax;
    int periodsPerBrp;
};

// The calculator's own search: the 64 x 18 grid on half the oscillator.
inline constexpr SearchRange kCalculatorSearchRange{kMinBRPMinus1, kMaxBRPMinus1, kMinTqCount,
                                                    kMaxTqCount, 2};

// SYSCLK is the oscillator, or ten times it with the PLL (for a 4 MHz crystal); one time
// quantum is BRP SYSCLK periods, with no factor 2 as on the classic controllers.
inline constexpr double kFdPllFactor = 10.0;
inline constexpr double kFdMaxSysclkMHz = 40.0;

// The register ranges of one CAN FD phase. TSEG1 is propagation + phase 1, TSEG2 is phase 2.
struct FdPhaseLimits {
    int brpMin, brpMax;
    int tseg1Min, tseg1Max;
    int tseg2Min, tseg2Max;
    int sjwMax;
    constexpr int MinTqCount() const { return 1 + tseg1Min + tseg2Min; }
    constexpr int MaxTqCount() const { return 1 + tseg1Max + tseg2Max; }
};
inline constexpr FdPhaseLimits kFdNominalLimits{1, 256, 2, 256, 1, 128, 128};
inline constexpr FdPhaseLimits kFdDataLimits{1, 256, 1, 32, 1, 16, 16};

inline constexpr int kTdcoMin = -64, kTdcoMax = 63; // 7-bit two's complement
inline constexpr int kTdcvMax = 63;

// The TDC fields a controller has, in periods of the clock the prescalers divide: the
// MCP251xFD's TDCO -64..63 and TDCV 0..63; the M_CAN's TDCO 0..127 and its filter window
// TDCF 0..127, with no value of its own (it only measures).
struct FdTdcLimits {
    int offsetMin, offsetMax;
    int valueMax;  // TDCV; 0 where the controller has no manual TDC
    int filterMax; // TDCF; 0 where the controller has none
};
inline constexpr FdTdcLimits kMcp251xfdTdcLimits{kTdcoMin, kTdcoMax, kTdcvMax, 0};
inline constexpr FdTdcLimits kMcanTdcLimits{0, 127, 0, 127};

// The highest frequency a row takes as its oscillator or CAN clock, above which a value is
// taken for a slip of the unit (UnitHints.h). The MCP2515 runs with an oscillator of up to
// 40 MHz (at 4.5 to 5.5 V), and no part of the MCP2510/MCP251X family runs with more. The CAN
// cells inside processors (PIC18, dsPIC, PIC24, PIC32MX, AT91, M_CAN) run on a clock that
// depends on the processor; 200 MHz is a ceiling above that of any of them.
inline constexpr double kMcp251xFamilyMaxOscillatorMHz = 40.0;
inline constexpr double kProcessorClockCeilingMHz = 200.0;

// The mcp251x driver: tseg1 3..16, tseg2 2..8, SJW up to 4, BRP 1..64; it loads with an
// oscillator of 1 to 25 MHz.
inline constexpr KernelLimits kMcp251xKernelLimits{3, 16, 2, 8, 4, 1, 64, 1};
inline constexpr double kMcp251xMinOscillatorMHz = 1.0;
inline constexpr double kMcp251xMaxOscillatorMHz = 25.0;
// The mcp251xfd driver: nominal tseg1 2..256, tseg2 1..128, SJW up to 128; data tseg1 1..32,
// tseg2 1..16, SJW up to 16; BRP 1..256 in both.
inline constexpr KernelLimits kMcp251xfdNominalKernelLimits{2, 256, 1, 128, 128, 1, 256, 1};
inline constexpr KernelLimits kMcp251xfdDataKernelLimits{1, 32, 1, 16, 16, 1, 256, 1};
// It loads with an oscillator of 1 to 40 MHz.
inline constexpr double kMcp251xfdMinOscillatorMHz = 1.0;
inline constexpr double kMcp251xfdMaxOscillatorMHz = 40.0;

} // namespace common
} // namespace quillon
