#pragma once
// The register words of an FD setting for both families and the way back. The MCP251xFD
// has three 32-bit words: CiNBTCFG = BRP[31:24] TSEG1[23:16] TSEG2[14:8] SJW[6:0], CiDBTCFG =
// BRP[31:24] TSEG1[20:16] TSEG2[11:8] SJW[3:0] (every field its value minus 1) and CiTDC =
// EDGFLTEN[25] SID11EN[24] TDCMOD[17:16] TDCO[14:8] (two's complement) TDCV[5:0]. The CAN FD
// module of the dsPIC33C holds the same words as 16-bit halves (C1NBTCFGH/L, C1DBTCFGH/L,
// C1TDCH/L). Reading words back gives the setting the controller runs with; the split of
// TSEG1 into propagation and phase 1, which no register holds, is the kernel's.
#include "timing/FdSetting.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

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
FdRegisterEncoding EncodeFdRegisters(const FdSetting& setting);

// One register as the report and the command line list it: the nine registers of both
// families, MCP251xFD first, each with its hexadecimal text ("0x00440904", "0x0044").
struct FdRegisterText {
    std::string_view sName;
    std::uint32_t value = 0;
    int lBits = 32;
    std::string sHex;
};
inline constexpr std::size_t kFdRegisterCount = 9;
using FdRegisterTexts = std::array<FdRegisterText, kFdRegisterCount>;
FdRegisterTexts MakeFdRegisterTexts(const FdRegisterWords& words);
std::string WordToHex(std::uint32_t value, int bits); // "0x00440904" for 32 bits

// The timing fields of the three words, and nothing else: the exact inverse of
// EncodeFdRegisters for the kernel's split of TSEG1. TDCMOD 3 reads as automatic. The target
// rates are left at 0.
FdSetting FdSettingFromWords(double dOscFreqMHz, bool bPll, const FdRegisterWords& words);

struct FdDecoded {
    FdSetting setting;      // the target rates are the rates the registers give
    bool bTdcGiven = false; // without CiTDC the TDC is taken as the controller needs it
    // What the words hold beyond the timing: bits that belong to no field, TDCMOD 3.
    std::vector<std::string> registerFindings;
};
FdDecoded DecodeFdRegisters(double dOscFreqMHz, bool bPll, std::uint32_t nbtcfg,
                            std::uint32_t dbtcfg, std::optional<std::uint32_t> tdc);

// The rate one phase of a setting gives, in kbit/s (0 without a usable SYSCLK or bit).
double FdActualRateKbps(const FdSetting& setting, FdPhase phase);

} // namespace quillon
