// The window's lists and what it keeps, in the real window: a register set already listed is
// chosen again rather than listed twice; step 2's chosen list takes Return, Delete, Home and
// End; the "<" and ">" tooltips name the keys that press them; and "Remember these inputs"
// keeps step 1's inputs between runs only while it is on, ignoring stored values that no
// longer read. The settings file lives in a scratch folder.
#include "support/ModalAnswerer.h"
#include "support/TempFolder.h"
#include "support/WindowDriver.h"
#include "window/CalculatorWindow.h"
#include "window/RegistersDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <memory>

namespace {

QStringList ListedTq(const QWidget& window) {
    QStringList texts;
    const auto* list = Child<QTreeWidget>(window, "lvwTq");
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        texts << list->topLevelItem(i)->text(0);
    }
    return texts;
}

// Types `values` into the dialog "Registers..." opens, Tab between them, and accepts.
void EnterRegisters(QWidget& window, const QStringList& values) {
    QTimer::singleShot(0, [values] {
        QVERIFY(QTest::qWaitForWindowActive(QApplication::activeModalWidget()));
        for (const QString& value : values) {
            QTest::keyClicks(QApplication::focusWidget(), value);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QTest::keyClick(Child(window, "cmdRegisters"), Qt::Key_Space);
}

QSettings Stored() {
    return {QSettings::NativeFormat, QSettings::UserScope, "Quillon", "quillon"};
}

} // namespace

class ListsTest : public QObject {
    Q_OBJECT

    quillon::test::TempFolder config;
    std::unique_ptr<ModalAnswerer> answerer;
    std::unique_ptr<CalculatorWindow> window;

    CalculatorWindow& Open() {
        window = std::make_unique<CalculatorWindow>();
        window->show();
        return *window;
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale::c());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(config.path().string()));
    }
    void init() {
        Stored().clear();
        answerer = std::make_unique<ModalAnswerer>();
    }
    void cleanup() {
        window.reset();
        QVERIFY(answerer->take().isEmpty());
        answerer.reset();
    }

    // 16 MHz and 500 kbit/s list 16 Tq (BRP-1 0) and 8 Tq (BRP-1 1).
    void aRegisterSetIsListedOnce_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<int>("chosen");
        QTest::newRow("16 Tq, BRP-1 0: listed first")
            << QStringList{"0x00", "0xF0", "0x86"} << QStringList{"16", "8"} << 0;
        QTest::newRow("8 Tq, BRP-1 1: listed second")
            << QStringList{"0x01", "0x90", "0x02"} << QStringList{"16", "8"} << 1;
        QTest::newRow("8 Tq, BRP-1 0: not listed")
            << QStringList{"0x00", "0x90", "0x02"} << QStringList{"16", "8", "8"} << 2;
    }
    void aRegisterSetIsListedOnce() {
        QFETCH(QStringList, values);
        QFETCH(QStringList, listed);
        QFETCH(int, chosen);
        GoToStep3(Open(), QStringLiteral("16"), QStringLiteral("500"));
        for (int twice = 0; twice < 2; ++twice) {
            EnterRegisters(*window, values);
            auto* tq = Child<QComboBox>(*window, "lstSelectTq");
            QStringList inBox;
            for (int i = 0; i < tq->count(); ++i) {
                inBox << tq->itemText(i);
            }
            QCOMPARE(inBox, listed);
            QCOMPARE(ListedTq(*window), listed);
            QCOMPARE(tq->currentIndex(), chosen);
        }
    }

    // 20 MHz and 125 kbit/s list 20, 16, 10 and 8 Tq; the keys go to the chosen list.
    void theChosenListTakesItsKeys_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<int>("step");
        const QStringList all{"20", "16", "10", "8"};
        QTest::newRow("Return goes on") << QList<int>{Qt::Key_Return} << all << 2;
        QTest::newRow("Enter goes on") << QList<int>{Qt::Key_Enter} << all << 2;
        QTest::newRow("Delete, nothing selected") << QList<int>{Qt::Key_Delete} << all << 1;
        QTest::newRow("End, Delete")
            << QList<int>{Qt::Key_End, Qt::Key_Delete} << QStringList{"20", "16", "10"} << 1;
        QTest::newRow("End, Delete, End, Delete") // the current entry chosen again
            << QList<int>{Qt::Key_End, Qt::Key_Delete, Qt::Key_End, Qt::Key_Delete}
            << QStringList{"20", "16"} << 1;
        QTest::newRow("End, Up, Delete twice")
            << QList<int>{Qt::Key_End, Qt::Key_Up, Qt::Key_Delete, Qt::Key_Delete}
            << QStringList{"20", "16", "8"} << 1;
        QTest::newRow("End, Home, Delete") << QList<int>{Qt::Key_End, Qt::Key_Home, Qt::Key_Delete}
                                           << QStringList{"16", "10", "8"} << 1;
        QTest::newRow("Delete, then Return")
            << QList<int>{Qt::Key_Home, Qt::Key_Delete, Qt::Key_Return}
            << QStringList{"16", "10", "8"} << 2;
    }
    void theChosenListTakesItsKeys() {
        QFETCH(QList<int>, keys);
        QFETCH(QStringList, listed);
        QFETCH(int, step);
        Type(Open(), "txtOsc", QStringLiteral("20"));
        Type(*window, "txtCANBaud", QStringLiteral("125"));
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        Click(*window, "cmdNext");
        QTest::keyClick(Child(*window, "g"), Qt::Key_Tab); // on from the grid, as a user goes
        QCOMPARE(QApplication::focusWidget(), Child(*window, "lvwTq"));
        for (const int key : keys) {
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
        }
        QCOMPARE(ListedTq(*window), listed);
        QCOMPARE(window->step(), step);
        if (step == 2) { // step 3 offers what the list held
            QCOMPARE(Child<QComboBox>(*window, "lstSelectTq")->count(), listed.size());
        }
    }

    // In the grid Return still adds the cell and stays in step 2.
    void returnInTheGridAddsTheCell() {
        Type(Open(), "txtOsc", QStringLiteral("20"));
        Type(*window, "txtCANBaud", QStringLiteral("125"));
        Click(*window, "cmdNext");
        auto* grid = Child<QTableView>(*window, "g");
        grid->setCurrentIndex(grid->model()->index(0, 1)); // BRP-1 0, 8 Tq
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(ListedTq(*window), (QStringList{"20", "16", "10", "8", "8"}));
        QCOMPARE(window->step(), 1);
    }

    // Each tooltip names the key, and the key presses the button.
    void theStepButtonsNameTheirKeys_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow(">") << QStringLiteral("cmdNext") << QStringLiteral("Alt+Right") << 0 << 1;
        QTest::newRow("<") << QStringLiteral("cmdBack") << QStringLiteral("Alt+Left") << 2 << 1;
    }
    void theStepButtonsNameTheirKeys() {
        QFETCH(QString, button);
        QFETCH(QString, key);
        QFETCH(int, from);
        QFETCH(int, to);
        Open();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        while (window->step() < from) {
            Click(*window, "cmdNext");
        }
        const QString tip = Child(*window, qPrintable(button))->toolTip();
        QVERIFY2(tip.endsWith(QStringLiteral(" (%1)").arg(key)), qPrintable(tip));
        const QKeyCombination keys = QKeySequence::fromString(key)[0];
        QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
        QCOMPARE(window->step(), to);
    }

    // Off, as it starts: the first window holds the defaults and nothing is written.
    void offKeepsNothing() {
        Type(Open(), "txtOsc", QStringLiteral("20"));
        QVERIFY(!Child<QCheckBox>(*window, "chkRemember")->isChecked());
        window->close();
        QVERIFY(Stored().allKeys().isEmpty());
        QCOMPARE(Text(Open(), "txtOsc"), QStringLiteral("16"));
    }

    // On: the next window starts with the inputs and the bus; turned off, they are gone.
    void onKeepsTheInputsUntilTurnedOff() {
        Open();
        auto* choice = Child<QComboBox>(*window, "cboController");
        choice->setCurrentIndex(choice->findText(QStringLiteral("    MCP2518FD")));
        Type(*window, "txtOsc", QStringLiteral("4"));
        Type(*window, "txtCANBaud", QStringLiteral("250"));
        Type(*window, "txtDataRate", QStringLiteral("1000"));
        Child<QCheckBox>(*window, "chkPll")->setChecked(true);
        QTimer::singleShot(0, [] { // the bus dialog: 40 m in its first box
            QVERIFY(QTest::qWaitForWindowActive(QApplication::activeModalWidget()));
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("40"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QTest::keyClick(Child(*window, "cmdBus"), Qt::Key_Space);
        QTest::keyClick(Child(*window, "chkRemember"), Qt::Key_Space);
        window->close();

        Open();
        QCOMPARE(Child<QComboBox>(*window, "cboController")->currentText(),
                 QStringLiteral("    MCP2518FD"));
        QCOMPARE((QStringList{Text(*window, "txtOsc"), Text(*window, "txtCANBaud"),
                              Text(*window, "txtDataRate")}),
                 (QStringList{"4", "250", "1000"}));
        QVERIFY(Child<QCheckBox>(*window, "chkPll")->isChecked());
        QVERIFY(Child<QCheckBox>(*window, "chkRemember")->isChecked());
        QVERIFY(Child(*window, "cmdBus")->toolTip().contains(QStringLiteral(": 40 m, 5 ns/m,")));

        QTest::keyClick(Child(*window, "chkRemember"), Qt::Key_Space);
        QVERIFY(Stored().allKeys().isEmpty());
        window->close();
        QCOMPARE(Child<QComboBox>(Open(), "cboController")->currentIndex(), 0);
        QCOMPARE(Text(*window, "txtOsc"), QStringLiteral("16"));
    }

    // A hand-edited value that does not read is left out with a warning; the rest comes back.
    void whatNoLongerReadsIsIgnored_data() {
        QTest::addColumn<QStringList>("edit");  // a line of the file, as edited, end of warning
        QTest::addColumn<QStringList>("boxes"); // controller, oscillator, rate, data rate
        const QString fd = QStringLiteral("    MCP2518FD");
        QTest::newRow("a comma") << QStringList{"oscillator=4", "oscillator=16,5", "16.5?"}
                                 << QStringList{fd, "16", "250", "1000"};
        QTest::newRow("a rate above 1000")
            << QStringList{"rate=250", "rate=2000", "no more than 1000"}
            << QStringList{fd, "4", "500", "1000"};
        QTest::newRow("a data rate in words")
            << QStringList{"dataRate=1000", "dataRate=fast", "is not a number"}
            << QStringList{fd, "4", "250", "2000"};
        QTest::newRow("a controller no longer known")
            << QStringList{"controller=mcp2518fd", "controller=mcp9999", "no controller of"}
            << QStringList{"CAN 2.0 (MCP251X, PIC18, dsPIC, PIC24H)", "4", "250", "1000"};
        QTest::newRow("a PLL of maybe")
            << QStringList{"pll=false", "pll=maybe", "neither true nor false"}
            << QStringList{fd, "4", "250", "1000"};
        QTest::newRow("a negative bus length")
            << QStringList{"length=", "length=-5", "The bus length"}
            << QStringList{fd, "4", "250", "1000"};
    }
    void whatNoLongerReadsIsIgnored() {
        QFETCH(QStringList, edit);
        QFETCH(QStringList, boxes);
        QString text =
            QStringLiteral("[window]\nrememberInputs=true\n[inputs]\ncontroller=mcp2518fd"
                           "\noscillator=4\nrate=250\ndataRate=1000\npll=false\n[bus]"
                           "\nlength=\n");
        text.replace(QLatin1Char('\n') + edit[0] + QLatin1Char('\n'),
                     QLatin1Char('\n') + edit[1] + QLatin1Char('\n'));
        const std::filesystem::path file = Stored().fileName().toStdString();
        std::filesystem::create_directories(file.parent_path());
        quillon::test::WriteFile(file, text.toStdString());
        const QString warning = QStringLiteral("^Quillon: the remembered .* '[^']*%1[^']*' in "
                                               ".* is not used: .*%2.* It keeps its default\\.$")
                                    .arg(QRegularExpression::escape(edit[1].section('=', 1)),
                                         QRegularExpression::escape(edit[2]));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        Open();
        QCOMPARE((QStringList{Child<QComboBox>(*window, "cboController")->currentText(),
                              Text(*window, "txtOsc"), Text(*window, "txtCANBaud"),
                              Text(*window, "txtDataRate")}),
                 boxes);
        QVERIFY(Child(*window, "cmdBus")->toolTip().contains(QStringLiteral("no length check")));
    }
};

QTEST_MAIN(ListsTest)
#include "window_lists_tests.moc"
