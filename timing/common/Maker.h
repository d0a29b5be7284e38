#pragma once
// The program's title and the maker's names and addresses, kept in one place.
#include <string_view>

namespace quillon {
inline namespace common {

inline constexpr std::string_view kAppTitle = "Quillon";
inline constexpr std::string_view kMakerName = "Varnholt";
inline constexpr std::string_view kMakerDomain = "varnholt.example";
inline constexpr std::string_view kMakerHost = "www.varnholt.example";
inline constexpr std::string_view kMakerUrl = "https://www.varnholt.example/";
inline constexpr std::string_view kProductName = "Tarsel";

} // namespace common
} // namespace quillon
