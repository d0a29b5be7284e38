// The Linux CAN FD drivers' own choice: the clock taken at probe, both phases by the CAN core,
// the kernel's check at open, then the TDC of the kernel's age.
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

const Controller& RowOf(const Controller* row) {
    return row != nullptr ? *row : DefaultFdController();
}

std::string Mhz(double dMHz, std::string_view sep) {
    return FormatGeneralNumber(dMHz, sep) + " MHz";
}

// The m_can driver's TDC: on above 2.5 Mbit/s, TDCO from the data sample point in tenths of a
// percent, in its unsigned 32-bit arithmetic; with the numbers it is worked out from.
struct OwnTdc {
    FdTdcSetting tdc;
    std::uint32_t bitrate = 0, samplePoint = 0;
    std::uint32_t tdco = 0; // before it is limited to 127
};
OwnTdc OwnTdcAbove2500k(const FdSetting& setting) {
    OwnTdc own;
    const FdPhaseSetting& d = setting.data;
    const std::uint32_t clock = FdKernelClock(setting);
    const std::uint64_t bits = static_cast<std::uint64_t>(d.lBRP) * d.TqCount();
    if (clock == 0 || bits == 0 || d.TqCount() <= 0) {
        return own;
    }
    own.bitrate = static_cast<std::uint32_t>(clock / bits);
    own.samplePoint = static_cast<std::uint32_t>(1000 * (1 + d.Tseg1()) / d.TqCount());
    if (own.bitrate <= kDriverTdcAboveBps) {
        return own;
    }
    own.tdco = clock / 1000 * own.samplePoint / own.bitrate;
    own.tdc.mode = TdcMode::Auto;
    own.tdc.lOffset = static_cast<int>(std::min<std::uint32_t>(own.tdco, 127));
    return own;
}

// The mcp251xfd before Linux 5.16: always automatic, one quantum short of the sample point.
FdTdcSetting AlwaysAutoTdc(const FdPhaseSetting& data, int lOffsetMax) {
    FdTdcSetting tdc;
    tdc.mode = TdcMode::Auto;
    const long long offset = static_cast<long long>(data.lBRP) * data.Tseg1();
    tdc.lOffset = static_cast<int>(std::clamp<long long>(offset, 0, lOffsetMax));
    return tdc;
}

std::string Limited(long long offset, int lOffsetMax) {
    return offset > lOffsetMax ? ", limited to the driver's largest TDCO, " +
                                     std::to_string(lOffsetMax) + ", with TDC on"
                               : "";
}

} // namespace

std::string_view LinuxTdcGenerationName(LinuxTdcGeneration generation) {
    return generation == LinuxTdcGeneration::Old ? "old" : "new";
}

std::optional<LinuxTdcGeneration> FindLinuxTdcGeneration(std::string_view name) {
    for (const LinuxTdcGeneration g : {LinuxTdcGeneration::Old, LinuxTdcGeneration::New}) {
        if (name == LinuxTdcGenerationName(g)) {
            return g;
        }
    }
    return std::nullopt;
}

std::optional<std::string> LinuxTdcGenerationProblem(std::string_view name) {
    if (FindLinuxTdcGeneration(name)) {
        return std::nullopt;
    }
    return "'" + std::string(name) +
           "' is no Linux TDC generation; give old (before Linux 5.16) or new (5.16 and later)";
}

std::string_view LinuxTdcGenerationTitle(LinuxTdcGeneration generation) {
    return generation == LinuxTdcGeneration::Old ? "Linux before 5.16" : "Linux 5.16 and later";
}

DriverClock FdDriverClock(const Controller* row, double dOscFreqMHz, bool bPll,
                          std::string_view sep) {
    const Controller& r = RowOf(row);
    DriverClock clock;
    clock.bPll = bPll;
    if (!r.linux) {
        clock.clockHz = WholeHertz(CanClockMHz(r.clock, dOscFreqMHz, bPll));
        return clock;
    }
    const LinuxDriver& driver = *r.linux;
    const std::string name(driver.sName);
    // The driver reads the oscillator in whole hertz.
    const std::uint32_t hz = WholeHertz(dOscFreqMHz);
    if (driver.dMaxProbeMHz > 0 &&
        (hz < driver.dMinProbeMHz * 1e6 || hz > driver.dMaxProbeMHz * 1e6)) {
        clock.sRefusal = "The " + name + " driver refuses an " + std::string(r.sClockName) +
                         " of " + Mhz(dOscFreqMHz, sep) + "; it takes " +
                         FormatGeneralNumber(driver.dMinProbeMHz, sep) + " to " +
                         Mhz(driver.dMaxProbeMHz, sep) + ".";
        return clock;
    }
    if (driver.dPllUpToMHz > 0) {
        clock.bPll = hz <= driver.dPllUpToMHz * 1e6;
        clock.bPllChanged = clock.bPll != bPll;
        const std::string sysclk = Mhz(FdSysclkMHz(dOscFreqMHz, clock.bPll), sep);
        const std::string upTo = Mhz(driver.dPllUpToMHz, sep);
        if (clock.bPll) {
            clock.sPll = "The " + name + " driver switches the PLL on for an oscillator of " +
                         Mhz(dOscFreqMHz, sep) + " (" + upTo + " or less): SYSCLK " + sysclk + ".";
        } else if (bPll) {
            clock.sPll = "The " + name + " driver leaves the PLL off for an oscillator of " +
                         Mhz(dOscFreqMHz, sep) + " (above " + upTo + "): SYSCLK " + sysclk + ".";
        }
    }
    // With the PLL the driver counts SYSCLK as ten times the whole hertz it read.
    clock.clockHz = clock.bPll ? static_cast<std::uint32_t>(hz * kFdPllFactor)
                               : WholeHertz(CanClockMHz(r.clock, dOscFreqMHz, false));
    return clock;
}

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
    // can_calc_tdco: the data sample point in clock periods, for a data BRP of 1 or 2.
    return RequiredTdc(data, lOffsetMax);
}

DriverTdc DriverTdcRule(const Controller& row, LinuxTdcGeneration generation) {
    if (!row.linux) {
        return DriverTdc::CanCore;
    }
    return generation == LinuxTdcGeneration::Old ? row.linux->tdcBefore516 : row.linux->tdc;
}

FdTdcSetting LinuxDriverTdc(const FdSetting& setting, LinuxTdcGeneration generation) {
    const Controller& row = setting.Row();
    switch (DriverTdcRule(row, generation)) {
    case DriverTdc::CanCore:
        break;
    case DriverTdc::AlwaysAuto:
        return AlwaysAutoTdc(setting.data, row.tdcLimits.offsetMax);
    case DriverTdc::OwnAbove2500k:
        return OwnTdcAbove2500k(setting).tdc;
    }
    return KernelTdc(setting.data, row.tdcLimits.offsetMax);
}

std::string LinuxDriverTdcText(const FdSetting& setting, LinuxTdcGeneration generation) {
    const Controller& row = setting.Row();
    const FdPhaseSetting& d = setting.data;
    const int max = row.tdcLimits.offsetMax;
    const std::string brp = std::to_string(d.lBRP);
    const std::string segments = std::to_string(d.lPropagation) + " + " + std::to_string(d.lPhase1);
    const std::string driver =
        row.linux ? "The " + std::string(row.linux->sName) + " driver" : "The driver";
    switch (DriverTdcRule(row, generation)) {
    case DriverTdc::CanCore: {
        const std::string lead =
            "The CAN core (" + std::string(LinuxTdcGenerationTitle(LinuxTdcGeneration::New)) + ")";
        if (d.lBRP != 1 && d.lBRP != 2) {
            return lead + " leaves TDC off with a data BRP of " + brp + " (it sets it for 1 or 2).";
        }
        const long long offset = (1LL + d.Tseg1()) * d.lBRP;
        return lead + " sets TDC automatic with TDCO = DBRP x (1 + DPROP + DPH1) = " + brp +
               " x (1 + " + segments + ") = " + std::to_string(offset) + Limited(offset, max) + ".";
    }
    case DriverTdc::AlwaysAuto: {
        const long long offset = static_cast<long long>(d.lBRP) * d.Tseg1();
        return driver + " of " + std::string(LinuxTdcGenerationTitle(LinuxTdcGeneration::Old)) +
               " always sets TDC automatic with TDCO = DBRP x (DPROP + DPH1) = " + brp + " x (" +
               segments + ") = " + std::to_string(offset) + Limited(offset, max) + ".";
    }
    case DriverTdc::OwnAbove2500k:
        break;
    }
    const OwnTdc own = OwnTdcAbove2500k(setting);
    const std::string lead = driver + " sets TDC itself, by the same rule in every Linux: ";
    if (own.tdc.mode == TdcMode::Off) {
        return lead + "off up to 2.5 Mbit/s, and the data rate is " + std::to_string(own.bitrate) +
               " bit/s.";
    }
    return lead + "automatic above 2.5 Mbit/s with TDCO = clock / 1000 x sample point in tenths " +
           "of a percent / data rate = " + std::to_string(FdKernelClock(setting) / 1000) + " x " +
           std::to_string(own.samplePoint) + " / " + std::to_string(own.bitrate) + " = " +
           std::to_string(own.tdco) + Limited(own.tdco, 127) + ".";
}

FdKernelChoice ChooseFdKernelBitTiming(double dOscFreqMHz, bool bPll, double dNominalKbps,
                                       double dDataKbps, const Controller* row,
                                       LinuxTdcGeneration generation) {
    FdKernelChoice choice;
    const Controller& controller = RowOf(row);
    if (!controller.linux) {
        choice.sReason = "the " + std::string(controller.sTitle) + " has no Linux driver";
        return choice;
    }
    choice.clock = FdDriverClock(row, dOscFreqMHz, bPll);
    if (!choice.clock.sRefusal.empty()) {
        choice.sReason = choice.clock.sRefusal;
        choice.bRefused = true;
        return choice;
    }
    FdSetting setting;
    setting.dOscFreqMHz = dOscFreqMHz;
    setting.bPll = choice.clock.bPll;
    setting.dNominalKbps = dNominalKbps;
    setting.dDataKbps = dDataKbps;
    setting.controller = row;
    const std::uint32_t clock = choice.clock.clockHz;
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
    // open_candev compares the rates the two phases give.
    if (data.timing->bitrate < nominal.timing->bitrate) {
        choice.sReason = std::string(kDataBelowNominalRefusal) + ": " +
                         std::to_string(data.timing->bitrate) + " bit/s below " +
                         std::to_string(nominal.timing->bitrate) + " bit/s.";
        choice.bRefused = true;
        return choice;
    }
    setting.nominal = PhaseOf(*nominal.timing);
    setting.data = PhaseOf(*data.timing);
    setting.tdc = LinuxDriverTdc(setting, generation);
    choice.sTdc = LinuxDriverTdcText(setting, generation);
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
