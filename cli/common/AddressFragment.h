#pragma once
// A setting carried in a web address's fragment, "timing?controller=mcp2515&osc=16&rate=500
// &pick=1&recommend": the command ("fd/timing" for a command of a group), then quillon-cli's
// option names without their dashes, each with its value or, for a flag, alone. The
// fragment comes from whoever wrote the link, so it is read strictly into the command line
// it stands for and nothing else: every name must be an option the command takes, given
// once (but --node), values are percent-decoded and must be printable UTF-8, the whole is
// bounded, and options that name files or folders and the commands that need the desktop
// are refused. The command line then goes through the parser like any other.
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {
inline namespace common {

// What a fragment may hold at most.
inline constexpr std::size_t kFragmentMaxLength = 2048;
inline constexpr std::size_t kFragmentMaxOptions = 64;

struct FragmentReading {
    // The arguments after the program name: the command word(s), then "--name" or
    // "--name=value" for each option in the fragment's order.
    std::vector<std::string> args;
    // Empty when read; otherwise one line, "address: <part>: <what is wrong>".
    std::string error;
};

// Reads a fragment, with or without its leading '#'.
FragmentReading ReadFragment(std::string_view fragment);

// The fragment of a command line ReadFragment reads back as the same arguments: the
// command word(s) joined by '/', then each "--name[=value]" as "name[=value]", with every
// character of a value outside letters, digits and "-._~!*'():@,/=" percent-encoded.
std::string WriteFragment(const std::vector<std::string>& args);

} // namespace common
} // namespace quillon::cli
