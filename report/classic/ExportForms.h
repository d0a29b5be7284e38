#pragma once
// The export forms one by one, for ExportSetting: the three C forms here and the three
// Linux forms in LinuxExport.cpp, each made from the facts of a setting whose registers
// exist and whose inputs can be computed with.
#include "report/classic/Export.h"
#include "timing/classic/BitTiming.h"
#include "timing/linux/Mcp251xLinux.h"

#include <string>

namespace quillon {
inline namespace classic {
namespace exports {

// "16 MHz oscillator, 500 kbit/s: BRP-1 1, 8 Tq = sync 1 + prop 2 + phase1 3 + phase2 2,
// SJW 1, sample point 75.0 %", the line every form starts with, and where the segments come
// from when the options say it (" (recommended segments)").
std::string SettingSummary(const BitTimingFacts& facts, const ExportOptions& options);

std::string CMcp251xText(const BitTimingFacts& facts, const ExportOptions& options);
std::string CPic18Text(const BitTimingFacts& facts, const ExportOptions& options);
std::string CDspicText(const BitTimingFacts& facts, const ExportOptions& options);
std::string CPic32Text(const BitTimingFacts& facts, const ExportOptions& options);
std::string CAt91Text(const BitTimingFacts& facts, const ExportOptions& options);

std::string IpLinkText(const BitTimingFacts& facts, const LinuxTarget& target,
                       const ExportOptions& options);
std::string NetworkdText(const BitTimingFacts& facts, const LinuxTarget& target,
                         const ExportOptions& options);
std::string RpiOverlayText(const BitTimingFacts& facts, const ExportOptions& options);

} // namespace exports
} // namespace classic
} // namespace quillon
