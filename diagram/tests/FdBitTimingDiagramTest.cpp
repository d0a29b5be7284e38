// The CAN FD diagram on a recording canvas: the nominal bit above and the data bit below in
// their own quanta, the data bit's segments, SJW, sample point and the secondary sample
// point of TDC line by line, and the rules around it.
#include "diagram/FdBitTimingDiagram.h"

#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace quillon {
namespace {

using test::RecordingCanvas;
using Calls = std::vector<std::string>;
constexpr double kW = RecordingCanvas::kTextWidth / 2, kH = RecordingCanvas::kTextHeight / 2;

std::string Colour(Rgb c) {
    const std::pair<Rgb, const char*> names[] = {{{192, 192, 192}, "grey"},
                                                 {{0, 0, 255}, "blue"},
                                                 {{0, 128, 0}, "green"},
                                                 {{0, 0, 0}, "black"},
                                                 {{160, 0, 160}, "purple"}};
    const auto* it = std::find_if(std::begin(names), std::end(names),
                                  [c](const auto& n) { return n.first == c; });
    return it == std::end(names) ? "other" : it->second;
}

std::string L(double x1, double y1, double x2, double y2, const std::string& colour) {
    std::ostringstream s;
    s << float(x1) << ' ' << float(y1) << ' ' << float(x2) << ' ' << float(y2) << ' ' << colour;
    return s.str();
}

std::string T(const std::string& text, double x, double y, const std::string& colour) {
    std::ostringstream s;
    s << text << " @ " << x << ' ' << y << ' ' << colour;
    return s.str();
}

FdSetting Setting(FdPhaseSetting data) {
    FdSetting s{40, false, 500, 2000, {1, 34, 35, 10, 5}, data, {}};
    s.tdc = RequiredTdc(data);
    return s;
}

struct Drawing {
    bool drawn = false;
    Calls lines, texts;
    std::vector<std::vector<double>> scales;
};

Drawing Draw(const FdSetting& setting, RecordingCanvas&& canvas = RecordingCanvas()) {
    Drawing d;
    d.drawn = DrawFdBitTimingDiagram(canvas, setting);
    for (const auto& l : canvas.lines) {
        d.lines.push_back(L(l.x1, l.y1, l.x2, l.y2, Colour(l.colour)));
    }
    for (const auto& t : canvas.texts) {
        d.texts.push_back(T(t.text, t.x, t.y, Colour(t.colour)));
    }
    return d;
}

bool Has(const Calls& calls, const Calls& wanted) {
    return std::search(calls.begin(), calls.end(), wanted.begin(), wanted.end()) != calls.end();
}

// A segment from a to b of the data bit (its row starts at 110): shaft at 187, arrowheads 0.2
// long to 184 and 190, extension lines from 166.
Calls DataDimension(double a, double b) {
    return {L(a, 187, b, 187, "blue"),       L(a, 187, a + 0.2, 184, "blue"),
            L(a, 187, a + 0.2, 190, "blue"), L(b, 187, b - 0.2, 184, "blue"),
            L(b, 187, b - 0.2, 190, "blue"), L(a, 166, a, 187, "blue"),
            L(b, 166, b, 187, "blue")};
}

TEST(FdBitTimingDiagram, BothBitsInTheirOwnQuanta) {
    // Nominal 1 + 34 + 35 + 10 = 80 quanta, data 1 + 7 + 7 + 5 = 20, TDCO 15.
    const Drawing d = Draw(Setting({1, 7, 7, 5, 2}));
    ASSERT_TRUE(d.drawn);
    EXPECT_EQ(d.texts.front(),
              T("Nominal bit: 500.000 kbps, BRP 1, 80 Tq of 25.000 ns", 0, 0, "black"));
    EXPECT_TRUE(Has(
        d.texts,
        {T("Data bit: 2.000 Mbps, BRP 1, 20 Tq of 25.000 ns, TDC auto (TDCO 15)", 0, 110, "black"),
         T("Tq = 1", 1 - kW, 128 - kH, "grey"), T("2", 2 - kW, 128 - kH, "grey")}));
    // Every quantum's grid line, numbered from "Tq = 1", in both rows.
    EXPECT_TRUE(Has(d.lines, {L(1, 25, 1, 100, "grey"), L(2, 25, 2, 100, "grey")}));
    EXPECT_TRUE(Has(d.lines, {L(80, 25, 80, 100, "grey"), L(0, 187 - 110, 1, 77, "blue")}));
    EXPECT_TRUE(Has(d.lines, {L(19, 135, 19, 210, "grey"), L(20, 135, 20, 210, "grey")}));
    EXPECT_EQ(
        std::count_if(d.lines.begin(), d.lines.end(),
                      [](const std::string& l) { return l.find("grey") != std::string::npos; }),
        80 + 20);
}

TEST(FdBitTimingDiagram, TheDataBitLineByLine) {
    const Drawing d = Draw(Setting({1, 7, 7, 5, 2}));
    Calls lines;
    for (const auto& [a, b] : {std::pair{0, 1}, {1, 8}, {8, 15}, {15, 20}}) {
        const Calls segment = DataDimension(a, b);
        lines.insert(lines.end(), segment.begin(), segment.end());
    }
    // SJW 2 either side of the sample point at 15, heads inward; the marker; the secondary
    // sample point from the bottom of the lane up to the segments.
    lines.insert(lines.end(), {L(13, 140, 17, 140, "green"), L(13, 140, 13.2, 137, "green"),
                               L(13, 140, 13.2, 143, "green"), L(17, 140, 16.8, 137, "green"),
                               L(17, 140, 16.8, 143, "green"), L(15, 148, 15, 166, "black"),
                               L(15, 166, 14.9, 161, "black"), L(15, 166, 15.1, 161, "black"),
                               L(15, 225, 15, 191, "purple"), L(15, 191, 14.9, 195, "purple"),
                               L(15, 191, 15.1, 195, "purple")});
    EXPECT_EQ(Calls(d.lines.end() - static_cast<long>(lines.size()), d.lines.end()), lines);
    EXPECT_EQ(
        Calls(d.texts.end() - 10, d.texts.end()),
        (Calls{T("sync", 0.5 - kW, 173 - kH, "blue"), T("prop", 4.5 - kW, 173 - kH, "blue"),
               T("175.0 ns", 4.5 - kW, 200 - kH, "blue"), T("phase1", 11.5 - kW, 173 - kH, "blue"),
               T("175.0 ns", 11.5 - kW, 200 - kH, "blue"), T("phase2", 17.5 - kW, 173 - kH, "blue"),
               T("125.0 ns", 17.5 - kW, 200 - kH, "blue"),
               T("SJW 50.0 ns", 17.25, 140 - kH, "green"),
               T("Sample Point (75.0 % of bit time)", 15.25, 148, "black"),
               T("SSP (TDCV + TDCO)", 15.25, 212, "purple")}));
}

TEST(FdBitTimingDiagram, WithoutTdcAndWithoutPropagation) {
    // Data BRP 4: TDC off, no secondary sample point. Data propagation 0: no prop segment.
    const Drawing d = Draw(Setting({4, 0, 3, 1, 1}));
    ASSERT_TRUE(d.drawn);
    EXPECT_TRUE(Has(
        d.texts, {T("Data bit: 2.000 Mbps, BRP 4, 5 Tq of 100.000 ns, TDC off", 0, 110, "black")}));
    EXPECT_FALSE(std::any_of(d.lines.begin(), d.lines.end(), [](const std::string& l) {
        return l.find("purple") != std::string::npos;
    }));
    Calls names;
    // The nominal bit's texts: title, 80 numbers, 7 segment texts, SJW and sample point.
    for (const std::string& t : Calls(d.texts.begin() + 90, d.texts.end())) {
        names.push_back(t.substr(0, t.find(" @")));
    }
    EXPECT_EQ(names, (Calls{"Data bit: 2.000 Mbps, BRP 4, 5 Tq of 100.000 ns, TDC off", "Tq = 1",
                            "2", "3", "4", "5", "sync", "phase1", "300.0 ns", "phase2", "100.0 ns",
                            "SJW 100.0 ns", "Sample Point (80.0 % of bit time)"}));
}

// Wide numbers on a bit of many quanta: every 5th is numbered, the first as "Tq = 5".
class WideTextCanvas : public RecordingCanvas {
public:
    double TextWidth(const std::string& text) override {
        RecordingCanvas::TextWidth(text);
        return 3;
    }
};

TEST(FdBitTimingDiagram, NumbersThinnedWhereTheyWouldCollide) {
    const Drawing d = Draw(Setting({1, 7, 7, 5, 2}), WideTextCanvas());
    Calls numbers;
    for (const std::string& t : d.texts) {
        if (t.find("grey") != std::string::npos) {
            numbers.push_back(t.substr(0, t.find(" @")));
        }
    }
    EXPECT_EQ(Calls(numbers.begin(), numbers.begin() + 3), (Calls{"Tq = 5", "10", "15"}));
    EXPECT_EQ(numbers.size(), 16u + 4u); // 5..80 and 5..20
}

TEST(FdBitTimingDiagram, NoBitDrawsNothing) {
    for (const FdPhaseSetting& data :
         {FdPhaseSetting{1, -1, 0, -1, 1}, FdPhaseSetting{1, 500, 500, 16, 1},
          FdPhaseSetting{1, 7, 7, -5, 2}}) {
        RecordingCanvas canvas;
        EXPECT_FALSE(DrawFdBitTimingDiagram(canvas, Setting(data)));
        EXPECT_TRUE(canvas.ops.empty());
    }
}

} // namespace
} // namespace quillon
