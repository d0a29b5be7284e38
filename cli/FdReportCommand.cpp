#include "cli/FdReportCommand.h"

#include "canvas/ImageCanvas.h"
#include "cli/ReportCommand.h"
#include "cli/fd/FdChoice.h"
#include "report/classic/ReportValues.h"
#include "report/fd/FdHtmlReport.h"

namespace quillon::cli {

CommandOutput RunFdReport(const Request& request) {
    CommandOutput output;
    const std::optional<FdChoice> choice = ResolveFdChoice(request, output);
    if (!choice) {
        return output;
    }
    const std::optional<std::filesystem::path> folder = ReportFolderOf(request, output);
    if (!folder) {
        return output;
    }
    const std::string command = CommandName(Command::FdReport);
    const FdFacts facts = DescribeFdTiming(choice->setting, kDecimalSeparator, request.bus);
    if (!facts.Passes()) {
        return Refusal(kExitRefused, command, facts.sVerdict);
    }
    if (!facts.registers) {
        return Refusal(kExitRefused, command, facts.sRegisterError);
    }
    const FdReportValues values =
        BuildFdReportValues(facts, ReportTimestampNow(), kDecimalSeparator);
    const ReportFileResult result = WriteFdReportFiles(*folder, values, BitmapSaver([&facts] {
        return RenderFdBitTimingImage(facts.setting, kDecimalSeparator);
    }));
    return FinishReport(request, *folder, kFdBitmapFileName, result, output);
}

} // namespace quillon::cli
