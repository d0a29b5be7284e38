#pragma once
// Configuration register values of the two controller families (CNF1..CNF3 /
// BRGCON1..3 and CICFG1/CICFG2), their binary and hexadecimal texts, and the MCP2510
// revision A minimum bus idle time check.
#include "timing/classic/Segments.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace classic {

struct ConfigRegisters {
    std::uint8_t CNF1 = 0;
    std::uint8_t CNF2 = 0;
    std::uint8_t CNF3 = 0;

    std::uint16_t CICFG1() const { return CNF1; }
    std::uint16_t CICFG2() const { return static_cast<std::uint16_t>((CNF3 << 8) | CNF2); }
    friend bool operator==(const ConfigRegisters& a, const ConfigRegisters& b) {
        return a.CNF1 == b.CNF1 && a.CNF2 == b.CNF2 && a.CNF3 == b.CNF3;
    }
};

// Either the registers or the reason there are none (a field sum above 255).
struct RegisterEncoding {
    std::optional<ConfigRegisters> registers;
    std::string sError;
    explicit operator bool() const { return registers.has_value(); }
};

// Adds the fields in register order; an intermediate value above 255 (or below 0) is an
// overflow and produces no registers.
// The error then names the register, the sum and its value, e.g.
// "CNF1 overflow: 64 x (SJW - 1) + BRP-1 = 319 is above 255".
RegisterEncoding EncodeConfigRegisters(int lBRPMinus1, int lSJW, int lPropagation, int lPhase1,
                                       int lPhase2, bool bSam, bool bWakFil, Phase2Mode mode);
inline RegisterEncoding EncodeConfigRegisters(int lBRPMinus1, const SegmentSettings& s) {
    return EncodeConfigRegisters(lBRPMinus1, s.lSJW, s.lPropagation, s.lPhase1, s.lPhase2, s.bSam,
                                 s.bWakFil, s.mode);
}

std::string ByteToHex(const std::uint8_t& value);    // "05", "AB"
std::string ByteToBinary(const std::uint8_t& value); // "10010001"

struct ConfigRegisterTexts {
    std::string sCNF1Bin, sCNF1Hex;
    std::string sCNF2Bin, sCNF2Hex;
    std::string sCNF3Bin, sCNF3Hex;
    std::string sCICFG1Bin, sCICFG1Hex;
    std::string sCICFG2Bin, sCICFG2Hex;
};
ConfigRegisterTexts MakeConfigRegisterTexts(const ConfigRegisters& registers);

inline constexpr int kMinBusIdleOscClocks = 26;
inline constexpr std::string_view kBusIdleErrataTitle = "Potential Problem with settings";

// OSC1 clocks in one bit: 2 x (BRP-1 + 1) x Tq count.
int OscClocksPerBit(int lBRPMinus1, int lTqCount);
// The warning text when a bit is shorter than 26 OSC1 clocks, nothing otherwise.
std::optional<std::string> BusIdleErrataMessage(int lBRPMinus1, int lTqCount);

} // namespace classic
} // namespace quillon
