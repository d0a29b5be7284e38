#include "timing/Decode.h"

#include "timing/CandidateSearch.h"
#include "timing/NumberFormat.h"
#include "timing/QuantumLength.h"

namespace quillon {

namespace {

// Register fields, as the encoder writes them.
constexpr unsigned kSjwShift = 6;
constexpr unsigned kBrpMask = 0x3F;
constexpr unsigned kBtlModeBit = 0x80;
constexpr unsigned kSamBit = 0x40;
constexpr unsigned kPhase1Shift = 3;
constexpr unsigned kThreeBits = 0x07;
constexpr unsigned kCnf3Bit7 = 0x80;
constexpr unsigned kWakFilBit = 0x40;
constexpr unsigned kCnf3Reserved = 0x38; // bits 5..3

std::string Hex(unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        text += kDigits[(value >> shift) & 0xF];
    }
    return text;
}

std::string Kbps(double bitsPerSecond) {
    return FormatNumber(bitsPerSecond / 1000.0, "0.0##") + " kbit/s";
}

} // namespace

BitTimingSetting SettingFromCnf(double dOscFreqMHz, std::uint8_t cnf1, std::uint8_t cnf2,
                                std::uint8_t cnf3) {
    BitTimingSetting setting;
    setting.dOscFreqMHz = dOscFreqMHz;
    setting.lBRPMinus1 = static_cast<int>(cnf1 & kBrpMask);
    SegmentSettings& s = setting.segments;
    s.lSJW = static_cast<int>(cnf1 >> kSjwShift) + 1;
    s.mode = (cnf2 & kBtlModeBit) != 0 ? Phase2Mode::Programmed : Phase2Mode::LargerOf;
    s.bSam = (cnf2 & kSamBit) != 0;
    s.lPhase1 = static_cast<int>((cnf2 >> kPhase1Shift) & kThreeBits) + 1;
    s.lPropagation = static_cast<int>(cnf2 & kThreeBits) + 1;
    s.bWakFil = (cnf3 & kWakFilBit) != 0;
    const int phseg2 = static_cast<int>(cnf3 & kThreeBits) + 1;
    // In the larger-of mode PHSEG2 means nothing; the programmed value is then kept legal
    // so the setting can stand in the window's controls.
    s.lPhase2 = s.mode == Phase2Mode::Programmed || phseg2 >= kMinPhase2 ? phseg2 : kMinPhase2;
    s.lTqCount = 1 + s.lPropagation + s.lPhase1 + Phase2Length(s);
    return setting;
}

namespace {

DecodedRegisters Finish(BitTimingSetting setting, std::optional<double> dTargetKbps,
                        RegisterLayout layout, std::vector<std::string> registerFindings) {
    setting.dTargetKbps = dTargetKbps ? *dTargetKbps : ActualRateKbps(setting);
    DecodedRegisters decoded;
    decoded.setting = setting;
    decoded.layout = layout;
    decoded.findings = std::move(registerFindings);
    for (std::string& finding : SettingFindings(DescribeBitTiming(setting))) {
        decoded.findings.push_back(std::move(finding));
    }
    return decoded;
}

} // namespace

double ActualRateKbps(const BitTimingSetting& setting) {
    const double dTq = GridTqSeconds(setting.dOscFreqMHz, setting.lBRPMinus1);
    return IsUsableQuantum(dTq) ? 1.0 / (setting.segments.lTqCount * dTq) / 1000.0 : 0.0;
}

DecodedRegisters DecodeCnfRegisters(double dOscFreqMHz, std::optional<double> dTargetKbps,
                                    std::uint8_t cnf1, std::uint8_t cnf2, std::uint8_t cnf3) {
    std::vector<std::string> findings;
    if ((cnf3 & kCnf3Reserved) != 0) {
        findings.push_back("CNF3 bits 5 to 3 are not used and should be 0; here they hold " +
                           Hex(cnf3 & kCnf3Reserved, 2) + ".");
    }
    if ((cnf2 & kBtlModeBit) == 0 && (cnf3 & kThreeBits) != 0) {
        findings.push_back("PHSEG2 in CNF3 (" + std::to_string((cnf3 & kThreeBits) + 1) +
                           " Tq) is ignored because BTLMODE in CNF2 is 0: phase 2 is the "
                           "larger of phase 1 and 2 Tq.");
    }
    DecodedRegisters decoded = Finish(SettingFromCnf(dOscFreqMHz, cnf1, cnf2, cnf3), dTargetKbps,
                                      RegisterLayout::Cnf, std::move(findings));
    decoded.bCnf3Bit7 = (cnf3 & kCnf3Bit7) != 0;
    return decoded;
}

DecodedRegisters DecodeCicfgRegisters(double dOscFreqMHz, std::optional<double> dTargetKbps,
                                      std::uint16_t cicfg1, std::uint16_t cicfg2) {
    // CiCFG1 is CNF1 in its low byte; CiCFG2 is CNF3:CNF2, and CNF3's bit 7 is not used.
    const unsigned cnf1 = cicfg1 & 0xFF;
    const unsigned cnf2 = cicfg2 & 0xFF;
    const unsigned cnf3 = cicfg2 >> 8;
    std::vector<std::string> findings;
    if ((cicfg1 & 0xFF00) != 0) {
        findings.push_back("CiCFG1 bits 15 to 8 are not used and should be 0; here they hold " +
                           Hex(cicfg1 & 0xFF00, 4) + ".");
    }
    const unsigned unused2 = cicfg2 & ((kCnf3Bit7 | kCnf3Reserved) << 8);
    if (unused2 != 0) {
        findings.push_back("CiCFG2 bits 15 and 13 to 11 are not used and should be 0; here "
                           "they hold " +
                           Hex(unused2, 4) + ".");
    }
    if ((cnf2 & kBtlModeBit) == 0 && (cnf3 & kThreeBits) != 0) {
        findings.push_back("SEG2PH in CiCFG2 (" + std::to_string((cnf3 & kThreeBits) + 1) +
                           " Tq) is ignored because SEG2PHTS is 0: phase 2 is the larger of "
                           "phase 1 and 2 Tq.");
    }
    return Finish(SettingFromCnf(dOscFreqMHz, static_cast<std::uint8_t>(cnf1),
                                 static_cast<std::uint8_t>(cnf2),
                                 static_cast<std::uint8_t>(cnf3 & ~kCnf3Bit7)),
                  dTargetKbps, RegisterLayout::Cicfg, std::move(findings));
}

std::vector<std::string> SettingFindings(const BitTimingFacts& facts) {
    const BitTimingSetting& setting = facts.setting;
    const SegmentSettings& s = setting.segments;
    std::vector<std::string> findings;
    if (s.lTqCount < kMinTqCount || s.lTqCount > kMaxTqCount) {
        findings.push_back("The bit has " + std::to_string(s.lTqCount) +
                           " time quanta; the calculator works with " +
                           std::to_string(kMinTqCount) + " to " + std::to_string(kMaxTqCount) +
                           ".");
    }
    if (facts.lPhase2Effective < kMinPhase2) {
        findings.push_back("Phase segment 2 is " + std::to_string(facts.lPhase2Effective) +
                           " Tq; it must be at least " + std::to_string(kMinPhase2) +
                           " Tq (the information processing time).");
    }
    if (!facts.Passes()) {
        findings.emplace_back(facts.sVerdict);
    }
    const double dTarget = setting.dTargetKbps * 1000.0;
    const double dActual = ActualRateKbps(setting) * 1000.0;
    if (RoundToWhole(dActual) != RoundToWhole(dTarget)) {
        findings.push_back("The registers give " + Kbps(dActual) + ", not the " + Kbps(dTarget) +
                           " asked for (" +
                           FormatNumber((dActual - dTarget) / dTarget * 100.0, "0.0##") + " %).");
    }
    if (facts.busIdleWarning) {
        findings.push_back("A bit of " + std::to_string(facts.lOscClocks) +
                           " OSC1 clocks is below the " + std::to_string(kMinBusIdleOscClocks) +
                           " that the MCP2510 revision A needs for its minimum bus idle time "
                           "(erratum).");
    }
    return findings;
}

} // namespace quillon
