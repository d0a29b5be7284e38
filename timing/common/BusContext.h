#pragma once
// The bus as it is built, which every judgement of a setting takes into account: how long
// the cable is and how fast a signal runs on it, how long a transceiver takes from TXD to RXD,
// how far the crystals may drift, and for CAN FD how symmetric the transceivers keep a bit.
// The defaults are the worst a conforming part may be, so that a setting that passes with
// them passes on any bus of that length.
#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

inline constexpr double kDefaultCableDelayNsPerMetre = 5.0; // twisted pair, about 0.66 c
// The largest TXD to RXD loop delay ISO 11898-2:2016 allows a transceiver.
inline constexpr double kDefaultLoopDelayNs = 255.0;
inline constexpr double kDefaultCrystalPpm = 100.0;

// The ranges a bus may be given in.
inline constexpr double kMaxBusLengthMetres = 10000.0;
inline constexpr double kMinCableDelayNsPerMetre = 1.0;
inline constexpr double kMaxCableDelayNsPerMetre = 20.0;
inline constexpr double kMaxLoopDelayNs = 2000.0;
inline constexpr double kMaxCrystalPpm = 20000.0;

// The bit symmetry classes of ISO 11898-2:2016 for CAN FD transceivers: how much shorter or
// longer than sent a bit may arrive at the receiver.
enum class TransceiverClass { None, Sic2M, Sic5M };
struct BitSymmetry {
    double dBitSeconds = 0.0;      // the bit the class is specified with
    double dShortestSeconds = 0.0; // the shortest it may arrive as
    double dLongestSeconds = 0.0;  // the longest
};
// 2M: 400..550 ns for a 500 ns bit; 5M: 120..220 ns for a 200 ns bit; nothing for None.
std::optional<BitSymmetry> SymmetryOf(TransceiverClass transceiver);
// "none", "2M", "5M"; and back (nothing for any other word).
std::string_view TransceiverClassName(TransceiverClass transceiver);
std::optional<TransceiverClass> TransceiverClassFromName(std::string_view name);

struct BusContext {
    std::optional<double> dBusLengthMetres; // nothing: no length check
    double dCableDelayNsPerMetre = kDefaultCableDelayNsPerMetre;
    double dLoopDelayNs = kDefaultLoopDelayNs; // TXD to RXD of one transceiver
    double dCrystalPpm = kDefaultCrystalPpm;
    TransceiverClass transceiver = TransceiverClass::None;

    friend bool operator==(const BusContext& a, const BusContext& b) {
        return a.dBusLengthMetres == b.dBusLengthMetres &&
               a.dCableDelayNsPerMetre == b.dCableDelayNsPerMetre &&
               a.dLoopDelayNs == b.dLoopDelayNs && a.dCrystalPpm == b.dCrystalPpm &&
               a.transceiver == b.transceiver;
    }
    friend bool operator!=(const BusContext& a, const BusContext& b) { return !(a == b); }
};

// The round trip a propagation segment must cover on `lengthMetres` of cable: out and back
// along it and through two transceivers, 2 x (length x cable delay + loop delay), seconds.
double RoundTripSeconds(const BusContext& bus, double dLengthMetres);
// The longest cable a propagation segment of `dPropagationSeconds` covers, in metres; negative
// when it does not even cover the transceivers.
double LongestBusMetres(const BusContext& bus, double dPropagationSeconds);
// True when the propagation covers the round trip of `dLengthMetres` (equal counts as covered).
bool CoversBus(const BusContext& bus, double dPropagationSeconds, double dLengthMetres);

// Why a bus cannot be taken as given (a value out of its range, or not a number), or nothing.
std::optional<std::string> BusContextProblem(const BusContext& bus);

} // namespace common
} // namespace quillon
