#include "timing/KernelChoice.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quillon {

namespace {

constexpr std::uint32_t kSyncSeg = 1;
// The largest rate error the kernel accepts, in tenths of a percent.
constexpr std::uint32_t kMaxErrorTenths = 50;

std::uint32_t Difference(std::uint32_t a, std::uint32_t b) {
    return a > b ? a - b : b - a;
}

struct SamplePointChoice {
    std::uint32_t tseg1 = 0;
    std::uint32_t tseg2 = 0;
    std::uint32_t samplePoint = 0;
    std::uint32_t error = UINT_MAX;
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
                                         std::uint32_t bitrate) {
    KernelChoiceResult result;
    if (bitrate == 0 || clockHz == 0) {
        result.sReason = "no bit rate or no clock";
        return result;
    }
    const std::uint32_t nominal = KernelNominalSamplePoint(bitrate);
    std::uint32_t bestRateError = UINT_MAX;
    std::uint32_t bestSampleError = UINT_MAX;
    std::uint32_t bestTseg = 0;
    std::uint32_t bestBrp = 0;

    // tseg even = round down, odd = round up.
    for (std::uint32_t tseg = (limits.tseg1Max + limits.tseg2Max) * 2 + 1;
         tseg >= (limits.tseg1Min + limits.tseg2Min) * 2; --tseg) {
        const std::uint32_t tsegAll = kSyncSeg + tseg / 2;
        std::uint32_t brp = static_cast<std::uint32_t>(
            clockHz / (static_cast<std::uint64_t>(tsegAll) * bitrate) + tseg % 2);
        brp = brp / limits.brpInc * limits.brpInc;
        if (brp < limits.brpMin || brp > limits.brpMax) {
            continue;
        }
        const std::uint32_t rate = clockHz / (brp * tsegAll);
        const std::uint32_t rateError = Difference(bitrate, rate);
        if (rateError > bestRateError) {
            continue;
        }
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
        const std::uint64_t tenths = static_cast<std::uint64_t>(bestRateError) * 1000 / bitrate;
        if (tenths > kMaxErrorTenths) {
            result.sReason = "bitrate error: " + std::to_string(tenths / 10) + "." +
                             std::to_string(tenths % 10) + "% too high";
            return result;
        }
        errorTenths = static_cast<std::uint32_t>(tenths);
    }

    const SamplePointChoice placed = PlaceSamplePoint(limits, nominal, bestTseg);
    KernelTiming timing;
    timing.brp = bestBrp;
    timing.tqNs =
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(bestBrp) * 1000000000ULL / clockHz);
    timing.propSeg = placed.tseg1 / 2;
    timing.phaseSeg1 = placed.tseg1 - timing.propSeg;
    timing.phaseSeg2 = placed.tseg2;
    timing.sjw = std::max<std::uint32_t>(1, std::min(timing.phaseSeg1, timing.phaseSeg2 / 2));
    timing.bitrate = clockHz / (bestBrp * (kSyncSeg + placed.tseg1 + placed.tseg2));
    timing.samplePointTenths = placed.samplePoint;
    timing.errorTenths = errorTenths;
    result.timing = timing;
    return result;
}

std::uint32_t Mcp251xKernelClock(double dOscFreqMHz) {
    const double dHz = std::round(dOscFreqMHz * 1e6);
    if (!(dHz > 0) || dHz > 2.0 * UINT_MAX) {
        return 0;
    }
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(dHz) / 2);
}

std::optional<BitTimingSetting> Mcp251xKernelSetting(double dOscFreqMHz, double dRateKbps,
                                                     std::string& sReason) {
    const double dBitrate = std::round(dRateKbps * 1000.0);
    if (!(dBitrate >= 1 && dBitrate <= UINT_MAX)) {
        sReason = "no bit rate the kernel can be given";
        return std::nullopt;
    }
    const KernelChoiceResult choice =
        ChooseKernelBitTiming(kMcp251xKernelLimits, Mcp251xKernelClock(dOscFreqMHz),
                              static_cast<std::uint32_t>(dBitrate));
    if (!choice.timing) {
        sReason = choice.sReason;
        return std::nullopt;
    }
    const KernelTiming& t = *choice.timing;
    BitTimingSetting setting;
    setting.dOscFreqMHz = dOscFreqMHz;
    setting.dTargetKbps = dRateKbps;
    setting.lBRPMinus1 = static_cast<int>(t.brp) - 1;
    setting.segments.lPropagation = static_cast<int>(t.propSeg);
    setting.segments.lPhase1 = static_cast<int>(t.phaseSeg1);
    setting.segments.lPhase2 = static_cast<int>(t.phaseSeg2);
    setting.segments.lSJW = static_cast<int>(t.sjw);
    setting.segments.lTqCount = static_cast<int>(1 + t.propSeg + t.phaseSeg1 + t.phaseSeg2);
    return setting;
}

} // namespace quillon
