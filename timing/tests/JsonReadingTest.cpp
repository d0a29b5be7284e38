// The JSON reader: what it reads (nesting, escapes, numbers) written back in one form, the
// refusals with the byte they name, the nesting limit at its edge, and whole numbers.
#include "timing/common/JsonReading.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

// The value in one form: strings and keys in quotes without escapes, numbers as written.
std::string Shape(const JsonValue& v) {
    switch (v.kind) {
    case JsonValue::Kind::Null:
        return "null";
    case JsonValue::Kind::Bool:
        return v.bValue ? "true" : "false";
    case JsonValue::Kind::Number:
        return v.sText;
    case JsonValue::Kind::String:
        return "\"" + v.sText + "\"";
    case JsonValue::Kind::Array:
    case JsonValue::Kind::Object:
        break;
    }
    const bool object = v.Is(JsonValue::Kind::Object);
    std::string text = object ? "{" : "[";
    for (std::size_t i = 0; i < v.items.size(); ++i) {
        text += (i == 0 ? "" : ",") + (object ? "\"" + v.keys[i] + "\":" : "") + Shape(v.items[i]);
    }
    return text + (object ? "}" : "]");
}

std::string Read(const std::string& text) {
    const JsonReading reading = ReadJson(text);
    return reading.value ? Shape(*reading.value) : reading.sError;
}

TEST(JsonReading, ValuesAndRefusals) {
    const std::string deepest = std::string(kJsonMaxDepth, '[') + std::string(kJsonMaxDepth, ']');
    const struct {
        std::string text;
        std::string read;
    } rows[] = {
        {" {\"a\" : [1, -2.5e3, 0, true,false ,null, \"x\"], \"b\": {}}\n",
         "{\"a\":[1,-2.5e3,0,true,false,null,\"x\"],\"b\":{}}"},
        {R"("\"\\\/\b\f\n\r\t")", "\"\"\\/\b\f\n\r\t\""},
        // A letter of two bytes, one of three and one outside the first plane (a surrogate pair).
        {R"("\u00e9\u20AC\ud83d\ude00")", "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""},
        {"[\"can0\",\"can0\"]", "[\"can0\",\"can0\"]"},
        {deepest, deepest},
        {"[" + deepest + "]", "at byte 65: nested deeper than 64 levels"},
        {"", "at byte 1: the text ends where a value should be"},
        {"[1,]", "at byte 4: a value expected (an object, array, string, number, true, false or "
                 "null)"},
        {"[1 2]", "at byte 4: ',' or ']' expected after an array's element"},
        {R"({"a" 1})", "at byte 6: ':' expected after a member's name"},
        {R"({"a":1,})", "at byte 8: a member's name in quotes expected"},
        {R"({"a":1)", "at byte 7: ',' or '}' expected after an object's member"},
        {"01", "at byte 1: a number with a leading zero"},
        {"-", "at byte 1: a value expected (an object, array, string, number, true, false or "
              "null)"},
        {"1.", "at byte 3: digits expected after the decimal point"},
        {"1e+", "at byte 4: digits expected in the exponent"},
        {"1e999", "at byte 1: the number 1e999 is out of range"},
        {"tru", "at byte 1: 'true' expected"},
        {"[1] x", "at byte 5: more text after the JSON value"},
        {"\"a\tb\"", "at byte 3: a control character inside a string"},
        {"\"ab", "at byte 4: the text ends inside a string"},
        {R"("\x")", "at byte 2: '\\x' is no escape of JSON"},
        {"\"\\\n\"", "at byte 2: a backslash before byte 0x0A, which is no escape of JSON"},
        {R"("\u12G4")", "at byte 6: four hexadecimal digits expected after \\u"},
        {R"("\ud800x")", "at byte 8: a high surrogate without a low one after it"},
        {R"("\ud800\u0041")", "at byte 14: a high surrogate without a low one after it"},
        {R"("\udc00")", "at byte 8: a low surrogate without a high one before it"},
        {std::string(kJsonMaxBytes + 1, ' '), "longer than 1048576 bytes"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Read(row.text), row.read) << row.text.substr(0, 80);
    }
}

TEST(JsonReading, WholeNumbersFromZeroToTheLargest32BitOne) {
    const struct {
        const char* text;
        std::optional<std::uint32_t> whole;
    } rows[] = {{"0", 0},
                {"40000000", 40000000},
                {"4294967295", 4294967295u},
                {"4294967296", {}},
                {"-1", {}},
                {"1.0", {}},
                {"1e3", {}},
                {"\"5\"", {}},
                {"null", {}}};
    for (const auto& row : rows) {
        const JsonReading reading = ReadJson(row.text);
        ASSERT_TRUE(reading.value) << reading.sError;
        EXPECT_EQ(reading.value->Whole(), row.whole) << row.text;
    }
    const JsonReading object = ReadJson(R"({"a":1,"a":2,"b":null})");
    ASSERT_TRUE(object.value);
    EXPECT_EQ(object.value->Member("a")->Whole(), 1u); // the first of a repeated name
    EXPECT_TRUE(object.value->Member("b")->Is(JsonValue::Kind::Null));
    EXPECT_EQ(object.value->Member("c"), nullptr);
    EXPECT_EQ(object.value->items[0].Member("a"), nullptr); // no object
}

} // namespace
} // namespace quillon
