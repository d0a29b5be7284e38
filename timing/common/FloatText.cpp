#include "timing/common/FloatText.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <version>

// libstdc++ 11 and later announce floating-point charconv with this macro; Emscripten's
// libc++ has integer charconv only and does not define it.
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
#define QUILLON_FLOAT_CHARCONV 1
#else
#define QUILLON_FLOAT_CHARCONV 0
#endif

namespace quillon {
inline namespace common {

namespace float_text_detail {

namespace {

// The parts of a "%.Ne" text: its sign, its digits without the point, and the decimal
// exponent of the first digit.
struct Scientific {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Scientific SplitScientific(const char* text) {
    Scientific parts;
    const char* at = text;
    if (*at == '-') {
        parts.negative = true;
        ++at;
    }
    for (; *at != '\0' && *at != 'e'; ++at) {
        if (*at >= '0' && *at <= '9') {
            parts.digits += *at;
        }
    }
    if (*at == 'e') {
        parts.exponent = std::atoi(at + 1);
    }
    return parts;
}

std::string ScientificForm(const Scientific& parts) {
    std::string text = parts.negative ? "-" : "";
    text += parts.digits[0];
    if (parts.digits.size() > 1) {
        text += '.';
        text.append(parts.digits, 1, std::string::npos);
    }
    text += parts.exponent < 0 ? "e-" : "e+";
    const int magnitude = std::abs(parts.exponent);
    if (magnitude < 10) {
        text += '0';
    }
    text += std::to_string(magnitude);
    return text;
}

std::string FixedForm(const Scientific& parts, double value) {
    const int count = static_cast<int>(parts.digits.size());
    if (parts.exponent + 1 > count) {
        // A whole number past its shortest digits: to_chars writes its exact digits.
        std::array<char, 400> buffer{};
        std::snprintf(buffer.data(), buffer.size(), "%.0f", value);
        return buffer.data();
    }
    std::string text = parts.negative ? "-" : "";
    if (parts.exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-parts.exponent - 1), '0');
        text += parts.digits;
        return text;
    }
    const int whole = parts.exponent + 1;
    text.append(parts.digits, 0, static_cast<std::size_t>(whole));
    if (count > whole) {
        text += '.';
        text.append(parts.digits, static_cast<std::size_t>(whole), std::string::npos);
    }
    return text;
}

} // namespace

std::string ShortestViaPrintf(double value) {
    std::array<char, 40> buffer{};
    const auto readsBack = [&](int precision) {
        std::snprintf(buffer.data(), buffer.size(), "%.*e", precision, value);
        return std::strtod(buffer.data(), nullptr) == value;
    };
    // The fewest digits that read back as the value (17 always do, and one more digit
    // never stops a text from reading back); printf rounds them correctly, so they are
    // also the nearest such digits.
    int low = 0;
    int high = 16;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (readsBack(middle)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    readsBack(low);
    const Scientific parts = SplitScientific(buffer.data());
    std::string fixed = FixedForm(parts, value);
    std::string scientific = ScientificForm(parts);
    return scientific.size() < fixed.size() ? scientific : fixed;
}

std::string ScientificViaPrintf(double value, int precision) {
    std::array<char, 400> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*e", precision, value);
    return buffer.data();
}

std::from_chars_result ReadViaStrtod(const char* first, const char* last, double& value) {
    // strtod would skip blanks and take a '+' or a hexadecimal number; from_chars does not.
    const char* at = first;
    if (at != last && *at == '-') {
        ++at;
    }
    if (at == last || !((*at >= '0' && *at <= '9') || *at == '.' || *at == 'i' || *at == 'I' ||
                        *at == 'n' || *at == 'N')) {
        return {first, std::errc::invalid_argument};
    }
    // "0x10" is the number 0 followed by the rest.
    const bool hexadecimal = at + 1 < last && at[0] == '0' && (at[1] == 'x' || at[1] == 'X');
    const std::string text(first, hexadecimal ? at + 1 : last);
    char* end = nullptr;
    errno = 0;
    const double read = std::strtod(text.c_str(), &end);
    const char* const ptr = first + (end - text.c_str());
    if (ptr == first) {
        return {first, std::errc::invalid_argument};
    }
    if (errno == ERANGE && (std::isinf(read) || read == 0.0)) {
        return {ptr, std::errc::result_out_of_range};
    }
    value = read;
    return {ptr, std::errc()};
}

} // namespace float_text_detail

std::string ShortestDoubleText(double value) {
#if QUILLON_FLOAT_CHARCONV
    std::array<char, 40> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
#else
    return float_text_detail::ShortestViaPrintf(value);
#endif
}

std::string ScientificDoubleText(double value, int precision) {
#if QUILLON_FLOAT_CHARCONV
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, precision);
    return std::string(buffer.data(), result.ptr);
#else
    return float_text_detail::ScientificViaPrintf(value, precision);
#endif
}

std::from_chars_result ReadDouble(const char* first, const char* last, double& value) {
#if QUILLON_FLOAT_CHARCONV
    return std::from_chars(first, last, value);
#else
    return float_text_detail::ReadViaStrtod(first, last, value);
#endif
}

} // namespace common
} // namespace quillon
