// The placeholders of the help and refusal texts: the option table writes "{max}" or
// "{formats}" and the value comes from the constant that decides it, so a limit changed in
// the model changes the help with it.
#include "cli/common/CliArguments.h"
#include "cli/common/CliOptions.h"

#include "report/classic/Export.h"
#include "report/classic/HtmlReport.h"
#include "report/common/ReportFiles.h"
#include "report/fd/FdExport.h"
#include "report/fd/FdHtmlReport.h"
#include "timing/classic/CandidateSearch.h"
#include "timing/classic/CrystalCheck.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/classic/Segments.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>
#include <utility>

namespace quillon::cli {
inline namespace common {

namespace {

// One line a form: its name and what it gives.
std::string FdFormatList() {
    std::string text;
    for (const FdExportFormatInfo& format : FdExportFormats()) {
        const std::string name(format.name);
        text += "\n  " + name + std::string(13 - std::min<std::size_t>(12, name.size()), ' ') +
                std::string(format.summary);
    }
    return text;
}

std::string ListHeadings() {
    std::string text;
    for (const std::string_view heading : kListHeadings) {
        text += (text.empty() ? "" : ", ") + std::string(heading);
    }
    return text;
}

std::optional<std::string> PlaceholderValue(std::string_view key, const OptionInfo* info,
                                            std::string_view value) {
    if (info != nullptr) {
        if (key == "min") {
            return FormatGeneralNumber(info->min);
        }
        if (key == "max") {
            return FormatGeneralNumber(info->max);
        }
        if (key == "metavar") {
            return std::string(info->metavar);
        }
        if (key == "alias") {
            return std::string(info->alias);
        }
        if (key == "value") {
            return std::string(value);
        }
    }
    const std::pair<std::string_view, std::string> fixed[] = {
        {"program", std::string(kProgramName)},
        {"families", ControllerNames(ControllerKind::Classic)},
        {"fd_families", ControllerNames(ControllerKind::Fd)},
        {"default_controller", std::string(DefaultController().sName)},
        {"ppm", FormatGeneralNumber(kDefaultCrystalPpm)},
        {"cable_delay", FormatGeneralNumber(kDefaultCableDelayNsPerMetre)},
        {"loop_delay", FormatGeneralNumber(kDefaultLoopDelayNs)},
        {"transceivers", TransceiverNames()},
        {"ipt", std::to_string(kIptTq)},
        {"match", FormatGeneralNumber(kCrystalMatchPercent)},
        {"tq_min", std::to_string(kMinTqCount)},
        {"grid_brp_max", std::to_string(kMaxBRPMinus1)},
        {"tq_max", std::to_string(kMaxTqCount)},
        {"brp_values", std::to_string(kBRPValueCount)},
        {"tq_counts", std::to_string(kTqCountCount)},
        {"list_headings", ListHeadings()},
        {"page", kReportFileName},
        {"bitmap", kBitmapFileName},
        {"fd_page", kFdReportFileName},
        {"fd_bitmap", kFdBitmapFileName},
        {"fd_formats", FdExportFormatNames()},
        {"fd_format_list", FdFormatList()},
        {"ok", std::to_string(kExitOk)},
        {"refused", std::to_string(kExitRefused)},
        {"usage", std::to_string(kExitUsage)},
        {"formats", ExportFormatNames()},
        {"interface", std::string(kDefaultInterfaceName)},
        {"pin", std::to_string(kDefaultInterruptPin)},
    };
    for (const auto& [name, text] : fixed) {
        if (name == key) {
            return text;
        }
    }
    return std::nullopt;
}
} // namespace

std::string Expand(std::string_view text, const OptionInfo* info, std::string_view value) {
    std::string expanded;
    std::size_t start = 0;
    for (std::size_t open; (open = text.find('{', start)) != std::string_view::npos;) {
        const std::size_t close = text.find('}', open);
        if (close == std::string_view::npos) {
            break;
        }
        expanded += text.substr(start, open - start);
        const std::optional<std::string> filled =
            PlaceholderValue(text.substr(open + 1, close - open - 1), info, value);
        // A brace that names no placeholder is kept as written.
        expanded += filled ? *filled : std::string(text.substr(open, close - open + 1));
        start = close + 1;
    }
    return expanded + std::string(text.substr(start));
}

} // namespace common
} // namespace quillon::cli
