#pragma once
// The picture box pctDisplay: a widget that shows the diagram's persistent image. Drawing
// goes into the image through canvas(); the widget only copies the image to the screen,
// so what is shown is exactly what the report saves. On a screen with more than one device
// pixel per logical pixel the same drawing also goes into an image at that resolution,
// which is what the screen shows, so the figure is crisp while the saved bitmap keeps its
// design pixels. When the platform asks for a repaint the widget emits Paint() first, so
// the window can redraw the image before it is shown.
#include "canvas/ImageCanvas.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <memory>

class BitTimingPicture : public QWidget {
    Q_OBJECT

public:
    explicit BitTimingPicture(QWidget* parent = nullptr);
    ~BitTimingPicture() override;

    // The canvas on the persistent image. Every drawing operation schedules a repaint,
    // except while Paint() is being served (the repaint is already under way). A repaint
    // that a Paint() receiver asks for after redrawing is served from the image without
    // emitting Paint() again, so repaints cannot follow each other for ever.
    quillon::BitCanvas& canvas();
    const QImage& image() const { return m_image.image(); }
    // Writes the persistent image as a BMP file; false, with the reason, when it fails.
    bool saveBitmap(const QString& path, QString* reason) const;

    QSize sizeHint() const override { return kDiagramDesignSize; }

signals:
    void Paint();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class ScreenCanvas;

    void ImageChanged();
    void FollowWidgetSize();

    ImageCanvas m_image;
    // The screen's copy at its device pixel ratio; null at a ratio of 1.
    std::unique_ptr<ImageCanvas> m_screenImage;
    std::unique_ptr<ScreenCanvas> m_canvas;
    bool m_bServingPaint = false;      // Paint() is being emitted from paintEvent
    bool m_bDrawnWhileServing = false; // the receivers of that Paint() drew
    bool m_bRedrawnForPaint = false;   // the image is current from the last Paint()
};
