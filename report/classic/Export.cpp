#include "report/classic/Export.h"

#include "report/classic/ExportForms.h"
#include "timing/common/InputChecks.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>
#include <cstdio>

namespace quillon {
inline namespace classic {

namespace exports {

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string Tq(int count) {
    return std::to_string(count) + " Tq";
}

// The field comments of CNF1 and CNF2, whose layout all three families share; the names
// of CNF2's two flags differ.
std::string Cnf1Comment(const SegmentSettings& s, int brpMinus1) {
    return "SJW " + Tq(s.lSJW) + ", BRP-1 " + std::to_string(brpMinus1);
}

std::string Cnf2Comment(const SegmentSettings& s, std::string_view modeBit, std::string_view phase1,
                        std::string_view propagation) {
    return std::string(modeBit) + (s.mode == Phase2Mode::Programmed ? " 1" : " 0") + ", SAM " +
           (s.bSam ? "1" : "0") + ", " + std::string(phase1) + " " + Tq(s.lPhase1) + ", " +
           std::string(propagation) + " " + Tq(s.lPropagation);
}

std::string Cnf3Comment(const BitTimingFacts& facts, std::string_view phase2) {
    const SegmentSettings& s = facts.setting.segments;
    return std::string("WAKFIL ") + (s.bWakFil ? "1" : "0") + ", " + std::string(phase2) +
           (s.mode == Phase2Mode::Programmed ? " " + Tq(s.lPhase2) : " not used");
}

const ConfigRegisters& Registers(const BitTimingFacts& facts) {
    return *facts.registers.registers;
}

} // namespace

std::string SettingSummary(const BitTimingFacts& facts, const ExportOptions& options) {
    const BitTimingSetting& setting = facts.setting;
    const SegmentSettings& s = setting.segments;
    std::string text = FormatGeneralNumber(setting.dOscFreqMHz) + " MHz " +
                       std::string(setting.Row().sClockName) + ", " +
                       FormatGeneralNumber(setting.dTargetKbps) + " kbit/s";
    if (!facts.rate.bHitsTarget) {
        text += " (runs at " + facts.rate.sActual + ")";
    }
    text += ": BRP-1 " + std::to_string(setting.lBRPMinus1) + ", " + Tq(s.lTqCount) +
            " = sync 1 + prop " + std::to_string(s.lPropagation) + " + phase1 " +
            std::to_string(s.lPhase1) + " + phase2 " + std::to_string(facts.lPhase2Effective) +
            ", SJW " + std::to_string(s.lSJW) + ", sample point " + facts.sSamplePoint + " %";
    text += s.bSam ? ", triple sampling" : "";
    return options.segmentsOrigin.empty() ? text : text + " (" + options.segmentsOrigin + ")";
}

std::string CMcp251xText(const BitTimingFacts& facts, const ExportOptions& options) {
    const ConfigRegisters& r = Registers(facts);
    const SegmentSettings& s = facts.setting.segments;
    const auto define = [](const char* name, unsigned value, const std::string& comment) {
        return std::string("#define ") + name + " " + Hex(value, 2) + "u /* " + comment + " */\n";
    };
    return "/* MCP251x bit timing by Quillon: " + SettingSummary(facts, options) + " */\n" +
           "#ifndef MCP251X_BIT_TIMING_H\n#define MCP251X_BIT_TIMING_H\n\n" +
           define("MCP251X_CNF1", r.CNF1, Cnf1Comment(s, facts.setting.lBRPMinus1)) +
           define("MCP251X_CNF2", r.CNF2, Cnf2Comment(s, "BTLMODE", "PHSEG1", "PRSEG")) +
           define("MCP251X_CNF3", r.CNF3, Cnf3Comment(facts, "PHSEG2")) + "\n#endif\n";
}

std::string CPic18Text(const BitTimingFacts& facts, const ExportOptions& options) {
    const ConfigRegisters& r = Registers(facts);
    const SegmentSettings& s = facts.setting.segments;
    return "/* PIC18 CAN bit timing by Quillon, written in Configuration mode: " +
           SettingSummary(facts, options) + " */\n" + "BRGCON1 = " + Hex(r.CNF1, 2) + "; /* " +
           Cnf1Comment(s, facts.setting.lBRPMinus1) + " */\n" + "BRGCON2 = " + Hex(r.CNF2, 2) +
           "; /* " + Cnf2Comment(s, "SEG2PHTS", "SEG1PH", "PRSEG") + " */\n" +
           "BRGCON3 = " + Hex(r.CNF3, 2) + "; /* " + Cnf3Comment(facts, "SEG2PH") + " */\n";
}

std::string CDspicText(const BitTimingFacts& facts, const ExportOptions& options) {
    const ConfigRegisters& r = Registers(facts);
    const SegmentSettings& s = facts.setting.segments;
    return "/* dsPIC30F, dsPIC33F and PIC24H CAN bit timing by Quillon, written in "
           "Configuration mode: " +
           SettingSummary(facts, options) + " */\n" + "C1CFG1 = " + Hex(r.CICFG1(), 4) + "; /* " +
           Cnf1Comment(s, facts.setting.lBRPMinus1) + " */\n" + "C1CFG2 = " + Hex(r.CICFG2(), 4) +
           "; /* " + Cnf3Comment(facts, "SEG2PH") + ", " +
           Cnf2Comment(s, "SEG2PHTS", "SEG1PH", "PRSEG") + " */\n";
}

// A register word as one assignment, for the one-word layouts.
std::string CWordText(const BitTimingFacts& facts, const ExportOptions& options,
                      std::string_view target, std::string_view variable, std::string_view fields) {
    const RegisterWord& word = facts.words.words.front();
    return "/* " + std::string(facts.setting.Row().sTitle) +
           " bit timing by Quillon: " + SettingSummary(facts, options) + " */\n" +
           std::string(variable) + " = " + Hex(word.value, 8) + "u; /* " + std::string(fields) +
           " */\n" + (target.empty() ? "" : "/* " + std::string(target) + " */\n");
}

std::string CPic32Text(const BitTimingFacts& facts, const ExportOptions& options) {
    const SegmentSettings& s = facts.setting.segments;
    return CWordText(facts, options,
                     "Written while the module is in Configuration mode (CANCAP OPMOD 4).", "C1CFG",
                     Cnf1Comment(s, facts.setting.lBRPMinus1) + ", " +
                         Cnf2Comment(s, "SEG2PHTS", "SEG1PH", "PRSEG") + ", " +
                         Cnf3Comment(facts, "SEG2PH"));
}

std::string CAt91Text(const BitTimingFacts& facts, const ExportOptions& options) {
    const SegmentSettings& s = facts.setting.segments;
    return CWordText(facts, options, "Written while the CAN cell is disabled (CAN_MR CANEN 0).",
                     "CAN_BR",
                     std::string("SMP ") + (s.bSam ? "1" : "0") + ", BRP " +
                         std::to_string(facts.setting.lBRPMinus1) + " (prescaler " +
                         std::to_string(facts.setting.lBRPMinus1 + 1) + "), SJW " + Tq(s.lSJW) +
                         ", PROPAG " + Tq(s.lPropagation) + ", PHASE1 " + Tq(s.lPhase1) +
                         ", PHASE2 " + Tq(facts.lPhase2Effective));
}

} // namespace exports

bool FormatFits(ExportFormat format, const Controller& row) {
    switch (format) {
    case ExportFormat::CMcp251x:
    case ExportFormat::CPic18:
    case ExportFormat::CDspic:
        return &row == &DefaultController() ||
               row.sCForm == kExportFormats[static_cast<std::size_t>(format)].name;
    case ExportFormat::CPic32:
    case ExportFormat::CAt91:
        return row.sCForm == kExportFormats[static_cast<std::size_t>(format)].name;
    case ExportFormat::IpLink:
    case ExportFormat::Networkd:
        return row.linux.has_value();
    case ExportFormat::RpiOverlay:
        return row.linux && row.linux->sName == "mcp251x";
    case ExportFormat::Json:
        break;
    }
    return true;
}

std::optional<ExportFormat> FindExportFormat(std::string_view name) {
    for (const ExportFormatInfo& info : kExportFormats) {
        if (info.name == name) {
            return info.format;
        }
    }
    return std::nullopt;
}

std::string ExportFormatNames() {
    std::string names;
    for (const ExportFormatInfo& info : kExportFormats) {
        names += (names.empty() ? "" : ", ") + std::string(info.name);
    }
    return names;
}

std::optional<std::string> ExportFormatProblem(std::string_view name) {
    if (FindExportFormat(name)) {
        return std::nullopt;
    }
    return "'" + std::string(name) + "' is not one of " + ExportFormatNames();
}

ExportResult ExportSetting(ExportFormat format, const BitTimingSetting& setting,
                           const ExportOptions& options, std::string_view decimalSeparator) {
    ExportResult result;
    for (const auto& problem :
         {OscillatorComputeProblem(setting.dOscFreqMHz), RateComputeProblem(setting.dTargetKbps)}) {
        if (problem) {
            result.warnings.push_back(*problem);
            return result;
        }
    }
    const BitTimingFacts facts = DescribeBitTiming(setting, ".", options.bus);
    const Controller& row = setting.Row();
    if (!FormatFits(format, row)) {
        const std::string_view name = kExportFormats[static_cast<std::size_t>(format)].name;
        result.warnings.push_back(
            std::string(name) + " is not a form for the " + std::string(row.sTitle) +
            "; its C form is " + std::string(row.sCForm) +
            (row.linux ? ", under Linux ip-link or networkd" : ", and it has no Linux driver") +
            ".");
        return result;
    }
    if (!facts.words) {
        result.warnings.push_back(facts.words.sError);
        return result;
    }
    const bool carriesTiming = format != ExportFormat::RpiOverlay && format != ExportFormat::Json;
    if (carriesTiming && !facts.Passes()) {
        result.warnings.push_back("The setting breaks a timing rule: " +
                                  std::string(facts.sVerdict));
    }
    const LinuxTarget target = ToMcp251xLinux(setting, decimalSeparator);
    const auto linuxWarnings = [&result](const std::vector<std::string>& problems) {
        result.warnings.insert(result.warnings.end(), problems.begin(), problems.end());
    };
    switch (format) {
    case ExportFormat::CMcp251x:
        result.text = exports::CMcp251xText(facts, options);
        break;
    case ExportFormat::CPic18:
        result.text = exports::CPic18Text(facts, options);
        break;
    case ExportFormat::CDspic:
        result.text = exports::CDspicText(facts, options);
        break;
    case ExportFormat::CPic32:
        result.text = exports::CPic32Text(facts, options);
        break;
    case ExportFormat::CAt91:
        result.text = exports::CAt91Text(facts, options);
        break;
    case ExportFormat::IpLink:
        result.text = exports::IpLinkText(facts, target, options);
        linuxWarnings(target.problems);
        break;
    case ExportFormat::Networkd:
        result.text = exports::NetworkdText(facts, target, options);
        linuxWarnings(target.problems);
        break;
    case ExportFormat::RpiOverlay:
        result.text = exports::RpiOverlayText(facts, options);
        linuxWarnings(Mcp251xOscillatorProblems(setting.dOscFreqMHz, decimalSeparator, &row));
        break;
    case ExportFormat::Json:
        result.text = TimingDocument(options.selection.value_or(GridSelection(setting, 0)), facts);
        break;
    }
    return result;
}

} // namespace classic
} // namespace quillon
