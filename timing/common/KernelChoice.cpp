#include "timing/common/KernelChoice.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quillon {
inline namespace common {

namespace {

constexpr std::uint32_t kSyncSeg = 1;

std::uint32_t Difference(std::uint32_t a, std::uint32_t b) {
    return a > b ? a - b : b - a;
}

std::string Tenths(std::uint32_t tenths) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

struct SamplePointChoice {
    std::uint32_t tseg1 = 0;
    std::uint32_t tseg2 = 0;
    std::uint32_t samplePoint = 0;
    std::uint32_t error = UINT_MAX; // UINT_MAX: neither split stays at or before the nominal
};

// Splits tseg = tseg1 + tseg2 so that the sample point comes closest to the nominal one
// without passing it, trying the rounded split and the one a quantum later.
SamplePointChoice PlaceSamplePoint(const KernelLimits& limits, std::uint32_t nominal,
                                   std::uint32_t tseg) {
    SamplePointChoice best;
    for (std::uint32_t i = 0; i <= 1; ++i) {
        const std::uint32_t total = tseg + kSyncSeg;
        // The kernel's unsigned subtraction, clamped afterwards: a wrapped value is large
        // and clamps to the maximum, as it does there.
        std::uint32_t tseg2 = total - (nominal * total) / 1000 - i;
        tseg2 = std::clamp(tseg2, limits.tseg2Min, limits.tseg2Max);
        std::uint32_t tseg1 = tseg - tseg2;
        if (tseg1 > limits.tseg1Max) {
            tseg1 = limits.tseg1Max;
            tseg2 = tseg - tseg1;
        }
        const std::uint32_t samplePoint = 1000 * (total - tseg2) / total;
        const std::uint32_t error = Difference(nominal, samplePoint);
        if (samplePoint <= nominal && error < best.error) {
            best = {tseg1, tseg2, samplePoint, error};
        }
    }
    return best;
}

// can_sjw_check: the kernel's refusal of a jump width, or nothing.
std::optional<std::string> SjwRefusal(const KernelLimits& limits, const KernelTiming& t) {
    const std::pair<const char*, std::uint32_t> bounds[] = {
        {"max sjw", limits.sjwMax}, {"phase-seg1", t.phaseSeg1}, {"phase-seg2", t.phaseSeg2}};
    for (const auto& [name, bound] : bounds) {
        if (t.sjw > bound) {
            return "sjw: " + std::to_string(t.sjw) + " greater than " + name + ": " +
                   std::to_string(bound);
        }
    }
    return std::nullopt;
}

} // namespace

std::uint32_t KernelNominalSamplePoint(std::uint32_t bitrate) {
    if (bitrate > 800000) {
        return 750;
    }
    if (bitrate > 500000) {
        return 800;
    }
    return 875;
}

KernelChoiceResult ChooseKernelBitTiming(const KernelLimits& limits, std::uint32_t clockHz,
                                         std::uint32_t bitrate, std::uint32_t samplePointTenths) {
    KernelChoiceResult result;
    if (bitrate == 0 || clockHz == 0) {
        result.sReason = "no bit rate or no clock";
        return result;
    }
    const std::uint32_t nominal =
        samplePointTenths != 0 ? samplePointTenths : KernelNominalSamplePoint(bitrate);
    const std::uint32_t brpInc = std::max<std::uint32_t>(limits.brpInc, 1);
    std::uint32_t bestRateError = UINT_MAX;
    std::uint32_t bestSampleError = UINT_MAX;
    std::uint32_t bestTseg = 0;
    std::uint32_t bestBrp = 0;

    // tseg even = round down, odd = round up. A wide signed counter, so that a lower limit
    // of 0 cannot wrap it.
    const std::int64_t highest = (std::int64_t{limits.tseg1Max} + limits.tseg2Max) * 2 + 1;
    const std::int64_t lowest = (std::int64_t{limits.tseg1Min} + limits.tseg2Min) * 2;
    for (std::int64_t wide = highest; wide >= lowest; --wide) {
        const auto tseg = static_cast<std::uint32_t>(wide);
        const std::uint32_t tsegAll = kSyncSeg + tseg / 2;
        // 32-bit products, as in the kernel; one that wraps to 0 is passed over.
        const std::uint32_t perBrp = tsegAll * bitrate;
        if (perBrp == 0) {
            continue;
        }
        std::uint32_t brp = clockHz / perBrp + tseg % 2;
        brp = brp / brpInc * brpInc;
        if (brp < limits.brpMin || brp > limits.brpMax || brp * tsegAll == 0) {
            continue;
        }
        const std::uint32_t rate = clockHz / (brp * tsegAll);
        const std::uint32_t rateError = Difference(bitrate, rate);
        if (rateError > bestRateError) {
            continue;
        }
        // A better rate forgets the best sample point error, even when this tseg is then
        // passed over for its sample point; the kernel does the same.
        if (rateError < bestRateError) {
            bestSampleError = UINT_MAX;
        }
        const SamplePointChoice placed = PlaceSamplePoint(limits, nominal, tseg / 2);
        if (placed.error >= bestSampleError) {
            continue;
        }
        bestSampleError = placed.error;
        bestRateError = rateError;
        bestTseg = tseg / 2;
        bestBrp = brp;
        if (rateError == 0 && placed.error == 0) {
            break;
        }
    }

    std::uint32_t errorTenths = 0;
    if (bestRateError != 0) {
        // Tenths of a percent, cut to 32 bits as the kernel stores them.
        errorTenths = static_cast<std::uint32_t>(std::uint64_t{bestRateError} * 1000 / bitrate);
        if (errorTenths > kKernelMaxErrorTenths) {
            result.sReason = "bitrate error: " + Tenths(errorTenths) + " too high";
            return result;
        }
    }
    if (bestBrp == 0) {
        result.sReason = "no prescaler from " + std::to_string(limits.brpMin) + " to " +
                         std::to_string(limits.brpMax) + " fits";
        return result;
    }

    const SamplePointChoice placed = PlaceSamplePoint(limits, nominal, bestTseg);
    KernelTiming timing;
    timing.brp = bestBrp;
    timing.tqNs = static_cast<std::uint32_t>(std::uint64_t{bestBrp} * 1000000000ULL / clockHz);
    timing.propSeg = placed.tseg1 / 2;
    timing.phaseSeg1 = placed.tseg1 - timing.propSeg;
    timing.phaseSeg2 = placed.tseg2;
    // can_sjw_set_default: half of phase 2, at most phase 1, at least 1.
    timing.sjw = std::max<std::uint32_t>(1, std::min(timing.phaseSeg1, timing.phaseSeg2 / 2));
    timing.bitrate = clockHz / (bestBrp * (kSyncSeg + placed.tseg1 + placed.tseg2));
    timing.samplePointTenths = placed.samplePoint;
    timing.errorTenths = errorTenths;
    if (std::optional<std::string> refusal = SjwRefusal(limits, timing)) {
        result.sReason = *refusal;
        return result;
    }
    result.timing = timing;
    return result;
}

std::uint32_t Mcp251xKernelClock(double dOscFreqMHz) {
    const double dHz = std::round(dOscFreqMHz * 1e6);
    if (!(dHz >= 1) || dHz > UINT32_MAX) {
        return 0;
    }
    // The driver halves the oscillator's whole hertz, dropping a half.
    return static_cast<std::uint32_t>(dHz) / 2;
}

} // namespace common
} // namespace quillon
