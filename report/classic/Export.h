#pragma once
// A setting carried to its target, in the forms firmware and Linux take it: C for the
// MCP251x (CNF1..CNF3 defines), the PIC18 (BRGCON1..3) and the dsPIC30F, dsPIC33F and
// PIC24H (C1CFG1/C1CFG2); for an MCP251x under Linux the `ip link` command, a
// systemd-networkd file and the Raspberry Pi overlay line; and the document of
// `timing --json`. All are made from the model's facts of the one setting, so the numbers
// are the ones step 3 and `quillon-cli timing` show. Where the target would refuse or change
// the setting, the text is still made and the warnings say what happens.
#include "report/classic/SettingJson.h"
#include "report/common/LinuxTarget.h"
#include "timing/classic/BitTiming.h"
#include "timing/common/BusContext.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace classic {

enum class ExportFormat {
    CMcp251x,
    CPic18,
    CDspic,
    IpLink,
    Networkd,
    RpiOverlay,
    Json,
    CPic32,
    CAt91
};

struct ExportFormatInfo {
    ExportFormat format;
    std::string_view name;  // as the command line takes it: "c-mcp251x"
    std::string_view title; // as the window's menu offers it
};

inline constexpr std::array<ExportFormatInfo, 9> kExportFormats{{
    {ExportFormat::CMcp251x, "c-mcp251x", "C header for the MCP251x (CNF1..CNF3)"},
    {ExportFormat::CPic18, "c-pic18", "C for the PIC18 (BRGCON1..3)"},
    {ExportFormat::CDspic, "c-dspic", "C for the dsPIC30F, dsPIC33F, PIC24H (C1CFG1/2)"},
    {ExportFormat::IpLink, "ip-link", "Linux ip link command"},
    {ExportFormat::Networkd, "networkd", "systemd-networkd file"},
    {ExportFormat::RpiOverlay, "rpi-overlay", "Raspberry Pi config.txt line"},
    {ExportFormat::Json, "json", "JSON (as quillon-cli timing --json)"},
    {ExportFormat::CPic32, "c-pic32", "C for the PIC32MX (C1CFG)"},
    {ExportFormat::CAt91, "c-at91", "C for the AT91 CAN cell (CAN_BR)"},
}};

// Whether a form carries a setting of `row` to its target: the C form of the row's registers
// (the calculator's own row takes all three Microchip forms), ip-link and networkd where the
// row has a Linux driver, the overlay line for the mcp251x driver's boards, JSON always.
bool FormatFits(ExportFormat format, const Controller& row);

std::optional<ExportFormat> FindExportFormat(std::string_view name);
// "c-mcp251x, c-pic18, ...", for the help and the refusal.
std::string ExportFormatNames();
// The refusal of a name that is no format, or nothing.
std::optional<std::string> ExportFormatProblem(std::string_view name);

struct ExportOptions {
    std::string interfaceName = std::string(kDefaultInterfaceName);
    int interruptPin = kDefaultInterruptPin;
    // The candidate the JSON document names; nothing: the grid cell of the setting.
    std::optional<SettingSelection> selection;
    // The bus the JSON document's findings are for.
    BusContext bus;
    // Where the segments come from ("recommended segments"), said in the comment line the
    // forms start with; empty: not said.
    std::string segmentsOrigin;
};

struct ExportResult {
    std::string text; // empty when nothing can be made; the warnings then say why
    // One sentence each: what the target would refuse or change, or why there is no text.
    std::vector<std::string> warnings;
};

// The texts always write numbers with a point (they are code); the warnings use
// `decimalSeparator`.
ExportResult ExportSetting(ExportFormat format, const BitTimingSetting& setting,
                           const ExportOptions& options = {},
                           std::string_view decimalSeparator = ".");

} // namespace classic
} // namespace quillon
