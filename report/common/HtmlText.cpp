#include "report/common/HtmlText.h"

namespace quillon {
inline namespace common {

namespace {

std::string Escape(std::string_view text, bool quotes) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += quotes ? "&quot;" : "\"";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string HtmlText(std::string_view text) {
    return Escape(text, false);
}

std::string HtmlQuoted(std::string_view text) {
    return Escape(text, true);
}

} // namespace common
} // namespace quillon
