#pragma once
// Shared by the fuzz targets: takes typed values off the front of a fuzzer's byte string,
// and states a property that must hold. A broken property aborts, which libFuzzer reports
// as a crash (and keeps the input) and which fails the replay test of the normal build.
#include "fuzz/NonFiniteText.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace quillon::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    // The next sizeof(T) bytes as a T; missing bytes read as zero.
    template <typename T> T Take() {
        unsigned char bytes[sizeof(T)] = {};
        const std::size_t count = m_size < sizeof(T) ? m_size : sizeof(T);
        if (count > 0) {
            std::memcpy(bytes, m_data, count);
        }
        Skip(count);
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }

    bool TakeBool() { return (Take<std::uint8_t>() & 1) != 0; }

    // Up to `maxLength` bytes, ending early at a zero byte (which is consumed).
    std::string TakeText(std::size_t maxLength) {
        std::string text;
        while (m_size > 0 && text.size() < maxLength) {
            const char c = static_cast<char>(*m_data);
            Skip(1);
            if (c == '\0') {
                break;
            }
            text += c;
        }
        return text;
    }

    // Everything that is left.
    std::string_view Rest() const { return {reinterpret_cast<const char*>(m_data), m_size}; }
    std::size_t Remaining() const { return m_size; }

private:
    void Skip(std::size_t count) {
        m_data += count;
        m_size -= count;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
};

[[noreturn]] inline void Fail(const char* property, const std::string& detail, const char* file,
                              int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n  %s\n", file, line, property,
                 detail.c_str());
    std::abort();
}

} // namespace quillon::fuzz

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::quillon::fuzz::Fail(#condition, (detail), __FILE__, __LINE__);                       \
        }                                                                                          \
    } while (false)
