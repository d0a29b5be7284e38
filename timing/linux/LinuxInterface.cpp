#include "timing/linux/LinuxInterface.h"

#include "timing/linux/Mcp251xLinux.h"

#include "timing/common/InputChecks.h"
#include "timing/common/NumberFormat.h"

#include <cmath>
#include <utility>
#include <vector>

namespace quillon {
inline namespace linux {

namespace {

// The mcp251xfd driver switches the PLL on for an oscillator of 4 MHz or less, so that
// SYSCLK stays within its 40 MHz.
constexpr double kPllAtMostMHz = kFdMaxSysclkMHz / kFdPllFactor;

std::string Mhz(double mhz) {
    return FormatGeneralNumber(mhz) + " MHz";
}

// "a 16 MHz", "an 8 MHz", "an 18.432 MHz": the article as the number is spoken.
std::string WithArticle(const std::string& number) {
    const std::string whole = number.substr(0, number.find('.'));
    const bool vowel = number.front() == '8' || whole == "11" || whole == "18";
    return (vowel ? "an " : "a ") + number;
}

using Field = std::optional<std::uint32_t> IpTiming::*;
struct Named {
    std::string_view key; // as the text writes it
    Field field;
};
// The values a decoding needs, in the order a refusal names the first missing one.
constexpr Named kRequired[] = {{"prop-seg", &IpTiming::propSeg},
                               {"phase-seg1", &IpTiming::phaseSeg1},
                               {"phase-seg2", &IpTiming::phaseSeg2},
                               {"sjw", &IpTiming::sjw}};

// How a value is named in the form it was read from: "dprop-seg" in the text,
// "data_bittiming.prop_seg" in the JSON.
class Namer {
public:
    explicit Namer(const IpDetails& details) : m_details(details) {}

    std::string Name(std::string_view key, bool data) const {
        if (m_details.form == IpForm::Text) {
            return (data ? "d" : "") + std::string(key);
        }
        std::string name = key == "clock" ? std::string() : data ? "data_bittiming." : "bittiming.";
        for (const char c : key) {
            name += c == '-' ? '_' : c;
        }
        return name;
    }
    // "the text", "the JSON of can0".
    std::string Where() const {
        return m_details.form == IpForm::Text ? "the text"
                                              : "the JSON of " + m_details.InterfaceName();
    }
    // "'tq N'" in the text, "'bittiming.tq'" in the JSON.
    std::string Quoted(std::string_view key, bool data) const {
        return "'" + Name(key, data) + (m_details.form == IpForm::Text ? " N'" : "'");
    }
    std::string Missing(std::string_view key, bool data) const {
        return "no " + Quoted(key, data) + " in " + Where();
    }
    // "'tq 125'" or "'bittiming.tq' 125".
    std::string Shown(std::string_view key, bool data, std::uint64_t value) const {
        return m_details.form == IpForm::Text
                   ? "'" + Name(key, data) + " " + std::to_string(value) + "'"
                   : "'" + Name(key, data) + "' " + std::to_string(value);
    }

private:
    const IpDetails& m_details;
};

std::string MissingValue(const IpDetails& d, const Namer& names, bool data) {
    const IpTiming& timing = data ? d.data : d.nominal;
    for (const Named& named : kRequired) {
        if (!(timing.*named.field)) {
            return names.Missing(named.key, data);
        }
    }
    if (!timing.brp && !timing.tqNs) {
        return "neither " + names.Quoted("tq", data) + " nor " + names.Quoted("brp", data) +
               " in " + names.Where();
    }
    return {};
}

// The prescaler, or why there is none.
std::string Prescaler(const IpTiming& timing, std::uint32_t clock, const Namer& names, bool data,
                      std::uint32_t& brp) {
    // Without "brp", the kernel's own rounding from its quantum (brp x 1e9 / clock,
    // truncated) back to the prescaler.
    if (timing.brp && *timing.brp == 0) {
        return names.Shown("brp", data, 0) + " gives no time quantum";
    }
    const std::uint64_t value = timing.brp ? *timing.brp : KernelPrescaler(clock, *timing.tqNs);
    if (value == 0) {
        return names.Shown("tq", data, *timing.tqNs) + " is shorter than one period of " +
               names.Shown("clock", false, clock);
    }
    if (value > kLargestLinuxField) {
        return names.Name("brp", data) + " " + std::to_string(value) +
               " is more than any CAN controller has (" + std::to_string(kLargestLinuxField) +
               " at most)";
    }
    brp = static_cast<std::uint32_t>(value);
    return {};
}

std::string TooLarge(const IpDetails& d, const Namer& names, bool fd) {
    std::vector<std::pair<std::string, std::optional<std::uint32_t>>> values;
    for (const bool data : {false, true}) {
        if (data && !fd) {
            break;
        }
        const IpTiming& timing = data ? d.data : d.nominal;
        for (const Named& named : kRequired) {
            values.emplace_back(names.Name(named.key, data), timing.*named.field);
        }
    }
    if (fd) {
        values.insert(values.end(), {{"tdco", d.tdco}, {"tdcv", d.tdcv}, {"tdcf", d.tdcf}});
    }
    for (const auto& [name, value] : values) {
        if (value && *value > kLargestLinuxField) {
            return name + " " + std::to_string(*value) + " is more than any CAN controller has (" +
                   std::to_string(kLargestLinuxField) + " at most)";
        }
    }
    return {};
}

// The controller: the one given, which must run under the driver named, or the driver's.
std::string ChooseRow(InterfaceReading& r, ControllerKind kind, const Controller* given) {
    const IpDetails& d = r.details;
    const std::string name = d.InterfaceName();
    const Controller* named = d.driver.empty() ? nullptr : RowOfDriver(d.driver);
    if (!d.driver.empty() && named == nullptr) {
        return name + " runs the '" + d.driver +
               "' driver, which Quillon does not know (it knows " + KnownDrivers() + ")";
    }
    if (given != nullptr) {
        r.row = given;
        r.bRowGiven = true;
        if (!given->linux) {
            return "the " + std::string(given->sName) + " has no Linux driver, so no interface " +
                   "runs it";
        }
        if (named != nullptr && given->linux->sName != d.driver) {
            return name + " runs the " + d.driver + " driver, not the " +
                   std::string(given->sName) + "'s " + std::string(given->linux->sName);
        }
        return {};
    }
    if (named != nullptr) {
        r.row = named;
        return {};
    }
    // No driver named: the kind asked for, where the text shows that kind.
    const bool fd = kind == ControllerKind::Fd;
    if (fd == d.RunsFd()) {
        r.row = fd ? &DefaultFdController() : &DefaultController();
        r.findings.push_back(
            {Severity::Warning, code::kInterface,
             std::string(d.form == IpForm::Text ? "No limits line" : "No bittiming_const.name") +
                 " names the driver: the interface is read as the " +
                 std::string(r.row->linux->sName) + "'s, whose clock is " +
                 (fd ? "SYSCLK." : "half the oscillator."),
             source::kLinux});
    }
    return {};
}

// The interface's kind against the one asked for.
std::string KindProblem(const InterfaceReading& r, ControllerKind kind) {
    const IpDetails& d = r.details;
    const std::string name = d.InterfaceName();
    if (kind == ControllerKind::Classic && (d.RunsFd() || (r.row != nullptr && r.row->IsFd()))) {
        return name +
               (r.row != nullptr && r.row->IsFd() && !d.driver.empty()
                    ? " runs the " + d.driver + " driver, a CAN FD controller"
                    : " runs CAN FD (FD among its control modes or a data phase)") +
               ": decode it with 'quillon-cli fd decode --ip-details'";
    }
    if (kind == ControllerKind::Fd && r.row == nullptr) {
        return name + " shows no CAN FD (no FD among its control modes, no data phase) and " +
               "names no driver: decode a classic interface with 'quillon-cli decode " +
               "--ip-details'";
    }
    if (kind == ControllerKind::Fd && !r.row->IsFd()) {
        return name + " runs the " + std::string(r.row->linux->sName) +
               " driver, a classic CAN controller: decode it with 'quillon-cli decode " +
               "--ip-details'";
    }
    return {};
}

void AddOscillator(InterfaceReading& r, std::uint32_t clock, std::optional<double> given) {
    const Controller& row = *r.row;
    const double clockMHz = clock / 1e6;
    r.dInterfaceOscMHz = row.clock == ClockRule::HalfOscillator ? 2.0 * clockMHz : clockMHz;
    r.dOscFreqMHz = r.dInterfaceOscMHz;
    const std::string clockText = "(clock " + std::to_string(clock) + ")";
    if (!given) {
        const double withPll = clockMHz / kFdPllFactor;
        if (row.clock == ClockRule::Sysclk && withPll >= kMinOscillatorMHz &&
            withPll <= kPllAtMostMHz) {
            r.findings.push_back({Severity::Advice, code::kInterface,
                                  "SYSCLK " + Mhz(clockMHz) + " " + clockText + " comes from " +
                                      WithArticle(Mhz(clockMHz)) + " oscillator, or from " +
                                      WithArticle(Mhz(withPll)) + " one with the PLL, which the " +
                                      "driver switches on for " + Mhz(kPllAtMostMHz) +
                                      " or less; it is taken " + "as " + Mhz(clockMHz) +
                                      " without the PLL.",
                                  source::kLinux});
        }
        return;
    }
    r.dOscFreqMHz = *given;
    r.bPll = row.clock == ClockRule::Sysclk && *given <= kPllAtMostMHz;
    const double expected = CanClockMHz(row.clock, *given, r.bPll);
    if (std::fabs(expected - clockMHz) <= 1e-9 * clockMHz) {
        r.bInterfacePll = r.bPll;
        r.dInterfaceOscMHz = *given;
        return;
    }
    std::string text;
    switch (row.clock) {
    case ClockRule::HalfOscillator:
        text = "The interface counts on " + WithArticle(Mhz(r.dInterfaceOscMHz)) + " oscillator " +
               clockText + ", not the " + Mhz(*given) +
               " given: its device tree names the wrong oscillator.";
        break;
    case ClockRule::Sysclk:
        text = "The interface counts on SYSCLK " + Mhz(clockMHz) + " " + clockText + ", not the " +
               Mhz(expected) + " that the " + Mhz(*given) + " oscillator given makes" +
               (r.bPll ? " with the PLL" : "") + ": its device tree names the wrong oscillator.";
        break;
    case ClockRule::PeripheralClock:
        text = "The interface counts on " + WithArticle(Mhz(clockMHz)) + " " +
               std::string(row.sClockName) + " " + clockText + ", not the " + Mhz(*given) +
               " given; the rates are worked out on the one given.";
        break;
    }
    r.findings.push_back({Severity::Error, code::kInterface, std::move(text), source::kLinux});
}

} // namespace

const Controller* RowOfDriver(std::string_view driver) {
    for (const Controller* row : {&DefaultController(), &DefaultFdController()}) {
        if (row->linux && row->linux->sName == driver) {
            return row;
        }
    }
    for (const Controller& row : ControllerTable()) {
        if (row.linux && row.linux->sName == driver) {
            return &row;
        }
    }
    return nullptr;
}

std::string KnownDrivers() {
    std::vector<std::string_view> names;
    for (const Controller& row : ControllerTable()) {
        if (row.linux && (names.empty() || names.back() != row.linux->sName)) {
            names.push_back(row.linux->sName);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + std::string(names[i]);
    }
    return text;
}

InterfaceResult ReadInterface(std::string_view text, ControllerKind kind,
                              std::optional<double> dOscFreqMHz, const Controller* pRow) {
    InterfaceResult result;
    IpDetailsReading read = ReadIpDetails(text);
    if (!read.details) {
        result.sError = std::move(read.sError);
        return result;
    }
    InterfaceReading r;
    r.details = std::move(*read.details);
    const IpDetails& d = r.details;
    const Namer names(d);
    const bool fd = kind == ControllerKind::Fd;
    result.sError = ChooseRow(r, kind, pRow);
    if (result.sError.empty()) {
        result.sError = KindProblem(r, kind);
    }
    if (result.sError.empty() && !d.nominal.Any()) {
        result.sError = d.form == IpForm::Text
                            ? "no bit timing in the text (the 'bitrate ...' and 'tq ... prop-seg "
                              "...' lines of 'ip -details link show'); is the interface "
                              "configured?"
                            : "no bit timing in the JSON of " + d.InterfaceName() +
                                  " (linkinfo.info_data.bittiming is empty); is the interface "
                                  "configured?";
    }
    if (result.sError.empty() && fd && !d.RunsFd()) {
        result.sError = d.InterfaceName() + " has CAN FD off (no FD among its control modes, no " +
                        "data phase): its " + std::string(r.row->linux->sName) +
                        " sends classic frames only, and fd decode needs both phases; switch " +
                        "FD on with 'ip link set " +
                        (d.sInterface.empty() ? std::string("can0") : d.sInterface) +
                        " type can bitrate B dbitrate D fd on'";
    }
    for (const bool data : {false, true}) {
        if (result.sError.empty() && (!data || fd)) {
            result.sError = MissingValue(d, names, data);
        }
    }
    if (result.sError.empty() && !d.clockHz) {
        result.sError = names.Missing("clock", false);
    }
    if (!result.sError.empty()) {
        return result;
    }
    const std::uint32_t clock = *d.clockHz;
    if (clock == 0) {
        result.sError = names.Shown("clock", false, 0) + " gives no time quantum";
        return result;
    }
    result.sError = Prescaler(d.nominal, clock, names, false, r.brp);
    if (result.sError.empty() && fd) {
        result.sError = Prescaler(d.data, clock, names, true, r.dataBrp);
    }
    if (result.sError.empty()) {
        result.sError = TooLarge(d, names, fd);
    }
    if (!result.sError.empty()) {
        return result;
    }
    AddOscillator(r, clock, dOscFreqMHz);
    result.reading = std::move(r);
    return result;
}

} // namespace linux
} // namespace quillon
