#include "cli/classic/TimingCommand.h"

#include "cli/classic/SettingText.h"
#include "cli/classic/TimingChoice.h"
#include "report/classic/SettingJson.h"

namespace quillon::cli {
inline namespace classic {

namespace {

std::string TimingText(const TimingChoice& choice, const BitTimingFacts& facts) {
    std::string source = choice.listEntry > 0 ? "list entry " + std::to_string(choice.listEntry) +
                                                    " of " + std::to_string(choice.listSize)
                                              : std::string("grid cell");
    if (choice.origin != SegmentsOrigin::Proposed) {
        source += ", " + SegmentsOriginText(choice.origin, choice.changed);
    }
    return InputsTable(facts.setting.dOscFreqMHz, facts.setting.dTargetKbps, facts.setting.Row()) +
           SettingText(source, choice.candidate, facts);
}

} // namespace

CommandOutput RunTiming(const Request& request) {
    CommandOutput output;
    const std::optional<TimingChoice> choice = ResolveChoice(request, output);
    if (!choice) {
        return output;
    }
    const BitTimingFacts facts = DescribeBitTiming(choice->setting, kDecimalSeparator, request.bus);
    output.out =
        request.json ? TimingDocument(choice->Selection(), facts) : TimingText(*choice, facts);
    // Shown all the same; the status tells a script the setting will not work on this bus.
    output.status = HasError(facts.findings) ? kExitRefused : kExitOk;
    return output;
}

} // namespace classic
} // namespace quillon::cli
