#pragma once
// The candidates and timing commands: the same search, proposal, rules, registers and
// texts as the calculator window, turned into a table for a person or one JSON document
// for a script. Nothing here prints or touches a file; each command returns its output
// and exit status, and the choice it computes is shared with the report command.
#include "cli/CliArguments.h"
#include "report/ReportValues.h"
#include "timing/Analysis.h"
#include "timing/CandidateSearch.h"
#include "timing/Registers.h"
#include "timing/Segments.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {

// Every number the tool writes uses the C locale's point, whatever the user's locale:
// scripts read the output.
inline constexpr std::string_view kDecimalSeparator = ".";

struct CommandOutput {
    int status = kExitOk;
    std::string out; // for stdout
    std::string err; // for stderr, each message one line
};

// The candidate the timing and report commands work on, and the segment settings.
struct TimingChoice {
    double oscFreqMHz = 0.0;
    double rateKbps = 0.0;
    // As the step-2 list shows it: the search's error sign for a list entry, the grid's
    // (target - actual) for a grid cell.
    TqCandidate candidate;
    int listEntry = 0; // 1-based entry of the chosen list, 0 for a grid cell
    int listSize = 0;  // entries in the chosen list
    SegmentSettings settings;
};

// The choice made by the request: the list entry or grid cell, the proposal for its Tq
// count and the options over it. Fails only for a --pick beyond the chosen list: then it
// gives nothing and sets `output` to the usage status and message.
std::optional<TimingChoice> ResolveChoice(const Request& request, CommandOutput& output);

// The report's inputs for a choice.
ReportInputs ReportInputsFor(const TimingChoice& choice);

// One segment length as the diagram labels it.
struct SegmentDuration {
    std::string name; // "sync", "propagation", "phase1", "phase2", "sjw", "bit"
    int tq = 0;
    double seconds = 0.0;
    std::string text; // e.g. "375.0 ns"
};

// What one bit tolerates, and the segments it was worked out for (phase 2 the effective
// one). The quantum length is the diagram's and the bit rate 1 / (N x Tq), the numbers the
// window's step 3 analyses, so both show the same figures.
struct AnalysisFacts {
    int propagation = 0;
    int phase1 = 0;
    int phase2 = 0;
    int sjw = 0;
    TimingAnalysis analysis;
};
AnalysisFacts AnalyseBit(double oscFreqMHz, int brpMinus1, int tqCount, int propagation, int phase1,
                         int phase2Effective, int sjw);
// The analysis of a candidate as step 3 first shows it: the proposal for its Tq count,
// SJW 1 and the programmed phase 2.
AnalysisFacts AnalyseProposal(double oscFreqMHz, const TqCandidate& candidate);

// Everything the timing command reports about a choice.
struct TimingFacts {
    TimingChoice choice;
    int phase2Effective = 0;
    double samplePointPercent = 0.0;
    std::string samplePointText; // "75.0"
    std::vector<SegmentDuration> durations;
    ReportDerived derived;    // the report's rate arithmetic
    ReportValues reportTexts; // the report's texts (without a date)
    TimingVerdict verdict = TimingVerdict::NoSelection;
    std::string verdictText;
    RegisterEncoding encoding;
    ConfigRegisterTexts registerTexts;
    int oscClocksPerBit = 0;
    std::optional<std::string> busIdleWarning;
    AnalysisFacts analysis;
};
TimingFacts ComputeTimingFacts(const TimingChoice& choice);

CommandOutput RunCandidates(const Request& request);
CommandOutput RunTiming(const Request& request);

// Runs the commands that need no Qt: help, version, candidates and timing, and the help of
// every command. Gives nothing for report and show, which draw and use the session bus.
std::optional<CommandOutput> RunPlainCommand(const Request& request);

} // namespace quillon::cli
