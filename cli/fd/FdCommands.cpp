// fd candidates and fd timing: the candidate list with the proposal of each, and the facts
// of one choice.
#include "cli/fd/FdCommands.h"

#include "cli/fd/FdChoice.h"
#include "cli/fd/FdText.h"
#include "report/common/FindingTexts.h"
#include "report/fd/FdSettingJson.h"

namespace quillon::cli {
inline namespace fd {

namespace {

void WriteProposal(JsonWriter& json, const FdFacts& p) {
    json.Key("proposal").BeginObject();
    json.Key("nominal_sample_point_percent").Number(p.nominal.dSamplePointPercent);
    json.Key("data_sample_point_percent").Number(p.data.dSamplePointPercent);
    json.Key("osc_tolerance_percent").Number(p.tolerance.dTolerance * 100.0);
    json.Key("limiting_condition").Integer(p.tolerance.lLimiting);
    WriteFindingsMember(json, p.findings);
    json.EndObject();
}

} // namespace

CommandOutput RunFdCandidates(const Request& request) {
    const std::vector<FdCandidate> found = SearchFdFor(request);
    // The facts of each candidate's proposal on the bus as built.
    std::vector<FdFacts> proposals;
    for (const FdCandidate& candidate : found) {
        proposals.push_back(DescribeFdTiming(ProposedFdSetting(FdInputs(request), candidate),
                                             kDecimalSeparator, request.bus));
    }
    CommandOutput output;
    if (!request.json) {
        output.out = FdInputsTable(FdInputs(request)) + "\n" +
                     FdCandidatesTable(found, request.GivesBus(), proposals);
        return output;
    }
    JsonWriter json;
    json.BeginObject();
    WriteFdInputs(json, "fd candidates", FdInputs(request));
    WriteBusMember(json, request.bus);
    json.Key("candidates").BeginArray();
    for (std::size_t i = 0; i < found.size(); ++i) {
        json.BeginObject().Key("candidate");
        WriteFdCandidate(json, found[i]);
        WriteProposal(json, proposals[i]);
        json.EndObject();
    }
    json.EndArray().EndObject();
    output.out = json.Text();
    return output;
}

CommandOutput RunFdTiming(const Request& request) {
    CommandOutput output;
    const std::optional<FdChoice> choice = ResolveFdChoice(request, output);
    if (!choice) {
        return output;
    }
    const FdFacts facts = DescribeFdTiming(choice->setting, kDecimalSeparator, request.bus);
    // Shown all the same; the status tells a script the setting will not work on this bus.
    output.status = HasError(facts.findings) ? kExitRefused : kExitOk;
    if (!request.json) {
        const std::string source =
            (choice->listEntry > 0 ? "list entry " + std::to_string(choice->listEntry) + " of " +
                                         std::to_string(choice->listSize)
                                   : std::string("combination")) +
            ": " + FdCandidateText(choice->candidate) + ", " +
            SegmentsOriginText(choice->origin, choice->changed);
        output.out = FdInputsTable(facts.setting) + "\n" + FdSettingText(source, facts);
        return output;
    }
    JsonWriter json;
    json.BeginObject();
    WriteFdInputs(json, "fd timing", facts.setting);
    json.Key("selection").BeginObject();
    json.Key("source").String(choice->listEntry > 0 ? "list" : "combination");
    json.Key("pick");
    if (choice->listEntry > 0) {
        json.Integer(choice->listEntry);
    } else {
        json.Null();
    }
    json.Key("list_size").Integer(choice->listSize).EndObject();
    json.Key("candidate");
    WriteFdCandidate(json, choice->candidate);
    WriteFdSettingMembers(json, facts);
    json.EndObject();
    output.out = json.Text();
    return output;
}

} // namespace fd
} // namespace quillon::cli
