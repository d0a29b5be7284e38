#include "cli/classic/CandidatesCommand.h"

#include "cli/classic/SettingText.h"
#include "cli/classic/TimingChoice.h"
#include "report/classic/SettingJson.h"
#include "report/common/FindingTexts.h"
#include "report/common/TextTable.h"
#include "timing/classic/DisplayTexts.h"

namespace quillon::cli {
inline namespace classic {

namespace {

// A grid cell marked as a match in the text table.
constexpr const char* kMatchMark = "*";

// What step 3 first shows for a candidate: the proposal for its Tq count.
BitTimingFacts ProposalFacts(const Request& request, const TqCandidate& candidate) {
    return DescribeBitTiming(ProposedSetting(request.oscFreqMHz, request.rateKbps,
                                             candidate.lBRPMinus1, candidate.lTqCount,
                                             request.controller),
                             kDecimalSeparator, request.bus);
}

const TqCandidate& Cell(const std::vector<TqCandidate>& evaluated, int row, int column) {
    return evaluated.at(static_cast<std::size_t>(row * kTqCountCount + column));
}

void WriteGridJson(JsonWriter& json, const std::vector<TqCandidate>& evaluated) {
    json.Key("grid").BeginObject().Key("corner").String(kGridCornerText);
    json.Key("headings").BeginArray().String(kGridTqHeading);
    for (int tq = kMinTqCount; tq <= kMaxTqCount; ++tq) {
        json.String(GridTqCountHeading(tq));
    }
    json.EndArray();
    json.Key("rows").BeginArray();
    for (std::size_t row = 0; row < evaluated.size() / kTqCountCount; ++row) {
        const TqCandidate& first = Cell(evaluated, row, 0);
        json.BeginObject()
            .Key("brp_minus_1")
            .Integer(first.lBRPMinus1)
            .Key("label")
            .String(GridRowLabel(first.lBRPMinus1))
            .Key("tq_seconds")
            .Number(first.dTqSeconds)
            .Key("tq_text")
            .String(GridTqText(first.dTqSeconds, kDecimalSeparator));
        json.Key("cells").BeginArray();
        for (int column = 0; column < kTqCountCount; ++column) {
            const TqCandidate& cell = Cell(evaluated, row, column);
            json.BeginObject()
                .Key("tq_count")
                .Integer(cell.lTqCount)
                .Key("actual_bps")
                .Number(cell.dActualBaud)
                .Key("text")
                .String(GridRateText(cell.dActualBaud, kDecimalSeparator))
                .Key("matches")
                .Bool(cell.bMatches)
                .EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray().EndObject();
}

std::string GridTable(const std::vector<TqCandidate>& evaluated) {
    TextTable table;
    std::vector<std::string> headings{std::string(kGridCornerText), std::string(kGridTqHeading)};
    for (int tq = kMinTqCount; tq <= kMaxTqCount; ++tq) {
        headings.push_back(GridTqCountHeading(tq));
    }
    table.AddRow(headings);
    for (std::size_t row = 0; row < evaluated.size() / kTqCountCount; ++row) {
        const TqCandidate& first = Cell(evaluated, row, 0);
        std::vector<std::string> cells{GridRowLabel(first.lBRPMinus1),
                                       GridTqText(first.dTqSeconds, kDecimalSeparator)};
        for (int column = 0; column < kTqCountCount; ++column) {
            const TqCandidate& cell = Cell(evaluated, row, column);
            cells.push_back(GridRateText(cell.dActualBaud, kDecimalSeparator) +
                            (cell.bMatches ? kMatchMark : ""));
        }
        table.AddRow(cells);
    }
    return table.Text() + "(" + kMatchMark + " the combination hits the target rate)\n";
}

std::string CandidatesJson(const Request& request, const SearchResult& search) {
    JsonWriter json;
    json.BeginObject();
    WriteInputs(json, "candidates", request.oscFreqMHz, request.rateKbps);
    if (request.analyse) {
        WriteBusMember(json, request.bus);
    }
    json.Key("list_headings").BeginArray();
    for (const std::string_view heading : kListHeadings) {
        json.String(heading);
    }
    json.EndArray();
    json.Key("candidates").BeginArray();
    for (const TqCandidate& candidate : search.chosen.Items()) {
        if (request.analyse) {
            const BitTimingFacts proposal = ProposalFacts(request, candidate);
            WriteCandidate(json, candidate, &proposal);
        } else {
            WriteCandidate(json, candidate);
        }
    }
    json.EndArray();
    if (request.grid) {
        WriteGridJson(json, search.evaluated);
    }
    json.EndObject();
    return json.Text();
}

std::string ChosenListTable(const Request& request, const ChosenList& chosen) {
    TextTable list;
    std::vector<std::string> headings{"#"};
    headings.insert(headings.end(), kListHeadings.begin(), kListHeadings.end());
    if (request.analyse) {
        headings.insert(headings.end(), {"SP %", "Tol %"});
    }
    if (request.GivesBus()) {
        headings.push_back("Findings");
    }
    list.AddRow(headings);
    int entry = 0;
    for (const TqCandidate& candidate : chosen.Items()) {
        std::vector<std::string> row{std::to_string(++entry)};
        const CandidateListTexts texts = ListTexts(candidate, kDecimalSeparator);
        row.insert(row.end(), texts.begin(), texts.end());
        if (request.analyse) {
            const BitTimingFacts proposal = ProposalFacts(request, candidate);
            const TimingAnalysis& a = proposal.analysis;
            row.insert(row.end(), {SamplePointText(a.dSamplePointPercent, kDecimalSeparator),
                                   OscToleranceText(a, kDecimalSeparator)});
            if (request.GivesBus()) {
                row.push_back(FindingCounts(proposal.findings));
            }
        }
        list.AddRow(row);
    }
    std::string text = list.Text();
    if (request.analyse) {
        text += "(SP % and Tol %: sample point and oscillator tolerance with the "
                "proposed segments, SJW 1)\n";
    }
    if (request.GivesBus()) {
        text += kFindingCountsLegend;
    }
    return text;
}

} // namespace

CommandOutput RunCandidates(const Request& request) {
    CommandOutput output;
    const SearchResult search =
        SearchCandidates(request.oscFreqMHz, request.rateKbps, *request.controller);
    if (request.json) {
        output.out = CandidatesJson(request, search);
        return output;
    }
    output.out = InputsTable(request.oscFreqMHz, request.rateKbps, *request.controller) + "\n";
    if (search.chosen.Count() == 0) {
        output.out += "No combination hits the target rate: the chosen list is empty.\n";
    } else {
        output.out += "Chosen candidates (" + std::to_string(search.chosen.Count()) + "):\n\n";
        output.out += ChosenListTable(request, search.chosen);
    }
    if (request.grid) {
        output.out += "\n" + GridTable(search.evaluated);
    }
    return output;
}

} // namespace classic
} // namespace quillon::cli
