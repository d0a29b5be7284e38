// The likely meaning of an oscillator or a rate that no controller runs with: Hz or kHz for
// MHz, bit/s or Mbit/s for kbit/s, the two swapped; at the ends of each row's range.
#include "timing/common/UnitHints.h"
#include "timing/common/InputChecks.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace quillon {
namespace {

const Controller& Row(const char* name) {
    return *FindController(name);
}

TEST(UnitHints, OscillatorAboveWhatTheControllerRunsWith) {
    const struct {
        const char* controller;
        double given;
        std::optional<std::string> problem;
    } rows[] = {
        {"mcp251x", 40, std::nullopt},
        {"mcp251x", 40.5, "40.5 MHz is more than the MCP2510/MCP251X runs with (at most 40 MHz)"},
        {"mcp251x", 16000000, "16000000 looks like Hz: did you mean 16 MHz?"},
        {"mcp2515", 3686400, "3686400 looks like Hz: did you mean 3.6864 MHz?"},
        {"mcp2515", 40000000, "40000000 looks like Hz: did you mean 40 MHz?"},
        {"mcp2515", 16000, "16000 looks like kHz: did you mean 16 MHz?"},
        {"mcp2515", 1000, "1000 looks like kHz: did you mean 1 MHz?"},
        {"mcp2515", 999, "999 MHz is more than the MCP2515 runs with (at most 40 MHz)"},
        {"mcp2515", 41000, "41000 MHz is more than the MCP2515 runs with (at most 40 MHz)"},
        {"pic32mx", 80, std::nullopt},
        {"at91", 200, std::nullopt},
        {"at91", 132000000, "132000000 looks like Hz: did you mean 132 MHz?"},
        {"at91", 200.5,
         "200.5 MHz is more than the AT91 CAN (SAM9, SAMA5D3) runs with (at most 200 MHz)"},
        {"mcp2518fd", 40, std::nullopt},
        {"mcp2518fd", 48, "48 MHz is more than the MCP2518FD runs with (at most 40 MHz)"},
        {"mcan", 48, std::nullopt},
        {"mcp251x", std::numeric_limits<double>::quiet_NaN(), std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(GivenClockProblem(row.given, Row(row.controller)), row.problem)
            << row.controller << " " << row.given;
    }
}

TEST(UnitHints, RateInAnotherUnit) {
    constexpr double kFdMax = 8000;
    const struct {
        double rate;
        double max;
        std::optional<std::string> hint;
    } rows[] = {
        {500, kMaxRateKbps, std::nullopt},
        {500000, kMaxRateKbps, "500000 looks like bit/s: did you mean 500 kbit/s?"},
        {1000000, kMaxRateKbps, "1000000 looks like bit/s: did you mean 1000 kbit/s?"},
        {1000001, kMaxRateKbps, std::nullopt},
        {10000, kMaxRateKbps, "10000 looks like bit/s: did you mean 10 kbit/s?"},
        {9999, kMaxRateKbps, std::nullopt}, // 2000 on a classic rate is no 2 kbit/s
        {0.5, kMaxRateKbps, "0.5 looks like Mbit/s: did you mean 500 kbit/s?"},
        {0.01, kMaxRateKbps, "0.01 looks like Mbit/s: did you mean 10 kbit/s?"},
        {0.0099, kMaxRateKbps, std::nullopt},
        {0, kMaxRateKbps, std::nullopt},
        {-500000, kMaxRateKbps, std::nullopt},
        {2000000, kFdMax, "2000000 looks like bit/s: did you mean 2000 kbit/s?"},
        {8000001, kFdMax, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RateUnitHint(row.rate, kMinRateKbps, row.max), row.hint) << row.rate;
    }
}

TEST(UnitHints, OscillatorAndRateSwapped) {
    const struct {
        const char* controller;
        double osc;
        double rate;
        bool swapped;
    } rows[] = {
        {"mcp251x", 500, 16, true},  {"mcp251x", 16, 500, false},  {"mcp251x", 1000, 40, true},
        {"mcp251x", 500, 41, false}, {"mcp251x", 1001, 16, false}, {"mcp251x", 500, 0.5, false},
        {"at91", 500, 132, true},    {"at91", 150, 16, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LookSwapped(row.osc, row.rate, Row(row.controller), kMaxRateKbps), row.swapped)
            << row.controller << " " << row.osc << " " << row.rate;
    }
}

} // namespace
} // namespace quillon
