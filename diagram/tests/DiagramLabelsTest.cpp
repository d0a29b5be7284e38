// Where the diagrams' labels stand: every text inside the picture at every sample point and
// SJW the step-3 controls can set, on narrow, design and wide pictures, and, worked by hand,
// which side of its mark and which form a label takes when room runs out.
#include "diagram/BitTimingDiagram.h"
#include "diagram/FdBitTimingDiagram.h"

#include "support/MeasuringCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace quillon {
namespace {

using test::MeasuringCanvas;

// Liberation Sans at 11 pixels, as the window draws: about 6 pixels a character (wider
// than most), 13 pixels a line.
constexpr double kCharPixels = 6.5, kLinePixels = 13;
constexpr double kClassicPixelsHigh = 106, kFdPixelsHigh = 248;

// The texts that stand (partly) outside the scale's 0..width x 0..height, with the case.
void CollectOutside(MeasuringCanvas& canvas, const std::string& what,
                    std::vector<std::string>& outside) {
    constexpr double kSlack = 1e-9;
    for (const MeasuringCanvas::Box& box : canvas.boxes) {
        if (box.left < -kSlack || box.top < -kSlack || box.right > box.unitsWide + kSlack ||
            box.bottom > box.unitsHigh + kSlack) {
            std::ostringstream s;
            s << what << ": '" << box.text << "' " << box.left << ".." << box.right << " x "
              << box.top << ".." << box.bottom;
            outside.push_back(s.str());
        }
    }
}

TEST(DiagramLabels, ClassicEveryTextInsideThePicture) {
    // 300: a narrowed window; 541: the report's design picture; 586: the window's; 1200: a
    // widened window. Propagation and phase 1 over their whole scroll-bar ranges put the
    // sample point from the 3rd Tq to past the bit's end (a setting the rules refuse, still
    // drawn); SJW over its whole range, with and without multiple sampling.
    std::vector<std::string> outside;
    int drawings = 0;
    for (const double pixelsWide : {300.0, 541.0, 586.0, 1200.0}) {
        for (const int n : {8, 16, 25}) {
            for (int p = 1; p <= 8; ++p) {
                for (int q = 1; q <= 8; ++q) {
                    for (const int r : {2, 8}) {
                        for (int j = 1; j <= 4; ++j) {
                            for (const bool sam : {false, true}) {
                                MeasuringCanvas canvas(pixelsWide, kClassicPixelsHigh, kCharPixels,
                                                       kLinePixels);
                                const BitTimingSetting setting{16, 500, 1, {n, p, q, r, j, sam}};
                                ASSERT_TRUE(DrawBitTimingDiagram(canvas, setting, true));
                                std::ostringstream what;
                                what << pixelsWide << " px, " << n << " Tq, P " << p << " Q " << q
                                     << " R " << r << " SJW " << j << (sam ? " SAM" : "");
                                CollectOutside(canvas, what.str(), outside);
                                ++drawings;
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(drawings, 4 * 3 * 8 * 8 * 2 * 4 * 2);
    EXPECT_EQ(outside, std::vector<std::string>{});
}

// 50 pixels a Tq (800 across 16 Tq, 400 across 8), 5 a character: a character is 0.1 Tq.
// The gap between a mark and its text is 0.25 Tq.
TEST(DiagramLabels, ClassicLabelSideAndForm) {
    const struct {
        const char* name;
        double pixelsWide;
        SegmentSettings segments;
        std::string sample;
        double sampleX;
        std::string sjw;
        double sjwX;
    } rows[] = {
        {"early sample point: both right of their marks",
         800,
         {16, 3, 4, 8, 1},
         "Sample Point (50.0 % of bit time)",
         8.25,
         "SJW 250.0 ns",
         9.25},
        // Recommend's P 8, Q 5, R 2, SJW 2 at 16 MHz, 500 kbit/s: 3.3 Tq of text has no room
        // after 14.25, 1.2 Tq none after 16.25.
        {"late sample point: both left of their marks",
         800,
         {16, 8, 5, 2, 2},
         "Sample Point (87.5 % of bit time)",
         14 - 0.25 - 3.3,
         "SJW 500.0 ns",
         12 - 0.25 - 1.2},
        {"multiple sampling: left of the first marker",
         800,
         {16, 8, 5, 2, 1, true},
         "3 Sample Points  (87.5 % of bit time)",
         13 - 0.25 - 3.7,
         "SJW 250.0 ns",
         13 - 0.25 - 1.2},
        // 10 pixels a Tq, 0.5 Tq a character: 16.5 Tq of text fits nowhere in 16, 3 Tq do.
        {"narrow picture: the sample point in short",
         160,
         {16, 6, 7, 2, 1},
         "87.5 %",
         14 - 0.25 - 3,
         "SJW 250.0 ns",
         13 - 0.25 - 6},
        // SJW from 0 to 8 over all the bit: neither "SJW 1.0 µs" nor "SJW" has room beside.
        {"SJW over the whole bit: short, in from the right edge",
         400,
         {8, 1, 2, 4, 4},
         "Sample Point (50.0 % of bit time)",
         4.25,
         "SJW",
         8 - 0.3},
    };
    for (const auto& row : rows) {
        MeasuringCanvas canvas(row.pixelsWide, 100, 5, 12);
        ASSERT_TRUE(DrawBitTimingDiagram(canvas, {16, 500, 1, row.segments}, true)) << row.name;
        const auto texts = canvas.texts;
        const auto find = [&texts](Rgb colour, bool label) {
            for (const auto& t : texts) {
                if (t.colour == colour && (!label || t.text.size() > 1)) {
                    return t;
                }
            }
            return test::RecordingCanvas::TextCall{"none", -1, -1, colour};
        };
        const auto sample = find(diagram_colours::kSamplePoint, true);
        const auto sjw = find(diagram_colours::kSJW, false);
        EXPECT_EQ(sample.text, row.sample) << row.name;
        EXPECT_NEAR(sample.x, row.sampleX, 1e-9) << row.name;
        EXPECT_EQ(sjw.text, row.sjw) << row.name;
        EXPECT_NEAR(sjw.x, row.sjwX, 1e-9) << row.name;
    }
}

// The last Tq number ends at the right edge and the first stands centred; the numbers,
// centred on a row 5 from the top, start at the top edge; a segment name wider than its
// segment at the end of the bit ends at the right edge.
TEST(DiagramLabels, ClassicCentredTextsMoveInFromTheEdges) {
    MeasuringCanvas canvas(800, 100, 5, 12);
    ASSERT_TRUE(DrawBitTimingDiagram(canvas, {16, 500, 1, {16, 6, 7, 2, 1}}, true));
    for (const auto& box : canvas.boxes) {
        if (box.text == "16") {
            EXPECT_DOUBLE_EQ(box.left, 16 - 0.2);
            EXPECT_DOUBLE_EQ(box.top, 0);
        }
        if (box.text == "Tq = 1") {
            EXPECT_DOUBLE_EQ(box.left, 1 - 0.3);
        }
    }
    // 16 Tq across 160 pixels: "phase2" (3 Tq) centred on 15 would end at 16.5.
    MeasuringCanvas narrow(160, 100, 5, 12);
    ASSERT_TRUE(DrawBitTimingDiagram(narrow, {16, 500, 1, {16, 6, 7, 2, 1}}, true));
    const auto boxes = narrow.boxes;
    const auto phase2 = std::find_if(boxes.begin(), boxes.end(),
                                     [](const auto& box) { return box.text == "phase2"; });
    ASSERT_NE(phase2, boxes.end());
    EXPECT_DOUBLE_EQ(phase2->left, 13);
}

FdSetting FdOf(FdPhaseSetting nominal, FdPhaseSetting data) {
    FdSetting s{40, false, 500, 2000, nominal, data, {}};
    s.tdc = RequiredTdc(data);
    return s;
}

TEST(DiagramLabels, FdEveryTextInsideThePicture) {
    // The nominal bit with an early, the usual and a late sample point; the data bit over
    // phase 1 and phase 2 with and without propagation and SJW up to 8, which puts its
    // sample point from the 2nd Tq to the last and the secondary sample point where TDC
    // takes it. The window's picture is at least 586 pixels wide.
    std::vector<std::string> outside;
    int drawings = 0;
    for (const double pixelsWide : {586.0, 1200.0}) {
        for (const FdPhaseSetting& nominal :
             {FdPhaseSetting{1, 1, 8, 70, 8}, {1, 34, 35, 10, 5}, {1, 60, 17, 2, 2}}) {
            for (const int p : {0, 4}) {
                for (int q = 1; q <= 12; ++q) {
                    for (int r = 1; r <= 8; ++r) {
                        for (const int j : {1, 2, 4, 8}) {
                            MeasuringCanvas canvas(pixelsWide, kFdPixelsHigh, kCharPixels,
                                                   kLinePixels);
                            ASSERT_TRUE(
                                DrawFdBitTimingDiagram(canvas, FdOf(nominal, {1, p, q, r, j})));
                            std::ostringstream what;
                            what << pixelsWide << " px, nominal SJW " << nominal.lSJW << ", data P "
                                 << p << " Q " << q << " R " << r << " SJW " << j;
                            CollectOutside(canvas, what.str(), outside);
                            ++drawings;
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(drawings, 2 * 3 * 2 * 12 * 8 * 4);
    EXPECT_EQ(outside, std::vector<std::string>{});
}

// The data bit of 10 Tq across 500 pixels: 50 pixels a Tq, 5 a character (0.1 Tq); the gap
// is 5 pixels (0.1 Tq).
TEST(DiagramLabels, FdLabelSideAndForm) {
    const struct {
        const char* name;
        FdPhaseSetting data;
        std::string sample;
        double sampleX;
        std::string sjw;
        double sjwX;
    } rows[] = {
        {"early: both right",
         {4, 0, 4, 5, 1},
         "Sample Point (50.0 % of bit time)",
         5.1,
         "SJW 100.0 ns",
         6.1},
        {"late: both left",
         {4, 0, 8, 1, 1},
         "Sample Point (90.0 % of bit time)",
         9 - 0.1 - 3.3,
         "SJW 100.0 ns",
         8 - 0.1 - 1.2},
        {"SJW over the whole bit: short, in from the right edge",
         {4, 0, 4, 5, 5},
         "Sample Point (50.0 % of bit time)",
         5.1,
         "SJW",
         10 - 0.3},
    };
    for (const auto& row : rows) {
        MeasuringCanvas canvas(500, kFdPixelsHigh, 5, 12);
        ASSERT_TRUE(DrawFdBitTimingDiagram(canvas, FdOf({1, 34, 35, 10, 5}, row.data))) << row.name;
        std::vector<test::RecordingCanvas::TextCall> dataRow;
        for (const auto& t : canvas.texts) {
            if (t.y >= kFdDataRowTop) {
                dataRow.push_back(t);
            }
        }
        const auto find = [&dataRow](Rgb colour) {
            for (const auto& t : dataRow) {
                if (t.colour == colour && t.text.rfind("Data bit", 0) != 0) {
                    return t;
                }
            }
            return test::RecordingCanvas::TextCall{"none", -1, -1, colour};
        };
        const auto sample = find(diagram_colours::kSamplePoint);
        const auto sjw = find(diagram_colours::kSJW);
        EXPECT_EQ(sample.text, row.sample) << row.name;
        EXPECT_NEAR(sample.x, row.sampleX, 1e-9) << row.name;
        EXPECT_EQ(sjw.text, row.sjw) << row.name;
        EXPECT_NEAR(sjw.x, row.sjwX, 1e-9) << row.name;
    }
}

} // namespace
} // namespace quillon
