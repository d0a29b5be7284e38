#pragma once
// A CAN FD setting carried to its target: the register words as C for the MCP251xFD, the
// dsPIC33C and the M_CAN, the Linux forms (ip link with rates and sample points or with the
// explicit segments and TDC, systemd-networkd, the Raspberry Pi overlay line of the mcp251xfd) and
// JSON. Where the Linux driver would refuse or change the setting, the export says so beside
// the text, which is still made.
#include "report/common/LinuxTarget.h"
#include "timing/fd/FdTiming.h"
#include "timing/linux/FdKernelChoice.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {
inline namespace fd {

enum class FdExportFormat {
    CMcp251xfd, // #defines of CiNBTCFG, CiDBTCFG and CiTDC
    CDspic33c,  // assignments of C1NBTCFGH/L, C1DBTCFGH/L, C1TDCH/L
    CMcan,      // #defines of NBTP, DBTP and TDCR
    IpLink,     // ip link ... bitrate ... sample-point ... dbitrate ... dsample-point ... fd on
    IpLinkTq,   // ip link ... tq ... dtq ... tdco ... tdc-mode ... fd on
    Networkd,   // [CAN] BitRate=, SamplePoint=, DataBitRate=, DataSamplePoint=, FDMode=yes
    NetworkdTq, // [CAN] TimeQuantaNSec= ... DataSyncJumpWidth=, FDMode=yes
    RpiOverlay, // dtoverlay=mcp251xfd,spi0-0,oscillator=HZ,interrupt=PIN
    Json,       // the setting's facts as fd timing --json writes them
};

struct FdExportFormatInfo {
    FdExportFormat format;
    std::string_view name; // "c-mcp251xfd"
    std::string_view summary;
};
// In the order the help lists them.
const std::vector<FdExportFormatInfo>& FdExportFormats();
std::optional<FdExportFormat> FindFdExportFormat(std::string_view name);
// "c-mcp251xfd, c-dspic33c, ... or json", for help texts and refusals.
std::string FdExportFormatNames();
// nullopt for a known form, else the refusal naming the known ones.
std::optional<std::string> FdExportFormatProblem(std::string_view name);

struct FdExportOptions {
    std::string sInterface = std::string(kDefaultInterfaceName);
    int lInterruptPin = kDefaultInterruptPin;
    // Where the segments come from ("recommended segments"), said in the C comment and a
    // comment line before the Linux forms; empty: not said.
    std::string sSegmentsOrigin;
    // The kernel whose driver the Linux forms with explicit segments compare the TDC with.
    LinuxTdcGeneration linuxTdc = kDefaultLinuxTdc;
};

struct FdExportText {
    std::string sText;
    // What the target would refuse or change, one sentence each; empty when it takes the
    // setting as it is.
    std::vector<std::string> warnings;
};

// Why a form does not fit the controller (nullptr: the default, the MCP251xFD with the
// dsPIC33C's words), or nothing when it does: a C form of another controller's registers, a
// Linux form for a controller no Linux driver runs, the Raspberry Pi overlay for anything but
// the mcp251xfd driver.
std::optional<std::string> FdExportRowProblem(FdExportFormat format, const Controller* row);

// True for the forms that compare the TDC with the Linux driver's (ip-link-tq, networkd-tq),
// the only ones FdExportOptions::linuxTdc changes.
bool FdExportComparesLinuxTdc(FdExportFormat format);

// The export of a setting's facts in one form; a form that does not fit the setting's
// controller gives no text and the reason as its warning.
FdExportText ExportFdSetting(const FdFacts& facts, FdExportFormat format,
                             const FdExportOptions& options = {});

} // namespace fd
} // namespace quillon
