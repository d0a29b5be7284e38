#include "timing/classic/Registers.h"

#include <limits>

namespace quillon {
inline namespace classic {

namespace {

constexpr long long kByteMax = 255;

// Checks one intermediate register sum; on failure fills `sError` with the sum and how it
// was formed, so the caller can show which field is out of range.
bool FitsByte(long long value, std::string_view sRegister, std::string_view sFormula,
              std::string& sError) {
    if (value >= 0 && value <= kByteMax) {
        return true;
    }
    sError = std::string(sRegister) + " overflow: " + std::string(sFormula) + " = " +
             std::to_string(value) + (value < 0 ? " is below 0" : " is above 255");
    return false;
}

} // namespace

RegisterEncoding EncodeConfigRegisters(int lBRPMinus1, int lSJW, int lPropagation, int lPhase1,
                                       int lPhase2, bool bSam, bool bWakFil, Phase2Mode mode) {
    // The fields are added, not or-ed, one step at a time; each step is computed wide so an
    // absurd input reports its sum instead of wrapping.
    RegisterEncoding encoding;
    const bool bProgrammed = mode == Phase2Mode::Programmed;

    const long long lCNF1 = 64LL * (lSJW - 1LL) + lBRPMinus1;
    if (!FitsByte(lCNF1, "CNF1", "64 x (SJW - 1) + BRP-1", encoding.sError)) {
        return encoding;
    }

    int lCNF2 = bProgrammed ? 128 : 0;
    if (bSam) {
        lCNF2 = 64 + lCNF2;
    }
    const long long lWithPhase1 = 8LL * (lPhase1 - 1LL) + lCNF2;
    if (!FitsByte(lWithPhase1, "CNF2", "8 x (phase 1 - 1) + CNF2", encoding.sError)) {
        return encoding;
    }
    lCNF2 = static_cast<int>(lWithPhase1);
    const long long lWithPropagation = (lPropagation - 1LL) + lCNF2;
    if (!FitsByte(lWithPropagation, "CNF2", "(propagation - 1) + CNF2", encoding.sError)) {
        return encoding;
    }
    lCNF2 = static_cast<int>(lWithPropagation);

    int lCNF3 = bWakFil ? 64 : 0;
    if (bProgrammed) {
        const long long lWithPhase2 = lCNF3 + static_cast<long long>(lPhase2) - 1;
        if (!FitsByte(lWithPhase2, "CNF3", "CNF3 + phase 2 - 1", encoding.sError)) {
            return encoding;
        }
        lCNF3 = static_cast<int>(lWithPhase2);
    }

    ConfigRegisters registers;
    registers.CNF1 = static_cast<std::uint8_t>(lCNF1);
    registers.CNF2 = static_cast<std::uint8_t>(lCNF2);
    registers.CNF3 = static_cast<std::uint8_t>(lCNF3);
    encoding.registers = registers;
    return encoding;
}

std::string ByteToHex(const std::uint8_t& value) {
    constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    return {kHexDigits[value >> 4], kHexDigits[value & 0x0F]};
}

std::string ByteToBinary(const std::uint8_t& value) {
    std::string sBits;
    for (int bit = 7; bit >= 0; --bit) {
        sBits += ((value >> bit) & 1) != 0 ? '1' : '0';
    }
    return sBits;
}

ConfigRegisterTexts MakeConfigRegisterTexts(const ConfigRegisters& registers) {
    const std::string sBin1 = ByteToBinary(registers.CNF1);
    const std::string sBin2 = ByteToBinary(registers.CNF2);
    const std::string sBin3 = ByteToBinary(registers.CNF3);
    const std::string sHex1 = ByteToHex(registers.CNF1);
    const std::string sHex2 = ByteToHex(registers.CNF2);
    const std::string sHex3 = ByteToHex(registers.CNF3);

    ConfigRegisterTexts texts;
    texts.sCNF1Bin = "b'" + sBin1 + "'";
    texts.sCNF1Hex = "0x" + sHex1;
    texts.sCNF2Bin = "b'" + sBin2 + "'";
    texts.sCNF2Hex = "0x" + sHex2;
    texts.sCNF3Bin = "b'" + sBin3 + "'";
    texts.sCNF3Hex = "0x" + sHex3;
    texts.sCICFG1Bin = "b'00000000" + sBin1 + "'";
    texts.sCICFG1Hex = "0x00" + sHex1;
    texts.sCICFG2Bin = "b'" + sBin3 + sBin2 + "'";
    texts.sCICFG2Hex = "0x" + sHex3 + sHex2;
    return texts;
}

int OscClocksPerBit(int lBRPMinus1, int lTqCount) {
    // Wide arithmetic, clamped, so that out-of-range inputs cannot overflow.
    const long long lClocks = 2LL * (lBRPMinus1 + 1LL) * lTqCount;
    if (lClocks > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (lClocks < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(lClocks);
}

std::optional<std::string> BusIdleErrataMessage(int lBRPMinus1, int lTqCount) {
    const int lClocks = OscClocksPerBit(lBRPMinus1, lTqCount);
    if (lClocks >= kMinBusIdleOscClocks) {
        return std::nullopt;
    }
    return std::string("According to MCP2510 Silicon Revision A Errata Sheet, the settings you "
                       "selected expose you to a ") +
           '"' + "Miniumum Bus Idle Time" + '"' + " problem." + " You currently have " +
           std::to_string(lClocks) + " OSC1 clocks and the minimum is " +
           std::to_string(kMinBusIdleOscClocks) +
           ". Please refer to the latest MCP2510 Errata sheets to determine if this problem " +
           "has been fixed.";
}

} // namespace classic
} // namespace quillon
