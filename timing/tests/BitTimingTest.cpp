// The facts of a whole setting, the checks on the two inputs, the three quantum lengths and
// the grid and list texts.
#include "timing/classic/BitTiming.h"
#include "timing/classic/CandidateSearch.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/classic/QuantumLength.h"
#include "timing/common/InputChecks.h"
#include "timing/common/NumberReading.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace quillon {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

BitTimingSetting Setting(double osc, double kbps, int brpMinus1, SegmentSettings segments) {
    return BitTimingSetting{osc, kbps, brpMinus1, segments};
}

// The facts of a setting on one line, in the order of the rows below.
std::string Summary(const BitTimingFacts& f) {
    std::string text = f.sSamplePoint + " |";
    for (const SegmentDuration& d : f.durations) {
        text += ' ' + std::string(d.sName) + '=' + d.sText;
    }
    text += " | " + f.rate.sTq + " | " + f.rate.sError + " | ";
    const ConfigRegisterTexts& r = f.registerTexts;
    text += f.registers ? r.sCNF1Hex + ' ' + r.sCNF2Hex + ' ' + r.sCNF3Hex + ' ' + r.sCICFG2Hex
                        : f.registers.sError;
    text += " | " + std::to_string(f.lOscClocks) + (f.busIdleWarning ? " idle!" : "");
    return text + " | " + std::string(f.sVerdict);
}

TEST(DescribeBitTiming, WorkedSettings) {
    constexpr Phase2Mode kLarger = Phase2Mode::LargerOf;
    const struct {
        BitTimingSetting setting;
        const char* separator;
        std::string facts;
    } rows[] = {
        {Setting(16, 500, 1, {8, 2, 3, 2}), ".",
         "75.0 | sync=250.0 ns propagation=500.0 ns phase1=750.0 ns phase2=500.0 ns sjw=250.0 ns "
         "bit=2.0 \xC2\xB5s | 250.000 ns | 0.0 % | 0x01 0x91 0x01 0x0191 | 32 | "
         "These settings meet all timing requirements."},
        {ProposedSetting(16, 300, 1, 13), ",",
         "61,5 | sync=250,0 ns propagation=250,0 ns phase1=1,5 \xC2\xB5s phase2=1,25 \xC2\xB5s "
         "sjw=250,0 ns bit=3,25 \xC2\xB5s | 250,000 ns | -2,564 %  (Actual Baud Rate is "
         "307,692308 kbps ) | 0x01 0xA8 0x04 0x04A8 | 52 | "
         "These settings meet all timing requirements."},
        {Setting(16, 500, 0, {16, 7, 4, 8, 2, true, true, kLarger}), ".",
         "75.0 | sync=125.0 ns propagation=875.0 ns phase1=500.0 ns phase2=500.0 ns "
         "sjw=250.0 ns bit=2.0 \xC2\xB5s | 125.000 ns | 0.0 % | 0x40 0x5E 0x40 0x405E | 32 | "
         "These settings meet all timing requirements."},
        {Setting(16, 1000, 0, {6, 1, 1, 3, 1}), ".",
         "50.0 | sync=125.0 ns propagation=125.0 ns phase1=125.0 ns phase2=375.0 ns "
         "sjw=125.0 ns bit=750.0 ns | 125.000 ns | -33.333 %  (Actual Baud Rate is 1.333333 Mbps ) "
         "| "
         "0x00 0x80 0x02 0x0280 | 12 idle! | "
         "The propagation plus phase 1 must be greater than the phase 2 time."},
        {Setting(16, 500, 63, {8, 1, 3, 3, 5}), ".",
         "62.5 | sync=8.0 \xC2\xB5s propagation=8.0 \xC2\xB5s phase1=24.0 \xC2\xB5s "
         "phase2=24.0 \xC2\xB5s sjw=40.0 \xC2\xB5s bit=64.0 \xC2\xB5s | 8.000 \xC2\xB5s | "
         "96.875 %  (Actual Baud Rate is 15.625 kbps ) | "
         "CNF1 overflow: 64 x (SJW - 1) + BRP-1 = 319 is above 255 | 1024 | "
         "The Phase2 time must be greater or equal to the syncronization jump width."}};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(Summary(DescribeBitTiming(rows[i].setting, rows[i].separator)), rows[i].facts)
            << "row " << i;
    }
}

TEST(DescribeBitTiming, AnalysisUsesTheDiagramQuantum) {
    const BitTimingFacts f = DescribeBitTiming(Setting(16, 500, 1, {8, 2, 3, 2}));
    EXPECT_EQ(f.lPhase2Effective, 2);
    EXPECT_EQ(OscToleranceText(f.analysis, "."), "0.625");
    // 2 Tq of 250 ns: 500 ns, short of two transceivers' 2 x 255 ns.
    EXPECT_EQ(BusLengthText(f.analysis, "."), "none");
    EXPECT_EQ(SamplePointComparison(f.analysis), "earlier than");
    EXPECT_TRUE(f.Passes());
}

TEST(DescribeBitTiming, AnOscillatorWithoutUsableQuantum) {
    for (const double osc : {0.0, -16.0, 1e303, kNaN}) {
        const BitTimingFacts f = DescribeBitTiming(Setting(osc, 500, 1, {8, 2, 3, 2}));
        for (const SegmentDuration& d : f.durations) {
            EXPECT_EQ(d.sText, "n/a") << osc << ' ' << d.sName;
        }
        EXPECT_EQ(f.analysis.dRoundTripSeconds, 0.0) << osc;
        EXPECT_EQ(f.analysis.dBusLengthMetres, 0.0) << osc;
        EXPECT_EQ(BusLengthText(f.analysis, "."), "n/a") << osc;
    }
}

TEST(InputChecks, LimitsAndSentences) {
    const std::string osc0 = "The oscillator must be greater than 0.";
    const std::string oscMax = "The oscillator must be no more than 1E+300 MHz.";
    const std::string rate = "The CAN baud rate must be greater than 0 and no more than 1000.";
    const std::pair<double, std::string> oscRows[] = {
        {1, ""},       {16, ""},    {1e300, ""},  {0.999, osc0},
        {0, osc0},     {-16, osc0}, {kNaN, osc0}, {1.0000001e300, oscMax},
        {kInf, oscMax}};
    for (const auto& [value, message] : oscRows) {
        EXPECT_EQ(OscillatorProblem(value).value_or(""), message) << value;
    }
    const std::pair<double, std::string> rateRows[] = {
        {1, ""}, {500, ""}, {1000, ""}, {0.999, rate}, {0, rate}, {1000.001, rate}, {kNaN, rate}};
    for (const auto& [value, message] : rateRows) {
        EXPECT_EQ(RateProblem(value).value_or(""), message) << value;
    }
    EXPECT_EQ(ReadLeadingNumber(kDefaultOscillatorText), 16);
    EXPECT_EQ(ReadLeadingNumber(kDefaultRateText), 500);
}

TEST(QuantumLength, ThreeRoundingsOfTwoBrpPeriods) {
    const std::pair<double, int> rows[] = {{16, 0}, {16, 1}, {20, 63}, {3.6864, 5}, {1000, 49}};
    for (const auto& [osc, brpMinus1] : rows) {
        const double exact = 2.0 * (brpMinus1 + 1) / (osc * 1e6);
        EXPECT_DOUBLE_EQ(GridTqSeconds(osc, brpMinus1), exact) << osc << ' ' << brpMinus1;
        EXPECT_DOUBLE_EQ(DiagramTqSeconds(osc, brpMinus1), exact) << osc << ' ' << brpMinus1;
        EXPECT_DOUBLE_EQ(ReportTqSeconds(osc, brpMinus1), exact) << osc << ' ' << brpMinus1;
    }
}

TEST(DisplayTexts, GridAndListTexts) {
    const std::pair<int, const char*> labels[] = {
        {0, "0 (0x0)"}, {10, "10 (0xA)"}, {16, "16 (0x10)"}, {63, "63 (0x3F)"}, {-5, "-5 (0x-5)"}};
    for (const auto& [brpMinus1, expected] : labels) {
        EXPECT_EQ(GridRowLabel(brpMinus1), expected);
    }
    EXPECT_EQ(GridTqCountHeading(8), "8 Tq Baud");
    EXPECT_EQ(GridTqText(GridTqSeconds(16, 0), "."), "125.000 nS");
    EXPECT_EQ(GridRateText(500000, ","), "500,000 kb");
    EXPECT_EQ(ListTexts(MakeTqCandidate(10, 83333, 2, 20, ErrorSignRule::Search), ","),
              (CandidateListTexts{"20", "2", "120", "0,0004"}));
    EXPECT_EQ(SamplePointText(200.0 / 3, ","), "66,7");
}

TEST(DisplayTexts, GridCellDescription) {
    // 16 MHz: BRP-1 0 gives a Tq of 125 ns, BRP-1 1 one of 250 ns.
    const struct {
        const char* name;
        int brpMinus1, tq;
        const char* separator;
        const char* text;
    } rows[] = {
        {"match", 0, 16, ".", "Matches the 500.000 kbps asked for (BRP-1 0, 16 Tq)"},
        {"above: 8 x 125 ns = 1 us", 0, 8, ".",
         "1.000 Mbps, 100.0 % above the 500.000 kbps asked for (BRP-1 0, 8 Tq)"},
        {"below: 16 x 250 ns = 4 us", 1, 16, ",",
         "250,000 kbps, 50,0 % below the 500,000 kbps asked for (BRP-1 1, 16 Tq)"},
        {"below by a fraction: 1/(17 x 125 ns)", 0, 17, ".",
         "470.588235 kbps, 5.8824 % below the 500.000 kbps asked for (BRP-1 0, 17 Tq)"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(GridCellDescription(
                      MakeTqCandidate(16, 500000, row.brpMinus1, row.tq, ErrorSignRule::Search),
                      500000, row.separator),
                  row.text)
            << row.name;
    }
}

} // namespace
} // namespace quillon
