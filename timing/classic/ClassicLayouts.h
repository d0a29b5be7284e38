#pragma once
// The register words of the classic layouts that are not the CNF byte triple, and the way
// back: the PIC32MX's one 32-bit CiCFG (CiCFG1 | CiCFG2 << 8 of the dsPIC) and the AT91 CAN
// cell's CAN_BR (SMP 24, BRP 22..16, SJW 13..12, PROPAG 10..8, PHASE1 6..4, PHASE2 2..0, each
// length the field + 1). Every layout's words for a setting come from LayoutWords, so the
// command line, the report and the window list a controller's registers alike.
#include "timing/classic/Registers.h"
#include "timing/common/RegisterReading.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace classic {

struct BitTimingSetting;

// One register of a layout with its value and width in bits.
struct RegisterWord {
    std::string_view sName;
    std::uint32_t value = 0;
    int lBits = 8;
};

// The words of `layout` for a setting in register order, or the reason there are none (a
// field that does not fit its register).
struct LayoutEncoding {
    std::vector<RegisterWord> words;
    std::string sError;
    explicit operator bool() const { return sError.empty(); }
};
LayoutEncoding LayoutWords(RegisterLayout layout, const BitTimingSetting& setting);

// "00000000000000000000000110010001" for 32 bits.
std::string RegisterWordBinary(std::uint32_t value, int lBits);
// "0x00000191" for 32 bits, "0x0191" for 16, "0x91" for 8.
std::string RegisterWordHex(std::uint32_t value, int lBits);

// The bits of each 32-bit word that belong to a timing field or flag.
inline constexpr std::uint32_t kPic32CicfgFields = 0x0047FFFF;
inline constexpr std::uint32_t kAt91BrFields = 0x017F3777;

// The setting CAN_BR holds on a peripheral clock of `dClockMHz`: always the programmed
// phase 2, no wake-up filter.
BitTimingSetting SettingFromAt91Br(double dClockMHz, std::uint32_t canBr);

} // namespace classic
} // namespace quillon
