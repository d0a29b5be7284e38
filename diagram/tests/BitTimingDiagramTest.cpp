// The bit timing diagram drawn on a recording canvas: the worked example (N 16, P 5, Q 6,
// R 4, J 1 at 16 MHz, BRP-1 1) line by line and text by text, and the rules around it.
#include "diagram/BitTimingDiagram.h"

#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <tuple>
#include <vector>

namespace quillon {
namespace {

using test::RecordingCanvas;
using Calls = std::vector<std::string>;
constexpr double kW = RecordingCanvas::kTextWidth / 2, kH = RecordingCanvas::kTextHeight / 2;
const std::string kMicro = "\xC2\xB5";

// The colours by the values a person sees, not by the names the code gives them.
std::string Colour(Rgb c) {
    const std::pair<Rgb, const char*> names[] = {{{192, 192, 192}, "grey"},
                                                 {{0, 0, 255}, "blue"},
                                                 {{0, 128, 0}, "green"},
                                                 {{0, 0, 0}, "black"}};
    const auto* it = std::find_if(std::begin(names), std::end(names),
                                  [c](const auto& n) { return n.first == c; });
    return it == std::end(names) ? "other" : it->second;
}

template <typename... Parts> std::string Str(const Parts&... parts) {
    std::ostringstream s;
    ((s << parts << ' '), ...);
    return s.str();
}

std::string L(double x1, double y1, double x2, double y2, const std::string& colour) {
    return Str(float(x1), float(y1), float(x2), float(y2), colour);
}

std::string T(const std::string& text, double x, double y, const std::string& colour) {
    return Str(text, '@', x, y, colour);
}

// A segment from a to b: shaft at 75, arrowheads 0.2 long up to 72 and down to 78,
// extension lines from 50 down to the shaft.
void Dimension(Calls& out, double a, double b) {
    out.insert(out.end(),
               {L(a, 75, b, 75, "blue"), L(a, 75, a + 0.2, 72, "blue"),
                L(a, 75, a + 0.2, 78, "blue"), L(b, 75, b - 0.2, 72, "blue"),
                L(b, 75, b - 0.2, 78, "blue"), L(a, 50, a, 75, "blue"), L(b, 50, b, 75, "blue")});
}

void Marker(Calls& out, double m) {
    out.insert(out.end(), {L(m, 25, m, 50, "black"), L(m, 50, m - 0.1, 45, "black"),
                           L(m, 50, m + 0.1, 45, "black")});
}

struct Drawing {
    bool drawn;
    Calls lines, texts;
    RecordingCanvas canvas;
};

Drawing Draw(int n, int p, int q, int r, int j, bool sam = false, double osc = 16,
             const char* separator = ".") {
    Drawing d;
    d.drawn = DrawBitTimingDiagram(d.canvas, BitTimingSetting{osc, 500, 1, {n, p, q, r, j, sam}},
                                   true, separator);
    for (const auto& l : d.canvas.lines) {
        d.lines.push_back(L(l.x1, l.y1, l.x2, l.y2, Colour(l.colour)));
    }
    for (const auto& t : d.canvas.texts) {
        d.texts.push_back(T(t.text, t.x, t.y, Colour(t.colour)));
    }
    return d;
}

TEST(BitTimingDiagram, WorkedExampleLineByLineAndTextByText) {
    const Drawing d = Draw(16, 5, 6, 4, 1);
    ASSERT_TRUE(d.drawn);
    EXPECT_EQ(Calls(d.canvas.ops.begin(), d.canvas.ops.begin() + 2), (Calls{"Cls", "SetScale"}));
    EXPECT_EQ(d.canvas.scale, (std::vector<double>{0, 0, 16, 100}));

    Calls lines, texts;
    for (int i = 1; i <= 16; ++i) {
        lines.push_back(L(i, 10, i, 100, "grey"));
        // The last number ends at the right edge, not half outside it.
        texts.push_back(T(i == 1 ? "Tq = 1" : std::to_string(i), i == 16 ? 16 - 2 * kW : i - kW,
                          5 - kH, "grey"));
    }
    Dimension(lines, 0, 1);
    Dimension(lines, 1, 6);
    Dimension(lines, 6, 12);
    lines.insert(lines.end(), {L(12, 15, 11, 15, "green"), L(12, 15, 13, 15, "green"),
                               L(13, 15, 12.8, 12, "green"), L(13, 15, 12.8, 18, "green"),
                               L(11, 15, 11.2, 12, "green"), L(11, 15, 11.2, 18, "green")});
    Marker(lines, 12);
    Dimension(lines, 12, 16);
    EXPECT_EQ(d.lines, lines);

    texts.insert(texts.end(),
                 {T("sync", 0.5 - kW, 62.5 - kH, "blue"), T("prop", 3.5 - kW, 62.5 - kH, "blue"),
                  T("1.25 " + kMicro + "s", 3.5 - kW, 87.5 - kH, "blue"),
                  T("phase1", 9 - kW, 62.5 - kH, "blue"),
                  T("1.5 " + kMicro + "s", 9 - kW, 87.5 - kH, "blue"),
                  T("SJW 250.0 ns", 13.25, 15 - kH, "green"),
                  T("Sample Point (75.0 % of bit time)", 12.25, 25, "black"),
                  T("phase2", 14 - kW, 62.5 - kH, "blue"),
                  T("1.0 " + kMicro + "s", 14 - kW, 87.5 - kH, "blue")});
    EXPECT_EQ(d.texts, texts);
}

TEST(BitTimingDiagram, CentringMeasuresTheHeightFirst) {
    const Calls& ops = Draw(16, 5, 6, 4, 1).canvas.ops;
    const Calls centred = {"Line",      "TextHeight",  "SetCurrentY",
                           "TextWidth", "SetCurrentX", "Print"};
    EXPECT_TRUE(
        std::equal(centred.begin(), centred.end(), std::find(ops.begin(), ops.end(), "Line")));
    const Calls sjw = {"SetCurrentX", "TextHeight", "SetCurrentY", "Print"};
    EXPECT_NE(std::search(ops.begin(), ops.end(), sjw.begin(), sjw.end()), ops.end());
}

TEST(BitTimingDiagram, MultipleSamplingAddsTwoMarkers) {
    const Drawing d = Draw(16, 5, 6, 4, 1, true);
    Calls markers;
    for (const double m : {11.0, 11.5, 12.0}) {
        Marker(markers, m);
    }
    EXPECT_EQ(Calls(d.lines.begin() + 43, d.lines.begin() + 52), markers);
    EXPECT_EQ(Calls(d.texts.begin() + 21, d.texts.begin() + 25),
              (Calls{T("SJW 250.0 ns", 13.25, 15 - kH, "green"), T("1", 11.25, 25, "black"),
                     T("2", 11.75, 25, "black"),
                     T("3 Sample Points  (75.0 % of bit time)", 12.25, 25, "black")}));
}

TEST(BitTimingDiagram, CountsAndColoursForEveryTqCount) {
    for (const int n : {8, 16, 25}) {
        for (const bool sam : {false, true}) {
            const SegmentProposal p = ProposeSegments(n);
            const Drawing d = Draw(n, p.lPropagation, p.lPhase1, p.lPhase2, 1, sam);
            EXPECT_EQ(d.lines.size(), std::size_t(n + (sam ? 43 : 37))) << n << ' ' << sam;
            EXPECT_EQ(d.texts.size(), std::size_t(n + (sam ? 11 : 9))) << n << ' ' << sam;
            std::map<std::string, int> colours;
            for (const auto& l : d.canvas.lines) {
                ++colours[Colour(l.colour)];
            }
            EXPECT_EQ(colours,
                      (std::map<std::string, int>{
                          {"grey", n}, {"blue", 28}, {"green", 6}, {"black", sam ? 9 : 3}}));
        }
    }
}

TEST(BitTimingDiagram, NothingSelectedDrawsNothing) {
    for (const auto& [selected, n] : {std::pair{false, 16}, {true, 0}, {true, -8}, {true, 40000}}) {
        RecordingCanvas canvas;
        EXPECT_FALSE(DrawBitTimingDiagram(canvas, {16, 500, 1, {n, 5, 6, 4}}, selected)) << n;
        EXPECT_TRUE(canvas.ops.empty()) << n;
    }
}

TEST(BitTimingDiagram, SeparatorAndUnusableOscillator) {
    const std::string sample = "Sample Point (75.0 % of bit time)";
    const struct {
        double osc;
        const char* separator;
        Calls texts; // the durations, SJW and sample point texts in drawing order
    } rows[] = {{16,
                 ",",
                 {"1,25 " + kMicro + "s", "1,5 " + kMicro + "s", "SJW 250,0 ns",
                  "Sample Point (75,0 % of bit time)", "1,0 " + kMicro + "s"}},
                {0, ".", {"n/a", "n/a", "SJW n/a", sample, "n/a"}},
                {-16, ".", {"n/a", "n/a", "SJW n/a", sample, "n/a"}}};
    for (const auto& row : rows) {
        const Drawing d = Draw(16, 5, 6, 4, 1, false, row.osc, row.separator);
        Calls texts;
        for (const std::size_t i : {18, 20, 21, 22, 24}) {
            texts.push_back(d.canvas.texts.at(i).text);
        }
        EXPECT_EQ(texts, row.texts) << row.osc;
    }
}

// On a wider picture than the design's the arrowheads keep at most 15 pixels; up to the
// design width they are 0.2 Tq. The last Tq number ends at the right edge on both.
TEST(BitTimingDiagram, StretchedPictureKeepsArrowheadsAndLastNumber) {
    const BitTimingSetting setting{16, 500, 1, {16, 5, 6, 4, 1}};
    for (const auto& [pixelsPerTq, head, lastX] :
         {std::tuple{586.0 / 16, 0.2f, 16 - 2 * kW}, {100.0, 0.15f, 16 - 2 * kW}}) {
        RecordingCanvas canvas;
        canvas.pixelsPerUnitX = pixelsPerTq;
        ASSERT_TRUE(DrawBitTimingDiagram(canvas, setting, true));
        const auto& shaft = canvas.lines[16]; // the sync segment's shaft, then its head
        const auto& arrow = canvas.lines[17];
        EXPECT_FLOAT_EQ(arrow.x2 - shaft.x1, head) << pixelsPerTq;
        EXPECT_DOUBLE_EQ(canvas.texts[15].x, lastX) << pixelsPerTq; // "16"
    }
}

} // namespace
} // namespace quillon
