#pragma once
// One bit-timing setting of the classic controllers and everything that follows from it.
// A setting is what the step-3 controls hold (or what a command line, a register set or a
// bus node gives): oscillator, target rate, prescaler, Tq count, segments, SJW and flags.
// DescribeBitTiming is the one place where its facts are worked out; the window, the
// diagram, the report and quillon-cli only render them.
#include "timing/classic/Analysis.h"
#include "timing/classic/ClassicLayouts.h"
#include "timing/classic/Registers.h"
#include "timing/classic/Segments.h"
#include "timing/common/BitTexts.h"
#include "timing/common/BusContext.h"
#include "timing/common/Controllers.h"
#include "timing/common/Findings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace classic {

struct BitTimingSetting {
    // The frequency given for the controller: its oscillator, or the peripheral clock of a
    // cell whose quantum is BRP clock periods (the row's clock rule), MHz.
    double dOscFreqMHz = 0.0;
    double dTargetKbps = 0.0; // target bus rate, kbit/s
    int lBRPMinus1 = 0;       // the prescaler register field, 0..63
    // Tq count, propagation, phase 1, programmed phase 2, SJW, SAM, WAKFIL, phase-2 mode.
    SegmentSettings segments;
    // The controller's row; nullptr is the calculator's own MCP2510/MCP251X.
    const Controller* pController = nullptr;

    const Controller& Row() const { return pController ? *pController : DefaultController(); }
    // True for the calculator's own MCP2510/MCP251X.
    bool IsCalculatorRow() const { return &Row() == &DefaultController(); }
    // True where the registers are the byte-wise Microchip ones (CNF, BRGCON, CiCFG1/2), which
    // the texts list together as the calculator always has; false for a one-word layout.
    bool HasMicrochipRegisters() const {
        const RegisterLayout layout = Row().layout;
        return layout == RegisterLayout::Cnf || layout == RegisterLayout::Brgcon ||
               layout == RegisterLayout::Cicfg;
    }
    // Clock periods per prescaler step: 2 on Microchip's classic controllers, 1 on a cell
    // clocked by its peripheral clock.
    int ClockPeriodsPerBrp() const { return quillon::ClockPeriodsPerBrp(Row().clock); }

    // Equal as timings: every field, but the programmed phase 2 only where it is used.
    friend bool operator==(const BitTimingSetting& a, const BitTimingSetting& b);
    friend bool operator!=(const BitTimingSetting& a, const BitTimingSetting& b) {
        return !(a == b);
    }
};

// What selecting a Tq count proposes: the proposal's segments, SJW 1, both flags off and
// the programmed phase 2.
BitTimingSetting ProposedSetting(double dOscFreqMHz, double dTargetKbps, int lBRPMinus1,
                                 int lTqCount, const Controller* pController = nullptr);

// The bit rate as the report works it out.
struct RateFacts {
    double dTargetBaud = 0.0; // bit/s
    double dTqSeconds = 0.0;  // the report's quantum
    double dActualBaud = 0.0;
    double dErrorPercent = 0.0; // (target - actual) / target x 100: positive below the target
    bool bHitsTarget = false;   // equal in whole bit/s, the search's match rule
    std::string sTq;            // "250.000 ns"
    std::string sActual;        // "307.692308 kbps"
    // "0.0 %" for an exact hit, else "-2.564 %  (Actual Baud Rate is 307.692308 kbps )".
    std::string sError;
};

struct BitTimingFacts {
    BitTimingSetting setting;
    int lPhase2Effective = 0;
    double dSamplePointPercent = 0.0;
    std::string sSamplePoint; // "75.0"
    double dDiagramTqSeconds = 0.0;
    std::array<SegmentDuration, kDurationCount> durations;
    RateFacts rate;
    TimingVerdict verdict = TimingVerdict::Pass;
    std::string_view sVerdict;
    RegisterEncoding registers; // empty, with the reason, for a field sum above 255
    ConfigRegisterTexts registerTexts;
    // The registers of the controller's own layout, in its order (or why there are none).
    LayoutEncoding words;
    int lOscClocks = 0; // OSC1 clocks per bit
    std::optional<std::string> busIdleWarning;
    TimingAnalysis analysis;
    BusContext bus; // the bus the setting was judged for
    // What is wrong with it on that bus, errors first (see ClassicFindings).
    Findings findings;

    bool Passes() const { return verdict == TimingVerdict::Pass; }
};

// Every fact of a setting on `bus`, with numbers written with `decimalSeparator`.
BitTimingFacts DescribeBitTiming(const BitTimingSetting& setting,
                                 std::string_view decimalSeparator = ".",
                                 const BusContext& bus = {});

} // namespace classic
} // namespace quillon
