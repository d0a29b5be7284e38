#include "report/ReportValues.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <regex>

namespace quillon {
namespace {

ReportInputs Inputs(double osc, double kbps, int brp, int tq, int prop = 2, int ph1 = 3,
                    int ph2 = 2, Phase2Mode mode = Phase2Mode::Programmed) {
    ReportInputs inputs{osc, kbps, brp, tq, {}};
    inputs.segments.lTqCount = tq;
    inputs.segments.lPropagation = prop;
    inputs.segments.lPhase1 = ph1;
    inputs.segments.lPhase2 = ph2;
    inputs.segments.mode = mode;
    return inputs;
}

struct TimingRow {
    const char* name;
    ReportInputs inputs;
    const char* sOscFreq;
    const char* sCANBaud;
    const char* sTq;
    const char* sError;
};

void PrintTo(const TimingRow& row, std::ostream* out) {
    *out << row.name;
}

class ReportTimingTexts : public ::testing::TestWithParam<TimingRow> {};

TEST_P(ReportTimingTexts, FormatsRatesQuantumAndError) {
    const TimingRow& row = GetParam();
    const ReportValues values = BuildReportValues(row.inputs, {}, "");
    EXPECT_EQ(values.sOscFreq, row.sOscFreq);
    EXPECT_EQ(values.sCANBaud, row.sCANBaud);
    EXPECT_EQ(values.sTq, row.sTq);
    EXPECT_EQ(values.sError, row.sError);
    EXPECT_EQ(values.sBRP, std::to_string(row.inputs.lBRPMinus1));
    EXPECT_EQ(values.sNumTq, std::to_string(row.inputs.lTqCount));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ReportTimingTexts,
    ::testing::Values(TimingRow{"ExactHit", Inputs(16, 500, 1, 8), "16.000 MHz", "500.000 kbps",
                                "250.000 ns", "0.0 %"},
                      TimingRow{"RateAboveTarget", Inputs(16, 300, 1, 13), "16.000 MHz",
                                "300.000 kbps", "250.000 ns",
                                "-2.564 %  (Actual Baud Rate is 307.692308 kbps )"},
                      TimingRow{"RateBelowTarget", Inputs(16, 510, 1, 8), "16.000 MHz",
                                "510.000 kbps", "250.000 ns",
                                "1.961 %  (Actual Baud Rate is 500.000 kbps )"},
                      TimingRow{"MicrosecondQuantum", Inputs(4, 3.90625, 63, 8), "4.000 MHz",
                                "3.906 kbps", "32.000 \u00B5s", "0.0 %"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportDerived, ExactHitGivesZeroError) {
    const ReportDerived derived = ComputeReportDerived(Inputs(16, 500, 1, 8));
    EXPECT_EQ(derived.dTargetBaud, 500000.0);
    EXPECT_EQ(derived.dTqSeconds, 2.5e-7);
    EXPECT_EQ(derived.dActualBaud, 500000.0);
    EXPECT_EQ(derived.dErrorPercent, 0.0);
}

TEST(ReportValues, Phase2TextFollowsMode) {
    const auto phase2 = [](int ph1, int ph2, Phase2Mode mode) {
        return BuildReportValues(Inputs(16, 500, 1, 8, 2, ph1, ph2, mode), {}, "").sPhase2;
    };
    EXPECT_EQ(phase2(3, 7, Phase2Mode::Programmed), "7");
    EXPECT_EQ(phase2(1, 7, Phase2Mode::LargerOf), "Determined by greater of IPT or Phase1 ( 2 )");
    EXPECT_EQ(phase2(5, 2, Phase2Mode::LargerOf), "Determined by greater of IPT or Phase1 ( 5 )");
}

TEST(ReportValues, SamplingSentenceCombinesBothFlags) {
    const char* expected[2][2] = {{"off. Wakeup filter is off.", "off. Wakeup filter is on."},
                                  {"on. Wakeup filter is off.", "on. Wakeup filter is on."}};
    for (int sam = 0; sam < 2; ++sam) {
        for (int wak = 0; wak < 2; ++wak) {
            ReportInputs inputs = Inputs(16, 500, 1, 8);
            inputs.segments.bSam = sam == 1;
            inputs.segments.bWakFil = wak == 1;
            EXPECT_EQ(BuildReportValues(inputs, {}, "").sSampling, expected[sam][wak]);
        }
    }
}

TEST(ReportValues, SegmentsRegistersAndDateLandInTheirFields) {
    ReportInputs inputs = Inputs(16, 500, 1, 8, 4, 6, 3);
    inputs.segments.lSJW = 2;
    const ConfigRegisterTexts registers{"1b", "1h", "2b", "2h", "3b", "3h", "Gb", "Gh", "Hb", "Hh"};
    const ReportValues v = BuildReportValues(inputs, registers, "the date");
    EXPECT_EQ(v.sPropDelay + v.sPhase1 + v.sPhase2 + v.sSJW, "4632");
    EXPECT_EQ(v.sCNF1Bin + v.sCNF1Hex + v.sCNF2Bin + v.sCNF2Hex + v.sCNF3Bin + v.sCNF3Hex,
              "1b1h2b2h3b3h");
    EXPECT_EQ(v.sCICFG1Bin + v.sCICFG1Hex + v.sCICFG2Bin + v.sCICFG2Hex, "GbGhHbHh");
    EXPECT_EQ(v.sDate, "the date");
}

TEST(ReportValues, DecimalCommaReachesEveryNumber) {
    const ReportValues values = BuildReportValues(Inputs(16, 300, 1, 13), {}, "", ",");
    EXPECT_EQ(values.sOscFreq, "16,000 MHz");
    EXPECT_EQ(values.sTq, "250,000 ns");
    EXPECT_EQ(values.sError, "-2,564 %  (Actual Baud Rate is 307,692308 kbps )");
}

TEST(ReportDate, TwelveHourClock) {
    const struct {
        int hour, min, sec, day, month, year;
        const char* expected;
    } rows[] = {
        {0, 0, 0, 1, 1, 2026, "12:00:00 am 01/01/2026"},
        {12, 0, 0, 31, 12, 1999, "12:00:00 pm 12/31/1999"},
        {15, 7, 9, 4, 12, 2026, "3:07:09 pm 12/04/2026"},
        {11, 59, 59, 9, 3, 2030, "11:59:59 am 03/09/2030"},
        {23, 5, 0, 28, 2, 2024, "11:05:00 pm 02/28/2024"},
    };
    for (const auto& row : rows) {
        std::tm time{};
        time.tm_hour = row.hour;
        time.tm_min = row.min;
        time.tm_sec = row.sec;
        time.tm_mday = row.day;
        time.tm_mon = row.month - 1;
        time.tm_year = row.year - 1900;
        EXPECT_EQ(FormatReportDate(time), row.expected);
    }
}

TEST(ReportDate, SourceDateEpochFixesTheStamp) {
    const std::pair<const char*, const char*> rows[] = {{"0", "12:00:00 am 01/01/1970"},
                                                        {"1700000000", "10:13:20 pm 11/14/2023"}};
    for (const auto& [epoch, expected] : rows) {
        const test::ScopedEnv env("SOURCE_DATE_EPOCH", std::string(epoch));
        EXPECT_EQ(ReportTimestampNow(), expected);
    }
}

TEST(ReportDate, InvalidSourceDateEpochFallsBackToTheClock) {
    const std::regex stamp(R"((1[0-2]|[1-9]):[0-5]\d:[0-5]\d [ap]m \d\d/\d\d/(\d{4}))");
    for (const char* epoch : {"", "abc", "12x", " 5", "99999999999999999999999"}) {
        const test::ScopedEnv env("SOURCE_DATE_EPOCH", std::string(epoch));
        const std::string now = ReportTimestampNow();
        std::smatch match;
        ASSERT_TRUE(std::regex_match(now, match, stamp)) << epoch << " gave " << now;
        EXPECT_GE(std::stoi(match[2]), 2024) << epoch << " gave " << now;
    }
}

} // namespace
} // namespace quillon
