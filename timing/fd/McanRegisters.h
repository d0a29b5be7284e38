#pragma once
// The registers of the Bosch M_CAN cell (SAM C2x, SAM E5x, SAM V7x, SAMA5D2) and the way
// back, in one place: NBTP = NSJW[31:25] NBRP[24:16] NTSEG1[15:8] NTSEG2[6:0], DBTP = TDC[23]
// DBRP[20:16] DTSEG1[12:8] DTSEG2[7:4] DSJW[3:0] (every length field holds its value minus 1,
// TSEG1 the propagation and phase 1 together) and TDCR = TDCO[14:8] TDCF[6:0] in CAN clock
// periods. TDC is on when DBTP bit 23 is set; the cell measures the delay itself, so there
// is no manual value.
#include "timing/fd/FdRegisters.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon {
inline namespace fd {

inline constexpr std::uint32_t kNbtpFieldMask = 0xFFFFFF7F;
inline constexpr std::uint32_t kDbtpFieldMask = 0x009F1FFF;
inline constexpr std::uint32_t kTdcrFieldMask = 0x00007F7F;

// NBTP, DBTP and TDCR in FdRegisterWords' three places, or the field that does not fit.
FdRegisterEncoding EncodeMcanRegisters(const FdSetting& setting);

// Both phases and the TDC of the words into `setting` (TSEG1 split as Linux splits it); the
// rest of `setting` is left as it is.
void ReadMcanWords(const FdRegisterWords& words, FdSetting& setting);

// What the words hold beyond the timing: bits outside the fields.
std::vector<std::string> McanRegisterFindings(std::uint32_t nbtp, std::uint32_t dbtp,
                                              std::optional<std::uint32_t> tdcr);

} // namespace fd
} // namespace quillon
