// The report's texts from the facts of a setting, and its time stamp.
#include "report/classic/ReportValues.h"

#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <regex>

namespace quillon {
namespace {

constexpr Phase2Mode kLarger = Phase2Mode::LargerOf;

// The fields that come from the setting, in page order.
std::string SettingFields(const ReportValues& v) {
    return v.sOscFreq + '|' + v.sCANBaud + '|' + v.sBRP + '|' + v.sTq + '|' + v.sNumTq + '|' +
           v.sError + '|' + v.sPropDelay + '|' + v.sPhase1 + '|' + v.sPhase2 + '|' + v.sSJW + '|' +
           v.sSampling;
}

TEST(ReportValues, FromTheFactsOfASetting) {
    const struct {
        BitTimingSetting s;
        const char* separator;
        std::string fields;
    } rows[] = {
        {{16, 500, 1, {8, 2, 3, 2}},
         ".",
         "16.000 MHz|500.000 kbps|1|250.000 ns|8|0.0 %|2|3|2|1|off. Wakeup filter is off."},
        {ProposedSetting(16, 300, 1, 13), ",",
         "16,000 MHz|300,000 kbps|1|250,000 ns|13|-2,564 %  (Actual Baud Rate is 307,692308 kbps "
         ")|1|6|5|1|off. Wakeup filter is off."},
        {{16, 510, 1, {8, 2, 3, 2}},
         ".",
         "16.000 MHz|510.000 kbps|1|250.000 ns|8|1.961 %  (Actual Baud Rate is 500.000 kbps "
         ")|2|3|2|1|off. Wakeup filter is off."},
        {{4, 3.90625, 63, {8, 1, 3, 3, 1, true, false}},
         ".",
         "4.000 MHz|3.906 kbps|63|32.000 \xC2\xB5s|8|0.0 %|1|3|3|1|on. Wakeup filter is off."},
        {{16, 500, 0, {16, 7, 4, 8, 2, true, true, kLarger}},
         ".",
         "16.000 MHz|500.000 kbps|0|125.000 ns|16|0.0 %|7|4|Determined by greater of IPT or "
         "Phase1 ( 4 )|2|on. Wakeup filter is on."},
        {{16, 500, 1, {8, 4, 1, 7, 1, false, true, kLarger}},
         ".",
         "16.000 MHz|500.000 kbps|1|250.000 ns|8|0.0 %|4|1|Determined by greater of IPT or "
         "Phase1 ( 2 )|1|off. Wakeup filter is on."}};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const std::string separator = rows[i].separator;
        const ReportValues v =
            BuildReportValues(DescribeBitTiming(rows[i].s, separator), "date", separator);
        EXPECT_EQ(SettingFields(v), rows[i].fields) << "row " << i;
        EXPECT_EQ(v.sDate, "date");
    }
}

std::tm Time(int hour, int min, int sec, int day, int month, int year) {
    std::tm time{};
    time.tm_hour = hour;
    time.tm_min = min;
    time.tm_sec = sec;
    time.tm_mday = day;
    time.tm_mon = month - 1;
    time.tm_year = year - 1900;
    return time;
}

TEST(ReportValues, DateOnTheTwelveHourClock) {
    const std::pair<std::tm, const char*> rows[] = {
        {Time(0, 0, 0, 1, 1, 2026), "12:00:00 am 01/01/2026"},
        {Time(0, 59, 59, 2, 1, 2026), "12:59:59 am 01/02/2026"},
        {Time(11, 59, 59, 9, 3, 2030), "11:59:59 am 03/09/2030"},
        {Time(12, 0, 0, 31, 12, 1999), "12:00:00 pm 12/31/1999"},
        {Time(13, 5, 0, 28, 2, 2024), "1:05:00 pm 02/28/2024"},
        {Time(23, 59, 59, 31, 10, 2026), "11:59:59 pm 10/31/2026"}};
    for (const auto& [time, expected] : rows) {
        EXPECT_EQ(FormatReportDate(time), expected);
    }
    // The order stays with the separators of the user's regional settings.
    EXPECT_EQ(FormatReportDate(Time(15, 7, 9, 4, 12, 2026), {".", "."}), "3.07.09 pm 12.04.2026");
}

TEST(ReportValues, SourceDateEpochFixesTheStampInUtc) {
    const std::pair<const char*, const char*> rows[] = {{"0", "12:00:00 am 01/01/1970"},
                                                        {"86399", "11:59:59 pm 01/01/1970"},
                                                        {"1700000000", "10:13:20 pm 11/14/2023"}};
    for (const auto& [epoch, expected] : rows) {
        const test::ScopedEnv env("SOURCE_DATE_EPOCH", std::string(epoch));
        EXPECT_EQ(ReportTimestampNow(), expected);
    }
    const test::ScopedEnv env("SOURCE_DATE_EPOCH", std::string("86399"));
    EXPECT_EQ(ReportTimestampNow({"-", "h"}), "11h59h59 pm 01-01-1970");
    // Anything but a whole number is ignored: the clock decides.
    const std::regex stamp(R"((1[0-2]|[1-9]):[0-5]\d:[0-5]\d [ap]m [01]\d/[0-3]\d/(\d{4}))");
    for (const char* epoch : {"", "abc", "12x", " 5", "99999999999999999999999"}) {
        const test::ScopedEnv env("SOURCE_DATE_EPOCH", std::string(epoch));
        const std::string now = ReportTimestampNow();
        std::smatch match;
        ASSERT_TRUE(std::regex_match(now, match, stamp)) << epoch << " gave " << now;
        EXPECT_GE(std::stoi(match[2]), 2025) << epoch << " gave " << now;
    }
}

} // namespace
} // namespace quillon
