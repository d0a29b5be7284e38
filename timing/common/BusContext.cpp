#include "timing/common/BusContext.h"

#include "timing/common/NumberFormat.h"

#include <cmath>

namespace quillon {
inline namespace common {

namespace {

// A propagation segment is a whole number of quanta; this much rounding in seconds is no
// shortfall (a 40 m bus and a segment of exactly its round trip must pass).
constexpr double kCoverSlackSeconds = 1e-15;

std::optional<std::string> Outside(std::string_view what, double value, double low, double high,
                                   std::string_view unit) {
    if (std::isfinite(value) && value >= low && value <= high) {
        return std::nullopt;
    }
    return std::string(what) + " " + FormatGeneralNumber(value) + std::string(unit) +
           " is outside " + FormatGeneralNumber(low) + " to " + FormatGeneralNumber(high) +
           std::string(unit) + ".";
}

} // namespace

std::optional<BitSymmetry> SymmetryOf(TransceiverClass transceiver) {
    switch (transceiver) {
    case TransceiverClass::Sic2M:
        return BitSymmetry{500e-9, 400e-9, 550e-9};
    case TransceiverClass::Sic5M:
        return BitSymmetry{200e-9, 120e-9, 220e-9};
    case TransceiverClass::None:
        break;
    }
    return std::nullopt;
}

std::string_view TransceiverClassName(TransceiverClass transceiver) {
    switch (transceiver) {
    case TransceiverClass::Sic2M:
        return "2M";
    case TransceiverClass::Sic5M:
        return "5M";
    case TransceiverClass::None:
        break;
    }
    return "none";
}

std::optional<TransceiverClass> TransceiverClassFromName(std::string_view name) {
    for (const TransceiverClass t :
         {TransceiverClass::None, TransceiverClass::Sic2M, TransceiverClass::Sic5M}) {
        if (name == TransceiverClassName(t)) {
            return t;
        }
    }
    return std::nullopt;
}

double RoundTripSeconds(const BusContext& bus, double dLengthMetres) {
    return 2.0 * (dLengthMetres * bus.dCableDelayNsPerMetre + bus.dLoopDelayNs) * 1e-9;
}

double LongestBusMetres(const BusContext& bus, double dPropagationSeconds) {
    return (dPropagationSeconds / 2.0 * 1e9 - bus.dLoopDelayNs) / bus.dCableDelayNsPerMetre;
}

bool CoversBus(const BusContext& bus, double dPropagationSeconds, double dLengthMetres) {
    return dPropagationSeconds + kCoverSlackSeconds >= RoundTripSeconds(bus, dLengthMetres);
}

std::optional<std::string> BusContextProblem(const BusContext& bus) {
    if (bus.dBusLengthMetres) {
        if (auto problem =
                Outside("The bus length", *bus.dBusLengthMetres, 0, kMaxBusLengthMetres, " m")) {
            return problem;
        }
    }
    if (auto problem = Outside("The cable delay", bus.dCableDelayNsPerMetre,
                               kMinCableDelayNsPerMetre, kMaxCableDelayNsPerMetre, " ns/m")) {
        return problem;
    }
    if (auto problem =
            Outside("The transceiver loop delay", bus.dLoopDelayNs, 0, kMaxLoopDelayNs, " ns")) {
        return problem;
    }
    return Outside("The crystal tolerance", bus.dCrystalPpm, 0, kMaxCrystalPpm, " ppm");
}

} // namespace common
} // namespace quillon
