#include "timing/common/RegisterReading.h"

namespace quillon {
inline namespace common {

namespace {

constexpr RegisterLayoutInfo kCnf{
    "MCP2510/MCP251X", {"CNF1", "CNF2", "CNF3"}, 3, 0xFF, {"BTLMODE", "PHSEG2", "SOF"}};
constexpr RegisterLayoutInfo kBrgcon{
    "PIC18", {"BRGCON1", "BRGCON2", "BRGCON3"}, 3, 0xFF, {"SEG2PHTS", "SEG2PH", "WAKDIS"}};
constexpr RegisterLayoutInfo kCicfg{
    "dsPIC30F/dsPIC33F/PIC24H", {"CiCFG1", "CiCFG2", ""}, 2, 0xFFFF, {"SEG2PHTS", "SEG2PH", ""}};
constexpr RegisterLayoutInfo kPic32Cicfg{
    "PIC32MX", {"CiCFG", "", ""}, 1, 0xFFFFFFFF, {"SEG2PHTS", "SEG2PH", ""}};
constexpr RegisterLayoutInfo kAt91Br{"AT91 CAN", {"CAN_BR", "", ""}, 1, 0xFFFFFFFF, {"", "", ""}};

// A value is echoed in a refusal; this keeps a pasted page from becoming the message.
constexpr std::size_t kLongestEcho = 24;
constexpr std::string_view kHowToWrite = " (write 0x91 or 145)";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The text as a refusal quotes it: on one line, printable, and not too long.
std::string Echo(std::string_view text) {
    std::string echo;
    for (const char c : text.substr(0, kLongestEcho)) {
        const auto byte = static_cast<unsigned char>(c);
        echo += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    return text.size() > kLongestEcho ? echo + "..." : echo;
}

std::string Hex(unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + (digits.size() % 2 == 1 ? "0" + digits : digits);
}

int DigitValue(char c, unsigned base) {
    int digit = -1;
    if (c >= '0' && c <= '9') {
        digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
    }
    return digit;
}

// One register's value; the error names the register.
bool ReadOne(std::string_view name, std::string_view text, unsigned maxValue, unsigned& value,
             std::string& error) {
    std::string problem;
    const std::optional<std::uint32_t> word = ReadRegisterWord(text, maxValue, problem);
    if (!word) {
        error = std::string(name) + ": " + problem;
        return false;
    }
    value = *word;
    return true;
}

} // namespace

std::optional<std::uint32_t> ReadRegisterWord(std::string_view text, std::uint32_t maxValue,
                                              std::string& error) {
    const std::string_view word = Trimmed(text);
    if (word.empty()) {
        error = "no value" + std::string(kHowToWrite);
        return std::nullopt;
    }
    unsigned base = 10;
    std::string_view digits = word;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    unsigned long long sum = 0;
    for (const char c : digits) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            error = "'" + Echo(word) + "' is not a register value" + std::string(kHowToWrite);
            return std::nullopt;
        }
        // Past the largest value the sum only needs to stay above it.
        sum = sum > maxValue ? sum : sum * base + static_cast<unsigned>(digit);
    }
    if (sum > maxValue) {
        error = Echo(word) + " is above " + Hex(maxValue) + " (" + std::to_string(maxValue) + ")";
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(sum);
}

const RegisterLayoutInfo& LayoutInfo(RegisterLayout layout) {
    switch (layout) {
    case RegisterLayout::Brgcon:
        return kBrgcon;
    case RegisterLayout::Cicfg:
        return kCicfg;
    case RegisterLayout::Pic32Cicfg:
        return kPic32Cicfg;
    case RegisterLayout::At91Br:
        return kAt91Br;
    case RegisterLayout::Cnf:
        break;
    }
    return kCnf;
}

std::string LayoutNames(RegisterLayout layout, std::string_view separator) {
    const RegisterLayoutInfo& info = LayoutInfo(layout);
    std::string names;
    for (std::size_t i = 0; i < info.count; ++i) {
        names += (i == 0 ? "" : std::string(separator)) + std::string(info.names[i]);
    }
    return names;
}

RegisterReading ReadRegisterValues(RegisterLayout layout,
                                   const std::vector<std::string_view>& texts) {
    const RegisterLayoutInfo& info = LayoutInfo(layout);
    RegisterReading reading;
    if (texts.size() != info.count) {
        const std::string names = LayoutNames(layout, ",");
        reading.sError = std::to_string(info.count) +
                         (info.count == 1 ? " value is needed (" : " values are needed (") + names +
                         "), " + std::to_string(texts.size()) +
                         (texts.size() == 1 ? " was given" : " were given");
        return reading;
    }
    std::vector<unsigned> values(info.count);
    for (std::size_t i = 0; i < info.count; ++i) {
        if (!ReadOne(info.names[i], texts[i], info.maxValue, values[i], reading.sError)) {
            return reading;
        }
    }
    reading.values = std::move(values);
    return reading;
}

std::vector<std::string_view> SplitRegisterList(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(
            text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    return parts;
}

RegisterReading ReadRegisterList(RegisterLayout layout, std::string_view text) {
    return ReadRegisterValues(layout, SplitRegisterList(text));
}

} // namespace common
} // namespace quillon
