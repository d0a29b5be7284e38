#pragma once
// Text placed into the pages Quillon writes: '&', '<' and '>' as entities, and in the quoted
// form also '"', so that a node name or a finding can never become markup.
#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

// For element content.
std::string HtmlText(std::string_view text);
// For element content and quoted attribute values alike.
std::string HtmlQuoted(std::string_view text);

} // namespace common
} // namespace quillon
