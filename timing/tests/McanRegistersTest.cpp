// The M_CAN's NBTP, DBTP and TDCR read back: the exact inverse of the encoder over the whole
// field space of the three words, the bits that belong to no field, and what the words
// cannot hold.
#include "timing/fd/McanRegisters.h"
#include "timing/common/Controllers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace quillon {
namespace {

// The layout as the M_CAN's manual gives it, each field with what the setting holds for it.
struct Field {
    const char* name;
    std::size_t word; // NBTP, DBTP, TDCR
    unsigned shift, bits;
    int (*read)(const FdSetting&);
};
const Field kFields[] = {
    {"NSJW", 0, 25, 7, [](const FdSetting& s) { return s.nominal.lSJW - 1; }},
    {"NBRP", 0, 16, 9, [](const FdSetting& s) { return s.nominal.lBRP - 1; }},
    {"NTSEG1", 0, 8, 8, [](const FdSetting& s) { return s.nominal.Tseg1() - 1; }},
    {"NTSEG2", 0, 0, 7, [](const FdSetting& s) { return s.nominal.lPhase2 - 1; }},
    {"TDC", 1, 23, 1, [](const FdSetting& s) { return int(s.tdc.mode == TdcMode::Auto); }},
    {"DBRP", 1, 16, 5, [](const FdSetting& s) { return s.data.lBRP - 1; }},
    {"DTSEG1", 1, 8, 5, [](const FdSetting& s) { return s.data.Tseg1() - 1; }},
    {"DTSEG2", 1, 4, 4, [](const FdSetting& s) { return s.data.lPhase2 - 1; }},
    {"DSJW", 1, 0, 4, [](const FdSetting& s) { return s.data.lSJW - 1; }},
    {"TDCO", 2, 8, 7, [](const FdSetting& s) { return s.tdc.lOffset; }},
    {"TDCF", 2, 0, 7, [](const FdSetting& s) { return s.tdc.lFilter; }},
};
constexpr std::size_t kFieldCount = std::size(kFields);
using Values = std::array<std::uint32_t, kFieldCount>;

std::uint32_t Range(std::size_t field) {
    return 1U << kFields[field].bits;
}

// Reads the words the values make, checks every field and the kernel's split of TSEG1, and
// writes them again.
void ExpectRoundTrip(const Values& values) {
    std::array<std::uint32_t, 3> words{};
    for (std::size_t k = 0; k < kFieldCount; ++k) {
        words[kFields[k].word] |= values[k] << kFields[k].shift;
    }
    const Controller* mcan = FindController("mcan");
    const FdSetting s = FdSettingFromWords(48, false, {words[0], words[1], words[2]}, mcan);
    for (std::size_t k = 0; k < kFieldCount; ++k) {
        ASSERT_EQ(kFields[k].read(s), static_cast<int>(values[k])) << kFields[k].name;
    }
    ASSERT_EQ(s.nominal.lPropagation, s.nominal.Tseg1() / 2);
    ASSERT_EQ(s.data.lPropagation, s.data.Tseg1() / 2);
    const FdRegisterEncoding again = EncodeFdRegisters(s);
    ASSERT_TRUE(again.words) << again.sError;
    ASSERT_EQ(again.words->nbtcfg, words[0]) << std::hex << words[0];
    ASSERT_EQ(again.words->dbtcfg, words[1]) << std::hex << words[1];
    ASSERT_EQ(again.words->tdc, words[2]) << std::hex << words[2];
    ASSERT_TRUE(McanRegisterFindings(words[0], words[1], words[2]).empty());
}

TEST(McanRegisters, EveryValueOfEveryFieldWithTheOthersMoving) {
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        for (std::uint32_t v = 0; v < Range(i); ++v) {
            Values values{};
            for (std::size_t k = 0; k < kFieldCount; ++k) {
                values[k] = k == i ? v : (v * 7 + k * 29) % Range(k);
            }
            ExpectRoundTrip(values);
        }
    }
}

TEST(McanRegisters, EachFieldAtItsEndsWithEveryOtherFieldOverItsRange) {
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        for (const std::uint32_t end : {0U, Range(i) - 1}) {
            for (std::size_t j = 0; j < kFieldCount; ++j) {
                for (std::uint32_t w = 0; w < Range(j) && j != i; ++w) {
                    Values values{};
                    for (std::size_t k = 0; k < kFieldCount; ++k) {
                        values[k] = k == i ? end : k == j ? w : (w * 5 + k * 3) % Range(k);
                    }
                    ExpectRoundTrip(values);
                }
            }
        }
    }
}

TEST(McanRegisters, BitsOutsideTheFieldsAreFindings) {
    const struct {
        std::uint32_t nbtp, dbtp;
        std::optional<std::uint32_t> tdcr;
        std::string findings;
    } rows[] = {
        {0x0A00520B, 0x00801052, 0x00001200u, ""},
        // NBTP bit 7, the only one between NTSEG1 and NTSEG2.
        {0x0A00528B, 0x00801052, std::nullopt,
         "NBTP has bits set that belong to no field (0x00000080); they read as 0.\n"},
        // DBTP 31..24, 22..21 and 15..13; TDCR 31..15 and 7.
        {0x0A00520B, 0xFFE0F052, 0xFFFF9280u,
         "DBTP has bits set that belong to no field (0xFF60E000); they read as 0.\n"
         "TDCR has bits set that belong to no field (0xFFFF8080); they read as 0.\n"},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        std::string findings;
        for (const std::string& f :
             McanRegisterFindings(rows[i].nbtp, rows[i].dbtp, rows[i].tdcr)) {
            findings += f + "\n";
        }
        EXPECT_EQ(findings, rows[i].findings) << "row " << i;
    }
}

TEST(McanRegisters, RefusesWhatTheWordsCannotHold) {
    FdSetting good;
    good.controller = FindController("same54");
    good.nominal = {1, 41, 42, 12, 6};
    good.data = {1, 8, 9, 6, 3};
    good.tdc.mode = TdcMode::Auto;
    good.tdc.lOffset = 18;
    ASSERT_TRUE(EncodeFdRegisters(good).words);
    const struct {
        void (*change)(FdSetting&);
        std::string error;
    } rows[] = {
        {[](FdSetting& s) { s.nominal.lBRP = 513; },
         "Nominal BRP 513 does not fit NBTP (1 to 512)."},
        {[](FdSetting& s) { s.data.lBRP = 33; }, "Data BRP 33 does not fit DBTP (1 to 32)."},
        {[](FdSetting& s) { s.data.lPhase2 = 17; }, "Data TSEG2 17 does not fit DBTP (1 to 16)."},
        {[](FdSetting& s) { s.tdc.lOffset = 128; },
         "TDCO 128 or TDCF 0 does not fit TDCR (0 to 127 each)."},
        {[](FdSetting& s) { s.tdc.lOffset = -1; },
         "TDCO -1 or TDCF 0 does not fit TDCR (0 to 127 each)."},
        {[](FdSetting& s) { s.tdc.mode = TdcMode::Manual; },
         "The M_CAN has no manual TDC (no TDCV): TDC is automatic or off."},
        {[](FdSetting& s) { s.tdc.bSid11 = true; }, "The M_CAN has no EDGFLTEN or SID11EN bit."},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        FdSetting s = good;
        rows[i].change(s);
        const FdRegisterEncoding e = EncodeFdRegisters(s);
        EXPECT_FALSE(e.words) << "row " << i;
        EXPECT_EQ(e.sError, rows[i].error) << "row " << i;
    }
}

} // namespace
} // namespace quillon
