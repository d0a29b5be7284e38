#include "report/classic/ReportValues.h"

#include "timing/common/NumberFormat.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

namespace quillon {
inline namespace classic {

namespace {

constexpr std::string_view kLargerOfPhase2Lead = "Determined by greater of IPT or Phase1 ( ";

} // namespace

ReportValues BuildReportValues(const BitTimingFacts& facts, const std::string& sDate,
                               std::string_view decimalSeparator) {
    const BitTimingSetting& setting = facts.setting;
    const SegmentSettings& segments = setting.segments;
    const ConfigRegisterTexts& registers = facts.registerTexts;
    ReportValues values;

    values.sOscFreq = OscillatorText(setting.dOscFreqMHz, decimalSeparator);
    values.sCANBaud = TargetRateText(setting.dTargetKbps, decimalSeparator);
    values.sBRP = std::to_string(setting.lBRPMinus1);
    values.sTq = facts.rate.sTq;
    values.sNumTq = std::to_string(segments.lTqCount);
    values.sError = facts.rate.sError;

    values.sPropDelay = std::to_string(segments.lPropagation);
    values.sPhase1 = std::to_string(segments.lPhase1);
    if (segments.mode == Phase2Mode::Programmed) {
        values.sPhase2 = std::to_string(segments.lPhase2);
    } else {
        values.sPhase2 =
            std::string(kLargerOfPhase2Lead) + std::to_string(facts.lPhase2Effective) + " )";
    }
    values.sSJW = std::to_string(segments.lSJW);
    values.sSampling = segments.bSam ? "on." : "off.";
    values.sSampling += segments.bWakFil ? " Wakeup filter is on." : " Wakeup filter is off.";

    values.sCNF1Bin = registers.sCNF1Bin;
    values.sCNF1Hex = registers.sCNF1Hex;
    values.sCNF2Bin = registers.sCNF2Bin;
    values.sCNF2Hex = registers.sCNF2Hex;
    values.sCNF3Bin = registers.sCNF3Bin;
    values.sCNF3Hex = registers.sCNF3Hex;
    values.sDate = sDate;
    values.sCICFG1Bin = registers.sCICFG1Bin;
    values.sCICFG1Hex = registers.sCICFG1Hex;
    values.sCICFG2Bin = registers.sCICFG2Bin;
    values.sCICFG2Hex = registers.sCICFG2Hex;
    if (setting.Row().layout == RegisterLayout::At91Br) {
        // The cell has none of Microchip's registers; its own word is the row below.
        for (std::string* text :
             {&values.sCNF1Bin, &values.sCNF1Hex, &values.sCNF2Bin, &values.sCNF2Hex,
              &values.sCNF3Bin, &values.sCNF3Hex, &values.sCICFG1Bin, &values.sCICFG1Hex,
              &values.sCICFG2Bin, &values.sCICFG2Hex}) {
            *text = "-";
        }
    }
    if (!setting.HasMicrochipRegisters() && facts.words) {
        for (const RegisterWord& word : facts.words.words) {
            const std::string cell = R"(    <td width="33%"><font face="Verdana" size="2">)";
            values.sControllerRows +=
                "  <tr>\n" +
                std::string(R"(    <td width="33%"><strong><font face="Verdana" size="2">)") +
                std::string(word.sName) + " (" + std::string(setting.Row().sTitle) +
                ")</font></strong></td>\n" + cell + "b'" +
                RegisterWordBinary(word.value, word.lBits) + "'</font></td>\n" +
                R"(    <td width="34%"><font face="Verdana" size="2">)" +
                RegisterWordHex(word.value, word.lBits) + "</font></td>\n  </tr>\n";
        }
    }
    return values;
}

} // namespace classic
} // namespace quillon
