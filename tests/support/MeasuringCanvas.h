#pragma once
// A recording canvas with the measures of a picture: so many pixels wide and high, every
// character of a text the same number of pixels wide and every line the same height. It
// keeps each printed text's box in the drawing's units as they were when it was printed, so
// a test can check where the diagram's labels stand against the picture's edges without a
// font or a display.
#include "support/RecordingCanvas.h"

#include <string>
#include <vector>

namespace quillon::test {

class MeasuringCanvas : public RecordingCanvas {
public:
    MeasuringCanvas(double pixelsWide, double pixelsHigh, double charPixels, double linePixels)
        : m_pixelsWide(pixelsWide), m_pixelsHigh(pixelsHigh), m_charPixels(charPixels),
          m_linePixels(linePixels) {}

    void SetScale(double left, double top, double width, double height) override {
        RecordingCanvas::SetScale(left, top, width, height);
        m_unitsWide = width;
        m_unitsHigh = height;
    }
    double TextWidth(const std::string& utf8) override {
        RecordingCanvas::TextWidth(utf8);
        return Characters(utf8) * m_charPixels / PixelsPerUnitX();
    }
    double TextHeight(const std::string& utf8) override {
        RecordingCanvas::TextHeight(utf8);
        return m_linePixels * m_unitsHigh / m_pixelsHigh;
    }
    double PixelsPerUnitX() override { return m_pixelsWide / m_unitsWide; }

    void Print(const std::string& utf8) override {
        RecordingCanvas::Print(utf8);
        const double width = Characters(utf8) * m_charPixels / PixelsPerUnitX();
        const double height = m_linePixels * m_unitsHigh / m_pixelsHigh;
        boxes.push_back({utf8, currentX, currentY, currentX + width, currentY + height, m_unitsWide,
                         m_unitsHigh});
    }

    // A printed text, the box it covers and the scale's width and height it was printed
    // with, in the units of that scale.
    struct Box {
        std::string text;
        double left, top, right, bottom;
        double unitsWide, unitsHigh;
    };
    std::vector<Box> boxes;

private:
    // Characters, not bytes: "µs" is two.
    static double Characters(const std::string& utf8) {
        double count = 0;
        for (const char c : utf8) {
            count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
        }
        return count;
    }

    double m_pixelsWide, m_pixelsHigh, m_charPixels, m_linePixels;
    double m_unitsWide = 1, m_unitsHigh = 1;
};

} // namespace quillon::test
