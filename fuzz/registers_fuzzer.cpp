// Fuzz target for the register encoding and its texts, the bus idle check and the segment
// rules.
// Input: one flag byte (SAM, WAKFIL, phase-2 mode, narrow values), then BRP-1, SJW,
// propagation, phase 1, phase 2 and the Tq count. With the narrow bit set each value is one
// signed byte, so the fuzzer often lands around the real ranges; otherwise each is a full
// 32-bit number.
// Properties: a register is either produced with exactly the sum of its fields (never
// wrapped) or refused with an overflow message naming it; a sum outside 0..255 is always
// refused; inputs inside the field ranges always encode and decode back; the texts match
// the bytes; the bus idle warning names the clock count exactly when it is below 26; and
// the segment rules give a verdict and a finite sample point for any segment lengths.
#include "FuzzInput.h"
#include "timing/classic/Registers.h"
#include "timing/classic/Segments.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

struct Fields {
    int brpMinus1, sjw, propagation, phase1, phase2, tqCount;
    bool sam, wakFil;
    quillon::Phase2Mode mode;
};

std::string Describe(const Fields& f) {
    return "BRP-1 " + std::to_string(f.brpMinus1) + ", SJW " + std::to_string(f.sjw) + ", prop " +
           std::to_string(f.propagation) + ", phase1 " + std::to_string(f.phase1) + ", phase2 " +
           std::to_string(f.phase2) + ", Tq " + std::to_string(f.tqCount) + (f.sam ? ", SAM" : "") +
           (f.wakFil ? ", WAKFIL" : "") +
           (f.mode == quillon::Phase2Mode::Programmed ? ", programmed" : ", larger-of");
}

bool InByte(long long value) {
    return value >= 0 && value <= 255;
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

std::string Binary(unsigned value, int bits) {
    std::string text;
    for (int bit = bits - 1; bit >= 0; --bit) {
        text += ((value >> bit) & 1U) != 0 ? '1' : '0';
    }
    return text;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

void CheckEncoding(const Fields& f) {
    const bool programmed = f.mode == quillon::Phase2Mode::Programmed;
    const quillon::RegisterEncoding encoding = quillon::EncodeConfigRegisters(
        f.brpMinus1, f.sjw, f.propagation, f.phase1, f.phase2, f.sam, f.wakFil, f.mode);

    // The true sums, in wide arithmetic.
    const long long cnf1 = 64LL * (f.sjw - 1LL) + f.brpMinus1;
    const long long cnf2 =
        (programmed ? 128 : 0) + (f.sam ? 64 : 0) + 8LL * (f.phase1 - 1LL) + (f.propagation - 1LL);
    const long long cnf3 = (f.wakFil ? 64 : 0) + (programmed ? f.phase2 - 1LL : 0);

    if (encoding) {
        const quillon::ConfigRegisters& r = *encoding.registers;
        FUZZ_CHECK(r.CNF1 == cnf1 && r.CNF2 == cnf2 && r.CNF3 == cnf3, Describe(f));
        FUZZ_CHECK(encoding.sError.empty(), Describe(f));

        const quillon::ConfigRegisterTexts t = quillon::MakeConfigRegisterTexts(r);
        FUZZ_CHECK(t.sCNF1Bin == "b'" + Binary(r.CNF1, 8) + "'" &&
                       t.sCNF1Hex == "0x" + Hex(r.CNF1, 2),
                   Describe(f));
        FUZZ_CHECK(t.sCNF2Bin == "b'" + Binary(r.CNF2, 8) + "'" &&
                       t.sCNF2Hex == "0x" + Hex(r.CNF2, 2),
                   Describe(f));
        FUZZ_CHECK(t.sCNF3Bin == "b'" + Binary(r.CNF3, 8) + "'" &&
                       t.sCNF3Hex == "0x" + Hex(r.CNF3, 2),
                   Describe(f));
        FUZZ_CHECK(t.sCICFG1Bin == "b'" + Binary(r.CICFG1(), 16) + "'" &&
                       t.sCICFG1Hex == "0x" + Hex(r.CICFG1(), 4),
                   Describe(f));
        FUZZ_CHECK(t.sCICFG2Bin == "b'" + Binary(r.CICFG2(), 16) + "'" &&
                       t.sCICFG2Hex == "0x" + Hex(r.CICFG2(), 4),
                   Describe(f));
    } else {
        FUZZ_CHECK(encoding.sError.find(" overflow: ") != std::string::npos, encoding.sError);
        const bool named = encoding.sError.rfind("CNF1", 0) == 0 ||
                           encoding.sError.rfind("CNF2", 0) == 0 ||
                           encoding.sError.rfind("CNF3", 0) == 0;
        FUZZ_CHECK(named, encoding.sError);
    }
    // A register whose fields do not fit is refused, never wrapped into a byte.
    if (!InByte(cnf1) || !InByte(cnf2) || !InByte(cnf3)) {
        FUZZ_CHECK(!encoding, Describe(f));
    }

    const bool inRange = InRange(f.brpMinus1, 0, 63) && InRange(f.sjw, 1, 4) &&
                         InRange(f.propagation, 1, 8) && InRange(f.phase1, 1, 8) &&
                         (!programmed || InRange(f.phase2, 2, 8));
    if (inRange) {
        FUZZ_CHECK(static_cast<bool>(encoding), Describe(f) + ": " + encoding.sError);
        const quillon::ConfigRegisters& r = *encoding.registers;
        FUZZ_CHECK((r.CNF1 >> 6) + 1 == f.sjw && (r.CNF1 & 0x3F) == f.brpMinus1, Describe(f));
        FUZZ_CHECK((r.CNF2 & 0x07) + 1 == f.propagation && ((r.CNF2 >> 3) & 0x07) + 1 == f.phase1,
                   Describe(f));
        FUZZ_CHECK(((r.CNF2 >> 7) == 1) == programmed && ((r.CNF2 >> 6) & 1) == f.sam, Describe(f));
        FUZZ_CHECK(((r.CNF3 >> 6) & 1) == f.wakFil && (r.CNF3 & 0xB8) == 0, Describe(f));
        FUZZ_CHECK((r.CNF3 & 0x07) == (programmed ? f.phase2 - 1 : 0), Describe(f));
    }
}

void CheckBusIdle(const Fields& f) {
    const long long clocks = 2LL * (f.brpMinus1 + 1LL) * f.tqCount;
    const std::optional<std::string> warning =
        quillon::BusIdleErrataMessage(f.brpMinus1, f.tqCount);
    FUZZ_CHECK(warning.has_value() == (clocks < quillon::kMinBusIdleOscClocks), Describe(f));
    if (warning && clocks >= -2147483648LL) {
        FUZZ_CHECK(warning->find(" You currently have " + std::to_string(clocks) +
                                 " OSC1 clocks") != std::string::npos,
                   *warning);
    }
}

// The segment rules take scroll bar values and a Tq count from the chosen list; any 16-bit
// numbers must still give one of the verdicts and a finite sample point.
void CheckSegments(const Fields& f) {
    quillon::SegmentSettings s;
    s.lTqCount = static_cast<std::int16_t>(f.tqCount);
    s.lPropagation = static_cast<std::int16_t>(f.propagation);
    s.lPhase1 = static_cast<std::int16_t>(f.phase1);
    s.lPhase2 = static_cast<std::int16_t>(f.phase2);
    s.lSJW = static_cast<std::int16_t>(f.sjw);
    s.bSam = f.sam;
    s.bWakFil = f.wakFil;
    s.mode = f.mode;
    const quillon::TimingVerdict verdict = quillon::CheckTimingRules(true, s);
    FUZZ_CHECK(!quillon::VerdictText(verdict).empty(), Describe(f));
    if (verdict == quillon::TimingVerdict::Pass) {
        const int phase2 = quillon::Phase2Length(s);
        FUZZ_CHECK(1 + s.lPropagation + s.lPhase1 + phase2 == s.lTqCount, Describe(f));
        FUZZ_CHECK(phase2 >= s.lSJW && s.lPropagation + s.lPhase1 >= phase2, Describe(f));
    }
    FUZZ_CHECK(std::isfinite(quillon::SamplePointPercent(s)), Describe(f));

    const quillon::SegmentProposal p = quillon::ProposeSegments(s.lTqCount);
    FUZZ_CHECK(p.lPhase1 <= quillon::kMaxPhase1 && p.lPhase2 <= quillon::kMaxPhase2, Describe(f));
    if (s.lTqCount >= 8 && s.lTqCount <= 25) {
        // Every Tq count of the grid gets a proposal inside the scroll bar ranges.
        FUZZ_CHECK(InRange(p.lPropagation, 1, 8) && InRange(p.lPhase1, 1, 8) &&
                       InRange(p.lPhase2, 2, 8),
                   Describe(f));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzInput input(data, size);
    const auto flags = input.Take<std::uint8_t>();
    const bool narrow = (flags & 0x08) != 0;
    const auto take = [&input, narrow]() -> int {
        return narrow ? input.Take<std::int8_t>() : input.Take<std::int32_t>();
    };
    Fields f{};
    f.sam = (flags & 0x01) != 0;
    f.wakFil = (flags & 0x02) != 0;
    f.mode = (flags & 0x04) != 0 ? quillon::Phase2Mode::LargerOf : quillon::Phase2Mode::Programmed;
    f.brpMinus1 = take();
    f.sjw = take();
    f.propagation = take();
    f.phase1 = take();
    f.phase2 = take();
    f.tqCount = take();

    CheckEncoding(f);
    CheckBusIdle(f);
    CheckSegments(f);
    return 0;
}
