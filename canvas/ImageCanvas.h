#pragma once
// BitCanvas on a persistent QImage: every drawing operation lands in the image, which the
// window shows and the report saves as "bittime.bmp". The font is fixed rather than taken
// from the platform, so the window, the saved bitmap and the headless command-line
// renderer produce the same pixels for the same size.
#include "diagram/BitCanvas.h"
#include "diagram/BitTimingDiagram.h"
#include "diagram/FdBitTimingDiagram.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSize>

// The diagram picture at its design size: 8115 x 1590 twips at 15 twips per pixel.
inline constexpr QSize kDiagramDesignSize{541, 106};
// The picture as the window shows it at the window's design size: the step-3 panel is
// 8820 twips wide and the picture fills it but for a 25-twip gap. Drawings made without a
// window use this size, so they match what the window saves.
inline constexpr QSize kWindowPictureSize{586, 106};

class ImageCanvas final : public quillon::BitCanvas {
public:
    // A white image of the given size in logical pixels; until SetScale the image spans 0
    // to 1 both ways. With a device pixel ratio above 1 the image has that many more pixels
    // for a high-resolution screen, and lines and texts are drawn at that resolution.
    explicit ImageCanvas(QSize size = kDiagramDesignSize, qreal devicePixelRatio = 1.0);

    void Cls() override;
    void SetScale(double left, double top, double width, double height) override;
    void SetForeColor(quillon::Rgb colour) override;
    void Line(float x1, float y1, float x2, float y2, quillon::Rgb colour) override;
    double TextWidth(const std::string& utf8) override;
    double TextHeight(const std::string& utf8) override;
    void SetCurrentX(double x) override { m_dCurrentX = x; }
    void SetCurrentY(double y) override { m_dCurrentY = y; }
    // Prints with a transparent background, then moves the text position to the start of
    // the next line, as a picture box does.
    void Print(const std::string& utf8) override;
    double PixelsPerUnitX() override;

    const QImage& image() const { return m_image; }
    // The image's size in logical pixels.
    QSize size() const { return m_size; }
    qreal devicePixelRatio() const { return m_dpr; }
    // Replaces the image by a fresh white one of the new size; the scale stays.
    void resize(QSize size);

    // The diagram font: Liberation Sans (metric-compatible with Arial), 11 pixels, hinted
    // and without antialiasing, so its pixels do not depend on the platform's settings.
    static QFont DiagramFont();

private:
    QPointF ToPixels(double x, double y) const;
    bool HighResolution() const { return m_dpr != 1.0; }

    QSize m_size;
    qreal m_dpr = 1.0;
    QImage m_image;
    QFont m_font;
    QColor m_foreColor{Qt::black};
    double m_dScaleLeft = 0;
    double m_dScaleTop = 0;
    double m_dScaleWidth = 1;
    double m_dScaleHeight = 1;
    double m_dCurrentX = 0;
    double m_dCurrentY = 0;
};

// Draws the diagram of a selected setting on a fresh image of the given size, as the
// window's picture shows it; for the command-line tool and tests. Needs a QGuiApplication
// (any platform, including offscreen). A setting that draws nothing gives a white image.
QImage RenderBitTimingImage(const quillon::BitTimingSetting& setting,
                            std::string_view decimalSeparator, QSize size = kDiagramDesignSize);

// The CAN FD diagram's picture: as wide as the classic one, two bits high (1.1 pixels to a
// unit of the drawing's height, as the classic picture has).
inline constexpr QSize kFdPictureSize{586, 248};

// Draws the CAN FD diagram of a setting on a fresh image, as RenderBitTimingImage does for
// the classic one. A setting that draws nothing gives a white image.
QImage RenderFdBitTimingImage(const quillon::FdSetting& setting, std::string_view decimalSeparator,
                              QSize size = kFdPictureSize);
