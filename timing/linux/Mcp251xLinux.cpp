#include "timing/linux/Mcp251xLinux.h"

#include "timing/common/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace quillon {
inline namespace linux {

namespace {

constexpr std::uint64_t kNanosecondsPerSecond = 1000000000ULL;
// Below this many hertz from a whole number an oscillator counts as whole.
constexpr double kWholeHertzSlack = 1e-3;

std::string Whole(std::uint64_t value) {
    return std::to_string(value);
}

std::uint32_t NonNegative(int value) {
    return static_cast<std::uint32_t>(std::max(value, 0));
}

const LinuxDriver& DriverOf(const Controller& row) {
    return row.linux ? *row.linux : *DefaultController().linux;
}

std::string Refuses(const LinuxDriver& driver) {
    return "The " + std::string(driver.sName) + " driver refuses ";
}

// The driver's refusal of the oscillator when it loads, or nothing.
std::optional<std::string> OscillatorRangeProblem(const Controller& row, double dOscFreqMHz,
                                                  std::string_view sep) {
    const LinuxDriver& driver = DriverOf(row);
    const std::optional<std::uint32_t> hz = OscillatorHz(dOscFreqMHz);
    const bool checked = driver.dMaxProbeMHz > 0;
    if (hz &&
        (!checked || (*hz >= driver.dMinProbeMHz * 1e6 && *hz <= driver.dMaxProbeMHz * 1e6))) {
        return std::nullopt;
    }
    if (!checked) {
        return Refuses(driver) + "a clock of " + FormatGeneralNumber(dOscFreqMHz, sep) +
               " MHz; it needs a positive 32-bit number of hertz.";
    }
    return Refuses(driver) + "an " + std::string(row.sClockName) + " of " +
           FormatGeneralNumber(dOscFreqMHz, sep) + " MHz; it accepts " +
           FormatGeneralNumber(driver.dMinProbeMHz, sep) + " to " +
           FormatGeneralNumber(driver.dMaxProbeMHz, sep) + " MHz.";
}

void CheckRange(std::vector<std::string>& problems, const LinuxDriver& driver,
                const std::string& what, std::uint32_t value, std::uint32_t low,
                std::uint32_t high) {
    if (value < low || value > high) {
        problems.push_back(Refuses(driver) + what + " " + Whole(value) + "; it takes " +
                           Whole(low) + " to " + Whole(high) + ".");
    }
}

void CheckJumpWidth(std::vector<std::string>& problems, const LinuxDriver& driver,
                    const LinuxBitTiming& t) {
    const KernelLimits& limits = driver.nominal;
    if (t.sjw > limits.sjwMax) {
        problems.push_back(Refuses(driver) + "SJW " + Whole(t.sjw) + "; it takes at most " +
                           Whole(limits.sjwMax) + ".");
    }
    const std::pair<const char*, std::uint32_t> phases[] = {{"phase-seg1", t.phaseSeg1},
                                                            {"phase-seg2", t.phaseSeg2}};
    for (const auto& [name, phase] : phases) {
        if (t.sjw > phase) {
            problems.push_back(Refuses(driver) + "SJW " + Whole(t.sjw) + " above " + name + " " +
                               Whole(phase) + ".");
        }
    }
}

// The clock the driver runs the prescaler on, in whole hertz: half the oscillator on the
// mcp251x, the peripheral clock as it is on a cell inside a processor.
std::uint32_t DriverClockHz(const Controller& row, double dOscFreqMHz) {
    return row.clock == ClockRule::HalfOscillator ? Mcp251xKernelClock(dOscFreqMHz)
                                                  : OscillatorHz(dOscFreqMHz).value_or(0);
}

} // namespace

std::optional<std::uint32_t> OscillatorHz(double dOscFreqMHz) {
    const double dHz = std::round(dOscFreqMHz * 1e6);
    if (!(dHz >= 1) || dHz > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(dHz);
}

std::uint64_t KernelPrescaler(std::uint32_t clockHz, std::uint32_t tqNs) {
    return (std::uint64_t{clockHz} * tqNs + kNanosecondsPerSecond / 2 - 1) / kNanosecondsPerSecond;
}

std::optional<std::uint32_t> QuantumForPrescaler(std::uint32_t clockHz, std::uint32_t brp) {
    if (clockHz == 0 || brp == 0) {
        return std::nullopt;
    }
    // KernelPrescaler gives brp for clock x T from brp x 1e9 - (1e9 / 2 - 1) up to
    // brp x 1e9 + 1e9 / 2: the whole T in that span, the one nearest the exact quantum.
    const std::uint64_t exact = std::uint64_t{brp} * kNanosecondsPerSecond;
    const std::uint64_t lowest = (exact - (kNanosecondsPerSecond / 2 - 1) + clockHz - 1) / clockHz;
    const std::uint64_t highest = (exact + kNanosecondsPerSecond / 2) / clockHz;
    const std::uint64_t nearest = (exact + clockHz / 2) / clockHz;
    if (lowest > highest) {
        return std::nullopt;
    }
    const std::uint64_t tq = std::clamp(nearest, lowest, highest);
    if (tq > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(tq);
}

KernelSetting Mcp251xKernelSetting(double dOscFreqMHz, double dTargetKbps, bool bTripleSampling,
                                   std::uint32_t samplePointTenths, const Controller* pController) {
    const Controller& row = pController ? *pController : DefaultController();
    KernelSetting kernel;
    const double dBitrate = std::round(dTargetKbps * 1000.0);
    if (!(dBitrate >= 1) || dBitrate > UINT32_MAX) {
        kernel.sReason = "The kernel needs a bit rate of at least 1 bit/s.";
        return kernel;
    }
    kernel.bitrate = static_cast<std::uint32_t>(dBitrate);
    if (std::optional<std::string> problem = OscillatorRangeProblem(row, dOscFreqMHz, ".")) {
        kernel.sReason = *problem; // the driver does not load; the clock stays 0
        return kernel;
    }
    kernel.clockHz = DriverClockHz(row, dOscFreqMHz);
    const KernelChoiceResult choice = ChooseKernelBitTiming(DriverOf(row).nominal, kernel.clockHz,
                                                            kernel.bitrate, samplePointTenths);
    if (!choice.timing) {
        kernel.sReason = choice.sReason;
        return kernel;
    }
    const KernelTiming& t = *choice.timing;
    kernel.timing = t;
    BitTimingSetting setting;
    setting.pController = pController;
    setting.dOscFreqMHz = dOscFreqMHz;
    setting.dTargetKbps = dTargetKbps;
    setting.lBRPMinus1 = static_cast<int>(t.brp) - 1;
    SegmentSettings& s = setting.segments;
    s.lPropagation = static_cast<int>(t.propSeg);
    s.lPhase1 = static_cast<int>(t.phaseSeg1);
    s.lPhase2 = static_cast<int>(t.phaseSeg2);
    s.lSJW = static_cast<int>(t.sjw);
    s.lTqCount = 1 + s.lPropagation + s.lPhase1 + s.lPhase2;
    s.bSam = bTripleSampling;
    s.bWakFil = false;
    s.mode = Phase2Mode::Programmed; // the driver always sets BTLMODE
    kernel.setting = setting;
    return kernel;
}

std::optional<std::string> DriverOscillatorRefusal(const Controller& row, double dOscFreqMHz,
                                                   std::string_view decimalSeparator) {
    return OscillatorRangeProblem(row, dOscFreqMHz, decimalSeparator);
}

bool DriverTakesPrescaler(const Controller& row, double dOscFreqMHz, int lBRPMinus1) {
    const KernelLimits& limits = DriverOf(row).nominal;
    const std::uint32_t brp = NonNegative(lBRPMinus1 + 1);
    const std::uint32_t clockHz = DriverClockHz(row, dOscFreqMHz);
    return brp >= limits.brpMin && brp <= limits.brpMax && clockHz != 0 &&
           QuantumForPrescaler(clockHz, brp).has_value();
}

bool DriverTakesSegments(const Controller& row, int lPropagation, int lPhase1, int lPhase2,
                         int lSJW) {
    const KernelLimits& limits = DriverOf(row).nominal;
    const std::uint32_t tseg1 = NonNegative(lPropagation) + NonNegative(lPhase1);
    const std::uint32_t tseg2 = NonNegative(lPhase2);
    const std::uint32_t sjw = NonNegative(lSJW);
    return tseg1 >= limits.tseg1Min && tseg1 <= limits.tseg1Max && tseg2 >= limits.tseg2Min &&
           tseg2 <= limits.tseg2Max && sjw <= limits.sjwMax && sjw <= NonNegative(lPhase1) &&
           sjw <= tseg2;
}

std::vector<std::string> Mcp251xOscillatorProblems(double dOscFreqMHz,
                                                   std::string_view decimalSeparator,
                                                   const Controller* pController) {
    const Controller& row = pController ? *pController : DefaultController();
    std::vector<std::string> problems;
    if (std::optional<std::string> problem =
            OscillatorRangeProblem(row, dOscFreqMHz, decimalSeparator)) {
        problems.push_back(*problem);
        return problems;
    }
    const double dHz = dOscFreqMHz * 1e6;
    if (std::fabs(dHz - std::round(dHz)) > kWholeHertzSlack) {
        problems.push_back("The " + std::string(row.sClockName) + " is given in whole hertz: " +
                           FormatGeneralNumber(dHz, decimalSeparator) + " Hz becomes " +
                           Whole(*OscillatorHz(dOscFreqMHz)) + " Hz.");
    }
    return problems;
}

LinuxTarget ToMcp251xLinux(const BitTimingSetting& setting, std::string_view decimalSeparator) {
    LinuxTarget target;
    LinuxBitTiming& t = target.timing;
    const SegmentSettings& s = setting.segments;
    const Controller& row = setting.Row();
    const LinuxDriver& driver = DriverOf(row);
    target.problems = Mcp251xOscillatorProblems(setting.dOscFreqMHz, decimalSeparator, &row);
    if (const std::optional<std::uint32_t> hz = OscillatorHz(setting.dOscFreqMHz)) {
        t.oscillatorHz = *hz;
        t.clockHz = DriverClockHz(row, setting.dOscFreqMHz);
    }
    t.brp = NonNegative(setting.lBRPMinus1 + 1);
    t.propSeg = NonNegative(s.lPropagation);
    t.phaseSeg1 = NonNegative(s.lPhase1);
    t.phaseSeg2 = NonNegative(Phase2Length(s));
    t.sjw = NonNegative(s.lSJW);
    t.bTripleSampling = s.bSam;
    const double dBitrate = std::round(setting.dTargetKbps * 1000.0);
    t.bitrate = dBitrate >= 1 && dBitrate <= UINT32_MAX ? static_cast<std::uint32_t>(dBitrate) : 0;
    const std::uint32_t total = 1 + t.propSeg + t.phaseSeg1 + t.phaseSeg2;
    t.samplePointTenths = 1000 * (1 + t.propSeg + t.phaseSeg1) / total;

    const KernelLimits& limits = driver.nominal;
    CheckRange(target.problems, driver, "prop-seg + phase-seg1 =", t.propSeg + t.phaseSeg1,
               limits.tseg1Min, limits.tseg1Max);
    CheckRange(target.problems, driver, "phase-seg2", t.phaseSeg2, limits.tseg2Min,
               limits.tseg2Max);
    CheckJumpWidth(target.problems, driver, t);
    CheckRange(target.problems, driver, "BRP", t.brp, limits.brpMin, limits.brpMax);
    if (t.clockHz != 0) {
        t.tqNs = QuantumForPrescaler(t.clockHz, t.brp);
        if (!t.tqNs) {
            target.problems.push_back("No whole number of nanoseconds gives BRP " + Whole(t.brp) +
                                      " back from the driver's clock of " + Whole(t.clockHz) +
                                      " Hz.");
        }
    }
    if (s.mode == Phase2Mode::LargerOf) {
        target.problems.push_back(
            "The driver always programs phase 2 (BTLMODE 1): the larger-of mode is given as "
            "phase-seg2 " +
            Whole(t.phaseSeg2) + ", the same bit.");
    }
    if (s.bWakFil) {
        target.problems.push_back(
            "The driver leaves the wake-up filter (WAKFIL) off; the interface runs without it.");
    }
    return target;
}

} // namespace linux
} // namespace quillon
