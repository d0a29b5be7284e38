#pragma once
// Reading a timing someone already has: the configuration registers of either controller
// family back into a setting (the exact inverse of EncodeConfigRegisters), with what the
// calculator would never have produced said as findings instead of refused. The findings
// of the setting itself are its facts'; the answer to whether step 3's controls can hold a
// setting is here too.
#include "timing/classic/BitTiming.h"
#include "timing/common/RegisterReading.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace classic {

// A bit of a register that is no timing, e.g. the MCP2515's SOF in CNF3.
struct OtherBit {
    std::string_view sName;     // "SOF"
    std::string_view sPosition; // "CNF3 bit 7"
    bool bSet = false;
    std::string_view sMeaning; // what it does as it is set
};

struct DecodedRegisters {
    BitTimingSetting setting;
    // The registers read; nothing for the timing a Linux interface reports.
    std::optional<RegisterLayout> layout;
    std::vector<OtherBit> otherBits;
    // What only the registers (or the interface) show: bits set that are no field, a field
    // that is ignored, an oscillator that is not the one given. The setting's own findings
    // are its facts' (DescribeDecoded); DecodingFindings gives both in one list.
    Findings findings;
    // Set when a field lies outside what the registers can hold (only a Linux interface of
    // another controller reports such); the registers of the setting are then not shown.
    std::string sRegistersProblem;
};

// The timing fields of CNF1..CNF3 and nothing else: the exact inverse of
// EncodeConfigRegisters. In the larger-of mode the unused programmed phase 2 is PHSEG2 + 1
// where that is a legal value (2..8), else 2, so that the setting fits step 3's controls.
// The target rate is left at 0.
BitTimingSetting SettingFromCnf(double dOscFreqMHz, std::uint8_t cnf1, std::uint8_t cnf2,
                                std::uint8_t cnf3);
// The same for CiCFG1 (CNF1 in its low byte) and CiCFG2 (CNF3:CNF2); the bits that are
// not implemented are not looked at.
BitTimingSetting SettingFromCicfg(double dOscFreqMHz, std::uint16_t cicfg1, std::uint16_t cicfg2);

// Decodes a register set, its values in register order as ReadRegisterValues gives them.
// `dTargetKbps` is the rate the registers are meant for; nothing means the rate they give,
// so that no rate finding is made.
// `pController` is the row the registers belong to (nullptr: the calculator's MCP2510/MCP251X);
// its clock rule and errata apply.
DecodedRegisters DecodeRegisterValues(double dOscFreqMHz, std::optional<double> dTargetKbps,
                                      RegisterLayout layout, const std::vector<unsigned>& values,
                                      const Controller* pController = nullptr);

// What keeps step 3 from showing a setting, or nothing: a Tq count outside the Tq list's
// 8..25, a prescaler outside 0..63 or a segment outside its scroll bar's range.
std::optional<std::string> StepThreeProblem(const BitTimingSetting& setting);

// The facts of a decoded setting on `bus`: DescribeBitTiming's, without registers (and with
// the reason) where the fields do not fit them, and with the decoding's findings among the
// setting's.
BitTimingFacts DescribeDecoded(const DecodedRegisters& decoded,
                               std::string_view decimalSeparator = ".", const BusContext& bus = {});

// The decoding's findings and those of DescribeBitTiming's facts in one list, errors first.
Findings DecodingFindings(const DecodedRegisters& decoded, const BitTimingFacts& facts);

// The rate the registers give, in kbit/s, for filling in a missing target; 0 without a
// usable quantum.
double ActualRateKbps(const BitTimingSetting& setting);

// Fills in the target rate: the one given, or the rate the registers give.
void FinishDecoding(DecodedRegisters& decoded, std::optional<double> dTargetKbps);

} // namespace classic
} // namespace quillon
