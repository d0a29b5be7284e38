#pragma once
// Floating-point numbers to text and back without the locale, as std::to_chars and
// std::from_chars do. The web page's compiler (Emscripten's libc++) has no floating-point
// charconv; there the same digits come from the C library's exact printf and strtod in
// the "C" locale, the only locale it has. Both paths are compiled everywhere, so a native
// test can check that they agree.
#include <charconv>
#include <string>

namespace quillon {
inline namespace common {

// The shortest text that reads back as the finite `value`, fixed or scientific, whichever
// is shorter (fixed on a tie): what std::to_chars(first, last, value) writes.
std::string ShortestDoubleText(double value);
// The finite `value` with `precision` digits after the point in scientific form ("1.25e+02"):
// what std::to_chars(first, last, value, std::chars_format::scientific, precision) writes.
std::string ScientificDoubleText(double value, int precision);
// Reads a decimal number at the start of [first, last) as std::from_chars does in its
// general format: no leading blank or '+', the end of what was read in `ptr`,
// result_out_of_range (and `value` untouched) beyond the range of a double.
std::from_chars_result ReadDouble(const char* first, const char* last, double& value);

namespace float_text_detail {
// The C library's path, used where the standard library has no floating-point charconv;
// it assumes the "C" locale.
std::string ShortestViaPrintf(double value);
std::string ScientificViaPrintf(double value, int precision);
std::from_chars_result ReadViaStrtod(const char* first, const char* last, double& value);
} // namespace float_text_detail

} // namespace common
} // namespace quillon
