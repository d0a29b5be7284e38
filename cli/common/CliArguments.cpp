#include "cli/common/CliArguments.h"

#include "cli/common/BusArguments.h"
#include "cli/common/FdArguments.h"
#include "cli/common/NumberArguments.h"
#include "cli/common/RequestFields.h"

#include "timing/bus/BusNodeText.h"
#include "timing/common/RegisterReading.h"

#include <algorithm>
#include <cstdint>

namespace quillon::cli {
inline namespace common {

namespace {

bool IsHelp(std::string_view argument) {
    return argument == "--help" || argument == "-h";
}

bool StartsWith(std::string_view text, std::string_view lead) {
    return text.substr(0, lead.size()) == lead;
}

std::string TryHelp() {
    return "; try '" + std::string(kProgramName) + " --help'";
}

RegisterLayout LayoutOf(Option option) {
    return option == Option::Cicfg    ? RegisterLayout::Cicfg
           : option == Option::Brgcon ? RegisterLayout::Brgcon
                                      : RegisterLayout::Cnf;
}

// Checks an option's value (empty for a flag) and stores it; false with `error` set.
bool Store(const OptionInfo& info, std::string_view name, const std::string& text, Request& request,
           std::string& error) {
    const Field field = FieldOf(info.option, request);
    switch (info.kind) {
    case ValueKind::Flag:
        *std::get<bool*>(field) = true;
        return true;
    case ValueKind::PlainNumber: {
        const std::optional<double> value = ReadOptionNumber(info, name, text, error);
        *std::get<std::optional<double>*>(field) = value;
        return value.has_value();
    }
    case ValueKind::WholeNumber: {
        std::optional<int>& value = *std::get<std::optional<int>*>(field);
        value = ReadWholeNumber(info, name, text, error);
        return value.has_value();
    }
    case ValueKind::Folder:
    case ValueKind::FileName:
        if (text.empty()) {
            error = Problem(name, info.kind == ValueKind::Folder ? "the folder name is empty"
                                                                 : "the file name is empty");
            return false;
        }
        *std::get<std::string*>(field) = text;
        return true;
    case ValueKind::RegisterWord: {
        std::optional<std::uint32_t>& word = *std::get<std::optional<std::uint32_t>*>(field);
        std::string problem;
        word = ReadRegisterWord(text, UINT32_MAX, problem);
        if (!word) {
            error = Problem(name, problem);
        }
        return word.has_value();
    }
    case ValueKind::Text:
        *std::get<std::string*>(field) = text;
        return true;
    case ValueKind::Reading:
    case ValueKind::Decimal: {
        const std::optional<double> value = ReadOptionNumber(info, name, text, error);
        if (!value) {
            return false;
        }
        if (const std::optional<std::string> problem = info.check(*value)) {
            error = Problem(name, *problem);
            return false;
        }
        if (double* const* plain = std::get_if<double*>(&field)) {
            **plain = *value;
        } else {
            *std::get<std::optional<double>*>(field) = *value;
        }
        return true;
    }
    case ValueKind::Word:
        if (const std::optional<std::string> problem = info.wordCheck(text)) {
            error = Problem(name, *problem);
            return false;
        }
        *std::get<std::string*>(field) = text;
        return true;
    case ValueKind::RegisterList: {
        const RegisterLayout layout = LayoutOf(info.option);
        RegisterReading reading = ReadRegisterList(layout, text);
        if (!reading) {
            error = Problem(name, reading.sError);
            return false;
        }
        DecodeInput& input = *std::get<DecodeInput*>(field);
        input.layout = layout;
        input.values = std::move(reading.values);
        return true;
    }
    case ValueKind::BusNode: {
        std::vector<BusNode>& nodes = *std::get<std::vector<BusNode>*>(field);
        if (nodes.size() == static_cast<std::size_t>(info.max)) {
            error = Problem(name, Expand("a bus has at most {max} nodes", &info));
            return false;
        }
        BusNodeParse parsed = ParseBusNode(text);
        if (!parsed.node) {
            error = Problem(name, parsed.sError);
            return false;
        }
        for (const BusNode& node : nodes) {
            if (node.sName == parsed.node->sName) {
                error = Problem(name, "node '" + node.sName + "': the name is given twice");
                return false;
            }
        }
        nodes.push_back(std::move(*parsed.node));
        return true;
    }
    }
    return false;
}

// Exactly one of the sources, in the order the line gave them.
std::string CheckSource(const Request& request, const std::vector<const OptionInfo*>& sources) {
    std::vector<const OptionInfo*> given;
    for (const Option option : request.given) {
        for (const OptionInfo* info : sources) {
            if (info->option == option) {
                given.push_back(info);
            }
        }
    }
    if (given.size() > 1) {
        return Problem(given[1]->name, "cannot be combined with " + std::string(given[0]->name));
    }
    if (given.empty()) {
        std::string choices;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            choices += (i == 0                    ? ""
                        : i + 1 == sources.size() ? " or "
                                                  : ", ") +
                       Synopsis(sources[i]->option);
        }
        return Problem(InfoOf(request.command).name, "give what to decode: " + choices);
    }
    return {};
}

// The checks that need all options: the required ones, the choice of the candidate and
// the source to decode.
std::string CheckComplete(const Request& request, const std::vector<Option>& seen) {
    const auto given = [&seen](Option option) {
        return std::find(seen.begin(), seen.end(), option) != seen.end();
    };
    if (request.command == Command::Bus && request.busNodes.size() < kMinBusNodes) {
        const OptionInfo& node = InfoOf(Option::Node);
        return Problem(node.name, Expand("a bus needs at least {min} nodes", &node));
    }
    std::vector<const OptionInfo*> sources;
    // --pick, or every option that names a combination (--brp1 and --tq; for CAN FD
    // --nbrp, --ntq, --dbrp and --dtq).
    std::vector<Option> combination;
    for (const OptionInfo* info : OptionsOf(request.command)) {
        // The interface details name the clock, which gives the oscillator.
        const bool optional = (info->optionalIn & MaskOf(request.command)) != 0 ||
                              (info->option == Option::Osc &&
                               (given(Option::IpDetails) || given(Option::FdIpDetails)));
        if (info->group == OptionGroup::Input && !given(info->option) && !optional) {
            return Problem(info->name, "required (" + Expand(info->valueMeaning, info) + ")");
        }
        if (info->group == OptionGroup::Source) {
            sources.push_back(info);
        }
        if (info->group == OptionGroup::Selection && info->option != Option::Pick) {
            combination.push_back(info->option);
        }
    }
    if (!sources.empty()) {
        return CheckSource(request, sources);
    }
    if (combination.empty()) {
        return {};
    }
    std::vector<Option> givenPart;
    std::vector<Option> missingPart;
    std::string names;
    std::string synopses;
    for (std::size_t i = 0; i < combination.size(); ++i) {
        (given(combination[i]) ? givenPart : missingPart).push_back(combination[i]);
        names += (i == 0                        ? ""
                  : i + 1 == combination.size() ? " or "
                                                : ", ") +
                 std::string(InfoOf(combination[i]).name);
        synopses += " " + Synopsis(combination[i]);
    }
    const std::string_view pick = InfoOf(Option::Pick).name;
    if (given(Option::Pick) && !givenPart.empty()) {
        return Problem(pick, "cannot be combined with " + names);
    }
    if (!givenPart.empty() && !missingPart.empty()) {
        return Problem(InfoOf(missingPart.front()).name,
                       "required with " + std::string(InfoOf(givenPart.front()).name));
    }
    if (!given(Option::Pick) && givenPart.empty()) {
        return Problem(CommandName(request.command), "choose the candidate with " +
                                                         Synopsis(Option::Pick) + " or with" +
                                                         synopses);
    }
    return {};
}

// The controller's row, and the registers given for it; a register option of another
// layout than the controller's is refused.
std::string ResolveController(Request& request) {
    const bool fd = IsFdCommand(request.command);
    request.controller = request.controllerName.empty()
                             ? (fd ? &DefaultFdController() : &DefaultController())
                             : FindController(request.controllerName);
    if (fd) {
        return ResolveFdController(request);
    }
    const Controller& row = *request.controller;
    if (const std::optional<int> brp = request.selection.brpMinus1;
        brp && (*brp < row.limits.brpMinus1Min || *brp > row.limits.brpMinus1Max)) {
        return Problem(
            InfoOf(Option::Brp1).name,
            std::to_string(*brp) + " is outside " + std::to_string(row.limits.brpMinus1Min) +
                " to " + std::to_string(row.limits.brpMinus1Max) +
                (&row == &DefaultController() ? "" : " for the " + std::string(row.sName)));
    }
    if (request.command != Command::Decode) {
        return {};
    }
    DecodeInput& input = request.decode;
    if (request.Given(Option::Registers)) {
        const OptionInfo& info = InfoOf(Option::Registers);
        RegisterReading reading = ReadRegisterList(row.layout, request.registersText);
        if (!reading) {
            return Problem(info.name, reading.sError);
        }
        input.layout = row.layout;
        input.values = std::move(reading.values);
    } else if (input.layout && !request.controllerName.empty() && *input.layout != row.layout) {
        const Option given = *input.layout == RegisterLayout::Cicfg    ? Option::Cicfg
                             : *input.layout == RegisterLayout::Brgcon ? Option::Brgcon
                                                                       : Option::Cnf;
        return Problem(InfoOf(given).name, "the " + std::string(row.sName) + " is written in " +
                                               std::string(LayoutInfo(row.layout).names[0]) +
                                               (LayoutInfo(row.layout).count > 1 ? "..." : "") +
                                               "; give its registers with --registers");
    }
    return {};
}

} // namespace

bool Request::Given(Option option) const {
    return std::find(given.begin(), given.end(), option) != given.end();
}

std::string Problem(std::string_view argument, std::string_view what) {
    std::string text(kProgramName);
    text += ": ";
    text += argument;
    text += ": ";
    text += what;
    return text;
}

ParseResult ParseArguments(const std::vector<std::string>& args) {
    ParseResult result;
    if (args.empty()) {
        result.error = std::string(kProgramName) + ": no command given" + TryHelp();
        return result;
    }
    Request request;
    const std::string& first = args.front();
    if (IsHelp(first) || first == "help") {
        request.command = Command::Help;
        result.request = request;
        return result;
    }
    if (first == "--version") {
        request.command = Command::Version;
        result.request = request;
        return result;
    }
    const CommandInfo* command = FindCommand(first);
    if (command == nullptr) {
        result.error = Problem(first, StartsWith(first, "-") ? "unknown option" + TryHelp()
                                                             : "unknown command" + TryHelp());
        return result;
    }
    // A group word ("fd") is followed by one of its commands.
    std::size_t firstOption = 1;
    if (IsGroup(command->command) && args.size() > 1 && !IsHelp(args[1])) {
        const CommandInfo* own = FindCommand(args[1], command->name);
        if (own == nullptr) {
            result.error = Problem(args[1], "unknown " + std::string(command->name) +
                                                " command; try '" + std::string(kProgramName) +
                                                " " + std::string(command->name) + " --help'");
            return result;
        }
        command = own;
        firstOption = 2;
    } else if (IsGroup(command->command) && args.size() == 1) {
        result.error =
            Problem(command->name, "a command must follow; try '" + std::string(kProgramName) +
                                       " " + std::string(command->name) + " --help'");
        return result;
    }
    request.command = command->command;

    // Help wins over everything else on the line.
    if (std::any_of(args.begin() + 1, args.end(), IsHelp)) {
        request.help = true;
        result.request = request;
        return result;
    }

    const Controller* fdRow =
        IsFdCommand(request.command) ? FdRowOnLine(args, firstOption) : nullptr;
    std::vector<Option> seen;
    for (std::size_t i = firstOption; i < args.size(); ++i) {
        const std::string& argument = args[i];
        const std::size_t equals = argument.find('=');
        const bool hasInlineValue = StartsWith(argument, "--") && equals != std::string::npos;
        const std::string name = hasInlineValue ? argument.substr(0, equals) : argument;
        const OptionInfo* info = FindOption(name, request.command);
        if (info == nullptr || !Accepts(request.command, info->option)) {
            result.error = Problem(name, StartsWith(name, "-")
                                             ? "unknown option for " + CommandName(request.command)
                                             : std::string("unexpected argument"));
            return result;
        }
        if (info->kind != ValueKind::BusNode &&
            std::find(seen.begin(), seen.end(), info->option) != seen.end()) {
            result.error = Problem(name, "given more than once");
            return result;
        }
        seen.push_back(info->option);

        std::string value;
        if (info->kind == ValueKind::Flag) {
            if (hasInlineValue) {
                result.error = Problem(name, "takes no value");
                return result;
            }
        } else if (hasInlineValue) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < args.size() && !StartsWith(args[i + 1], "--")) {
            value = args[++i];
        } else {
            result.error =
                Problem(name, "missing value (" + Expand(info->valueMeaning, info) + ")");
            return result;
        }
        if (!Store(WithRowRange(*info, fdRow), name, value, request, result.error)) {
            return result;
        }
    }

    request.given = seen;
    result.error = CheckComplete(request, seen);
    if (result.error.empty()) {
        result.error = ResolveController(request);
    }
    if (result.error.empty()) {
        result.error = CheckClockAndRate(request);
    }
    if (result.error.empty()) {
        result.error = FinishBusAndGoal(request);
    }
    if (result.error.empty()) {
        result.request = request;
    }
    return result;
}

} // namespace common
} // namespace quillon::cli
