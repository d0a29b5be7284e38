#pragma once
// The command line of quillon-cli read into a request: which command, the two inputs (every
// number read strictly, NumberArguments.h), the candidate selection, the segment options and
// show's locked frequency. Parsing is pure and follows the option table (CliOptions.h): it only
// looks at the argument texts, so every check that needs no calculation (ranges, missing
// values, unknown options) happens here, before anything is computed or written.
#include "cli/common/CliOptions.h"
#include "timing/bus/Bus.h"
#include "timing/common/BusContext.h"
#include "timing/common/Controllers.h"
#include "timing/common/RecommendationGoal.h"
#include "timing/common/RegisterReading.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {
inline namespace common {

inline constexpr std::string_view kProgramName = "quillon-cli";

// Exit statuses: success, a refused or failed result, a bad command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// Exactly one way of choosing the candidate: an entry of the chosen list, or any grid
// cell by its BRP-1 value and Tq count.
struct Selection {
    std::optional<int> pick; // 1-based entry of the chosen list
    std::optional<int> brpMinus1;
    std::optional<int> tqCount;
};

// Options that override the proposal for the chosen Tq count.
struct SegmentOptions {
    std::optional<int> propagation;
    std::optional<int> phase1;
    std::optional<int> phase2;
    std::optional<int> sjw;
    bool sam = false;
    bool wakFil = false;
    bool largerOf = false;
    bool recommend = false; // start from the recommended segments, not the proposal
};

// decode: the registers or the Linux interface's details to decode, and the rate seen on
// the bus.
struct DecodeInput {
    std::optional<RegisterLayout> layout; // --cnf, --brgcon or --cicfg
    std::vector<unsigned> values;         // their values, read and checked, in register order
    std::string ipDetails;                // --ip-details: a file name, "-" for standard input
    double measuredKbps = 0.0;            // --measured-rate
};

// CAN FD: any nominal and data prescaler and Tq count instead of a list entry.
struct FdSelection {
    std::optional<int> nominalBrp;
    std::optional<int> nominalTqCount;
    std::optional<int> dataBrp;
    std::optional<int> dataTqCount;
};

// CAN FD: options that override the proposal of one phase.
struct FdPhaseOptions {
    std::optional<int> propagation;
    std::optional<int> phase1;
    std::optional<int> phase2;
    std::optional<int> sjw;
};

struct Request {
    Command command = Command::Help;
    // --controller: the row named, or the default of the command's kind once parsed (the
    // calculator's MCP2510/MCP251X; for CAN FD the MCP251xFD with the dsPIC33C's words).
    const Controller* controller = nullptr;
    std::string controllerName;
    // --registers as given; read with the controller's layout once every option is known.
    std::string registersText;
    // --help given to a command: print that command's help and nothing else.
    bool help = false;
    double oscFreqMHz = 0.0; // --osc, checked by the model's oscillator check
    double rateKbps = 0.0;   // --rate, checked by the model's rate check
    bool grid = false;
    bool json = false;
    // candidates: the sample point and tolerance of each candidate's proposed segments.
    bool analyse = false;
    Selection selection;
    SegmentOptions segments;
    std::string outDir = "."; // report: the folder the two files go to
    bool open = false;
    // show: the frequency to write into the oscillator box and lock, if any.
    std::optional<double> lockFrequencyMHz;
    // export: the form, the interface name (empty: the default) and the interrupt GPIO.
    std::string format;
    std::string interfaceName;
    std::optional<int> interruptPin;
    DecodeInput decode;
    // The options the line gave, in its order.
    std::vector<Option> given;

    bool Given(Option option) const;
    // bus: the nodes in the given order, and the page to write (empty for none).
    std::vector<BusNode> busNodes;
    std::string htmlFile;
    // The bus as built (--bus-length, --cable-delay, --loop-delay, --ppm, --transceiver), the
    // model's defaults for what is not given; --transceiver as given until it is read.
    BusContext bus;
    std::string transceiverName;
    // --sample-point and --data-sample-point, in percent.
    std::optional<double> samplePointPercent;
    std::optional<double> dataSamplePointPercent;
    // What --recommend (and export without segments) aims at: the bus and the sample points.
    RecommendationGoal Goal() const;
    // True when the line describes the bus (any of its options given).
    bool GivesBus() const;

    // CAN FD (rateKbps is the nominal rate, selection.pick a list entry).
    bool pll = false;
    double dataRateKbps = 0.0;
    FdSelection fdSelection;
    FdPhaseOptions nominal;
    FdPhaseOptions data;
    // fd decode: the register words.
    std::optional<std::uint32_t> nbtcfg;
    std::optional<std::uint32_t> dbtcfg;
    std::optional<std::uint32_t> tdc;
    // --linux-tdc as given ("old", "new"); empty: not given, the model's default.
    std::string linuxTdcName;
};

struct ParseResult {
    std::optional<Request> request;
    // One line naming the argument and what is wrong, e.g.
    // "quillon-cli: --prop: 9 is outside 1 to 8"; empty on success.
    std::string error;
};

// Reads the arguments after the program name.
ParseResult ParseArguments(const std::vector<std::string>& args);

// "quillon-cli: <argument>: <what>", the form of every error message.
std::string Problem(std::string_view argument, std::string_view what);

} // namespace common
} // namespace quillon::cli
