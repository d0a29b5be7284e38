#include "timing/LinuxDetails.h"

#include <charconv>
#include <vector>

namespace quillon {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsSpace(text[i])) {
            ++i;
        }
        if (i > start) {
            words.push_back(text.substr(start, i - start));
        }
    }
    return words;
}

// A plain unsigned number, all of the word; a range such as "1..4" is none.
std::optional<std::uint32_t> Whole(std::string_view word) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

IpDetails ParseIpDetails(std::string_view text) {
    IpDetails details;
    const std::vector<std::string_view> words = Words(text);
    const std::pair<std::string_view, std::optional<std::uint32_t> IpDetails::*> keys[] = {
        {"bitrate", &IpDetails::bitrate},
        {"tq", &IpDetails::tqNs},
        {"prop-seg", &IpDetails::propSeg},
        {"phase-seg1", &IpDetails::phaseSeg1},
        {"phase-seg2", &IpDetails::phaseSeg2},
        {"sjw", &IpDetails::sjw},
        {"brp", &IpDetails::brp},
        {"clock", &IpDetails::clockHz},
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word.size() > 1 && word.back() == ':' && i + 1 < words.size() &&
            words[i + 1] == "tseg1" && details.driver.empty()) {
            details.driver = std::string(word.substr(0, word.size() - 1));
        }
        if (word.front() == '<' && word.find("TRIPLE-SAMPLING") != std::string_view::npos) {
            details.bTripleSampling = true;
        }
        if (i + 1 >= words.size()) {
            continue;
        }
        for (const auto& [key, field] : keys) {
            // The first plain number after a key counts; the limits line's ranges do not.
            if (word == key && !(details.*field)) {
                details.*field = Whole(words[i + 1]);
            }
        }
    }
    return details;
}

IpDetailsDecoding DecodeIpDetails(std::string_view text, std::optional<double> dTargetKbps) {
    const IpDetails details = ParseIpDetails(text);
    IpDetailsDecoding result;
    const std::pair<const char*, const std::optional<std::uint32_t>*> required[] = {
        {"clock", &details.clockHz},
        {"prop-seg", &details.propSeg},
        {"phase-seg1", &details.phaseSeg1},
        {"phase-seg2", &details.phaseSeg2},
        {"sjw", &details.sjw},
    };
    for (const auto& [name, value] : required) {
        if (!*value) {
            result.sError = std::string("no '") + name + " N' in the text";
            return result;
        }
    }
    if (!details.brp && !details.tqNs) {
        result.sError = "neither 'tq N' nor 'brp N' in the text";
        return result;
    }
    if (*details.clockHz == 0) {
        result.sError = "'clock 0' gives no time quantum";
        return result;
    }
    // The kernel's own rounding from a quantum to a prescaler.
    const std::uint64_t clock = *details.clockHz;
    const std::uint64_t brp =
        details.brp ? *details.brp : (clock * *details.tqNs + 500000000ULL) / 1000000000ULL;

    std::vector<std::string> findings;
    if (!details.driver.empty() && details.driver != "mcp251x") {
        findings.push_back("The limits line names the " + details.driver +
                           " driver, not mcp251x; the oscillator is taken as twice its clock.");
    }
    if (brp < 1 || brp > 64) {
        findings.push_back("The prescaler is " + std::to_string(brp) +
                           "; the controller's BRP field holds 1 to 64.");
    }
    const auto outside = [&findings](const char* name, std::uint32_t value, int low, int high) {
        if (static_cast<int>(value) < low || static_cast<int>(value) > high) {
            findings.push_back(std::string(name) + " " + std::to_string(value) +
                               " is outside the controller's " + std::to_string(low) + " to " +
                               std::to_string(high) + " Tq.");
        }
    };
    outside("prop-seg", *details.propSeg, kMinPropagation, kMaxPropagation);
    outside("phase-seg1", *details.phaseSeg1, kMinPhase1, kMaxPhase1);
    outside("sjw", *details.sjw, kMinSJW, kMaxSJW);
    if (*details.phaseSeg2 > kMaxPhase2) { // below the minimum is one of the setting's findings
        outside("phase-seg2", *details.phaseSeg2, kMinPhase2, kMaxPhase2);
    }

    BitTimingSetting setting;
    setting.dOscFreqMHz = 2.0 * static_cast<double>(clock) / 1e6;
    setting.lBRPMinus1 = static_cast<int>(brp) - 1;
    SegmentSettings& s = setting.segments;
    s.lPropagation = static_cast<int>(*details.propSeg);
    s.lPhase1 = static_cast<int>(*details.phaseSeg1);
    s.lPhase2 = static_cast<int>(*details.phaseSeg2);
    s.lSJW = static_cast<int>(*details.sjw);
    s.bSam = details.bTripleSampling;
    s.lTqCount = 1 + s.lPropagation + s.lPhase1 + s.lPhase2;
    if (dTargetKbps) {
        setting.dTargetKbps = *dTargetKbps;
    } else if (details.bitrate) {
        setting.dTargetKbps = *details.bitrate / 1000.0;
    } else {
        setting.dTargetKbps = ActualRateKbps(setting);
    }

    DecodedRegisters decoded;
    decoded.setting = setting;
    decoded.layout = RegisterLayout::Linux;
    decoded.findings = std::move(findings);
    for (std::string& finding : SettingFindings(DescribeBitTiming(setting))) {
        decoded.findings.push_back(std::move(finding));
    }
    result.decoded = std::move(decoded);
    return result;
}

} // namespace quillon
