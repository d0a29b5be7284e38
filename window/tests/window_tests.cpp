// Steps 1 and 2 of the real window, driven with typed text and clicks: the step flow, steps
// 2 and 3 built after the first frame, the input checks and their message boxes, the
// hand-over to the search, and a comma locale.
#include "candidates/CandidateGrid.h"
#include "support/ModalAnswerer.h"
#include "support/WindowDriver.h"
#include "window/CalculatorWindow.h"

#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>

#include <memory>

namespace {

QStringList TqEntries(const QWidget& window) {
    const auto* list = Child<QComboBox>(window, "lstSelectTq");
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts << list->itemText(i);
    }
    return texts;
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        answerer = std::make_unique<ModalAnswerer>();
    }
    void cleanup() { answerer.reset(); }

    void stepFlow() {
        CalculatorWindow window;
        window.show();
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("Quillon - Varnholt (https://www.varnholt.example/)"));
        QCOMPARE(Text(window, "txtOsc"), QStringLiteral("16"));
        QCOMPARE(Text(window, "txtCANBaud"), QStringLiteral("500"));
        QCOMPARE(Text(window, "lblStep"), QStringLiteral("Step 1:"));
        QVERIFY(!Child(window, "cmdBack")->isEnabled());
        QVERIFY(Child(window, "cmdTarsel")->isVisible());

        // ">" hands the inputs to the search, the rate in bit/s.
        Type(window, "txtOsc", QStringLiteral("20"));
        Type(window, "txtCANBaud", QStringLiteral("125"));
        Click(window, "cmdNext");
        auto* control = Child<CandidateGrid>(window, "vrnBitTime");
        QCOMPARE(window.step(), 1);
        QCOMPARE(Text(window, "lblStep"), QStringLiteral("Step 2"));
        QVERIFY(control->isVisible());
        QVERIFY(!Child(window, "cmdTarsel")->isVisible());
        QCOMPARE(control->OscFreqInMhz(), 20.0);
        QCOMPARE(control->CANBaudRate(), 125000.0);

        // ">" lists the chosen Tq counts and selects the first.
        Click(window, "cmdNext");
        QCOMPARE(window.step(), 2);
        QCOMPARE(Text(window, "lblStep"), QStringLiteral("Step 3"));
        QVERIFY(Child(window, "pctSegment")->isVisible());
        QVERIFY(!control->isVisible());
        QCOMPARE(TqEntries(window), (QStringList{"20", "16", "10", "8"}));
        QCOMPARE(Child<QComboBox>(window, "lstSelectTq")->currentIndex(), 0);
        QVERIFY(Child(window, "cmdBack")->isEnabled());
        QVERIFY(!Child(window, "cmdNext")->isEnabled());

        // "<" searches again with what the boxes hold now.
        Type(window, "txtOsc", QStringLiteral("24"));
        Click(window, "cmdBack");
        QCOMPARE(window.step(), 1);
        QCOMPARE(control->OscFreqInMhz(), 24.0);
        Click(window, "cmdNext");
        QCOMPARE(TqEntries(window), (QStringList{"24", "16", "12", "8"}));
    }

    void inputChecks_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QStringList>("messages"); // in the order shown
        QTest::addColumn<double>("oscMHz");        // what the search is given
        QTest::addColumn<double>("rateKbps");

        const QString osc =
            QStringLiteral("The oscillator must be greater than 0. Setting to default value.");
        const QString rate = QStringLiteral("The CAN baud rate must be greater than 0 and no "
                                            "more than 1000. Setting to default value.");
        QTest::newRow("oscillator 0") << "0"
                                      << "500" << QStringList{osc} << 16.0 << 500.0;
        QTest::newRow("oscillator beyond a double") << "1e400"
                                                    << "500" << QStringList{osc} << 16.0 << 500.0;
        QTest::newRow("rate 1000") << "16"
                                   << "1000" << QStringList{} << 16.0 << 1000.0;
        QTest::newRow("rate 1001") << "16"
                                   << "1001" << QStringList{rate} << 16.0 << 500.0;
        QTest::newRow("both, oscillator first") << "MHz"
                                                << "0" << QStringList{osc, rate} << 16.0 << 500.0;
    }

    // Step 1 shows before steps 2 and 3 exist; they follow the first frame by themselves,
    // and a window that never shows builds them when ">" needs them.
    void stepsFollowTheFirstFrame() {
        CalculatorWindow shown;
        QVERIFY(shown.findChild<CandidateGrid*>(QStringLiteral("vrnBitTime")) == nullptr);
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        QTRY_VERIFY(shown.findChild<CandidateGrid*>(QStringLiteral("vrnBitTime")) != nullptr);
        QVERIFY(shown.findChild<QWidget*>(QStringLiteral("scrFdStepThree")) != nullptr);

        CalculatorWindow hidden;
        Click(hidden, "cmdNext");
        QCOMPARE(Text(hidden, "lblStep"), QStringLiteral("Step 2"));
        QVERIFY(Child<CandidateGrid>(hidden, "vrnBitTime")->rowCount() > 2);
    }

    void inputChecks() {
        QFETCH(QString, osc);
        QFETCH(QString, rate);
        QFETCH(QStringList, messages);
        QFETCH(double, oscMHz);
        QFETCH(double, rateKbps);
        CalculatorWindow window;
        window.show();
        Type(window, "txtOsc", osc);
        Type(window, "txtCANBaud", rate);
        Click(window, "cmdNext");

        const QVector<SeenMessage> seen = answerer->take();
        QCOMPARE(seen.size(), messages.size());
        for (int i = 0; i < seen.size(); ++i) {
            QCOMPARE(seen[i].text, messages[i]);
            QCOMPARE(seen[i].title, QStringLiteral("Quillon"));
            QCOMPARE(seen[i].icon, QMessageBox::Information);
            QCOMPARE(seen[i].buttonCount, 1);
        }
        QCOMPARE(window.step(), 1);
        QCOMPARE(Text(window, "txtOsc").toDouble(), oscMHz);
        QCOMPARE(Child<CandidateGrid>(window, "vrnBitTime")->OscFreqInMhz(), oscMHz);
        QCOMPARE(Child<CandidateGrid>(window, "vrnBitTime")->CANBaudRate(), rateKbps * 1000);
    }

    // A box whose text is read as something other than typed is named in steps 2 and 3,
    // beside the step's own note; a text read as typed adds nothing.
    void boxReadings_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("said");
        QTest::newRow("decimal comma") << "16,5"
                                       << "500"
                                       << "The oscillator box holds '16,5', read as 16 MHz";
        QTest::newRow("unit typed") << "16"
                                    << "500k"
                                    << "The rate box holds '500k', read as 500 kbit/s";
        QTest::newRow("as typed") << "16"
                                  << "500"
                                  << "";
    }
    void boxReadings() {
        QFETCH(QString, osc);
        QFETCH(QString, rate);
        QFETCH(QString, said);
        CalculatorWindow window;
        window.show();
        Type(window, "txtOsc", osc);
        Type(window, "txtCANBaud", rate);
        Click(window, "cmdNext");
        const QString note = Text(window, "lblNote");
        Click(window, "cmdNext");
        const QString findings = Text(window, "lblCheck");
        if (said.isEmpty()) {
            QVERIFY2(!note.contains(QStringLiteral(" box holds ")), qPrintable(note));
            QVERIFY2(!findings.contains(QStringLiteral(" box holds ")), qPrintable(findings));
        } else {
            QVERIFY2(note.contains(said), qPrintable(note));
            QVERIFY2(findings.contains(said), qPrintable(findings));
        }
    }

    // Under a locale with a decimal comma every number shown carries the comma, and the
    // boxes are still read only up to it.
    void commaLocale() {
        const QLocale german(QLocale::German, QLocale::Germany);
        if (german.decimalPoint() != QLatin1Char(',')) {
            QSKIP("no German locale data");
        }
        QLocale::setDefault(german);
        CalculatorWindow window;
        window.show();
        Type(window, "txtOsc", QStringLiteral("16,5"));
        Click(window, "cmdNext");
        auto* control = Child<CandidateGrid>(window, "vrnBitTime");
        QCOMPARE(control->OscFreqInMhz(), 16.0);
        QCOMPARE(control->cellText(1, 1), QStringLiteral("125,000 nS"));
        QCOMPARE(Child<QTreeWidget>(window, "lvwTq")->topLevelItem(0)->text(3),
                 QStringLiteral("0,0"));
        QCOMPARE(control->cellText(1, 10), QStringLiteral("500,000 kb"));

        Click(window, "cmdNext");
        const QImage expected = RenderBitTimingImage(quillon::ProposedSetting(16, 500, 0, 16), ",",
                                                     Picture(window).size());
        QCOMPARE(Picture(window), expected);
    }
};

QTEST_MAIN(WindowTest)
#include "window_tests.moc"
