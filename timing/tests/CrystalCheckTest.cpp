// The wrong crystal: which oscillators explain a rate measured on the bus, nearest first,
// the finding that says so, and the registers for the intended rate on the real crystal.
#include "timing/classic/CrystalCheck.h"
#include "timing/classic/Decode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

// An MCP2515 library's 500 kbit/s entry for 16 MHz: 16 Tq, BRP-1 0, SAM.
BitTimingSetting LibraryEntry(double oscMHz) {
    return DecodeRegisterValues(oscMHz, {}, RegisterLayout::Cnf, {0x00, 0xF0, 0x86}).setting;
}

std::string Registers(const BitTimingSetting& setting) {
    const RegisterEncoding encoding = EncodeConfigRegisters(setting.lBRPMinus1, setting.segments);
    const ConfigRegisterTexts t = MakeConfigRegisterTexts(*encoding.registers);
    return t.sCNF1Hex + " " + t.sCNF2Hex + " " + t.sCNF3Hex;
}

TEST(CrystalCheck, SuggestionsNearestFirst) {
    const struct {
        double designMHz, measuredKbps;
        std::vector<double> extra;
        std::vector<double> crystals;       // suggested, in order
        std::vector<std::string> corrected; // registers for 500 kbit/s there, or "none"
        const char* finding;
    } rows[] = {
        // Firmware for 16 MHz on an 8 MHz board: half the rate. On 8 MHz only 8 Tq reach
        // 500 kbit/s: the recommended segments for them (3+2+2, SJW 2), SAM kept.
        {16,
         250,
         {},
         {8},
         {"0x40 0xCA 0x01"},
         "The bus was measured at 250.0 kbit/s, but these registers give 500.0 kbit/s on 16 "
         "MHz: the board's oscillator is likely 8 MHz."},
        // Twice the crystal: the same segments with twice the prescaler.
        {16,
         1000,
         {},
         {32},
         {"0x01 0xF0 0x06"},
         "The bus was measured at 1000.0 kbit/s, but these registers give 500.0 kbit/s on 16 "
         "MHz: the board's oscillator is likely 32 MHz."},
        // Built for 20 MHz, 501 kbit/s seen: 16 MHz (-0.2 %) before the 16.1 given (+0.42 %),
        // where 500 kbit/s cannot be had.
        {20,
         501,
         {16.1},
         {16, 16.1},
         {"0x00 0xF0 0x06", "none"},
         "The bus was measured at 501.0 kbit/s, but these registers give 625.0 kbit/s on 20 "
         "MHz: the board's oscillator is likely 16 MHz."},
        {16,
         333,
         {},
         {},
         {},
         "The bus was measured at 333.0 kbit/s, but these registers give 500.0 kbit/s on 16 "
         "MHz, and no common oscillator gives the measured rate with them."},
        // Within 1 % of what the registers give: no finding, the design crystal itself.
        {16, 504, {16}, {16}, {"0x00 0xF0 0x06"}, ""},
        {16, 0, {}, {}, {}, ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        const BitTimingSetting registers = LibraryEntry(row.designMHz);
        const std::vector<CrystalSuggestion> suggestions =
            SuggestCrystals(registers, row.measuredKbps, 500, row.extra);
        std::vector<double> crystals;
        std::vector<std::string> corrected;
        for (const CrystalSuggestion& suggestion : suggestions) {
            crystals.push_back(suggestion.dOscFreqMHz);
            corrected.push_back(suggestion.corrected ? Registers(*suggestion.corrected) : "none");
            EXPECT_LE(std::abs(suggestion.dOffPercent), kCrystalMatchPercent) << i;
        }
        EXPECT_EQ(crystals, row.crystals) << i;
        EXPECT_EQ(corrected, row.corrected) << i;
        EXPECT_EQ(MeasuredRateFinding(registers, row.measuredKbps, suggestions).value_or(""),
                  row.finding)
            << i;
    }
}

} // namespace
} // namespace quillon
