#include "report/classic/KernelComparisonText.h"

#include "report/classic/ReportValues.h"
#include "report/common/TextTable.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace quillon {
inline namespace classic {

namespace {

// Sentences are wrapped to this many characters, further lines indented.
constexpr std::size_t kLineWidth = 88;
// A sample point in tenths of a percent over this is the fraction ip link takes.
constexpr double kTenthsPerWhole = 1000.0;

using Column = std::pair<std::string, BitTimingFacts>;
using Cell = std::function<std::string(const BitTimingFacts&)>;

std::string RateErrorText(const RateFacts& rate, std::string_view sep) {
    // The error is target - actual: positive below the target.
    const std::string size = FormatNumber(std::fabs(rate.dErrorPercent), "0.0##", sep) + " %";
    if (rate.dErrorPercent == 0.0) {
        return size;
    }
    return size + (rate.dErrorPercent < 0 ? " above" : " below");
}

// "- " and the sentence, wrapped at blanks; a number keeps its " %".
std::string Bullet(std::string sentence) {
    constexpr char kJoin = '\x01';
    for (std::size_t at; (at = sentence.find(" %")) != std::string::npos;) {
        sentence[at] = kJoin;
    }
    std::string text;
    std::string line = "-";
    std::size_t start = 0;
    while (start < sentence.size()) {
        std::size_t end = sentence.find(' ', start);
        end = end == std::string::npos ? sentence.size() : end;
        const std::string word = sentence.substr(start, end - start);
        if (line.size() + 1 + word.size() > kLineWidth && line.size() > 2) {
            text += line + "\n";
            line = " ";
        }
        line += " " + word;
        start = end + 1;
    }
    text += line + "\n";
    std::replace(text.begin(), text.end(), kJoin, ' ');
    return text;
}

// The register row: CNF1..CNF3 for the calculator's own row, else the controller's own.
std::string RegisterNames(const std::vector<Column>& columns) {
    if (columns.empty() || columns.front().second.setting.HasMicrochipRegisters()) {
        return "CNF1 CNF2 CNF3";
    }
    return LayoutNames(columns.front().second.setting.Row().layout, " ");
}

std::string RegisterHexes(const BitTimingFacts& f) {
    if (f.setting.HasMicrochipRegisters()) {
        const ConfigRegisterTexts& r = f.registerTexts;
        return f.registers ? r.sCNF1Hex + " " + r.sCNF2Hex + " " + r.sCNF3Hex : "none";
    }
    if (!f.words) {
        return "none";
    }
    std::string text;
    for (const RegisterWord& word : f.words.words) {
        text += (text.empty() ? "" : " ") + RegisterWordHex(word.value, word.lBits);
    }
    return text;
}

std::string Table(const std::vector<Column>& columns, std::string_view sep) {
    const std::pair<std::string, Cell> rows[] = {
        {"BRP-1", [](const auto& f) { return std::to_string(f.setting.lBRPMinus1); }},
        {"Tq per bit", [](const auto& f) { return std::to_string(f.setting.segments.lTqCount); }},
        {"Time quantum",
         [sep](const auto& f) { return DurationText(1, f.dDiagramTqSeconds, sep); }},
        {"Propagation",
         [](const auto& f) { return std::to_string(f.setting.segments.lPropagation); }},
        {"Phase 1", [](const auto& f) { return std::to_string(f.setting.segments.lPhase1); }},
        {"Phase 2", [](const auto& f) { return std::to_string(f.lPhase2Effective); }},
        {"SJW", [](const auto& f) { return std::to_string(f.setting.segments.lSJW); }},
        {"Rate", [](const auto& f) { return f.rate.sActual; }},
        {"Rate error", [sep](const auto& f) { return RateErrorText(f.rate, sep); }},
        {"Sample point", [](const auto& f) { return f.sSamplePoint + " %"; }},
        {"Oscillator tolerance",
         [sep](const auto& f) { return OscToleranceText(f.analysis, sep) + " %"; }},
        {"Bus length", [sep](const auto& f) { return BusLengthText(f.analysis, sep); }},
        {"Microchip rules", [](const auto& f) { return f.Passes() ? "met" : "broken"; }},
        {RegisterNames(columns), [](const auto& f) { return RegisterHexes(f); }},
    };
    TextTable table;
    std::vector<std::string> heading{""};
    for (const Column& column : columns) {
        heading.push_back(column.first);
    }
    table.AddRow(heading);
    for (const auto& [label, cell] : rows) {
        std::vector<std::string> row{label};
        for (const Column& column : columns) {
            row.push_back(cell(column.second));
        }
        table.AddRow(row);
    }
    std::string text = table.Text();
    for (const Column& column : columns) {
        if (!column.second.Passes()) {
            text += column.first + ": " + std::string(column.second.sVerdict) + "\n";
        }
    }
    return text;
}

} // namespace

std::string KernelComparisonText(const KernelComparison& c, std::string_view sep) {
    const Controller& row = c.pController ? *c.pController : DefaultController();
    TextTable inputs;
    if (&row != &DefaultController()) {
        inputs.AddRow({"Controller", std::string(row.sTitle)});
    }
    inputs.AddRow({ClockLabel(row), OscillatorText(c.dOscFreqMHz, sep)});
    inputs.AddRow({"Target rate", TargetRateText(c.dTargetKbps, sep)});
    std::string text = inputs.Text() + "\n";
    if (c.inputProblem) {
        return text + *c.inputProblem + "\n";
    }
    const std::string samplePoint =
        c.samplePointTenths == 0
            ? std::string()
            : " sample-point " + FormatNumber(c.samplePointTenths / kTenthsPerWhole, "0.0##");
    text += "Kernel: what the Linux " + std::string(row.linux ? row.linux->sName : "mcp251x") +
            " driver (Linux 6.3 and later) runs with for\n"
            "\"ip link set can0 type can bitrate " +
            std::to_string(c.kernel.bitrate) + samplePoint + "\"" +
            (samplePoint.empty() ? " alone" : "") + ".\n";
    std::vector<Column> columns;
    if (c.kernel.setting) {
        columns.emplace_back("Kernel", DescribeBitTiming(*c.kernel.setting, sep, c.bus));
    } else {
        // The driver's refusal of the oscillator is a sentence; the kernel's words are quoted.
        text += c.kernel.clockHz == 0 ? "Kernel: none. " + c.kernel.sReason + "\n"
                                      : "Kernel: none; it says \"" + c.kernel.sReason + "\".\n";
    }
    if (c.proposed) {
        columns.emplace_back("Quillon proposal", DescribeBitTiming(*c.proposed, sep, c.bus));
    } else {
        text += "Quillon: no candidate hits the rate exactly.\n";
    }
    if (c.recommended) {
        columns.emplace_back("Quillon recommended", DescribeBitTiming(*c.recommended, sep, c.bus));
    }
    if (!columns.empty()) {
        text += "\n" + Table(columns, sep);
    }
    text += "\nDifferences\n";
    for (const std::string& sentence : c.differences) {
        text += Bullet(sentence);
    }
    return text;
}

} // namespace classic
} // namespace quillon
