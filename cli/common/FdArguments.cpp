// The CAN FD side of reading a command line: the row --controller names, the prescaler
// ranges of that row, --pll only where the row has one, and fd decode's words from
// --registers or from --nbtcfg, --dbtcfg and --tdc.
#include "cli/common/FdArguments.h"

#include "timing/fd/FdRegisters.h"

namespace quillon::cli {
inline namespace common {

namespace {

bool StartsWith(std::string_view text, std::string_view lead) {
    return text.substr(0, lead.size()) == lead;
}

} // namespace

// The CAN FD row named by --controller anywhere on the line, or nothing: the prescaler
// options are checked against its ranges as they are read.
const Controller* FdRowOnLine(const std::vector<std::string>& args, std::size_t first) {
    const std::string_view name = InfoOf(Option::FdController).name;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string_view argument = args[i];
        std::string_view value;
        if (argument == name && i + 1 < args.size()) {
            value = args[i + 1];
        } else if (StartsWith(argument, std::string(name) + "=")) {
            value = argument.substr(name.size() + 1);
        } else {
            continue;
        }
        const Controller* row = FindController(value);
        return row != nullptr && row->IsFd() ? row : nullptr;
    }
    return nullptr;
}

// --nbrp and --dbrp take the prescalers of the controller's phase.
OptionInfo WithRowRange(const OptionInfo& info, const Controller* row) {
    OptionInfo ranged = info;
    if (row != nullptr && (info.option == Option::NBrp || info.option == Option::DBrp)) {
        const FdPhaseLimits& limits =
            info.option == Option::NBrp ? row->nominalLimits : row->dataLimits;
        ranged.min = limits.brpMin;
        ranged.max = limits.brpMax;
    }
    return ranged;
}

// fd: --pll only where the row has one; fd decode: the words from --registers in the row's
// order, or from --nbtcfg, --dbtcfg and --tdc, never both, or the interface of --ip-details
// instead of any words.
std::string ResolveFdController(Request& request) {
    const Controller& row = *request.controller;
    if (request.pll && row.clock != ClockRule::Sysclk) {
        return Problem(InfoOf(Option::Pll).name,
                       "the " + std::string(row.sName) +
                           " has no PLL: --osc is its CAN clock as it is, so give that");
    }
    if (request.command != Command::FdDecode) {
        return {};
    }
    const Controller* named = request.controllerName.empty() ? nullptr : request.controller;
    const Option words[] = {Option::Nbtcfg, Option::Dbtcfg, Option::Tdc};
    if (request.Given(Option::FdIpDetails)) {
        const std::string_view details = InfoOf(Option::FdIpDetails).name;
        for (const Option word :
             {Option::FdRegisters, Option::Nbtcfg, Option::Dbtcfg, Option::Tdc}) {
            if (request.Given(word)) {
                return Problem(InfoOf(word).name, "cannot be combined with " +
                                                      std::string(details) +
                                                      "; give the words or the interface");
            }
        }
        if (request.pll) {
            return Problem(InfoOf(Option::Pll).name,
                           "not with " + std::string(details) +
                               ": the driver switches the PLL on by itself for an oscillator of "
                               "4 MHz or less, so give --osc alone");
        }
        return {};
    }
    if (request.Given(Option::FdRegisters)) {
        const std::string_view registers = InfoOf(Option::FdRegisters).name;
        for (const Option word : words) {
            if (request.Given(word)) {
                return Problem(registers, "cannot be combined with " +
                                              std::string(InfoOf(word).name) +
                                              "; give the words either way, not both");
            }
        }
        std::string error;
        const std::optional<std::vector<std::uint32_t>> read =
            ReadFdWordList(request.registersText, named, error);
        if (!read) {
            return Problem(registers, error);
        }
        request.nbtcfg = (*read)[0];
        request.dbtcfg = (*read)[1];
        if (read->size() > 2) {
            request.tdc = (*read)[2];
        }
        return {};
    }
    if (named != nullptr && named->fdLayout == FdRegisterLayout::Mcan) {
        for (const Option word : words) {
            if (request.Given(word)) {
                return Problem(InfoOf(word).name,
                               "the " + std::string(named->sName) +
                                   " is written in NBTP, DBTP and TDCR; give them with "
                                   "--registers");
            }
        }
    }
    for (const Option word : {Option::Nbtcfg, Option::Dbtcfg}) {
        if (!request.Given(word)) {
            const OptionInfo& info = InfoOf(word);
            return Problem(info.name, "required (" + Expand(info.valueMeaning, &info) + ")");
        }
    }
    return {};
}

} // namespace common
} // namespace quillon::cli
