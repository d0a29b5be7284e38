// The Linux kernel generation behind a decoded TDC.
#include "timing/linux/LinuxTdcDecode.h"

namespace quillon {
inline namespace linux {

namespace {

bool SameTdc(const FdTdcSetting& a, const FdTdcSetting& b) {
    return a.mode == b.mode && (a.mode == TdcMode::Off || a.lOffset == b.lOffset) &&
           (a.mode != TdcMode::Manual || a.lValue == b.lValue);
}

std::string TdcText(const FdTdcSetting& tdc) {
    switch (tdc.mode) {
    case TdcMode::Auto:
        return "TDC automatic with TDCO " + std::to_string(tdc.lOffset);
    case TdcMode::Manual:
        return "TDC manual with TDCO " + std::to_string(tdc.lOffset) + " and TDCV " +
               std::to_string(tdc.lValue);
    case TdcMode::Off:
        break;
    }
    return "TDC off";
}

// Who writes the TDC by `generation`'s rule: "the mcp251xfd driver before Linux 5.16".
std::string WriterOf(const Controller& row, LinuxTdcGeneration generation) {
    switch (DriverTdcRule(row, generation)) {
    case DriverTdc::CanCore:
        return "the CAN core's TDC of " +
               std::string(LinuxTdcGenerationTitle(LinuxTdcGeneration::New));
    case DriverTdc::AlwaysAuto:
        return "the " + std::string(row.linux->sName) + " driver before Linux 5.16";
    case DriverTdc::OwnAbove2500k:
        break;
    }
    return "the " + std::string(row.linux->sName) + " driver's own TDC";
}

// The rule itself, for the data phase: "TDCO = DBRP x (DPROP + DPH1)".
std::string RuleOf(const FdSetting& s, LinuxTdcGeneration generation) {
    switch (DriverTdcRule(s.Row(), generation)) {
    case DriverTdc::CanCore:
        return s.data.lBRP == 1 || s.data.lBRP == 2 ? "TDCO = DBRP x (1 + DPROP + DPH1)"
                                                    : "off with a data BRP above 2";
    case DriverTdc::AlwaysAuto:
        return "TDCO = DBRP x (DPROP + DPH1)";
    case DriverTdc::OwnAbove2500k:
        break;
    }
    return "the same in every Linux";
}

} // namespace

std::optional<Finding> LinuxTdcGenerationFinding(const FdDecoded& decoded) {
    const FdSetting& s = decoded.setting;
    const Controller& row = s.Row();
    if (!decoded.bTdcGiven || !row.linux) {
        return std::nullopt;
    }
    constexpr LinuxTdcGeneration kOld = LinuxTdcGeneration::Old, kNew = LinuxTdcGeneration::New;
    const std::string read = TdcText(s.tdc);
    const FdTdcSetting oldTdc = LinuxDriverTdc(s, kOld);
    const FdTdcSetting newTdc = LinuxDriverTdc(s, kNew);
    const bool old = SameTdc(s.tdc, oldTdc);
    const bool now = SameTdc(s.tdc, newTdc);
    const std::string byHand = ": it was set by hand or by other software.";
    std::string text;
    if (DriverTdcRule(row, kOld) == DriverTdcRule(row, kNew)) {
        text = now ? read + " matches " + WriterOf(row, kNew) + " (" + RuleOf(s, kNew) + ")."
                   : read + " is not what the " + std::string(row.linux->sName) +
                         " driver writes by itself in any Linux (" + TdcText(newTdc) + ")" + byHand;
    } else if (old && now) {
        text = read + " matches both " + WriterOf(row, kOld) + " and " + WriterOf(row, kNew) + ".";
    } else if (old) {
        text = read + " matches " + WriterOf(row, kOld) + " (" + RuleOf(s, kOld) + "); " +
               WriterOf(row, kNew) + " gives " + TdcText(newTdc) + ".";
    } else if (now) {
        text = read + " matches " + WriterOf(row, kNew) + " (" + RuleOf(s, kNew) + "); " +
               WriterOf(row, kOld) + " wrote " + TdcText(oldTdc) + ".";
    } else {
        text = read + " matches neither " + WriterOf(row, kOld) + " (" + TdcText(oldTdc) +
               ") nor " + WriterOf(row, kNew) + " (" + TdcText(newTdc) + ")" + byHand;
    }
    return Finding{Severity::Advice, code::kLinuxTdcGeneration, text, source::kLinux};
}

bool TakeLinuxDriverTdc(FdDecoded& decoded, LinuxTdcGeneration generation) {
    FdSetting& s = decoded.setting;
    if (decoded.bTdcGiven || !s.Row().linux || s.Row().fdLayout == FdRegisterLayout::Mcan) {
        return false;
    }
    s.tdc = LinuxDriverTdc(s, generation);
    return true;
}

} // namespace linux
} // namespace quillon
