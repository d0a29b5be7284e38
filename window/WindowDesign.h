#pragma once
// The window's design values kept in one place: its size and the bands' heights in twips,
// its fonts and its fixed colours.
#include <QColor>
#include <QFont>
#include <QString>

inline constexpr double kDesignWidthTwips = 8820;
inline constexpr double kDesignHeightTwips = 6390;

// Arial at the given point size, as the design names it (Liberation Sans stands in for it).
inline QFont ArialFont(double points, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

inline QColor BandGrey() {
    return QColor(64, 64, 64);
}
inline QColor LinkBlue() {
    return QColor(0, 0, 255);
}
