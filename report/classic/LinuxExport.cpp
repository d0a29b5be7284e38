// The Linux forms of a setting for an MCP251x on the mcp251x driver: the `ip link` command
// (explicit segments, and the short form with what the kernel would pick for it), the
// systemd-networkd file and the Raspberry Pi overlay line.
#include "report/classic/ExportForms.h"

#include "timing/common/NumberFormat.h"
#include "timing/linux/Mcp251xLinux.h"

#include <algorithm>

namespace quillon {
inline namespace classic {
namespace exports {

namespace {

std::string Number(std::uint32_t value) {
    return std::to_string(value);
}

std::string SegmentArguments(std::uint32_t tqNs, std::uint32_t prop, std::uint32_t phase1,
                             std::uint32_t phase2, std::uint32_t sjw) {
    return "tq " + Number(tqNs) + " prop-seg " + Number(prop) + " phase-seg1 " + Number(phase1) +
           " phase-seg2 " + Number(phase2) + " sjw " + Number(sjw);
}

// The sample point as `ip link` takes it: three decimals, no trailing zeros. iproute2 reads
// a float and cuts value x 1000 to a whole number; for every sample point of a bit of up to
// 25 Tq the three decimals come back exactly.
std::string SamplePointArgument(std::uint32_t tenths) {
    std::string digits = std::to_string(tenths);
    digits.insert(0, 3 - std::min<std::size_t>(digits.size(), 3), '0');
    std::string text = "0." + digits;
    while (text.back() == '0') {
        text.pop_back();
    }
    return text;
}

// "MCP251x" for the calculator's own row, the controller's title otherwise.
std::string Title(const BitTimingFacts& facts) {
    return facts.setting.IsCalculatorRow() ? "MCP251x" : std::string(facts.setting.Row().sTitle);
}

// What the kernel picks for the short form, against the explicit segments.
std::string KernelPick(const BitTimingSetting& setting, const LinuxBitTiming& t) {
    const KernelSetting kernel =
        Mcp251xKernelSetting(setting.dOscFreqMHz, setting.dTargetKbps, t.bTripleSampling,
                             t.samplePointTenths, setting.pController);
    if (!kernel.setting) {
        return "here it finds none (" + kernel.sReason + ")";
    }
    const KernelTiming& k = kernel.timing;
    const bool same = k.brp == t.brp && k.propSeg == t.propSeg && k.phaseSeg1 == t.phaseSeg1 &&
                      k.phaseSeg2 == t.phaseSeg2 && k.sjw == t.sjw;
    return "here " + SegmentArguments(k.tqNs, k.propSeg, k.phaseSeg1, k.phaseSeg2, k.sjw) +
           (same ? ", the same as above" : ", not the ones above");
}

} // namespace

std::string IpLinkText(const BitTimingFacts& facts, const LinuxTarget& target,
                       const ExportOptions& options) {
    const LinuxBitTiming& t = target.timing;
    const std::string link = "ip link set " + options.interfaceName + " type can ";
    const std::string sampling = t.bTripleSampling ? " triple-sampling on" : "";
    const std::string upDown = "ip link set " + options.interfaceName;
    // The timing can only be set while the interface is down.
    std::string text =
        "# " + Title(facts) + " by Quillon: " + SettingSummary(facts, options) + "\n# As root:\n";
    if (t.tqNs) {
        text += upDown + " down\n" + link +
                SegmentArguments(*t.tqNs, t.propSeg, t.phaseSeg1, t.phaseSeg2, t.sjw) + sampling +
                "\n" + upDown + " up\n";
    }
    text += "# The short form lets the kernel pick its own segments; " +
            KernelPick(facts.setting, t) + ":\n";
    text += "# " + link + "bitrate " + Number(t.bitrate) + " sample-point " +
            SamplePointArgument(t.samplePointTenths) + sampling + "\n";
    return text;
}

std::string NetworkdText(const BitTimingFacts& facts, const LinuxTarget& target,
                         const ExportOptions& options) {
    const LinuxBitTiming& t = target.timing;
    std::string text = "# /etc/systemd/network/80-" + options.interfaceName + ".network for an " +
                       Title(facts) + " by Quillon: " + SettingSummary(facts, options) + "\n";
    text += "[Match]\nName=" + options.interfaceName + "\n\n[CAN]\n";
    if (t.tqNs) {
        text += "TimeQuantaNSec=" + Number(*t.tqNs) + "\n";
    }
    text += "PropagationSegment=" + Number(t.propSeg) +
            "\nPhaseBufferSegment1=" + Number(t.phaseSeg1) +
            "\nPhaseBufferSegment2=" + Number(t.phaseSeg2) + "\nSyncJumpWidth=" + Number(t.sjw) +
            "\nTripleSampling=" + (t.bTripleSampling ? "yes" : "no") + "\n";
    return text;
}

std::string RpiOverlayText(const BitTimingFacts& facts, const ExportOptions& options) {
    const double dOscFreqMHz = facts.setting.dOscFreqMHz;
    const std::string pin = std::to_string(options.interruptPin);
    std::string text = "# config.txt (/boot/firmware/config.txt on newer systems) by Quillon: an "
                       "MCP2515 with a " +
                       FormatGeneralNumber(dOscFreqMHz) + " MHz oscillator, interrupt on GPIO " +
                       pin + "\n";
    if (const std::optional<std::uint32_t> hz = OscillatorHz(dOscFreqMHz)) {
        text += "dtoverlay=mcp2515-can0,oscillator=" + Number(*hz) + ",interrupt=" + pin + "\n";
    }
    return text;
}

} // namespace exports
} // namespace classic
} // namespace quillon
