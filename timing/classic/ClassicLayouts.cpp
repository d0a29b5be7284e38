#include "timing/classic/ClassicLayouts.h"

#include "timing/classic/BitTiming.h"

namespace quillon {
inline namespace classic {

namespace {

constexpr unsigned kAt91SmpBit = 24;
constexpr unsigned kAt91BrpShift = 16, kAt91BrpMask = 0x7F;
constexpr unsigned kAt91SjwShift = 12, kAt91SjwMask = 0x3;
constexpr unsigned kAt91PropShift = 8, kAt91PhaseShift = 4, kAt91ThreeBits = 0x7;

// A length of 1..(mask + 1) as its field, or nothing when it does not fit.
bool FieldOf(int length, unsigned mask, unsigned& field) {
    if (length < 1 || static_cast<unsigned>(length - 1) > mask) {
        return false;
    }
    field = static_cast<unsigned>(length - 1);
    return true;
}

LayoutEncoding At91Words(const BitTimingSetting& setting) {
    const SegmentSettings& s = setting.segments;
    LayoutEncoding encoding;
    unsigned sjw = 0, prop = 0, phase1 = 0, phase2 = 0, brp = 0;
    const struct {
        const char* name;
        int length;
        unsigned mask;
        unsigned* field;
    } fields[] = {{"BRP", setting.lBRPMinus1 + 1, kAt91BrpMask, &brp},
                  {"SJW", s.lSJW, kAt91SjwMask, &sjw},
                  {"PROPAG", s.lPropagation, kAt91ThreeBits, &prop},
                  {"PHASE1", s.lPhase1, kAt91ThreeBits, &phase1},
                  {"PHASE2", Phase2Length(s), kAt91ThreeBits, &phase2}};
    for (const auto& f : fields) {
        if (!FieldOf(f.length, f.mask, *f.field)) {
            encoding.sError = "CAN_BR: " + std::string(f.name) + " " + std::to_string(f.length) +
                              " does not fit (1 to " + std::to_string(f.mask + 1) + ")";
            return encoding;
        }
    }
    const std::uint32_t word = (s.bSam ? 1U << kAt91SmpBit : 0U) | brp << kAt91BrpShift |
                               sjw << kAt91SjwShift | prop << kAt91PropShift |
                               phase1 << kAt91PhaseShift | phase2;
    encoding.words.push_back({LayoutInfo(RegisterLayout::At91Br).names[0], word, 32});
    return encoding;
}

} // namespace

std::string RegisterWordBinary(std::uint32_t value, int lBits) {
    std::string text;
    for (int bit = lBits - 1; bit >= 0; --bit) {
        text += ((value >> bit) & 1U) != 0 ? '1' : '0';
    }
    return text;
}

std::string RegisterWordHex(std::uint32_t value, int lBits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = lBits - 4; shift >= 0; shift -= 4) {
        text += kDigits[(value >> shift) & 0xF];
    }
    return text;
}

LayoutEncoding LayoutWords(RegisterLayout layout, const BitTimingSetting& setting) {
    if (layout == RegisterLayout::At91Br) {
        return At91Words(setting);
    }
    LayoutEncoding encoding;
    const RegisterEncoding cnf = EncodeConfigRegisters(setting.lBRPMinus1, setting.segments);
    if (!cnf) {
        encoding.sError = cnf.sError;
        return encoding;
    }
    const ConfigRegisters& r = *cnf.registers;
    const RegisterLayoutInfo& info = LayoutInfo(layout);
    switch (layout) {
    case RegisterLayout::Cicfg:
        encoding.words = {{info.names[0], r.CICFG1(), 16}, {info.names[1], r.CICFG2(), 16}};
        break;
    case RegisterLayout::Pic32Cicfg:
        encoding.words = {{info.names[0],
                           static_cast<std::uint32_t>(r.CICFG1()) | std::uint32_t{r.CICFG2()} << 8,
                           32}};
        break;
    default:
        encoding.words = {
            {info.names[0], r.CNF1, 8}, {info.names[1], r.CNF2, 8}, {info.names[2], r.CNF3, 8}};
        break;
    }
    return encoding;
}

BitTimingSetting SettingFromAt91Br(double dClockMHz, std::uint32_t canBr) {
    BitTimingSetting setting;
    setting.dOscFreqMHz = dClockMHz;
    setting.lBRPMinus1 = static_cast<int>((canBr >> kAt91BrpShift) & kAt91BrpMask);
    SegmentSettings& s = setting.segments;
    s.lSJW = static_cast<int>((canBr >> kAt91SjwShift) & kAt91SjwMask) + 1;
    s.lPropagation = static_cast<int>((canBr >> kAt91PropShift) & kAt91ThreeBits) + 1;
    s.lPhase1 = static_cast<int>((canBr >> kAt91PhaseShift) & kAt91ThreeBits) + 1;
    s.lPhase2 = static_cast<int>(canBr & kAt91ThreeBits) + 1;
    s.bSam = ((canBr >> kAt91SmpBit) & 1U) != 0;
    s.mode = Phase2Mode::Programmed;
    s.lTqCount = 1 + s.lPropagation + s.lPhase1 + s.lPhase2;
    return setting;
}

} // namespace classic
} // namespace quillon
