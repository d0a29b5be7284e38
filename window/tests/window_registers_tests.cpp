// Step 3's "Registers..." in the real window, by keyboard: a register set becomes a
// candidate of the Tq list and of step 2's list and is shown with its segments and flags;
// values that cannot be read, or a setting step 3 cannot hold, get a message and change
// nothing. Decoding itself is proven in timing/.
#include "candidates/CandidateGrid.h"
#include "canvas/ImageCanvas.h"
#include "support/ModalAnswerer.h"
#include "support/WindowDriver.h"
#include "timing/classic/Decode.h"
#include "window/CalculatorWindow.h"
#include "window/RegistersDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace {

QStringList StepThree(const QWidget& window) {
    return {Text(window, "lblPropDelay"), Text(window, "lblPhase1"), Text(window, "lblPhase2"),
            Text(window, "lblSJW"),       Text(window, "lblNotes"),  Text(window, "lblAnalysis"),
            Text(window, "lblCheck")};
}

// Presses "Registers..." from the keyboard and, in the dialog it opens, types `values`
// (one per box, Tab between them) and presses Return; `afterwards` sees the dialog then,
// if it is still open.
void EnterRegisters(QWidget& window, const QStringList& values,
                    const std::function<void(RegistersDialog*)>& afterwards = {}) {
    QTimer::singleShot(0, [values, afterwards] {
        auto* dialog = qobject_cast<RegistersDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        for (const QString& value : values) {
            QTest::keyClicks(QApplication::focusWidget(), value);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        if (dialog->isVisible()) {
            if (afterwards) {
                afterwards(dialog);
            }
            dialog->reject();
        }
    });
    auto* button = Child<QPushButton>(window, "cmdRegisters");
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
}

} // namespace

class RegistersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;
    // At step 3 with 16 MHz and 500 kbit/s: the entries 16 Tq (BRP-1 0) and 8 Tq (BRP-1 1).
    std::unique_ptr<CalculatorWindow> window;

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        answerer = std::make_unique<ModalAnswerer>();
        window = std::make_unique<CalculatorWindow>();
        window->show();
        GoToStep3(*window, QStringLiteral("16"), QStringLiteral("500"));
    }
    void cleanup() {
        window.reset();
        answerer.reset();
    }

    // A library's 500 kbit/s table entry: triple sampling, 1 + 7 + 7 Tq after sync, on the
    // entry already listed for 16 Tq at BRP-1 0.
    void aRegisterSetIsLoadedAndShown() {
        EnterRegisters(*window, {"0x00", "0xF0", "0x86"});
        auto* tq = Child<QComboBox>(*window, "lstSelectTq");
        QCOMPARE(tq->count(), 2);
        QCOMPARE(tq->currentIndex(), 0);
        QCOMPARE(tq->currentText(), QStringLiteral("16"));
        QCOMPARE(Child<QTreeWidget>(*window, "lvwTq")->topLevelItemCount(), 2);
        QCOMPARE(StepThree(*window).mid(0, 5),
                 (QStringList{"1", "7", "7", "1", "These settings meet all timing requirements."}));
        QVERIFY(Child<QCheckBox>(*window, "chkMultipleSampling")->isChecked());
        QVERIFY(!Child<QCheckBox>(*window, "chkUseWakeUpFilter")->isChecked());
        QVERIFY(Child<QRadioButton>(*window, "optPhase2_0")->isChecked());
        QVERIFY(Child(*window, "cmdGenerateReport")->isEnabled());
        const quillon::BitTimingSetting expected =
            quillon::DecodeRegisterValues(16, 500, quillon::RegisterLayout::Cnf, {0, 0xF0, 0x86})
                .setting;
        QCOMPARE(Picture(*window), RenderBitTimingImage(expected, ".", Picture(*window).size()));
        QVERIFY(answerer->take().isEmpty());
    }

    void whatCannotBeShownChangesNothing_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("preview"); // part of what the dialog showed meanwhile
        QTest::newRow("a value above 0xFF")
            << QStringList{"0x1FF", "0xF0", "0x86"} << "CNF1: 0x1FF is above 0xFF (255)"
            << "CNF1: 0x1FF is above 0xFF (255)";
        QTest::newRow("phase 2 of 1 Tq")
            << QStringList{"0x01", "0xB6", "0x00"}
            << "Step 3 cannot show these registers. Phase segment 2 is 1 Tq; step 3 holds 2 to "
               "8 Tq."
            << "250.000 kbps, sample point 93.8 %, 16 Tq with BRP-1 1";
    }
    void whatCannotBeShownChangesNothing() {
        QFETCH(QStringList, values);
        QFETCH(QString, message);
        QFETCH(QString, preview);
        const QStringList before = StepThree(*window);
        QStringList shown;
        EnterRegisters(*window, values, [&shown](RegistersDialog* dialog) {
            // Still open with the values as typed.
            shown << Text(*dialog, "txtValue1")
                  << Child<QPlainTextEdit>(*dialog, "txtPreview")->toPlainText();
        });
        const QVector<SeenMessage> seen = answerer->take();
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen.front().text, message);
        QCOMPARE(shown.value(0), values.front());
        QVERIFY2(shown.value(1).contains(preview), qPrintable(shown.value(1)));
        QCOMPARE(Child<QComboBox>(*window, "lstSelectTq")->count(), 2);
        QCOMPARE(Child<QTreeWidget>(*window, "lvwTq")->topLevelItemCount(), 2);
        QCOMPARE(StepThree(*window), before);
    }

    // The controller chosen in step 1 by the keyboard carries into the dialog and step 3: the
    // dialog starts with its registers (one box for the PIC32MX's CiCFG word), and the MCP2510
    // erratum shows only for the rows that have it. The set: BRP-1 0, 8 Tq on 8 MHz, 16
    // oscillator clocks a bit.
    void theControllerOfStepOneCarriesThrough_data() {
        QTest::addColumn<int>("downs"); // from the calculator's entry
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("erratum");
        QTest::addColumn<int>("gridRows"); // the heading and one row per prescaler
        QTest::newRow("calculator") << 0 << QStringList{"0x00", "0x90", "0x02"} << true << 65;
        QTest::newRow("MCP2515") << 2 << QStringList{"0x00", "0x90", "0x02"} << false << 65;
        QTest::newRow("PIC32MX") << 10 << QStringList{"0x029000"} << false << 65;
        // A peripheral clock of 8 MHz: BRP 2 (field 1), 8 Tq, CAN_BR 0x00010022.
        QTest::newRow("AT91") << 11 << QStringList{"0x00010022"} << false << 128;
    }
    void theControllerOfStepOneCarriesThrough() {
        QFETCH(int, downs);
        QFETCH(QStringList, values);
        QFETCH(bool, erratum);
        QFETCH(int, gridRows);
        window = std::make_unique<CalculatorWindow>();
        window->show();
        auto* choice = Child<QComboBox>(*window, "cboController");
        for (int i = 0; i < downs; ++i) {
            QTest::keyClick(choice, Qt::Key_Down);
        }
        GoToStep3(*window, QStringLiteral("8"), QStringLiteral("500"));
        QCOMPARE(Child<CandidateGrid>(*window, "vrnBitTime")->rowCount(), gridRows);
        EnterRegisters(*window, values);
        QVERIFY(answerer->take().isEmpty());
        QCOMPARE(Child<QComboBox>(*window, "lstSelectTq")->currentText(), QStringLiteral("8"));
        QCOMPARE(Text(*window, "lblCheck").contains(QStringLiteral("OSC1 clocks is below")),
                 erratum);
    }
};

QTEST_MAIN(RegistersTest)
#include "window_registers_tests.moc"
