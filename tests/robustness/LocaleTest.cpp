// The calculator under a locale that writes a comma as the decimal separator (German):
// every number the grid, the list, the diagram and the report write carries the comma,
// every numeric read still stops at it, and the report differs from the one written under
// the C locale in nothing but the separators. The same binary also runs as a test with
// LC_ALL=de_DE.UTF-8, where the C library's own number formatting is German too.
#include "ModalAnswerer.h"
#include "WindowProbe.h"
#include "fuzz/NonFiniteText.h"
#include "window/BitTimingPicture.h"
#include "window/ImageCanvas.h"

#include <QLocale>
#include <QScrollBar>
#include <QtTest>

#include <fstream>
#include <iterator>
#include <memory>

namespace {

using robustness::WindowProbe;

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kC(QLocale::C);

std::unique_ptr<frmMainBitTime> OpenWindow(const QLocale& locale) {
    QLocale::setDefault(locale);
    auto window = std::make_unique<frmMainBitTime>();
    window->show();
    return window;
}

std::string ReadAndRemove(const std::filesystem::path& path) {
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return bytes;
}

QStringList WithComma(QStringList texts) {
    for (QString& text : texts) {
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    return texts;
}

} // namespace

class LocaleTest : public QObject {
    Q_OBJECT

private:
    ModalAnswerer* answerer = nullptr;
    robustness::RecordingShell shell;

    // The window at step 3 with the oscillator and rate typed in step 1.
    std::unique_ptr<frmMainBitTime> AtStepThree(const QLocale& locale, const QString& osc,
                                                const QString& rate) {
        auto window = OpenWindow(locale);
        WindowProbe probe(*window);
        probe.SetBox("txtOsc", osc);
        probe.SetBox("txtCANBaud", rate);
        probe.Next();
        probe.Next();
        return window;
    }

    std::string Report(const QLocale& locale) {
        auto window = AtStepThree(locale, QStringLiteral("10"), QStringLiteral("83.333"));
        WindowProbe probe(*window);
        if (!probe.ReportEnabled()) {
            return {};
        }
        shell.opened.clear();
        probe.GenerateReport();
        if (shell.opened.size() != 1) {
            return {};
        }
        return ReadAndRemove(shell.opened.front());
    }

private slots:
    void initTestCase() {
        quillon::SetDesktopShell(&shell);
        // Reports made a moment apart carry the same time stamp.
        qputenv("SOURCE_DATE_EPOCH", "1767225600");
    }
    void cleanupTestCase() { quillon::SetDesktopShell(nullptr); }
    void init() { answerer = new ModalAnswerer; }
    void cleanup() {
        delete answerer;
        answerer = nullptr;
        QLocale::setDefault(kC);
    }

    void gridAndListWriteCommas() {
        auto plain = OpenWindow(kC);
        WindowProbe plainProbe(*plain);
        plainProbe.Next();
        auto german = OpenWindow(kGerman);
        WindowProbe probe(*german);
        probe.Next();

        const QStringList grid = probe.GridTexts();
        QCOMPARE(grid.size(), 64 * 19);
        for (const QString& text : grid) {
            QVERIFY2(text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('.')),
                     qPrintable(text));
        }
        QCOMPARE(grid, WithComma(plainProbe.GridTexts()));

        const QStringList errors = probe.ListErrorTexts();
        QCOMPARE(errors.size(), 2);
        for (const QString& text : errors) {
            QVERIFY2(text.contains(QLatin1Char(',')), qPrintable(text));
        }
        QCOMPARE(errors, WithComma(plainProbe.ListErrorTexts()));
        QVERIFY(answerer->seen().isEmpty());
    }

    void readsStopAtTheComma_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<double>("oscMHz");
        QTest::addColumn<double>("rateBitsPerSecond");
        QTest::addColumn<int>("messages");

        QTest::newRow("osc 16,5") << "16,5"
                                  << "500" << 16.0 << 500000.0 << 0;
        QTest::newRow("rate 12,5") << "16"
                                   << "12,5" << 16.0 << 12000.0 << 0;
        QTest::newRow("osc 0,5 is 0") << "0,5"
                                      << "500" << 16.0 << 500000.0 << 1;
        QTest::newRow("rate 1000,5 is 1000") << "16"
                                             << "1000,5" << 16.0 << 1000000.0 << 0;
        QTest::newRow("grouped 1.000,5 is 1") << "1.000,5"
                                              << "500" << 1.0 << 500000.0 << 0;
        QTest::newRow("point still read") << "16.5"
                                          << "83.333" << 16.5 << 83333.0 << 0;
    }

    void readsStopAtTheComma() {
        QFETCH(QString, osc);
        QFETCH(QString, rate);
        QFETCH(double, oscMHz);
        QFETCH(double, rateBitsPerSecond);
        QFETCH(int, messages);

        auto window = OpenWindow(kGerman);
        WindowProbe probe(*window);
        probe.SetBox("txtOsc", osc);
        probe.SetBox("txtCANBaud", rate);
        probe.Next();
        QCOMPARE(answerer->seen().size(), messages);
        QCOMPARE(probe.Candidates()->OscFreqInMhz(), oscMHz);
        QCOMPARE(probe.Candidates()->CANBaudRate(), rateBitsPerSecond);
    }

    void diagramWritesCommas() {
        auto plain = AtStepThree(kC, QStringLiteral("16"), QStringLiteral("500"));
        auto german = AtStepThree(kGerman, QStringLiteral("16"), QStringLiteral("500"));
        WindowProbe probe(*german);
        const QImage shown =
            german->findChild<BitTimingPicture*>(QStringLiteral("pctDisplay"))->image();
        const QImage plainShown =
            plain->findChild<BitTimingPicture*>(QStringLiteral("pctDisplay"))->image();
        QVERIFY(!shown.isNull());
        QCOMPARE(shown.size(), plainShown.size());
        // The durations ("125,0 ns") are the only texts with a separator.
        QVERIFY(shown != plainShown);

        // The first candidate of 16 MHz / 500 kbit/s: 16 Tq at BRP-1 0.
        quillon::DiagramInputs inputs;
        inputs.dTqCountFromText = 16;
        inputs.lListIndex = 0;
        inputs.lBRPMinus1 = 0;
        inputs.dOscFreqMHz = 16;
        inputs.lPropagation = probe.Child<QScrollBar>("sclProp")->value();
        inputs.lPhase1 = probe.Child<QScrollBar>("sclPhase1")->value();
        inputs.lPhase2Effective = probe.Child<QScrollBar>("sclPhase2")->value();
        inputs.lSJW = probe.Child<QScrollBar>("sclSJW")->value();
        inputs.decimalSeparator = ",";
        QCOMPARE(shown, RenderBitTimingImage(inputs, shown.size()));
        inputs.decimalSeparator = ".";
        QCOMPARE(plainShown, RenderBitTimingImage(inputs, shown.size()));
    }

    void reportDiffersOnlyInTheSeparator() {
        const std::string plain = Report(kC);
        const std::string german = Report(kGerman);
        QVERIFY(!plain.empty());
        QCOMPARE(german.size(), plain.size());

        int separators = 0;
        for (std::size_t i = 0; i < plain.size(); ++i) {
            if (german[i] != plain[i]) {
                QVERIFY2(
                    german[i] == ',' && plain[i] == '.',
                    qPrintable(QString::fromStdString(german.substr(i < 40 ? 0 : i - 40, 80))));
                ++separators;
            }
        }
        // Oscillator, target rate, quantum, error and actual rate.
        QCOMPARE(separators, 5);
        QVERIFY(german.find("10,000 MHz") != std::string::npos);
        QVERIFY(german.find("83,333 kbps") != std::string::npos);
        QVERIFY(!quillon::fuzz::ShowsNonFinite(german));
        QVERIFY(answerer->seen().isEmpty());
    }
};

QTEST_MAIN(LocaleTest)
#include "LocaleTest.moc"
