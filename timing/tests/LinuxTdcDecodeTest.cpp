// Which kernel's driver wrote a decoded TDC, and the TDC decode takes without the word: the
// 2 Mbit/s data phase of 0x000D0401 at 40 MHz (BRP 1, TSEG1 14) gives TDCO 14 before Linux
// 5.16 and 15 since; BRP 2 with TSEG1 32 (0x011F0700) gives 64 and 66, both limited to 63.
#include "timing/linux/LinuxTdcDecode.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

constexpr std::uint32_t kNominal = 0x00440904;

TEST(LinuxTdcDecode, NamesTheKernelWhoseDriverWroteTheTdc) {
    const Controller* mcan = FindController("mcan");
    const struct {
        const Controller* row;
        std::uint32_t nbtcfg, dbtcfg;
        std::optional<std::uint32_t> tdc;
        std::string finding; // the start of the finding's text; empty: none
    } rows[] = {
        {nullptr, kNominal, 0x000D0401, 0x00020E00,
         "TDC automatic with TDCO 14 matches the mcp251xfd driver before Linux 5.16 (TDCO = "
         "DBRP x (DPROP + DPH1)); the CAN core's TDC of Linux 5.16 and later gives TDC "
         "automatic with TDCO 15."},
        {nullptr, kNominal, 0x000D0401, 0x00020F00,
         "TDC automatic with TDCO 15 matches the CAN core's TDC of Linux 5.16 and later (TDCO = "
         "DBRP x (1 + DPROP + DPH1)); the mcp251xfd driver before Linux 5.16 wrote TDC "
         "automatic with TDCO 14."},
        {nullptr, kNominal, 0x000D0401, 0x00021000, "TDC automatic with TDCO 16 matches neither"},
        // Manual mode is never what a driver writes by itself.
        {nullptr, kNominal, 0x000D0401, 0x00010F00,
         "TDC manual with TDCO 15 and TDCV 0 matches "
         "neither"},
        {FindController("mcp2518fd"), kNominal, 0x011F0700, 0x00023F00,
         "TDC automatic with TDCO 63 matches both the mcp251xfd driver before Linux 5.16 and "
         "the CAN core's TDC of Linux 5.16 and later."},
        // A data BRP of 3: the CAN core leaves TDC off, the old driver wrote 3 x 14 = 42.
        {nullptr, kNominal, 0x020D0401, 0x00000000,
         "TDC off matches the CAN core's TDC of Linux 5.16 and later (off with a data BRP above "
         "2); the mcp251xfd driver before Linux 5.16 wrote TDC automatic with TDCO 42."},
        {nullptr, kNominal, 0x000D0401, std::nullopt, ""},
        {FindController("dspic33c"), kNominal, 0x000D0401, 0x00020E00, ""},
        // The m_can driver's rule is the same in every Linux: off at 2 Mbit/s.
        {mcan, 0x0A00520B, 0x00001052, 0x00000000,
         "TDC off matches the m_can driver's own TDC (the same in every Linux)."},
        {mcan, 0x0A00520B, 0x00801052, 0x00001200,
         "TDC automatic with TDCO 18 is not what the m_can driver writes by itself in any Linux "
         "(TDC off): it was set by hand or by other software."},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const FdDecoded d = DecodeFdRegisters(rows[i].row == mcan ? 48 : 40, false, rows[i].nbtcfg,
                                              rows[i].dbtcfg, rows[i].tdc, rows[i].row);
        const std::optional<Finding> f = LinuxTdcGenerationFinding(d);
        ASSERT_EQ(f.has_value(), !rows[i].finding.empty()) << "row " << i;
        if (f) {
            EXPECT_EQ(f->sText.substr(0, rows[i].finding.size()), rows[i].finding) << "row " << i;
            EXPECT_EQ(f->sCode, code::kLinuxTdcGeneration) << "row " << i;
            EXPECT_EQ(f->severity, Severity::Advice) << "row " << i;
        }
    }
}

TEST(LinuxTdcDecode, WithoutTheWordTakesTheTdcOfTheKernelAskedFor) {
    const struct {
        const Controller* row;
        std::uint32_t nbtcfg, dbtcfg;
        std::optional<std::uint32_t> tdc;
        LinuxTdcGeneration generation;
        bool taken;
        TdcMode mode;
        int offset;
    } rows[] = {
        {nullptr, kNominal, 0x000D0401, std::nullopt, LinuxTdcGeneration::Old, true, TdcMode::Auto,
         14},
        {nullptr, kNominal, 0x000D0401, std::nullopt, LinuxTdcGeneration::New, true, TdcMode::Auto,
         15},
        {nullptr, kNominal, 0x020D0401, std::nullopt, LinuxTdcGeneration::Old, true, TdcMode::Auto,
         42},
        // The word given stays as read.
        {nullptr, kNominal, 0x000D0401, 0x00021000, LinuxTdcGeneration::Old, false, TdcMode::Auto,
         16},
        // The M_CAN's DBTP says whether TDC is on; no Linux driver runs the dsPIC33C.
        {FindController("mcan"), 0x0A00520B, 0x00801052, std::nullopt, LinuxTdcGeneration::Old,
         false, TdcMode::Auto, 18},
        {FindController("dspic33c"), kNominal, 0x000D0401, std::nullopt, LinuxTdcGeneration::Old,
         false, TdcMode::Auto, 15},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        FdDecoded d = DecodeFdRegisters(rows[i].row == FindController("mcan") ? 48 : 40, false,
                                        rows[i].nbtcfg, rows[i].dbtcfg, rows[i].tdc, rows[i].row);
        EXPECT_EQ(TakeLinuxDriverTdc(d, rows[i].generation), rows[i].taken) << "row " << i;
        EXPECT_EQ(d.setting.tdc.mode, rows[i].mode) << "row " << i;
        EXPECT_EQ(d.setting.tdc.lOffset, rows[i].offset) << "row " << i;
    }
}

} // namespace
} // namespace quillon
