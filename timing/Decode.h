#pragma once
// Reading a timing someone already has: the configuration registers of either controller
// family back into a setting (the exact inverse of EncodeConfigRegisters), with what the
// calculator would never have produced said as findings instead of refused. The findings
// of any setting (a Tq count outside the calculator's, a timing rule broken, the bus idle
// erratum, a rate other than the one asked for) come from the same place.
#include "timing/BitTiming.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

// Which registers a setting was read from.
enum class RegisterLayout {
    Cnf,   // CNF1..CNF3 of the MCP2510/MCP251X; BRGCON1..3 of the PIC18 share the layout
    Cicfg, // CiCFG1/CiCFG2 of the dsPIC30F, dsPIC33F and PIC24H
    Linux, // the segments a Linux mcp251x interface reports
};

struct DecodedRegisters {
    BitTimingSetting setting;
    RegisterLayout layout = RegisterLayout::Cnf;
    // CNF3 bit 7, which is no timing: SOF on the MCP2515 (CLKOUT gives the start-of-frame
    // signal), WAITDIS on an ECAN PIC18. Always false for CiCFG.
    bool bCnf3Bit7 = false;
    // One sentence each; empty when the calculator could have produced these registers.
    std::vector<std::string> findings;
};

// The timing fields of CNF1..CNF3 (CiCFG1 is CNF1, CiCFG2 is CNF3:CNF2) and nothing else:
// the exact inverse of EncodeConfigRegisters. The target rate is left at 0.
BitTimingSetting SettingFromCnf(double dOscFreqMHz, std::uint8_t cnf1, std::uint8_t cnf2,
                                std::uint8_t cnf3);

// Decodes the three bytes. `dTargetKbps` is the rate the registers are meant for; nothing
// means the rate they give, so that no rate error is reported.
DecodedRegisters DecodeCnfRegisters(double dOscFreqMHz, std::optional<double> dTargetKbps,
                                    std::uint8_t cnf1, std::uint8_t cnf2, std::uint8_t cnf3);
DecodedRegisters DecodeCicfgRegisters(double dOscFreqMHz, std::optional<double> dTargetKbps,
                                      std::uint16_t cicfg1, std::uint16_t cicfg2);

// The findings of a setting, in this order: a Tq count outside 8..25, a field outside its
// control range, the first timing rule broken (its verdict text), a rate that misses the
// target, the bus idle erratum.
std::vector<std::string> SettingFindings(const BitTimingFacts& facts);

// The rate the registers give, in kbit/s, for filling in a missing target.
double ActualRateKbps(const BitTimingSetting& setting);

} // namespace quillon
