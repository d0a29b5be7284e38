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
    // The parser has checked the name.
    const ExportFormat format = FindExportFormat(request.format).value_or(ExportFormat::Json);
    const ExportResult result = ExportSetting(format, choice->setting, options, kDecimalSeparator);
    output.out = result.text;
    for (const std::string& warning : result.warnings) {
        output.err += Problem(InfoOf(Command::Export).name, warning) + "\n";
    }
    output.status = result.warnings.empty() ? kExitOk : kExitRefused;
    return output;
}

} // namespace classic
} // namespace quillon::cli
