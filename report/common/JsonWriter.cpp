#include "report/common/JsonWriter.h"

#include "timing/common/FloatText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace quillon {
inline namespace common {

namespace {

// Whole numbers below this are written with all their digits; larger ones, where a
// double no longer holds every whole number, in the shortest exponent form.
constexpr double kLargestPlainWhole = 1e15;

} // namespace

JsonWriter& JsonWriter::BeginObject() {
    Open('{');
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    Close('}');
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    Open('[');
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    Close(']');
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    BeforeValue();
    AppendQuoted(name);
    m_text += ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
    BeforeValue();
    AppendQuoted(text);
    return *this;
}

JsonWriter& JsonWriter::Number(double value) {
    if (!std::isfinite(value)) {
        return Null();
    }
    if (std::trunc(value) == value && std::fabs(value) < kLargestPlainWhole) {
        // 500000 rather than 5e+05.
        return Integer(static_cast<std::int64_t>(value));
    }
    BeforeValue();
    m_text += ShortestDoubleText(value);
    return *this;
}

JsonWriter& JsonWriter::Integer(std::int64_t value) {
    BeforeValue();
    m_text += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    m_text += "null";
    return *this;
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        // The value of a member goes right after its key.
        m_afterKey = false;
        return;
    }
    if (!m_levels.empty()) {
        if (m_levels.back().count++ > 0) {
            m_text += ',';
        }
        NewLine();
    }
}

void JsonWriter::Open(char bracket) {
    BeforeValue();
    m_text += bracket;
    m_levels.push_back({0});
}

void JsonWriter::Close(char bracket) {
    const bool empty = m_levels.empty() || m_levels.back().count == 0;
    if (!m_levels.empty()) {
        m_levels.pop_back();
    }
    if (!empty) {
        NewLine();
    }
    m_text += bracket;
}

void JsonWriter::NewLine() {
    m_text += '\n';
    m_text.append(2 * m_levels.size(), ' ');
}

void JsonWriter::AppendQuoted(std::string_view text) {
    m_text += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            m_text += "\\\"";
            break;
        case '\\':
            m_text += "\\\\";
            break;
        case '\n':
            m_text += "\\n";
            break;
        case '\r':
            m_text += "\\r";
            break;
        case '\t':
            m_text += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                std::array<char, 8> escaped{};
                std::snprintf(escaped.data(), escaped.size(), "\\u%04x",
                              static_cast<unsigned>(static_cast<unsigned char>(c)));
                m_text += escaped.data();
            } else {
                // UTF-8 bytes, the micro sign among them, pass through unchanged.
                m_text += c;
            }
        }
    }
    m_text += '"';
}

} // namespace common
} // namespace quillon
