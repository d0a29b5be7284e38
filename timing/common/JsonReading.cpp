// The JSON reader: one recursive descent over the text, at most kJsonMaxDepth deep.
#include "timing/common/JsonReading.h"
#include "timing/common/FloatText.h"

#include "timing/common/NumberReading.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace quillon {
inline namespace common {

namespace {

void AppendUtf8(std::string& text, std::uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    JsonReading ReadAll() {
        JsonReading reading;
        JsonValue value;
        SkipSpace();
        if (Value(value, 0)) {
            SkipSpace();
            if (m_pos < m_text.size()) {
                Fail("more text after the JSON value");
            }
        }
        if (m_error.empty()) {
            reading.value = std::move(value);
        }
        reading.sError = std::move(m_error);
        return reading;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_error;

    bool Fail(const std::string& what) {
        if (m_error.empty()) {
            m_error = "at byte " + std::to_string(m_pos + 1) + ": " + what;
        }
        return false;
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }

    // Steps over `c` when it comes next.
    bool Take(char c) {
        if (AtEnd() || m_text[m_pos] != c) {
            return false;
        }
        ++m_pos;
        return true;
    }

    void SkipSpace() {
        while (!AtEnd() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                            m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }

    bool Literal(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word) {
            return Fail("'" + std::string(word) + "' expected");
        }
        m_pos += word.size();
        return true;
    }

    bool Value(JsonValue& value, std::size_t depth) {
        if (AtEnd()) {
            return Fail("the text ends where a value should be");
        }
        switch (m_text[m_pos]) {
        case '{':
            return Object(value, depth + 1);
        case '[':
            return Array(value, depth + 1);
        case '"':
            value.kind = JsonValue::Kind::String;
            return String(value.sText);
        case 't':
        case 'f':
            value.kind = JsonValue::Kind::Bool;
            value.bValue = m_text[m_pos] == 't';
            return Literal(value.bValue ? "true" : "false");
        case 'n':
            value.kind = JsonValue::Kind::Null;
            return Literal("null");
        default:
            return Number(value);
        }
    }

    bool Deeper(std::size_t depth) {
        return depth <= kJsonMaxDepth ||
               Fail("nested deeper than " + std::to_string(kJsonMaxDepth) + " levels");
    }

    bool Object(JsonValue& value, std::size_t depth) {
        value.kind = JsonValue::Kind::Object;
        if (!Deeper(depth)) {
            return false;
        }
        ++m_pos; // '{'
        SkipSpace();
        if (Take('}')) {
            return true;
        }
        for (;;) {
            SkipSpace();
            if (AtEnd() || m_text[m_pos] != '"') {
                return Fail("a member's name in quotes expected");
            }
            std::string key;
            if (!String(key)) {
                return false;
            }
            SkipSpace();
            if (!Take(':')) {
                return Fail("':' expected after a member's name");
            }
            SkipSpace();
            value.keys.push_back(std::move(key));
            value.items.emplace_back();
            if (!Value(value.items.back(), depth)) {
                return false;
            }
            SkipSpace();
            if (Take(',')) {
                continue;
            }
            if (Take('}')) {
                return true;
            }
            return Fail("',' or '}' expected after an object's member");
        }
    }

    bool Array(JsonValue& value, std::size_t depth) {
        value.kind = JsonValue::Kind::Array;
        if (!Deeper(depth)) {
            return false;
        }
        ++m_pos; // '['
        SkipSpace();
        if (Take(']')) {
            return true;
        }
        for (;;) {
            SkipSpace();
            value.items.emplace_back();
            if (!Value(value.items.back(), depth)) {
                return false;
            }
            SkipSpace();
            if (Take(',')) {
                continue;
            }
            if (Take(']')) {
                return true;
            }
            return Fail("',' or ']' expected after an array's element");
        }
    }

    // Four hexadecimal digits after "\u".
    bool Hex4(std::uint32_t& code) {
        code = 0;
        for (int i = 0; i < 4; ++i, ++m_pos) {
            const int digit = AtEnd() ? -1 : HexDigitValue(m_text[m_pos]);
            if (digit < 0) {
                return Fail("four hexadecimal digits expected after \\u");
            }
            code = code * 16 + static_cast<std::uint32_t>(digit);
        }
        return true;
    }

    bool Escape(std::string& text) {
        const std::size_t start = m_pos;
        ++m_pos; // '\'
        if (AtEnd()) {
            return Fail("the text ends inside a string");
        }
        const char c = m_text[m_pos++];
        constexpr std::string_view kFrom = "\"\\/bfnrt";
        constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
        if (const std::size_t at = kFrom.find(c); at != std::string_view::npos) {
            text += kTo[at];
            return true;
        }
        if (c != 'u') {
            m_pos = start;
            const auto byte = static_cast<unsigned char>(c);
            if (byte <= 0x20 || byte >= 0x7F) {
                static constexpr char kHex[] = "0123456789ABCDEF";
                return Fail(std::string("a backslash before byte 0x") + kHex[byte >> 4] +
                            kHex[byte & 0xF] + ", which is no escape of JSON");
            }
            return Fail("'\\" + std::string(1, c) + "' is no escape of JSON");
        }
        std::uint32_t code = 0;
        if (!Hex4(code)) {
            return false;
        }
        if (code >= 0xDC00 && code <= 0xDFFF) {
            return Fail("a low surrogate without a high one before it");
        }
        if (code >= 0xD800 && code <= 0xDBFF) {
            std::uint32_t low = 0;
            if (m_text.substr(m_pos, 2) != "\\u") {
                return Fail("a high surrogate without a low one after it");
            }
            m_pos += 2;
            if (!Hex4(low)) {
                return false;
            }
            if (low < 0xDC00 || low > 0xDFFF) {
                return Fail("a high surrogate without a low one after it");
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(text, code);
        return true;
    }

    bool String(std::string& text) {
        ++m_pos; // '"'
        for (;;) {
            if (AtEnd()) {
                return Fail("the text ends inside a string");
            }
            const char c = m_text[m_pos];
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return Fail("a control character inside a string");
            }
            if (c == '\\') {
                if (!Escape(text)) {
                    return false;
                }
                continue;
            }
            text += c;
            ++m_pos;
        }
    }

    std::size_t Digits() {
        const std::size_t start = m_pos;
        while (!AtEnd() && IsDecimalDigit(m_text[m_pos])) {
            ++m_pos;
        }
        return m_pos - start;
    }

    bool Number(JsonValue& value) {
        const std::size_t start = m_pos;
        if (!AtEnd() && m_text[m_pos] == '-') {
            ++m_pos;
        }
        const std::size_t integral = m_pos;
        if (Digits() == 0) {
            m_pos = start;
            return Fail("a value expected (an object, array, string, number, true, false or "
                        "null)");
        }
        if (m_pos - integral > 1 && m_text[integral] == '0') {
            m_pos = integral;
            return Fail("a number with a leading zero");
        }
        if (!AtEnd() && m_text[m_pos] == '.') {
            ++m_pos;
            if (Digits() == 0) {
                return Fail("digits expected after the decimal point");
            }
        }
        if (!AtEnd() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            if (!AtEnd() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) {
                ++m_pos;
            }
            if (Digits() == 0) {
                return Fail("digits expected in the exponent");
            }
        }
        value.kind = JsonValue::Kind::Number;
        value.sText = std::string(m_text.substr(start, m_pos - start));
        const char* const first = m_text.data() + start;
        const auto [end, error] = ReadDouble(first, m_text.data() + m_pos, value.dValue);
        if (error != std::errc() || end != m_text.data() + m_pos || !std::isfinite(value.dValue)) {
            m_pos = start;
            return Fail("the number " + value.sText.substr(0, 40) + " is out of range");
        }
        return true;
    }
};

} // namespace

const JsonValue* JsonValue::Member(std::string_view key) const {
    if (kind != Kind::Object) {
        return nullptr;
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == key) {
            return &items[i];
        }
    }
    return nullptr;
}

std::optional<std::uint32_t> JsonValue::Whole() const {
    if (kind != Kind::Number || sText.find_first_not_of("0123456789") != std::string::npos ||
        dValue > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(dValue);
}

std::string_view JsonKindName(JsonValue::Kind kind) {
    switch (kind) {
    case JsonValue::Kind::Object:
        return "an object";
    case JsonValue::Kind::Array:
        return "an array";
    case JsonValue::Kind::String:
        return "a string";
    case JsonValue::Kind::Number:
        return "a number";
    case JsonValue::Kind::Bool:
        return "true or false";
    case JsonValue::Kind::Null:
        break;
    }
    return "null";
}

JsonReading ReadJson(std::string_view text) {
    if (text.size() > kJsonMaxBytes) {
        JsonReading reading;
        reading.sError = "longer than " + std::to_string(kJsonMaxBytes) + " bytes";
        return reading;
    }
    return Reader(text).ReadAll();
}

} // namespace common
} // namespace quillon
