#pragma once
// The report page is read by browsers in the Windows ANSI code page, Windows-1252, one byte
// a character, as it always has been; the model's texts are UTF-8.
#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

// Converts UTF-8 text to Windows-1252 bytes. A character without a Windows-1252 byte,
// and a malformed UTF-8 sequence, becomes '?'.
std::string Utf8ToWindows1252(std::string_view text);

} // namespace common
} // namespace quillon
