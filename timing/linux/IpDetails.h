#pragma once
// What `ip -details link show can0` says about a Linux CAN interface, read from either form
// iproute2 prints: the text, in any layout it has had ("bitrate 500000 sample-point 0.875",
// "tq 25 prop-seg 34 ... brp 1", the driver's limits line "mcp251xfd: tseg1 2..256 ...",
// "dbitrate ..." and "dtq ... dbrp ..." for CAN FD, "tdcv 0 tdco 15 tdcf 0", "clock 40000000"
// and the control modes "<FD,TDC-AUTO>"; `ip -oneline`'s backslashes for line breaks), or the
// JSON of `ip -details -json link show` (linkinfo.info_data: ctrlmode, bittiming,
// bittiming_const.name, data_bittiming, tdc, clock). Both give the same values; nothing here
// judges them (LinuxDetails.h and FdLinuxDetails.h decode them).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {
inline namespace linux {

// One phase as ip prints it; each value only when it was there.
struct IpTiming {
    std::optional<std::uint32_t> bitrate, tqNs, propSeg, phaseSeg1, phaseSeg2, sjw, brp;

    bool Any() const { return bitrate || tqNs || propSeg || phaseSeg1 || phaseSeg2 || sjw || brp; }
};

enum class IpForm { Text, Json };

struct IpDetails {
    IpForm form = IpForm::Text;
    std::string sInterface; // "can0"; empty where the text does not name it
    IpTiming nominal;
    IpTiming data; // "dbitrate ...", "dtq ..." or data_bittiming
    std::optional<std::uint32_t> tdcv, tdco, tdcf;
    std::optional<std::uint32_t> clockHz;
    // The name before the limits ("mcp251x") or bittiming_const.name; empty without either.
    std::string driver;
    // The control modes: TRIPLE-SAMPLING, FD, TDC-AUTO, TDC-MANUAL.
    bool bTripleSampling = false;
    bool bFd = false;
    bool bTdcAuto = false;
    bool bTdcManual = false;

    // CAN FD on: the FD mode, or a data phase shown.
    bool RunsFd() const { return bFd || data.Any(); }
    // "can0", or "the interface" where the text does not name it.
    std::string InterfaceName() const;
};

struct IpDetailsReading {
    std::optional<IpDetails> details;
    // What keeps the text from being read: "the text is empty", "the JSON cannot be read:
    // at byte 17: ...", "the text holds 2 CAN interfaces, can0 and can1; ...".
    std::string sError;
};

// Reads either form: a text whose first character other than white space is '[' or '{' is
// JSON. Of several interfaces only a CAN one may be among them: two or more are refused,
// naming them, as no one of them is more likely the one meant.
IpDetailsReading ReadIpDetails(std::string_view text);

// The two forms one by one, for ReadIpDetails.
IpDetailsReading ReadIpDetailsText(std::string_view text);
IpDetailsReading ReadIpDetailsJson(std::string_view text);

// A name from the text as a message quotes it: at most 32 letters, digits, '-', '_', '.'
// and '@', others as '?'.
std::string QuotedName(std::string_view name);

} // namespace linux
} // namespace quillon
