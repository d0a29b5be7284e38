#pragma once
// BitCanvas that writes SVG: the web page shows the same bit timing diagram as the window
// and the report, drawn by the same code, as a vector picture the browser scales. Text
// extents come from a fixed table of the diagram font's advance widths (Liberation Sans is
// metric-compatible with Arial), so the layout does not depend on the browser.
#include "diagram/BitCanvas.h"

#include <string>

namespace quillon::web {

class SvgCanvas final : public BitCanvas {
public:
    // A picture of `width` x `height` pixels; until SetScale the picture spans 0 to 1.
    SvgCanvas(double width, double height);

    void Cls() override;
    void SetScale(double left, double top, double width, double height) override;
    void SetForeColor(Rgb colour) override { m_foreColor = colour; }
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
    double TextWidth(const std::string& utf8) override;
    double TextHeight(const std::string& utf8) override;
    void SetCurrentX(double x) override { m_currentX = x; }
    void SetCurrentY(double y) override { m_currentY = y; }
    // Writes the text with its top-left corner at the text position, then moves the text
    // position to the start of the next line, as the window's canvas does.
    void Print(const std::string& utf8) override;
    double PixelsPerUnitX() override;

    // The whole picture: an <svg> element with a title for screen readers.
    std::string Svg(const std::string& title) const;

private:
    double X(double x) const;
    double Y(double y) const;

    double m_width;
    double m_height;
    double m_left = 0;
    double m_top = 0;
    double m_scaleWidth = 1;
    double m_scaleHeight = 1;
    double m_currentX = 0;
    double m_currentY = 0;
    Rgb m_foreColor{0, 0, 0};
    std::string m_body;
};

// The classic and CAN FD pictures: as high as the window draws them (106 and 248 pixels),
// wider than its 586 pixels, so the last Tq number and the sample point text stay inside.
inline constexpr double kPictureWidth = 760;
inline constexpr double kClassicPictureHeight = 106;
inline constexpr double kFdPictureHeight = 248;

} // namespace quillon::web
