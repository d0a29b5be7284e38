#pragma once
// The register words of an FD setting for every FD controller and the way back; the M_CAN's
// own words are encoded and read in McanRegisters.h, the others here. The MCP251xFD
// has three 32-bit words: CiNBTCFG = BRP[31:24] TSEG1[23:16] TSEG2[14:8] SJW[6:0], CiDBTCFG =
// BRP[31:24] TSEG1[20:16] TSEG2[11:8] SJW[3:0] (every field its value minus 1) and CiTDC =
// EDGFLTEN[25] SID11EN[24] TDCMOD[17:16] TDCO[14:8] (two's complement) TDCV[5:0]. The CAN FD
// module of the dsPIC33C holds the same words as 16-bit halves (C1NBTCFGH/L, C1DBTCFGH/L,
// C1TDCH/L). Reading words back gives the setting the controller runs with; the split of
// TSEG1 into propagation and phase 1, which no register holds, is the kernel's.
#include "timing/fd/FdSetting.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace fd {

// The three words in the controller's order: CiNBTCFG, CiDBTCFG, CiTDC, or on the M_CAN
// NBTP, DBTP, TDCR.
struct FdRegisterWords {
    std::uint32_t nbtcfg = 0; // CiNBTCFG
    std::uint32_t dbtcfg = 0; // CiDBTCFG
    std::uint32_t tdc = 0;    // CiTDC
    friend bool operator==(const FdRegisterWords& a, const FdRegisterWords& b) {
        return a.nbtcfg == b.nbtcfg && a.dbtcfg == b.dbtcfg && a.tdc == b.tdc;
    }
};

// The bits of each word that hold a field; the others read as 0 and are written as 0.
inline constexpr std::uint32_t kNbtcfgFieldMask = 0xFFFF7F7F;
inline constexpr std::uint32_t kDbtcfgFieldMask = 0xFF1F0F0F;
inline constexpr std::uint32_t kTdcFieldMask = 0x03037F3F;

// Either the words or the field that does not fit its register.
struct FdRegisterEncoding {
    std::optional<FdRegisterWords> words;
    std::string sError; // "Data TSEG1 33 does not fit CiDBTCFG (1 to 32)."
};
// The words of the setting's controller (FdSetting::Row).
FdRegisterEncoding EncodeFdRegisters(const FdSetting& setting);

// One register as the report and the command line list it, with its hexadecimal text
// ("0x00440904", "0x0044") and the family whose register it is.
struct FdRegisterText {
    std::string_view sName;
    std::uint32_t value = 0;
    int lBits = 32;
    std::string sHex;
    std::string_view sFamily;    // "MCP251xFD", "dsPIC33C", "M_CAN"
    std::string_view sFamilyKey; // the same as JSON names it: "mcp251xfd", "dspic33c", "mcan"
};
using FdRegisterTexts = std::vector<FdRegisterText>;
// The registers of the row (nullptr: the default, both the MCP251xFD's three words and the
// dsPIC33C's six halves, MCP251xFD first).
FdRegisterTexts MakeFdRegisterTexts(const FdRegisterWords& words, const Controller* row = nullptr);
std::string WordToHex(std::uint32_t value, int bits); // "0x00440904" for 32 bits

// The timing fields of the three words of the row (nullptr: the MCP251xFD), and nothing
// else: the exact inverse of EncodeFdRegisters for the kernel's split of TSEG1. TDCMOD 3
// reads as automatic. The target rates are left at 0.
FdSetting FdSettingFromWords(double dOscFreqMHz, bool bPll, const FdRegisterWords& words,
                             const Controller* row = nullptr);

// A field of a register word: its name in messages, its lowest bit and its width.
struct FdRegisterField {
    std::string_view sName; // "TSEG1"
    unsigned shift;
    unsigned bits;
};
std::uint32_t ReadField(std::uint32_t word, const FdRegisterField& field);
// A length into its field as length - 1; false with the reason when it does not fit.
bool PutLength(std::uint32_t& word, const FdRegisterField& field, int value, std::string_view phase,
               std::string_view registerName, std::string& error);
// The finding about bits of `word` outside `fieldMask`, if any.
void ReportUnusedBits(std::vector<std::string>& findings, std::string_view registerName,
                      std::uint32_t word, std::uint32_t fieldMask);

struct FdDecoded {
    FdSetting setting;      // the target rates are the rates the registers give
    bool bTdcGiven = false; // without CiTDC the TDC is taken as the controller needs it
    // What the words hold beyond the timing: bits that belong to no field, TDCMOD 3.
    std::vector<std::string> registerFindings;
};
// The words of the row (nullptr: the MCP251xFD) in its order; the third may be left out.
FdDecoded DecodeFdRegisters(double dOscFreqMHz, bool bPll, std::uint32_t nbtcfg,
                            std::uint32_t dbtcfg, std::optional<std::uint32_t> tdc,
                            const Controller* row = nullptr);

// The names of the row's three words: "CiNBTCFG", "CiDBTCFG", "CiTDC" or "NBTP", "DBTP",
// "TDCR".
std::array<std::string_view, 3> FdWordNames(const Controller* row);

// The words of the row (nullptr: the MCP251xFD) as one comma-separated text in its order,
// "0x00440904,0x000D0401[,0x00020F00]", read with the one register-value grammar
// (RegisterReading.h); the third word may be left out. Nothing, with `error` naming the
// word and what is wrong, for anything else.
std::optional<std::vector<std::uint32_t>> ReadFdWordList(std::string_view text,
                                                         const Controller* row, std::string& error);

// The rate one phase of a setting gives, in kbit/s (0 without a usable clock or bit).
double FdActualRateKbps(const FdSetting& setting, FdPhase phase);

} // namespace fd
} // namespace quillon
