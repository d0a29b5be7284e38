#include "report/common/LinuxTarget.h"

#include <algorithm>

namespace quillon {
inline namespace common {

namespace {

constexpr std::size_t kMaxInterfaceName = 15; // IFNAMSIZ - 1

} // namespace

std::optional<std::string> InterfaceNameProblem(std::string_view name) {
    const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_';
    });
    if (plain && !name.empty() && name.size() <= kMaxInterfaceName && name != "." && name != "..") {
        return std::nullopt;
    }
    return "'" + std::string(name) + "' is not an interface name (1 to " +
           std::to_string(kMaxInterfaceName) + " letters, digits, '.', '-' or '_')";
}

} // namespace common
} // namespace quillon
