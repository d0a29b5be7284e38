#pragma once
// What is wrong with a setting, said once in the model and rendered by every front end: each
// finding has a severity (error: it will not work; warning: it works only with luck, or it is
// refused somewhere; advice: a better choice exists), a short code the JSON and the tests
// use, the sentence a user reads and the rule's source.
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace common {

enum class Severity { Error, Warning, Advice };
// "error", "warning", "advice".
std::string_view SeverityName(Severity severity);

struct Finding {
    Severity severity = Severity::Error;
    std::string_view sCode;   // one of the codes below
    std::string sText;        // one or two sentences
    std::string_view sSource; // the standard or driver the rule comes from; may be empty

    friend bool operator==(const Finding& a, const Finding& b) {
        return a.severity == b.severity && a.sCode == b.sCode && a.sText == b.sText;
    }
};
using Findings = std::vector<Finding>;

// True when a finding is an error, or (with `orWarning`) an error or a warning.
bool HasError(const Findings& findings);
bool HasErrorOrWarning(const Findings& findings);
// Errors first, then warnings, then advice; each group keeps its order.
void SortBySeverity(Findings& findings);
// True when some finding carries `code`.
bool HasCode(const Findings& findings, std::string_view code);

// The codes, each in one place.
namespace code {
// Both kinds, each phase.
inline constexpr std::string_view kRateOffTarget = "rate-off-target";
inline constexpr std::string_view kToleranceShort = "tolerance-short";
inline constexpr std::string_view kPropagationShort = "propagation-short";
inline constexpr std::string_view kSamplePointEarly = "sample-point-early";
inline constexpr std::string_view kSamplePointLate = "sample-point-late";
inline constexpr std::string_view kSjwAbovePhase = "sjw-above-phase";
// Classic controllers.
inline constexpr std::string_view kTimingRule = "timing-rule";
inline constexpr std::string_view kTqCountOutside = "tq-count-outside";
inline constexpr std::string_view kPhase2BelowIpt = "phase2-below-ipt";
inline constexpr std::string_view kBusIdleErratum = "bus-idle-erratum";
// Read from registers or from a Linux interface.
inline constexpr std::string_view kRegisterBits = "register-bits";
inline constexpr std::string_view kInterface = "interface";
inline constexpr std::string_view kMeasuredRate = "measured-rate";
// CAN FD.
inline constexpr std::string_view kFdFieldRange = "fd-field-range";
inline constexpr std::string_view kFdClock = "fd-clock";
inline constexpr std::string_view kFdTdcMode = "fd-tdc-mode";
inline constexpr std::string_view kFdToleranceNegative = "fd-tolerance-negative";
inline constexpr std::string_view kFdDataSamplePointAsymmetry = "fd-data-sample-point-asymmetry";
inline constexpr std::string_view kFdTdcNeeded = "fd-tdc-needed";
inline constexpr std::string_view kFdTdcOff = "fd-tdc-off";
inline constexpr std::string_view kFdTdcOffsetLimited = "fd-tdc-offset-limited";
inline constexpr std::string_view kFdQuantumDiffers = "fd-quantum-differs";
inline constexpr std::string_view kFdDataBrp = "fd-data-brp";
inline constexpr std::string_view kFdDataBelowNominal = "fd-data-below-nominal";
// Read from registers of a controller a Linux driver runs.
inline constexpr std::string_view kLinuxTdcGeneration = "linux-tdc-generation";
// Several nodes on one bus.
inline constexpr std::string_view kClassicOnFdBus = "classic-on-fd-bus";
} // namespace code

// The sources named with the findings.
namespace source {
inline constexpr std::string_view kIso11898_1 = "CAN 2.0 / ISO 11898-1";
inline constexpr std::string_view kIso11898_2 = "ISO 11898-2:2016";
inline constexpr std::string_view kCiaClassic = "CiA 301";
inline constexpr std::string_view kCiaFd = "CiA 601-3";
inline constexpr std::string_view kDatasheet = "the controller's data sheet";
inline constexpr std::string_view kErrata = "the MCP2510 errata";
inline constexpr std::string_view kLinux = "the Linux driver";
} // namespace source

} // namespace common
} // namespace quillon
