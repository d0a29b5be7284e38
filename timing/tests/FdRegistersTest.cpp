// The FD register words read back: the exact inverse of the encoder over the field space of
// each word, hand-read words, and what a word holds beyond the timing.
#include "timing/fd/FdRegisters.h"
#include "timing/fd/FdTiming.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quillon {
namespace {

std::uint32_t Word(std::uint32_t brp, std::uint32_t tseg1, std::uint32_t tseg2, std::uint32_t sjw) {
    return brp << 24 | tseg1 << 16 | tseg2 << 8 | sjw;
}

// Reads the words, checks the fields against the register layout and writes them again.
void ExpectRoundTrip(const FdRegisterWords& words) {
    const FdSetting s = FdSettingFromWords(40, false, words);
    const auto field = [](std::uint32_t word, unsigned shift, std::uint32_t mask) {
        return static_cast<int>((word >> shift) & mask) + 1;
    };
    ASSERT_EQ(s.nominal.lBRP, field(words.nbtcfg, 24, 0xFF));
    ASSERT_EQ(s.nominal.Tseg1(), field(words.nbtcfg, 16, 0xFF));
    ASSERT_EQ(s.nominal.lPropagation, s.nominal.Tseg1() / 2);
    ASSERT_EQ(s.nominal.lPhase2, field(words.nbtcfg, 8, 0x7F));
    ASSERT_EQ(s.nominal.lSJW, field(words.nbtcfg, 0, 0x7F));
    ASSERT_EQ(s.data.lBRP, field(words.dbtcfg, 24, 0xFF));
    ASSERT_EQ(s.data.Tseg1(), field(words.dbtcfg, 16, 0x1F));
    ASSERT_EQ(s.data.lPropagation, s.data.Tseg1() / 2);
    ASSERT_EQ(s.data.lPhase2, field(words.dbtcfg, 8, 0x0F));
    ASSERT_EQ(s.data.lSJW, field(words.dbtcfg, 0, 0x0F));
    const FdRegisterEncoding again = EncodeFdRegisters(s);
    ASSERT_TRUE(again.words) << again.sError;
    ASSERT_EQ(again.words->nbtcfg, words.nbtcfg);
    ASSERT_EQ(again.words->dbtcfg, words.dbtcfg);
}

TEST(FdRegisters, DataWordExactInverseOverItsWholeFieldSpace) {
    for (std::uint32_t brp = 0; brp < 256; ++brp) {
        for (std::uint32_t tseg1 = 0; tseg1 < 32; ++tseg1) {
            for (std::uint32_t tseg2 = 0; tseg2 < 16; ++tseg2) {
                for (std::uint32_t sjw = 0; sjw < 16; ++sjw) {
                    ExpectRoundTrip({0x00440904, Word(brp, tseg1, tseg2, sjw), 0});
                }
            }
        }
    }
}

TEST(FdRegisters, NominalWordExactInverseOverEveryPairOfFields) {
    // Each pair of neighbouring fields over its whole range, the other two moving with it.
    for (std::uint32_t a = 0; a < 256; ++a) {
        for (std::uint32_t b = 0; b < 256; ++b) {
            ExpectRoundTrip({Word(a, b, (a + b) & 0x7F, (a ^ b) & 0x7F), 0x000D0401, 0});
            if (a < 128 && b < 128) {
                ExpectRoundTrip({Word(255 - b, 255 - a, a, b), 0x000D0401, 0});
            }
        }
    }
}

TEST(FdRegisters, TdcWordExactInverseButTdcmodThree) {
    for (std::uint32_t flags = 0; flags < 4; ++flags) {
        for (std::uint32_t mode = 0; mode < 4; ++mode) {
            for (std::uint32_t tdco = 0; tdco < 128; ++tdco) {
                for (std::uint32_t tdcv = 0; tdcv < 64; ++tdcv) {
                    const std::uint32_t tdc = flags << 24 | mode << 16 | tdco << 8 | tdcv;
                    const FdSetting s =
                        FdSettingFromWords(40, false, {0x00440904, 0x000D0401, tdc});
                    ASSERT_EQ(s.tdc.lOffset, tdco < 64 ? int(tdco) : int(tdco) - 128);
                    const std::uint32_t expected = mode == 3 ? tdc & ~(1U << 16) : tdc;
                    ASSERT_EQ(EncodeFdRegisters(s).words->tdc, expected) << std::hex << tdc;
                }
            }
        }
    }
}

TEST(FdRegisters, DecodedWordsWithTheirFindings) {
    const struct {
        std::uint32_t nbtcfg, dbtcfg;
        std::optional<std::uint32_t> tdc;
        // BRP/prop/phase1/phase2/SJW of both phases, TDC mode TDCO TDCV, the two flags
        std::string setting;
        std::string findings;
    } rows[] = {
        // The kernel's words for 500 kbit/s / 2 Mbit/s at 40 MHz: TSEG1 69 = 34 + 35.
        {0x00440904, 0x000D0401, 0x00020F00u, "1/34/35/10/5 1/7/7/5/2 auto 15 0 --", ""},
        // TDCO 0x7F is -1; TDCMOD 3 is automatic; EDGFLTEN and SID11EN.
        {0x00440904, 0x000D0401, 0x03037F05u, "1/34/35/10/5 1/7/7/5/2 auto -1 5 EF SID11",
         "TDCMOD 3 selects automatic TDC as 2 does; 2 is the value to write.\n"},
        // Every bit that holds no field set, in all three words; TSEG1 fields of 0.
        {0x00008080, 0x00E0F0F0, 0xFCFC80C0u, "1/0/1/1/1 1/0/1/1/1 off 0 0 --",
         "CiNBTCFG has bits set that belong to no field (0x00008080); they read as 0.\n"
         "CiDBTCFG has bits set that belong to no field (0x00E0F0F0); they read as 0.\n"
         "CiTDC has bits set that belong to no field (0xFCFC80C0); they read as 0.\n"},
        // No CiTDC: as the controller needs it, (1 + 7 + 7) x 2 = 30 with data BRP 2.
        {0x00440904, 0x010D0401, std::nullopt, "1/34/35/10/5 2/7/7/5/2 auto 30 0 --", ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const FdDecoded d =
            DecodeFdRegisters(40, false, rows[i].nbtcfg, rows[i].dbtcfg, rows[i].tdc);
        std::string text;
        for (const FdPhaseSetting* p : {&d.setting.nominal, &d.setting.data}) {
            text += std::to_string(p->lBRP) + "/" + std::to_string(p->lPropagation) + "/" +
                    std::to_string(p->lPhase1) + "/" + std::to_string(p->lPhase2) + "/" +
                    std::to_string(p->lSJW) + " ";
        }
        const FdTdcSetting& t = d.setting.tdc;
        text += std::string(TdcModeName(t.mode)) + " " + std::to_string(t.lOffset) + " " +
                std::to_string(t.lValue) + " " + (t.bEdgeFilter ? "EF " : "-") +
                (t.bSid11 ? "SID11" : "-");
        EXPECT_EQ(text, rows[i].setting) << "row " << i;
        std::string findings;
        for (const std::string& f : d.registerFindings) {
            findings += f + "\n";
        }
        EXPECT_EQ(findings, rows[i].findings) << "row " << i;
        EXPECT_EQ(d.bTdcGiven, rows[i].tdc.has_value()) << "row " << i;
        // The targets are the rates the words give, so no rate is reported as missed.
        EXPECT_EQ(d.setting.dNominalKbps,
                  40000.0 / (d.setting.nominal.lBRP * d.setting.nominal.TqCount()))
            << "row " << i;
    }
}

TEST(FdRegisters, ATseg1OfOneIsReadButBreaksTheNominalRange) {
    const FdDecoded d = DecodeFdRegisters(40, false, 0x00000000, 0x00000000, 0x00000000);
    const FdFacts f = DescribeFdTiming(d.setting);
    EXPECT_FALSE(f.Passes());
    EXPECT_EQ(f.sVerdict, "Nominal TSEG1 (propagation + phase 1) 1 is outside 2 to 256.");
    ASSERT_TRUE(f.registers);
    EXPECT_EQ(f.registers->nbtcfg, 0u);
}

} // namespace
} // namespace quillon
