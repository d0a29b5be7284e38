#include "cli/classic/SettingText.h"

#include "cli/common/CommandOutput.h"
#include "report/classic/ReportValues.h"
#include "report/common/FindingTexts.h"
#include "report/common/TextTable.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/common/NumberFormat.h"

namespace quillon::cli {
inline namespace classic {

namespace {

// The round trip of the analysis, in engineering notation like the diagram's durations.
constexpr std::string_view kRoundTripPattern = "0.0##";
constexpr std::string_view kRoundTripUnit = "s";

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

std::string PercentText(double percent) {
    return SamplePointText(percent, kDecimalSeparator);
}

// "62.5 % (earlier than the 87.5 % recommended)"
std::string SamplePointAdviceText(const TimingAnalysis& a) {
    return PercentText(a.dSamplePointPercent) + " % (" + std::string(SamplePointComparison(a)) +
           " the " + PercentText(a.dRecommendedSamplePointPercent) + " % recommended)";
}

std::string CandidateTable(std::string_view source, const TqCandidate& candidate,
                           const BitTimingFacts& facts) {
    const CandidateListTexts texts = ListTexts(candidate, kDecimalSeparator);
    TextTable table;
    table.AddRow({"Candidate", std::string(source)});
    table.AddRow({"", "Tq " + texts[0] + ", BRP-1 " + texts[1] + ", osc1 clks " + texts[2] +
                          ", %Err " + texts[3]});
    table.AddRow({"Time quantum", facts.rate.sTq});
    table.AddRow({"Rate error", facts.rate.sError});
    return table.Text();
}

std::string SegmentTable(const BitTimingFacts& facts) {
    const SegmentSettings& s = facts.setting.segments;
    TextTable table;
    table.AddRow({"Segment", "Tq", "Duration"});
    for (const SegmentDuration& d : facts.durations) {
        table.AddRow({std::string(d.sName), std::to_string(d.lTq), d.sText});
    }
    std::string text = table.Text();
    if (s.mode == Phase2Mode::LargerOf) {
        text += "(phase2 is the larger of phase 1 and the IPT of " + std::to_string(kIptTq) +
                " Tq; --phase2 " + std::to_string(s.lPhase2) + " is not used)\n";
    }
    return text;
}

std::string OptionTable(const BitTimingFacts& facts) {
    const SegmentSettings& s = facts.setting.segments;
    TextTable table;
    table.AddRow({"Multiple sampling", OnOff(s.bSam)});
    table.AddRow({"Wake-up filter", OnOff(s.bWakFil)});
    table.AddRow({"Phase 2 mode", std::string(Phase2ModeName(s.mode))});
    table.AddRow({"Effective phase 2", std::to_string(facts.lPhase2Effective)});
    table.AddRow({"Sample point", facts.sSamplePoint + " %"});
    table.AddRow({"Verdict", std::string(facts.sVerdict)});
    return table.Text();
}

std::string AnalysisTable(const TimingAnalysis& a) {
    // Indented under its heading, so its sample point row reads apart from the one above.
    TextTable table;
    table.AddRow({"  Oscillator tolerance", OscToleranceText(a, kDecimalSeparator) + " %"});
    table.AddRow(
        {"  Round trip (P x Tq)", FormatEngineering(a.dRoundTripSeconds, kRoundTripPattern,
                                                    kRoundTripUnit, false, kDecimalSeparator)});
    table.AddRow({"  Bus length", BusLengthText(a, kDecimalSeparator)});
    table.AddRow({"  Sample point", SamplePointAdviceText(a)});
    return "Analysis\n" + table.Text();
}

std::string RegisterTable(const BitTimingFacts& facts) {
    if (!facts.setting.HasMicrochipRegisters()) {
        if (!facts.words) {
            return "Registers: " + facts.words.sError + "\n";
        }
        TextTable table;
        table.AddRow({"Register", "Binary", "Hex"});
        for (const RegisterWord& word : facts.words.words) {
            table.AddRow({std::string(word.sName),
                          "b'" + RegisterWordBinary(word.value, word.lBits) + "'",
                          RegisterWordHex(word.value, word.lBits)});
        }
        return "Registers of the " + std::string(facts.setting.Row().sTitle) + "\n" + table.Text();
    }
    if (!facts.registers) {
        return "Registers: " + facts.registers.sError + "\n";
    }
    const ConfigRegisterTexts& r = facts.registerTexts;
    TextTable table;
    table.AddRow({"Register", "Binary", "Hex"});
    table.AddRow({"CNF1/BRGCON1", r.sCNF1Bin, r.sCNF1Hex});
    table.AddRow({"CNF2/BRGCON2", r.sCNF2Bin, r.sCNF2Hex});
    table.AddRow({"CNF3/BRGCON3", r.sCNF3Bin, r.sCNF3Hex});
    table.AddRow({"CICFG1", r.sCICFG1Bin, r.sCICFG1Hex});
    table.AddRow({"CICFG2", r.sCICFG2Bin, r.sCICFG2Hex});
    return table.Text();
}

} // namespace

std::string InputsTable(double oscFreqMHz, double rateKbps, const Controller& row) {
    TextTable table;
    if (&row != &DefaultController()) {
        table.AddRow({"Controller", std::string(row.sTitle)});
    }
    table.AddRow({ClockLabel(row), OscillatorText(oscFreqMHz, kDecimalSeparator)});
    table.AddRow({"Target rate", TargetRateText(rateKbps, kDecimalSeparator)});
    return table.Text();
}

std::string SettingText(std::string_view source, const TqCandidate& candidate,
                        const BitTimingFacts& facts) {
    std::string text = CandidateTable(source, candidate, facts) + "\n";
    text += SegmentTable(facts) + "\n";
    text += OptionTable(facts) + "\n";
    text += AnalysisTable(facts.analysis) + "\n";
    text += RegisterTable(facts);
    if (facts.busIdleWarning) {
        text +=
            "\nWarning: " + std::string(kBusIdleErrataTitle) + "\n" + *facts.busIdleWarning + "\n";
    }
    if (!facts.findings.empty()) {
        text += "\n" + FindingsBlock(facts.findings);
    }
    return text;
}

} // namespace classic
} // namespace quillon::cli
