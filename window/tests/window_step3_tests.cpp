// Step 3 of the real window: choosing a Tq entry, the segment controls, the verdict with
// the report button, and the diagram redrawn into the window's picture on every change.
// The rules and the drawing themselves are proven in timing/ and diagram/.
#include "support/ModalAnswerer.h"
#include "support/WindowDriver.h"
#include "timing/classic/BitTiming.h"
#include "ui/QtText.h"
#include "window/CalculatorWindow.h"

#include <QCheckBox>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

namespace {

bool Checked(const QWidget& window, const char* name) {
    return Child<QAbstractButton>(window, name)->isChecked();
}

QStringList SegmentLabels(const QWidget& window) {
    return {Text(window, "lblPropDelay"), Text(window, "lblPhase1"), Text(window, "lblPhase2"),
            Text(window, "lblSJW")};
}

} // namespace

class Step3Test : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;
    // At step 3 with 16 MHz and 500 kbit/s: the entries 16 Tq (BRP-1 0) and 8 Tq (BRP-1 1).
    std::unique_ptr<CalculatorWindow> window;

    // The window shows the verdict, report button state and diagram of this setting.
    void checkShows(const quillon::BitTimingSetting& setting) {
        const quillon::BitTimingFacts facts = quillon::DescribeBitTiming(setting);
        QCOMPARE(Text(*window, "lblNotes"), ToQString(facts.sVerdict));
        QCOMPARE(Child(*window, "cmdGenerateReport")->isEnabled(), facts.Passes());
        QCOMPARE(Picture(*window), RenderBitTimingImage(setting, ".", Picture(*window).size()));
        const QString tolerance =
            QString::fromStdString(quillon::OscToleranceText(facts.analysis, "."));
        QVERIFY2(Text(*window, "lblAnalysis").contains(tolerance + " %"),
                 qPrintable(Text(*window, "lblAnalysis")));
    }

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

    void choosingAnEntryShowsItsProposal() {
        QCOMPARE(SegmentLabels(*window), (QStringList{"1", "8", "6", "1"}));
        QVERIFY(ChooseTq(*window, QStringLiteral("8")));
        QCOMPARE(SegmentLabels(*window), (QStringList{"1", "3", "3", "1"}));
        checkShows(quillon::ProposedSetting(16, 500, 1, 8));
    }

    void everyControlRedrawsAndChecks_data() {
        QTest::addColumn<QString>("tq");
        QTest::addColumn<QString>("control"); // clicked; a scroll bar on its lower arrow
        QTest::addColumn<QString>("label");   // the bar's value label
        QTest::newRow("propagation") << "8"
                                     << "sclProp"
                                     << "lblPropDelay";
        QTest::newRow("phase 1") << "8"
                                 << "sclPhase1"
                                 << "lblPhase1";
        QTest::newRow("phase 2") << "8"
                                 << "sclPhase2"
                                 << "lblPhase2";
        QTest::newRow("SJW") << "8"
                             << "sclSJW"
                             << "lblSJW";
        QTest::newRow("multiple sampling") << "8"
                                           << "chkMultipleSampling"
                                           << "";
        QTest::newRow("larger-of by its indicator") << "16"
                                                    << "optPhase2_1"
                                                    << "";
        QTest::newRow("larger-of by its caption") << "16"
                                                  << "optPhase2_1Caption"
                                                  << "";
    }

    void everyControlRedrawsAndChecks() {
        QFETCH(QString, tq);
        QFETCH(QString, control);
        QFETCH(QString, label);
        QVERIFY(ChooseTq(*window, tq));
        quillon::BitTimingSetting expected =
            quillon::ProposedSetting(16, 500, tq == "8" ? 1 : 0, tq.toInt());
        quillon::SegmentSettings& s = expected.segments;
        int* bar = control == "sclProp"     ? &s.lPropagation
                   : control == "sclPhase1" ? &s.lPhase1
                   : control == "sclPhase2" ? &s.lPhase2
                   : control == "sclSJW"    ? &s.lSJW
                                            : nullptr;
        if (bar != nullptr) {
            ClickArrow(Child<QScrollBar>(*window, qPrintable(control)), true);
            ++*bar;
            QCOMPARE(Text(*window, qPrintable(label)), QString::number(*bar));
        } else {
            Click(*window, qPrintable(control));
            s.bSam = control == "chkMultipleSampling";
            s.mode = s.bSam ? s.mode : quillon::Phase2Mode::LargerOf;
        }
        const bool largerOf = s.mode == quillon::Phase2Mode::LargerOf;
        QCOMPARE(Checked(*window, "optPhase2_1"), largerOf);
        QCOMPARE(Child(*window, "sclPhase2")->isEnabled(), !largerOf);
        QCOMPARE(Child(*window, "lblPhase2")->isEnabled(), !largerOf);
        checkShows(expected);
    }

    void anotherEntryStartsAfresh() {
        ClickArrow(Child<QScrollBar>(*window, "sclSJW"), true);
        Click(*window, "chkMultipleSampling");
        Click(*window, "chkUseWakeUpFilter");
        Click(*window, "optPhase2_1");
        QVERIFY(ChooseTq(*window, QStringLiteral("8")));
        QCOMPARE(SegmentLabels(*window), (QStringList{"1", "3", "3", "1"}));
        QVERIFY(!Checked(*window, "chkMultipleSampling"));
        QVERIFY(!Checked(*window, "chkUseWakeUpFilter"));
        QVERIFY(Checked(*window, "optPhase2_0"));
        QVERIFY(Child(*window, "sclPhase2")->isEnabled());
        checkShows(quillon::ProposedSetting(16, 500, 1, 8));
    }

    void emptyListAsksForASelection() {
        Type(*window, "txtCANBaud", QStringLiteral("999")); // no combination hits it
        Click(*window, "cmdBack");
        Click(*window, "cmdNext");
        QCOMPARE(Child<QComboBox>(*window, "lstSelectTq")->count(), 0);
        QVERIFY(!Child(*window, "lstSelectTq")->isEnabled());
        QCOMPARE(Text(*window, "lblNotes"), QStringLiteral("Please select a Tq setting."));
        QVERIFY(!Child(*window, "cmdGenerateReport")->isEnabled());
    }

    void notesStandOnWhite() {
        const QImage notes = Child(*window, "lblNotes")->grab().toImage();
        QCOMPARE(notes.pixel(notes.width() - 2, notes.height() - 2), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(Step3Test)
#include "window_step3_tests.moc"
