#include "cli/common/CliHelp.h"

#include "cli/common/CliArguments.h"
#include "timing/common/Version.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace quillon::cli {
inline namespace common {

namespace {

// Labels are padded to these widths, and followed by two blanks, so that the
// descriptions line up.
constexpr std::size_t kCommandLabelWidth = 11;
constexpr std::size_t kOptionLabelWidth = 15;
constexpr std::string_view kGap = "  ";
// Where the usage line breaks a list of alternatives.
constexpr std::size_t kUsageWidth = 80;

constexpr std::string_view kSegmentHeading =
    "Segments default to the proposal for the Tq count; these override it:";
constexpr std::string_view kExportSegmentHeading =
    "Segments default to the recommendation for the Tq count; the segment counts and\n"
    "--larger-of change the proposal instead (with --recommend, the recommendation):";
constexpr std::string_view kSegmentPlaceholder = "[SEGMENT OPTIONS]";
constexpr std::string_view kBusHeading = "The bus as built, which the findings take into account:";
constexpr std::string_view kBusPlaceholder = "[BUS OPTIONS]";

constexpr std::string_view kGeneralLead =
    "Usage: {program} COMMAND [OPTIONS]\n"
    "The CAN bit timing calculator for Microchip CAN controllers, without a window.\n";
constexpr std::string_view kGeneralTail =
    "Numbers are written with a point as the decimal separator.\n"
    "\n"
    "Exit status: {ok} done; {refused} refused or failed: timing of a setting with an\n"
    "error among its findings (shown all the same), export of such a setting or of one\n"
    "its target refuses or changes (written all the same), report of a setting that\n"
    "breaks a timing rule, report files not written, show could not reach the\n"
    "calculator, decode found an error or a warning, an incompatible bus; {usage} bad\n"
    "arguments.\n";

// The two options of the program itself, which belong to no command.
constexpr std::pair<std::string_view, std::string_view> kProgramOptions[] = {
    {"--help", "this text; '{program} COMMAND --help' for a command"},
    {"--version", "the program version"},
};

// "  label  text", the label padded to `width`; each further line of `text` stands under
// the first.
std::string Row(std::string_view label, const std::string& text, std::size_t width) {
    const std::size_t labelWidth = std::max(width, label.size());
    const std::string indent(kGap.size() + labelWidth + kGap.size(), ' ');
    std::string row = std::string(kGap) + std::string(label) +
                      std::string(labelWidth - label.size(), ' ') + std::string(kGap);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        row += text.substr(start, end - start) + "\n" + indent;
    }
    return row + text.substr(start) + "\n";
}

std::string UsageLine(const CommandInfo& command) {
    const std::string lead =
        "Usage: " + std::string(kProgramName) + " " + CommandName(command.command) + " ";
    std::string text = lead;
    bool lineStarted = false;
    // A part that would run past the width starts a line of its own, under the first.
    const auto add = [&](const std::string& part) {
        const std::size_t lineStart =
            text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1;
        if (lineStarted && text.size() - lineStart + 1 + part.size() > kUsageWidth) {
            text += "\n" + std::string(lead.size(), ' ');
            lineStarted = false;
        }
        text += (lineStarted ? " " : "") + part;
        lineStarted = true;
    };
    // "(--pick K | --brp1 B --tq N)": a list entry or a combination.
    std::string choice;
    bool hasSegments = false;
    bool hasBus = false;
    std::vector<std::string> ownOptions;
    std::vector<std::string> sources;
    for (const OptionInfo* info : OptionsOf(command.command)) {
        switch (info->group) {
        case OptionGroup::Input:
            if ((info->optionalIn & MaskOf(command.command)) != 0) {
                ownOptions.push_back("[" + Synopsis(info->option) + "]");
            } else {
                add(Synopsis(info->option));
            }
            break;
        case OptionGroup::Source:
            sources.push_back(Synopsis(info->option));
            break;
        case OptionGroup::Selection:
            choice += (choice.empty()                 ? "("
                       : info->option == Option::Pick ? ""
                                                      : " ") +
                      Synopsis(info->option) + (info->option == Option::Pick ? " |" : "");
            break;
        case OptionGroup::Segment:
            hasSegments = true;
            break;
        case OptionGroup::Bus:
            hasBus = true;
            break;
        case OptionGroup::Own:
            ownOptions.push_back("[" + Synopsis(info->option) + "]");
            break;
        }
    }
    if (!choice.empty()) {
        add(choice + ")");
        // The choice of the candidate ends the first line; the rest stands under it.
        text += "\n" + std::string(lead.size(), ' ');
        lineStarted = false;
    }
    if (!sources.empty()) {
        // The alternatives run on over as many lines as they need; the rest stands under them.
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const std::string part =
                (i == 0 ? "(" : "") + sources[i] + (i + 1 == sources.size() ? ")" : " |");
            const std::size_t lineStart = text.rfind('\n') + 1;
            if (text.size() - lineStart + 1 + part.size() > kUsageWidth) {
                text += "\n" + std::string(lead.size(), ' ');
                lineStarted = false;
            }
            add(part);
        }
        text += "\n" + std::string(lead.size(), ' ');
        lineStarted = false;
    }
    if (hasSegments) {
        add(std::string(kSegmentPlaceholder));
    }
    for (const std::string& option : ownOptions) {
        add(option);
    }
    if (hasBus) {
        add(std::string(kBusPlaceholder));
    }
    return text + "\n";
}

// The commands of a group, or the commands without one.
std::string CommandRows(std::string_view group) {
    std::string text;
    for (const CommandInfo& command : Commands()) {
        if (command.group == group) {
            text += Row(command.name, Expand(command.summary), kCommandLabelWidth);
        }
    }
    return text;
}

// A group's help: its usage, what it is about and its commands.
std::string GroupHelp(const CommandInfo& group) {
    const std::string name(group.name);
    return "Usage: " + std::string(kProgramName) + " " + name + " COMMAND [OPTIONS]\n" +
           Expand(group.description) + "\n\nCommands:\n" + CommandRows(name) + "\n'" +
           std::string(kProgramName) + " " + name + " COMMAND --help' for a command.\n";
}

} // namespace

std::string GeneralHelp() {
    std::string text = Expand(kGeneralLead) + "\nCommands:\n" + CommandRows({});
    text += "\n";
    for (const auto& [name, description] : kProgramOptions) {
        text += Row(name, Expand(description), kCommandLabelWidth);
    }
    return text + "\n" + Expand(kGeneralTail);
}

std::string CommandHelp(Command command) {
    if (command == Command::Help || command == Command::Version) {
        return GeneralHelp();
    }
    const CommandInfo& info = InfoOf(command);
    if (IsGroup(command)) {
        return GroupHelp(info);
    }
    std::string text = UsageLine(info) + Expand(info.description) + "\n\n";
    std::optional<OptionGroup> previous;
    for (const OptionInfo* option : OptionsOf(command)) {
        if (option->group != previous && option->group == OptionGroup::Segment) {
            const bool exports = command == Command::Export || command == Command::FdExport;
            text += std::string(exports ? kExportSegmentHeading : kSegmentHeading) + "\n";
        }
        if (option->group != previous && option->group == OptionGroup::Bus) {
            text += std::string(kBusHeading) + "\n";
        }
        previous = option->group;
        text += Row(Synopsis(option->option), Expand(option->help, option), kOptionLabelWidth);
    }
    return text;
}

std::string VersionText() {
    return VersionNotice(kProgramName);
}

} // namespace common
} // namespace quillon::cli
