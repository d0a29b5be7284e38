// Google Benchmark runs of the pure code behind each step: the 64 x 18 candidate search,
// the engineering formatter (alone and for every text of the step-2 grid), the segment
// proposal and timing rules, the register encoding, the facts of a setting, and the report
// values and page.
// Where a result can go wrong in a way that would make the timing meaningless (no
// candidates, no registers, an empty page), the benchmark checks it and reports an error
// instead of a figure.
#include "report/classic/HtmlReport.h"
#include "report/classic/ReportValues.h"
#include "timing/bus/BusNodeText.h"
#include "timing/classic/BitTiming.h"
#include "timing/classic/CandidateSearch.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/classic/Registers.h"
#include "timing/classic/Segments.h"
#include "timing/common/NumberFormat.h"
#include "timing/common/NumberReading.h"
#include "timing/fd/FdSearch.h"
#include "timing/fd/FdSetting.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace quillon;

// The example every benchmark uses: 16 MHz, 500 kbit/s, the first match (BRP-1 0, 16 Tq)
// with the proposed segments.
constexpr double kOscMHz = 16;
constexpr double kRateKbps = 500;
constexpr int kBRPMinus1 = 0;
constexpr int kTqCount = 16;
const char* const kDate = "3:07:09 pm 12/04/2026";

BitTimingSetting ExampleSetting() {
    return ProposedSetting(kOscMHz, kRateKbps, kBRPMinus1, kTqCount);
}

SegmentSettings ExampleSegments() {
    return ExampleSetting().segments;
}

void BM_CandidateSearch(benchmark::State& state) {
    const std::vector<TqCandidate> check = EvaluateAllCandidates(kOscMHz, kRateKbps * 1000);
    if (check.size() != static_cast<std::size_t>(kBRPValueCount * kTqCountCount)) {
        state.SkipWithError("the search did not return 64 x 18 candidates");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(EvaluateAllCandidates(kOscMHz, kRateKbps * 1000));
    }
}
BENCHMARK(BM_CandidateSearch);

// The floor of the search: the same 64 x 18 rates worked out and compared with the target,
// with nothing kept and no text.
void BM_FloorRates(benchmark::State& state) {
    for (auto _ : state) {
        int matches = 0;
        for (int brp = 1; brp <= kBRPValueCount; ++brp) {
            for (int tq = kMinTqCount; tq <= kMaxTqCount; ++tq) {
                const double dRate = kOscMHz * 1e6 / (2.0 * brp * tq);
                matches += std::fabs(dRate - kRateKbps * 1000) < 0.5 ? 1 : 0;
            }
        }
        benchmark::DoNotOptimize(matches);
    }
}
BENCHMARK(BM_FloorRates);

// The search and what step 2 shows of it without formatting the grid: every rate and
// match, and the list's four texts for each match.
void BM_SearchAndListTexts(benchmark::State& state) {
    std::size_t matches = 0;
    for (const TqCandidate& candidate : EvaluateAllCandidates(kOscMHz, kRateKbps * 1000)) {
        matches += candidate.bMatches ? 1 : 0;
    }
    if (matches == 0) {
        state.SkipWithError("the search found no match");
        return;
    }
    for (auto _ : state) {
        const std::vector<TqCandidate> evaluated = EvaluateAllCandidates(kOscMHz, kRateKbps * 1000);
        std::size_t length = 0;
        for (const TqCandidate& candidate : evaluated) {
            if (candidate.bMatches) {
                for (const std::string& sText : ListTexts(candidate, ".")) {
                    length += sText.size();
                }
            }
        }
        benchmark::DoNotOptimize(length);
    }
    state.SetLabel(std::to_string(matches) + " matches");
}
BENCHMARK(BM_SearchAndListTexts);

// One quantum length and one rate, the two kinds of text the grid shows.
void BM_FormatEngineering(benchmark::State& state) {
    const bool bRate = state.range(0) == 1;
    const double dValue = bRate ? 500000.0 : 125e-9;
    const char* const sUnit = bRate ? "b" : "S";
    if (FormatEngineering(dValue, "0.000", sUnit, false).empty()) {
        state.SkipWithError("FormatEngineering returned no text");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatEngineering(dValue, "0.000", sUnit, false));
    }
    state.SetLabel(bRate ? "rate 500000 b" : "time 125e-9 S");
}
BENCHMARK(BM_FormatEngineering)->Arg(0)->Arg(1);

// The search and every text step 2 writes into the grid: 64 quantum lengths and
// 64 x 18 rates.
void BM_GridTexts(benchmark::State& state) {
    for (auto _ : state) {
        const std::vector<TqCandidate> evaluated = EvaluateAllCandidates(kOscMHz, kRateKbps * 1000);
        std::size_t length = 0;
        for (std::size_t i = 0; i < evaluated.size(); ++i) {
            if (i % kTqCountCount == 0) {
                length += FormatEngineering(evaluated[i].dTqSeconds, "0.000", "S", false).size();
            }
            length += FormatEngineering(evaluated[i].dActualBaud, "0.000", "b", false).size();
        }
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * (kBRPValueCount + kBRPValueCount * kTqCountCount));
}
BENCHMARK(BM_GridTexts);

// Proposal, effective phase 2, rules and sample point for every Tq count 8..25.
void BM_SegmentProposalAndRules(benchmark::State& state) {
    for (auto _ : state) {
        int passes = 0;
        for (int n = kMinTqCount; n <= kMaxTqCount; ++n) {
            const SegmentProposal proposal = ProposeSegments(n);
            SegmentSettings s;
            s.lTqCount = n;
            s.lPropagation = proposal.lPropagation;
            s.lPhase1 = proposal.lPhase1;
            s.lPhase2 = proposal.lPhase2;
            benchmark::DoNotOptimize(Phase2Length(s));
            benchmark::DoNotOptimize(SamplePointPercent(s));
            passes += CheckTimingRules(true, s) == TimingVerdict::Pass ? 1 : 0;
        }
        benchmark::DoNotOptimize(passes);
    }
    state.SetItemsProcessed(state.iterations() * kTqCountCount);
}
BENCHMARK(BM_SegmentProposalAndRules);

// CNF1..CNF3, their ten binary and hexadecimal texts, and the bus idle check.
void BM_RegisterEncoding(benchmark::State& state) {
    const SegmentSettings s = ExampleSegments();
    if (!EncodeConfigRegisters(kBRPMinus1, s)) {
        state.SkipWithError("the example settings do not encode");
        return;
    }
    for (auto _ : state) {
        const RegisterEncoding encoding = EncodeConfigRegisters(kBRPMinus1, s);
        benchmark::DoNotOptimize(MakeConfigRegisterTexts(*encoding.registers));
        benchmark::DoNotOptimize(BusIdleErrataMessage(kBRPMinus1, kTqCount));
    }
}
BENCHMARK(BM_RegisterEncoding);

// Every fact of the example setting (durations, rate, verdict, registers, analysis), as
// each redraw of step 3 and each report work them out.
void BM_DescribeBitTiming(benchmark::State& state) {
    const BitTimingSetting setting = ExampleSetting();
    if (!DescribeBitTiming(setting).Passes()) {
        state.SkipWithError("the example setting does not pass the timing rules");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(DescribeBitTiming(setting));
    }
}
BENCHMARK(BM_DescribeBitTiming);

// The 22 report texts from the facts, as "Generate Report..." builds them (the time stamp
// is formatted separately below).
void BM_BuildReportValues(benchmark::State& state) {
    const BitTimingFacts facts = DescribeBitTiming(ExampleSetting());
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildReportValues(facts, kDate));
    }
}
BENCHMARK(BM_BuildReportValues);

void BM_FormatReportDate(benchmark::State& state) {
    std::tm time{};
    time.tm_year = 126;
    time.tm_mon = 11;
    time.tm_mday = 4;
    time.tm_hour = 15;
    time.tm_min = 7;
    time.tm_sec = 9;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatReportDate(time));
    }
}
BENCHMARK(BM_FormatReportDate);

// The whole page written into memory instead of a file.
void BM_WriteHtmlReportToMemory(benchmark::State& state) {
    const ReportValues values = BuildReportValues(DescribeBitTiming(ExampleSetting()), kDate);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::ostringstream page;
        WriteHtmlReport(page, values);
        bytes = page.str().size();
        benchmark::DoNotOptimize(bytes);
    }
    if (bytes == 0) {
        state.SkipWithError("the page is empty");
        return;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_WriteHtmlReportToMemory);

// The two step-1 boxes read as numbers.
void BM_ReadLeadingNumber(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadLeadingNumber("16"));
        benchmark::DoNotOptimize(ReadLeadingNumber("500"));
    }
}
BENCHMARK(BM_ReadLeadingNumber);

// A bus whose free nodes are chosen together: the best of every setting of all of them.
// Its floor (state.range(0) == 1) checks the same bus with every node fixed at the setting
// the choice gave it: the check alone, without choosing.
std::vector<BusNode> ExampleBus(const std::vector<const char*>& texts) {
    std::vector<BusNode> nodes;
    for (const char* text : texts) {
        nodes.push_back(*ParseBusNode(text).node);
    }
    return nodes;
}

std::vector<BusNode> FixedAsChosen(std::vector<BusNode> nodes, const BusVerdict& verdict) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const std::optional<BitTimingFacts>& facts = verdict.nodes[i].facts;
        if (facts) {
            nodes[i].source = NodeSource::Segments;
            nodes[i].lBRPMinus1 = facts->setting.lBRPMinus1;
            nodes[i].segments = facts->setting.segments;
        }
    }
    return nodes;
}

void RunBus(benchmark::State& state, const std::vector<const char*>& texts,
            const BusContext& context) {
    std::vector<BusNode> nodes = ExampleBus(texts);
    const BusVerdict verdict = CheckBus(kRateKbps, nodes, context);
    if (!verdict.bCompatible) {
        state.SkipWithError("the example bus is not compatible");
        return;
    }
    if (state.range(0) == 1) {
        nodes = FixedAsChosen(nodes, verdict);
        if (!CheckBus(kRateKbps, nodes, context).bCompatible) {
            state.SkipWithError("the bus fixed at its chosen settings is not compatible");
            return;
        }
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(CheckBus(kRateKbps, nodes, context));
    }
    state.SetLabel(state.range(0) == 1 ? "floor: every node fixed as chosen" : "free nodes chosen");
}

// Five nodes, four of them free. Budget: 100 ms.
void BM_BusFourFreeNodes(benchmark::State& state) {
    RunBus(state,
           {"pi=mcp251x@16:kernel", "a=pic18@40", "b=dspic33f@40", "c=mcp251x@8", "d=pic24h@20"},
           {});
}
BENCHMARK(BM_BusFourFreeNodes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Nine nodes on 30 m of cable, eight of them free, two of those set through Linux.
// Budget: 1 s.
void BM_BusEightFreeNodes(benchmark::State& state) {
    BusContext context;
    context.dBusLengthMetres = 30.0;
    RunBus(state,
           {"pi=mcp251x@16:kernel", "a=pic18@40", "b=dspic33f@40", "c=mcp251x@8", "d=pic24h@20",
            "e=mcp2515@20:linux", "f=pic32mx@80", "g=at91@132:linux", "h=dspic30@30"},
           context);
}
BENCHMARK(BM_BusEightFreeNodes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// CAN FD step 2 at 40 MHz, 500 kbit/s and 2 Mbit/s: every pair of a nominal and a data
// candidate judged and ordered (range 0), with the sample points and tolerance the list
// shows beside each (range 1). Budget: 1 ms.
FdSetting ExampleFdInputs() {
    FdSetting inputs;
    inputs.dOscFreqMHz = 40;
    inputs.dNominalKbps = kRateKbps;
    inputs.dDataKbps = 2000;
    return inputs;
}

void BM_FdPairSearch(benchmark::State& state) {
    const FdSetting inputs = ExampleFdInputs();
    const std::vector<FdCandidate> found = SearchFdCandidates(inputs);
    if (found.empty() || !found.front().bUsable) {
        state.SkipWithError("the FD search found no usable pair");
        return;
    }
    for (auto _ : state) {
        const std::vector<FdCandidate> pairs = SearchFdCandidates(inputs);
        if (state.range(0) == 1) {
            benchmark::DoNotOptimize(DescribeFdProposals(inputs, pairs));
        }
        benchmark::DoNotOptimize(pairs);
    }
    state.SetLabel(std::to_string(found.size()) + " pairs" +
                   (state.range(0) == 1 ? " with the list's facts" : ""));
}
BENCHMARK(BM_FdPairSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The floor of the FD search: each phase's candidates alone, neither paired nor judged.
void BM_FloorFdPhases(benchmark::State& state) {
    const FdSetting inputs = ExampleFdInputs();
    const double dClockMHz = FdClockMHz(inputs);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            SearchFdPhase(LimitsOf(inputs, FdPhase::Nominal), dClockMHz, inputs.dNominalKbps));
        benchmark::DoNotOptimize(
            SearchFdPhase(LimitsOf(inputs, FdPhase::Data), dClockMHz, inputs.dDataKbps));
    }
}
BENCHMARK(BM_FloorFdPhases)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
