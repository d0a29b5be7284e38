// Drives step 3 of the real calculator window: the proposal for the chosen Tq count, the
// scroll bars, options and check boxes, the verdict of the timing rules with the report
// button, and the diagram picture that every change redraws.
#include "ModalAnswerer.h"
#include "WindowDriver.h"
#include "window/BitTimingDiagram.h"
#include "window/BitTimingPicture.h"
#include "window/ImageCanvas.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QString kPass = QStringLiteral("These settings meet all timing requirements.");
const QString kNoSelection = QStringLiteral("Please select a Tq setting.");
const QString kWrongTotal = QStringLiteral(
    "The sync, propagation, phase 1 and phase 2 times must equal the total tq values.");
const QString kPhase2TooLong =
    QStringLiteral("The propagation plus phase 1 must be greater than the phase 2 time.");
const QString kSJWTooLong =
    QStringLiteral("The Phase2 time must be greater or equal to the syncronization jump width.");

// Collects the texts the diagram prints.
class TextCollector : public quillon::BitCanvas {
public:
    std::vector<std::string> texts;
    void Cls() override {}
    void SetScale(double, double, double, double) override {}
    void SetForeColor(quillon::Rgb) override {}
    void Line(float, float, float, float, quillon::Rgb) override {}
    double TextWidth(const std::string&) override { return 1; }
    double TextHeight(const std::string&) override { return 1; }
    void SetCurrentX(double) override {}
    void SetCurrentY(double) override {}
    void Print(const std::string& text) override { texts.push_back(text); }
};

const QImage& Picture(const QWidget& window) {
    return Child<BitTimingPicture>(window, "pctDisplay")->image();
}

QString Notes(const QWidget& window) {
    return Child<QLabel>(window, "lblNotes")->text();
}

bool ReportEnabled(const QWidget& window) {
    return Child<QPushButton>(window, "cmdGenerateReport")->isEnabled();
}

int Value(const QWidget& window, const char* bar) {
    return Child<QScrollBar>(window, bar)->value();
}

// The diagram as it should look for the window's current controls, drawn apart from the
// window; the prescaler and oscillator are what the test chose.
quillon::DiagramInputs ExpectedInputs(const QWidget& window, int brpMinus1, double oscMHz) {
    const auto* list = Child<QComboBox>(window, "lstSelectTq");
    quillon::DiagramInputs in;
    in.dTqCountFromText = list->currentText().toDouble();
    in.lListIndex = list->currentIndex();
    in.lBRPMinus1 = brpMinus1;
    in.dOscFreqMHz = oscMHz;
    in.lPropagation = Value(window, "sclProp");
    in.lPhase1 = Value(window, "sclPhase1");
    const bool largerOf = Child<QRadioButton>(window, "optPhase2_1")->isChecked();
    in.lPhase2Effective = largerOf ? qMax(in.lPhase1, 2) : Value(window, "sclPhase2");
    in.lSJW = Value(window, "sclSJW");
    in.bSam = Child<QCheckBox>(window, "chkMultipleSampling")->isChecked();
    in.decimalSeparator = QString(QLocale().decimalPoint()).toStdString();
    return in;
}

QImage ExpectedPicture(const QWidget& window, int brpMinus1, double oscMHz) {
    return RenderBitTimingImage(ExpectedInputs(window, brpMinus1, oscMHz), Picture(window).size());
}

void RemoveReportFiles() {
    const QDir folder(QCoreApplication::applicationDirPath());
    QFile::remove(folder.filePath(QStringLiteral("MCP2510Report.htm")));
    QFile::remove(folder.filePath(QStringLiteral("bittime.bmp")));
}

} // namespace

class Step3Test : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;
    std::unique_ptr<RecordingShell> shell;

    // The segment controls and their labels show these values.
    void checkSegments(const QWidget& window, int prop, int phase1, int phase2, int sjw) {
        QCOMPARE(Value(window, "sclProp"), prop);
        QCOMPARE(Value(window, "sclPhase1"), phase1);
        QCOMPARE(Value(window, "sclPhase2"), phase2);
        QCOMPARE(Value(window, "sclSJW"), sjw);
        QCOMPARE(Child<QLabel>(window, "lblPropDelay")->text(), QString::number(prop));
        QCOMPARE(Child<QLabel>(window, "lblPhase1")->text(), QString::number(phase1));
        QCOMPARE(Child<QLabel>(window, "lblPhase2")->text(), QString::number(phase2));
        QCOMPARE(Child<QLabel>(window, "lblSJW")->text(), QString::number(sjw));
    }

    void checkProgrammedModeFresh(const QWidget& window) {
        QVERIFY(Child<QRadioButton>(window, "optPhase2_0")->isChecked());
        QVERIFY(!Child<QRadioButton>(window, "optPhase2_1")->isChecked());
        QVERIFY(Child<QScrollBar>(window, "sclPhase2")->isEnabled());
        QVERIFY(Child<QLabel>(window, "lblPhase2")->isEnabled());
        QVERIFY(!Child<QCheckBox>(window, "chkMultipleSampling")->isChecked());
        QVERIFY(!Child<QCheckBox>(window, "chkUseWakeUpFilter")->isChecked());
    }

private slots:
    void init() {
        answerer = std::make_unique<ModalAnswerer>();
        shell = std::make_unique<RecordingShell>();
        quillon::SetDesktopShell(shell.get());
    }
    void cleanup() {
        quillon::SetDesktopShell(nullptr);
        answerer.reset();
    }

    void proposalForTheChosenEntry_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("tq");
        QTest::addColumn<int>("prop");
        QTest::addColumn<int>("phase1");
        QTest::addColumn<int>("phase2");

        QTest::newRow("16 MHz 500k, first entry 16") << "16"
                                                     << "500"
                                                     << "16" << 1 << 8 << 6;
        QTest::newRow("16 MHz 500k, entry 8") << "16"
                                              << "500"
                                              << "8" << 1 << 3 << 3;
        QTest::newRow("20 MHz 125k, 10: half to even") << "20"
                                                       << "125"
                                                       << "10" << 1 << 4 << 4;
        QTest::newRow("20 MHz 125k, 20: propagation fills") << "20"
                                                            << "125"
                                                            << "20" << 3 << 8 << 8;
        QTest::newRow("25 MHz 500k, 25") << "25"
                                         << "500"
                                         << "25" << 8 << 8 << 8;
    }

    void proposalForTheChosenEntry() {
        QFETCH(QString, osc);
        QFETCH(QString, rate);
        QFETCH(QString, tq);
        QFETCH(int, prop);
        QFETCH(int, phase1);
        QFETCH(int, phase2);

        frmMainBitTime window;
        window.show();
        GoToStep3(window, osc, rate);
        QVERIFY(ChooseTq(window, tq));
        RUN_CHECK(checkSegments(window, prop, phase1, phase2, 1));
        RUN_CHECK(checkProgrammedModeFresh(window));
        QCOMPARE(Notes(window), kPass);
        QVERIFY(ReportEnabled(window));
        QVERIFY(answerer->seen().isEmpty());
    }

    void timingRules_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("tq");
        QTest::addColumn<int>("prop");
        QTest::addColumn<int>("phase1");
        QTest::addColumn<int>("phase2");
        QTest::addColumn<int>("sjw");
        QTest::addColumn<bool>("largerOf");
        QTest::addColumn<QString>("verdict");

        // Rate 500 kbit/s throughout: 16 MHz offers 16 and 8 Tq, 18 MHz offers 9 Tq.
        QTest::newRow("8: propagation 2, total 9")
            << "16"
            << "8" << 2 << 3 << 3 << 1 << false << kWrongTotal;
        QTest::newRow("8: wrong total decides before the order")
            << "16"
            << "8" << 1 << 1 << 8 << 1 << false << kWrongTotal;
        QTest::newRow("8: prop + phase1 below phase 2")
            << "16"
            << "8" << 1 << 2 << 4 << 1 << false << kPhase2TooLong;
        QTest::newRow("9: prop + phase1 equal to phase 2")
            << "18"
            << "9" << 1 << 3 << 4 << 1 << false << kPass;
        QTest::newRow("8: SJW 4 above phase 2") << "16"
                                                << "8" << 1 << 3 << 3 << 4 << false << kSJWTooLong;
        QTest::newRow("8: SJW 3 equal to phase 2") << "16"
                                                   << "8" << 1 << 3 << 3 << 3 << false << kPass;
        QTest::newRow("8: larger-of keeps phase 2 at 3")
            << "16"
            << "8" << 1 << 3 << 3 << 1 << true << kPass;
        QTest::newRow("8: larger-of with phase 1 of 4")
            << "16"
            << "8" << 1 << 4 << 3 << 1 << true << kWrongTotal;
        QTest::newRow("8: larger-of with phase 1 of 1 gives 2")
            << "16"
            << "8" << 4 << 1 << 3 << 1 << true << kPass;
        QTest::newRow("16: larger-of ignores phase 2 bar")
            << "16"
            << "16" << 5 << 5 << 6 << 1 << true << kPass;
        QTest::newRow("8: larger-of phase 2 of 2 below SJW 3")
            << "16"
            << "8" << 4 << 1 << 3 << 3 << true << kSJWTooLong;
    }

    void timingRules() {
        QFETCH(QString, osc);
        QFETCH(QString, tq);
        QFETCH(int, prop);
        QFETCH(int, phase1);
        QFETCH(int, phase2);
        QFETCH(int, sjw);
        QFETCH(bool, largerOf);
        QFETCH(QString, verdict);

        frmMainBitTime window;
        window.show();
        GoToStep3(window, osc, QStringLiteral("500"));
        QVERIFY(ChooseTq(window, tq));
        const int proposed[] = {Value(window, "sclProp"), Value(window, "sclPhase1"),
                                Value(window, "sclPhase2")};

        // The phase 2 bar is set first: the larger-of mode disables it.
        QVERIFY(SetByArrows(window, "sclPhase2", phase2));
        QVERIFY(SetByArrows(window, "sclProp", prop));
        QVERIFY(SetByArrows(window, "sclPhase1", phase1));
        QVERIFY(SetByArrows(window, "sclSJW", sjw));
        if (largerOf) {
            Click(window, "optPhase2_1");
        }
        RUN_CHECK(checkSegments(window, prop, phase1, phase2, sjw));
        QCOMPARE(Child<QScrollBar>(window, "sclPhase2")->isEnabled(), !largerOf);
        QCOMPARE(Child<QLabel>(window, "lblPhase2")->isEnabled(), !largerOf);
        QCOMPARE(Notes(window), verdict);
        QCOMPARE(ReportEnabled(window), verdict == kPass);

        // Every change runs the rules again: back to the proposal, the settings pass.
        Click(window, "optPhase2_0");
        QVERIFY(SetByArrows(window, "sclSJW", 1));
        QVERIFY(SetByArrows(window, "sclProp", proposed[0]));
        QVERIFY(SetByArrows(window, "sclPhase1", proposed[1]));
        QVERIFY(SetByArrows(window, "sclPhase2", proposed[2]));
        QCOMPARE(Notes(window), kPass);
        QVERIFY(ReportEnabled(window));
    }

    void largerOfOptionByIndicatorOrCaption_data() {
        QTest::addColumn<QString>("clicked");
        QTest::newRow("option") << "optPhase2_1";
        QTest::newRow("its caption") << "optPhase2_1Caption";
    }

    void largerOfOptionByIndicatorOrCaption() {
        QFETCH(QString, clicked);
        frmMainBitTime window;
        window.show();
        GoToStep3(window, QStringLiteral("16"), QStringLiteral("500"));
        QVERIFY(SetByArrows(window, "sclPhase1", 5));
        QVERIFY(SetByArrows(window, "sclProp", 5));

        // Only the left button selects.
        QTest::mouseClick(Child<QWidget>(window, qPrintable(clicked)), Qt::RightButton);
        QVERIFY(Child<QRadioButton>(window, "optPhase2_0")->isChecked());

        Click(window, qPrintable(clicked));
        QVERIFY(Child<QRadioButton>(window, "optPhase2_1")->isChecked());
        QVERIFY(!Child<QScrollBar>(window, "sclPhase2")->isEnabled());
        QVERIFY(!Child<QLabel>(window, "lblPhase2")->isEnabled());
        // Phase 2 is now phase 1 (5): 1 + 5 + 5 + 5 = 16; the bar keeps its 6.
        QCOMPARE(Value(window, "sclPhase2"), 6);
        QCOMPARE(Notes(window), kPass);

        Click(window, "optPhase2_0");
        QVERIFY(Child<QScrollBar>(window, "sclPhase2")->isEnabled());
        QVERIFY(Child<QLabel>(window, "lblPhase2")->isEnabled());
        QCOMPARE(Notes(window), kWrongTotal); // 1 + 5 + 5 + 6 = 17
    }

    void choosingAnotherEntryStartsAgain() {
        frmMainBitTime window;
        window.show();
        GoToStep3(window, QStringLiteral("16"), QStringLiteral("500"));
        QVERIFY(SetByArrows(window, "sclSJW", 3));
        QVERIFY(SetByArrows(window, "sclProp", 4));
        Click(window, "chkMultipleSampling");
        Click(window, "chkUseWakeUpFilter");
        Click(window, "optPhase2_1");
        QVERIFY(Child<QCheckBox>(window, "chkMultipleSampling")->isChecked());
        QVERIFY(Child<QCheckBox>(window, "chkUseWakeUpFilter")->isChecked());
        QVERIFY(!Child<QScrollBar>(window, "sclPhase2")->isEnabled());

        QVERIFY(ChooseTq(window, QStringLiteral("8")));
        RUN_CHECK(checkSegments(window, 1, 3, 3, 1));
        RUN_CHECK(checkProgrammedModeFresh(window));
        QCOMPARE(Notes(window), kPass);
        QCOMPARE(Picture(window), ExpectedPicture(window, 1, 16));

        QVERIFY(SetByArrows(window, "sclPhase1", 1));
        QVERIFY(ChooseTq(window, QStringLiteral("16")));
        RUN_CHECK(checkSegments(window, 1, 8, 6, 1));
        QCOMPARE(Notes(window), kPass);
        QCOMPARE(Picture(window), ExpectedPicture(window, 0, 16));

        // Back to step 2 and forward again: the first entry is proposed anew.
        QVERIFY(ChooseTq(window, QStringLiteral("8")));
        QVERIFY(SetByArrows(window, "sclSJW", 2));
        Click(window, "chkMultipleSampling");
        Click(window, "optPhase2_1");
        Click(window, "cmdBack");
        Click(window, "cmdNext");
        QCOMPARE(Child<QComboBox>(window, "lstSelectTq")->currentText(), QStringLiteral("16"));
        RUN_CHECK(checkSegments(window, 1, 8, 6, 1));
        RUN_CHECK(checkProgrammedModeFresh(window));
        QCOMPARE(Picture(window), ExpectedPicture(window, 0, 16));
    }

    void scrollBarsHaveTheMinimumAtTheTop_data() {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QString>("label");
        QTest::newRow("propagation") << "sclProp"
                                     << "lblPropDelay";
        QTest::newRow("phase 1") << "sclPhase1"
                                 << "lblPhase1";
        QTest::newRow("phase 2") << "sclPhase2"
                                 << "lblPhase2";
        QTest::newRow("SJW") << "sclSJW"
                             << "lblSJW";
    }

    void scrollBarsHaveTheMinimumAtTheTop() {
        QFETCH(QString, bar);
        QFETCH(QString, label);
        frmMainBitTime window;
        window.show();
        GoToStep3(window, QStringLiteral("16"), QStringLiteral("500"));
        auto* scroll = Child<QScrollBar>(window, qPrintable(bar));
        QCOMPARE(scroll->orientation(), Qt::Vertical);
        QVERIFY(ScrollBarPart(scroll, QStyle::SC_ScrollBarAddLine).y() >
                ScrollBarPart(scroll, QStyle::SC_ScrollBarSubLine).y());

        // The handle sits at the top for the minimum and moves down as the value rises (on
        // a taller bar: at its design height the arrows leave the handle no room).
        const QRect designGeometry = scroll->geometry();
        scroll->resize(scroll->width(), 10 * scroll->width());
        scroll->setValue(scroll->minimum());
        const int handleAtMinimum = ScrollBarPart(scroll, QStyle::SC_ScrollBarSlider).y();
        scroll->setValue(scroll->maximum());
        QVERIFY(ScrollBarPart(scroll, QStyle::SC_ScrollBarSlider).y() > handleAtMinimum);
        scroll->setGeometry(designGeometry);

        scroll->setValue(scroll->minimum() + 1);
        const int start = scroll->value();
        ClickArrow(scroll, QStyle::SC_ScrollBarAddLine); // the lower arrow
        QCOMPARE(scroll->value(), start + 1);
        QCOMPARE(Child<QLabel>(window, qPrintable(label))->text(), QString::number(start + 1));
        ClickArrow(scroll, QStyle::SC_ScrollBarSubLine); // the upper arrow
        ClickArrow(scroll, QStyle::SC_ScrollBarSubLine);
        QCOMPARE(scroll->value(), start - 1);
        QCOMPARE(Child<QLabel>(window, qPrintable(label))->text(), QString::number(start - 1));
        ClickArrow(scroll, QStyle::SC_ScrollBarSubLine);
        QCOMPARE(scroll->value(), scroll->minimum());
    }

    void everyDiagramInputRedraws_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("undo");
        QTest::addColumn<bool>("redraws");
        // Scroll bars: the lower arrow, undone by the upper one.
        QTest::newRow("propagation") << "sclProp"
                                     << "sclProp" << true;
        QTest::newRow("phase 1") << "sclPhase1"
                                 << "sclPhase1" << true;
        QTest::newRow("phase 2") << "sclPhase2"
                                 << "sclPhase2" << true;
        QTest::newRow("SJW") << "sclSJW"
                             << "sclSJW" << true;
        QTest::newRow("multiple sampling") << "chkMultipleSampling"
                                           << "chkMultipleSampling" << true;
        QTest::newRow("larger-of mode") << "optPhase2_1"
                                        << "optPhase2_0" << true;
        QTest::newRow("wake-up filter") << "chkUseWakeUpFilter"
                                        << "chkUseWakeUpFilter" << false;
    }

    void everyDiagramInputRedraws() {
        QFETCH(QString, control);
        QFETCH(QString, undo);
        QFETCH(bool, redraws);
        frmMainBitTime window;
        window.show();
        GoToStep3(window, QStringLiteral("16"), QStringLiteral("500"));
        // 8 Tq with phase 1 raised to 4: larger-of then gives a longer phase 2 as well.
        QVERIFY(ChooseTq(window, QStringLiteral("8")));
        QVERIFY(SetByArrows(window, "sclPhase1", 4));
        const QImage before = Picture(window);
        QCOMPARE(before, ExpectedPicture(window, 1, 16));

        auto* bar = window.findChild<QScrollBar*>(control);
        if (bar) {
            ClickArrow(bar, QStyle::SC_ScrollBarAddLine);
        } else {
            Click(window, qPrintable(control));
        }
        QCOMPARE(Picture(window) != before, redraws);
        QCOMPARE(Picture(window), ExpectedPicture(window, 1, 16));

        if (bar) {
            ClickArrow(bar, QStyle::SC_ScrollBarSubLine);
        } else {
            Click(window, qPrintable(undo));
        }
        QCOMPARE(Picture(window), before);
    }

    void nothingSelectedKeepsThePicture() {
        frmMainBitTime window;
        window.show();
        GoToStep3(window, QStringLiteral("16"), QStringLiteral("500"));
        const QImage shown = Picture(window);
        QCOMPARE(shown, ExpectedPicture(window, 0, 16));

        // No candidate at 999 kbit/s: step 3 comes with an empty list.
        Type(window, "txtCANBaud", QStringLiteral("999"));
        Click(window, "cmdBack");
        Click(window, "cmdNext");
        auto* list = Child<QComboBox>(window, "lstSelectTq");
        QCOMPARE(list->count(), 0);
        QCOMPARE(list->currentIndex(), -1);
        QVERIFY(!list->isEnabled());
        QCOMPARE(Notes(window), kNoSelection);
        QVERIFY(!ReportEnabled(window));
        QCOMPARE(Picture(window), shown);

        // Neither a change nor a repaint draws or passes anything.
        ClickArrow(Child<QScrollBar>(window, "sclProp"), QStyle::SC_ScrollBarAddLine);
        Click(window, "chkMultipleSampling");
        Child<BitTimingPicture>(window, "pctDisplay")->repaint();
        QCOMPARE(Picture(window), shown);
        QCOMPARE(Notes(window), kNoSelection);
        QVERIFY(!ReportEnabled(window));

        // A wider window widens the picture; what it showed stays where it was.
        window.resize(window.width() + 100, window.height());
        QCOMPARE(Picture(window).width(), shown.width() + 100);
        QCOMPARE(Picture(window).copy(shown.rect()), shown);
        QVERIFY(answerer->seen().isEmpty());
    }

    void boxChangedInStepThree_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("diagramOsc"); // the oscillator the diagram is drawn with
        QTest::addColumn<QString>("refusal");

        const QString osc = QStringLiteral("The oscillator must be greater than 0.");
        const QString rate =
            QStringLiteral("The CAN baud rate must be greater than 0 and no more than 1000.");
        QTest::newRow("oscillator emptied") << "txtOsc"
                                            << "" << 0.0 << osc;
        QTest::newRow("oscillator 0") << "txtOsc"
                                      << "0" << 0.0 << osc;
        QTest::newRow("oscillator negative") << "txtOsc"
                                             << "-16" << -16.0 << osc;
        QTest::newRow("oscillator letters") << "txtOsc"
                                            << "MHz" << 0.0 << osc;
        QTest::newRow("oscillator beyond double, read as none") << "txtOsc"
                                                                << "1e400" << 0.0 << osc;
        QTest::newRow("rate emptied") << "txtCANBaud"
                                      << "" << 16.0 << rate;
        QTest::newRow("rate too high") << "txtCANBaud"
                                       << "2000" << 16.0 << rate;
    }

    void boxChangedInStepThree() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(double, diagramOsc);
        QFETCH(QString, refusal);
        RemoveReportFiles();

        frmMainBitTime window;
        window.show();
        GoToStep3(window, QStringLiteral("16"), QStringLiteral("500"));
        QVERIFY(ChooseTq(window, QStringLiteral("8")));
        Type(window, qPrintable(box), text);

        // A redraw with the changed box.
        ClickArrow(Child<QScrollBar>(window, "sclProp"), QStyle::SC_ScrollBarAddLine);
        QCOMPARE(Picture(window), ExpectedPicture(window, 1, diagramOsc));
        TextCollector printed;
        QVERIFY(quillon::DrawBitTimingDiagram(printed, ExpectedInputs(window, 1, diagramOsc)));
        for (const std::string& t : printed.texts) {
            QVERIFY2(t.find("inf") == std::string::npos && t.find("nan") == std::string::npos,
                     t.c_str());
        }
        const bool usable = diagramOsc > 0;
        QCOMPARE(static_cast<int>(std::count(printed.texts.begin(), printed.texts.end(), "n/a")),
                 usable ? 0 : 3); // prop, phase1, phase2 ("SJW n/a" is the fourth)

        // The settings pass again, but the report is refused with the reason.
        ClickArrow(Child<QScrollBar>(window, "sclProp"), QStyle::SC_ScrollBarSubLine);
        QCOMPARE(Notes(window), kPass);
        Click(window, "cmdGenerateReport");
        QCOMPARE(answerer->seen().size(), 1);
        const SeenMessage& seen = answerer->seen().first();
        QVERIFY2(seen.text.contains(refusal), qPrintable(seen.text));
        QCOMPARE(seen.title, QStringLiteral("Quillon"));
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(seen.buttonCount, 1);
        const QDir folder(QCoreApplication::applicationDirPath());
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("MCP2510Report.htm"))));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("bittime.bmp"))));
        QVERIFY(shell->opened.isEmpty());
        QVERIFY(window.cursor().shape() != Qt::WaitCursor);
    }
};

QTEST_MAIN(Step3Test)
#include "step3_tests.moc"
