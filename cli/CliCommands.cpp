#include "cli/CliCommands.h"

#include "cli/JsonWriter.h"
#include "cli/TextTable.h"
#include "timing/DisplayTexts.h"
#include "timing/NumberFormat.h"

#include <cmath>
#include <cstdint>

namespace quillon::cli {

namespace {

// The sync segment is always one time quantum.
constexpr int kSyncTq = 1;

// A grid cell marked as a match in the text table.
constexpr const char* kMatchMark = "*";

// The round trip of the analysis, in engineering notation like the diagram's durations.
constexpr std::string_view kRoundTripPattern = "0.0##";
constexpr std::string_view kRoundTripUnit = "s";

std::string ToleranceText(const TimingAnalysis& a) {
    return OscToleranceText(a, kDecimalSeparator);
}

std::string PercentText(double percent) {
    return SamplePointText(percent, kDecimalSeparator);
}

// "62.5 % (earlier than the 87.5 % recommended)"
std::string SamplePointAdviceText(const TimingAnalysis& a) {
    return PercentText(a.dSamplePointPercent) + " % (" + std::string(SamplePointComparison(a)) +
           " the " + PercentText(a.dRecommendedSamplePointPercent) + " % recommended)";
}

void WriteAnalysis(JsonWriter& json, const AnalysisFacts& facts, bool withSegments) {
    const TimingAnalysis& a = facts.analysis;
    json.Key("analysis")
        .BeginObject()
        .Key("osc_tolerance")
        .Number(a.dOscTolerance)
        .Key("osc_tolerance_percent")
        .Number(a.dOscTolerance * 100.0)
        .Key("round_trip_seconds")
        .Number(a.dRoundTripSeconds)
        .Key("bus_length_metres");
    if (a.dRoundTripSeconds > 0) {
        json.Number(a.dBusLengthMetres);
    } else {
        json.Null();
    }
    json.Key("sample_point_percent")
        .Number(a.dSamplePointPercent)
        .Key("recommended_sample_point_percent")
        .Number(a.dRecommendedSamplePointPercent)
        .Key("sample_point_comparison")
        .String(SamplePointComparison(a));
    if (withSegments) {
        json.Key("segments")
            .BeginObject()
            .Key("propagation")
            .Integer(facts.propagation)
            .Key("phase1")
            .Integer(facts.phase1)
            .Key("phase2")
            .Integer(facts.phase2)
            .Key("sjw")
            .Integer(facts.sjw)
            .EndObject();
    }
    json.EndObject();
}

const char* Phase2ModeName(Phase2Mode mode) {
    return mode == Phase2Mode::Programmed ? "programmed" : "larger-of";
}

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

// A candidate's object; with `analysis`, the analysis of its proposed segments inside it.
void WriteCandidate(JsonWriter& json, const TqCandidate& candidate,
                    const AnalysisFacts* analysis = nullptr) {
    const CandidateListTexts texts = ListTexts(candidate, kDecimalSeparator);
    json.BeginObject()
        .Key("tq_count")
        .Integer(candidate.lTqCount)
        .Key("brp_minus_1")
        .Integer(candidate.lBRPMinus1)
        .Key("tq_seconds")
        .Number(candidate.dTqSeconds)
        .Key("actual_bps")
        .Number(candidate.dActualBaud)
        .Key("osc_clocks")
        .Integer(candidate.lOscClocks)
        .Key("error_percent")
        .Number(candidate.dErrorPercent)
        .Key("matches")
        .Bool(candidate.bMatches)
        .Key("texts")
        .BeginObject()
        .Key("tq")
        .String(texts[0])
        .Key("brp_minus_1")
        .String(texts[1])
        .Key("osc1_clks")
        .String(texts[2])
        .Key("err")
        .String(texts[3])
        .EndObject();
    if (analysis != nullptr) {
        WriteAnalysis(json, *analysis, true);
    }
    json.EndObject();
}

void WriteInputs(JsonWriter& json, const char* command, double oscFreqMHz, double rateKbps) {
    json.Key("command")
        .String(command)
        .Key("oscillator_mhz")
        .Number(oscFreqMHz)
        .Key("rate_kbps")
        .Number(rateKbps)
        .Key("rate_bps")
        .Number(rateKbps * 1000)
        .Key("oscillator_text")
        .String(OscillatorText(oscFreqMHz, kDecimalSeparator))
        .Key("rate_text")
        .String(TargetRateText(rateKbps, kDecimalSeparator));
}

void WriteGridJson(JsonWriter& json, const std::vector<TqCandidate>& evaluated) {
    json.Key("grid").BeginObject().Key("corner").String(kGridCornerText);
    json.Key("headings").BeginArray().String(kGridTqHeading);
    for (int tq = kMinTqCount; tq <= kMaxTqCount; ++tq) {
        json.String(GridTqCountHeading(tq));
    }
    json.EndArray();
    json.Key("rows").BeginArray();
    for (int row = 0; row < kBRPValueCount; ++row) {
        const TqCandidate& first = evaluated.at(static_cast<std::size_t>(row * kTqCountCount));
        json.BeginObject()
            .Key("brp_minus_1")
            .Integer(first.lBRPMinus1)
            .Key("label")
            .String(GridRowLabel(first.lBRPMinus1))
            .Key("tq_seconds")
            .Number(first.dTqSeconds)
            .Key("tq_text")
            .String(GridTqText(first.dTqSeconds, kDecimalSeparator));
        json.Key("cells").BeginArray();
        for (int column = 0; column < kTqCountCount; ++column) {
            const TqCandidate& cell =
                evaluated.at(static_cast<std::size_t>(row * kTqCountCount + column));
            json.BeginObject()
                .Key("tq_count")
                .Integer(cell.lTqCount)
                .Key("actual_bps")
                .Number(cell.dActualBaud)
                .Key("text")
                .String(GridRateText(cell.dActualBaud, kDecimalSeparator))
                .Key("matches")
                .Bool(cell.bMatches)
                .EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray().EndObject();
}

std::string GridTable(const std::vector<TqCandidate>& evaluated) {
    TextTable table;
    std::vector<std::string> headings{std::string(kGridCornerText), std::string(kGridTqHeading)};
    for (int tq = kMinTqCount; tq <= kMaxTqCount; ++tq) {
        headings.push_back(GridTqCountHeading(tq));
    }
    table.AddRow(headings);
    for (int row = 0; row < kBRPValueCount; ++row) {
        const TqCandidate& first = evaluated.at(static_cast<std::size_t>(row * kTqCountCount));
        std::vector<std::string> cells{GridRowLabel(first.lBRPMinus1),
                                       GridTqText(first.dTqSeconds, kDecimalSeparator)};
        for (int column = 0; column < kTqCountCount; ++column) {
            const TqCandidate& cell =
                evaluated.at(static_cast<std::size_t>(row * kTqCountCount + column));
            cells.push_back(GridRateText(cell.dActualBaud, kDecimalSeparator) +
                            (cell.bMatches ? kMatchMark : ""));
        }
        table.AddRow(cells);
    }
    return table.Text() + "(" + kMatchMark + " the combination hits the target rate)\n";
}

ChosenList SearchChosenList(double oscFreqMHz, double rateKbps,
                            std::vector<TqCandidate>* evaluatedOut = nullptr) {
    std::vector<TqCandidate> evaluated = EvaluateAllCandidates(oscFreqMHz, rateKbps * 1000);
    ChosenList chosen;
    chosen.Refill(evaluated);
    if (evaluatedOut != nullptr) {
        *evaluatedOut = std::move(evaluated);
    }
    return chosen;
}

std::string InputsHeader(double oscFreqMHz, double rateKbps) {
    TextTable table;
    table.AddRow({"Oscillator", OscillatorText(oscFreqMHz, kDecimalSeparator)});
    table.AddRow({"Target rate", TargetRateText(rateKbps, kDecimalSeparator)});
    return table.Text();
}

} // namespace

std::optional<TimingChoice> ResolveChoice(const Request& request, CommandOutput& output) {
    TimingChoice choice;
    choice.oscFreqMHz = request.oscFreqMHz;
    choice.rateKbps = request.rateKbps;
    const Selection& selection = request.selection;
    const ChosenList chosen = SearchChosenList(request.oscFreqMHz, request.rateKbps);
    choice.listSize = chosen.Count();
    if (selection.pick) {
        if (*selection.pick > chosen.Count()) {
            output.status = kExitUsage;
            output.err = Problem("--pick", std::to_string(*selection.pick) +
                                               " is beyond the chosen list, which has " +
                                               std::to_string(chosen.Count()) +
                                               (chosen.Count() == 1 ? " entry" : " entries")) +
                         "\n";
            return std::nullopt;
        }
        choice.listEntry = *selection.pick;
        choice.candidate = chosen.Items().at(static_cast<std::size_t>(*selection.pick - 1));
    } else {
        // A double-click on the grid: any combination, with the grid's error sign.
        choice.candidate =
            MakeTqCandidate(request.oscFreqMHz, request.rateKbps * 1000, *selection.brpMinus1,
                            *selection.tqCount, ErrorSignRule::Grid);
    }

    // Selecting a Tq count starts from the proposal with SJW 1, both flags off and the
    // programmed phase 2; the options then change the controls one by one.
    SegmentSettings& settings = choice.settings;
    const SegmentProposal proposal = ProposeSegments(choice.candidate.lTqCount);
    const SegmentOptions& options = request.segments;
    settings.lTqCount = choice.candidate.lTqCount;
    settings.lPropagation = options.propagation.value_or(proposal.lPropagation);
    settings.lPhase1 = options.phase1.value_or(proposal.lPhase1);
    settings.lPhase2 = options.phase2.value_or(proposal.lPhase2);
    settings.lSJW = options.sjw.value_or(kMinSJW);
    settings.bSam = options.sam;
    settings.bWakFil = options.wakFil;
    settings.mode = options.largerOf ? Phase2Mode::LargerOf : Phase2Mode::Programmed;
    return choice;
}

AnalysisFacts AnalyseBit(double oscFreqMHz, int brpMinus1, int tqCount, int propagation, int phase1,
                         int phase2Effective, int sjw) {
    return AnalysisFacts{propagation, phase1, phase2Effective, sjw,
                         AnalyseCandidateBit(oscFreqMHz, brpMinus1, tqCount, propagation, phase1,
                                             phase2Effective, sjw)};
}

AnalysisFacts AnalyseProposal(double oscFreqMHz, const TqCandidate& candidate) {
    const SegmentProposal proposal = ProposeSegments(candidate.lTqCount);
    return AnalyseBit(oscFreqMHz, candidate.lBRPMinus1, candidate.lTqCount, proposal.lPropagation,
                      proposal.lPhase1, proposal.lPhase2, kMinSJW);
}

ReportInputs ReportInputsFor(const TimingChoice& choice) {
    ReportInputs inputs;
    inputs.dOscFreqMHz = choice.oscFreqMHz;
    inputs.dTargetKbps = choice.rateKbps;
    inputs.lBRPMinus1 = choice.candidate.lBRPMinus1;
    inputs.lTqCount = choice.settings.lTqCount;
    inputs.segments = choice.settings;
    return inputs;
}

TimingFacts ComputeTimingFacts(const TimingChoice& choice) {
    TimingFacts facts;
    facts.choice = choice;
    const SegmentSettings& s = choice.settings;
    const int brpMinus1 = choice.candidate.lBRPMinus1;
    facts.phase2Effective = Phase2Length(s);
    facts.samplePointPercent = SamplePointPercent(s);
    facts.samplePointText = SamplePointText(facts.samplePointPercent, kDecimalSeparator);

    // The diagram's quantum and duration texts, so the durations read exactly like the
    // diagram's labels.
    const double dTq = DiagramTqSeconds(brpMinus1, choice.oscFreqMHz);
    const auto duration = [dTq](const char* name, int tq) {
        return SegmentDuration{name, tq, tq * dTq, DurationText(tq, dTq, kDecimalSeparator)};
    };
    facts.durations = {duration("sync", kSyncTq),     duration("propagation", s.lPropagation),
                       duration("phase1", s.lPhase1), duration("phase2", facts.phase2Effective),
                       duration("sjw", s.lSJW),       duration("bit", s.lTqCount)};

    facts.verdict = CheckTimingRules(true, s);
    facts.verdictText = std::string(VerdictText(facts.verdict));
    facts.encoding = EncodeConfigRegisters(brpMinus1, s);
    if (facts.encoding) {
        facts.registerTexts = MakeConfigRegisterTexts(*facts.encoding.registers);
    }

    const ReportInputs inputs = ReportInputsFor(choice);
    facts.derived = ComputeReportDerived(inputs);
    facts.reportTexts = BuildReportValues(inputs, facts.registerTexts, "", kDecimalSeparator);

    facts.oscClocksPerBit = OscClocksPerBit(brpMinus1, s.lTqCount);
    facts.busIdleWarning = BusIdleErrataMessage(brpMinus1, s.lTqCount);
    facts.analysis = AnalyseBit(choice.oscFreqMHz, brpMinus1, s.lTqCount, s.lPropagation, s.lPhase1,
                                facts.phase2Effective, s.lSJW);
    return facts;
}

CommandOutput RunCandidates(const Request& request) {
    CommandOutput output;
    std::vector<TqCandidate> evaluated;
    const ChosenList chosen = SearchChosenList(request.oscFreqMHz, request.rateKbps, &evaluated);

    if (request.json) {
        JsonWriter json;
        json.BeginObject();
        WriteInputs(json, "candidates", request.oscFreqMHz, request.rateKbps);
        json.Key("list_headings").BeginArray();
        for (const std::string_view heading : kListHeadings) {
            json.String(heading);
        }
        json.EndArray();
        json.Key("candidates").BeginArray();
        for (const TqCandidate& candidate : chosen.Items()) {
            std::optional<AnalysisFacts> analysis;
            if (request.analyse) {
                analysis = AnalyseProposal(request.oscFreqMHz, candidate);
            }
            WriteCandidate(json, candidate, analysis ? &*analysis : nullptr);
        }
        json.EndArray();
        if (request.grid) {
            WriteGridJson(json, evaluated);
        }
        json.EndObject();
        output.out = json.Text();
        return output;
    }

    output.out = InputsHeader(request.oscFreqMHz, request.rateKbps) + "\n";
    if (chosen.Count() == 0) {
        output.out += "No combination hits the target rate: the chosen list is empty.\n";
    } else {
        output.out += "Chosen candidates (" + std::to_string(chosen.Count()) + "):\n\n";
        TextTable list;
        std::vector<std::string> headings{"#"};
        headings.insert(headings.end(), kListHeadings.begin(), kListHeadings.end());
        if (request.analyse) {
            headings.insert(headings.end(), {"SP %", "Tol %"});
        }
        list.AddRow(headings);
        int entry = 0;
        for (const TqCandidate& candidate : chosen.Items()) {
            std::vector<std::string> row{std::to_string(++entry)};
            const CandidateListTexts texts = ListTexts(candidate, kDecimalSeparator);
            row.insert(row.end(), texts.begin(), texts.end());
            if (request.analyse) {
                const TimingAnalysis a = AnalyseProposal(request.oscFreqMHz, candidate).analysis;
                row.insert(row.end(), {PercentText(a.dSamplePointPercent), ToleranceText(a)});
            }
            list.AddRow(row);
        }
        output.out += list.Text();
        if (request.analyse) {
            output.out += "(SP % and Tol %: sample point and oscillator tolerance with the "
                          "proposed segments, SJW 1)\n";
        }
    }
    if (request.grid) {
        output.out += "\n" + GridTable(evaluated);
    }
    return output;
}

namespace {

std::string TimingText(const TimingFacts& facts) {
    const TimingChoice& choice = facts.choice;
    const SegmentSettings& s = choice.settings;
    const CandidateListTexts listTexts = ListTexts(choice.candidate, kDecimalSeparator);
    std::string text = InputsHeader(choice.oscFreqMHz, choice.rateKbps);

    TextTable candidate;
    const std::string source = choice.listEntry > 0
                                   ? "list entry " + std::to_string(choice.listEntry) + " of " +
                                         std::to_string(choice.listSize)
                                   : std::string("grid cell");
    candidate.AddRow({"Candidate", source});
    candidate.AddRow({"", "Tq " + listTexts[0] + ", BRP-1 " + listTexts[1] + ", osc1 clks " +
                              listTexts[2] + ", %Err " + listTexts[3]});
    candidate.AddRow({"Time quantum", facts.reportTexts.sTq});
    candidate.AddRow({"Rate error", facts.reportTexts.sError});
    text += candidate.Text() + "\n";

    TextTable segments;
    segments.AddRow({"Segment", "Tq", "Duration"});
    for (const SegmentDuration& d : facts.durations) {
        segments.AddRow({d.name, std::to_string(d.tq), d.text});
    }
    text += segments.Text();
    if (s.mode == Phase2Mode::LargerOf) {
        text += "(phase2 is the larger of phase 1 and the IPT of 2 Tq; --phase2 " +
                std::to_string(s.lPhase2) + " is not used)\n";
    }
    text += "\n";

    TextTable options;
    options.AddRow({"Multiple sampling", OnOff(s.bSam)});
    options.AddRow({"Wake-up filter", OnOff(s.bWakFil)});
    options.AddRow({"Phase 2 mode", Phase2ModeName(s.mode)});
    options.AddRow({"Effective phase 2", std::to_string(facts.phase2Effective)});
    options.AddRow({"Sample point", facts.samplePointText + " %"});
    options.AddRow({"Verdict", facts.verdictText});
    text += options.Text() + "\n";

    const TimingAnalysis& a = facts.analysis.analysis;
    // Indented under its heading, so its sample point row reads apart from the one above.
    TextTable analysis;
    analysis.AddRow({"  Oscillator tolerance", ToleranceText(a) + " %"});
    analysis.AddRow(
        {"  Round trip (P x Tq)", FormatEngineering(a.dRoundTripSeconds, kRoundTripPattern,
                                                    kRoundTripUnit, false, kDecimalSeparator)});
    analysis.AddRow({"  Bus length", BusLengthText(a, kDecimalSeparator)});
    analysis.AddRow({"  Sample point", SamplePointAdviceText(a)});
    text += "Analysis\n";
    text += analysis.Text() + "\n";

    if (facts.encoding) {
        const ConfigRegisterTexts& r = facts.registerTexts;
        TextTable registers;
        registers.AddRow({"Register", "Binary", "Hex"});
        registers.AddRow({"CNF1/BRGCON1", r.sCNF1Bin, r.sCNF1Hex});
        registers.AddRow({"CNF2/BRGCON2", r.sCNF2Bin, r.sCNF2Hex});
        registers.AddRow({"CNF3/BRGCON3", r.sCNF3Bin, r.sCNF3Hex});
        registers.AddRow({"CICFG1", r.sCICFG1Bin, r.sCICFG1Hex});
        registers.AddRow({"CICFG2", r.sCICFG2Bin, r.sCICFG2Hex});
        text += registers.Text();
    } else {
        text += "Registers: " + facts.encoding.sError + "\n";
    }
    if (facts.busIdleWarning) {
        text +=
            "\nWarning: " + std::string(kBusIdleErrataTitle) + "\n" + *facts.busIdleWarning + "\n";
    }
    return text;
}

void WriteRegister(JsonWriter& json, const char* name, std::uint16_t value,
                   const std::string& binary, const std::string& hex) {
    json.Key(name)
        .BeginObject()
        .Key("value")
        .Integer(value)
        .Key("binary")
        .String(binary)
        .Key("hex")
        .String(hex)
        .EndObject();
}

std::string TimingJson(const TimingFacts& facts) {
    const TimingChoice& choice = facts.choice;
    const SegmentSettings& s = choice.settings;
    JsonWriter json;
    json.BeginObject();
    WriteInputs(json, "timing", choice.oscFreqMHz, choice.rateKbps);

    json.Key("selection").BeginObject();
    json.Key("source").String(choice.listEntry > 0 ? "list" : "grid");
    if (choice.listEntry > 0) {
        json.Key("pick").Integer(choice.listEntry);
    } else {
        json.Key("pick").Null();
    }
    json.Key("list_size").Integer(choice.listSize).EndObject();
    json.Key("candidate");
    WriteCandidate(json, choice.candidate);

    json.Key("segments")
        .BeginObject()
        .Key("tq_count")
        .Integer(s.lTqCount)
        .Key("sync")
        .Integer(kSyncTq)
        .Key("propagation")
        .Integer(s.lPropagation)
        .Key("phase1")
        .Integer(s.lPhase1)
        .Key("phase2")
        .Integer(s.lPhase2)
        .Key("phase2_effective")
        .Integer(facts.phase2Effective)
        .Key("sjw")
        .Integer(s.lSJW)
        .Key("sam")
        .Bool(s.bSam)
        .Key("wakfil")
        .Bool(s.bWakFil)
        .Key("phase2_mode")
        .String(Phase2ModeName(s.mode))
        .EndObject();

    json.Key("sample_point_percent")
        .Number(facts.samplePointPercent)
        .Key("sample_point_text")
        .String(facts.samplePointText);

    json.Key("durations").BeginObject();
    for (const SegmentDuration& d : facts.durations) {
        json.Key(d.name)
            .BeginObject()
            .Key("tq")
            .Integer(d.tq)
            .Key("seconds")
            .Number(d.seconds)
            .Key("text")
            .String(d.text)
            .EndObject();
    }
    json.EndObject();

    json.Key("rate")
        .BeginObject()
        .Key("target_bps")
        .Number(facts.derived.dTargetBaud)
        .Key("tq_seconds")
        .Number(facts.derived.dTqSeconds)
        .Key("tq_text")
        .String(facts.reportTexts.sTq)
        .Key("actual_bps")
        .Number(facts.derived.dActualBaud)
        .Key("error_percent")
        .Number(facts.derived.dErrorPercent)
        .Key("error_text")
        .String(facts.reportTexts.sError)
        .EndObject();

    json.Key("verdict")
        .BeginObject()
        .Key("pass")
        .Bool(facts.verdict == TimingVerdict::Pass)
        .Key("text")
        .String(facts.verdictText)
        .EndObject();

    WriteAnalysis(json, facts.analysis, false);

    json.Key("registers");
    if (facts.encoding) {
        const ConfigRegisters& r = *facts.encoding.registers;
        const ConfigRegisterTexts& t = facts.registerTexts;
        json.BeginObject();
        WriteRegister(json, "CNF1", r.CNF1, t.sCNF1Bin, t.sCNF1Hex);
        WriteRegister(json, "CNF2", r.CNF2, t.sCNF2Bin, t.sCNF2Hex);
        WriteRegister(json, "CNF3", r.CNF3, t.sCNF3Bin, t.sCNF3Hex);
        WriteRegister(json, "CICFG1", r.CICFG1(), t.sCICFG1Bin, t.sCICFG1Hex);
        WriteRegister(json, "CICFG2", r.CICFG2(), t.sCICFG2Bin, t.sCICFG2Hex);
        json.EndObject();
    } else {
        json.Null();
    }

    json.Key("osc1_clocks_per_bit").Integer(facts.oscClocksPerBit);
    json.Key("bus_idle_warning");
    if (facts.busIdleWarning) {
        json.BeginObject()
            .Key("title")
            .String(kBusIdleErrataTitle)
            .Key("text")
            .String(*facts.busIdleWarning)
            .EndObject();
    } else {
        json.Null();
    }
    json.EndObject();
    return json.Text();
}

} // namespace

CommandOutput RunTiming(const Request& request) {
    CommandOutput output;
    const std::optional<TimingChoice> choice = ResolveChoice(request, output);
    if (!choice) {
        return output;
    }
    const TimingFacts facts = ComputeTimingFacts(*choice);
    output.out = request.json ? TimingJson(facts) : TimingText(facts);
    return output;
}

std::optional<CommandOutput> RunPlainCommand(const Request& request) {
    if (request.help) {
        return CommandOutput{kExitOk, CommandHelp(request.command), {}};
    }
    switch (request.command) {
    case Command::Help:
        return CommandOutput{kExitOk, GeneralHelp(), {}};
    case Command::Version:
        return CommandOutput{kExitOk, VersionText(), {}};
    case Command::Candidates:
        return RunCandidates(request);
    case Command::Timing:
        return RunTiming(request);
    case Command::Report:
    case Command::Show:
        break;
    }
    return std::nullopt;
}

} // namespace quillon::cli
