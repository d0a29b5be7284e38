#pragma once
// The drawing surface of the bit timing diagram. The operations are those of a picture box
// with a user coordinate system (Cls, scale, ForeColor, Line, TextWidth/TextHeight,
// CurrentX/CurrentY, Print), so the diagram code stays free of any toolkit and can be
// drawn on a Qt image, recorded by a test or rendered without a window.
#include <cstdint>
#include <string>

namespace quillon {

struct Rgb {
    std::uint8_t r, g, b;
};

constexpr bool operator==(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}
constexpr bool operator!=(Rgb a, Rgb b) {
    return !(a == b);
}

// The colours of the diagram.
namespace diagram_colours {
inline constexpr Rgb kBackground{255, 255, 255}; // white
inline constexpr Rgb kGrid{192, 192, 192};       // light grey: Tq grid lines and numbers
inline constexpr Rgb kSegment{0, 0, 255};        // blue: segment arrows, names, durations
inline constexpr Rgb kSJW{0, 128, 0};            // green: SJW arrows and text
inline constexpr Rgb kSamplePoint{0, 0, 0};      // black: sample markers and their texts
} // namespace diagram_colours

class BitCanvas {
public:
    virtual ~BitCanvas() = default;

    // Fills the whole image with the background colour; the text position becomes (0, 0).
    virtual void Cls() = 0;
    // (left, top) is the top-left corner of the drawing area and (left + width, top + height)
    // its bottom-right corner; every later coordinate and text extent is in these units.
    virtual void SetScale(double left, double top, double width, double height) = 0;
    // The colour of the text printed from now on.
    virtual void SetForeColor(Rgb colour) = 0;
    // A thin solid line between two points in user coordinates.
    virtual void Line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    // Extent of a text in the canvas font, in user units.
    virtual double TextWidth(const std::string& utf8) = 0;
    virtual double TextHeight(const std::string& utf8) = 0;
    virtual void SetCurrentX(double x) = 0;
    virtual void SetCurrentY(double y) = 0;
    // Draws the text with its top-left corner at the text position, in the current colour.
    virtual void Print(const std::string& utf8) = 0;
    // Pixels of the picture in one user unit across, or 0 where there are no pixels (a
    // recording); lets the drawing keep small marks at a readable size on a wide picture.
    virtual double PixelsPerUnitX() { return 0.0; }

protected:
    BitCanvas() = default;
    BitCanvas(const BitCanvas&) = default;
    BitCanvas& operator=(const BitCanvas&) = default;
};

} // namespace quillon
