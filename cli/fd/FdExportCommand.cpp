// fd export: one choice in the form asked for; what the target would refuse or change and the
// errors among the setting's findings on the bus go to stderr and make the status 1, while the
// text is still written. Without segment options the segments are the recommended ones.
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
    if (!request.linuxTdcName.empty() && !FdExportComparesLinuxTdc(format)) {
        return Refusal(kExitUsage, InfoOf(Option::LinuxTdc).name,
                       "only ip-link-tq and networkd-tq compare the TDC with the Linux "
                       "driver's; " +
                           request.format + " does not");
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
    options.sSegmentsOrigin = SegmentsOriginText(choice->origin, choice->changed);
    options.linuxTdc = LinuxTdcOf(request);
    const FdFacts facts = DescribeFdTiming(choice->setting, kDecimalSeparator, request.bus);
    const FdExportText exported = ExportFdSetting(facts, format, options);
    output.out = exported.sText;
    for (const std::string& warning : exported.warnings) {
        output.err += Problem("warning", warning) + "\n";
    }
    for (const std::string& line : ErrorLinesNotSaid(facts.findings, exported.warnings)) {
        output.err += Problem(CommandName(Command::FdExport), line) + "\n";
    }
    if (!exported.warnings.empty() || HasError(facts.findings)) {
        output.status = kExitRefused;
    }
    return output;
}

} // namespace fd
} // namespace quillon::cli
