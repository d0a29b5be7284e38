#include "diagram/FdBitTimingDiagram.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace quillon {

namespace {

// Rows of one bit, from the top of its row, in hundredths of the row's height.
constexpr double kTitleY = 0;
constexpr double kTqNumberY = 18;
constexpr double kGridTopY = 25;
constexpr double kSJWShaftY = 30;
constexpr double kSJWHeadHalf = 3;
constexpr double kMarkerTopY = 38; // sample marker top, where its text hangs from
constexpr double kMarkerHeadY = 51;
constexpr double kMarkerTipY = 56; // also the top of the extension lines
constexpr double kSegmentNameY = 63;
constexpr double kShaftY = 77;
constexpr double kShaftHeadHalf = 3;
constexpr double kDurationY = 90;
// The data bit has a lane of its own below it for the secondary sample point: an arrow from
// its bottom up to the segments, the text beside the arrow in the lane.
constexpr double kSspTailY = 115;
constexpr double kSspTipY = 81;
constexpr double kSspHeadY = 85;
constexpr double kSspTextY = 102;
constexpr double kRowHeight = 100;

// Horizontal sizes: in quanta of the row's bit on a drawing without pixels (a recording),
// in pixels on a picture, so that marks look alike on a bit of 5 and one of 385 quanta.
constexpr double kArrowHead = 0.2;
constexpr double kArrowHeadPixels = 6;
constexpr double kMarkerHeadHalf = 0.1;
constexpr double kMarkerHeadPixels = 3;
constexpr double kTextGap = 0.25;
constexpr double kTextGapPixels = 5;
// Every quantum gets its grid line while they stand at least this far apart.
constexpr double kMinGridPixels = 3;
// Tq numbers stand at every k-th quantum, k the first of these that leaves room.
constexpr std::array<int, 9> kNumberSteps{1, 2, 5, 10, 20, 50, 100, 200, 500};
constexpr int kMaxDrawnTqCount = 1000;

// Where each labelled segment stands in FdPhaseFacts::durations.
constexpr std::size_t kPropagationDuration = 1;
constexpr std::size_t kPhase1Duration = 2;
constexpr std::size_t kPhase2Duration = 3;
constexpr std::size_t kSJWDuration = 4;

// Draws one bit in its row, x in its quanta.
class RowPainter {
public:
    RowPainter(BitCanvas& canvas, double top, int quanta)
        : m_canvas(canvas), m_top(top), m_quanta(quanta) {
        m_canvas.SetScale(0, 0, quanta, kFdDiagramHeight);
        m_pixelsPerTq = m_canvas.PixelsPerUnitX();
    }

    // A length in quanta, or `pixels` long on a picture.
    double Size(double tq, double pixels) const {
        return m_pixelsPerTq > 0 ? pixels / m_pixelsPerTq : tq;
    }
    bool Fits(const std::string& text, double room) {
        return m_pixelsPerTq <= 0 || m_canvas.TextWidth(text) <= room;
    }

    void Line(double x1, double y1, double x2, double y2, Rgb colour) {
        m_canvas.Line(static_cast<float>(x1), static_cast<float>(m_top + y1),
                      static_cast<float>(x2), static_cast<float>(m_top + y2), colour);
    }
    // Centred on (x, y), moved in where it would stand out of the bit.
    void Centred(const std::string& text, double x, double y) {
        const double height = m_canvas.TextHeight(text);
        m_canvas.SetCurrentY(m_top + y - height / 2);
        const double width = m_canvas.TextWidth(text);
        m_canvas.SetCurrentX(std::max(0.0, std::min(x - width / 2, m_quanta - width)));
        m_canvas.Print(text);
    }
    // Beside a mark, in the first of its forms (longest first) that fits in the bit: right
    // of x, else ending left of `leftEnd`. The last form that fits on neither side is moved
    // in from the bit's right end, so no text leaves the picture.
    void Beside(const std::vector<std::string>& forms, double x, double leftEnd, double y,
                bool centredY) {
        const double gap = Size(kTextGap, kTextGapPixels);
        for (const std::string& form : forms) {
            const double width = m_canvas.TextWidth(form);
            for (const double at : {x + gap, leftEnd - gap - width}) {
                if (at >= 0 && at + width <= m_quanta) {
                    Put(form, at, y, centredY);
                    return;
                }
            }
        }
        const double width = m_canvas.TextWidth(forms.back());
        Put(forms.back(), std::max(0.0, std::min(x + gap, m_quanta - width)), y, centredY);
    }
    void At(const std::string& text, double x, double y) {
        m_canvas.SetCurrentX(x);
        m_canvas.SetCurrentY(m_top + y);
        m_canvas.Print(text);
    }

    void Grid() {
        m_canvas.SetForeColor(diagram_colours::kGrid);
        int step = kNumberSteps.back();
        const double numberWidth = m_canvas.TextWidth(std::to_string(m_quanta));
        for (const int k : kNumberSteps) {
            if (k >= 1.5 * numberWidth) {
                step = k;
                break;
            }
        }
        const bool everyQuantum = m_pixelsPerTq <= 0 || m_pixelsPerTq >= kMinGridPixels;
        for (int i = 1; i <= m_quanta; ++i) {
            const bool numbered = i % step == 0;
            if (everyQuantum || numbered) {
                Line(i, kGridTopY, i, kRowHeight, diagram_colours::kGrid);
            }
            if (numbered) {
                Centred(i == step ? "Tq = " + std::to_string(i) : std::to_string(i), i, kTqNumberY);
            }
        }
    }

    // A segment from a to b as a dimension: shaft with an arrowhead at each end and an
    // extension line up from each end, its name above and its duration below.
    void Segment(double a, double b, const std::string& name, const std::string& duration) {
        const Rgb blue = diagram_colours::kSegment;
        const double head = Size(kArrowHead, kArrowHeadPixels);
        Line(a, kShaftY, b, kShaftY, blue);
        // A segment too short for two arrowheads is drawn without them.
        for (const double sign : {1.0, -1.0}) {
            if (b - a < 2 * head) {
                break;
            }
            const double end = sign > 0 ? a : b;
            Line(end, kShaftY, end + sign * head, kShaftY - kShaftHeadHalf, blue);
            Line(end, kShaftY, end + sign * head, kShaftY + kShaftHeadHalf, blue);
        }
        Line(a, kMarkerTipY, a, kShaftY, blue);
        Line(b, kMarkerTipY, b, kShaftY, blue);
        if (Fits(name, b - a)) {
            Centred(name, (a + b) / 2, kSegmentNameY);
        }
        if (!duration.empty() && Fits(duration, b - a)) {
            Centred(duration, (a + b) / 2, kDurationY);
        }
    }

    void Sjw(double s, int j, const std::string& text) {
        const Rgb green = diagram_colours::kSJW;
        m_canvas.SetForeColor(green);
        const double head = Size(kArrowHead, kArrowHeadPixels);
        Line(s - j, kSJWShaftY, s + j, kSJWShaftY, green);
        for (const double end : {s - j, s + j}) {
            const double inward = end < s ? head : -head;
            Line(end, kSJWShaftY, end + inward, kSJWShaftY - kSJWHeadHalf, green);
            Line(end, kSJWShaftY, end + inward, kSJWShaftY + kSJWHeadHalf, green);
        }
        Beside({text, "SJW"}, s + j, s - j, kSJWShaftY, true);
    }

    void SampleMarker(double s, const std::string& text, const std::string& shortText) {
        const Rgb black = diagram_colours::kSamplePoint;
        m_canvas.SetForeColor(black);
        const double half = Size(kMarkerHeadHalf, kMarkerHeadPixels);
        Line(s, kMarkerTopY, s, kMarkerTipY, black);
        Line(s, kMarkerTipY, s - half, kMarkerHeadY, black);
        Line(s, kMarkerTipY, s + half, kMarkerHeadY, black);
        Beside({text, shortText}, s, s, kMarkerTopY, false);
    }

    // An upward arrow under the segments, where TDC takes the secondary sample.
    void SecondarySample(double x, const std::string& text) {
        const Rgb purple = fd_diagram_colours::kSecondarySample;
        m_canvas.SetForeColor(purple);
        const double half = Size(kMarkerHeadHalf, kMarkerHeadPixels);
        Line(x, kSspTailY, x, kSspTipY, purple);
        Line(x, kSspTipY, x - half, kSspHeadY, purple);
        Line(x, kSspTipY, x + half, kSspHeadY, purple);
        Beside({text, "SSP"}, x, x, kSspTextY, false);
    }

private:
    void Put(const std::string& text, double x, double y, bool centredY) {
        m_canvas.SetCurrentX(x);
        m_canvas.SetCurrentY(m_top + y - (centredY ? m_canvas.TextHeight(text) / 2 : 0));
        m_canvas.Print(text);
    }

    BitCanvas& m_canvas;
    double m_top;
    int m_quanta;
    double m_pixelsPerTq = 0;
};

std::string TitleOf(const FdFacts& facts, FdPhase phase) {
    const FdPhaseFacts& f = facts.Phase(phase);
    std::string title = std::string(phase == FdPhase::Nominal ? "Nominal bit: " : "Data bit: ") +
                        f.sActual + ", BRP " + std::to_string(facts.setting.Phase(phase).lBRP) +
                        ", " + std::to_string(f.lTqCount) + " Tq of " + f.sTq;
    if (phase == FdPhase::Data) {
        const FdTdcSetting& tdc = facts.setting.tdc;
        title += tdc.mode == TdcMode::Off ? ", TDC off"
                                          : ", TDC " + std::string(TdcModeName(tdc.mode)) +
                                                " (TDCO " + std::to_string(tdc.lOffset) + ")";
    }
    return title;
}

void DrawBit(BitCanvas& canvas, const FdFacts& facts, FdPhase phase, double top) {
    const FdPhaseSetting& s = facts.setting.Phase(phase);
    const FdPhaseFacts& f = facts.Phase(phase);
    const auto duration = [&f](std::size_t index) { return f.durations[index].sText; };
    RowPainter row(canvas, top, f.lTqCount);
    canvas.SetForeColor(diagram_colours::kSamplePoint);
    row.At(TitleOf(facts, phase), 0, kTitleY);
    row.Grid();

    canvas.SetForeColor(diagram_colours::kSegment);
    row.Segment(0, 1, "sync", "");
    double at = 1;
    if (s.lPropagation > 0) {
        row.Segment(at, at + s.lPropagation, "prop", duration(kPropagationDuration));
        at += s.lPropagation;
    }
    row.Segment(at, at + s.lPhase1, "phase1", duration(kPhase1Duration));
    const double samplePoint = at + s.lPhase1;
    row.Segment(samplePoint, samplePoint + s.lPhase2, "phase2", duration(kPhase2Duration));

    row.Sjw(samplePoint, s.lSJW, "SJW " + duration(kSJWDuration));
    row.SampleMarker(samplePoint, "Sample Point (" + f.sSamplePoint + " % of bit time)",
                     f.sSamplePoint + " %");
    const FdTdcSetting& tdc = facts.setting.tdc;
    if (phase == FdPhase::Data && tdc.mode != TdcMode::Off && s.lBRP > 0) {
        // TDCV + TDCO SYSCLK periods after the edge as received; TDCV is the delay the
        // controller measures (in manual mode, the one written).
        const double x = static_cast<double>(tdc.lValue + tdc.lOffset) / s.lBRP;
        row.SecondarySample(std::clamp(x, 0.0, static_cast<double>(f.lTqCount)),
                            tdc.mode == TdcMode::Auto ? "SSP (TDCV + TDCO)" : "SSP");
    }
}

} // namespace

bool DrawFdBitTimingDiagram(BitCanvas& canvas, const FdSetting& setting,
                            std::string_view decimalSeparator) {
    for (const FdPhaseSetting* p : {&setting.nominal, &setting.data}) {
        if (p->TqCount() < 1 || p->TqCount() > kMaxDrawnTqCount || p->lPropagation < 0 ||
            p->lPhase1 < 0 || p->lPhase2 < 0 || p->lSJW < 0) {
            return false;
        }
    }
    const FdFacts facts = DescribeFdTiming(setting, decimalSeparator);
    canvas.Cls();
    DrawBit(canvas, facts, FdPhase::Nominal, 0);
    DrawBit(canvas, facts, FdPhase::Data, kFdDataRowTop);
    return true;
}

} // namespace quillon
