// QtTest benchmarks of the window's interactions, end to end: the input event, the
// handlers, and the repaint that the event loop then serves, on the offscreen platform.
//
// Paths that can be repeated on one window (a diagram redraw, a scroll-bar click, the
// report) run in QBENCHMARK loops. Paths that happen once per window (step 1 to step 2,
// entering step 3, the first frame) get a fresh window per run, prepared outside the
// timed part; they are timed with a nanosecond clock and reported with
// setBenchmarkResult, so `-median N` gives the median of N such runs.
#include "canvas/ImageCanvas.h"
#include "diagram/BitTimingDiagram.h"
#include "support/ModalAnswerer.h"
#include "support/RecordingShell.h"
#include "support/WindowDriver.h"
#include "timing/classic/CandidateSearch.h"
#include "window/BitTimingPicture.h"
#include "window/CalculatorWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace {

// Counts the paint events one widget receives.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }
    ~PaintCounter() override { m_widget->removeEventFilter(this); }
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;

    int count() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_widget && event->type() == QEvent::Paint) {
            ++m_count;
        }
        return false;
    }

private:
    QWidget* m_widget;
    int m_count = 0;
};

// One pass of the event loop as it follows an input event: the posted layout and update
// requests are served, which paints the dirty widgets and hands the frame to the platform.
void ServeEventLoop() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Reports one timed run of a path that cannot be repeated on the same window.
void ReportOneRun(const QElapsedTimer& timer) {
    QTest::setBenchmarkResult(static_cast<qreal>(timer.nsecsElapsed()) / 1e6,
                              QTest::WalltimeMilliseconds);
}

// True when the image holds anything but its white background.
bool HasDrawing(const QImage& image) {
    const QRgb background = qRgb(255, 255, 255);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

class WidgetBench : public QObject {
    Q_OBJECT

private:
    // A shown window at step 1 whose first frame is painted.
    std::unique_ptr<CalculatorWindow> OpenWindow() {
        auto window = std::make_unique<CalculatorWindow>();
        const PaintCounter painted(window.get());
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qFatal("the window was never exposed");
        }
        for (int i = 0; i < 100 && painted.count() == 0; ++i) {
            QTest::qWait(5);
        }
        ServeEventLoop();
        return window;
    }

    void Next(CalculatorWindow& window) {
        QTest::mouseClick(Child<QPushButton>(window, "cmdNext"), Qt::LeftButton);
    }

    // A window at step 2 for 16 MHz / 500 kbit/s.
    std::unique_ptr<CalculatorWindow> OpenStepTwo() {
        auto window = OpenWindow();
        Next(*window);
        ServeEventLoop();
        return window;
    }

    // A window at step 3 with the first chosen Tq count (16 at 16 MHz / 500 kbit/s).
    std::unique_ptr<CalculatorWindow> OpenStepThree() {
        auto window = OpenStepTwo();
        Next(*window);
        ServeEventLoop();
        if (window->step() != 2) {
            qFatal("the window did not reach step 3");
        }
        return window;
    }

    // Any message box fails the run that showed it.
    std::unique_ptr<ModalAnswerer> answerer;
    quillon::test::RecordingShell shell;

private slots:
    void init() { answerer = std::make_unique<ModalAnswerer>(); }
    void cleanup() { answerer.reset(); }

    // The floor of every interaction: an empty widget of the window's size asks for a
    // repaint and the event loop serves it.
    void floorEmptyRepaint() {
        QWidget empty;
        empty.resize(CalculatorWindow().size());
        empty.show();
        QVERIFY(QTest::qWaitForWindowExposed(&empty));
        ServeEventLoop();
        const PaintCounter painted(&empty);
        QBENCHMARK {
            empty.update();
            ServeEventLoop();
        }
        QVERIFY(painted.count() > 0);
    }

    // A new window constructed, shown and painted, inside the running process: the
    // window's share of the start-up time.
    void windowFirstFrame() {
        QElapsedTimer timer;
        timer.start();
        auto window = std::make_unique<CalculatorWindow>();
        const PaintCounter painted(window.get());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        while (painted.count() == 0 && timer.elapsed() < 5000) {
            QCoreApplication::processEvents();
        }
        ReportOneRun(timer);
        QVERIFY(painted.count() > 0);
    }

    // ">" at step 1: input checks, the search, the grid and the list filled, painted.
    void stepOneToTwo() {
        const auto window = OpenWindow();
        auto* grid = Child<QTableView>(*window, "g");
        const PaintCounter gridPainted(grid->viewport());

        QElapsedTimer timer;
        timer.start();
        Next(*window);
        ServeEventLoop();
        ReportOneRun(timer);

        QCOMPARE(window->step(), 1);
        QCOMPARE(grid->model()->rowCount(), quillon::kBRPValueCount);
        QVERIFY(gridPainted.count() > 0);
    }

    // Page Down or Page Up in the step-2 grid: the cells that come into view written and
    // painted. Alternates so that every run scrolls.
    void gridPageScroll() {
        const auto window = OpenStepTwo();
        auto* grid = Child<QTableView>(*window, "g");
        grid->setCurrentIndex(grid->model()->index(0, 1));
        const PaintCounter gridPainted(grid->viewport());
        bool down = true;
        QBENCHMARK {
            QTest::keyClick(grid, down ? Qt::Key_PageDown : Qt::Key_PageUp);
            ServeEventLoop();
            down = !down;
        }
        QVERIFY(gridPainted.count() > 0);
    }

    // ">" at step 2: the chosen list handed over, the proposal, the diagram, painted.
    void enterStepThree() {
        const auto window = OpenStepTwo();
        auto* picture = Child<BitTimingPicture>(*window, "pctDisplay");
        const PaintCounter diagramPainted(picture);

        QElapsedTimer timer;
        timer.start();
        Next(*window);
        ServeEventLoop();
        ReportOneRun(timer);

        QCOMPARE(window->step(), 2);
        QVERIFY(diagramPainted.count() > 0);
        QVERIFY(Child<QPushButton>(*window, "cmdGenerateReport")->isEnabled());
    }

    // One DrawBitTiming: the diagram redrawn into the persistent image and the verdict
    // updated (what the picture's Paint event runs), without the screen copy.
    void drawBitTiming() {
        const auto window = OpenStepThree();
        auto* picture = Child<BitTimingPicture>(*window, "pctDisplay");
        QBENCHMARK {
            emit picture->Paint();
        }
        QVERIFY(HasDrawing(picture->image()));
    }

    // The diagram alone on an image of its design size, without the window.
    void diagramOnImage() {
        const quillon::BitTimingSetting setting = quillon::ProposedSetting(16, 500, 0, 16);
        ImageCanvas canvas;
        bool drawn = false;
        QBENCHMARK {
            drawn = quillon::DrawBitTimingDiagram(canvas, setting, true);
        }
        QVERIFY(drawn);
        QVERIFY(HasDrawing(canvas.image()));
    }

    // A click on the propagation scroll bar's arrow: the value, its label, the diagram and
    // the verdict, then the repaint. Alternates down and up so every run changes the value.
    void scrollBarChange() {
        const auto window = OpenStepThree();
        auto* bar = Child<QScrollBar>(*window, "sclProp");
        auto* picture = Child<BitTimingPicture>(*window, "pctDisplay");
        const int start = bar->value();
        QVERIFY(start < bar->maximum());
        const PaintCounter diagramPainted(picture);
        int changes = 0;
        bool raise = true;
        QBENCHMARK {
            const int before = bar->value();
            ClickArrow(bar, raise);
            ServeEventLoop();
            changes += bar->value() != before ? 1 : 0;
            raise = !raise;
        }
        QVERIFY(changes > 0);
        QVERIFY(diagramPainted.count() >= changes);
        QCOMPARE(Child<QLabel>(*window, "lblPropDelay")->text(), QString::number(bar->value()));
    }

    // "Generate Report...": registers, report values, bittime.bmp and MCP2510Report.htm
    // written, and the page handed to the (recording) desktop.
    void generateReport() {
        const auto window = OpenStepThree();
        auto* button = Child<QPushButton>(*window, "cmdGenerateReport");
        QVERIFY(button->isEnabled());
        shell.documents.clear();
        QBENCHMARK {
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QVERIFY(!shell.documents.empty());
        const QFileInfo page(QString::fromStdString(shell.documents.back()));
        QCOMPARE(page.fileName(), QStringLiteral("MCP2510Report.htm"));
        QVERIFY(page.size() > 0);
        QVERIFY(QFileInfo(page.dir().filePath(QStringLiteral("bittime.bmp"))).size() > 0);
    }
};

QTEST_MAIN(WidgetBench)
#include "bench_widgets.moc"
