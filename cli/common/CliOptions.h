#pragma once
// The commands and options of quillon-cli, one table entry each: the name, which commands
// take it, what kind of value follows and its range, and the words the help and the
// refusals use for it. The parser checks against these entries and the help is written
// from them; the ranges are the model's constants, named once here, so the help, the
// refusals and the model always agree.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {
inline namespace common {

enum class Command {
    Candidates,
    Timing,
    Report,
    Show,
    Decode,
    Help,
    Version,
    Kernel,
    Export,
    Bus,
    Controllers,
    // CAN FD: the group word "fd" and its commands.
    Fd,
    FdCandidates,
    FdTiming,
    FdKernel,
    FdDecode,
    FdExport,
    FdReport,
};

enum class Option {
    Controller,
    FdController,
    Registers,
    FdRegisters,
    Osc,
    Rate,
    Cnf,
    Brgcon,
    Cicfg,
    IpDetails,
    FdIpDetails,
    MeasuredRate,
    Pick,
    Brp1,
    Tq,
    Prop,
    Phase1,
    Phase2,
    Sjw,
    Sam,
    WakFil,
    LargerOf,
    Recommend,
    Grid,
    Analyse,
    Json,
    Out,
    Open,
    LockFrequency,
    Format,
    Interface,
    Interrupt,
    Node,
    Html,
    // CAN FD
    Pll,
    FdRate,
    DataRate,
    NBrp,
    NTq,
    DBrp,
    DTq,
    NProp,
    NPhase1,
    NPhase2,
    NSjw,
    DProp,
    DPhase1,
    DPhase2,
    DSjw,
    Nbtcfg,
    Dbtcfg,
    Tdc,
    FdFormat,
    // The bus as built, and the sample points a recommendation aims at.
    BusLength,
    CableDelay,
    LoopDelay,
    Ppm,
    Transceiver,
    SamplePoint,
    DataSamplePoint,
    KernelSamplePoint,
    // The kernel whose CAN FD driver writes the TDC.
    LinuxTdc,
};

// What follows the option's name.
enum class ValueKind {
    Flag,         // nothing
    Reading,      // a number (NumberArguments.h), then checked by `check` against `min`..`max`
    PlainNumber,  // a number, not checked further
    WholeNumber,  // a whole number from `min` to `max`
    Folder,       // the name of a folder
    Word,         // a text checked by `wordCheck`
    RegisterList, // a register set, as timing/common/RegisterReading.h reads one
    FileName,     // the name of a file, "-" for standard input
    BusNode,      // a bus node written on one line; may be given several times
    RegisterWord, // a register word, 0 to 0xFFFFFFFF, in hexadecimal (0x...) or decimal
    Text,         // a text read once every option is known (--registers after --controller)
    Decimal,      // a number, then checked by `check`; `min` and `max` only for the help
};

// Where an option stands in a command's usage line and help.
enum class OptionGroup {
    Input,     // required by every command that takes it, but those in `optionalIn`
    Selection, // chooses the candidate: --pick, or --brp1 with --tq
    Segment,   // overrides the proposal for the chosen Tq count
    Own,       // optional, the command's own
    Source,    // what decode reads: exactly one of them
    Bus,       // the bus as built, which the findings take into account
};

using CommandMask = unsigned;
constexpr CommandMask MaskOf(Command command) {
    return 1U << static_cast<unsigned>(command);
}

// Texts may hold placeholders that Expand fills in: {min} and {max} (the range), {metavar},
// {alias}, {value} (the value given, in refusals), the model's {ipt}, {tq_min}, {tq_max},
// {match} (how near a crystal's rate must come to a measured one, in percent), {brp_values},
// {tq_counts}, {list_headings}, {page} and {bitmap}, the export {formats} and the defaults
// {interface} and {pin}, the bus's defaults {ppm}, {cable_delay} and {loop_delay} and its
// {transceivers}, the {program} name and the exit statuses {ok}, {refused} and {usage}.
struct OptionInfo {
    Option option;
    std::string_view name;
    std::string_view alias; // another spelling, or empty
    CommandMask commands;
    OptionGroup group;
    ValueKind kind;
    std::string_view metavar;      // the value's name in the usage line and help
    std::string_view valueMeaning; // said when the value is missing or the option required
    double min = 0.0;
    double max = 0.0;
    // Reading and Decimal: the model's sentence about a value it cannot use, or nothing.
    std::optional<std::string> (*check)(double) = nullptr;
    std::string_view help; // the help's description, lines separated by '\n'
    // WholeNumber: the refusal of a value outside the range; empty for "{value} is outside
    // {min} to {max}".
    std::string_view outOfRange = {};
    // Word: the refusal of a text, or nothing when it may be used.
    std::optional<std::string> (*wordCheck)(std::string_view) = nullptr;
    // Input: the commands that take the option without requiring it.
    CommandMask optionalIn = 0;
};

struct CommandInfo {
    Command command;
    std::string_view name;
    std::string_view summary;     // its line in the general help
    std::string_view description; // the paragraph under the usage line of its help
    // The word before the name for the commands of a group ("fd"), empty for the others.
    std::string_view group = {};
};

// "none, 2M or 5M": the classes --transceiver takes.
std::string TransceiverNames();

// The entry of an option by either spelling; nullptr for a name that is none. Two entries
// may share a name for different commands: the one `command` takes comes first.
const OptionInfo* FindOption(std::string_view name);
const OptionInfo* FindOption(std::string_view name, Command command);
const OptionInfo& InfoOf(Option option);
bool Accepts(Command command, Option option);
// The options `command` takes, in the order its help lists them.
std::vector<const OptionInfo*> OptionsOf(Command command);

// True for the commands of the "fd" group.
bool IsFdCommand(Command command);

// The commands with a name (candidates, timing, decode, report, show, kernel, export, bus,
// fd and fd's own) in the order the help lists them. FindCommand gives nullptr for a name
// that is none; InfoOf is only for the named commands. A group word ("fd") is a command
// whose own commands name it as their group.
const std::vector<CommandInfo>& Commands();
const CommandInfo* FindCommand(std::string_view name, std::string_view group = {});
const CommandInfo& InfoOf(Command command);
bool IsGroup(Command command);
// "timing", "fd timing": the command as the user types it.
std::string CommandName(Command command);

// "--pick K" or "--sam", as the usage line writes an option.
std::string Synopsis(Option option);
// `text` with its placeholders filled in for `info` (which may be null for the texts that
// belong to no option) and the value given.
std::string Expand(std::string_view text, const OptionInfo* info = nullptr,
                   std::string_view value = {});

} // namespace common
} // namespace quillon::cli
