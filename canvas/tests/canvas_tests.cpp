// The diagram's image: drawn the same way every time, shown by the picture widget exactly
// as it is held, and saved as a BMP of the same pixels. What the diagram draws is proven
// on a recording canvas in diagram/tests.
#include "canvas/ImageCanvas.h"
#include "support/TempFolder.h"
#include "window/BitTimingPicture.h"

#include <QFontInfo>
#include <QTest>

namespace {

// 16 MHz, 500 kbit/s, BRP-1 0 with the proposal for 16 Tq.
const quillon::BitTimingSetting kSetting = quillon::ProposedSetting(16, 500, 0, 16);

int NonWhitePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
        }
    }
    return count;
}

QByteArray Bytes(const QImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
}

} // namespace

class CanvasTest : public QObject {
    Q_OBJECT

private slots:
    void imageIsDrawnReproduciblyOnWhite() {
        const ImageCanvas blank;
        QCOMPARE(blank.image().size(), QSize(541, 106));
        QCOMPARE(NonWhitePixels(blank.image()), 0);

        const QImage first = RenderBitTimingImage(kSetting, ".", kWindowPictureSize);
        QCOMPARE(first.size(), QSize(586, 106));
        QCOMPARE(first.pixel(first.width() - 1, first.height() - 1), qRgb(255, 255, 255));
        QVERIFY(NonWhitePixels(first) > 0);
        QVERIFY(NonWhitePixels(first) < first.width() * first.height() / 4);
        QCOMPARE(Bytes(RenderBitTimingImage(kSetting, ".", kWindowPictureSize)), Bytes(first));
        // Without a Tq count there is nothing to draw.
        QCOMPARE(NonWhitePixels(RenderBitTimingImage({}, ".", kWindowPictureSize)), 0);
        // The font is the one installed for it, not a fallback.
        QCOMPARE(QFontInfo(ImageCanvas::DiagramFont()).family(), QStringLiteral("Liberation Sans"));
    }

    void pictureShowsExactlyItsImage() {
        BitTimingPicture picture;
        picture.resize(kWindowPictureSize);
        int redraws = 0;
        connect(&picture, &BitTimingPicture::Paint, [&] {
            ++redraws;
            quillon::DrawBitTimingDiagram(picture.canvas(), kSetting, true, ".");
        });
        picture.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picture));
        QTRY_VERIFY(redraws >= 1);
        // Redrawing while a repaint is served must not ask for repaint after repaint.
        const int settled = redraws;
        QTest::qWait(100);
        QCOMPARE(redraws, settled);

        // The held image keeps its design pixels on any screen: the saved bitmap is the same.
        const QImage expected = RenderBitTimingImage(kSetting, ".", kWindowPictureSize);
        QCOMPARE(picture.image(), expected);
        const QImage shown = picture.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const qreal dpr = picture.devicePixelRatioF();
        if (dpr == 1.0) {
            QCOMPARE(shown, expected);
        } else {
            // A finer screen gets the same drawing at its own resolution, not the held image
            // blown up.
            QCOMPARE(shown.size(), (QSizeF(kWindowPictureSize) * dpr).toSize());
            const QImage blownUp =
                expected.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
            QVERIFY(shown.convertToFormat(QImage::Format_RGB32) != blownUp);
        }
        // Drawing outside a repaint reaches the screen by itself.
        quillon::DrawBitTimingDiagram(picture.canvas(), kSetting, true, ",");
        QTRY_VERIFY(redraws > settled);
    }

    void pictureSavesItsImageAsBmp() {
        BitTimingPicture picture;
        QVERIFY(quillon::DrawBitTimingDiagram(picture.canvas(), kSetting, true, "."));
        const quillon::test::TempFolder folder;
        const QString path = QString::fromStdString((folder / "bittime.bmp").string());
        QString reason;
        QVERIFY2(picture.saveBitmap(path, &reason), qPrintable(reason));
        QCOMPARE(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32), picture.image());

        const QString missing = QString::fromStdString((folder / "missing/bittime.bmp").string());
        QVERIFY(!picture.saveBitmap(missing, &reason));
        QCOMPARE(reason, QStringLiteral("No such file or directory"));
    }
};

QTEST_MAIN(CanvasTest)
#include "canvas_tests.moc"
