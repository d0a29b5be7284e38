// The CAN FD export forms: C, ip link, systemd-networkd, the Raspberry Pi overlay and JSON.
#include "report/fd/FdExport.h"

#include "timing/common/Controllers.h"

#include "report/fd/FdSettingJson.h"
#include "timing/common/NumberFormat.h"
#include "timing/linux/FdKernelChoice.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace quillon {
inline namespace fd {

namespace {

const std::vector<FdExportFormatInfo> kFormats = {
    {FdExportFormat::CMcp251xfd, "c-mcp251xfd", "C #defines of CiNBTCFG, CiDBTCFG and CiTDC"},
    {FdExportFormat::CDspic33c, "c-dspic33c",
     "C assignments of C1NBTCFGH/L, C1DBTCFGH/L, C1TDCH/L"},
    {FdExportFormat::CMcan, "c-mcan", "C #defines of the M_CAN's NBTP, DBTP and TDCR"},
    {FdExportFormat::IpLink, "ip-link",
     "ip link with bitrate, sample-point, dbitrate, dsample-point"},
    {FdExportFormat::IpLinkTq, "ip-link-tq", "ip link with tq, segments, dtq, data segments, TDC"},
    {FdExportFormat::Networkd, "networkd", "systemd-networkd [CAN] with rates and sample points"},
    {FdExportFormat::NetworkdTq, "networkd-tq", "systemd-networkd [CAN] with quanta and segments"},
    {FdExportFormat::RpiOverlay, "rpi-overlay",
     "the Raspberry Pi config.txt line of the mcp251xfd"},
    {FdExportFormat::Json, "json", "the facts as JSON"},
};

std::string PhaseLine(const FdFacts& f, FdPhase phase) {
    const FdPhaseSetting& s = f.setting.Phase(phase);
    const FdPhaseFacts& p = f.Phase(phase);
    return std::string(phase == FdPhase::Nominal ? "Nominal " : "Data ") + p.sActual + ": BRP " +
           std::to_string(s.lBRP) + ", " + std::to_string(p.lTqCount) + " Tq (prop " +
           std::to_string(s.lPropagation) + ", phase1 " + std::to_string(s.lPhase1) + ", phase2 " +
           std::to_string(s.lPhase2) + ", SJW " + std::to_string(s.lSJW) + "), sample point " +
           p.sSamplePoint + " %";
}

// The TDC of the setting; the M_CAN's filter window TDCF where it is set.
std::string TdcLine(const FdTdcSetting& tdc) {
    std::string text = "TDC " + std::string(TdcModeName(tdc.mode));
    if (tdc.mode != TdcMode::Off) {
        text += ", TDCO " + std::to_string(tdc.lOffset);
    }
    if (tdc.mode == TdcMode::Manual) {
        text += ", TDCV " + std::to_string(tdc.lValue);
    }
    if (tdc.lFilter != 0) {
        text += ", TDCF " + std::to_string(tdc.lFilter);
    }
    return text;
}

std::string CComment(const FdFacts& f, std::string_view family, const FdExportOptions& o) {
    const std::string clock = f.setting.Row().clock == ClockRule::Sysclk
                                  ? "SYSCLK " + f.sSysclk + " (oscillator " +
                                        FormatGeneralNumber(f.setting.dOscFreqMHz) + " MHz, PLL " +
                                        (f.setting.bPll ? "on" : "off") + ")"
                                  : "CAN clock " + f.sSysclk;
    const std::string origin = o.sSegmentsOrigin.empty() ? "" : " (" + o.sSegmentsOrigin + ")";
    return "/* CAN FD bit timing for the " + std::string(family) + ", from Quillon" + origin +
           ".\n * " + clock + "\n * " + PhaseLine(f, FdPhase::Nominal) + "\n * " +
           PhaseLine(f, FdPhase::Data) + "\n * " + TdcLine(f.setting.tdc) + " */\n";
}

// #defines of 32-bit words under a guard: MCP251XFD_CINBTCFG, MCAN_NBTP.
std::string CDefines(const FdFacts& f, std::string_view family, std::string_view prefix,
                     const FdExportOptions& o) {
    std::string text = CComment(f, family, o) + "#ifndef QUILLON_" + std::string(prefix) +
                       "_BIT_TIMING_H\n#define QUILLON_" + std::string(prefix) + "_BIT_TIMING_H\n";
    for (const FdRegisterText& r : f.registerTexts) {
        if (r.lBits != 32) {
            continue;
        }
        std::string name(r.sName);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        text += "#define " + std::string(prefix) + "_" + name + " " + r.sHex + "UL\n";
    }
    return text + "#endif\n";
}

std::string CText(const FdFacts& f, FdExportFormat format, const FdExportOptions& o) {
    if (format == FdExportFormat::CMcp251xfd) {
        return CDefines(f, "MCP251xFD (MCP2517FD, MCP2518FD, MCP251863)", "MCP251XFD", o);
    }
    if (format == FdExportFormat::CMcan) {
        return CDefines(f, f.setting.Row().sTitle, "MCAN", o);
    }
    std::string text = CComment(f, "dsPIC33C CAN FD module", o);
    for (const FdRegisterText& r : f.registerTexts) {
        if (r.lBits == 16) {
            text += std::string(r.sName) + " = " + r.sHex + ";\n";
        }
    }
    return text;
}

const Controller& RowOf(const Controller* row) {
    return row != nullptr ? *row : DefaultFdController();
}

bool IsCForm(FdExportFormat format) {
    return format == FdExportFormat::CMcp251xfd || format == FdExportFormat::CDspic33c ||
           format == FdExportFormat::CMcan;
}

long WholeRate(const FdPhaseFacts& p) {
    return static_cast<long>(RoundToWhole(p.dActualBaud));
}

// The quantum in whole nanoseconds that gives the phase's prescaler back, with a warning
// where there is none (the nearest is written then).
std::string TqNs(const FdFacts& f, FdPhase phase, std::vector<std::string>& warnings) {
    const int brp = f.setting.Phase(phase).lBRP;
    const std::uint32_t clock = FdKernelClock(f.setting);
    if (const std::optional<std::uint32_t> tq = KernelTqNsForBrp(clock, brp)) {
        return std::to_string(*tq);
    }
    warnings.push_back("No whole number of nanoseconds gives the " + std::string(PhaseName(phase)) +
                       " BRP " + std::to_string(brp) +
                       " back on this clock; the kernel takes another prescaler.");
    return FormatNumber(f.Phase(phase).dTqSeconds * 1e9, "0");
}

// What the Linux driver refuses or changes for every Linux form: the oscillator it refuses or
// the PLL it sets otherwise at probe (the mcp251xfd; the m_can takes its clock as it is), and
// the data rate below the nominal one the kernel refuses at open.
std::vector<std::string> DriverWarnings(const FdFacts& f, bool explicitSegments) {
    std::vector<std::string> warnings;
    const DriverClock clock =
        FdDriverClock(f.setting.controller, f.setting.dOscFreqMHz, f.setting.bPll);
    if (!clock.sRefusal.empty()) {
        warnings.push_back(clock.sRefusal);
    } else if (clock.bPllChanged) {
        warnings.push_back(clock.sPll);
    }
    if (WholeRate(f.data) < WholeRate(f.nominal)) {
        warnings.push_back(std::string(kDataBelowNominalRefusal) + ".");
    }
    if (!f.Passes()) {
        warnings.push_back("The setting breaks a rule of the controller: " + f.sVerdict);
    }
    if (explicitSegments) {
        for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
            const FdPhaseSetting& s = f.setting.Phase(phase);
            if (s.lSJW > s.lPhase1) {
                warnings.push_back("Linux refuses the " + std::string(PhaseName(phase)) + " SJW " +
                                   std::to_string(s.lSJW) + " above phase-seg1 " +
                                   std::to_string(s.lPhase1) + ".");
            }
        }
        if (f.setting.tdc.mode != TdcMode::Off && f.setting.tdc.lOffset < 0) {
            warnings.push_back("ip link takes no negative tdco; TDCO " +
                               std::to_string(f.setting.tdc.lOffset) + " cannot be set.");
        }
    }
    return warnings;
}

// Whether ip link may set the TDC: the CAN core's drivers take tdco and tdc-mode (Linux 5.16
// and later).
bool DriverTakesTdc(const FdFacts& f, LinuxTdcGeneration generation) {
    return DriverTdcRule(f.setting.Row(), generation) == DriverTdc::CanCore;
}

std::string SamplePointFraction(const FdPhaseFacts& p) {
    return FormatNumber(p.dSamplePointPercent / 100.0, "0.0##");
}

std::string IpLinkText(const FdFacts& f, const FdExportOptions& o, bool explicitSegments,
                       std::vector<std::string>& warnings) {
    std::string text = "ip link set " + o.sInterface + " type can";
    if (!explicitSegments) {
        text =
            "# The kernel picks its own prescalers and segments for these rates and sample\n"
            "# points (quillon-cli fd kernel shows its choice); ip-link-tq sets them exactly.\n" +
            text + " bitrate " + std::to_string(WholeRate(f.nominal)) + " sample-point " +
            SamplePointFraction(f.nominal) + " dbitrate " + std::to_string(WholeRate(f.data)) +
            " dsample-point " + SamplePointFraction(f.data);
    } else {
        for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
            const FdPhaseSetting& s = f.setting.Phase(phase);
            const std::string d = phase == FdPhase::Data ? "d" : "";
            text += " " + d + "tq " + TqNs(f, phase, warnings) + " " + d + "prop-seg " +
                    std::to_string(s.lPropagation) + " " + d + "phase-seg1 " +
                    std::to_string(s.lPhase1) + " " + d + "phase-seg2 " +
                    std::to_string(s.lPhase2) + " " + d + "sjw " + std::to_string(s.lSJW);
        }
        const FdTdcSetting& tdc = f.setting.tdc;
        if (!DriverTakesTdc(f, o.linuxTdc)) {
            // The driver sets TDC itself; ip link refuses tdco and tdc-mode for it, and the
            // kernels before 5.16 know neither.
            const FdTdcSetting own = LinuxDriverTdc(f.setting, o.linuxTdc);
            if (own.mode != tdc.mode || (own.mode != TdcMode::Off && own.lOffset != tdc.lOffset)) {
                warnings.push_back(
                    "The " + std::string(f.setting.Row().linux->sName) + " driver" +
                    (DriverTdcRule(f.setting.Row(), o.linuxTdc) == DriverTdc::AlwaysAuto
                         ? " of " + std::string(LinuxTdcGenerationTitle(LinuxTdcGeneration::Old))
                         : std::string()) +
                    " sets TDC itself (" + TdcLine(own) + ") instead of " + TdcLine(tdc) +
                    "; ip link cannot set it.");
            }
            return text + " fd on\nip link set " + o.sInterface + " up\n";
        }
        if (tdc.mode == TdcMode::Manual) {
            text += " tdcv " + std::to_string(tdc.lValue);
        }
        if (tdc.mode != TdcMode::Off) {
            text += " tdco " + std::to_string(tdc.lOffset);
        }
        text += " tdc-mode " + std::string(TdcModeName(tdc.mode));
    }
    return text + " fd on\nip link set " + o.sInterface + " up\n";
}

std::string NetworkdText(const FdFacts& f, const FdExportOptions& o, bool explicitSegments,
                         std::vector<std::string>& warnings) {
    std::string text = "[Match]\nName=" + o.sInterface + "\n\n[CAN]\n";
    for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
        const std::string d = phase == FdPhase::Data ? "Data" : "";
        const FdPhaseFacts& p = f.Phase(phase);
        if (!explicitSegments) {
            text += d + "BitRate=" + std::to_string(WholeRate(p)) + "\n" + d +
                    "SamplePoint=" + FormatNumber(p.dSamplePointPercent, "0.#") + "%\n";
            continue;
        }
        const FdPhaseSetting& s = f.setting.Phase(phase);
        text += d + "TimeQuantaNSec=" + TqNs(f, phase, warnings) + "\n" + d +
                "PropagationSegment=" + std::to_string(s.lPropagation) + "\n" + d +
                "PhaseBufferSegment1=" + std::to_string(s.lPhase1) + "\n" + d +
                "PhaseBufferSegment2=" + std::to_string(s.lPhase2) + "\n" + d +
                "SyncJumpWidth=" + std::to_string(s.lSJW) + "\n";
    }
    const FdTdcSetting kernel = LinuxDriverTdc(f.setting, o.linuxTdc);
    if (explicitSegments &&
        (kernel.mode != f.setting.tdc.mode ||
         (kernel.mode != TdcMode::Off && kernel.lOffset != f.setting.tdc.lOffset))) {
        warnings.push_back("systemd-networkd has no TDC keys; the kernel works out " +
                           TdcLine(kernel) + " instead of " + TdcLine(f.setting.tdc) + ".");
    }
    return text + "FDMode=yes\n";
}

} // namespace

const std::vector<FdExportFormatInfo>& FdExportFormats() {
    return kFormats;
}

std::optional<FdExportFormat> FindFdExportFormat(std::string_view name) {
    for (const FdExportFormatInfo& info : kFormats) {
        if (info.name == name) {
            return info.format;
        }
    }
    return std::nullopt;
}

std::string FdExportFormatNames() {
    std::string text;
    for (std::size_t i = 0; i < kFormats.size(); ++i) {
        text += (i == 0                     ? ""
                 : i + 1 == kFormats.size() ? " or "
                                            : ", ") +
                std::string(kFormats[i].name);
    }
    return text;
}

std::optional<std::string> FdExportFormatProblem(std::string_view name) {
    if (FindFdExportFormat(name)) {
        return std::nullopt;
    }
    return "'" + std::string(name) + "' is not a form; try " + FdExportFormatNames();
}

std::optional<std::string> FdExportRowProblem(FdExportFormat format, const Controller* row) {
    const Controller& r = RowOf(row);
    const std::string name(r.sName);
    const auto form = [format]() {
        for (const FdExportFormatInfo& info : kFormats) {
            if (info.format == format) {
                return std::string(info.name);
            }
        }
        return std::string();
    };
    if (IsCForm(format)) {
        const bool fits = format == FdExportFormat::CMcp251xfd
                              ? r.fdLayout == FdRegisterLayout::Mcp251xfd
                          : format == FdExportFormat::CDspic33c
                              // The default row's words are the dsPIC33C's too.
                              ? r.fdLayout == FdRegisterLayout::Dspic33c || row == nullptr
                              : r.fdLayout == FdRegisterLayout::Mcan;
        if (fits) {
            return std::nullopt;
        }
        if (row == nullptr) {
            return form() + " writes the registers of another controller; give it with "
                            "--controller (for example --controller mcan)";
        }
        return form() + " writes the registers of another controller; the " + name +
               " is written with " + std::string(r.sCForm);
    }
    if (format == FdExportFormat::Json) {
        return std::nullopt;
    }
    if (!r.linux) {
        return "the " + name + " has no Linux driver; " + form() + " is for one (try " +
               std::string(r.sCForm) + " or json)";
    }
    if (format == FdExportFormat::RpiOverlay && r.linux->sName != "mcp251xfd") {
        return "rpi-overlay is the Raspberry Pi line of the mcp251xfd on SPI; the " +
               std::string(r.fdLayout == FdRegisterLayout::Mcan ? "M_CAN" : name) +
               " cell is on the SoC, whose own device tree describes it";
    }
    return std::nullopt;
}

bool FdExportComparesLinuxTdc(FdExportFormat format) {
    return format == FdExportFormat::IpLinkTq || format == FdExportFormat::NetworkdTq;
}

FdExportText ExportFdSetting(const FdFacts& facts, FdExportFormat format,
                             const FdExportOptions& options) {
    FdExportText out;
    if (const std::optional<std::string> problem =
            FdExportRowProblem(format, facts.setting.controller)) {
        out.warnings.push_back(*problem);
        return out;
    }
    switch (format) {
    case FdExportFormat::CMcp251xfd:
    case FdExportFormat::CDspic33c:
    case FdExportFormat::CMcan:
        if (!facts.registers) {
            out.warnings.push_back(facts.sRegisterError);
            return out;
        }
        if (!facts.Passes()) {
            out.warnings.push_back("The setting breaks a rule of the controller: " +
                                   facts.sVerdict);
        }
        out.sText = CText(facts, format, options);
        return out;
    case FdExportFormat::IpLink:
    case FdExportFormat::IpLinkTq:
    case FdExportFormat::Networkd:
    case FdExportFormat::NetworkdTq: {
        const bool explicitSegments =
            format == FdExportFormat::IpLinkTq || format == FdExportFormat::NetworkdTq;
        out.warnings = DriverWarnings(facts, explicitSegments);
        out.sText = format == FdExportFormat::IpLink || format == FdExportFormat::IpLinkTq
                        ? IpLinkText(facts, options, explicitSegments, out.warnings)
                        : NetworkdText(facts, options, explicitSegments, out.warnings);
        if (!options.sSegmentsOrigin.empty()) {
            out.sText =
                "# CAN FD bit timing from Quillon (" + options.sSegmentsOrigin + ")\n" + out.sText;
        }
        return out;
    }
    case FdExportFormat::RpiOverlay:
        out.warnings = DriverWarnings(facts, false);
        out.sText = "dtoverlay=mcp251xfd,spi0-0,oscillator=" +
                    FormatNumber(facts.setting.dOscFreqMHz * 1e6, "0") +
                    ",interrupt=" + std::to_string(options.lInterruptPin) + "\n";
        return out;
    case FdExportFormat::Json:
        out.sText = FdSettingJsonDocument("fd export", facts);
        return out;
    }
    return out;
}

} // namespace fd
} // namespace quillon
