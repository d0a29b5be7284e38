// The diagrams in words, worked by hand: the segments in Tq and in time, SJW, the sample
// point and the rate of a classic and a CAN FD setting.
#include "diagram/DiagramText.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

const std::string kMicro = "\xC2\xB5";

TEST(DiagramText, Classic) {
    // 16 MHz, BRP-1 1: a Tq of 2 x 2 / 16 MHz = 250 ns.
    const struct {
        const char* name;
        SegmentSettings segments;
        const char* separator;
        std::string text;
    } rows[] = {
        {"16 Tq: 4 us a bit",
         {16, 5, 6, 4, 1},
         ".",
         "Bit of 16 Tq at 250.000 kbps: sync 1 Tq, propagation 5 Tq (1.25 " + kMicro +
             "s), phase 1 6 Tq (1.5 " + kMicro + "s), phase 2 4 Tq (1.0 " + kMicro +
             "s); SJW 1 Tq (250.0 ns); sample point at 75.0 % of the bit."},
        {"late sample point, SJW 2, comma",
         {16, 6, 7, 2, 2},
         ",",
         "Bit of 16 Tq at 250,000 kbps: sync 1 Tq, propagation 6 Tq (1,5 " + kMicro +
             "s), phase 1 7 Tq (1,75 " + kMicro +
             "s), phase 2 2 Tq (500,0 ns); SJW 2 Tq "
             "(500,0 ns); sample point at 87,5 % of the bit."},
        // Phase 2 the larger of phase 1 (5) and 2 Tq, whatever is programmed: 12 Tq, 3 us.
        {"phase 2 the larger of phase 1 and IPT, three samples",
         {12, 1, 5, 2, 1, true, false, Phase2Mode::LargerOf},
         ".",
         "Bit of 12 Tq at 333.333333 kbps: sync 1 Tq, propagation 1 Tq (250.0 ns), phase 1 5 "
         "Tq (1.25 " +
             kMicro + "s), phase 2 5 Tq (1.25 " + kMicro +
             "s); SJW 1 Tq (250.0 ns); three samples, the last at 58.3 % of the bit."},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(BitTimingDiagramText({16, 500, 1, row.segments}, row.separator), row.text)
            << row.name;
    }
}

TEST(DiagramText, Fd) {
    // 40 MHz: a Tq of 25 ns at BRP 1, 100 ns at BRP 4. Nominal 80 Tq of 25 ns = 2 us.
    const std::string nominal =
        "Nominal bit of 80 Tq at 500.000 kbps: sync 1 Tq, propagation 34 Tq (850.0 ns), phase "
        "1 35 Tq (875.0 ns), phase 2 10 Tq (250.0 ns); SJW 5 Tq (125.0 ns); sample point at "
        "87.5 % of the bit.";
    const struct {
        const char* name;
        FdPhaseSetting data;
        std::string text;
    } rows[] = {
        {"data 20 Tq of 25 ns, TDC",
         {1, 7, 7, 5, 2},
         " Data bit of 20 Tq at 2.000 Mbps: sync 1 Tq, propagation 7 Tq (175.0 ns), phase 1 7 "
         "Tq (175.0 ns), phase 2 5 Tq (125.0 ns); SJW 2 Tq (50.0 ns); sample point at 75.0 % "
         "of the bit. TDC auto (TDCO 15)."},
        {"data 5 Tq of 100 ns without propagation, no TDC",
         {4, 0, 3, 1, 1},
         " Data bit of 5 Tq at 2.000 Mbps: sync 1 Tq, phase 1 3 Tq (300.0 ns), phase 2 1 Tq "
         "(100.0 ns); SJW 1 Tq (100.0 ns); sample point at 80.0 % of the bit. TDC off."},
    };
    for (const auto& row : rows) {
        FdSetting setting{40, false, 500, 2000, {1, 34, 35, 10, 5}, row.data, {}};
        setting.tdc = RequiredTdc(row.data);
        EXPECT_EQ(FdBitTimingDiagramText(setting), nominal + row.text) << row.name;
    }
}

} // namespace
} // namespace quillon
