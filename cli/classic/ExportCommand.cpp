#include "cli/classic/ExportCommand.h"

#include "cli/classic/TimingChoice.h"
#include "report/classic/Export.h"

namespace quillon::cli {
inline namespace classic {

CommandOutput RunExport(const Request& request) {
    CommandOutput output;
    const std::optional<TimingChoice> choice = ResolveChoice(request, output);
    if (!choice) {
        return output;
    }
    ExportOptions options;
    if (!request.interfaceName.empty()) {
        options.interfaceName = request.interfaceName;
    }
    options.interruptPin = request.interruptPin.value_or(kDefaultInterruptPin);
    options.selection = choice->Selection();
    options.bus = request.bus;
    options.segmentsOrigin = SegmentsOriginText(choice->origin, choice->changed);
    // The parser has checked the name.
    const ExportFormat format = FindExportFormat(request.format).value_or(ExportFormat::Json);
    const ExportResult result = ExportSetting(format, choice->setting, options, kDecimalSeparator);
    output.out = result.text;
    const std::string_view command = InfoOf(Command::Export).name;
    for (const std::string& warning : result.warnings) {
        output.err += Problem(command, warning) + "\n";
    }
    // An error among the setting's findings on this bus: the text is written all the same.
    const BitTimingFacts facts = DescribeBitTiming(choice->setting, kDecimalSeparator, request.bus);
    for (const std::string& line : ErrorLinesNotSaid(facts.findings, result.warnings)) {
        output.err += Problem(command, line) + "\n";
    }
    output.status = result.warnings.empty() && !HasError(facts.findings) ? kExitOk : kExitRefused;
    return output;
}

} // namespace classic
} // namespace quillon::cli
