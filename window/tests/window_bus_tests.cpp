// The bus as built in the real window, by keyboard: a bus set with "Bus..." in step 1 or in
// step 3 reaches the findings and the analysis line of both steps 3 at once; Cancel keeps
// the bus there was, and a value the model refuses gets a message and leaves the dialog open
// with what was typed. What the findings say is proven in timing/.
#include "support/ModalAnswerer.h"
#include "support/WindowDriver.h"
#include "timing/classic/BitTiming.h"
#include "ui/QtText.h"
#include "window/BusDialog.h"
#include "window/CalculatorWindow.h"
#include "window/StepThreeNotes.h"

#include <QApplication>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Presses the "Bus..." button `button` from the keyboard and, in the dialog it opens, types
// `values` into the length, cable, loop delay and crystal boxes (an empty value leaves a
// box as it is) and presses `finish`; `afterwards` sees the dialog then, if it is still open.
void EnterBus(QWidget& window, const char* button, const QStringList& values,
              Qt::Key finish = Qt::Key_Return,
              const std::function<void(BusDialog*)>& afterwards = {}) {
    QTimer::singleShot(0, [values, finish, afterwards] {
        auto* dialog = qobject_cast<BusDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        for (const QString& value : values) {
            if (!value.isEmpty()) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(QApplication::focusWidget(), value);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), finish);
        if (dialog->isVisible()) {
            if (afterwards) {
                afterwards(dialog);
            }
            dialog->reject();
        }
    });
    auto* pressed = Child<QPushButton>(window, button);
    pressed->setFocus();
    QTest::keyClick(pressed, Qt::Key_Space);
}

} // namespace

class BusTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;
    std::unique_ptr<CalculatorWindow> window;

    // Step 3 shows the findings and the analysis of the 500 kbit/s proposal on `bus`.
    void checkClassicShows(const quillon::BusContext& bus) {
        const quillon::BitTimingFacts facts =
            quillon::DescribeBitTiming(quillon::ProposedSetting(16, 500, 0, 16), ".", bus);
        QCOMPARE(Text(*window, "lblCheck"), SettingCheckTexts(facts).join(QLatin1Char('\n')));
        QCOMPARE(Text(*window, "lblAnalysis"), AnalysisText(facts, "."));
        QCOMPARE(Text(*window, "lblBus"), QStringLiteral("Bus: ") + BusSummary(bus));
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        answerer = std::make_unique<ModalAnswerer>();
        window = std::make_unique<CalculatorWindow>();
        window->show();
    }
    void cleanup() {
        window.reset();
        answerer.reset();
    }

    // 40 m of cable: the 1 Tq propagation segment of the 16 MHz proposal covers none of it.
    // With faster transceivers the analysis line's bus length follows too.
    void aBusSetInStepThreeJudgesTheSetting_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<double>("loopDelayNs");
        QTest::newRow("40 m") << QStringList{"40"} << quillon::kDefaultLoopDelayNs;
        QTest::newRow("40 m, 50 ns transceivers") << QStringList{"40", "", "50"} << 50.0;
    }
    void aBusSetInStepThreeJudgesTheSetting() {
        QFETCH(QStringList, values);
        QFETCH(double, loopDelayNs);
        GoToStep3(*window, QStringLiteral("16"), QStringLiteral("500"));
        checkClassicShows({});
        EnterBus(*window, "cmdClassicBus", values);
        QVERIFY(answerer->take().isEmpty());
        quillon::BusContext bus;
        bus.dBusLengthMetres = 40;
        bus.dLoopDelayNs = loopDelayNs;
        checkClassicShows(bus);
        QVERIFY2(
            Text(*window, "lblCheck").startsWith(QStringLiteral("\u2716 Error: The propagation")),
            qPrintable(Text(*window, "lblCheck")));
    }

    // Set in step 1, the bus reaches the CAN FD step 3 with its transceiver class.
    void aBusSetInStepOneReachesCanFd() {
        QTimer::singleShot(0, [] {
            // The transceiver class: one down from "none" is 2M.
            QTest::keyClick(QApplication::activeModalWidget()->findChild<QWidget*>(
                                QStringLiteral("cboTransceiver")),
                            Qt::Key_Down);
        });
        EnterBus(*window, "cmdBus", {"40"});
        Type(*window, "txtOsc", QStringLiteral("40"));
        Type(*window, "txtCANBaud", QStringLiteral("500"));
        for (int i = 0; i < 20 && !Child(*window, "txtDataRate")->isVisible(); ++i) {
            QTest::keyClick(Child(*window, "cboController"), Qt::Key_Down);
        }
        Click(*window, "cmdNext");
        Click(*window, "cmdNext");
        QVERIFY(Text(*window, "lblFdBus").contains(QStringLiteral("40 m")));
        QVERIFY(Text(*window, "lblFdBus").contains(QStringLiteral("2M transceivers")));
        const QString notes = Child<QPlainTextEdit>(*window, "txtFdNotes")->toPlainText();
        QVERIFY2(notes.contains(QStringLiteral("\u2716 Error: The nominal propagation")),
                 qPrintable(notes));
    }

    void cancelKeepsTheBus() {
        GoToStep3(*window, QStringLiteral("16"), QStringLiteral("500"));
        EnterBus(*window, "cmdClassicBus", {"40"});
        EnterBus(*window, "cmdClassicBus", {"1", "10"}, Qt::Key_Escape);
        quillon::BusContext bus;
        bus.dBusLengthMetres = 40;
        checkClassicShows(bus);
        QVERIFY(answerer->take().isEmpty());
    }

    void whatTheModelRefusesChangesNothing_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("box"); // the box at fault
        QTest::addColumn<QString>("message");
        QTest::newRow("not a number")
            << QStringList{"", "fast"} << "txtCableDelay"
            << QStringLiteral("The cable delay \"fast\" is not a number.");
        QTest::newRow("out of its range")
            << QStringList{"", "", "", "-1"} << "txtCrystalPpm"
            << QStringLiteral("The crystal tolerance -1 ppm is outside 0 to 20000 ppm.");
    }
    void whatTheModelRefusesChangesNothing() {
        QFETCH(QStringList, values);
        QFETCH(QString, box);
        QFETCH(QString, message);
        GoToStep3(*window, QStringLiteral("16"), QStringLiteral("500"));
        QString kept;
        bool focused = false;
        EnterBus(*window, "cmdClassicBus", values, Qt::Key_Return,
                 [&kept, &focused, &box](BusDialog* dialog) {
                     // Still open, with the box at fault as it was typed and focused.
                     const auto* wrong = Child<QLineEdit>(*dialog, qPrintable(box));
                     kept = wrong->text();
                     focused = dialog->focusWidget() == wrong;
                 });
        const QVector<SeenMessage> seen = answerer->take();
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen.front().text, message);
        QCOMPARE(kept, values.back());
        QVERIFY(focused);
        checkClassicShows({});
    }
};

QTEST_MAIN(BusTest)
#include "window_bus_tests.moc"
