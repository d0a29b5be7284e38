#include "diagram/BitTimingDiagram.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quillon {

namespace {

// The diagram's user coordinates: x counts Tq from the start of the bit, y runs from 0 at
// the top to this value at the bottom.
constexpr double kScaleHeight = 100;

// Rows of the diagram, in hundredths of the picture height.
constexpr double kTqNumberY = 5;
constexpr double kGridTopY = 10;
constexpr double kSJWShaftY = 15;
constexpr double kSJWHeadTopY = 12;
constexpr double kSJWHeadBottomY = 18;
constexpr double kMarkerTopY = 25; // sample marker top, where its text hangs from
constexpr double kMarkerHeadY = 45;
constexpr double kMarkerTipY = 50; // also the top of the extension lines
constexpr double kSegmentNameY = 125.0 / 2;
constexpr double kDimensionHeadTopY = 72;
constexpr double kDimensionShaftY = 75;
constexpr double kDimensionHeadBottomY = 78;
constexpr double kDurationY = 87.5;

// Horizontal sizes, in Tq.
constexpr double kArrowHeadLength = 0.2; // dimension and SJW arrowheads

// A stretched picture would turn 0.2 Tq into long, flat smears; an arrowhead is never longer
// than on the widest design-size picture (8 Tq across 586 pixels), so the design-size
// drawing is untouched.
constexpr double kMaxArrowHeadPixels = 15;
constexpr double kMarkerHeadHalfWidth = 0.1;
constexpr double kTextGap = 0.25; // between an arrow and the text right of it

// The Tq grid is numbered with a 16-bit loop counter; a count beyond it cannot be drawn.
constexpr double kMaxDrawnTqCount = 32767;

// Where each labelled segment stands in BitTimingFacts::durations.
constexpr std::size_t kPropagationDuration = 1;
constexpr std::size_t kPhase1Duration = 2;
constexpr std::size_t kPhase2Duration = 3;
constexpr std::size_t kSJWDuration = 4;

void DrawLine(BitCanvas& canvas, double x1, double y1, double x2, double y2, Rgb colour) {
    canvas.Line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                static_cast<float>(y2), colour);
}

// Every text stands inside the picture: x from 0 to the Tq count N, y from 0 to the scale
// height. A text is moved in from the edge it would cross (from the right one first, so a
// text wider than the picture starts at its left edge).
double InsideX(double x, double dWidth, double N) {
    return std::max(0.0, std::min(x, N - dWidth));
}

double InsideY(double y, double dHeight) {
    return std::max(0.0, std::min(y, kScaleHeight - dHeight));
}

// Centres a text on (x, y), moved in where it would cross an edge: its height is measured
// and CurrentY set first, then its width and CurrentX, then it is printed.
void PrintCentred(BitCanvas& canvas, const std::string& text, double x, double y, double N) {
    const double dHeight = canvas.TextHeight(text);
    canvas.SetCurrentY(InsideY(y - dHeight / 2, dHeight));
    const double dWidth = canvas.TextWidth(text);
    canvas.SetCurrentX(InsideX(x - dWidth / 2, dWidth, N));
    canvas.Print(text);
}

void PrintAt(BitCanvas& canvas, const std::string& text, double x, double y) {
    canvas.SetCurrentX(x);
    canvas.SetCurrentY(y);
    canvas.Print(text);
}

// A label beside a mark, in the first of its forms (longest first) that fits: right of
// `right` where it ends inside the picture, else ending left of `left` where it starts
// inside it. The last form that fits on neither side is moved in from the right edge.
struct BesideLabel {
    std::string text;
    double x = 0;
};

BesideLabel PlaceBeside(BitCanvas& canvas, const std::vector<std::string>& forms, double right,
                        double left, double N) {
    const auto inside = [N](double x, double dWidth) { return x >= 0 && x + dWidth <= N; };
    double dWidth = 0;
    for (const std::string& form : forms) {
        dWidth = canvas.TextWidth(form);
        if (inside(right + kTextGap, dWidth)) {
            return {form, right + kTextGap};
        }
        if (inside(left - kTextGap - dWidth, dWidth)) {
            return {form, left - kTextGap - dWidth};
        }
    }
    return {forms.back(), InsideX(right + kTextGap, dWidth, N)};
}

// A segment from a to b as a dimension: shaft with an arrowhead at each end and an
// extension line up from each end. The sync segment's arrowheads end at 0.2 and 0.8 and
// the propagation segment's left ones at 1.2: exactly a + 0.2 and b - 0.2 as floats.
// The arrowhead length in Tq for this canvas.
double ArrowHead(BitCanvas& canvas) {
    const double dPixelsPerTq = canvas.PixelsPerUnitX();
    return dPixelsPerTq > 0 ? std::min(kArrowHeadLength, kMaxArrowHeadPixels / dPixelsPerTq)
                            : kArrowHeadLength;
}

void DrawDimension(BitCanvas& canvas, double a, double b) {
    const Rgb colour = diagram_colours::kSegment;
    const double head = ArrowHead(canvas);
    DrawLine(canvas, a, kDimensionShaftY, b, kDimensionShaftY, colour);
    DrawLine(canvas, a, kDimensionShaftY, a + head, kDimensionHeadTopY, colour);
    DrawLine(canvas, a, kDimensionShaftY, a + head, kDimensionHeadBottomY, colour);
    DrawLine(canvas, b, kDimensionShaftY, b - head, kDimensionHeadTopY, colour);
    DrawLine(canvas, b, kDimensionShaftY, b - head, kDimensionHeadBottomY, colour);
    DrawLine(canvas, a, kMarkerTipY, a, kDimensionShaftY, colour);
    DrawLine(canvas, b, kMarkerTipY, b, kDimensionShaftY, colour);
}

// A downward arrow onto the segment row at x = m; the arrowhead ends are passed in because
// the extra markers compute them from S directly (S - 1.1, not (S - 1) - 0.1).
void DrawSampleMarker(BitCanvas& canvas, double m, double leftHeadX, double rightHeadX) {
    const Rgb colour = diagram_colours::kSamplePoint;
    DrawLine(canvas, m, kMarkerTopY, m, kMarkerTipY, colour);
    DrawLine(canvas, m, kMarkerTipY, leftHeadX, kMarkerHeadY, colour);
    DrawLine(canvas, m, kMarkerTipY, rightHeadX, kMarkerHeadY, colour);
}

void DrawSegment(BitCanvas& canvas, double a, int lLength, const char* sName,
                 const std::string& sDuration, double N) {
    const double b = a + lLength;
    DrawDimension(canvas, a, b);
    const double dCentre = a + lLength / 2.0;
    PrintCentred(canvas, sName, dCentre, kSegmentNameY, N);
    PrintCentred(canvas, sDuration, dCentre, kDurationY, N);
}

} // namespace

bool DrawBitTimingDiagram(BitCanvas& canvas, const BitTimingSetting& setting, bool bSelected,
                          std::string_view decimalSeparator) {
    const double N = setting.segments.lTqCount;
    if (!bSelected || !(N > 0) || N > kMaxDrawnTqCount) {
        return false;
    }

    // The oscillator box stays editable while the diagram is shown, so a redraw can meet a
    // frequency of 0 or less (or no number at all). Such a frequency gives no usable Tq
    // length: the diagram is still drawn in full, but every duration reads "n/a".
    const BitTimingFacts facts = DescribeBitTiming(setting, decimalSeparator);
    const auto durationText = [&facts](std::size_t index) -> const std::string& {
        return facts.durations[index].sText;
    };
    const int P = setting.segments.lPropagation;
    const int Q = setting.segments.lPhase1;
    const int R = facts.lPhase2Effective;

    canvas.Cls();
    canvas.SetScale(0, 0, N, kScaleHeight);

    // Tq grid, numbered "Tq = 1", "2", ... "N".
    canvas.SetForeColor(diagram_colours::kGrid);
    const int lLastTq = static_cast<int>(std::nearbyint(N));
    for (int i = 1; i <= lLastTq; ++i) {
        DrawLine(canvas, i, kGridTopY, i, kScaleHeight, diagram_colours::kGrid);
        PrintCentred(canvas, i == 1 ? std::string("Tq = 1") : std::to_string(i), i, kTqNumberY, N);
    }

    // Sync segment: one Tq, no duration.
    canvas.SetForeColor(diagram_colours::kSegment);
    DrawDimension(canvas, 0, 1);
    PrintCentred(canvas, "sync", 0.5, kSegmentNameY, N);

    DrawSegment(canvas, 1, P, "prop", durationText(kPropagationDuration), N);
    double S = P + 1;
    DrawSegment(canvas, S, Q, "phase1", durationText(kPhase1Duration), N);
    S += Q; // the sample point

    // SJW: arrows both ways from the sample point, text right of the right tip or left of
    // the left one.
    const int J = setting.segments.lSJW;
    const Rgb green = diagram_colours::kSJW;
    canvas.SetForeColor(green);
    DrawLine(canvas, S, kSJWShaftY, S - J, kSJWShaftY, green);
    DrawLine(canvas, S, kSJWShaftY, S + J, kSJWShaftY, green);
    const double head = ArrowHead(canvas);
    DrawLine(canvas, S + J, kSJWShaftY, S + J - head, kSJWHeadTopY, green);
    DrawLine(canvas, S + J, kSJWShaftY, S + J - head, kSJWHeadBottomY, green);
    DrawLine(canvas, S - J, kSJWShaftY, S - J + head, kSJWHeadTopY, green);
    DrawLine(canvas, S - J, kSJWShaftY, S - J + head, kSJWHeadBottomY, green);
    const BesideLabel sjw =
        PlaceBeside(canvas, {"SJW " + durationText(kSJWDuration), "SJW"}, S + J, S - J, N);
    canvas.SetCurrentX(sjw.x);
    const double dSJWHeight = canvas.TextHeight(sjw.text);
    canvas.SetCurrentY(InsideY(kSJWShaftY - dSJWHeight / 2, dSJWHeight));
    canvas.Print(sjw.text);

    // Sample marker(s); with multiple sampling two more, half a Tq apart, before S.
    canvas.SetForeColor(diagram_colours::kSamplePoint);
    const bool bSam = setting.segments.bSam;
    if (bSam) {
        DrawSampleMarker(canvas, S - 1, S - 1.1, S - 0.9);
        PrintAt(canvas, "1", InsideX(S - 1 + kTextGap, canvas.TextWidth("1"), N), kMarkerTopY);
        DrawSampleMarker(canvas, S - 0.5, S - 0.6, S - 0.4);
        PrintAt(canvas, "2", InsideX(S - 0.5 + kTextGap, canvas.TextWidth("2"), N), kMarkerTopY);
    }
    DrawSampleMarker(canvas, S, S - kMarkerHeadHalfWidth, S + kMarkerHeadHalfWidth);
    // Its text right of the marker, or left of the first marker where that is the only room.
    const std::string& sPercent = facts.sSamplePoint;
    const std::string sSample = bSam ? "3 Sample Points  (" + sPercent + " % of bit time)"
                                     : "Sample Point (" + sPercent + " % of bit time)";
    const BesideLabel sample =
        PlaceBeside(canvas, {sSample, sPercent + " %"}, S, bSam ? S - 1 : S, N);
    PrintAt(canvas, sample.text, sample.x, kMarkerTopY);

    canvas.SetForeColor(diagram_colours::kSegment);
    DrawSegment(canvas, S, R, "phase2", durationText(kPhase2Duration), N);
    return true;
}

} // namespace quillon
