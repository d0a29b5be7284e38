// The window for every user: keyboard only from step 1 to a written report, readable text on
// every fixed background and check boxes, radio buttons and focus frames that stand out
// under a light and a dark palette, what step 3 says beside the verdict, and the report's
// date in a German locale.
#include "report/classic/HtmlReport.h"
#include "report/common/ReportFiles.h"
#include "support/ModalAnswerer.h"
#include "support/RecordingShell.h"
#include "support/WindowDriver.h"
#include "ui/FixedColours.h"
#include "ui/ReadableControls.h"
#include "window/CalculatorWindow.h"

#include <QApplication>
#include <QBrush>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPalette>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTreeWidget>

#include <memory>

namespace {

QString InFolder(const char* name) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(name));
}

void RemoveReport() {
    QFile::remove(InFolder(quillon::kReportFileName));
    QFile::remove(InFolder(quillon::kBitmapFileName));
}

// What a dark desktop theme gives: light text on dark surfaces.
QPalette DarkPalette() {
    QPalette dark;
    for (const auto& [role, colour] : {std::pair{QPalette::Window, QColor(53, 53, 53)},
                                       {QPalette::WindowText, Qt::white},
                                       {QPalette::Base, QColor(35, 35, 35)},
                                       {QPalette::Text, Qt::white},
                                       {QPalette::Button, QColor(53, 53, 53)},
                                       {QPalette::ButtonText, Qt::white}}) {
        dark.setColor(role, colour);
    }
    return dark;
}

void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(target, key, modifiers);
}

QWidget* Focused() {
    return QApplication::focusWidget();
}

// The most any pixel of `area` in `image` stands out from `background`.
double Strongest(const QImage& image, const QRect& area, const QColor& background) {
    double strongest = 1.0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            strongest = std::max(strongest, ContrastRatio(image.pixelColor(x, y), background));
        }
    }
    return strongest;
}

} // namespace

class AccessTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        QApplication::setPalette(QPalette());
        answerer = std::make_unique<ModalAnswerer>();
        RemoveReport();
    }
    void cleanup() {
        answerer.reset();
        RemoveReport();
    }

    // Step 1 to a written report without the mouse: Return in a box, a cell added with
    // Space, Tab out of the grid, Alt+Right, arrow keys on a scroll bar, Return on a button.
    void keyboardOnlyToTheReport() {
        quillon::test::RecordingShell shell;
        CalculatorWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(Focused(), Child(window, "txtOsc"));
        QTest::keyClicks(Focused(), QStringLiteral("20"));
        Press(Focused(), Qt::Key_Tab);
        QTest::keyClicks(Focused(), QStringLiteral("125"));
        Press(Focused(), Qt::Key_Return);
        QCOMPARE(window.step(), 1);

        auto* grid = Child<QTableView>(window, "g");
        QCOMPARE(Focused(), grid);
        grid->setCurrentIndex(grid->model()->index(4, 9)); // BRP-1 4, 16 Tq: 125 kbit/s, 20 MHz
        Press(grid, Qt::Key_Space);
        auto* list = Child<QTreeWidget>(window, "lvwTq");
        QCOMPARE(list->topLevelItemCount(), 5);
        Press(grid, Qt::Key_Tab);
        QCOMPARE(Focused(), list);

        Press(Focused(), Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(window.step(), 2);
        QCOMPARE(Focused(), Child(window, "lstSelectTq"));
        Press(Focused(), Qt::Key_Tab);
        QCOMPARE(Focused(), Child(window, "cmdClassicBus")); // beside the list
        Press(Focused(), Qt::Key_Tab);
        QCOMPARE(Focused(), Child(window, "sclProp"));
        Press(Focused(), Qt::Key_Down); // 20 Tq proposes 3: one more breaks the total
        QCOMPARE(Text(window, "lblPropDelay"), QStringLiteral("4"));
        QVERIFY(!Child(window, "cmdGenerateReport")->isEnabled());
        Press(Focused(), Qt::Key_Up);

        auto* report = Child(window, "cmdGenerateReport");
        while (Focused() != report) {
            QWidget* before = Focused();
            Press(before, Qt::Key_Tab);
            QVERIFY2(Focused() != before, "Tab stays put");
        }
        Press(report, Qt::Key_Return);
        QVERIFY(QFile::exists(InFolder(quillon::kReportFileName)));
        QCOMPARE(shell.documents.size(), std::size_t{1});
    }

    // Wherever the window fixes a background, the text on it reads in both palettes.
    void fixedBackgroundsKeepReadableText_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light palette") << false;
        QTest::newRow("dark palette") << true;
    }
    void fixedBackgroundsKeepReadableText() {
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? DarkPalette() : QPalette());
        CalculatorWindow window;
        window.show();
        GoToStep3(window, QStringLiteral("16"), QStringLiteral("999")); // silver everywhere
        Click(window, "cmdBack");
        int checked = 0;
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (!widget->autoFillBackground() ||
                !widget->palette().isBrushSet(QPalette::Active, QPalette::Window)) {
                continue;
            }
            const QPalette palette = widget->palette();
            QVERIFY2(ContrastRatio(palette.color(QPalette::Window),
                                   palette.color(QPalette::WindowText)) >= 4.5,
                     qPrintable(widget->objectName()));
            ++checked;
        }
        QCOMPARE(checked, 3); // the two bands and the Notes box
        const auto* grid = Child<QTableView>(window, "g");
        const QModelIndex silver = grid->model()->index(0, 1);
        const auto background = silver.data(Qt::BackgroundRole).value<QBrush>();
        QVERIFY(background.style() != Qt::NoBrush);
        QVERIFY(ContrastRatio(background.color(),
                              silver.data(Qt::ForegroundRole).value<QBrush>().color()) >= 4.5);
    }

    // Check boxes, radio buttons and the focus frame as the style set at start-up draws them
    // in step 3: their frame on the window, their mark on the base, by at least 3:1.
    void controlsStandOut_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("part"); // "frame", "mark" or "focus"
        for (const bool dark : {false, true}) {
            const QString palette = dark ? QStringLiteral("dark") : QStringLiteral("light");
            const auto row = [&palette, dark](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(palette + QLatin1String(": ") + name)) << dark;
            };
            row("check box frame") << "chkMultipleSampling"
                                   << "frame";
            row("check box mark") << "chkMultipleSampling"
                                  << "mark";
            row("radio button frame") << "optPhase2_1"
                                      << "frame";
            row("radio button mark") << "optPhase2_0"
                                     << "mark";
            row("focus frame of a check box") << "chkUseWakeUpFilter"
                                              << "focus";
        }
    }
    void controlsStandOut() {
        QFETCH(bool, dark);
        QFETCH(QString, control);
        QFETCH(QString, part);
        UseReadableControls();
        QApplication::setPalette(dark ? DarkPalette() : QPalette());
        CalculatorWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        GoToStep3(window, QStringLiteral("16"), QStringLiteral("500"));
        auto* button = Child<QAbstractButton>(window, qPrintable(control));
        if (part == QLatin1String("mark")) {
            button->setChecked(true);
        } else if (part == QLatin1String("focus")) { // Tab from the check box before it
            Child(window, "chkMultipleSampling")->setFocus();
            Press(Focused(), Qt::Key_Tab);
            QCOMPARE(Focused(), button);
        }
        const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QStyle* style = button->style();
        const QRect indicator = style->subElementRect(radio ? QStyle::SE_RadioButtonIndicator
                                                            : QStyle::SE_CheckBoxIndicator,
                                                      &option, button);
        const QRect focus = style->subElementRect(QStyle::SE_CheckBoxFocusRect, &option, button);
        const QImage image = button->grab().toImage();
        const QPalette& palette = button->palette();
        const QColor background = palette.color(QPalette::Window);
        // A frame's left edge at the middle; the mark inside the frame.
        const QRect frameEdge(indicator.left(), indicator.center().y() - 1, 2, 3);
        const double ratio =
            part == QLatin1String("mark")
                ? Strongest(image, indicator.adjusted(3, 3, -3, -3), palette.color(QPalette::Base))
                : Strongest(image,
                            part == QLatin1String("focus")
                                ? QRect(focus.left(), focus.center().y() - 1, 2, 3)
                                : frameEdge,
                            background);
        QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("%1:1").arg(ratio, 0, 'f', 2)));
    }

    // Beside the verdict: the actual rate of a cell off the target, boxes edited after the
    // search, the bus idle erratum, and why a list is empty.
    void stepThreeSaysMore() {
        CalculatorWindow window;
        window.show();
        Type(window, "txtOsc", QStringLiteral("16"));
        Click(window, "cmdNext");
        auto* grid = Child<QTableView>(window, "g");
        grid->setCurrentIndex(grid->model()->index(0, 1)); // BRP-1 0, 8 Tq: 1 Mbit/s
        Press(grid, Qt::Key_Return);
        Click(window, "cmdNext");
        auto* tq = Child<QComboBox>(window, "lstSelectTq");
        QCOMPARE(tq->count(), 3); // 16 and 8 from the search, the added 8 last
        Press(tq, Qt::Key_Down);
        Press(tq, Qt::Key_Down);
        const QString checks = Text(window, "lblCheck");
        // Each finding with a mark and its severity in words.
        QVERIFY2(checks.contains(QStringLiteral("\u2716 Error: The bit rate is 1.000 Mbps, 100.0 % "
                                                "above the 500.000 kbps asked for")),
                 qPrintable(checks));
        QVERIFY(checks.contains(
            QStringLiteral("\u26a0 Warning: A bit of 16 OSC1 clocks is below the 26")));

        Type(window, "txtOsc", QStringLiteral("20"));
        QVERIFY(Text(window, "lblCheck").contains(QStringLiteral("press < to recalculate")));

        Type(window, "txtOsc", QStringLiteral("8"));
        Type(window, "txtCANBaud", QStringLiteral("1000"));
        Click(window, "cmdBack");
        Click(window, "cmdNext");
        QCOMPARE(Text(window, "lblCheck"),
                 QStringLiteral("No prescaler and Tq count gives 1.000 Mbps from 8.000 MHz. "
                                "Nearest: 500.000 kbps (BRP-1 0, 8 Tq)."));
    }

    // The time stamp keeps its order and takes the locale's separators.
    void reportDateFollowsTheLocale() {
        QCOMPARE(LocaleDateSeparators(QLocale(QLocale::German, QLocale::Germany)).sDate,
                 std::string("."));
        QCOMPARE(LocaleDateSeparators(QLocale(QLocale::German, QLocale::Germany)).sTime,
                 std::string(":"));
        QCOMPARE(LocaleDateSeparators(QLocale::c()).sDate, std::string("/"));
    }
};

QTEST_MAIN(AccessTest)
#include "window_access_tests.moc"
