#include "ui/FixedColours.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

double Linear(double channel) {
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
           0.0722 * Linear(colour.blueF());
}

} // namespace

void SetFixedColours(QWidget* widget, const QColor& background, const QColor& text) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
}

QColor MutedTextColour(const QPalette& palette) {
    // Two thirds of the way from the background to the normal text.
    const QColor back = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    const auto mix = [](double b, double t) { return b + (t - b) * 2.0 / 3.0; };
    return QColor::fromRgbF(static_cast<float>(mix(back.redF(), text.redF())),
                            static_cast<float>(mix(back.greenF(), text.greenF())),
                            static_cast<float>(mix(back.blueF(), text.blueF())));
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
