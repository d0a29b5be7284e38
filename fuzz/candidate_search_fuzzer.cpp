// Fuzz target for the candidate search with any oscillator and rate, and the report texts
// of what it chooses.
// Input: one mode byte, then two 8-byte values. Mode bit 0 clear: the values are the
// oscillator (MHz) and the rate (bit/s) as raw doubles, any bit pattern. Mode bit 0 set:
// they are spread over the range the window lets through (oscillator 1 to 1e300 MHz,
// rate 1000 to 1000000 bit/s) so that the fuzzer spends its time where users are.
// Properties, always: 1152 combinations in search order with the right clock counts, a
// chosen list of exactly the matches in that order, handed over unchanged, and no grid or
// list text that shows "inf" or "nan". In the window's range besides: every value is
// finite, a match lies within a bit per second of the target, and every chosen candidate's
// proposal passes the rules, encodes, and has finite rate facts and no "inf" or "nan" in its
// report or diagram texts.
#include "FuzzInput.h"
#include "report/classic/ReportValues.h"
#include "timing/classic/BitTiming.h"
#include "timing/classic/CandidateSearch.h"
#include "timing/common/NumberFormat.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// A fraction 0..1 from 8 bytes.
double Fraction(std::uint64_t bits) {
    return static_cast<double>(bits >> 11) / static_cast<double>(std::uint64_t{1} << 53);
}

std::string Describe(double osc, double rate) {
    char text[96];
    std::snprintf(text, sizeof text, "oscillator %.17g MHz, rate %.17g bit/s", osc, rate);
    return text;
}

void CheckReport(double osc, double rate, const quillon::TqCandidate& chosen) {
    const quillon::BitTimingFacts facts = quillon::DescribeBitTiming(
        quillon::ProposedSetting(osc, rate / 1000, chosen.lBRPMinus1, chosen.lTqCount));
    const quillon::RateFacts& r = facts.rate;
    FUZZ_CHECK(std::isfinite(r.dTargetBaud) && std::isfinite(r.dTqSeconds) &&
                   std::isfinite(r.dActualBaud) && std::isfinite(r.dErrorPercent),
               Describe(osc, rate));
    FUZZ_CHECK(static_cast<bool>(facts.registers), facts.registers.sError);
    FUZZ_CHECK(facts.Passes(), Describe(osc, rate) + ": " + std::string(facts.sVerdict));

    const quillon::ReportValues values =
        quillon::BuildReportValues(facts, "12:00:00 pm 01/01/2026");
    for (const std::string* text :
         {&values.sOscFreq, &values.sCANBaud, &values.sTq, &values.sError}) {
        FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(*text), Describe(osc, rate) + ": " + *text);
    }
    for (const quillon::SegmentDuration& duration : facts.durations) {
        FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(duration.sText),
                   Describe(osc, rate) + ": " + duration.sText);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzInput input(data, size);
    const bool windowRange = (input.Take<std::uint8_t>() & 1) != 0;
    const auto oscBits = input.Take<std::uint64_t>();
    const auto rateBits = input.Take<std::uint64_t>();
    double osc = 0;
    double rate = 0;
    if (windowRange) {
        osc = std::pow(10.0, 300 * Fraction(oscBits));
        rate = 1000 + 999000 * Fraction(rateBits);
    } else {
        std::memcpy(&osc, &oscBits, sizeof osc);
        std::memcpy(&rate, &rateBits, sizeof rate);
    }

    const std::vector<quillon::TqCandidate> all = quillon::EvaluateAllCandidates(osc, rate);
    FUZZ_CHECK(all.size() == quillon::kBRPValueCount * quillon::kTqCountCount, Describe(osc, rate));

    std::vector<quillon::TqCandidate> matches;
    std::size_t index = 0;
    for (std::int32_t brp = quillon::kMinBRPMinus1; brp <= quillon::kMaxBRPMinus1; ++brp) {
        for (std::int32_t tq = quillon::kMinTqCount; tq <= quillon::kMaxTqCount; ++tq) {
            const quillon::TqCandidate& c = all[index++];
            FUZZ_CHECK(c.lBRPMinus1 == brp && c.lTqCount == tq, Describe(osc, rate));
            FUZZ_CHECK(c.lOscClocks == 2 * (brp + 1) * tq, Describe(osc, rate));
            // What the grid and the list write for this combination.
            for (const std::string& text :
                 {quillon::FormatEngineering(c.dTqSeconds, "0.000", "S", false),
                  quillon::FormatEngineering(c.dActualBaud, "0.000", "b", false),
                  quillon::FormatNumber(c.dErrorPercent, "0.0###")}) {
                FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(text), Describe(osc, rate) + ": " + text);
            }
            const quillon::TqCandidate byGrid =
                quillon::MakeTqCandidate(osc, rate, brp, tq, quillon::ErrorSignRule::Grid);
            if (std::isfinite(c.dErrorPercent)) {
                FUZZ_CHECK(byGrid.dErrorPercent == -c.dErrorPercent, Describe(osc, rate));
            }
            if (windowRange) {
                FUZZ_CHECK(std::isfinite(c.dTqSeconds) && c.dTqSeconds > 0 &&
                               std::isfinite(c.dActualBaud) && c.dActualBaud > 0 &&
                               std::isfinite(c.dErrorPercent),
                           Describe(osc, rate));
                if (c.bMatches) {
                    FUZZ_CHECK(std::fabs(c.dActualBaud - rate) <= 1, Describe(osc, rate));
                }
            }
            if (c.bMatches) {
                matches.push_back(c);
            }
        }
    }

    quillon::ChosenList chosen;
    chosen.Refill(all);
    FUZZ_CHECK(chosen.Count() == static_cast<int>(matches.size()), Describe(osc, rate));
    const quillon::OneBasedArray<std::int32_t> untouched(std::vector<std::int32_t>{7});
    quillon::OneBasedArray<std::int32_t> tqValues = untouched;
    quillon::OneBasedArray<std::int32_t> brpValues = untouched;
    std::int32_t count = -1;
    chosen.GetTqValues(tqValues, brpValues, count);
    FUZZ_CHECK(count == chosen.Count(), Describe(osc, rate));
    if (count == 0) {
        FUZZ_CHECK(tqValues == untouched && brpValues == untouched, Describe(osc, rate));
    }
    for (std::int32_t i = 1; i <= count; ++i) {
        const quillon::TqCandidate& m = matches[static_cast<std::size_t>(i - 1)];
        FUZZ_CHECK(tqValues(static_cast<std::size_t>(i)) == m.lTqCount &&
                       brpValues(static_cast<std::size_t>(i)) == m.lBRPMinus1,
                   Describe(osc, rate));
        if (windowRange) {
            CheckReport(osc, rate, m);
        }
    }
    return 0;
}
