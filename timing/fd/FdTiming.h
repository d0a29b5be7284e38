#pragma once
// One CAN FD bit-timing setting of an FD controller of the controller table (the MCP2517FD,
// MCP2518FD, MCP251863 on SPI, the CAN FD module of the dsPIC33CH/CK, the M_CAN cell of the
// SAM C2x, E5x, V7x and SAMA5D2) and everything that follows from it. An FD frame has two bit
// timings that work together: the nominal phase (arbitration, at the bus rate every node shares)
// and the faster data phase, each with its own prescaler and segments, and the transmitter delay
// compensation (TDC) that lets the data phase run faster than the loop through the transceiver.
// DescribeFdTiming is the one place where the facts of such a setting are worked out, as
// DescribeBitTiming is for the classic controllers; the window, the diagram, the report and
// quillon-cli only render them.
#include "timing/common/BitTexts.h"
#include "timing/common/BusContext.h"
#include "timing/common/Findings.h"
#include "timing/fd/FdRegisters.h"
#include "timing/fd/FdSetting.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace fd {

// The oscillator tolerance of ISO 11898-1:2015 for a CAN FD node, N for nominal and D for
// data quantities, bit lengths NBT and DBT in their own quanta:
// (1) NSJW / (20 NBT); (2) min(NPS1, NPS2) / (2 (13 NBT - NPS2)); (3) DSJW / (20 DBT);
// (4) min(NPS1, NPS2) / (2 ((6 DBT - DPS2) DBRP / NBRP + 7 NBT));
// (5) (DSJW - max(0, NBRP / DBRP - 1)) / (2 ((2 NBT - NPS2) NBRP / DBRP + DPS2 + 4 DBT)).
inline constexpr std::size_t kFdConditionCount = 5;
inline constexpr std::array<std::string_view, kFdConditionCount> kFdConditionFormulas{
    "NSJW / (20 NBT)", "min(NPS1, NPS2) / (2 (13 NBT - NPS2))", "DSJW / (20 DBT)",
    "min(NPS1, NPS2) / (2 ((6 DBT - DPS2) DBRP / NBRP + 7 NBT))",
    "(DSJW - max(0, NBRP / DBRP - 1)) / (2 ((2 NBT - NPS2) NBRP / DBRP + DPS2 + 4 DBT))"};

struct FdTolerance {
    std::array<double, kFdConditionCount> conditions{}; // fractions, x 100 for percent
    int lLimiting = 0;       // 1..5, the lowest-numbered of the smallest; 0 for no bit
    double dTolerance = 0.0; // the smallest; negative when condition 5 cannot be met
};
// Zeros (and no limiting condition) when either phase describes no bit.
FdTolerance ComputeFdTolerance(const FdPhaseSetting& nominal, const FdPhaseSetting& data);

struct FdPhaseFacts {
    FdPhase phase = FdPhase::Nominal;
    int lTqCount = 0;
    double dTqSeconds = 0.0;
    std::string sTq; // "25.000 ns"
    double dTargetBaud = 0.0;
    double dActualBaud = 0.0;
    double dErrorPercent = 0.0; // (actual - target) / target x 100: positive above the target
    bool bHitsTarget = false;   // equal in whole bit/s, the search's match rule
    std::string sActual;        // "2.000 Mbps"
    std::string sError;         // "0.0 %"
    double dSamplePointPercent = 0.0;
    std::string sSamplePoint; // "75.0"
    double dRecommendedSamplePointPercent = 0.0;
    std::array<SegmentDuration, kDurationCount> durations;
};

inline constexpr std::string_view kFdPassText =
    "These settings meet all CAN FD timing requirements.";

struct FdFacts {
    FdSetting setting;
    double dSysclkMHz = 0.0; // the clock the prescalers divide: SYSCLK, or the M_CAN's CAN clock
    std::string sSysclk;     // "40.000 MHz"
    FdPhaseFacts nominal;
    FdPhaseFacts data;
    FdTdcSetting requiredTdc;
    bool bTdcAsRequired = false; // the setting's TDC is the one the controller needs
    FdTolerance tolerance;
    std::string sTolerance; // percent, "0.4854"
    std::array<std::string, kFdConditionCount> conditionTexts;
    BusContext bus; // the bus the setting was judged for
    // The controller's rules broken (in the order they are checked), then what the bus makes
    // of the setting, errors first, then warnings, then advice.
    Findings findings;
    bool bRulesPass = false; // no rule of the controller is broken
    std::string sVerdict;    // kFdPassText or the first rule broken
    // The register words of the row, or nothing with the reason when a field does not fit.
    std::optional<FdRegisterWords> registers;
    std::string sRegisterError;
    FdRegisterTexts registerTexts;

    const FdPhaseFacts& Phase(FdPhase phase) const {
        return phase == FdPhase::Nominal ? nominal : data;
    }
    // The controller's rules hold (the findings may still hold errors of the bus).
    bool Passes() const { return bRulesPass; }
};

// Every fact of an FD setting on `bus`, with numbers written with `decimalSeparator`.
FdFacts DescribeFdTiming(const FdSetting& setting, std::string_view decimalSeparator = ".",
                         const BusContext& bus = {});

// The findings of a setting on its bus that are no rule of the controller: rates,
// tolerance, propagation, sample points, transceiver symmetry, TDC and CiA's advice. Called
// by DescribeFdTiming once the rules are checked.
void AddFdBusFindings(FdFacts& facts, std::string_view decimalSeparator);

// True where the setting's TDC is off because its Linux driver leaves it off at this data
// rate (the m_can driver up to 2.5 Mbit/s): a choice, not a broken rule.
bool DriverLeavesTdcOff(const FdFacts& facts);

// The problem with a data rate in kbit/s, or nothing when it may be used.
std::optional<std::string> FdDataRateProblem(double dDataKbps);

} // namespace fd
} // namespace quillon
