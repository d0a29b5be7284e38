// fd export: one choice in the form asked for; what the target would refuse or change goes
// to stderr and makes the status 1, while the text is still written.
#include "cli/fd/FdChoice.h"
#include "cli/fd/FdCommands.h"
#include "report/fd/FdExport.h"

namespace quillon::cli {
inline namespace fd {

CommandOutput RunFdExport(const Request& request) {
    CommandOutput output;
    const FdExportFormat format = *FindFdExportFormat(request.format);
    if (const std::optional<std::string> problem =
            FdExportRowProblem(format, FdInputs(request).controller)) {
        return Refusal(kExitUsage, InfoOf(Option::FdFormat).name, *problem);
    }
    const std::optional<FdChoice> choice = ResolveFdChoice(request, output);
    if (!choice) {
        return output;
    }
    FdExportOptions options;
    if (!request.interfaceName.empty()) {
        options.sInterface = request.interfaceName;
    }
    options.lInterruptPin = request.interruptPin.value_or(options.lInterruptPin);
    const FdExportText exported =
        ExportFdSetting(DescribeFdTiming(choice->setting, kDecimalSeparator), format, options);
    output.out = exported.sText;
    for (const std::string& warning : exported.warnings) {
        output.err += Problem("warning", warning) + "\n";
    }
    if (!exported.warnings.empty()) {
        output.status = kExitRefused;
    }
    return output;
}

} // namespace fd
} // namespace quillon::cli
