#pragma once
// The timing a CAN FD Linux interface (mcp251xfd, m_can) runs with, from `ip -details link
// show can0` in the text or the JSON form (IpDetails.h): both phases and the transmitter
// delay compensation as an FdSetting on the controller its driver runs, with what only the
// interface shows said as findings, so that fd decode judges it as it judges register words.
#include "timing/fd/FdTiming.h"
#include "timing/linux/LinuxInterface.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace linux {

struct FdIpDetailsDecoding {
    // The target rates are the rates the interface counts on.
    std::optional<FdSetting> setting;
    Findings findings; // what only the interface shows
    // Where a value is taken rather than read (the TDC the m_can driver sets by itself),
    // one sentence each.
    std::vector<std::string> notes;
    std::string sInterface; // "can0"; empty where the text does not name it
    IpForm form = IpForm::Text;
    std::string sError; // why nothing could be decoded
};

// `dOscFreqMHz` is the oscillator the board really has (for m_can its CAN clock), when
// known; the PLL is then the mcp251xfd driver's choice (on for 4 MHz or less). `pController`
// is the CAN FD controller given (it must run under the driver the text names), or nullptr
// for the driver's own row.
FdIpDetailsDecoding DecodeFdIpDetails(std::string_view text, std::optional<double> dOscFreqMHz,
                                      const Controller* pController = nullptr);

// The facts of the decoded setting on `bus`, with the interface's findings among the
// setting's, errors first. The decoding must hold a setting.
FdFacts DescribeFdIpDetails(const FdIpDetailsDecoding& decoding,
                            std::string_view decimalSeparator = ".", const BusContext& bus = {});

} // namespace linux
} // namespace quillon
