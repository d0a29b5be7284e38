// The CAN FD tables quillon-cli prints for a person.
#include "cli/fd/FdText.h"

#include "cli/common/ChoiceNotes.h"
#include "cli/common/CommandOutput.h"
#include "report/classic/ReportValues.h"
#include "report/common/FindingTexts.h"
#include "report/common/TextTable.h"
#include "timing/common/Controllers.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>

namespace quillon::cli {
inline namespace fd {

namespace {

const char* YesNo(bool yes) {
    return yes ? "yes" : "no";
}

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

std::string RegisterTable(const FdFacts& f) {
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

} // namespace

std::string FdInputsTable(const FdSetting& setting, bool withRates) {
    TextTable table;
    const Controller& row = setting.Row();
    if (setting.controller != nullptr) {
        table.AddRow({"Controller", std::string(row.sTitle)});
    }
    if (row.clock == ClockRule::Sysclk) {
        table.AddRow({"Oscillator", OscillatorText(setting.dOscFreqMHz, kDecimalSeparator)});
        table.AddRow({"PLL", setting.bPll ? "on" : "off"});
    }
    table.AddRow(
        {std::string(FdClockName(row)), OscillatorText(FdClockMHz(setting), kDecimalSeparator)});
    if (withRates) {
        table.AddRow({"Nominal rate", TargetRateText(setting.dNominalKbps, kDecimalSeparator)});
        table.AddRow({"Data rate", TargetRateText(setting.dDataKbps, kDecimalSeparator)});
    }
    return table.Text();
}

std::string FdCandidatesTable(const std::vector<FdCandidate>& candidates, bool withFindings,
                              const std::vector<FdFacts>& proposals) {
    if (candidates.empty()) {
        return "No combination gives both rates within " + FormatGeneralNumber(kFdNearRatePercent) +
               " %.\n";
    }
    TextTable table;
    std::vector<std::string> headings{"#",         "NBRP",    "NTq",   "DBRP",
                                      "DTq",       "Same Tq", "TDC",   "%Err nominal",
                                      "%Err data", "SP %",    "Tol %", "Usable"};
    if (withFindings) {
        headings.push_back("Findings");
    }
    table.AddRow(headings);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const FdCandidate& c = candidates[i];
        const FdFacts& p = proposals[i];
        std::vector<std::string> row{
            std::to_string(i + 1),
            std::to_string(c.nominal.lBRP),
            std::to_string(c.nominal.lTqCount),
            std::to_string(c.data.lBRP),
            std::to_string(c.data.lTqCount),
            YesNo(c.SameQuantum()),
            YesNo(c.TdcPossible()),
            p.nominal.sError,
            p.data.sError,
            p.nominal.sSamplePoint + "/" + p.data.sSamplePoint,
            p.sTolerance + " (" + std::to_string(p.tolerance.lLimiting) + ")",
            c.bUsable ? "yes" : "no, condition " + std::to_string(p.tolerance.lLimiting) + " <= 0"};
        if (withFindings) {
            row.push_back(FindingCounts(p.findings));
        }
        table.AddRow(row);
    }
    const auto usable = std::count_if(candidates.begin(), candidates.end(),
                                      [](const FdCandidate& c) { return c.bUsable; });
    return "Candidates (" + std::to_string(candidates.size()) + ", " + std::to_string(usable) +
           " usable), best first:\n\n" + table.Text() +
           "\nSP %: the sample points of the proposed segments (nominal/data); Tol %: their\n"
           "oscillator tolerance and, in brackets, the condition that limits it. Usable: no\n"
           "where that condition is at or below zero: no crystal is exact enough for those\n"
           "segments.\n" +
           (withFindings ? kFindingCountsLegend : "");
}

std::string FdSettingText(std::string_view source, const FdFacts& facts) {
    TextTable lead;
    lead.AddRow({"Choice", std::string(source)});
    return lead.Text() + "\n" + PhaseTable(facts) + "\n" + DurationTable(facts) + "\n" +
           VerdictTable(facts) + "\n" + RegisterTable(facts);
}

} // namespace fd
} // namespace quillon::cli
