// CAN FD in the real window: the controller choice in step 1, the candidate list of step 2,
// the segment panel of step 3 with its drawing, recommendation, report, "Copy as" with its
// note and the driver's own choice, "Registers...", and the way back to step 1 and the
// classic steps. What the facts, the drawing, the page, the forms and the texts say is
// proven in timing/, diagram/, report/ and cli/; here they must arrive.
#include "canvas/ImageCanvas.h"
#include "report/classic/ReportValues.h"
#include "report/fd/FdExport.h"
#include "report/fd/FdHtmlReport.h"
#include "report/fd/FdKernelText.h"
#include "report/fd/FdSettingText.h"
#include "support/ModalAnswerer.h"
#include "support/RecordingShell.h"
#include "support/TempFolder.h"
#include "support/WindowDriver.h"
#include "timing/fd/FdSearch.h"
#include "ui/QtText.h"
#include "window/CalculatorWindow.h"
#include "window/FdRegistersDialog.h"
#include "window/KernelDialog.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

#include <memory>
#include <sstream>

namespace {

QString InFolder(const char* name) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(name));
}

// The phase's segments as the spin boxes hold them.
quillon::FdPhaseSetting Segments(const QWidget& window, const char* phase) {
    const auto value = [&](const char* field) {
        return Child<QSpinBox>(window, qPrintable(QStringLiteral("spn%1%2").arg(
                                           QLatin1String(phase), QLatin1String(field))))
            ->value();
    };
    quillon::FdPhaseSetting segments;
    segments.lPropagation = value("Prop");
    segments.lPhase1 = value("Phase1");
    segments.lPhase2 = value("Phase2");
    segments.lSJW = value("Sjw");
    return segments;
}

bool SameSegments(const quillon::FdPhaseSetting& a, const quillon::FdPhaseSetting& b) {
    return a.lPropagation == b.lPropagation && a.lPhase1 == b.lPhase1 && a.lPhase2 == b.lPhase2 &&
           a.lSJW == b.lSJW;
}

// Propagation, phase 1, phase 2 and SJW, for a table's cell.
QList<int> SegmentList(const quillon::FdPhaseSetting& s) {
    return {s.lPropagation, s.lPhase1, s.lPhase2, s.lSJW};
}

// What "Registers..." showed: the words in its boxes at first, what they give once `words`
// were typed over them, and whether Return left it open.
struct RegistersVisit {
    QStringList boxes;
    QString preview;
    bool stayedOpen = false;
};

// Presses "Registers..." from the keyboard, types `words` over the first boxes and presses
// Return.
RegistersVisit EnterWords(QWidget& window, const QStringList& words) {
    RegistersVisit visit;
    QTimer::singleShot(0, [&visit, words] {
        auto* dialog = qobject_cast<FdRegistersDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        for (int i = 0; i < 3; ++i) {
            auto* box =
                Child<QLineEdit>(*dialog, qPrintable(QStringLiteral("txtFdWord%1").arg(i + 1)));
            visit.boxes << box->text();
            if (i < words.size()) {
                box->setFocus();
                box->selectAll();
                QTest::keyClicks(box, words[i]);
            }
        }
        visit.preview = dialog->preview();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        visit.stayedOpen = dialog->isVisible();
        if (visit.stayedOpen) {
            dialog->reject();
        }
    });
    auto* button = Child<QPushButton>(window, "cmdFdRegisters");
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    return visit;
}

} // namespace

class FdWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModalAnswerer> answerer;
    std::unique_ptr<CalculatorWindow> window;
    quillon::FdSetting inputs;

    // Step 1 with CAN FD chosen by the keyboard and the given data rate, then ">".
    void goToStep2(const QString& dataRate) {
        Type(*window, "txtOsc", QStringLiteral("40"));
        Type(*window, "txtCANBaud", QStringLiteral("500"));
        // Down past the classic controllers to the CAN FD entry, whose data rate box shows.
        for (int i = 0; i < 20 && !Child(*window, "txtDataRate")->isVisible(); ++i) {
            QTest::keyClick(Child(*window, "cboController"), Qt::Key_Down);
        }
        QVERIFY(Child(*window, "txtDataRate")->isVisible());
        Type(*window, "txtDataRate", dataRate);
        Click(*window, "cmdNext");
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale::c());
        qputenv("SOURCE_DATE_EPOCH", "86399");
        answerer = std::make_unique<ModalAnswerer>();
        window = std::make_unique<CalculatorWindow>();
        window->show();
        inputs = {};
        inputs.dOscFreqMHz = 40;
        inputs.dNominalKbps = 500;
        inputs.dDataKbps = 2000;
    }
    void cleanup() {
        window.reset();
        answerer.reset();
        for (const char* name : {quillon::kFdReportFileName, quillon::kFdBitmapFileName}) {
            QFile::remove(InFolder(name));
        }
    }

    // The classic window shows no FD input until CAN FD is chosen.
    void classicIsTheDefault() {
        QVERIFY(Child(*window, "cboController")->isVisible());
        QVERIFY(!Child(*window, "txtDataRate")->isVisible());
        QVERIFY(!Child(*window, "chkPll")->isVisible());
    }

    void stepsFromCandidatesToReport() {
        goToStep2(QStringLiteral("2000"));
        QCOMPARE(window->step(), 1);
        const std::vector<quillon::FdCandidate> found =
            quillon::SearchFdCandidates(40, false, 500, 2000);
        auto* list = Child<QTreeWidget>(*window, "lvwFdCandidates");
        QCOMPARE(list->topLevelItemCount(), static_cast<int>(found.size()));
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("1 x 80 Tq"));
        QVERIFY(Child<QPushButton>(*window, "cmdBack")->isEnabled());

        // Return in the list goes on with the entry chosen there: the third, whose two
        // phases have different prescalers.
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(window->step(), 2);
        const quillon::FdSetting proposal =
            quillon::ProposedFdSetting(40, false, 500, 2000, found.at(2));
        QVERIFY(SameSegments(Segments(*window, "Nominal"), proposal.nominal));
        QVERIFY(SameSegments(Segments(*window, "Data"), proposal.data));

        Click(*window, "cmdFdRecommend");
        const quillon::FdSetting recommended = *quillon::RecommendedFdSetting(proposal);
        QVERIFY(SameSegments(Segments(*window, "Nominal"), recommended.nominal));
        const quillon::FdFacts facts = quillon::DescribeFdTiming(recommended);
        QVERIFY(Text(*window, "lblFdTolerance")
                    .startsWith(QStringLiteral("Oscillator tolerance %1 %, limited by condition %2")
                                    .arg(ToQString(facts.sTolerance))
                                    .arg(facts.tolerance.lLimiting)));
        QCOMPARE(Child<BitTimingPicture>(*window, "pctFdDisplay")->image(),
                 RenderFdBitTimingImage(recommended, ".", kFdPictureSize));

        quillon::test::RecordingShell shell;
        Click(*window, "cmdFdReport");
        const QString page = InFolder(quillon::kFdReportFileName);
        QCOMPARE(shell.documents, std::vector<std::string>{page.toStdString()});
        std::ostringstream expected;
        quillon::WriteFdHtmlReport(
            expected, quillon::BuildFdReportValues(facts, quillon::ReportTimestampNow()));
        QCOMPARE(quillon::test::ReadFile(page.toStdString()), expected.str());
        QVERIFY(QFile::exists(InFolder(quillon::kFdBitmapFileName)));

        QAction* copy = window->findChild<QAction*>(QStringLiteral("mnuFdCopyAs_ip-link-tq"));
        QVERIFY(copy != nullptr);
        copy->trigger();
        QCOMPARE(
            QGuiApplication::clipboard()->text(),
            ToQString(quillon::ExportFdSetting(facts, quillon::FdExportFormat::IpLinkTq).sText));
        QCOMPARE(answerer->take().size(), 0);
        const QString note = QStringLiteral("Copied the ip-link-tq form to the clipboard.");
        QCOMPARE(Text(*window, "cmdFdCopyAsNote"), note);
        QVERIFY(Child(*window, "cmdFdCopyAsNote")->isVisible());
        QCOMPARE(QAccessible::queryAccessibleInterface(Child(*window, "cmdFdCopyAsNote"))->role(),
                 QAccessible::AlertMessage);
    }

    // "Copy as" ends with the Linux driver's own choice, in the text fd kernel prints.
    void kernelChoiceBesideTheForms() {
        goToStep2(QStringLiteral("2000"));
        Click(*window, "cmdNext");
        emit Child<QMenu>(*window, "mnuFdCopyAs")->aboutToShow();
        auto* kernel = Child<QAction>(*window, "mnuFdKernelChoice");
        QVERIFY(kernel->isVisible());
        kernel->trigger();
        auto* dialog = Child<KernelDialog>(*window, "KernelDialog");
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->text(), ToQString(quillon::FdKernelText(
                                     inputs, quillon::ChooseFdKernelBitTiming(40, false, 500, 2000),
                                     quillon::kDefaultLinuxTdc, {})));
    }

    // "Registers..." shows the words of the setting; words typed over them choose their pair
    // in the list (an entry of its own where none has it) with TSEG1 split as Linux splits it.
    void registerWordsInAndOut_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("entry");      // chosen afterwards; empty: the first
        QTest::addColumn<QList<int>>("nominal"); // prop, phase 1, phase 2, SJW; empty: kept
        QTest::addColumn<QList<int>>("data");
        QTest::addColumn<QString>("message");
        QTest::newRow("own words: OK keeps the controls")
            << QStringList() << "" << QList<int>() << QList<int>() << "";
        // 59 + 20 + 1 and 15 + 4 + 1 Tq: the first entry's Tq counts.
        QTest::newRow("words of a listed pair")
            << QStringList{"0x003A1313", "0x000E0303"} << "" << QList<int>{29, 30, 20, 20}
            << QList<int>{7, 8, 4, 4} << "";
        // 64 + 16 + 1 = 81 Tq: 493.827 kbit/s, in no entry.
        QTest::newRow("words of an unlisted pair")
            << QStringList{"0x003F0F0F", "0x000E0303"}
            << "nominal BRP 1 x 81 Tq, data BRP 1 x 20 Tq (from the registers)"
            << QList<int>{32, 32, 16, 16} << QList<int>{7, 8, 4, 4} << "";
        QTest::newRow("a word that does not read")
            << QStringList{"0x1G"} << "" << QList<int>() << QList<int>()
            << "These words cannot be read. CiNBTCFG: '0x1G' is not a register value (write "
               "0x91 or 145)";
    }
    void registerWordsInAndOut() {
        QFETCH(QStringList, words);
        QFETCH(QString, entry);
        QFETCH(QList<int>, nominal);
        QFETCH(QList<int>, data);
        QFETCH(QString, message);
        goToStep2(QStringLiteral("2000"));
        Click(*window, "cmdNext");
        auto* list = Child<QComboBox>(*window, "cboFdCandidate");
        const int entries = list->count();
        const quillon::FdSetting shown =
            quillon::ProposedFdSetting(inputs, quillon::SearchFdCandidates(inputs).front());
        const quillon::FdRegisterWords own = *quillon::EncodeFdRegisters(shown).words;

        const RegistersVisit visit = EnterWords(*window, words);
        QCOMPARE(visit.boxes, (QStringList{ToQString(quillon::WordToHex(own.nbtcfg, 32)),
                                           ToQString(quillon::WordToHex(own.dbtcfg, 32)),
                                           ToQString(quillon::WordToHex(own.tdc, 32))}));
        if (words.isEmpty()) {
            const quillon::FdFacts facts = quillon::DescribeFdTiming(shown);
            QVERIFY(visit.preview.contains(ToQString(quillon::FdRegisterTable(facts))));
        }
        const QVector<SeenMessage> boxes = answerer->take();
        QCOMPARE(visit.stayedOpen, !message.isEmpty());
        QCOMPARE(boxes.size(), message.isEmpty() ? 0 : 1);
        if (!boxes.isEmpty()) {
            QCOMPARE(boxes.first().text, message);
        }
        QCOMPARE(list->count(), entries + (entry.isEmpty() ? 0 : 1));
        QCOMPARE(list->currentText(), entry.isEmpty()
                                          ? list->itemText(0)
                                          : QStringLiteral("%1: %2").arg(entries + 1).arg(entry));
        QCOMPARE(SegmentList(Segments(*window, "Nominal")),
                 nominal.isEmpty() ? SegmentList(shown.nominal) : nominal);
        QCOMPARE(SegmentList(Segments(*window, "Data")),
                 data.isEmpty() ? SegmentList(shown.data) : data);
    }

    // A data rate box read as something other than typed is named in steps 2 and 3.
    void dataRateReadAsSomethingElse() {
        goToStep2(QStringLiteral("2000 kbit/s"));
        const QString said =
            QStringLiteral("The data rate box holds '2000 kbit/s', read as 2000 kbit/s");
        QVERIFY2(Text(*window, "lblNote").contains(said), qPrintable(Text(*window, "lblNote")));
        Click(*window, "cmdNext");
        const QString notes = Child<QPlainTextEdit>(*window, "txtFdNotes")->toPlainText();
        QVERIFY2(notes.contains(said), qPrintable(notes));
    }

    // A data rate the controllers cannot run is set to the default, with the reason; rates
    // no prescaler reaches leave an empty list, a way back and no way on.
    void inputsThatGiveNoList_data() {
        QTest::addColumn<QString>("dataRate");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("dataRateAfter");
        QTest::newRow("data rate 0")
            << "0"
            << "The CAN FD data rate must be at least 1 and no more than 8000. Setting to "
               "default value."
            << "2000";
        QTest::newRow("no candidate") << "7777"
                                      << ""
                                      << "7777";
    }
    void inputsThatGiveNoList() {
        QFETCH(QString, dataRate);
        QFETCH(QString, message);
        QFETCH(QString, dataRateAfter);
        goToStep2(dataRate);
        const QVector<SeenMessage> boxes = answerer->take();
        QCOMPARE(boxes.size(), message.isEmpty() ? 0 : 1);
        if (!boxes.isEmpty()) {
            QCOMPARE(boxes.first().text, message);
        }
        QCOMPARE(Text(*window, "txtDataRate"), dataRateAfter);
        const bool listed = Child<QTreeWidget>(*window, "lvwFdCandidates")->topLevelItemCount() > 0;
        QCOMPARE(Child<QPushButton>(*window, "cmdNext")->isEnabled(), listed);
        QCOMPARE(listed, message.isEmpty() ? false : true);
    }

    // "<" from the FD list returns to step 1, and the classic steps run from there.
    void backToStepOneAndTheClassicSteps() {
        goToStep2(QStringLiteral("2000"));
        Click(*window, "cmdBack");
        QCOMPARE(window->step(), 0);
        QVERIFY(Child(*window, "cmdTarsel")->isVisible());
        QVERIFY(!Child(*window, "lvwFdCandidates")->isVisible());
        QCOMPARE(Text(*window, "lblStep"), QStringLiteral("Step 1:"));
        QTest::keyClick(Child(*window, "cboController"), Qt::Key_Home);
        Click(*window, "cmdNext");
        QVERIFY(Child(*window, "vrnBitTime")->isVisible());
        QVERIFY(!Child(*window, "lvwFdCandidates")->isVisible());
        QVERIFY(!Child<QPushButton>(*window, "cmdBack")->isEnabled());
    }

    // Tab walks step 3's controls in reading order and leaves them again.
    void keyboardWalksStepThree() {
        goToStep2(QStringLiteral("2000"));
        Click(*window, "cmdNext");
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        const char* const order[] = {"cboFdCandidate", "cmdFdRecommend",   "cmdFdBus",
                                     "spnNominalProp", "spnNominalPhase1", "spnNominalPhase2",
                                     "spnNominalSjw",  "spnDataProp",      "spnDataPhase1",
                                     "spnDataPhase2",  "spnDataSjw",       "txtFdNotes",
                                     "cmdFdReport",    "cmdFdRegisters",   "cmdFdCopyAs"};
        QCOMPARE(QApplication::focusWidget(), Child(*window, order[0]));
        for (std::size_t i = 1; i < std::size(order); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            QVERIFY2(focused != nullptr && (focused->objectName() == QLatin1String(order[i]) ||
                                            focused->parentWidget() == Child(*window, order[i])),
                     order[i]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Child(*window, "txtOsc"));
    }
};

QTEST_MAIN(FdWindowTest)
#include "window_fd_tests.moc"
