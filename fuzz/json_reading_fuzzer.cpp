// Fuzz target for the model's JSON reader (timing/common/JsonReading.h), which reads
// `ip -details -json link show` before anything looks at its members.
// Input: the text.
// Properties: the text gives a value or a refusal, never both and never neither; a refusal
// is one line starting "at byte N:" with N within the text (or says the text is too long);
// a value nests no deeper than the limit, and written back out in one plain form it reads
// again as the same value.
#include "FuzzInput.h"
#include "timing/common/JsonReading.h"

#include <string>

namespace {

using quillon::JsonValue;

std::string Quoted(const std::string& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The value in one form: no white space, strings with only the escapes they need.
std::string Written(const JsonValue& value, std::size_t depth, std::size_t& deepest) {
    deepest = depth > deepest ? depth : deepest;
    switch (value.kind) {
    case JsonValue::Kind::Null:
        return "null";
    case JsonValue::Kind::Bool:
        return value.bValue ? "true" : "false";
    case JsonValue::Kind::Number:
        return value.sText;
    case JsonValue::Kind::String:
        return Quoted(value.sText);
    case JsonValue::Kind::Array:
    case JsonValue::Kind::Object:
        break;
    }
    const bool object = value.Is(JsonValue::Kind::Object);
    std::string out = object ? "{" : "[";
    for (std::size_t i = 0; i < value.items.size(); ++i) {
        out += i == 0 ? "" : ",";
        if (object) {
            out += Quoted(value.keys.at(i)) + ":";
        }
        out += Written(value.items[i], depth + 1, deepest);
    }
    return out + (object ? "}" : "]");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzInput input(data, size);
    const std::string text(input.Rest());
    const std::string detail = "text \"" + text.substr(0, 120) + "\"";

    const quillon::JsonReading reading = quillon::ReadJson(text);
    FUZZ_CHECK(reading.value.has_value() == reading.sError.empty(), detail);
    if (!reading.value) {
        FUZZ_CHECK(reading.sError.find('\n') == std::string::npos, reading.sError);
        const std::string lead = "at byte ";
        if (reading.sError.rfind(lead, 0) == 0) {
            const std::size_t byte = std::stoul(reading.sError.substr(lead.size()));
            FUZZ_CHECK(byte >= 1 && byte <= text.size() + 1, reading.sError);
        } else {
            FUZZ_CHECK(text.size() > quillon::kJsonMaxBytes, reading.sError);
        }
        return 0;
    }
    std::size_t deepest = 0;
    const std::string written = Written(*reading.value, 0, deepest);
    FUZZ_CHECK(deepest <= quillon::kJsonMaxDepth, detail);
    const quillon::JsonReading again = quillon::ReadJson(written);
    FUZZ_CHECK(again.value.has_value(), detail + ": " + again.sError + " in " + written);
    std::size_t unused = 0;
    FUZZ_CHECK(Written(*again.value, 0, unused) == written, detail + ": " + written);
    return 0;
}
