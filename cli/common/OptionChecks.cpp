#include "cli/common/OptionChecks.h"

#include "cli/common/CliOptions.h"
#include "timing/common/BusContext.h"
#include "timing/common/Controllers.h"
#include "timing/common/NumberFormat.h"

#include <cmath>

namespace quillon::cli {
inline namespace common {

namespace {

// How far from a whole tenth a sample point may be and still be read as one: a decimal
// fraction times 10 is seldom exact in binary.
constexpr double kTenthSlack = 1e-6;

} // namespace

std::optional<std::string> ClassicControllerProblem(std::string_view text) {
    return ControllerProblem(text, ControllerKind::Classic);
}
std::optional<std::string> FdControllerProblem(std::string_view text) {
    return ControllerProblem(text, ControllerKind::Fd);
}

std::optional<std::string> BusLengthProblem(double metres) {
    BusContext bus;
    bus.dBusLengthMetres = metres;
    return BusContextProblem(bus);
}
std::optional<std::string> CableDelayProblem(double nsPerMetre) {
    BusContext bus;
    bus.dCableDelayNsPerMetre = nsPerMetre;
    return BusContextProblem(bus);
}
std::optional<std::string> LoopDelayProblem(double ns) {
    BusContext bus;
    bus.dLoopDelayNs = ns;
    return BusContextProblem(bus);
}
std::optional<std::string> CrystalPpmProblem(double ppm) {
    BusContext bus;
    bus.dCrystalPpm = ppm;
    return BusContextProblem(bus);
}
std::optional<std::string> SamplePointProblem(double percent) {
    if (std::isfinite(percent) && percent > 0 && percent < 100) {
        return std::nullopt;
    }
    return "a sample point of " + FormatGeneralNumber(percent) +
           " % is not inside the bit; give more than 0 and less than 100";
}
std::optional<std::string> KernelSamplePointProblem(double percent) {
    if (std::optional<std::string> problem = SamplePointProblem(percent)) {
        return problem;
    }
    const double tenths = percent * 10;
    if (std::fabs(tenths - std::round(tenths)) > kTenthSlack) {
        return FormatGeneralNumber(percent) +
               " is no whole tenth of a percent, and the kernel takes tenths (" +
               FormatGeneralNumber(std::floor(tenths) / 10) + " or " +
               FormatGeneralNumber(std::ceil(tenths) / 10) + ")";
    }
    return std::nullopt;
}
std::optional<std::string> TransceiverProblem(std::string_view name) {
    if (TransceiverClassFromName(name)) {
        return std::nullopt;
    }
    return "'" + std::string(name) + "' is no transceiver class; give " + TransceiverNames();
}

} // namespace common
} // namespace quillon::cli
