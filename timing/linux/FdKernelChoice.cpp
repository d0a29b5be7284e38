// The Linux CAN FD drivers' own choice: both phases by the CAN core, then the TDC.
#include "timing/linux/FdKernelChoice.h"

#include "timing/common/Controllers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quillon {
inline namespace linux {

namespace {

constexpr std::uint64_t kNsPerSecond = 1000000000ULL;

FdPhaseSetting PhaseOf(const KernelTiming& t) {
    return FdPhaseSetting{static_cast<int>(t.brp), static_cast<int>(t.propSeg),
                          static_cast<int>(t.phaseSeg1), static_cast<int>(t.phaseSeg2),
                          static_cast<int>(t.sjw)};
}

std::uint32_t WholeHertz(double dMHz) {
    const double hz = std::round(dMHz * 1e6);
    return hz > 0 && hz <= UINT32_MAX ? static_cast<std::uint32_t>(hz) : 0;
}

} // namespace

std::uint32_t KernelBitrate(double dKbps) {
    const double bps = std::round(dKbps * 1000.0);
    return bps > 0 && bps <= UINT32_MAX ? static_cast<std::uint32_t>(bps) : 0;
}

std::uint32_t FdKernelClock(double dOscFreqMHz, bool bPll) {
    return WholeHertz(FdSysclkMHz(dOscFreqMHz, bPll));
}

std::uint32_t FdKernelClock(const FdSetting& setting) {
    return WholeHertz(FdClockMHz(setting));
}

FdTdcSetting KernelTdc(const FdPhaseSetting& data, int lOffsetMax) {
    FdTdcSetting tdc;
    if (data.lBRP == 1 || data.lBRP == 2) {
        tdc.mode = TdcMode::Auto;
        tdc.lOffset = std::min((1 + data.lPropagation + data.lPhase1) * data.lBRP, lOffsetMax);
    }
    return tdc;
}

FdTdcSetting LinuxDriverTdc(const FdSetting& setting) {
    const Controller& row = setting.Row();
    if (!row.linux || row.linux->tdc == DriverTdc::CanCore) {
        return KernelTdc(setting.data, row.tdcLimits.offsetMax);
    }
    FdTdcSetting tdc;
    const FdPhaseSetting& d = setting.data;
    const std::uint32_t clock = FdKernelClock(setting);
    const std::uint64_t bits = static_cast<std::uint64_t>(d.lBRP) * d.TqCount();
    if (clock == 0 || bits == 0 || d.TqCount() <= 0) {
        return tdc;
    }
    const auto bitrate = static_cast<std::uint32_t>(clock / bits);
    if (bitrate <= kDriverTdcAboveBps) {
        return tdc;
    }
    const auto samplePoint = static_cast<std::uint32_t>(1000 * (1 + d.Tseg1()) / d.TqCount());
    const std::uint32_t tdco = clock / 1000 * samplePoint / bitrate;
    tdc.mode = TdcMode::Auto;
    tdc.lOffset = static_cast<int>(std::min<std::uint32_t>(tdco, 127));
    return tdc;
}

FdKernelChoice ChooseFdKernelBitTiming(double dOscFreqMHz, bool bPll, double dNominalKbps,
                                       double dDataKbps, const Controller* row) {
    FdKernelChoice choice;
    FdSetting setting;
    setting.dOscFreqMHz = dOscFreqMHz;
    setting.bPll = bPll;
    setting.dNominalKbps = dNominalKbps;
    setting.dDataKbps = dDataKbps;
    setting.controller = row;
    const Controller& controller = setting.Row();
    if (!controller.linux) {
        choice.sReason = "the " + std::string(controller.sTitle) + " has no Linux driver";
        return choice;
    }
    const std::uint32_t clock = FdKernelClock(setting);
    const KernelChoiceResult nominal =
        ChooseKernelBitTiming(controller.linux->nominal, clock, KernelBitrate(dNominalKbps));
    const KernelChoiceResult data =
        ChooseKernelBitTiming(controller.linux->data, clock, KernelBitrate(dDataKbps));
    choice.nominal = nominal.timing;
    choice.data = data.timing;
    if (!nominal.timing) {
        choice.sReason = "nominal: " + nominal.sReason;
        return choice;
    }
    if (!data.timing) {
        choice.sReason = "data: " + data.sReason;
        return choice;
    }
    setting.nominal = PhaseOf(*nominal.timing);
    setting.data = PhaseOf(*data.timing);
    setting.tdc = LinuxDriverTdc(setting);
    choice.setting = setting;
    return choice;
}

std::optional<std::uint32_t> KernelTqNsForBrp(std::uint32_t clockHz, int lBRP) {
    if (clockHz == 0 || lBRP < 1) {
        return std::nullopt;
    }
    const auto brpOf = [clockHz](std::uint64_t tq) {
        return (static_cast<std::uint64_t>(clockHz) * tq + kNsPerSecond / 2 - 1) / kNsPerSecond;
    };
    const std::uint64_t nearest =
        (static_cast<std::uint64_t>(lBRP) * kNsPerSecond + clockHz / 2) / clockHz;
    for (const std::uint64_t tq : {nearest, nearest - 1, nearest + 1}) {
        if (tq > 0 && tq <= UINT32_MAX && brpOf(tq) == static_cast<std::uint64_t>(lBRP)) {
            return static_cast<std::uint32_t>(tq);
        }
    }
    return std::nullopt;
}

} // namespace linux
} // namespace quillon
