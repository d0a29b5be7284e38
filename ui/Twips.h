#pragma once
// Conversions between twips (1/1440 inch), in which the controls are laid out, and the
// pixels of a widget's screen. Whole twips and whole pixels are reached by rounding halves
// to the even number, the way the layout rounds its computed sizes.
#include <QWidget>

#include <cmath>

inline constexpr double kTwipsPerInch = 1440.0;

// Nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4): the default
// floating-point rounding mode does exactly that.
inline double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

// Twips to whole pixels at the widget's horizontal resolution.
inline int TwipsToPixels(double twips, const QWidget* widget) {
    return static_cast<int>(RoundHalfEven(twips * widget->logicalDpiX() / kTwipsPerInch));
}

// Pixels to whole twips at the widget's horizontal resolution.
inline double PixelsToTwips(int pixels, const QWidget* widget) {
    return RoundHalfEven(pixels * kTwipsPerInch / widget->logicalDpiX());
}
