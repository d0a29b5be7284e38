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
        Image().Cls();
        m_picture.ImageChanged();
    }
    void SetScale(double left, double top, double width, double height) override {
        Image().SetScale(left, top, width, height);
    }
    void SetForeColor(quillon::Rgb colour) override { Image().SetForeColor(colour); }
    void Line(float x1, float y1, float x2, float y2, quillon::Rgb colour) override {
        Image().Line(x1, y1, x2, y2, colour);
        m_picture.ImageChanged();
    }
    double TextWidth(const std::string& utf8) override { return Image().TextWidth(utf8); }
    double TextHeight(const std::string& utf8) override { return Image().TextHeight(utf8); }
    void SetCurrentX(double x) override { Image().SetCurrentX(x); }
    void SetCurrentY(double y) override { Image().SetCurrentY(y); }
    void Print(const std::string& utf8) override {
        Image().Print(utf8);
        m_picture.ImageChanged();
    }

private:
    ImageCanvas& Image() { return m_picture.m_image; }

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
    painter.drawImage(0, 0, m_image.image());
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
    if (m_image.image().size() != size()) {
        m_image.resize(size());
        ImageChanged();
    }
}
