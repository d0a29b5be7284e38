// Reading `ip -details link show` of CAN FD interfaces: both phases and the TDC of the
// mcp251xfd (with and without TDC) and the m_can, the oscillator behind SYSCLK or the CAN
// clock with and without the board's, and the text and JSON forms giving the same setting.
#include "timing/linux/FdLinuxDetails.h"
#include "timing/linux/LinuxDetails.h"
#include "timing/tests/DecodeSummary.h"
#include "timing/tests/IpDetailsSamples.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace quillon {
namespace {

std::string PhaseText(const FdPhaseSetting& p) {
    return std::to_string(p.lBRP) + " x " + std::to_string(p.lPropagation) + "+" +
           std::to_string(p.lPhase1) + "+" + std::to_string(p.lPhase2) + " SJW " +
           std::to_string(p.lSJW);
}

// "40 MHz | N 1 x 34+35+10 SJW 1 500 | D 1 x 7+7+5 SJW 1 2000 | auto 15/12": the oscillator
// (and PLL), both phases with their target rates in kbit/s, the TDC mode, TDCO and TDCV.
std::string Summary(const FdSetting& s) {
    std::ostringstream text;
    text << s.dOscFreqMHz << " MHz" << (s.bPll ? " PLL" : "") << " | N " << PhaseText(s.nominal)
         << " " << s.dNominalKbps << " | D " << PhaseText(s.data) << " " << s.dDataKbps << " | "
         << TdcModeName(s.tdc.mode);
    if (s.tdc.mode != TdcMode::Off) {
        text << " " << s.tdc.lOffset << "/" << s.tdc.lValue;
    }
    return text.str();
}

TEST(FdLinuxDetails, InterfacesOfBothDrivers) {
    const std::string tdc = IpSample("mcp251xfd-tdc.txt");
    const std::string noTdc = IpSample("mcp251xfd-no-tdc.txt");
    const std::string mcan = IpSample("m_can.json");
    const char* const kTdcOff =
        "The interface shows no TDC (neither TDC-AUTO nor TDC-MANUAL among its control modes): it "
        "is taken as off. Linux and iproute2 before 5.16 show none even where the driver runs "
        "it.";
    const char* const kMcanTdc = "The m_can driver sets the TDC itself (on only above 2.5 "
                                 "Mbit/s) and the interface does not show it: it is taken as the "
                                 "driver sets it.";
    // clang-format off
    const struct {
        const std::string& text;
        std::optional<double> osc;
        const char* setting;
        std::vector<std::string> findings; // what only the interface shows
        std::vector<std::string> notes;
        const char* codes; // every finding, on the default bus
    } rows[] = {
        // 40 MHz SYSCLK: a 40 MHz oscillator, or 4 MHz with the PLL.
        {tdc, {}, "40 MHz | N 1 x 34+35+10 SJW 1 500 | D 1 x 7+7+5 SJW 1 2000 | auto 15/12",
         {"SYSCLK 40 MHz (clock 40000000) comes from a 40 MHz oscillator, or from a 4 MHz one "
          "with the PLL, which the driver switches on for 4 MHz or less; it is taken as 40 MHz "
          "without the PLL."}, {}, "interface"},
        {tdc, 40, "40 MHz | N 1 x 34+35+10 SJW 1 500 | D 1 x 7+7+5 SJW 1 2000 | auto 15/12",
         {}, {}, ""},
        {tdc, 4, "4 MHz PLL | N 1 x 34+35+10 SJW 1 500 | D 1 x 7+7+5 SJW 1 2000 | auto 15/12",
         {}, {}, ""},
        // The device tree says 40 MHz, the board has 20: both phases at half their rates.
        {tdc, 20, "20 MHz | N 1 x 34+35+10 SJW 1 500 | D 1 x 7+7+5 SJW 1 2000 | auto 15/12",
         {"The interface counts on SYSCLK 40 MHz (clock 40000000), not the 20 MHz that the 20 "
          "MHz oscillator given makes: its device tree names the wrong oscillator."},
         {}, "interface rate-off-target rate-off-target"},
        // TDC switched off at 1 Mbit/s with a data BRP of 1; 20 MHz could be 2 MHz with the PLL.
        {noTdc, {}, "20 MHz | N 1 x 15+16+8 SJW 2 500 | D 1 x 7+7+5 SJW 2 1000 | off",
         {"SYSCLK 20 MHz (clock 20000000) comes from a 20 MHz oscillator, or from a 2 MHz one "
          "with the PLL, which the driver switches on for 4 MHz or less; it is taken as 20 MHz "
          "without the PLL."}, {kTdcOff}, "fd-tdc-mode interface sample-point-early"},
        // The m_can's 80 MHz CAN clock, its TDC off at 2 Mbit/s as the driver leaves it.
        {mcan, {}, "80 MHz | N 1 x 69+70+20 SJW 1 500 | D 1 x 14+15+10 SJW 1 2000 | off",
         {}, {kMcanTdc}, "fd-tdc-off"},
        {mcan, 40, "40 MHz | N 1 x 69+70+20 SJW 1 500 | D 1 x 14+15+10 SJW 1 2000 | off",
         {"The interface counts on an 80 MHz CAN clock (clock 80000000), not the 40 MHz given; "
          "the rates are worked out on the one given."},
         {kMcanTdc}, "interface rate-off-target rate-off-target fd-tdc-off"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const FdIpDetailsDecoding decoding = DecodeFdIpDetails(row.text, row.osc);
        ASSERT_TRUE(decoding.setting) << row.setting << ": " << decoding.sError;
        EXPECT_EQ(Summary(*decoding.setting), row.setting);
        EXPECT_EQ(Texts(decoding.findings), row.findings) << row.setting;
        EXPECT_EQ(decoding.notes, row.notes) << row.setting;
        EXPECT_EQ(Codes(DescribeFdIpDetails(decoding).findings), row.codes) << row.setting;
    }
}

// The same interface printed by `ip -details link show` and by its -json form.
TEST(FdLinuxDetails, TextAndJsonGiveTheSameSetting) {
    for (const char* fd : {"mcp251xfd-tdc", "mcp251xfd-no-tdc", "m_can"}) {
        const FdIpDetailsDecoding text = DecodeFdIpDetails(IpSample(fd + std::string(".txt")), {});
        const FdIpDetailsDecoding json = DecodeFdIpDetails(IpSample(fd + std::string(".json")), {});
        ASSERT_TRUE(text.setting && json.setting) << fd << text.sError << json.sError;
        EXPECT_EQ(*text.setting, *json.setting) << fd;
        EXPECT_EQ(text.findings, json.findings) << fd;
        EXPECT_EQ(text.notes, json.notes) << fd;
        EXPECT_EQ(text.sInterface, json.sInterface) << fd;
        EXPECT_EQ(text.form, IpForm::Text);
        EXPECT_EQ(json.form, IpForm::Json);
    }
    for (const auto& [textName, jsonName] : {std::pair{"mcp251x.txt", "mcp251x-all-links.json"},
                                             std::pair{"at91_can.txt", "at91_can.json"}}) {
        const IpDetailsDecoding text = DecodeIpDetails(IpSample(textName), {}, {});
        const IpDetailsDecoding json = DecodeIpDetails(IpSample(jsonName), {}, {});
        ASSERT_TRUE(text.decoded && json.decoded) << textName << text.sError << json.sError;
        EXPECT_EQ(Summary(*text.decoded), Summary(*json.decoded)) << textName;
        EXPECT_EQ(text.decoded->setting.pController, json.decoded->setting.pController);
        EXPECT_EQ(text.decoded->findings, json.decoded->findings) << textName;
        EXPECT_EQ(text.sInterface, "can0");
        EXPECT_EQ(json.sInterface, "can0");
    }
}

} // namespace
} // namespace quillon
