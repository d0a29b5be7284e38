#pragma once
// A small reader of JSON text (objects, arrays, strings with their escapes, numbers, true,
// false, null) for the documents other tools print and the program reads back, such as
// `ip -details -json link show`. Standard C++ only, so the model can read them without Qt.
// A text that is no JSON, nests too deep or is too long gives a refusal naming the byte where
// it went wrong, never an exception; members keep the order of the text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace common {

// Deeper nesting or longer texts are refused: no tool's output the program reads comes near.
inline constexpr std::size_t kJsonMaxDepth = 64;
inline constexpr std::size_t kJsonMaxBytes = std::size_t{1} << 20;

class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool bValue = false;
    double dValue = 0.0;
    std::string sText;             // a string's value (UTF-8), or a number as it was written
    std::vector<JsonValue> items;  // an array's elements, or an object's values
    std::vector<std::string> keys; // an object's keys, one for each of `items`

    bool Is(Kind k) const { return kind == k; }
    // The value of the first member called `key` of an object; nullptr for none or no object.
    const JsonValue* Member(std::string_view key) const;
    // A number without fraction or exponent from 0 to UINT32_MAX, or nothing.
    std::optional<std::uint32_t> Whole() const;
};

// "an object", "an array", "a string", "a number", "true or false", "null": a kind as a
// refusal names it.
std::string_view JsonKindName(JsonValue::Kind kind);

struct JsonReading {
    std::optional<JsonValue> value;
    // "at byte 17: ',' or '}' expected after an object's member"; empty when read.
    std::string sError;
};

// The one JSON value the whole text holds (white space around it allowed).
JsonReading ReadJson(std::string_view text);

} // namespace common
} // namespace quillon
