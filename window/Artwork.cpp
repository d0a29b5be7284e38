#include "window/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kLogoBlue(0, 0, 160);
const QColor kLogoAmber(232, 160, 32);

} // namespace

QPixmap MakerLogo(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 1, size.width() - 2, size.height() - 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLogoBlue);
    painter.drawRoundedRect(r, r.height() / 5, r.height() / 5);
    // A stylised "V" made of two strokes, the right one in amber like a signal edge.
    QPen pen(Qt::white, r.height() / 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    const QPointF top1(r.left() + r.width() * 0.25, r.top() + r.height() * 0.25);
    const QPointF bottom(r.center().x(), r.top() + r.height() * 0.78);
    const QPointF top2(r.left() + r.width() * 0.75, r.top() + r.height() * 0.25);
    painter.drawLine(top1, bottom);
    pen.setColor(kLogoAmber);
    painter.setPen(pen);
    painter.drawLine(bottom, top2);
    return pixmap;
}

QPixmap ProductPicture(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();

    // The interface box, seen slightly from above.
    QRectF box(w * 0.12, h * 0.30, w * 0.62, h * 0.40);
    QLinearGradient shade(box.topLeft(), box.bottomLeft());
    shade.setColorAt(0, QColor(90, 96, 110));
    shade.setColorAt(1, QColor(40, 44, 52));
    painter.setPen(QPen(QColor(20, 20, 24), 1.5));
    painter.setBrush(shade);
    painter.drawRoundedRect(box, h * 0.04, h * 0.04);

    // Label strip with the product name.
    QRectF strip(box.left() + box.width() * 0.08, box.top() + box.height() * 0.18,
                 box.width() * 0.55, box.height() * 0.30);
    painter.setBrush(kLogoAmber);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(strip, 3, 3);
    QFont font("Arial");
    font.setBold(true);
    font.setPixelSize(qMax(8, int(strip.height() * 0.6)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(strip, Qt::AlignCenter, QStringLiteral("TARSEL"));

    // Status lights.
    const QColor lights[] = {QColor(40, 200, 60), QColor(240, 180, 30), QColor(220, 50, 40)};
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(lights[i]);
        painter.drawEllipse(
            QPointF(box.left() + box.width() * (0.74 + 0.08 * i), box.top() + box.height() * 0.33),
            h * 0.025, h * 0.025);
    }

    // D-sub CAN connector on the right and the USB cable on the left.
    QRectF dsub(box.right() - 2, box.center().y() - h * 0.07, w * 0.08, h * 0.14);
    painter.setBrush(QColor(170, 175, 180));
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.drawRoundedRect(dsub, 2, 2);
    QPainterPath cable;
    cable.moveTo(box.left(), box.center().y());
    cable.cubicTo(box.left() - w * 0.08, box.center().y(), w * 0.02, h * 0.85, w * 0.10, h * 0.92);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(30, 30, 30), qMax(2.0, h * 0.025), Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(cable);
    return pixmap;
}
