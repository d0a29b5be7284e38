#pragma once
// The CAN FD setting as the registers and the step-3 controls hold it: the controller's row,
// oscillator, PLL, the two target rates, the nominal and the data phase (prescaler and
// segments each) and the transmitter delay compensation, with the register ranges of each
// phase. Its facts are worked out by DescribeFdTiming (FdTiming.h).
#include "timing/common/Controllers.h"
#include "timing/common/Limits.h"

#include <string>
#include <string_view>

namespace quillon {
inline namespace fd {

// The data rates the input checks accept, in kbit/s.
inline constexpr double kFdMinDataRateKbps = 1.0;
inline constexpr double kFdMaxDataRateKbps = 8000.0;
// What the window's data-rate box holds at first and after a value it cannot use.
inline constexpr std::string_view kDefaultFdDataRateText = "2000";

enum class FdPhase { Nominal, Data };

const FdPhaseLimits& LimitsOf(FdPhase phase);
std::string_view PhaseName(FdPhase phase); // "nominal", "data"

struct FdPhaseSetting {
    int lBRP = 1;         // prescaler, 1..256
    int lPropagation = 0; // the controller sees only TSEG1 = propagation + phase 1
    int lPhase1 = 1;
    int lPhase2 = 1; // TSEG2
    int lSJW = 1;

    int Tseg1() const { return lPropagation + lPhase1; }
    int TqCount() const { return 1 + lPropagation + lPhase1 + lPhase2; }
    friend bool operator==(const FdPhaseSetting& a, const FdPhaseSetting& b) {
        return a.lBRP == b.lBRP && a.lPropagation == b.lPropagation && a.lPhase1 == b.lPhase1 &&
               a.lPhase2 == b.lPhase2 && a.lSJW == b.lSJW;
    }
    friend bool operator!=(const FdPhaseSetting& a, const FdPhaseSetting& b) { return !(a == b); }
};

// The propagation share of a TSEG1 when only the register is known: half of it, rounded
// down, as the Linux CAN core splits it.
int KernelPropagationShare(int lTseg1);

// TDCMOD: 0 off, 1 manual (TDCV as written), 2 automatic (TDCV measured); 3 reads as
// automatic.
enum class TdcMode { Off, Manual, Auto };
std::string_view TdcModeName(TdcMode mode); // "off", "manual", "auto"

// The CiTDC register's settings; the two flags are not timing but live in the same word.
struct FdTdcSetting {
    TdcMode mode = TdcMode::Off;
    int lOffset = 0;          // TDCO, in SYSCLK periods
    int lValue = 0;           // TDCV, in SYSCLK periods
    bool bEdgeFilter = false; // EDGFLTEN
    bool bSid11 = false;      // SID11EN
    int lFilter = 0;          // the M_CAN's TDCF, in CAN clock periods
    friend bool operator==(const FdTdcSetting& a, const FdTdcSetting& b) {
        return a.mode == b.mode && a.lOffset == b.lOffset && a.lValue == b.lValue &&
               a.lFilter == b.lFilter && a.bEdgeFilter == b.bEdgeFilter && a.bSid11 == b.bSid11;
    }
    friend bool operator!=(const FdTdcSetting& a, const FdTdcSetting& b) { return !(a == b); }
};

struct FdSetting {
    double dOscFreqMHz = 0.0;
    bool bPll = false;
    double dNominalKbps = 0.0; // target rates
    double dDataKbps = 0.0;
    FdPhaseSetting nominal;
    FdPhaseSetting data;
    FdTdcSetting tdc;
    // The controller's row; nullptr for the default, the MCP251xFD whose words the dsPIC33C
    // shares (texts then name the registers of both).
    const Controller* controller = nullptr;

    const Controller& Row() const;
    const FdPhaseSetting& Phase(FdPhase phase) const {
        return phase == FdPhase::Nominal ? nominal : data;
    }
    FdPhaseSetting& Phase(FdPhase phase) { return phase == FdPhase::Nominal ? nominal : data; }
    double TargetKbps(FdPhase phase) const {
        return phase == FdPhase::Nominal ? dNominalKbps : dDataKbps;
    }
    friend bool operator==(const FdSetting& a, const FdSetting& b);
    friend bool operator!=(const FdSetting& a, const FdSetting& b) { return !(a == b); }
};

// The clock the prescalers of the setting's controller divide, in MHz: SYSCLK, or the CAN
// clock given as it is for a cell inside a processor.
double FdClockMHz(const FdSetting& setting);
// "SYSCLK" or "CAN clock": how texts name that clock for the controller.
std::string_view FdClockName(const Controller& row);
// The register ranges of one phase of the setting's controller.
const FdPhaseLimits& LimitsOf(const FdSetting& setting, FdPhase phase);

// The TDC as a sentence's end: "automatic, TDCO 15 SYSCLK periods (the secondary sample
// point at TDCV + TDCO).", "manual, TDCO 12 and TDCV 3 SYSCLK periods." or "off.".
std::string FdTdcText(const FdTdcSetting& tdc, std::string_view clockName = "SYSCLK");
// The TDC in a table's cell: "auto, TDCO 15", "manual, TDCO 12, TDCV 3" or "off".
std::string FdTdcShortText(const FdTdcSetting& tdc);

// The TDC the controller needs for a data phase: automatic, with the offset TDCO = (1 +
// propagation + phase 1) x BRP clock periods (the secondary sample point at the data sample
// point), when the data BRP is 1 or 2, the offset limited to the controller's largest TDCO
// (63 for the MCP251xFD) as the Linux drivers limit it; off otherwise.
FdTdcSetting RequiredTdc(const FdPhaseSetting& data, int lOffsetMax = kTdcoMax);
// The same for the setting's own controller and data phase.
FdTdcSetting RequiredTdc(const FdSetting& setting);

} // namespace fd
} // namespace quillon
