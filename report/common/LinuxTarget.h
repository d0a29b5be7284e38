#pragma once
// What every Linux form of a setting shares, classic or CAN FD: the interface it names and
// the GPIO of the controller's interrupt line on a Raspberry Pi.
#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace common {

inline constexpr std::string_view kDefaultInterfaceName = "can0";
// The overlay's interrupt line: a GPIO number of the Raspberry Pi's SoC.
inline constexpr int kDefaultInterruptPin = 25;
inline constexpr int kMinInterruptPin = 0;
inline constexpr int kMaxInterruptPin = 53;
// The refusal of a Linux interface name (1 to 15 letters, digits, '.', '-' or '_', so that
// the command pastes into a shell as it is), or nothing.
std::optional<std::string> InterfaceNameProblem(std::string_view name);

} // namespace common
} // namespace quillon
