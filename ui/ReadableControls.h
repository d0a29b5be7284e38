#pragma once
// Fusion, the style Qt gives the window where the desktop sets none, draws the frame of a
// check box or radio button a shade darker than the window (under 2:1 on the light palette,
// about 1.1:1 on a dark one) and its focus frames in a faint tint of the highlight, too weak
// to find at a glance. This style draws those frames in colours that stand out by at least
// 3:1 from what lies around them, worked out from the palette each time, so a dark desktop
// palette gets them too. Everything else is Fusion's own drawing.
#include <QColor>
#include <QProxyStyle>

class QPalette;

// The frame of a check box or radio button: Fusion's shade of the window colour, moved
// toward black or white (whichever stands out from the window) until it stands out from both
// the window and the base the mark sits on.
QColor ControlFrameColour(const QPalette& palette);
// A focus frame on `background`: the highlight colour, moved the same way until it stands
// out from the background.
QColor FocusFrameColour(const QPalette& palette, const QColor& background);

class ReadableControlsStyle : public QProxyStyle {
public:
    ReadableControlsStyle(); // over Fusion

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// Puts the style in place where the application runs Fusion, the one style whose drawing it
// knows; another style (a desktop's own) is left as it is. After the QApplication is made.
void UseReadableControls();
