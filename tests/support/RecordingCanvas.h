#pragma once
// A BitCanvas that records every call: the operation names in order, the lines and the
// printed texts with where and in which colour they stand. Every text measures
// kTextWidth x kTextHeight, so positions are easy to work out by hand.
#include "diagram/BitCanvas.h"

#include <string>
#include <vector>

namespace quillon::test {

class RecordingCanvas : public BitCanvas {
public:
    static constexpr double kTextWidth = 0.5;
    static constexpr double kTextHeight = 4;

    struct LineCall {
        float x1, y1, x2, y2;
        Rgb colour;
    };
    struct TextCall {
        std::string text;
        double x, y;
        Rgb colour;
    };

    void Cls() override { ops.push_back("Cls"); }
    void SetScale(double left, double top, double width, double height) override {
        scale = Op("SetScale", std::vector<double>{left, top, width, height});
    }
    void SetForeColor(Rgb colour) override { foreColor = Op("SetForeColor", colour); }
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override {
        lines.push_back(Op("Line", LineCall{x1, y1, x2, y2, colour}));
    }
    double TextWidth(const std::string&) override { return Op("TextWidth", kTextWidth); }
    double TextHeight(const std::string&) override { return Op("TextHeight", kTextHeight); }
    void SetCurrentX(double x) override { currentX = Op("SetCurrentX", x); }
    void SetCurrentY(double y) override { currentY = Op("SetCurrentY", y); }
    void Print(const std::string& utf8) override {
        texts.push_back(Op("Print", TextCall{utf8, currentX, currentY, foreColor}));
    }
    double PixelsPerUnitX() override { return pixelsPerUnitX; }

    double pixelsPerUnitX = 0; // as if there were no pixels
    std::vector<std::string> ops;
    std::vector<LineCall> lines;
    std::vector<TextCall> texts;
    std::vector<double> scale;
    Rgb foreColor{1, 2, 3};
    double currentX = -1, currentY = -1;

private:
    template <typename T> T Op(const char* name, T value) {
        ops.push_back(name);
        return value;
    }
};

} // namespace quillon::test
