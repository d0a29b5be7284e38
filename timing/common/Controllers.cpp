#include "timing/common/Controllers.h"

#include <cctype>

namespace quillon {
inline namespace common {

namespace {

// The prescaler and bit lengths of Microchip's classic controllers: BRP-1 0..63, 8..25 Tq.
constexpr ClassicLimits kMicrochipLimits{kMinBRPMinus1, kMaxBRPMinus1, kMinTqCount, kMaxTqCount};
// The AT91 CAN cell: a 7-bit BRP field of which 0 is not allowed (prescaler 2..128).
constexpr ClassicLimits kAt91Limits{1, 127, kMinTqCount, kMaxTqCount};

// The M_CAN cell: NBRP 1..512, NTSEG1 2..256, NTSEG2 1..128, NSJW 1..128; DBRP 1..32,
// DTSEG1 1..32, DTSEG2 1..16, DSJW 1..16.
constexpr FdPhaseLimits kMcanNominalLimits{1, 512, 2, 256, 1, 128, 128};
constexpr FdPhaseLimits kMcanDataLimits{1, 32, 1, 32, 1, 16, 16};

// drivers/net/can/spi/mcp251x.c: the oscillator 1..25 MHz, the clock half of it.
const LinuxDriver kMcp251xDriver{
    "mcp251x",
    kMcp251xKernelLimits,
    {},
    kMcp251xMinOscillatorMHz,
    kMcp251xMaxOscillatorMHz,
    "The driver takes the oscillator from the device tree and runs the CAN clock at half of "
    "it; it always programs phase 2 and never sets the wake-up filter."};
// drivers/net/can/at91_can.c: the peripheral clock as it is.
const LinuxDriver kAt91Driver{
    "at91_can", KernelLimits{4, 16, 2, 8, 4, 2, 128, 1},
    {},         0.0,
    0.0,        "The driver runs the CAN cell on the peripheral clock as it is."};
// drivers/net/can/spi/mcp251xfd: SYSCLK is the clock. At probe it takes an oscillator of
// 1 to 40 MHz and switches the PLL on for 4 MHz or less (40 MHz / 10), whatever the device
// tree says; before the CAN core had TDC it always wrote TDC automatic itself.
const LinuxDriver kMcp251xfdDriver{
    "mcp251xfd",
    kMcp251xfdNominalKernelLimits,
    kMcp251xfdDataKernelLimits,
    kMcp251xfdMinOscillatorMHz,
    kMcp251xfdMaxOscillatorMHz,
    "The driver takes an oscillator of 1 to 40 MHz, runs on SYSCLK and switches the PLL on "
    "by itself for a clock of 4 MHz or less; before Linux 5.16 it always wrote TDC automatic "
    "with TDCO = DBRP x (DPROP + DPH1).",
    DriverTdc::CanCore,
    kFdMaxSysclkMHz / kFdPllFactor,
    DriverTdc::AlwaysAuto};
// drivers/net/can/m_can: the cell's clock (cclk) as it is.
const LinuxDriver kMcanDriver{"m_can",
                              KernelLimits{2, 256, 2, 128, 128, 1, 512, 1},
                              KernelLimits{1, 32, 1, 16, 16, 1, 32, 1},
                              0.0,
                              0.0,
                              "The driver runs the M_CAN cell on its clock (cclk) as it is and "
                              "switches TDC on by itself only above 2.5 Mbit/s.",
                              DriverTdc::OwnAbove2500k,
                              0.0,
                              DriverTdc::OwnAbove2500k};

Controller Classic(std::string_view name, std::array<std::string_view, 5> aliases,
                   std::string_view title, RegisterLayout layout, std::string_view cForm) {
    Controller row;
    row.sName = name;
    row.aliases = aliases;
    row.sTitle = title;
    row.layout = layout;
    row.limits = kMicrochipLimits;
    row.sClockName = "oscillator";
    row.sCForm = cForm;
    return row;
}

Controller Fd(std::string_view name, std::array<std::string_view, 5> aliases,
              std::string_view title, FdRegisterLayout layout, std::string_view cForm) {
    Controller row;
    row.sName = name;
    row.aliases = aliases;
    row.sTitle = title;
    row.kind = ControllerKind::Fd;
    row.clock = ClockRule::Sysclk;
    row.sClockName = "oscillator";
    row.fdLayout = layout;
    row.nominalLimits = kFdNominalLimits;
    row.dataLimits = kFdDataLimits;
    row.tdcLimits = kMcp251xfdTdcLimits;
    row.dMaxClockMHz = kFdMaxSysclkMHz;
    // The MCP251xFD's oscillator is at most 40 MHz, SYSCLK without the PLL; the dsPIC33C's
    // row has the same clock limit.
    row.dMaxGivenMHz = kFdMaxSysclkMHz;
    row.sCForm = cForm;
    return row;
}

Controller WithMcp251x(Controller row, bool erratum) {
    row.bBusIdleErratum = erratum;
    row.dMaxGivenMHz = kMcp251xFamilyMaxOscillatorMHz;
    row.linux = kMcp251xDriver;
    return row;
}

std::vector<Controller> MakeTable() {
    std::vector<Controller> rows;
    // The calculator's own row: the MCP2510 and the MCP251X together, with the erratum.
    rows.push_back(WithMcp251x(
        Classic("mcp251x", {}, "MCP2510/MCP251X", RegisterLayout::Cnf, "c-mcp251x"), true));
    rows.push_back(
        WithMcp251x(Classic("mcp2510", {}, "MCP2510", RegisterLayout::Cnf, "c-mcp251x"), true));
    rows.push_back(
        WithMcp251x(Classic("mcp2515", {}, "MCP2515", RegisterLayout::Cnf, "c-mcp251x"), false));
    rows.push_back(
        WithMcp251x(Classic("mcp25625", {}, "MCP25625", RegisterLayout::Cnf, "c-mcp251x"), false));
    rows.push_back(Classic("pic18", {}, "PIC18", RegisterLayout::Brgcon, "c-pic18"));
    rows.push_back(Classic("dspic30", {}, "dsPIC30F", RegisterLayout::Cicfg, "c-dspic"));
    rows.push_back(Classic("dspic33f", {}, "dsPIC33F", RegisterLayout::Cicfg, "c-dspic"));
    rows.push_back(Classic("dspic33e", {}, "dsPIC33E", RegisterLayout::Cicfg, "c-dspic"));
    rows.push_back(Classic("pic24h", {}, "PIC24H", RegisterLayout::Cicfg, "c-dspic"));
    rows.push_back(Classic("pic24e", {}, "PIC24E", RegisterLayout::Cicfg, "c-dspic"));
    rows.push_back(Classic("pic32mx", {}, "PIC32MX", RegisterLayout::Pic32Cicfg, "c-pic32"));

    Controller at91 = Classic("at91", {"sam9x5", "sama5d3"}, "AT91 CAN (SAM9, SAMA5D3)",
                              RegisterLayout::At91Br, "c-at91");
    at91.clock = ClockRule::PeripheralClock;
    at91.sClockName = "peripheral clock";
    at91.limits = kAt91Limits;
    at91.linux = kAt91Driver;
    rows.push_back(at91);

    for (const auto& [name, title] :
         {std::pair<std::string_view, std::string_view>{"mcp2517fd", "MCP2517FD"},
          {"mcp2518fd", "MCP2518FD"},
          {"mcp251863", "MCP251863"}}) {
        Controller row = Fd(name, {}, title, FdRegisterLayout::Mcp251xfd, "c-mcp251xfd");
        row.linux = kMcp251xfdDriver;
        rows.push_back(row);
    }
    rows.push_back(Fd("dspic33c", {}, "dsPIC33C", FdRegisterLayout::Dspic33c, "c-dspic33c"));

    Controller mcan =
        Fd("mcan", {"samc21", "same51", "same54", "samv71", "sama5d2"},
           "M_CAN (SAM C2x, SAM E5x, SAM V7x, SAMA5D2)", FdRegisterLayout::Mcan, "c-mcan");
    mcan.clock = ClockRule::PeripheralClock;
    mcan.sClockName = "CAN clock";
    mcan.nominalLimits = kMcanNominalLimits;
    mcan.dataLimits = kMcanDataLimits;
    mcan.tdcLimits = kMcanTdcLimits;
    mcan.dMaxClockMHz = 0.0;
    mcan.dMaxGivenMHz = kProcessorClockCeilingMHz;
    mcan.linux = kMcanDriver;
    rows.push_back(mcan);
    return rows;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

double FdSysclkMHz(double dOscFreqMHz, bool bPll) {
    return bPll ? dOscFreqMHz * kFdPllFactor : dOscFreqMHz;
}

std::string_view KindName(ControllerKind kind) {
    return kind == ControllerKind::Fd ? "fd" : "classic";
}

double CanClockMHz(ClockRule rule, double dGivenMHz, bool bPll) {
    switch (rule) {
    case ClockRule::HalfOscillator:
        return dGivenMHz / 2.0;
    case ClockRule::Sysclk:
        return FdSysclkMHz(dGivenMHz, bPll);
    case ClockRule::PeripheralClock:
        break;
    }
    return dGivenMHz;
}

int ClockPeriodsPerBrp(ClockRule rule) {
    return rule == ClockRule::HalfOscillator ? 2 : 1;
}

SearchRange SearchRangeOf(const Controller& row) {
    return SearchRange{row.limits.brpMinus1Min, row.limits.brpMinus1Max, row.limits.tqMin,
                       row.limits.tqMax, ClockPeriodsPerBrp(row.clock)};
}

std::string ClockLabel(const Controller& row) {
    std::string label(row.sClockName);
    if (!label.empty()) {
        label[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(label[0])));
    }
    return label;
}

const std::vector<Controller>& ControllerTable() {
    static const std::vector<Controller> table = MakeTable();
    return table;
}

const Controller* FindController(std::string_view nameOrAlias) {
    for (const Controller& row : ControllerTable()) {
        if (SameName(row.sName, nameOrAlias)) {
            return &row;
        }
        for (std::string_view alias : row.aliases) {
            if (!alias.empty() && SameName(alias, nameOrAlias)) {
                return &row;
            }
        }
    }
    return nullptr;
}

const Controller& DefaultController() {
    return ControllerTable().front();
}

const Controller& DefaultFdController() {
    // Looked up once: every FD setting without a row of its own asks for it.
    static const Controller& row = *FindController("mcp2518fd");
    return row;
}

std::string ControllerNames(ControllerKind kind) {
    std::string text;
    for (const Controller& row : ControllerTable()) {
        if (row.kind == kind) {
            text += (text.empty() ? "" : ", ") + std::string(row.sName);
        }
    }
    return text;
}

std::optional<std::string> ControllerProblem(std::string_view text, ControllerKind kind) {
    const Controller* row = FindController(text);
    if (row == nullptr) {
        return "'" + std::string(text) + "' is no controller Quillon knows (" +
               ControllerNames(kind) + ")";
    }
    if (row->kind != kind) {
        return std::string(row->sName) + " is a " +
               (row->IsFd() ? "CAN FD controller: use quillon-cli fd"
                            : "classic controller: leave out fd");
    }
    return std::nullopt;
}

} // namespace common
} // namespace quillon
