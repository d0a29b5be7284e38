#include "timing/classic/Decode.h"

#include "timing/classic/CandidateSearch.h"
#include "timing/classic/ClassicLayouts.h"
#include "timing/classic/QuantumLength.h"
#include "timing/common/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace quillon {
inline namespace classic {

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
constexpr unsigned kCnf3Unused = 0x38; // bits 5..3
constexpr unsigned kByte = 0xFF;

std::string Hex(unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        text += kDigits[(value >> shift) & 0xF];
    }
    return text;
}

std::string Name(std::string_view name) {
    return std::string(name);
}

// CNF3 bit 7 of the MCP2515 (the MCP2510 has none) and BRGCON3 bit 7 of the PIC18.
OtherBit Bit7(RegisterLayout layout, bool set) {
    if (layout == RegisterLayout::Brgcon) {
        return {"WAKDIS", "BRGCON3 bit 7", set,
                set ? "wake-up on bus activity is disabled" : "wake-up on bus activity is enabled"};
    }
    return {"SOF", "CNF3 bit 7", set,
            set ? "CLKOUT gives the start-of-frame signal (MCP2515, when CLKEN is set)"
                : "CLKOUT gives the clock (MCP2515, when CLKEN is set)"};
}

// The findings only the register bits show: unused bits set, an ignored PHSEG2.
Finding BitsFinding(std::string text) {
    return {Severity::Warning, code::kRegisterBits, std::move(text), source::kDatasheet};
}

Finding ErrorFinding(std::string text) {
    return {Severity::Error, code::kRegisterBits, std::move(text), source::kDatasheet};
}

Findings RegisterFindings(RegisterLayout layout, unsigned cnf1, unsigned cnf2, unsigned cnf3) {
    const RegisterLayoutInfo& info = LayoutInfo(layout);
    Findings findings;
    if (layout == RegisterLayout::Cicfg) {
        if ((cnf1 & ~kByte) != 0) {
            findings.push_back(
                BitsFinding("CiCFG1 bits 15 to 8 are not used and should be 0; here they "
                            "hold " +
                            Hex(cnf1 & ~kByte, 4) + "."));
        }
        const unsigned unused = (cnf3 & (kCnf3Bit7 | kCnf3Unused)) << 8;
        if (unused != 0) {
            findings.push_back(
                BitsFinding("CiCFG2 bits 15 and 13 to 11 are not used and should be 0; here "
                            "they hold " +
                            Hex(unused, 4) + "."));
        }
    } else if (info.count == 3 && (cnf3 & kCnf3Unused) != 0) {
        findings.push_back(BitsFinding(
            Name(info.names[2]) + " bits 5 to 3 are not used and should be 0; here they hold " +
            Hex(cnf3 & kCnf3Unused, 2) + "."));
    }
    if ((cnf2 & kBtlModeBit) == 0 && (cnf3 & kThreeBits) != 0) {
        // In a one-word layout both fields stand in the one register.
        const std::string_view phase2Register = info.names[info.count - 1];
        const std::string_view modeRegister = info.names[info.count == 1 ? 0 : 1];
        findings.push_back(BitsFinding(
            Name(info.fields[1]) + " in " + Name(phase2Register) + " (" +
            std::to_string((cnf3 & kThreeBits) + 1) + " Tq) is ignored because " +
            Name(info.fields[0]) + " in " + Name(modeRegister) +
            " is 0: phase 2 is the larger of phase 1 and " + std::to_string(kIptTq) + " Tq."));
    }
    return findings;
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

// The one-word layouts: the PIC32MX's CiCFG and the AT91's CAN_BR.
DecodedRegisters DecodeWord(double dOscFreqMHz, std::optional<double> dTargetKbps,
                            RegisterLayout layout, std::uint32_t word,
                            const Controller* pController) {
    DecodedRegisters decoded;
    decoded.layout = layout;
    const bool at91 = layout == RegisterLayout::At91Br;
    const std::uint32_t fields = at91 ? kAt91BrFields : kPic32CicfgFields;
    if (at91) {
        decoded.setting = SettingFromAt91Br(dOscFreqMHz, word);
    } else {
        decoded.setting = SettingFromCicfg(dOscFreqMHz, static_cast<std::uint16_t>(word & kByte),
                                           static_cast<std::uint16_t>((word >> 8) & 0xFFFF));
        // Only the ignored SEG2PH: the unused bits are said below, for the one word.
        decoded.findings = RegisterFindings(RegisterLayout::Pic32Cicfg, word & kByte,
                                            (word >> 8) & kByte, (word >> 16) & kByte);
    }
    decoded.setting.pController = pController;
    if ((word & ~fields) != 0) {
        decoded.findings.push_back(BitsFinding(std::string(LayoutInfo(layout).names[0]) + " bits " +
                                               Hex(word & ~fields, 8) +
                                               " are not used and should be 0."));
    }
    if (at91 && decoded.setting.lBRPMinus1 == 0) {
        decoded.findings.push_back(
            ErrorFinding("CAN_BR's BRP is 0, which the CAN cell does not allow (the "
                         "prescaler must be 2 to 128)."));
    }
    FinishDecoding(decoded, dTargetKbps);
    return decoded;
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

BitTimingSetting SettingFromCicfg(double dOscFreqMHz, std::uint16_t cicfg1, std::uint16_t cicfg2) {
    return SettingFromCnf(dOscFreqMHz, static_cast<std::uint8_t>(cicfg1 & kByte),
                          static_cast<std::uint8_t>(cicfg2 & kByte),
                          static_cast<std::uint8_t>(cicfg2 >> 8));
}

DecodedRegisters DecodeRegisterValues(double dOscFreqMHz, std::optional<double> dTargetKbps,
                                      RegisterLayout layout, const std::vector<unsigned>& values,
                                      const Controller* pController) {
    if (layout == RegisterLayout::Pic32Cicfg || layout == RegisterLayout::At91Br) {
        return DecodeWord(dOscFreqMHz, dTargetKbps, layout, values.empty() ? 0U : values[0],
                          pController);
    }
    const std::size_t count = LayoutInfo(layout).count;
    const auto value = [&values](std::size_t i) { return i < values.size() ? values[i] : 0U; };
    // As CNF1..CNF3, with CiCFG1's and CiCFG2's high bytes kept for their findings.
    const unsigned cnf1 = value(0);
    const unsigned cnf2 = value(1) & kByte;
    const unsigned cnf3 = count == 2 ? (value(1) >> 8) & kByte : value(2) & kByte;

    DecodedRegisters decoded;
    decoded.layout = layout;
    decoded.setting =
        SettingFromCnf(dOscFreqMHz, static_cast<std::uint8_t>(cnf1 & kByte),
                       static_cast<std::uint8_t>(cnf2), static_cast<std::uint8_t>(cnf3));
    decoded.setting.pController = pController;
    decoded.findings = RegisterFindings(layout, cnf1, cnf2, cnf3);
    if (layout != RegisterLayout::Cicfg) {
        decoded.otherBits.push_back(Bit7(layout, (cnf3 & kCnf3Bit7) != 0));
    }
    FinishDecoding(decoded, dTargetKbps);
    return decoded;
}

void FinishDecoding(DecodedRegisters& decoded, std::optional<double> dTargetKbps) {
    decoded.setting.dTargetKbps = dTargetKbps ? *dTargetKbps : ActualRateKbps(decoded.setting);
}

double ActualRateKbps(const BitTimingSetting& setting) {
    const double dTq =
        GridTqSeconds(setting.dOscFreqMHz, setting.lBRPMinus1, setting.ClockPeriodsPerBrp());
    const double dRate = 1.0 / (setting.segments.lTqCount * dTq) / 1000.0;
    return IsUsableQuantum(dTq) && std::isfinite(dRate) ? dRate : 0.0;
}

std::optional<std::string> StepThreeProblem(const BitTimingSetting& setting) {
    const SegmentSettings& s = setting.segments;
    const auto outside = [](const char* what, int value, int low, int high, const char* unit) {
        return std::string(what) + " is " + std::to_string(value) + unit + "; step 3 holds " +
               std::to_string(low) + " to " + std::to_string(high) + unit + ".";
    };
    if (!InRange(s.lTqCount, kMinTqCount, kMaxTqCount)) {
        return "The bit has " + std::to_string(s.lTqCount) + " Tq; the Tq list holds " +
               std::to_string(kMinTqCount) + " to " + std::to_string(kMaxTqCount) + ".";
    }
    const ClassicLimits& limits = setting.Row().limits;
    if (!InRange(setting.lBRPMinus1, limits.brpMinus1Min, limits.brpMinus1Max)) {
        return outside("BRP-1", setting.lBRPMinus1, limits.brpMinus1Min, limits.brpMinus1Max, "");
    }
    const struct {
        const char* what;
        int value, low, high;
    } fields[] = {{"The propagation segment", s.lPropagation, kMinPropagation, kMaxPropagation},
                  {"Phase segment 1", s.lPhase1, kMinPhase1, kMaxPhase1},
                  {"Phase segment 2", s.lPhase2, kMinPhase2, kMaxPhase2},
                  {"The SJW", s.lSJW, kMinSJW, kMaxSJW}};
    for (const auto& field : fields) {
        if (!InRange(field.value, field.low, field.high)) {
            return outside(field.what, field.value, field.low, field.high, " Tq");
        }
    }
    return std::nullopt;
}

BitTimingFacts DescribeDecoded(const DecodedRegisters& decoded, std::string_view decimalSeparator,
                               const BusContext& bus) {
    BitTimingFacts facts = DescribeBitTiming(decoded.setting, decimalSeparator, bus);
    facts.findings = DecodingFindings(decoded, facts);
    if (!decoded.sRegistersProblem.empty()) {
        facts.registers = RegisterEncoding{std::nullopt, decoded.sRegistersProblem};
        facts.registerTexts = {};
    }
    return facts;
}

Findings DecodingFindings(const DecodedRegisters& decoded, const BitTimingFacts& facts) {
    Findings findings = decoded.findings;
    findings.insert(findings.end(), facts.findings.begin(), facts.findings.end());
    SortBySeverity(findings);
    return findings;
}

} // namespace classic
} // namespace quillon
