#pragma once
// What fd decode makes of the TDC of a controller a Linux driver runs: which kernel's driver
// writes the TDC read from the register (the mcp251xfd before Linux 5.16 wrote TDCO one
// quantum short of the data sample point, the CAN core since writes the sample point itself),
// so a dump from a board says which kernel or which hand set it; and, without the TDC word,
// the TDC that kernel's driver writes.
#include "timing/common/Findings.h"
#include "timing/fd/FdRegisters.h"
#include "timing/linux/FdKernelChoice.h"

#include <optional>

namespace quillon {
inline namespace linux {

// The finding (code linux-tdc-generation, advice) naming the Linux whose driver writes the
// decoded TDC, both, or neither; nothing when the TDC word was not given or no Linux driver
// runs the row.
std::optional<Finding> LinuxTdcGenerationFinding(const FdDecoded& decoded);

// Without the TDC word, the decoded setting takes the TDC the row's driver of `generation`
// writes, where the word holds the whole TDC (not on the M_CAN, whose DBTP says whether TDC
// is on). True when it did.
bool TakeLinuxDriverTdc(FdDecoded& decoded, LinuxTdcGeneration generation);

} // namespace linux
} // namespace quillon
