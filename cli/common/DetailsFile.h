#pragma once
// Reading the file (or standard input) that holds the output of `ip -details link show`, for
// decode, fd decode and a bus node's :ip=FILE. Only the reading is here; the text is the
// model's to read (timing/linux). A file that cannot be used is named with the reason:
// missing, a folder, empty or far longer than any such output.
#include <optional>
#include <string>

namespace quillon::cli {
inline namespace common {

// `ip -details` prints a few hundred bytes per interface; more than this is no such output.
inline constexpr std::size_t kLongestDetails = std::size_t{1} << 20;

// The text of FILE, or of standard input for "-"; nothing with `error` saying why not
// ("'can0.txt' is a folder, not a file").
std::optional<std::string> ReadDetailsFile(const std::string& name, std::string& error);

} // namespace common
} // namespace quillon::cli
