// The CAN FD rows of the controller table and what the FD model takes from them: names and
// aliases, limits, clock and TDC ranges, the Linux driver; the clock, the TDC the controller
// needs, the rules and the search's prescalers for the default row and the M_CAN.
#include "timing/common/Controllers.h"
#include "timing/fd/FdSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace quillon {
namespace {

std::string Limits(const FdPhaseLimits& l) {
    return std::to_string(l.brpMin) + ".." + std::to_string(l.brpMax) + " " +
           std::to_string(l.tseg1Min) + ".." + std::to_string(l.tseg1Max) + " " +
           std::to_string(l.tseg2Min) + ".." + std::to_string(l.tseg2Max) + " " +
           std::to_string(l.sjwMax);
}

std::string Kernel(const KernelLimits& l) {
    return std::to_string(l.tseg1Min) + ".." + std::to_string(l.tseg1Max) + " " +
           std::to_string(l.tseg2Min) + ".." + std::to_string(l.tseg2Max) + " " +
           std::to_string(l.sjwMax) + " " + std::to_string(l.brpMin) + ".." +
           std::to_string(l.brpMax);
}

TEST(FdControllerRows, NamesLimitsClockTdcAndDriver) {
    const struct {
        const char* name;
        std::string row; // name, nominal and data limits, TDCO range, TDCF, clock of 4 MHz + PLL
        std::string driver;
    } rows[] = {
        {"mcan", "mcan 1..512 2..256 1..128 128 | 1..32 1..32 1..16 16 | 0..127 127 | 4",
         "m_can 2..256 2..128 128 1..512 | 1..32 1..16 16 1..32"},
        {"SAMC21", "mcan 1..512 2..256 1..128 128 | 1..32 1..32 1..16 16 | 0..127 127 | 4",
         "m_can 2..256 2..128 128 1..512 | 1..32 1..16 16 1..32"},
        {"same51", "mcan", ""},
        {"same54", "mcan", ""},
        {"samv71", "mcan", ""},
        {"sama5d2", "mcan", ""},
        {"mcp2518fd", "mcp2518fd 1..256 2..256 1..128 128 | 1..256 1..32 1..16 16 | -64..63 0 | 40",
         "mcp251xfd 2..256 1..128 128 1..256 | 1..32 1..16 16 1..256"},
        {"dspic33c", "dspic33c 1..256 2..256 1..128 128 | 1..256 1..32 1..16 16 | -64..63 0 | 40",
         "none"},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Controller* c = FindController(rows[i].name);
        ASSERT_NE(c, nullptr) << "row " << i;
        ASSERT_TRUE(c->IsFd()) << "row " << i;
        std::string row(c->sName);
        if (rows[i].driver.empty()) {
            EXPECT_EQ(c, FindController("mcan")) << "row " << i;
            continue;
        }
        row += " " + Limits(c->nominalLimits) + " | " + Limits(c->dataLimits) + " | " +
               std::to_string(c->tdcLimits.offsetMin) + ".." +
               std::to_string(c->tdcLimits.offsetMax) + " " +
               std::to_string(c->tdcLimits.filterMax) + " | " +
               std::to_string(static_cast<int>(CanClockMHz(c->clock, 4, true)));
        EXPECT_EQ(row, rows[i].row) << "row " << i;
        const std::string driver = c->linux ? std::string(c->linux->sName) + " " +
                                                  Kernel(c->linux->nominal) + " | " +
                                                  Kernel(c->linux->data)
                                            : "none";
        EXPECT_EQ(driver, rows[i].driver) << "row " << i;
    }
}

TEST(FdControllerRows, ClockTdcAndRulesFollowTheRow) {
    const struct {
        const char* controller; // nullptr: the default
        double osc;
        bool pll;
        FdPhaseSetting data;
        double clock;
        std::string required; // the TDC the controller needs
        std::string verdict;
    } rows[] = {
        {nullptr, 4, true, {1, 7, 7, 5, 2}, 40, "auto 15", std::string(kFdPassText)},
        {"mcan", 40, false, {1, 7, 7, 5, 2}, 40, "auto 15", std::string(kFdPassText)},
        // The M_CAN has no PLL: the CAN clock stays as given and the setting breaks a rule.
        {"mcan",
         40,
         true,
         {1, 7, 7, 5, 2},
         40,
         "auto 15",
         "The mcan has no PLL: the frequency given is its CAN clock as it is."},
        // (1 + 32) x 2 = 66: beyond the MCP251xFD's TDCO of 63 (limited to it, TDC on), within
        // the M_CAN's 127.
        {nullptr, 40, false, {2, 16, 16, 8, 1}, 40, "auto 63", std::string(kFdPassText)},
        {"mcan", 40, false, {2, 16, 16, 8, 1}, 40, "auto 66", std::string(kFdPassText)},
        // 80 MHz: above SYSCLK's 40 MHz; the M_CAN row names no upper end.
        {nullptr,
         80,
         false,
         {1, 7, 7, 5, 2},
         80,
         "auto 15",
         "SYSCLK 80.000 MHz is above the 40 MHz the controller allows."},
        {"mcan", 80, false, {1, 7, 7, 5, 2}, 80, "auto 15", std::string(kFdPassText)},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        FdSetting s;
        s.controller = rows[i].controller ? FindController(rows[i].controller) : nullptr;
        s.dOscFreqMHz = rows[i].osc;
        s.bPll = rows[i].pll;
        s.nominal = {1, 34, 35, 10, 5};
        s.data = rows[i].data;
        s.tdc = RequiredTdc(s);
        const FdFacts f = DescribeFdTiming(s);
        EXPECT_EQ(f.dSysclkMHz, rows[i].clock) << "row " << i;
        EXPECT_EQ(std::string(TdcModeName(f.requiredTdc.mode)) + " " +
                      std::to_string(f.requiredTdc.lOffset),
                  rows[i].required)
            << "row " << i;
        EXPECT_EQ(f.sVerdict, rows[i].verdict) << "row " << i;
    }
}

TEST(FdControllerRows, TheSearchKeepsToTheRowsPrescalers) {
    // 80 MHz, 10 kbit/s nominal (8000 clocks) and 125 kbit/s data (640 clocks): the exact
    // prescalers are the divisors that leave 4..385 and 3..49 quanta; the largest the
    // MCP251xFD takes are 250 and 160, the M_CAN's 500 and 32.
    const struct {
        const char* controller;
        int nominalBrp, dataBrp;
    } rows[] = {{nullptr, 250, 160}, {"mcan", 500, 32}};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        FdSetting inputs;
        inputs.controller = rows[i].controller ? FindController(rows[i].controller) : nullptr;
        inputs.dOscFreqMHz = 80;
        inputs.dNominalKbps = 10;
        inputs.dDataKbps = 125;
        const std::vector<FdCandidate> found = SearchFdCandidates(inputs);
        ASSERT_FALSE(found.empty()) << "row " << i;
        int nominal = 0, data = 0;
        for (const FdCandidate& c : found) {
            EXPECT_TRUE(c.Exact()) << "row " << i;
            nominal = std::max(nominal, c.nominal.lBRP);
            data = std::max(data, c.data.lBRP);
        }
        EXPECT_EQ(nominal, rows[i].nominalBrp) << "row " << i;
        EXPECT_EQ(data, rows[i].dataBrp) << "row " << i;
    }
}

} // namespace
} // namespace quillon
