#include "cli/common/NumberArguments.h"

#include "timing/common/InputChecks.h"
#include "timing/common/NumberFormat.h"
#include "timing/common/NumberReading.h"
#include "timing/common/UnitHints.h"
#include "timing/fd/FdTiming.h"

#include <cmath>

namespace quillon::cli {
inline namespace common {

std::string_view UnitOf(Option option) {
    switch (option) {
    case Option::Osc:
    case Option::LockFrequency:
        return "MHz";
    case Option::Rate:
    case Option::FdRate:
    case Option::DataRate:
    case Option::MeasuredRate:
        return "kbit/s";
    case Option::BusLength:
        return "m";
    case Option::CableDelay:
        return "ns/m";
    case Option::LoopDelay:
        return "ns";
    case Option::Ppm:
        return "ppm";
    case Option::SamplePoint:
    case Option::DataSamplePoint:
    case Option::KernelSamplePoint:
        return "%";
    case Option::Tq:
    case Option::Prop:
    case Option::Phase1:
    case Option::Phase2:
    case Option::Sjw:
    case Option::NTq:
    case Option::DTq:
    case Option::NProp:
    case Option::NPhase1:
    case Option::NPhase2:
    case Option::NSjw:
    case Option::DProp:
    case Option::DPhase1:
    case Option::DPhase2:
    case Option::DSjw:
        return "Tq";
    default:
        break;
    }
    return {};
}

std::optional<double> ReadOptionNumber(const OptionInfo& info, std::string_view name,
                                       std::string_view text, std::string& error) {
    StrictNumber read = ReadNumberStrictly(text, UnitOf(info.option));
    if (!read.value) {
        error = Problem(name, read.sReason);
    }
    return read.value;
}

std::optional<int> ReadWholeNumber(const OptionInfo& info, std::string_view name,
                                   std::string_view text, std::string& error) {
    const std::optional<double> value = ReadOptionNumber(info, name, text, error);
    if (!value) {
        return std::nullopt;
    }
    if (*value != std::floor(*value)) {
        error = Problem(name, "'" + std::string(text) + "' is not a whole number");
        return std::nullopt;
    }
    if (*value < info.min || *value > info.max) {
        const std::string_view refusal =
            info.outOfRange.empty() ? "{value} is outside {min} to {max}" : info.outOfRange;
        error = Problem(name, Expand(refusal, &info, FormatGeneralNumber(*value)));
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::optional<std::string> NominalRateProblem(double dRateKbps) {
    if (std::optional<std::string> hint = RateUnitHint(dRateKbps, kMinRateKbps, kMaxRateKbps)) {
        return hint;
    }
    return RateProblem(dRateKbps);
}

std::optional<std::string> DataRateProblem(double dRateKbps) {
    if (std::optional<std::string> hint =
            RateUnitHint(dRateKbps, kFdMinDataRateKbps, kFdMaxDataRateKbps)) {
        return hint;
    }
    return FdDataRateProblem(dRateKbps);
}

std::optional<std::string> MeasuredRateProblem(double dRateKbps) {
    if (dRateKbps > kMaxRateKbps) {
        if (std::optional<std::string> hint = RateUnitHint(dRateKbps, kMinRateKbps, kMaxRateKbps)) {
            return hint;
        }
    }
    return RateComputeProblem(dRateKbps);
}

std::string CheckClockAndRate(const Request& request) {
    // An interface's text names its own driver and controller, which judge the oscillator.
    if (!request.Given(Option::Osc) || request.controller == nullptr ||
        request.Given(Option::IpDetails) || request.Given(Option::FdIpDetails)) {
        return {};
    }
    const Controller& row = *request.controller;
    const std::optional<std::string> problem = GivenClockProblem(request.oscFreqMHz, row);
    if (!problem) {
        return {};
    }
    const Option rate = IsFdCommand(request.command) ? Option::FdRate : Option::Rate;
    if (request.Given(rate) &&
        LookSwapped(request.oscFreqMHz, request.rateKbps, row, kMaxRateKbps)) {
        const auto line = [rate](double dOscMHz, double dRateKbps) {
            return std::string(InfoOf(Option::Osc).name) + " " + FormatGeneralNumber(dOscMHz) +
                   " " + std::string(InfoOf(rate).name) + " " + FormatGeneralNumber(dRateKbps);
        };
        return Problem(line(request.oscFreqMHz, request.rateKbps),
                       "the oscillator and the rate look swapped; did you mean " +
                           line(request.rateKbps, request.oscFreqMHz) + "?");
    }
    return Problem(InfoOf(Option::Osc).name, *problem);
}

} // namespace common
} // namespace quillon::cli
