// The CAN FD tables of one setting, as the command line and the window's dialogs show them.
#include "report/fd/FdSettingText.h"

#include "report/common/FindingTexts.h"
#include "report/common/ReportTexts.h"
#include "report/common/TextTable.h"
#include "timing/common/Controllers.h"

namespace quillon {
inline namespace fd {

namespace {

std::string PhaseTable(const FdFacts& f) {
    TextTable table;
    table.AddRow({"Phase", "BRP", "Tq", "Time quantum", "Prop", "Phase1", "Phase2", "SJW",
                  "Sample point", "Rate", "Error"});
    for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
        const FdPhaseSetting& s = f.setting.Phase(phase);
        const FdPhaseFacts& p = f.Phase(phase);
        table.AddRow({std::string(PhaseName(phase)), std::to_string(s.lBRP),
                      std::to_string(p.lTqCount), p.sTq, std::to_string(s.lPropagation),
                      std::to_string(s.lPhase1), std::to_string(s.lPhase2), std::to_string(s.lSJW),
                      p.sSamplePoint + " %", p.sActual, p.sError});
    }
    return table.Text();
}

std::string DurationTable(const FdFacts& f) {
    TextTable table;
    std::vector<std::string> heading{"Durations"};
    for (const SegmentDuration& d : f.nominal.durations) {
        heading.emplace_back(d.sName);
    }
    table.AddRow(heading);
    for (const FdPhase phase : {FdPhase::Nominal, FdPhase::Data}) {
        std::vector<std::string> row{std::string(PhaseName(phase))};
        for (const SegmentDuration& d : f.Phase(phase).durations) {
            row.push_back(d.sText);
        }
        table.AddRow(row);
    }
    return table.Text();
}

std::string VerdictTable(const FdFacts& f) {
    TextTable table;
    std::string tdc = FdTdcShortText(f.setting.tdc);
    tdc += f.bTdcAsRequired ? " (as the controller needs it)"
                            : " (the controller needs " + FdTdcShortText(f.requiredTdc) + ")";
    table.AddRow({"TDC", tdc});
    table.AddRow({"Verdict", f.sVerdict});
    const std::string limiting =
        f.tolerance.lLimiting > 0
            ? " (condition " + std::to_string(f.tolerance.lLimiting) + " limits)"
            : "";
    table.AddRow({"Oscillator tolerance", f.sTolerance + " %" + limiting});
    std::string text = table.Text();
    TextTable conditions;
    for (std::size_t i = 0; i < kFdConditionCount; ++i) {
        conditions.AddRow({"  (" + std::to_string(i + 1) + ")", f.conditionTexts[i] + " %",
                           std::string(kFdConditionFormulas[i])});
    }
    text += conditions.Text();
    if (!f.findings.empty()) {
        text += "\n" + FindingsBlock(f.findings);
    }
    return text;
}

} // namespace

std::string FdRegisterTable(const FdFacts& f) {
    if (!f.registers) {
        return "Registers: " + f.sRegisterError + "\n";
    }
    TextTable table;
    table.AddRow({"Register", "Hex", "Family"});
    for (const FdRegisterText& r : f.registerTexts) {
        table.AddRow({std::string(r.sName), r.sHex, std::string(r.sFamily)});
    }
    return table.Text();
}

std::string FdInputsTable(const FdSetting& setting, bool withRates,
                          std::string_view decimalSeparator) {
    TextTable table;
    const Controller& row = setting.Row();
    if (setting.controller != nullptr) {
        table.AddRow({"Controller", std::string(row.sTitle)});
    }
    if (row.clock == ClockRule::Sysclk) {
        table.AddRow({"Oscillator", OscillatorText(setting.dOscFreqMHz, decimalSeparator)});
        table.AddRow({"PLL", setting.bPll ? "on" : "off"});
    }
    table.AddRow(
        {std::string(FdClockName(row)), OscillatorText(FdClockMHz(setting), decimalSeparator)});
    if (withRates) {
        table.AddRow({"Nominal rate", TargetRateText(setting.dNominalKbps, decimalSeparator)});
        table.AddRow({"Data rate", TargetRateText(setting.dDataKbps, decimalSeparator)});
    }
    return table.Text();
}

std::string FdSettingText(std::string_view source, const FdFacts& facts) {
    TextTable lead;
    lead.AddRow({"Choice", std::string(source)});
    return lead.Text() + "\n" + PhaseTable(facts) + "\n" + DurationTable(facts) + "\n" +
           VerdictTable(facts) + "\n" + FdRegisterTable(facts);
}

} // namespace fd
} // namespace quillon
