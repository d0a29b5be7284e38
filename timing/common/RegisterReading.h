#pragma once
// Register values as people write them in firmware and library tables: hexadecimal with
// "0x" (0x91) or decimal (145), one value per register, or a comma-separated list in
// register order ("0x00,0xF0,0x86"). The command line and the window read register sets
// with this one grammar, and every refusal names the register and says what is wrong.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace common {

// Which registers a set is written in.
enum class RegisterLayout {
    Cnf,    // CNF1..CNF3 of the MCP2510/MCP251X
    Brgcon, // BRGCON1..3 of the PIC18: the CNF layout under other names
    Cicfg,  // CiCFG1/CiCFG2 of the dsPIC30F, dsPIC33F and PIC24H
    // CiCFG of the PIC32MX: one 32-bit word, CiCFG1 | CiCFG2 << 8
    Pic32Cicfg,
    // CAN_BR of the AT91 CAN cell: SMP 24, BRP 22..16, SJW 13..12, PROPAG 10..8, PHASE1 6..4,
    // PHASE2 2..0, each length field the length - 1
    At91Br,
};

struct RegisterLayoutInfo {
    std::string_view sControllers;          // "MCP2510/MCP251X"
    std::array<std::string_view, 3> names;  // in register order; unused entries are empty
    std::size_t count = 0;                  // 3, 2 for CiCFG, 1 for the 32-bit words
    unsigned maxValue = 0;                  // 0xFF, 0xFFFF for the 16-bit CiCFG, 0xFFFFFFFF
    std::array<std::string_view, 3> fields; // the names of BTLMODE, PHSEG2 and CNF3 bit 7
};
const RegisterLayoutInfo& LayoutInfo(RegisterLayout layout);
// The register names of a layout in order, joined by `separator`: "CNF1,CNF2,CNF3".
std::string LayoutNames(RegisterLayout layout, std::string_view separator);

// The values of a set in register order, or what is wrong with it.
struct RegisterReading {
    std::vector<unsigned> values; // empty on failure
    // "CNF2: '0x1G' is not a register value (write 0x91 or 145)", "CNF1: 0x100 is above 0xFF
    // (255)" or "3 values are needed (CNF1,CNF2,CNF3), 2 were given"; empty on success.
    std::string sError;
    explicit operator bool() const { return sError.empty(); }
};

// One value of at most `maxValue` in that grammar (the 32-bit words of the CAN FD
// controllers too), or nullopt with `error` saying what is wrong ("'0x1G' is not a register
// value (write 0x91 or 145)").
std::optional<std::uint32_t> ReadRegisterWord(std::string_view text, std::uint32_t maxValue,
                                              std::string& error);

// One text per register of `layout` (the window's boxes). Blanks around a value are
// allowed; a leading 0 is no octal prefix ("010" is ten).
RegisterReading ReadRegisterValues(RegisterLayout layout,
                                   const std::vector<std::string_view>& texts);

// The values of a comma-separated list as they stand, one text each (an empty text for two
// commas in a row), for reading one by one.
std::vector<std::string_view> SplitRegisterList(std::string_view text);

// The whole set as one comma-separated text (the command line's "0x00,0xF0,0x86").
RegisterReading ReadRegisterList(RegisterLayout layout, std::string_view text);

} // namespace common
} // namespace quillon
