#include "window/BitTimingPicture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QScopedValueRollback>

#include <cerrno>
#include <cstring>
#include <fstream>

// Forwards to the persistent image and tells the picture when the image has changed, so
// drawing done outside a repaint (a scroll bar change, say) reaches the screen.
class BitTimingPicture::ScreenCanvas final : public quillon::BitCanvas {
public:
    explicit ScreenCanvas(BitTimingPicture& picture) : m_picture(picture) {}

    void Cls() override {
        Both([](ImageCanvas& c) { c.Cls(); });
        m_picture.ImageChanged();
    }
    void SetScale(double left, double top, double width, double height) override {
        Both([&](ImageCanvas& c) { c.SetScale(left, top, width, height); });
    }
    void SetForeColor(quillon::Rgb colour) override {
        Both([&](ImageCanvas& c) { c.SetForeColor(colour); });
    }
    void Line(float x1, float y1, float x2, float y2, quillon::Rgb colour) override {
        Both([&](ImageCanvas& c) { c.Line(x1, y1, x2, y2, colour); });
        m_picture.ImageChanged();
    }
    // Measured on the persistent image, so both images place every text alike.
    double TextWidth(const std::string& utf8) override { return Image().TextWidth(utf8); }
    double TextHeight(const std::string& utf8) override { return Image().TextHeight(utf8); }
    double PixelsPerUnitX() override { return Image().PixelsPerUnitX(); }
    void SetCurrentX(double x) override {
        Both([&](ImageCanvas& c) { c.SetCurrentX(x); });
    }
    void SetCurrentY(double y) override {
        Both([&](ImageCanvas& c) { c.SetCurrentY(y); });
    }
    void Print(const std::string& utf8) override {
        Both([&](ImageCanvas& c) { c.Print(utf8); });
        m_picture.ImageChanged();
    }

private:
    ImageCanvas& Image() { return m_picture.m_image; }
    template <typename Operation> void Both(const Operation& operation) {
        operation(m_picture.m_image);
        if (m_picture.m_screenImage) {
            operation(*m_picture.m_screenImage);
        }
    }

    BitTimingPicture& m_picture;
};

BitTimingPicture::BitTimingPicture(QWidget* parent)
    : QWidget(parent), m_canvas(std::make_unique<ScreenCanvas>(*this)) {
    // The image covers the whole widget, so nothing needs to be erased beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kDiagramDesignSize);
}

BitTimingPicture::~BitTimingPicture() = default;

quillon::BitCanvas& BitTimingPicture::canvas() {
    // A hidden widget gets its resize event only when shown; drawing before that must
    // already go to an image of the widget's size.
    FollowWidgetSize();
    return *m_canvas;
}

bool BitTimingPicture::saveBitmap(const QString& path, QString* reason) const {
    // Encode in memory, then write the bytes as a plain file, whose errors name the cause
    // ("No space left on device") where the image writer only knows "Unknown error".
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "BMP");
    QString failure;
    if (!writer.write(m_image.image())) {
        failure = writer.errorString();
    } else {
        errno = 0;
        std::ofstream file(path.toStdString(), std::ios::out | std::ios::binary | std::ios::trunc);
        if (file.is_open()) {
            file.write(bytes.constData(), bytes.size());
            file.flush();
        }
        if (!file.is_open() || file.fail()) {
            failure = QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO));
        }
    }
    if (failure.isEmpty()) {
        return true;
    }
    if (reason != nullptr) {
        *reason = failure;
    }
    return false;
}

void BitTimingPicture::paintEvent(QPaintEvent* /*event*/) {
    if (m_bRedrawnForPaint) {
        // Nothing has been drawn since the previous repaint redrew the image, so it is
        // current; redrawing now could ask for yet another repaint, and so on for ever.
        m_bRedrawnForPaint = false;
    } else if (!m_bServingPaint) {
        const QScopedValueRollback<bool> serving(m_bServingPaint, true);
        m_bDrawnWhileServing = false;
        emit Paint();
        m_bRedrawnForPaint = m_bDrawnWhileServing;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_screenImage ? m_screenImage->image() : m_image.image());
}

void BitTimingPicture::resizeEvent(QResizeEvent* event) {
    FollowWidgetSize();
    QWidget::resizeEvent(event);
}

void BitTimingPicture::ImageChanged() {
    if (m_bServingPaint) {
        // Shown by the repaint under way.
        m_bDrawnWhileServing = true;
    } else {
        m_bRedrawnForPaint = false;
        update();
    }
}

void BitTimingPicture::FollowWidgetSize() {
    bool changed = false;
    if (m_image.size() != size()) {
        m_image.resize(size());
        changed = true;
    }
    const qreal dpr = devicePixelRatioF();
    if (dpr == 1.0) {
        changed = changed || m_screenImage != nullptr;
        m_screenImage.reset();
    } else if (!m_screenImage || m_screenImage->devicePixelRatio() != dpr) {
        m_screenImage = std::make_unique<ImageCanvas>(size(), dpr);
        changed = true;
    } else if (m_screenImage->size() != size()) {
        m_screenImage->resize(size());
        changed = true;
    }
    if (changed) {
        ImageChanged();
    }
}
