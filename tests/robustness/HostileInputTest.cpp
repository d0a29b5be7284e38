// Odd and hostile entries typed, pasted or put by a script into the real calculator
// window: very long texts, other number forms, signs, blanks, huge and boundary values, and
// boxes emptied while step 3 is open. Whatever comes in, the window answers with a clear
// message or a sensible value, never hangs, and no text it shows and no report it writes
// contains "inf" or "nan".
#include "ModalAnswerer.h"
#include "WindowProbe.h"
#include "fuzz/NonFiniteText.h"
#include "timing/NumberReading.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <QtTest>

#include <fstream>
#include <iterator>
#include <memory>

namespace {

using robustness::WindowProbe;

const QString kOscMessage = QStringLiteral("The oscillator must be greater than 0.");
const QString kRateMessage = QStringLiteral("The CAN baud rate must be greater than 0");

// A step of the window must be over long before this, whatever was typed (sanitizer
// builds included).
constexpr qint64 kStepBudgetMs = 20000;

QString NonFiniteTexts(const QStringList& texts) {
    QStringList found;
    for (const QString& text : texts) {
        if (quillon::fuzz::ShowsNonFinite(text.toStdString())) {
            found << text;
        }
    }
    return found.join(QStringLiteral(" | "));
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void RemoveReportFiles() {
    std::error_code ignored;
    std::filesystem::remove(robustness::WindowReportPath(), ignored);
    std::filesystem::remove(robustness::WindowBitmapPath(), ignored);
}

} // namespace

class HostileInputTest : public QObject {
    Q_OBJECT

private:
    ModalAnswerer* answerer = nullptr;
    robustness::RecordingShell shell;

    QStringList MessageTexts() const {
        QStringList texts;
        for (const SeenMessage& seen : answerer->seen()) {
            texts << seen.text;
        }
        return texts;
    }

    // Reports the chosen Tq count and checks what was written and opened.
    void GenerateAndCheckReport(const WindowProbe& probe) {
        RemoveReportFiles();
        shell.opened.clear();
        probe.GenerateReport();
        QCOMPARE(shell.opened.size(), std::size_t{1});
        const std::string page = ReadFile(shell.opened.front());
        QVERIFY(!page.empty());
        QVERIFY2(!quillon::fuzz::ShowsNonFinite(page), "the report shows inf or nan");
        QVERIFY(!probe.WaitCursorShown());
        RemoveReportFiles();
    }

private slots:
    void initTestCase() { quillon::SetDesktopShell(&shell); }
    void cleanupTestCase() { quillon::SetDesktopShell(nullptr); }
    void init() { answerer = new ModalAnswerer; }
    void cleanup() {
        delete answerer;
        answerer = nullptr;
        RemoveReportFiles();
    }

    void entries_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QStringList>("messages"); // in order, each a part of the text
        QTest::addColumn<double>("oscMHz");        // as handed to the candidate control
        QTest::addColumn<double>("rateBitsPerSecond");

        const QString million = QString(1000000, QLatin1Char('9'));
        QTest::newRow("a million digits")
            << million << "500" << QStringList{kOscMessage} << 16.0 << 500000.0;
        QTest::newRow("ten thousand blanks before the rate")
            << "16" << QString(10000, QLatin1Char(' ')) + QStringLiteral("125") << QStringList{}
            << 16.0 << 125000.0;
        QTest::newRow("hexadecimal") << "&HFF"
                                     << "&H1F4" << QStringList{} << 255.0 << 500000.0;
        QTest::newRow("octal") << "&O20"
                               << "&O764" << QStringList{} << 16.0 << 500000.0;
        QTest::newRow("exponent") << "1e3"
                                  << "1e3" << QStringList{} << 1000.0 << 1000000.0;
        QTest::newRow("negative") << "-5"
                                  << "-5" << QStringList{kOscMessage, kRateMessage} << 16.0
                                  << 500000.0;
        QTest::newRow("tabs and line feeds") << "\t16\n"
                                             << "\r\n500\t" << QStringList{} << 16.0 << 500000.0;
        QTest::newRow("only blanks") << " \t\n"
                                     << "\n"
                                     << QStringList{kOscMessage, kRateMessage} << 16.0 << 500000.0;
        QTest::newRow("words a reader might take")
            << "inf"
            << "nan" << QStringList{kOscMessage, kRateMessage} << 16.0 << 500000.0;
        QTest::newRow("C hexadecimal stops at x")
            << "0x10"
            << "500" << QStringList{kOscMessage} << 16.0 << 500000.0;
        QTest::newRow("too large for a double")
            << "1e999"
            << "500" << QStringList{kOscMessage} << 16.0 << 500000.0;
        QTest::newRow("oscillator 1e300") << "1e300"
                                          << "500" << QStringList{} << 1e300 << 500000.0;
        QTest::newRow("rate exactly 1") << "1"
                                        << "1" << QStringList{} << 1.0 << 1000.0;
        QTest::newRow("rate exactly 1000") << "16"
                                           << "1000" << QStringList{} << 16.0 << 1000000.0;
        QTest::newRow("rate just above 1000")
            << "16"
            << "1000.0000001" << QStringList{kRateMessage} << 16.0 << 500000.0;
    }

    void entries() {
        QFETCH(QString, osc);
        QFETCH(QString, rate);
        QFETCH(QStringList, messages);
        QFETCH(double, oscMHz);
        QFETCH(double, rateBitsPerSecond);

        frmMainBitTime window;
        window.show();
        WindowProbe probe(window);
        // Set directly: a line edit cuts what is typed at its maximum length, a script's
        // text need not be.
        probe.SetBox("txtOsc", osc);
        probe.SetBox("txtCANBaud", rate);

        QElapsedTimer timer;
        timer.start();
        probe.Next();
        QVERIFY2(timer.elapsed() < kStepBudgetMs, qPrintable(QString::number(timer.elapsed())));

        const QStringList seen = MessageTexts();
        QCOMPARE(seen.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i) {
            QVERIFY2(seen.at(i).contains(messages.at(i)), qPrintable(seen.at(i)));
        }
        QCOMPARE(probe.Candidates()->OscFreqInMhz(), oscMHz);
        QCOMPARE(probe.Candidates()->CANBaudRate(), rateBitsPerSecond);
        QVERIFY2(NonFiniteTexts(probe.AllTexts()).isEmpty(),
                 qPrintable(NonFiniteTexts(probe.AllTexts())));
        QVERIFY(!probe.WaitCursorShown());

        // Step 3 with the first chosen candidate, or with a grid cell added by hand when the
        // search chose none, and the report of it.
        if (probe.CandidateList()->topLevelItemCount() == 0) {
            probe.AddGridCell(0, 8);
        }
        probe.Next();
        QCOMPARE(window.step(), 2);
        QVERIFY2(NonFiniteTexts(probe.AllTexts()).isEmpty(),
                 qPrintable(NonFiniteTexts(probe.AllTexts())));
        QVERIFY(probe.ReportEnabled());
        answerer->clear();
        GenerateAndCheckReport(probe);
        for (const QString& text : MessageTexts()) {
            // Only the bus idle warning may come up for a short bit.
            QVERIFY2(text.contains(QStringLiteral("Miniumum Bus Idle Time")), qPrintable(text));
        }
    }

    void boxesChangedInStepThree_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // part of the refusal, empty when accepted

        QTest::newRow("oscillator emptied") << "txtOsc"
                                            << "" << kOscMessage;
        QTest::newRow("oscillator negative") << "txtOsc"
                                             << "-16" << kOscMessage;
        QTest::newRow("oscillator only a tab") << "txtOsc"
                                               << "\t" << kOscMessage;
        QTest::newRow("rate emptied") << "txtCANBaud"
                                      << "" << kRateMessage;
        QTest::newRow("rate above 1000") << "txtCANBaud"
                                         << "1e4" << kRateMessage;
        QTest::newRow("oscillator 1e300") << "txtOsc"
                                          << "1e300" << QString();
        QTest::newRow("oscillator as hexadecimal") << "txtOsc"
                                                   << "&H10" << QString();
    }

    // The boxes stay editable in step 3: a change is picked up by the next redraw and by
    // the report, which must refuse a value that step 1 would not let through.
    void boxesChangedInStepThree() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, message);

        frmMainBitTime window;
        window.show();
        WindowProbe probe(window);
        probe.Next();
        probe.Next();
        QVERIFY(probe.ReportEnabled());

        probe.SetBox(qPrintable(box), text);
        // A scroll change redraws the diagram with the new box; then back again.
        auto* prop = probe.Child<QScrollBar>("sclProp");
        const int proposed = prop->value();
        prop->setValue(proposed + 1);
        prop->setValue(proposed);
        window.repaint();
        QVERIFY2(NonFiniteTexts(probe.AllTexts()).isEmpty(),
                 qPrintable(NonFiniteTexts(probe.AllTexts())));

        RemoveReportFiles();
        shell.opened.clear();
        const std::size_t openBefore = robustness::OpenFileCount();
        probe.GenerateReport();
        QVERIFY(!probe.WaitCursorShown());
        QCOMPARE(robustness::OpenFileCount(), openBefore);
        if (message.isEmpty()) {
            QCOMPARE(shell.opened.size(), std::size_t{1});
            QVERIFY(!quillon::fuzz::ShowsNonFinite(ReadFile(shell.opened.front())));
            QVERIFY(answerer->seen().isEmpty());
        } else {
            QCOMPARE(answerer->seen().size(), 1);
            QVERIFY2(answerer->seen().first().text.contains(message),
                     qPrintable(answerer->seen().first().text));
            QVERIFY(shell.opened.empty());
            QVERIFY(!std::filesystem::exists(robustness::WindowReportPath()));
        }
    }

    // Oscillators that pass the step-1 check (at least 1) but are so large that the
    // oscillator in hertz (from 1.8e302 MHz) or the bit rates (from about 2.9e303 MHz) no
    // longer fit in a double. The window must refuse them with a message or show their true
    // size; today the grid shows rates of "0.000 b" and the report "0.000 Hz".
    void oscillatorBeyondDoubleRange_data() {
        QTest::addColumn<QString>("osc");
        QTest::newRow("1e303") << "1e303";
        QTest::newRow("1e308") << "1e308";
    }

    void oscillatorBeyondDoubleRange() {
        QFETCH(QString, osc);
        frmMainBitTime window;
        window.show();
        WindowProbe probe(window);
        probe.SetBox("txtOsc", osc);
        probe.Next();
        const bool refused = !answerer->seen().isEmpty();
        const QStringList grid = probe.GridTexts();
        QVERIFY(NonFiniteTexts(grid).isEmpty());
        const bool zeroRates = grid.contains(QStringLiteral("0.000 b"));
        QVERIFY(refused || !zeroRates);

        probe.AddGridCell(63, 25);
        probe.Next();
        RemoveReportFiles();
        answerer->clear();
        shell.opened.clear();
        probe.GenerateReport();
        std::string page;
        if (!shell.opened.empty()) {
            page = ReadFile(shell.opened.front());
        }
        QVERIFY(!quillon::fuzz::ShowsNonFinite(page));
        const bool zeroOscillator = page.find("0.000 Hz") != std::string::npos;
        QVERIFY(!answerer->seen().isEmpty() || (!page.empty() && !zeroOscillator));
    }

    // The reader itself on a text far longer than any box holds: linear time, and an
    // overflow reads as no number.
    void readerOnHugeTexts_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        const QByteArray digits(16 * 1024 * 1024, '7');
        QTest::newRow("16 MB of digits") << digits << 0.0;
        QTest::newRow("16 MB of blanks, then 16")
            << QByteArray(16 * 1024 * 1024, ' ') + "16" << 16.0;
        QTest::newRow("16 MB of hexadecimal digits")
            << "&H" + QByteArray(16 * 1024 * 1024, 'F') << 0.0;
        QTest::newRow("16 MB of fraction digits")
            << "0." + QByteArray(16 * 1024 * 1024, '0') + "1" << 0.0;
        QTest::newRow("16 MB exponent") << "1e-" + QByteArray(16 * 1024 * 1024, '9') << 0.0;
    }

    void readerOnHugeTexts() {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QElapsedTimer timer;
        timer.start();
        const double read =
            quillon::ReadLeadingNumber(std::string_view(text.constData(), text.size()));
        QVERIFY2(timer.elapsed() < kStepBudgetMs, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(read, value);
    }
};

QTEST_MAIN(HostileInputTest)
#include "HostileInputTest.moc"
