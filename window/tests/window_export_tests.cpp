// Step 3's "Copy as" menu in the real window: a form lands on the clipboard, a target's
// objection comes in a warning box, nothing is copied from a box that cannot be computed
// with, a note that screen readers take as an alert says which, the kernel dialog shows the
// shared comparison text, and the keyboard reaches and opens the menu. The forms and the
// comparison themselves are proven in report/.
#include "report/classic/Export.h"
#include "report/classic/KernelComparisonText.h"
#include "support/ModalAnswerer.h"
#include "support/WindowDriver.h"
#include "ui/QtText.h"
#include "window/CalculatorWindow.h"
#include "window/KernelDialog.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLocale>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include <memory>

class ExportTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;
    // At step 3 with 16 MHz and 500 kbit/s, on the first entry: 16 Tq of BRP-1 0.
    std::unique_ptr<CalculatorWindow> window;

    void trigger(const QString& action) {
        QAction* found = window->findChild<QAction*>(action);
        QVERIFY2(found != nullptr, qPrintable(action));
        emit Child<QMenu>(*window, "mnuCopyAs")->aboutToShow();
        QVERIFY(found->isEnabled());
        found->trigger();
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        answerer = std::make_unique<ModalAnswerer>();
        window = std::make_unique<CalculatorWindow>();
        window->show();
        GoToStep3(*window, QStringLiteral("16"), QStringLiteral("500"));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }
    void cleanup() {
        window.reset();
        answerer.reset();
    }

    void copyAs_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("change");    // "wakfil" or "oscillator emptied"
        QTest::addColumn<QString>("clipboard"); // what it holds afterwards
        QTest::addColumn<int>("icon");          // of the one box shown, or NoIcon for none
        QTest::addColumn<QString>("note");      // beside the button

        const quillon::BitTimingSetting proposal = quillon::ProposedSetting(16, 500, 0, 16);
        QTest::newRow("C header on the clipboard")
            << "mnuCopyAs_c-mcp251x"
            << ""
            << ToQString(quillon::ExportSetting(quillon::ExportFormat::CMcp251x, proposal).text)
            << int(QMessageBox::NoIcon)
            << "Copied the C header for the MCP251x (CNF1..CNF3) to the clipboard.";
        QTest::newRow("ip link copied, WAKFIL warned about")
            << "mnuCopyAs_ip-link"
            << "wakfil"
            << "ip link set can0 type can tq 125 prop-seg 1 phase-seg1 8 phase-seg2 6 sjw 1\n"
            << int(QMessageBox::Warning)
            << "Copied the Linux ip link command to the clipboard; its target would refuse or "
               "change it.";
        QTest::newRow("nothing copied without an oscillator")
            << "mnuCopyAs_networkd"
            << "oscillator emptied"
            << "before" << int(QMessageBox::Information)
            << "Nothing was copied: the systemd-networkd file cannot be made.";
    }
    void copyAs() {
        QFETCH(QString, action);
        QFETCH(QString, change);
        QFETCH(QString, clipboard);
        QFETCH(int, icon);
        QFETCH(QString, note);
        if (change == QLatin1String("wakfil")) {
            Click(*window, "chkUseWakeUpFilter");
        } else if (change == QLatin1String("oscillator emptied")) {
            Type(*window, "txtOsc", QString());
        }
        trigger(action);
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY2(copied == clipboard || copied.contains(QLatin1Char('\n') + clipboard),
                 qPrintable(copied));
        const QVector<SeenMessage> boxes = answerer->take();
        QCOMPARE(boxes.size(), icon == QMessageBox::NoIcon ? 0 : 1);
        if (!boxes.isEmpty()) {
            QCOMPARE(int(boxes.first().icon), icon);
            QVERIFY(boxes.first().text.contains(change == QLatin1String("wakfil")
                                                    ? QStringLiteral("(WAKFIL) off")
                                                    : QStringLiteral("must be greater than 0")));
        }
        auto* shown = Child<QLabel>(*window, "cmdCopyAsNote");
        QVERIFY(shown->isVisible());
        QCOMPARE(shown->text(), note);
        // An alert to screen readers, which read its text out when it shows.
        QAccessibleInterface* told = QAccessible::queryAccessibleInterface(shown);
        QCOMPARE(told->role(), QAccessible::AlertMessage);
        QCOMPARE(told->text(QAccessible::Name), note);
    }

    void kernelDialogShowsTheComparison() {
        trigger(QStringLiteral("mnuKernelChoice"));
        auto* dialog = window->findChild<KernelDialog*>(QStringLiteral("KernelDialog"));
        QVERIFY(dialog != nullptr && dialog->isVisible());
        QCOMPARE(dialog->text(),
                 ToQString(quillon::KernelComparisonText(quillon::CompareWithKernel(16, 500))));
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
    }

    void keyboardReachesAndOpensTheMenu() {
        auto* button = Child<QToolButton>(*window, "cmdCopyAs");
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        Child(*window, "cmdRegisters")->setFocus(); // the button before it in reading order
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button);
        const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {{Qt::Key_Return, Qt::NoModifier},
                                                                  {Qt::Key_Space, Qt::NoModifier},
                                                                  {Qt::Key_Down, Qt::AltModifier}};
        for (const auto& [key, modifiers] : keys) {
            // The menu runs its own loop; the timer looks at it from inside and closes it.
            auto popup = std::make_shared<QWidget*>(nullptr);
            QTimer::singleShot(0, this, [popup] {
                *popup = QApplication::activePopupWidget();
                if (*popup != nullptr) {
                    (*popup)->close();
                }
            });
            QTest::keyClick(button, key, modifiers);
            QCoreApplication::processEvents();
            QCOMPARE(*popup, static_cast<QWidget*>(button->menu()));
        }
    }
};

QTEST_MAIN(ExportTest)
#include "window_export_tests.moc"
