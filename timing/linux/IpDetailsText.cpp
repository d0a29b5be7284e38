// The text form of `ip -details link show`: words and the numbers after known keys. Any
// layout iproute2 has printed reads alike: the older one whose clock runs into the next word
// ("clock 8000000numtxqueues 1"), the newer one with "brp" and "brp_inc", the CAN FD lines
// and `ip -oneline`'s backslashes for line breaks.
#include "timing/linux/IpDetails.h"

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
// ("8000000numtxqueues"), so letters may follow; a point may not, so the limits' ranges
// ("1..4", "tdco 0..127") and the sample point give nothing.
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

bool EndsWithColon(std::string_view word) {
    return word.size() > 1 && word.back() == ':';
}

// "3:" followed by "can0:" (or "can0@spi0:") starts an interface.
bool IsHeader(const std::vector<std::string_view>& words, std::size_t i) {
    const std::string_view number = words[i];
    if (!EndsWithColon(number) || i + 1 >= words.size() || !EndsWithColon(words[i + 1])) {
        return false;
    }
    return number.substr(0, number.size() - 1).find_first_not_of("0123456789") ==
           std::string_view::npos;
}

std::string HeaderName(std::string_view word) {
    word.remove_suffix(1);
    return QuotedName(word.substr(0, word.find('@')));
}

// "lo, eth0 and can0".
std::string NameList(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    }
    return text;
}

using Field = std::optional<std::uint32_t> IpTiming::*;
using DetailsField = std::optional<std::uint32_t> IpDetails::*;

constexpr std::pair<std::string_view, Field> kTimingKeys[] = {{"bitrate", &IpTiming::bitrate},
                                                              {"tq", &IpTiming::tqNs},
                                                              {"prop-seg", &IpTiming::propSeg},
                                                              {"phase-seg1", &IpTiming::phaseSeg1},
                                                              {"phase-seg2", &IpTiming::phaseSeg2},
                                                              {"sjw", &IpTiming::sjw},
                                                              {"brp", &IpTiming::brp}};
constexpr std::pair<std::string_view, DetailsField> kOtherKeys[] = {{"clock", &IpDetails::clockHz},
                                                                    {"tdcv", &IpDetails::tdcv},
                                                                    {"tdco", &IpDetails::tdco},
                                                                    {"tdcf", &IpDetails::tdcf}};

// The first number after a key counts; the limits' ranges are none.
void Take(std::optional<std::uint32_t>& field, std::string_view next) {
    if (!field) {
        field = LeadingWhole(next);
    }
}

void ReadControlModes(IpDetails& details, std::string_view word) {
    if (word.size() < 2 || word.front() != '<' || word.back() != '>') {
        return;
    }
    word = word.substr(1, word.size() - 2);
    while (!word.empty()) {
        const std::size_t comma = word.find(',');
        const std::string_view mode = word.substr(0, comma);
        details.bTripleSampling = details.bTripleSampling || mode == "TRIPLE-SAMPLING";
        details.bFd = details.bFd || mode == "FD";
        details.bTdcAuto = details.bTdcAuto || mode == "TDC-AUTO";
        details.bTdcManual = details.bTdcManual || mode == "TDC-MANUAL";
        word = comma == std::string_view::npos ? std::string_view() : word.substr(comma + 1);
    }
}

IpDetails ReadWords(const std::vector<std::string_view>& words, std::size_t begin,
                    std::size_t end) {
    IpDetails details;
    for (std::size_t i = begin; i < end; ++i) {
        const std::string_view word = words[i];
        ReadControlModes(details, word);
        if (i + 1 >= end) {
            continue;
        }
        const std::string_view next = words[i + 1];
        if (EndsWithColon(word) && (next == "tseg1" || next == "dtseg1") &&
            details.driver.empty()) {
            details.driver = QuotedName(word.substr(0, word.size() - 1));
        }
        const bool data = word.size() > 1 && word.front() == 'd';
        for (const auto& [key, field] : kTimingKeys) {
            if (word == key) {
                Take(details.nominal.*field, next);
            } else if (data && word.substr(1) == key) {
                Take(details.data.*field, next);
            }
        }
        for (const auto& [key, field] : kOtherKeys) {
            if (word == key) {
                Take(details.*field, next);
            }
        }
    }
    return details;
}

bool IsCanBlock(const std::vector<std::string_view>& words, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        if (words[i] == "link/can" || words[i] == "can") {
            return true;
        }
    }
    return false;
}

} // namespace

std::string QuotedName(std::string_view name) {
    std::string quoted;
    for (const char c : name.substr(0, 32)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '@';
        quoted += plain ? c : '?';
    }
    return quoted;
}

std::string IpDetails::InterfaceName() const {
    return sInterface.empty() ? "the interface" : sInterface;
}

IpDetailsReading ReadIpDetailsText(std::string_view text) {
    IpDetailsReading reading;
    const std::vector<std::string_view> words = Words(text);
    if (words.empty()) {
        reading.sError = "the text is empty; give the output of 'ip -details link show can0'";
        return reading;
    }
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (IsHeader(words, i)) {
            headers.push_back(i);
        }
    }
    if (headers.empty()) {
        reading.details = ReadWords(words, 0, words.size());
        return reading;
    }
    std::vector<std::string> all, can;
    std::size_t begin = 0, end = 0;
    for (std::size_t k = 0; k < headers.size(); ++k) {
        const std::size_t blockEnd = k + 1 < headers.size() ? headers[k + 1] : words.size();
        all.push_back(HeaderName(words[headers[k] + 1]));
        if (IsCanBlock(words, headers[k], blockEnd)) {
            can.push_back(all.back());
            begin = headers[k];
            end = blockEnd;
        }
    }
    if (can.empty()) {
        reading.sError = "the text holds no CAN interface (" + NameList(all) +
                         "); give the output of 'ip -details link show can0'";
        return reading;
    }
    if (can.size() > 1) {
        reading.sError = "the text holds " + std::to_string(can.size()) + " CAN interfaces, " +
                         NameList(can) +
                         "; give the output of 'ip -details link show' for one of them";
        return reading;
    }
    reading.details = ReadWords(words, begin, end);
    reading.details->sInterface = can.front();
    return reading;
}

IpDetailsReading ReadIpDetails(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && (text[first] == '[' || text[first] == '{')) {
        return ReadIpDetailsJson(text);
    }
    return ReadIpDetailsText(text);
}

} // namespace linux
} // namespace quillon
