#include "timing/linux/LinuxDetails.h"

#include "timing/linux/Mcp251xLinux.h"

#include "timing/classic/CandidateSearch.h"
#include "timing/common/NumberFormat.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

namespace quillon {
inline namespace linux {

namespace {

// `ip -oneline` writes a backslash where a line ends.
bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\\';
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSeparator(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsSeparator(text[i])) {
            ++i;
        }
        if (i > start) {
            words.push_back(text.substr(start, i - start));
        }
    }
    return words;
}

// The number a word starts with. Older iproute2 runs the clock into the next word
// ("8000000numtxqueues"), so letters may follow; a point may not, so the limits line's
// ranges ("1..4") and the sample point give nothing.
std::optional<std::uint32_t> LeadingWhole(std::string_view word) {
    std::uint64_t value = 0;
    std::size_t i = 0;
    for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
        value = value * 10 + static_cast<unsigned>(word[i] - '0');
        if (value > UINT32_MAX) {
            return std::nullopt;
        }
    }
    if (i == 0 || (i < word.size() && word[i] == '.')) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// A driver's name as a finding quotes it: letters, digits, '-' and '_', others as '?'.
std::string DriverName(std::string_view word) {
    std::string name;
    for (const char c : word.substr(0, 32)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        name += plain ? c : '?';
    }
    return name;
}

std::string Mhz(double mhz) {
    return FormatGeneralNumber(mhz) + " MHz";
}

using Field = std::optional<std::uint32_t> IpDetails::*;

// The values a decoding needs, in the order a refusal names the first missing one.
constexpr std::pair<const char*, Field> kRequired[] = {{"prop-seg", &IpDetails::propSeg},
                                                       {"phase-seg1", &IpDetails::phaseSeg1},
                                                       {"phase-seg2", &IpDetails::phaseSeg2},
                                                       {"sjw", &IpDetails::sjw},
                                                       {"clock", &IpDetails::clockHz}};

std::string MissingValue(const IpDetails& details) {
    const bool anyTiming = details.bitrate || details.tqNs || details.propSeg ||
                           details.phaseSeg1 || details.phaseSeg2 || details.sjw;
    if (!anyTiming) {
        return "no bit timing in the text (the 'bitrate ...' and 'tq ... prop-seg ...' lines "
               "of 'ip -details link show'); is the interface configured?";
    }
    for (const auto& [name, field] : kRequired) {
        if (!(details.*field)) {
            return std::string("no '") + name + " N' in the text";
        }
    }
    if (!details.brp && !details.tqNs) {
        return "neither 'tq N' nor 'brp N' in the text";
    }
    return {};
}

// Findings for fields the registers cannot hold; their sentences also explain why no
// registers are shown.
std::vector<std::string> FieldsOutsideRegisters(const IpDetails& d, std::uint64_t brp) {
    const std::pair<const char*, std::uint64_t> fields[] = {{"brp", brp},
                                                            {"prop-seg", *d.propSeg},
                                                            {"phase-seg1", *d.phaseSeg1},
                                                            {"sjw", *d.sjw},
                                                            {"phase-seg2", *d.phaseSeg2}};
    const std::pair<int, int> ranges[] = {{kMinBRPMinus1 + 1, kMaxBRPMinus1 + 1},
                                          {kMinPropagation, kMaxPropagation},
                                          {kMinPhase1, kMaxPhase1},
                                          {kMinSJW, kMaxSJW},
                                          {1, kMaxPhase2}}; // PHSEG2 holds 1 Tq too
    std::vector<std::string> findings;
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const auto [low, high] = ranges[i];
        if (fields[i].second < static_cast<std::uint64_t>(low) ||
            fields[i].second > static_cast<std::uint64_t>(high)) {
            findings.push_back(std::string(fields[i].first) + " " +
                               std::to_string(fields[i].second) +
                               " does not fit the MCP251X registers, which hold " +
                               std::to_string(low) + " to " + std::to_string(high) + ".");
        }
    }
    return findings;
}

} // namespace

IpDetails ParseIpDetails(std::string_view text) {
    IpDetails details;
    const std::vector<std::string_view> words = Words(text);
    const std::pair<std::string_view, Field> keys[] = {
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
            details.driver = DriverName(word.substr(0, word.size() - 1));
        }
        if (word.front() == '<' && word.find("TRIPLE-SAMPLING") != std::string_view::npos) {
            details.bTripleSampling = true;
        }
        if (i + 1 >= words.size()) {
            continue;
        }
        for (const auto& [key, field] : keys) {
            // The first number after a key counts; the limits line's ranges are none.
            if (word == key && !(details.*field)) {
                details.*field = LeadingWhole(words[i + 1]);
            }
        }
    }
    return details;
}

IpDetailsDecoding DecodeIpDetails(std::string_view text, std::optional<double> dOscFreqMHz,
                                  std::optional<double> dTargetKbps) {
    const IpDetails details = ParseIpDetails(text);
    IpDetailsDecoding result;
    result.sError = MissingValue(details);
    if (!result.sError.empty()) {
        return result;
    }
    const std::uint64_t clock = *details.clockHz;
    if (clock == 0) {
        result.sError = "'clock 0' gives no time quantum";
        return result;
    }
    // Without "brp", the kernel's own rounding from its quantum (brp x 1e9 / clock,
    // truncated) back to the prescaler.
    const std::uint64_t brp =
        details.brp ? *details.brp
                    : KernelPrescaler(static_cast<std::uint32_t>(clock), *details.tqNs);
    if (brp == 0) {
        result.sError = "'tq " + std::to_string(*details.tqNs) +
                        "' is shorter than one period of 'clock " + std::to_string(clock) + "'";
        return result;
    }
    for (const auto& [name, value] : {std::pair<const char*, std::uint64_t>{"brp", brp},
                                      {"prop-seg", *details.propSeg},
                                      {"phase-seg1", *details.phaseSeg1},
                                      {"phase-seg2", *details.phaseSeg2},
                                      {"sjw", *details.sjw}}) {
        if (value > kLargestLinuxField) {
            result.sError = std::string(name) + " " + std::to_string(value) +
                            " is more than any CAN controller has (" +
                            std::to_string(kLargestLinuxField) + " at most)";
            return result;
        }
    }

    DecodedRegisters decoded;
    if (!details.driver.empty() && details.driver != "mcp251x") {
        decoded.findings.push_back({Severity::Warning,
                                    code::kInterface,
                                    "The limits line names the " + details.driver +
                                        " driver, not mcp251x; the oscillator is taken as twice "
                                        "its clock.",
                                    {}});
    }
    std::vector<std::string> outside = FieldsOutsideRegisters(details, brp);
    if (!outside.empty()) {
        decoded.sRegistersProblem = outside.front();
    }
    for (std::string& finding : outside) {
        decoded.findings.push_back(
            {Severity::Warning, code::kInterface, std::move(finding), source::kDatasheet});
    }

    BitTimingSetting& setting = decoded.setting;
    const double dInterfaceOscMHz = 2.0 * static_cast<double>(clock) / 1e6;
    setting.dOscFreqMHz = dInterfaceOscMHz;
    setting.lBRPMinus1 = static_cast<int>(brp) - 1;
    SegmentSettings& s = setting.segments;
    s.lPropagation = static_cast<int>(*details.propSeg);
    s.lPhase1 = static_cast<int>(*details.phaseSeg1);
    s.lPhase2 = static_cast<int>(*details.phaseSeg2);
    s.lSJW = static_cast<int>(*details.sjw);
    s.bSam = details.bTripleSampling;
    s.lTqCount = 1 + s.lPropagation + s.lPhase1 + s.lPhase2;
    // The rate the interface believes in, worked out as the registers' rate on its clock.
    const double dBelievedKbps = ActualRateKbps(setting);

    if (dOscFreqMHz && std::fabs(*dOscFreqMHz - dInterfaceOscMHz) > 1e-9 * dInterfaceOscMHz) {
        decoded.findings.push_back({Severity::Error, code::kInterface,
                                    "The interface counts on a " + Mhz(dInterfaceOscMHz) +
                                        " oscillator (clock " + std::to_string(clock) +
                                        "), not the " + Mhz(*dOscFreqMHz) +
                                        " given: its device tree names the wrong oscillator.",
                                    source::kLinux});
        setting.dOscFreqMHz = *dOscFreqMHz;
    }
    FinishDecoding(decoded, dTargetKbps ? dTargetKbps : dBelievedKbps);
    result.decoded = std::move(decoded);
    return result;
}

} // namespace linux
} // namespace quillon
