#pragma once
// Where each option's value lands in a Request. The parser stores through these pointers,
// so the option table and the request stay one mapping; the pointer's type follows the
// option's kind of value.
#include "cli/common/CliArguments.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace quillon::cli {
inline namespace common {

using Field =
    std::variant<bool*, double*, std::optional<int>*, std::optional<double>*, std::string*,
                 DecodeInput*, std::vector<BusNode>*, std::optional<std::uint32_t>*>;

// The request's member for `option` (a bool* holding nullptr for an option with no value).
Field FieldOf(Option option, Request& request);

} // namespace common
} // namespace quillon::cli
