// Fuzz target for reading `ip -details link show` output, the text and the JSON form, as
// decode (classic) and fd decode (CAN FD) read it.
// Input: one byte (whether the board's oscillator and a target rate are given, and which,
// and whether fd decode reads it), then the text.
// Properties: the text gives a setting or a refusal, never both and never neither; a
// refusal is one line; a setting has every field within what a controller can report, a
// bit that adds up, the oscillator given (or one from the clock), findings and notes that
// are sentences, and texts without "inf" or "nan"; classic registers are shown only when
// the fields fit the controller's.
#include "FuzzInput.h"
#include "timing/linux/FdLinuxDetails.h"
#include "timing/linux/LinuxDetails.h"

#include <string>

namespace {

constexpr double kOscillators[] = {8, 16, 20, 1};

std::string Describe(std::string_view text) {
    return "text \"" + std::string(text.substr(0, 120)) + (text.size() > 120 ? "...\"" : "\"");
}

// A finding without the driver name it echoes from the text: that name is the input's own
// letters and digits ("...0inf..." is no number the program wrote).
std::string WithoutEchoedDriver(const std::string& finding) {
    constexpr std::string_view kLead = "names the ";
    const std::size_t start = finding.find(kLead);
    const std::size_t end = finding.find(" driver", start);
    if (start == std::string::npos || end == std::string::npos) {
        return finding;
    }
    return finding.substr(0, start + kLead.size()) + finding.substr(end);
}

bool Within(int value, int low, int high) {
    return value >= low && value <= high;
}

bool IsSentence(const std::string& text) {
    return !text.empty() && text.back() == '.' && text.find('\n') == std::string::npos &&
           !quillon::fuzz::ShowsNonFinite(WithoutEchoedDriver(text));
}

void CheckFd(const std::string& text, std::optional<double> osc, const std::string& detail) {
    const quillon::FdIpDetailsDecoding decoding = quillon::DecodeFdIpDetails(text, osc);
    FUZZ_CHECK(decoding.setting.has_value() == decoding.sError.empty(), detail);
    if (!decoding.setting) {
        FUZZ_CHECK(decoding.sError.find('\n') == std::string::npos, decoding.sError);
        return;
    }
    const quillon::FdSetting& setting = *decoding.setting;
    const int largest = static_cast<int>(quillon::kLargestLinuxField);
    for (const quillon::FdPhaseSetting* p : {&setting.nominal, &setting.data}) {
        FUZZ_CHECK(Within(p->lBRP, 1, largest) && Within(p->lPropagation, 0, largest) &&
                       Within(p->lPhase1, 0, largest) && Within(p->lPhase2, 0, largest) &&
                       Within(p->lSJW, 0, largest),
                   detail);
    }
    FUZZ_CHECK(Within(setting.tdc.lOffset, 0, largest) && Within(setting.tdc.lValue, 0, largest) &&
                   Within(setting.tdc.lFilter, 0, largest),
               detail);
    FUZZ_CHECK(setting.Row().IsFd() && setting.Row().linux.has_value(), detail);
    FUZZ_CHECK(!osc || setting.dOscFreqMHz == *osc, detail);
    FUZZ_CHECK(setting.dOscFreqMHz > 0 && setting.dNominalKbps > 0 && setting.dDataKbps > 0,
               detail);
    for (const quillon::Finding& f : decoding.findings) {
        FUZZ_CHECK(IsSentence(f.sText), detail + ": " + f.sText);
    }
    for (const std::string& note : decoding.notes) {
        FUZZ_CHECK(IsSentence(note), detail + ": " + note);
    }
    const quillon::FdFacts facts = quillon::DescribeFdIpDetails(decoding);
    FUZZ_CHECK(facts.findings.size() >= decoding.findings.size(), detail);
    for (const quillon::FdPhaseFacts* p : {&facts.nominal, &facts.data}) {
        FUZZ_CHECK(
            !quillon::fuzz::ShowsNonFinite(p->sActual + p->sError + p->sSamplePoint + p->sTq),
            detail);
    }
    FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(facts.sTolerance + facts.sSysclk), detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzInput input(data, size);
    const auto choice = input.Take<std::uint8_t>();
    const std::optional<double> osc =
        (choice & 0x01) != 0 ? std::optional<double>(kOscillators[(choice >> 1) & 0x03])
                             : std::nullopt;
    const std::optional<double> target =
        (choice & 0x08) != 0 ? std::optional<double>(125) : std::nullopt;
    const std::string text(input.Rest());
    const std::string detail = Describe(text);
    if ((choice & 0x10) != 0) {
        CheckFd(text, osc, detail);
        return 0;
    }

    const quillon::IpDetailsDecoding decoding = quillon::DecodeIpDetails(text, osc, target);
    FUZZ_CHECK(decoding.decoded.has_value() == decoding.sError.empty(), detail);
    if (!decoding.decoded) {
        FUZZ_CHECK(decoding.sError.find('\n') == std::string::npos, decoding.sError);
        return 0;
    }
    const quillon::DecodedRegisters& d = *decoding.decoded;
    const quillon::BitTimingSetting& setting = d.setting;
    const quillon::SegmentSettings& s = setting.segments;
    const int largest = static_cast<int>(quillon::kLargestLinuxField);
    FUZZ_CHECK(Within(setting.lBRPMinus1, 0, largest - 1) && Within(s.lPropagation, 0, largest) &&
                   Within(s.lPhase1, 0, largest) && Within(s.lPhase2, 0, largest) &&
                   Within(s.lSJW, 0, largest),
               detail);
    FUZZ_CHECK(s.lTqCount == 1 + s.lPropagation + s.lPhase1 + s.lPhase2, detail);
    FUZZ_CHECK(s.mode == quillon::Phase2Mode::Programmed, detail);
    FUZZ_CHECK(!osc || setting.dOscFreqMHz == *osc, detail);
    FUZZ_CHECK(setting.dOscFreqMHz > 0, detail);
    FUZZ_CHECK(!setting.Row().IsFd() && setting.Row().linux.has_value(), detail);
    for (const quillon::Finding& f : d.findings) {
        FUZZ_CHECK(IsSentence(f.sText), detail + ": " + f.sText);
    }

    const quillon::BitTimingFacts facts = quillon::DescribeDecoded(d);
    FUZZ_CHECK(!quillon::fuzz::ShowsNonFinite(facts.rate.sActual + facts.rate.sError +
                                              facts.sSamplePoint + facts.durations[5].sText),
               detail);
    const quillon::ClassicLimits& limits = setting.Row().limits;
    const bool fits = Within(setting.lBRPMinus1, limits.brpMinus1Min, limits.brpMinus1Max) &&
                      Within(s.lPropagation, 1, 8) && Within(s.lPhase1, 1, 8) &&
                      Within(s.lPhase2, 1, 8) && Within(s.lSJW, 1, 4);
    FUZZ_CHECK(static_cast<bool>(facts.registers) == fits, detail + ": " + facts.registers.sError);
    return 0;
}
