#include "web/SvgCanvas.h"

#include "report/common/HtmlText.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace quillon::web {

namespace {

constexpr double kFontPixels = 11;
// Room left and right of the bit, in pixels.
constexpr double kMarginLeft = 6;
constexpr double kMarginRight = 190;
// One line of the font (ascent plus descent) and its ascent, in pixels.
constexpr double kLinePixels = 13;
constexpr double kAscentPixels = 10;
// Advance widths of printable ASCII (from ' ' to '~') in thousandths of the font size;
// anything else counts as a digit.
constexpr std::array<short, 95> kAdvance = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, // ' '../
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, // 0..?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778, // @..O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556, // P.._
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556, // `..o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};     // p..~
constexpr short kOtherAdvance = 556;

// The class of each diagram colour, so the page's style sheet can set it for dark mode;
// a colour without one keeps only its own value.
const char* ClassOf(Rgb colour) {
    if (colour == diagram_colours::kGrid) {
        return "grid";
    }
    if (colour == diagram_colours::kSegment) {
        return "segment";
    }
    if (colour == diagram_colours::kSJW) {
        return "sjw";
    }
    if (colour == diagram_colours::kSamplePoint) {
        return "sample";
    }
    if (colour == Rgb{160, 0, 160}) {
        return "secondary";
    }
    return "other";
}

std::string Number(double value) {
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.2f", std::isfinite(value) ? value : 0.0);
    return buffer.data();
}

std::string ColourText(Rgb colour) {
    std::array<char, 8> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "#%02x%02x%02x", colour.r, colour.g, colour.b);
    return buffer.data();
}

} // namespace

SvgCanvas::SvgCanvas(double width, double height) : m_width(width), m_height(height) {}

void SvgCanvas::Cls() {
    m_body.clear();
    m_currentX = m_left;
    m_currentY = m_top;
}

void SvgCanvas::SetScale(double left, double top, double width, double height) {
    m_left = left;
    m_top = top;
    m_scaleWidth = width;
    m_scaleHeight = height;
}

double SvgCanvas::X(double x) const {
    return m_scaleWidth != 0 ? (x - m_left) * m_width / m_scaleWidth : 0;
}

double SvgCanvas::Y(double y) const {
    return m_scaleHeight != 0 ? (y - m_top) * m_height / m_scaleHeight : 0;
}

double SvgCanvas::PixelsPerUnitX() {
    return m_scaleWidth != 0 && std::isfinite(m_scaleWidth) ? m_width / m_scaleWidth : 0;
}

void SvgCanvas::Line(float x1, float y1, float x2, float y2, Rgb colour) {
    m_body += "<line class=\"" + std::string(ClassOf(colour)) + "\" x1=\"" + Number(X(x1)) +
              "\" y1=\"" + Number(Y(y1)) + "\" x2=\"" + Number(X(x2)) + "\" y2=\"" + Number(Y(y2)) +
              "\" stroke=\"" + ColourText(colour) + "\"/>\n";
}

double SvgCanvas::TextWidth(const std::string& utf8) {
    double thousandths = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte <= 0x7E) {
            thousandths += kAdvance[byte - 0x20];
        } else if ((byte & 0xC0) != 0x80 && byte >= 0x80) {
            thousandths += kOtherAdvance; // the first byte of a character beyond ASCII
        }
    }
    const double pixels = thousandths * kFontPixels / 1000;
    const double perUnit = PixelsPerUnitX();
    return perUnit != 0 ? pixels / perUnit : 0;
}

double SvgCanvas::TextHeight(const std::string& /*utf8*/) {
    return m_height != 0 ? kLinePixels * m_scaleHeight / m_height : 0;
}

void SvgCanvas::Print(const std::string& utf8) {
    m_body += "<text class=\"" + std::string(ClassOf(m_foreColor)) + "\" x=\"" +
              Number(X(m_currentX)) + "\" y=\"" + Number(Y(m_currentY) + kAscentPixels) +
              "\" fill=\"" + ColourText(m_foreColor) + "\">" + HtmlQuoted(utf8) + "</text>\n";
    m_currentX = m_left;
    m_currentY += TextHeight(utf8);
}

std::string SvgCanvas::Svg(const std::string& title) const {
    // The picture with a margin on both sides: the texts right of the last marks (the
    // sample point's, the SJW's) run past the bit, as on the window's picture, where
    // they are cut.
    const std::string left = Number(-kMarginLeft);
    const std::string width = Number(m_width + kMarginLeft + kMarginRight);
    const std::string height = Number(m_height);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"diagram\" role=\"img\" viewBox=\"" +
           left + " 0 " + width + " " + height +
           "\" font-family=\"'Liberation Sans', Arial, Helvetica, sans-serif\" font-size=\"" +
           Number(kFontPixels) + "\" stroke-width=\"1\">\n<title>" + HtmlQuoted(title) +
           "</title>\n<rect class=\"background\" x=\"" + left + "\" width=\"" + width +
           "\" height=\"" + height + "\" fill=\"#ffffff\"/>\n" + m_body + "</svg>\n";
}

} // namespace quillon::web
