#pragma once
// A small JSON writer for the --json output: one document, indented two blanks a level so
// a person can read it too. Strings are UTF-8 and escaped as JSON requires; doubles are
// written in their shortest form that reads back to the same value, independent of the
// locale; a value that is not finite becomes null, which JSON can carry and NaN cannot.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace common {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next member of the open object.
    JsonWriter& Key(std::string_view name);
    JsonWriter& String(std::string_view text);
    JsonWriter& Number(double value);
    JsonWriter& Integer(std::int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // The finished document with a final line feed.
    std::string Text() const { return m_text + "\n"; }

private:
    struct Level {
        int count; // values written so far
    };

    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);
    void NewLine();
    void AppendQuoted(std::string_view text);

    std::string m_text;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};

} // namespace common
} // namespace quillon
