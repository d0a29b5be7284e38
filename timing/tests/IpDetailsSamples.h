#pragma once
// The kept outputs of `ip -details link show` (timing/tests/data/ip-details), read whole, for
// the tests of the interface readers: each controller's driver in the text form and the
// JSON form of iproute2.
#include <fstream>
#include <iterator>
#include <string>

namespace quillon {

inline std::string IpSample(const std::string& name) {
    std::ifstream file(std::string(QUILLON_IP_DETAILS_DIR) + "/" + name, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return text.empty() ? "missing sample " + name : text;
}

} // namespace quillon
