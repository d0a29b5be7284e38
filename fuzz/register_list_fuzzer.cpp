// Fuzz target for reading a register set and decoding it.
// Input: one byte (its low bits pick CNF, BRGCON or CiCFG, its next bits the oscillator
// and whether a target rate is given), then the text of the set as --cnf takes it.
// Properties: the text is read into exactly the layout's count of values within the
// register width, or refused with one line naming a register or the count; values
// written back as hexadecimal read back the same; a decoded set gives a setting whose
// fields the registers can hold, whose bit adds up, which encodes back to the same timing
// bits, and whose findings are sentences without "inf" or "nan".
#include "FuzzInput.h"
#include "timing/classic/Decode.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kOscillators[] = {16, 8, 20, 1, 1e300, 3.6864, 40, 4};

std::string Describe(std::string_view text) {
    return "text \"" + std::string(text.substr(0, 80)) + (text.size() > 80 ? "...\"" : "\"");
}

bool IsSentence(const std::string& text) {
    return !text.empty() && text.back() == '.' && text.find('\n') == std::string::npos &&
           !quillon::fuzz::ShowsNonFinite(text);
}

void CheckDecoded(const quillon::DecodedRegisters& d, const std::vector<unsigned>& values,
                  const std::string& detail) {
    const quillon::SegmentSettings& s = d.setting.segments;
    FUZZ_CHECK(d.setting.lBRPMinus1 >= 0 && d.setting.lBRPMinus1 <= 63, detail);
    FUZZ_CHECK(s.lSJW >= 1 && s.lSJW <= 4 && s.lPropagation >= 1 && s.lPropagation <= 8 &&
                   s.lPhase1 >= 1 && s.lPhase1 <= 8 && s.lPhase2 >= 1 && s.lPhase2 <= 8,
               detail);
    FUZZ_CHECK(s.lTqCount == 1 + s.lPropagation + s.lPhase1 + quillon::Phase2Length(s), detail);
    for (const quillon::Finding& finding : d.findings) {
        FUZZ_CHECK(IsSentence(finding.sText), detail + ": " + finding.sText);
    }
    // The timing bits come back: all of CNF1, CNF2 and WAKFIL, and PHSEG2 where it counts.
    const quillon::RegisterEncoding back = quillon::EncodeConfigRegisters(d.setting.lBRPMinus1, s);
    FUZZ_CHECK(static_cast<bool>(back), detail + ": " + back.sError);
    const bool cicfg = d.layout == quillon::RegisterLayout::Cicfg;
    const unsigned cnf2 = values[1] & 0xFF;
    const unsigned cnf3 = cicfg ? values[1] >> 8 : values[2];
    const unsigned timing3 = (cnf2 & 0x80) != 0 ? cnf3 & 0x47 : cnf3 & 0x40;
    FUZZ_CHECK(back.registers->CNF1 == (values[0] & 0xFF) && back.registers->CNF2 == cnf2 &&
                   back.registers->CNF3 == timing3,
               detail);

    const quillon::BitTimingFacts facts = quillon::DescribeDecoded(d);
    FUZZ_CHECK(
        !quillon::fuzz::ShowsNonFinite(facts.rate.sActual + facts.rate.sError + facts.sSamplePoint),
        detail);
    if (const auto problem = quillon::StepThreeProblem(d.setting)) {
        FUZZ_CHECK(IsSentence(*problem), detail + ": " + *problem);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzInput input(data, size);
    const auto choice = input.Take<std::uint8_t>();
    const auto layout = static_cast<quillon::RegisterLayout>((choice & 0x03) % 3);
    const double osc = kOscillators[(choice >> 2) & 0x07];
    const std::optional<double> target =
        (choice & 0x20) != 0 ? std::optional<double>(500) : std::nullopt;
    const std::string text(input.Rest());
    const std::string detail = Describe(text);

    const quillon::RegisterLayoutInfo& info = quillon::LayoutInfo(layout);
    const quillon::RegisterReading reading = quillon::ReadRegisterList(layout, text);
    if (!reading) {
        FUZZ_CHECK(reading.values.empty(), detail);
        FUZZ_CHECK(reading.sError.find('\n') == std::string::npos, detail + ": " + reading.sError);
        bool named = reading.sError.find(" values are needed (") != std::string::npos;
        for (std::size_t i = 0; i < info.count; ++i) {
            named = named || reading.sError.rfind(std::string(info.names[i]) + ": ", 0) == 0;
        }
        FUZZ_CHECK(named, reading.sError);
        return 0;
    }
    FUZZ_CHECK(reading.values.size() == info.count, detail);
    std::string written;
    for (const unsigned value : reading.values) {
        FUZZ_CHECK(value <= info.maxValue, detail);
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%X", value);
        written += (written.empty() ? "" : ",") + std::string(hex);
    }
    FUZZ_CHECK(quillon::ReadRegisterList(layout, written).values == reading.values, written);

    CheckDecoded(quillon::DecodeRegisterValues(osc, target, layout, reading.values), reading.values,
                 detail);
    return 0;
}
