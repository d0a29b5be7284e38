// What a screen reader gets from the window, read through Qt's accessibility interfaces: the
// names of the controls of every step, with a classic and with a CAN FD controller, in the
// order Tab visits them; the diagram in words; the grid's cells with whether each gives the
// rate; and the findings announced when they change. Qt hands accessibility events on only
// while its platform accessibility is active, which a screen reader turns on; the tests
// turn it on themselves, as Qt's own do.
#include "support/ModalAnswerer.h"
#include "support/WindowDriver.h"
#include "timing/common/Maker.h"
#include "ui/QtText.h"
#include "window/CalculatorWindow.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLocale>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableView>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The accessibility events Qt sent: the object and the kind.
std::vector<std::pair<QObject*, QAccessible::Event>>& Events() {
    static std::vector<std::pair<QObject*, QAccessible::Event>> events;
    return events;
}

void Record(QAccessibleEvent* event) {
    Events().emplace_back(event->object(), event->type());
}

bool Sent(QObject* object, QAccessible::Event type) {
    return std::find(Events().begin(), Events().end(), std::pair{object, type}) != Events().end();
}

QString Said(QObject* object, QAccessible::Text what = QAccessible::Name) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face != nullptr ? face->text(what) : QStringLiteral("<no interface>");
}

// What a screen reader reads for a control: the label it is labelled by (a combo box's
// caption), then its name (a combo box's current entry).
QString Announced(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    if (face == nullptr) {
        return QStringLiteral("<no interface>");
    }
    const QString name = face->text(QAccessible::Name).simplified(); // blanks are not read
    const auto labels = face->relations(QAccessible::Label);
    const QString label =
        labels.isEmpty() ? QString() : labels.front().first->text(QAccessible::Name);
    return label.isEmpty() || label == name ? name : label + QStringLiteral(": ") + name;
}

// Chooses the controller whose entry ends with `title` in step 1.
void ChooseController(const QWidget& window, const char* title) {
    auto* choice = Child<QComboBox>(window, "cboController");
    choice->setCurrentIndex(choice->findText(QString::fromLatin1(title), Qt::MatchEndsWith));
    QVERIFY(choice->currentIndex() > 0);
}

// Tab from the focused control once round the window: the name of every control it stops
// at, starting with the focused one.
QStringList TabWalk() {
    QStringList names;
    QWidget* first = QApplication::focusWidget();
    QWidget* at = first;
    do {
        names << Announced(at);
        QTest::keyClick(at, Qt::Key_Tab);
        at = QApplication::focusWidget();
    } while (at != first && at != nullptr && names.size() < 100);
    return names;
}

// The visible, enabled controls Tab can stop at that have no name. A spin box's edit line
// is the box's own part, which reads it.
QStringList Unnamed(const QWidget& window) {
    QStringList unnamed;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const bool part = qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) != nullptr;
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) &&
            !part && Announced(widget).isEmpty()) {
            unnamed << widget->objectName() + QStringLiteral(" (") +
                           QString::fromLatin1(widget->metaObject()->className()) +
                           QLatin1Char(')');
        }
    }
    return unnamed;
}

// The header bands' controls, which Tab reaches after each step's own.
QStringList Band(const QStringList& buttons) {
    return QStringList{"Oscillator Freq (Mhz)", "CAN (kBPS)"} + buttons +
           QStringList{"Open " + ToQString(quillon::kMakerUrl)};
}

} // namespace

class ScreenReaderTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;
    std::unique_ptr<CalculatorWindow> window;

private slots:
    void initTestCase() {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(Record);
        QVERIFY(QAccessible::isActive());
    }
    void init() {
        QLocale::setDefault(QLocale::c());
        answerer = std::make_unique<ModalAnswerer>();
        window = std::make_unique<CalculatorWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        Events().clear();
    }
    void cleanup() {
        window.reset();
        answerer.reset();
    }

    // Tab round each step: every control it stops at has a name, in reading order, and no
    // control it cannot reach goes without one.
    void tabWalkThroughEveryStep_data() {
        QTest::addColumn<QString>("controller");
        QTest::addColumn<QStringList>("step1");
        QTest::addColumn<QStringList>("step2");
        QTest::addColumn<QStringList>("step3");
        // 40 MHz, 500 kbit/s (and 2 Mbit/s): the first entry of step 3 is 20 Tq, the first
        // CAN FD pair 80 and 20 Tq at BRP 1.
        QTest::newRow("classic, MCP2515")
            << "MCP2515"
            << Band({"Controller: MCP2515", "Bus...", "Remember these inputs between runs",
                     "Next"}) +
                   QStringList{"Click for More Information"}
            << QStringList{"Bit rate of every prescaler and Tq count", "Chosen candidates",
                           "Remove", "Clear"} +
                   Band({"Next"})
            << QStringList{"# of Time Quanta (Tq) in one bit time: 20",
                           "Bus...",
                           "Propagation Delay (Tq)",
                           "Phase Segment 1(Tq)",
                           "Phase 2 set by its own scroll bar",
                           "Phase Segment 2 (Tq)", // the other option by the arrow keys
                           "Syncro Jump Width (Tq)",
                           "Recommend",
                           "Use multiple bit sampling (SAM)",
                           "Use wake up filter (WAKFIL)",
                           "Generate Report...",
                           "Registers...",
                           "Copy as",
                           "Findings"} +
                   Band({"Back"});
        QTest::newRow("CAN FD, MCP2518FD")
            << "MCP2518FD"
            << Band({"Controller: MCP2518FD", "Data (kBPS)", "PLL (SYSCLK = 10 x oscillator)",
                     "Bus...", "Remember these inputs between runs", "Next"}) +
                   QStringList{"Click for More Information"}
            << QStringList{"Pairs of nominal and data timing"} + Band({"Next", "Back"})
            << QStringList{"Candidate: 1: nominal BRP 1 x 80 Tq, data BRP 1 x 20 Tq",
                           "Recommend",
                           "Bus...",
                           "Nominal propagation (Tq)",
                           "Nominal phase 1 (Tq)",
                           "Nominal phase 2 (Tq)",
                           "Nominal SJW (Tq)",
                           "Data propagation (Tq)",
                           "Data phase 1 (Tq)",
                           "Data phase 2 (Tq)",
                           "Data SJW (Tq)",
                           "Notes",
                           "Generate Report...",
                           "Registers...",
                           "Copy as"} +
                   Band({"Back"});
    }
    void tabWalkThroughEveryStep() {
        QFETCH(QString, controller);
        QFETCH(QStringList, step1);
        QFETCH(QStringList, step2);
        QFETCH(QStringList, step3);
        Type(*window, "txtOsc", QStringLiteral("40"));
        Type(*window, "txtCANBaud", QStringLiteral("500"));
        ChooseController(*window, qPrintable(controller));
        Child(*window, "txtOsc")->setFocus();
        QCOMPARE(TabWalk(), step1);
        QCOMPARE(Unnamed(*window), QStringList{});
        Click(*window, "cmdNext");
        QCOMPARE(TabWalk(), step2);
        QCOMPARE(Unnamed(*window), QStringList{});
        Click(*window, "cmdNext");
        QCOMPARE(TabWalk(), step3);
        QCOMPARE(Unnamed(*window), QStringList{});
    }

    // Each rate cell reads as its rate, with whether it gives the rate asked for beside it.
    void gridCellsSayWhetherTheyMatch() {
        Type(*window, "txtOsc", QStringLiteral("16"));
        Type(*window, "txtCANBaud", QStringLiteral("500"));
        Click(*window, "cmdNext");
        QAccessibleInterface* grid =
            QAccessible::queryAccessibleInterface(Child<QTableView>(*window, "g"));
        QVERIFY(grid != nullptr && grid->tableInterface() != nullptr);
        const struct {
            int brpMinus1, tq;
            const char* name;
            const char* description;
        } cells[] = {
            {0, 16, "500.000 kb", "Matches the 500.000 kbps asked for (BRP-1 0, 16 Tq)"},
            {0, 8, "1.000 Mb",
             "1.000 Mbps, 100.0 % above the 500.000 kbps asked for (BRP-1 0, "
             "8 Tq)"},
            {1, 8, "500.000 kb", "Matches the 500.000 kbps asked for (BRP-1 1, 8 Tq)"},
            {63, 25, "5.000 kb",
             "5.000 kbps, 99.0 % below the 500.000 kbps asked for (BRP-1 63, "
             "25 Tq)"},
        };
        for (const auto& cell : cells) {
            // Table column 0 holds the quantum; the rates begin at 8 Tq in column 1.
            QAccessibleInterface* face =
                grid->tableInterface()->cellAt(cell.brpMinus1, cell.tq - 7);
            QVERIFY(face != nullptr);
            QCOMPARE(face->text(QAccessible::Name), QString::fromLatin1(cell.name));
            QCOMPARE(face->text(QAccessible::Description), QString::fromLatin1(cell.description));
        }
    }

    // The diagram in words follows the setting: the proposal for 16 Tq, then Recommend's.
    void diagramSaysItsNumbers() {
        GoToStep3(*window, QStringLiteral("16"), QStringLiteral("500"));
        QWidget* picture = Child(*window, "pctDisplay");
        QCOMPARE(Said(picture), QStringLiteral("Bit timing diagram"));
        const QString micro = QStringLiteral("\u00b5");
        QCOMPARE(Said(picture, QAccessible::Description),
                 QStringLiteral("Bit of 16 Tq at 500.000 kbps: sync 1 Tq, propagation 1 Tq (125.0 "
                                "ns), phase 1 8 Tq (1.0 ") +
                     micro +
                     QStringLiteral("s), phase 2 6 Tq (750.0 ns); SJW 1 Tq (125.0 ns); sample "
                                    "point at 62.5 % of the bit."));
        Events().clear();
        Click(*window, "cmdRecommend");
        QVERIFY(Sent(picture, QAccessible::DescriptionChanged));
        QCOMPARE(Said(picture, QAccessible::Description),
                 QStringLiteral("Bit of 16 Tq at 500.000 kbps: sync 1 Tq, propagation 8 Tq (1.0 ") +
                     micro +
                     QStringLiteral("s), phase 1 5 Tq (625.0 ns), phase 2 2 Tq (250.0 ns); SJW 2 "
                                    "Tq (250.0 ns); sample point at 87.5 % of the bit."));
    }

    // A change of the setting changes the findings: they are the findings box's description,
    // and Qt says so to the screen reader, which announces them; the verdict is the notes
    // label's text, announced as its name.
    void classicFindingsAreAnnounced() {
        GoToStep3(*window, QStringLiteral("16"), QStringLiteral("500"));
        QWidget* findings = Child(*window, "lblCheck");
        QWidget* notes = Child(*window, "lblNotes");
        QCOMPARE(Said(findings), QStringLiteral("Findings"));
        const QString before = Text(*window, "lblCheck");
        Events().clear();
        QTest::keyClick(Child(*window, "sclProp"), Qt::Key_Down); // 17 Tq of segments in 16
        QVERIFY(Text(*window, "lblCheck") != before);
        QCOMPARE(Said(findings, QAccessible::Description), Text(*window, "lblCheck"));
        QVERIFY(Sent(findings, QAccessible::DescriptionChanged));
        QCOMPARE(Said(notes), Text(*window, "lblNotes"));
        QVERIFY(Sent(notes, QAccessible::NameChanged));
        // Drawn again without a change (a repaint): nothing to announce.
        Events().clear();
        Child(*window, "pctDisplay")->repaint();
        QVERIFY(!Sent(findings, QAccessible::DescriptionChanged));
    }

    // The CAN FD notes box: the verdict and the findings as its description, announced; the
    // diagram in words with both bits.
    void fdNotesAreAnnounced() {
        Type(*window, "txtOsc", QStringLiteral("40"));
        Type(*window, "txtCANBaud", QStringLiteral("500"));
        ChooseController(*window, "MCP2518FD");
        Click(*window, "cmdNext");
        Click(*window, "cmdNext");
        auto* notes = Child<QPlainTextEdit>(*window, "txtFdNotes");
        QCOMPARE(Said(notes), QStringLiteral("Notes"));
        QCOMPARE(Said(notes, QAccessible::Description), notes->toPlainText());
        QWidget* picture = Child(*window, "pctFdDisplay");
        QVERIFY(
            Said(picture, QAccessible::Description).startsWith(QStringLiteral("Nominal bit of ")));
        const QString before = notes->toPlainText();
        Events().clear();
        Child<QSpinBox>(*window, "spnDataSjw")->setValue(1);
        Child<QSpinBox>(*window, "spnDataPhase1")->setValue(1);
        QVERIFY(notes->toPlainText() != before);
        QCOMPARE(Said(notes, QAccessible::Description), notes->toPlainText());
        QVERIFY(Sent(notes, QAccessible::DescriptionChanged));
        QVERIFY(Sent(picture, QAccessible::DescriptionChanged));
        QVERIFY(Said(picture, QAccessible::Description).contains(QStringLiteral("SJW 1 Tq")));
    }
};

QTEST_MAIN(ScreenReaderTest)
#include "window_screen_reader_tests.moc"
