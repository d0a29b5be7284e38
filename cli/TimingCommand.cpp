#include "cli/TimingCommand.h"

#include "cli/SettingText.h"
#include "cli/TimingChoice.h"
#include "report/SettingJson.h"

namespace quillon::cli {

namespace {

std::string TimingJson(const TimingChoice& choice, const BitTimingFacts& facts) {
    const BitTimingSetting& setting = facts.setting;
    JsonWriter json;
    json.BeginObject();
    WriteInputs(json, "timing", setting.dOscFreqMHz, setting.dTargetKbps);
    json.Key("selection").BeginObject();
    json.Key("source").String(choice.listEntry > 0 ? "list" : "grid");
    if (choice.listEntry > 0) {
        json.Key("pick").Integer(choice.listEntry);
    } else {
        json.Key("pick").Null();
    }
    json.Key("list_size").Integer(choice.listSize).EndObject();
    WriteSettingMembers(json, choice.candidate, facts);
    json.EndObject();
    return json.Text();
}

std::string TimingText(const TimingChoice& choice, const BitTimingFacts& facts) {
    const std::string source = choice.listEntry > 0
                                   ? "list entry " + std::to_string(choice.listEntry) + " of " +
                                         std::to_string(choice.listSize)
                                   : std::string("grid cell");
    return InputsTable(facts.setting.dOscFreqMHz, facts.setting.dTargetKbps) +
           SettingText(source, choice.candidate, facts);
}

} // namespace

CommandOutput RunTiming(const Request& request) {
    CommandOutput output;
    const std::optional<TimingChoice> choice = ResolveChoice(request, output);
    if (!choice) {
        return output;
    }
    const BitTimingFacts facts = DescribeBitTiming(choice->setting, kDecimalSeparator);
    output.out = request.json ? TimingJson(*choice, facts) : TimingText(*choice, facts);
    return output;
}

} // namespace quillon::cli
