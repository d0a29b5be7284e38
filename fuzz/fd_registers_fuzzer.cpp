// Fuzz target for the CAN FD register-word readers: any three 32-bit words (CiNBTCFG,
// CiDBTCFG, CiTDC, or the M_CAN's NBTP, DBTP, TDCR) on any oscillator.
// Input: one flag byte (bit 0 PLL, bit 1 the third word given, bit 2 the oscillator as a raw
// double instead of one of the usual crystals, bit 3 the M_CAN's words), the oscillator (one
// byte picking a crystal, or eight bytes), then the three words.
// Properties: every field reads inside its register's range, the words written back are the
// words read but for the bits that belong to no field (and TDCMOD 3, written as 2), such
// bits and TDCMOD 3 are reported exactly when present, the dsPIC33C halves are the words
// split, the verdict is the first rule broken, and no text shows a number that is not finite.
#include "FuzzInput.h"
#include "timing/common/Controllers.h"
#include "timing/fd/FdRegisters.h"
#include "timing/fd/FdTiming.h"
#include "timing/fd/McanRegisters.h"

#include <array>
#include <cstdint>
#include <string>

namespace {

using namespace quillon;

constexpr std::array<double, 8> kCrystals{4, 8, 10, 16, 20, 24, 40, 1e300};

std::string Describe(double osc, bool pll, std::uint32_t n, std::uint32_t d,
                     std::optional<std::uint32_t> tdc) {
    return "osc " + std::to_string(osc) + (pll ? " PLL" : "") + ", " + WordToHex(n, 32) + " " +
           WordToHex(d, 32) + " " + (tdc ? WordToHex(*tdc, 32) : std::string("-"));
}

bool Within(const FdPhaseSetting& p, const FdPhaseLimits& l) {
    return p.lBRP >= 1 && p.lBRP <= l.brpMax && p.Tseg1() >= 1 && p.Tseg1() <= l.tseg1Max &&
           p.lPropagation == p.Tseg1() / 2 && p.lPhase2 >= 1 && p.lPhase2 <= l.tseg2Max &&
           p.lSJW >= 1 && p.lSJW <= l.sjwMax;
}

void CheckTexts(const FdFacts& f, const std::string& detail) {
    std::string texts = f.sSysclk + f.sTolerance + f.sVerdict;
    for (const FdPhaseFacts* p : {&f.nominal, &f.data}) {
        texts += p->sTq + p->sActual + p->sError + p->sSamplePoint;
        for (const SegmentDuration& d : p->durations) {
            texts += d.sText;
        }
    }
    for (const std::string& c : f.conditionTexts) {
        texts += " " + c;
    }
    for (const Finding& finding : f.findings) {
        texts += " " + finding.sText;
    }
    FUZZ_CHECK(!fuzz::ShowsNonFinite(texts), detail + ": " + texts);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const auto flags = input.Take<std::uint8_t>();
    const bool pll = (flags & 1) != 0;
    const double osc = (flags & 4) != 0 ? input.Take<double>()
                                        : kCrystals[input.Take<std::uint8_t>() % kCrystals.size()];
    const auto nbtcfg = input.Take<std::uint32_t>();
    const auto dbtcfg = input.Take<std::uint32_t>();
    const auto tdcWord = input.Take<std::uint32_t>();
    const std::optional<std::uint32_t> tdc =
        (flags & 2) != 0 ? std::optional<std::uint32_t>(tdcWord) : std::nullopt;
    const std::string detail = Describe(osc, pll, nbtcfg, dbtcfg, tdc);

    const Controller* row = (flags & 8) != 0 ? FindController("mcan") : nullptr;
    const FdDecoded decoded = DecodeFdRegisters(osc, pll, nbtcfg, dbtcfg, tdc, row);
    const FdSetting& s = decoded.setting;
    FUZZ_CHECK(Within(s.nominal, LimitsOf(s, FdPhase::Nominal)) &&
                   Within(s.data, LimitsOf(s, FdPhase::Data)),
               detail);
    const FdTdcLimits& limits = s.Row().tdcLimits;
    FUZZ_CHECK(s.tdc.lOffset >= limits.offsetMin && s.tdc.lOffset <= limits.offsetMax &&
                   s.tdc.lValue >= 0 && s.tdc.lValue <= limits.valueMax && s.tdc.lFilter >= 0 &&
                   s.tdc.lFilter <= limits.filterMax,
               detail);

    const FdRegisterEncoding again = EncodeFdRegisters(s);
    FUZZ_CHECK(again.words.has_value(), detail + ": " + again.sError);
    const bool mcan = row != nullptr;
    const std::uint32_t masks[] = {mcan ? kNbtpFieldMask : kNbtcfgFieldMask,
                                   mcan ? kDbtpFieldMask : kDbtcfgFieldMask,
                                   mcan ? kTdcrFieldMask : kTdcFieldMask};
    FUZZ_CHECK(again.words->nbtcfg == (nbtcfg & masks[0]), detail);
    FUZZ_CHECK(again.words->dbtcfg == (dbtcfg & masks[1]), detail);
    const bool tdcmodThree = !mcan && tdc && ((*tdc >> 16) & 3U) == 3U;
    if (tdc) {
        FUZZ_CHECK(again.words->tdc == (*tdc & masks[2] & ~(tdcmodThree ? 1U << 16 : 0U)), detail);
    } else if (mcan) {
        // DBTP bit 23 says whether TDC is on; TDCO is the one the controller needs.
        FUZZ_CHECK((s.tdc.mode == TdcMode::Auto) == (((dbtcfg >> 23) & 1U) != 0), detail);
        FUZZ_CHECK(s.tdc.lOffset == RequiredTdc(s).lOffset, detail);
    } else {
        FUZZ_CHECK(s.tdc == RequiredTdc(s.data), detail);
    }
    const std::size_t unused = ((nbtcfg & ~masks[0]) != 0 ? 1U : 0U) +
                               ((dbtcfg & ~masks[1]) != 0 ? 1U : 0U) +
                               (tdc && (*tdc & ~masks[2]) != 0 ? 1U : 0U);
    FUZZ_CHECK(decoded.registerFindings.size() == unused + (tdcmodThree ? 1U : 0U), detail);

    const FdFacts facts = DescribeFdTiming(s);
    FUZZ_CHECK(facts.registers.has_value(), detail + ": " + facts.sRegisterError);
    const FdRegisterTexts& t = facts.registerTexts;
    FUZZ_CHECK(mcan ? t.size() == 3 && t[0].value == facts.registers->nbtcfg
                    : t.size() == 9 && (t[3].value << 16 | t[4].value) == t[0].value &&
                          (t[5].value << 16 | t[6].value) == t[1].value &&
                          (t[7].value << 16 | t[8].value) == t[2].value,
               detail);
    FUZZ_CHECK(facts.Passes() ? facts.sVerdict == kFdPassText
                              : facts.sVerdict == facts.findings.front().sText,
               detail);
    FUZZ_CHECK(facts.tolerance.lLimiting >= 1 && facts.tolerance.lLimiting <= 5, detail);
    CheckTexts(facts, detail);
    return 0;
}
