#include "canvas/ImageCanvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QString>

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kDiagramFontFamily = "Liberation Sans";
constexpr int kDiagramFontPixelSize = 11;
constexpr QRgb kBackgroundRgb =
    qRgb(quillon::diagram_colours::kBackground.r, quillon::diagram_colours::kBackground.g,
         quillon::diagram_colours::kBackground.b);

// Pixel positions far outside the image are clamped before rounding, so a wild user
// coordinate cannot overflow the integer conversion; such a line is clipped anyway.
constexpr double kPixelLimit = 1.0e6;

QColor ToQColor(quillon::Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

// One user unit in pixels along an axis, or 0 when the scale or the image is empty.
double PixelsPerUnit(int lPixels, double dUnits) {
    return dUnits != 0 && std::isfinite(dUnits) ? lPixels / dUnits : 0;
}

int RoundPixel(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    return static_cast<int>(std::lround(std::clamp(value, -kPixelLimit, kPixelLimit)));
}

} // namespace

ImageCanvas::ImageCanvas(QSize size, qreal devicePixelRatio)
    : m_dpr(devicePixelRatio > 0 ? devicePixelRatio : 1.0), m_font(DiagramFont()) {
    if (HighResolution()) {
        // Smooth text at a resolution where it is not blurred by scaling.
        m_font.setStyleStrategy(QFont::PreferAntialias);
    }
    resize(size);
}

QFont ImageCanvas::DiagramFont() {
    QFont font(QString::fromLatin1(kDiagramFontFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kDiagramFontPixelSize);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void ImageCanvas::resize(QSize size) {
    // Like a persistent picture: the new area is white and the old drawing stays where it
    // was, clipped when the picture shrinks, until the next drawing clears it.
    m_size = size.expandedTo(QSize(0, 0));
    QImage resized(HighResolution() ? (QSizeF(m_size) * m_dpr).toSize() : m_size,
                   QImage::Format_RGB32);
    resized.setDevicePixelRatio(m_dpr);
    resized.fill(kBackgroundRgb);
    if (!m_image.isNull() && !resized.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, m_image);
    }
    m_image = std::move(resized);
}

void ImageCanvas::Cls() {
    m_image.fill(kBackgroundRgb);
    m_dCurrentX = 0;
    m_dCurrentY = 0;
}

void ImageCanvas::SetScale(double left, double top, double width, double height) {
    m_dScaleLeft = left;
    m_dScaleTop = top;
    m_dScaleWidth = width;
    m_dScaleHeight = height;
}

void ImageCanvas::SetForeColor(quillon::Rgb colour) {
    m_foreColor = ToQColor(colour);
}

QPointF ImageCanvas::ToPixels(double x, double y) const {
    const double dPxPerUnitX = PixelsPerUnit(m_size.width(), m_dScaleWidth);
    const double dPxPerUnitY = PixelsPerUnit(m_size.height(), m_dScaleHeight);
    const double px = (x - m_dScaleLeft) * dPxPerUnitX;
    const double py = (y - m_dScaleTop) * dPxPerUnitY;
    if (HighResolution()) {
        // Logical coordinates; the painter places them on the finer pixels.
        return QPointF(std::clamp(std::isfinite(px) ? px : 0.0, -kPixelLimit, kPixelLimit),
                       std::clamp(std::isfinite(py) ? py : 0.0, -kPixelLimit, kPixelLimit));
    }
    return QPointF(RoundPixel(px), RoundPixel(py));
}

double ImageCanvas::PixelsPerUnitX() {
    return PixelsPerUnit(m_size.width(), m_dScaleWidth);
}

void ImageCanvas::Line(float x1, float y1, float x2, float y2, quillon::Rgb colour) {
    if (m_image.isNull()) {
        return;
    }
    QPainter painter(&m_image);
    QPen pen(ToQColor(colour), 1, Qt::SolidLine, Qt::FlatCap);
    if (HighResolution()) {
        // One logical pixel wide, smooth: as thin as on a plain screen, without its steps.
        painter.setRenderHint(QPainter::Antialiasing);
    } else {
        pen.setCosmetic(true);
    }
    painter.setPen(pen);
    if (HighResolution()) {
        painter.drawLine(ToPixels(x1, y1), ToPixels(x2, y2));
    } else {
        painter.drawLine(ToPixels(x1, y1).toPoint(), ToPixels(x2, y2).toPoint());
    }
}

double ImageCanvas::TextWidth(const std::string& utf8) {
    const QFontMetricsF metrics(m_font, &m_image);
    const double dPxPerUnit = PixelsPerUnit(m_size.width(), m_dScaleWidth);
    return dPxPerUnit != 0 ? metrics.horizontalAdvance(QString::fromStdString(utf8)) / dPxPerUnit
                           : 0;
}

double ImageCanvas::TextHeight(const std::string& /*utf8*/) {
    // One line of the font, whatever the text.
    const QFontMetricsF metrics(m_font, &m_image);
    const double dPxPerUnit = PixelsPerUnit(m_size.height(), m_dScaleHeight);
    return dPxPerUnit != 0 ? metrics.height() / dPxPerUnit : 0;
}

void ImageCanvas::Print(const std::string& utf8) {
    const double dLineHeight = TextHeight(utf8);
    if (!m_image.isNull()) {
        QPainter painter(&m_image);
        painter.setFont(m_font);
        painter.setPen(m_foreColor);
        painter.setBackgroundMode(Qt::TransparentMode);
        const QPointF at = ToPixels(m_dCurrentX, m_dCurrentY);
        const QRectF anchor(HighResolution() ? at : QPointF(at.toPoint()), QSizeF(0, 0));
        painter.drawText(anchor, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         QString::fromStdString(utf8));
    }
    m_dCurrentX = m_dScaleLeft;
    m_dCurrentY += dLineHeight;
}

QImage RenderBitTimingImage(const quillon::BitTimingSetting& setting,
                            std::string_view decimalSeparator, QSize size) {
    ImageCanvas canvas(size);
    quillon::DrawBitTimingDiagram(canvas, setting, true, decimalSeparator);
    return canvas.image();
}

QImage RenderFdBitTimingImage(const quillon::FdSetting& setting, std::string_view decimalSeparator,
                              QSize size) {
    ImageCanvas canvas(size);
    quillon::DrawFdBitTimingDiagram(canvas, setting, decimalSeparator);
    return canvas.image();
}
