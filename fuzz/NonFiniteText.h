#pragma once
// Spots a non-finite number in a produced text: "inf", "infinity" or "nan" in any case, the
// words a grid, a diagram, a report or the command line must never show. Letters around
// the word (as in "info" or the prefix "nano") do not count. Used by the fuzz targets and
// the robustness tests.
#include <cstddef>
#include <string_view>

namespace quillon::fuzz {

inline bool ShowsNonFinite(std::string_view text) {
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    const auto wordAt = [&](std::size_t i, std::string_view word) {
        if (i + word.size() > text.size()) {
            return false;
        }
        for (std::size_t k = 0; k < word.size(); ++k) {
            if (lower(text[i + k]) != word[k]) {
                return false;
            }
        }
        const bool letterBefore = i > 0 && isLetter(text[i - 1]);
        const bool letterAfter = i + word.size() < text.size() && isLetter(text[i + word.size()]);
        return !letterBefore && !letterAfter;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (wordAt(i, "inf") || wordAt(i, "infinity") || wordAt(i, "nan")) {
            return true;
        }
    }
    return false;
}

} // namespace quillon::fuzz
