#pragma once
// A decoded setting on one line, for the tables of the decoding tests: oscillator and
// target, prescaler and segments, flags, rate and sample point, registers (or why there are
// none) and the bits that are no timing; and a findings list as its codes or its texts.
#include "timing/classic/Decode.h"

#include <sstream>
#include <string>
#include <vector>

namespace quillon {

inline std::string Summary(const DecodedRegisters& d) {
    const BitTimingFacts f = DescribeDecoded(d);
    const BitTimingSetting& x = d.setting;
    const SegmentSettings& s = x.segments;
    std::ostringstream text;
    text << x.dOscFreqMHz << " MHz for " << x.dTargetKbps << ": BRP-1 " << x.lBRPMinus1 << ", "
         << s.lTqCount << " Tq = 1+" << s.lPropagation << "+" << s.lPhase1 << "+"
         << f.lPhase2Effective << ", SJW " << s.lSJW << (s.bSam ? ", SAM" : "")
         << (s.bWakFil ? ", WAKFIL" : "") << (s.mode == Phase2Mode::LargerOf ? ", larger-of" : "")
         << " | " << f.rate.sActual << ", " << f.sSamplePoint << " % | ";
    const ConfigRegisterTexts& r = f.registerTexts;
    text << (f.registers ? r.sCNF1Hex + " " + r.sCNF2Hex + " " + r.sCNF3Hex : f.registers.sError);
    for (const OtherBit& bit : d.otherBits) {
        text << " | " << bit.sName << " " << bit.bSet;
    }
    return text.str();
}

// The codes of a findings list in its order, "rate-off-target propagation-short".
inline std::string Codes(const Findings& findings) {
    std::string codes;
    for (const Finding& finding : findings) {
        codes += (codes.empty() ? "" : " ") + std::string(finding.sCode);
    }
    return codes;
}

inline std::vector<std::string> Texts(const Findings& findings) {
    std::vector<std::string> texts;
    for (const Finding& finding : findings) {
        texts.push_back(finding.sText);
    }
    return texts;
}

} // namespace quillon
