// Tests of the bit timing diagram: the drawing calls it makes on a recording canvas, and
// the image canvas and picture widget that show and save it.
#include "window/BitTimingDiagram.h"
#include "window/BitTimingPicture.h"
#include "window/ImageCanvas.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <string>
#include <vector>

using quillon::DiagramInputs;
using quillon::Rgb;
namespace colours = quillon::diagram_colours;

namespace {

// Every width is 0.5 Tq and every height 4 units, so text positions are easy to predict.
constexpr double kRecordedTextWidth = 0.5;
constexpr double kRecordedTextHeight = 4;

struct LineCall {
    float x1, y1, x2, y2;
    Rgb colour;
};

struct TextCall {
    std::string text;
    double x, y;
    Rgb colour;
};

// Records every call; operations are also kept as a list of names to check their order.
class RecordingCanvas : public quillon::BitCanvas {
public:
    void Cls() override { ops.push_back("Cls"); }
    void SetScale(double left, double top, double width, double height) override {
        ops.push_back("SetScale");
        scale = {left, top, width, height};
    }
    void SetForeColor(Rgb colour) override {
        ops.push_back("SetForeColor");
        foreColor = colour;
    }
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override {
        ops.push_back("Line");
        lines.push_back({x1, y1, x2, y2, colour});
    }
    double TextWidth(const std::string&) override {
        ops.push_back("TextWidth");
        return kRecordedTextWidth;
    }
    double TextHeight(const std::string&) override {
        ops.push_back("TextHeight");
        return kRecordedTextHeight;
    }
    void SetCurrentX(double x) override {
        ops.push_back("SetCurrentX");
        currentX = x;
    }
    void SetCurrentY(double y) override {
        ops.push_back("SetCurrentY");
        currentY = y;
    }
    void Print(const std::string& utf8) override {
        ops.push_back("Print");
        texts.push_back({utf8, currentX, currentY, foreColor});
    }

    // The first text printed as `text` after the Tq grid (whose numbers are texts too).
    const TextCall* FindText(const std::string& text) const {
        const auto it = std::find_if(texts.begin(), texts.end(), [&](const TextCall& t) {
            return t.text == text && t.colour != colours::kGrid;
        });
        return it == texts.end() ? nullptr : &*it;
    }
    bool HasLine(double x1, double y1, double x2, double y2, Rgb colour) const {
        return std::any_of(lines.begin(), lines.end(), [&](const LineCall& l) {
            return l.x1 == float(x1) && l.y1 == float(y1) && l.x2 == float(x2) &&
                   l.y2 == float(y2) && l.colour == colour;
        });
    }
    std::vector<double> VerticalLinesAt(double y1, double y2, Rgb colour) const {
        std::vector<double> xs;
        for (const LineCall& l : lines) {
            if (l.x1 == l.x2 && l.y1 == float(y1) && l.y2 == float(y2) && l.colour == colour) {
                xs.push_back(l.x1);
            }
        }
        return xs;
    }

    std::vector<std::string> ops;
    std::vector<LineCall> lines;
    std::vector<TextCall> texts;
    std::vector<double> scale;
    Rgb foreColor{1, 2, 3};
    double currentX = -1, currentY = -1;
};

DiagramInputs Inputs(int n, int p, int q, int r, int j, bool sam = false) {
    DiagramInputs in;
    in.dTqCountFromText = n;
    in.lListIndex = 0;
    in.lBRPMinus1 = 1;
    in.dOscFreqMHz = 16;
    in.lPropagation = p;
    in.lPhase1 = q;
    in.lPhase2Effective = r;
    in.lSJW = j;
    in.bSam = sam;
    return in;
}

DiagramInputs WorkedExample() {
    return Inputs(16, 5, 6, 4, 1);
}

int NonWhitePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class DiagramTests : public QObject {
    Q_OBJECT

private slots:
    void countsLinesAndTexts_data();
    void countsLinesAndTexts();
    void drawsWorkedExample();
    void centresTextHeightFirst();
    void colourOfEachKindOfLine();
    void numbersTheGrid();
    void marksMultipleSampling();
    void emptySelectionDrawsNothing_data();
    void emptySelectionDrawsNothing();
    void durationsOfAQuantum_data();
    void durationsOfAQuantum();
    void writesDecimalSeparator();
    void imageCanvasDrawsReproducibly();
    void pictureShowsTheRenderedImage_data();
    void pictureShowsTheRenderedImage();
    void pictureSavesBitmap();
};

void DiagramTests::countsLinesAndTexts_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("sam");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("texts");
    for (int n : {8, 16, 25}) {
        QTest::addRow("N=%d", n) << n << false << n + 37 << n + 9;
        QTest::addRow("N=%d SAM", n) << n << true << n + 43 << n + 11;
    }
}

void DiagramTests::countsLinesAndTexts() {
    QFETCH(int, n);
    QFETCH(bool, sam);
    QFETCH(int, lines);
    QFETCH(int, texts);
    RecordingCanvas canvas;
    QVERIFY(DrawBitTimingDiagram(canvas, Inputs(n, 1, 3, 3, 1, sam)));
    QCOMPARE(int(canvas.lines.size()), lines);
    QCOMPARE(int(canvas.texts.size()), texts);
    QCOMPARE(canvas.ops.front(), std::string("Cls"));
    QCOMPARE(canvas.ops.at(1), std::string("SetScale"));
    QCOMPARE(canvas.scale, (std::vector<double>{0, 0, double(n), 100}));
}

void DiagramTests::drawsWorkedExample() {
    RecordingCanvas canvas;
    QVERIFY(DrawBitTimingDiagram(canvas, WorkedExample()));

    // Extension lines at the boundaries, each shared boundary twice.
    std::vector<double> bounds = canvas.VerticalLinesAt(50, 75, colours::kSegment);
    QCOMPARE(bounds, (std::vector<double>{0, 1, 1, 6, 6, 12, 12, 16}));

    // Name centres: x - width / 2 with the recorded width of 0.5.
    const std::vector<std::pair<std::string, double>> names = {
        {"sync", 0.5}, {"prop", 3.5}, {"phase1", 9}, {"phase2", 14}};
    for (const auto& [name, centre] : names) {
        const TextCall* text = canvas.FindText(name);
        QVERIFY2(text != nullptr, name.c_str());
        QCOMPARE(text->x, centre - kRecordedTextWidth / 2);
        QCOMPARE(text->y, 62.5 - kRecordedTextHeight / 2);
    }

    QVERIFY(canvas.HasLine(12, 15, 11, 15, colours::kSJW));
    QVERIFY(canvas.HasLine(12, 15, 13, 15, colours::kSJW));
    QVERIFY(canvas.HasLine(13, 15, 12.8, 12, colours::kSJW));
    QVERIFY(canvas.HasLine(11, 15, 11.2, 18, colours::kSJW));
    const TextCall* sjw = canvas.FindText("SJW 250.0 ns");
    QVERIFY(sjw != nullptr);
    QCOMPARE(sjw->x, 13.25);
    QCOMPARE(sjw->y, 15 - kRecordedTextHeight / 2);

    QCOMPARE(canvas.VerticalLinesAt(25, 50, colours::kSamplePoint), std::vector<double>{12});
    QVERIFY(canvas.HasLine(12, 50, 11.9, 45, colours::kSamplePoint));
    QVERIFY(canvas.HasLine(12, 50, 12.1, 45, colours::kSamplePoint));
    const TextCall* sample = canvas.FindText("Sample Point (75.0 % of bit time)");
    QVERIFY(sample != nullptr);
    QCOMPARE(sample->x, 12.25);
    QCOMPARE(sample->y, 25.0);
    QVERIFY(canvas.FindText("1") == nullptr);
}

void DiagramTests::centresTextHeightFirst() {
    RecordingCanvas canvas;
    QVERIFY(DrawBitTimingDiagram(canvas, WorkedExample()));
    const std::vector<std::string> centred = {"TextHeight", "SetCurrentY", "TextWidth",
                                              "SetCurrentX", "Print"};
    // The first label of the grid follows its grid line.
    const auto first = std::find(canvas.ops.begin(), canvas.ops.end(), "TextHeight");
    QVERIFY(std::equal(centred.begin(), centred.end(), first));
    const std::vector<std::string> sjw = {"SetCurrentX", "TextHeight", "SetCurrentY", "Print"};
    QVERIFY(std::search(canvas.ops.begin(), canvas.ops.end(), sjw.begin(), sjw.end()) !=
            canvas.ops.end());
}

void DiagramTests::colourOfEachKindOfLine() {
    RecordingCanvas canvas;
    QVERIFY(DrawBitTimingDiagram(canvas, WorkedExample()));
    auto linesIn = [&](Rgb colour) {
        return std::count_if(canvas.lines.begin(), canvas.lines.end(),
                             [&](const LineCall& l) { return l.colour == colour; });
    };
    QCOMPARE(linesIn(colours::kGrid), 16);
    QCOMPARE(linesIn(colours::kSegment), 4 * 7);
    QCOMPARE(linesIn(colours::kSJW), 6);
    QCOMPARE(linesIn(colours::kSamplePoint), 3);

    // Texts take the colour of their lines.
    QCOMPARE(canvas.texts.front().colour, colours::kGrid);
    QCOMPARE(canvas.texts.at(15).colour, colours::kGrid);
    QCOMPARE(canvas.FindText("prop")->colour, colours::kSegment);
    QCOMPARE(canvas.FindText("1.5 µs")->colour, colours::kSegment);
    QCOMPARE(canvas.FindText("SJW 250.0 ns")->colour, colours::kSJW);
    QCOMPARE(canvas.FindText("Sample Point (75.0 % of bit time)")->colour, colours::kSamplePoint);
    QCOMPARE(canvas.FindText("phase2")->colour, colours::kSegment);
}

void DiagramTests::numbersTheGrid() {
    RecordingCanvas canvas;
    QVERIFY(DrawBitTimingDiagram(canvas, Inputs(9, 1, 4, 3, 1)));
    QCOMPARE(canvas.texts.at(0).text, std::string("Tq = 1"));
    QCOMPARE(canvas.texts.at(0).x, 1 - kRecordedTextWidth / 2);
    QCOMPARE(canvas.texts.at(0).y, 5 - kRecordedTextHeight / 2);
    for (int i = 2; i <= 9; ++i) {
        QCOMPARE(canvas.texts.at(i - 1).text, std::to_string(i));
        QCOMPARE(canvas.texts.at(i - 1).x, i - kRecordedTextWidth / 2);
    }
    QCOMPARE(canvas.VerticalLinesAt(10, 100, colours::kGrid),
             (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

void DiagramTests::marksMultipleSampling() {
    RecordingCanvas canvas;
    DiagramInputs in = WorkedExample();
    in.bSam = true;
    QVERIFY(DrawBitTimingDiagram(canvas, in));
    QCOMPARE(canvas.VerticalLinesAt(25, 50, colours::kSamplePoint),
             (std::vector<double>{11, 11.5, 12}));
    QVERIFY(canvas.HasLine(11, 50, 10.9, 45, colours::kSamplePoint));
    QVERIFY(canvas.HasLine(11.5, 50, 11.6, 45, colours::kSamplePoint));
    QCOMPARE(canvas.FindText("1")->x, 11.25);
    QCOMPARE(canvas.FindText("1")->colour, colours::kSamplePoint);
    QCOMPARE(canvas.FindText("2")->x, 11.75);
    QCOMPARE(canvas.FindText("2")->y, 25.0);
    const TextCall* main = canvas.FindText("3 Sample Points  (75.0 % of bit time)");
    QVERIFY(main != nullptr);
    QCOMPARE(main->x, 12.25);
}

void DiagramTests::emptySelectionDrawsNothing_data() {
    QTest::addColumn<double>("n");
    QTest::addColumn<int>("listIndex");
    QTest::newRow("empty text") << 0.0 << 0;
    QTest::newRow("nothing selected") << 0.0 << -1;
    QTest::newRow("index lost") << 16.0 << -1;
}

void DiagramTests::emptySelectionDrawsNothing() {
    QFETCH(double, n);
    QFETCH(int, listIndex);
    DiagramInputs in = WorkedExample();
    in.dTqCountFromText = n;
    in.lListIndex = listIndex;
    RecordingCanvas canvas;
    QVERIFY(!DrawBitTimingDiagram(canvas, in));
    QVERIFY(canvas.ops.empty());
}

void DiagramTests::durationsOfAQuantum_data() {
    QTest::addColumn<double>("oscMHz");
    QTest::addColumn<int>("brpMinus1");
    QTest::addColumn<QStringList>("durations"); // prop, phase1, SJW, phase2
    QTest::newRow("16 MHz, B=1: Tq 250 ns")
        << 16.0 << 1 << QStringList{"1.25 µs", "1.5 µs", "SJW 250.0 ns", "1.0 µs"};
    QTest::newRow("20 MHz, B=0: Tq 100 ns")
        << 20.0 << 0 << QStringList{"500.0 ns", "600.0 ns", "SJW 100.0 ns", "400.0 ns"};
    QTest::newRow("oscillator 0") << 0.0 << 1 << QStringList{"n/a", "n/a", "SJW n/a", "n/a"};
    QTest::newRow("negative oscillator")
        << -16.0 << 1 << QStringList{"n/a", "n/a", "SJW n/a", "n/a"};
}

void DiagramTests::durationsOfAQuantum() {
    QFETCH(double, oscMHz);
    QFETCH(int, brpMinus1);
    QFETCH(QStringList, durations);
    DiagramInputs in = WorkedExample();
    in.dOscFreqMHz = oscMHz;
    in.lBRPMinus1 = brpMinus1;
    RecordingCanvas canvas;
    QVERIFY(DrawBitTimingDiagram(canvas, in));
    QCOMPARE(int(canvas.texts.size()), 16 + 9);

    // Durations sit under the segment names, at y 87.5.
    QStringList found;
    for (const TextCall& t : canvas.texts) {
        if (t.y == 87.5 - kRecordedTextHeight / 2 || t.text.rfind("SJW ", 0) == 0) {
            found << QString::fromStdString(t.text);
        }
        QVERIFY2(t.text.find("inf") == std::string::npos && t.text.find("nan") == std::string::npos,
                 t.text.c_str());
    }
    QCOMPARE(found, durations);
}

void DiagramTests::writesDecimalSeparator() {
    DiagramInputs in = Inputs(9, 1, 4, 3, 1); // S = 6 of 9: 66.7 %
    in.decimalSeparator = ",";
    RecordingCanvas canvas;
    QVERIFY(DrawBitTimingDiagram(canvas, in));
    QVERIFY(canvas.FindText("Sample Point (66,7 % of bit time)") != nullptr);
    QVERIFY(canvas.FindText("SJW 250,0 ns") != nullptr);
}

void DiagramTests::imageCanvasDrawsReproducibly() {
    ImageCanvas canvas;
    QCOMPARE(canvas.image().size(), kDiagramDesignSize);
    QCOMPARE(NonWhitePixels(canvas.image()), 0);
    QVERIFY(DrawBitTimingDiagram(canvas, WorkedExample()));
    QVERIFY(NonWhitePixels(canvas.image()) > 0);

    const QImage first = RenderBitTimingImage(WorkedExample());
    QCOMPARE(first, canvas.image());
    QCOMPARE(RenderBitTimingImage(WorkedExample()), first);

    // Text lands in the image: the same diagram with a longer sample text differs.
    DiagramInputs sam = WorkedExample();
    sam.bSam = true;
    QVERIFY(RenderBitTimingImage(sam) != first);

    // The font is the one installed for it, not a fallback.
    QCOMPARE(QFontInfo(ImageCanvas::DiagramFont()).family(), QString("Liberation Sans"));
}

void DiagramTests::pictureShowsTheRenderedImage_data() {
    QTest::addColumn<bool>("receiverAsksForRepaint");
    QTest::newRow("receiver only draws") << false;
    QTest::newRow("receiver draws and calls update") << true;
}

void DiagramTests::pictureShowsTheRenderedImage() {
    QFETCH(bool, receiverAsksForRepaint);
    BitTimingPicture picture;
    int redraws = 0;
    QObject::connect(&picture, &BitTimingPicture::Paint, [&] {
        ++redraws;
        DrawBitTimingDiagram(picture.canvas(), WorkedExample());
        if (receiverAsksForRepaint) {
            picture.update();
        }
    });
    picture.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picture));
    QTRY_VERIFY(redraws >= 1);

    // A redraw during a repaint must not lead to repaint after repaint.
    const int settled = redraws;
    QTest::qWait(100);
    QCOMPARE(redraws, settled);
    QCOMPARE(picture.image(), RenderBitTimingImage(WorkedExample()));

    // A resize gives a fresh image of the new size, redrawn on the next repaint.
    picture.resize(300, 106);
    QCOMPARE(picture.image().size(), QSize(300, 106));
    QTRY_VERIFY(redraws > settled);
    QCOMPARE(picture.image(), RenderBitTimingImage(WorkedExample(), QSize(300, 106)));

    // Drawing outside a repaint reaches the screen by itself.
    int paints = redraws;
    DiagramInputs sam = WorkedExample();
    sam.bSam = true;
    QVERIFY(DrawBitTimingDiagram(picture.canvas(), sam));
    QTRY_VERIFY(redraws > paints);
}

void DiagramTests::pictureSavesBitmap() {
    BitTimingPicture picture;
    QVERIFY(DrawBitTimingDiagram(picture.canvas(), WorkedExample()));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    const QString path = dir.filePath("bittime.bmp");
    QString reason;
    QVERIFY2(picture.saveBitmap(path, &reason), qPrintable(reason));
    QImage saved(path, "BMP");
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), picture.image());

    QVERIFY(!picture.saveBitmap(dir.filePath("missing/bittime.bmp"), &reason));
    QVERIFY(!reason.isEmpty());
}

QTEST_MAIN(DiagramTests)
#include "diagram_tests.moc"
