#pragma once
// Where the design fixes a background colour (the white top band, the grey step band, the
// white Notes box, the silver grid cells), the text on it gets a fixed colour as well, so a
// dark desktop theme cannot put its light text on a light background. Everything else
// follows the palette.
#include <QColor>
#include <QPalette>

class QWidget;

// Fills `widget` with `background` and writes its text in `text`; children inherit both.
void SetFixedColours(QWidget* widget, const QColor& background, const QColor& text);

// A quieter text colour that still reads on the palette's window background, for secondary
// lines (the product copy, the revision).
QColor MutedTextColour(const QPalette& palette);

// The WCAG contrast ratio of two colours, 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);
