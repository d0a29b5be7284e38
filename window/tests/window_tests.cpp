// Drives the real calculator window with typed text and clicks, answering its message
// boxes, and checks the step flow, the input checks and the hand-over to the search.
#include "ModalAnswerer.h"
#include "candidates/vrnctlBitTime.h"
#include "timing/Version.h"
#include "window/frmMainBitTime.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace {

QStringList ComboTexts(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) {
        texts << box->itemText(i);
    }
    return texts;
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private:
    template <typename T> T* child(frmMainBitTime& window, const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        if (!found) {
            qFatal("missing child %s", name);
        }
        return found;
    }

    void type(frmMainBitTime& window, const char* box, const QString& text) {
        auto* edit = child<QLineEdit>(window, box);
        edit->selectAll();
        edit->del();
        QTest::keyClicks(edit, text);
    }

    void next(frmMainBitTime& window) {
        QTest::mouseClick(child<QPushButton>(window, "cmdNext"), Qt::LeftButton);
    }

    ModalAnswerer* answerer = nullptr;

private slots:
    void init() { answerer = new ModalAnswerer; }
    void cleanup() {
        delete answerer;
        answerer = nullptr;
    }

    void opensAtStepOneWithDefaults() {
        frmMainBitTime window;
        window.show();
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("Quillon - Varnholt (https://www.varnholt.example/)"));
        QCOMPARE(child<QLineEdit>(window, "txtOsc")->text(), QStringLiteral("16"));
        QCOMPARE(child<QLineEdit>(window, "txtCANBaud")->text(), QStringLiteral("500"));
        QVERIFY(child<QLineEdit>(window, "txtOsc")->isEnabled());
        QCOMPARE(child<QLabel>(window, "lblStep")->text(), QStringLiteral("Step 1:"));
        QCOMPARE(child<QLabel>(window, "lblrev")->text(),
                 QStringLiteral("Rev %1").arg(quillon::kRevision));
        QVERIFY(!child<QPushButton>(window, "cmdBack")->isEnabled());
        QVERIFY(child<QPushButton>(window, "cmdNext")->isEnabled());
        QVERIFY(child<QPushButton>(window, "cmdTarsel")->isVisible());
        QVERIFY(!child<vrnctlBitTime>(window, "vrnBitTime")->isVisible());
        QVERIFY(!child<QWidget>(window, "pctSegment")->isVisible());
    }

    void inputChecks_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("oscAfter");
        QTest::addColumn<QString>("rateAfter");
        QTest::addColumn<QStringList>("tqList");

        const QString oscMessage =
            QStringLiteral("The oscillator must be greater than 0. Setting to default value.");
        const QString rateMessage = QStringLiteral("CAN baud rate");
        const QStringList defaults{"16", "8"};
        QTest::newRow("defaults") << "16"
                                  << "500" << QStringList{} << "16"
                                  << "500" << defaults;
        QTest::newRow("20 MHz 125k") << "20"
                                     << "125" << QStringList{} << "20"
                                     << "125" << QStringList{"20", "16", "10", "8"};
        QTest::newRow("osc zero") << "0"
                                  << "500" << QStringList{oscMessage} << "16"
                                  << "500" << defaults;
        QTest::newRow("osc empty") << ""
                                   << "500" << QStringList{oscMessage} << "16"
                                   << "500" << defaults;
        QTest::newRow("osc letters") << "abc"
                                     << "500" << QStringList{oscMessage} << "16"
                                     << "500" << defaults;
        QTest::newRow("osc half") << "0.5"
                                  << "500" << QStringList{oscMessage} << "16"
                                  << "500" << defaults;
        QTest::newRow("osc with unit") << "20MHz"
                                       << "125" << QStringList{} << "20MHz"
                                       << "125" << QStringList{"20", "16", "10", "8"};
        QTest::newRow("osc one") << "1"
                                 << "500" << QStringList{} << "1"
                                 << "500" << QStringList{};
        QTest::newRow("rate zero") << "16"
                                   << "0" << QStringList{rateMessage} << "16"
                                   << "500" << defaults;
        QTest::newRow("rate 1001") << "16"
                                   << "1001" << QStringList{rateMessage} << "16"
                                   << "500" << defaults;
        QTest::newRow("rate letters") << "16"
                                      << "fast" << QStringList{rateMessage} << "16"
                                      << "500" << defaults;
        QTest::newRow("rate half") << "16"
                                   << "0.5" << QStringList{rateMessage} << "16"
                                   << "500" << defaults;
        QTest::newRow("rate 1000") << "16"
                                   << "1000" << QStringList{} << "16"
                                   << "1000" << QStringList{"8"};
        QTest::newRow("rate 1") << "16"
                                << "1" << QStringList{} << "16"
                                << "1" << QStringList{};
        QTest::newRow("both bad") << "0"
                                  << "0" << QStringList{oscMessage, rateMessage} << "16"
                                  << "500" << defaults;
    }

    void inputChecks() {
        QFETCH(QString, osc);
        QFETCH(QString, rate);
        QFETCH(QStringList, messages);
        QFETCH(QString, oscAfter);
        QFETCH(QString, rateAfter);
        QFETCH(QStringList, tqList);

        frmMainBitTime window;
        window.show();
        type(window, "txtOsc", osc);
        type(window, "txtCANBaud", rate);
        next(window);

        QCOMPARE(answerer->seen().size(), messages.size());
        for (int i = 0; i < messages.size(); ++i) {
            const SeenMessage& seen = answerer->seen().at(i);
            QVERIFY2(seen.text.contains(messages.at(i)), qPrintable(seen.text));
            QCOMPARE(seen.title, QStringLiteral("Quillon"));
            QCOMPARE(seen.icon, QMessageBox::Information);
            QCOMPARE(seen.buttonCount, 1);
        }
        QCOMPARE(child<QLineEdit>(window, "txtOsc")->text(), oscAfter);
        QCOMPARE(child<QLineEdit>(window, "txtCANBaud")->text(), rateAfter);
        QCOMPARE(window.step(), 1);
        QCOMPARE(child<QLabel>(window, "lblStep")->text(), QStringLiteral("Step 2"));
        QVERIFY(child<vrnctlBitTime>(window, "vrnBitTime")->isVisible());
        QVERIFY(!child<QPushButton>(window, "cmdTarsel")->isVisible());
        QVERIFY(!child<QPushButton>(window, "cmdBack")->isEnabled());

        next(window);
        auto* list = child<QComboBox>(window, "lstSelectTq");
        QCOMPARE(window.step(), 2);
        QCOMPARE(child<QLabel>(window, "lblStep")->text(), QStringLiteral("Step 3"));
        QCOMPARE(ComboTexts(list), tqList);
        QCOMPARE(list->isEnabled(), !tqList.isEmpty());
        QCOMPARE(list->currentIndex(), tqList.isEmpty() ? -1 : 0);
        QVERIFY(child<QWidget>(window, "pctSegment")->isVisible());
        QVERIFY(child<QPushButton>(window, "cmdBack")->isEnabled());
        QVERIFY(!child<QPushButton>(window, "cmdNext")->isEnabled());
        if (tqList.isEmpty()) {
            QCOMPARE(child<QLabel>(window, "lblNotes")->text(),
                     QStringLiteral("Please select a Tq setting."));
            QVERIFY(!child<QPushButton>(window, "cmdGenerateReport")->isEnabled());
        }
        QCOMPARE(answerer->seen().size(), messages.size());
    }

    void rateIsHandedOverInBitsPerSecond() {
        frmMainBitTime window;
        window.show();
        type(window, "txtOsc", QStringLiteral("20"));
        type(window, "txtCANBaud", QStringLiteral("125"));
        next(window);
        auto* control = child<vrnctlBitTime>(window, "vrnBitTime");
        QCOMPARE(control->OscFreqInMhz(), 20.0);
        QCOMPARE(control->CANBaudRate(), 125000.0);
    }

    void backFromStepThreeRecalculatesFromTheBoxes() {
        frmMainBitTime window;
        window.show();
        next(window);
        next(window);
        QCOMPARE(ComboTexts(child<QComboBox>(window, "lstSelectTq")), (QStringList{"16", "8"}));

        type(window, "txtOsc", QStringLiteral("24"));
        QTest::mouseClick(child<QPushButton>(window, "cmdBack"), Qt::LeftButton);
        QCOMPARE(window.step(), 1);
        QCOMPARE(child<vrnctlBitTime>(window, "vrnBitTime")->OscFreqInMhz(), 24.0);
        QVERIFY(!child<QPushButton>(window, "cmdBack")->isEnabled());
        next(window);
        QCOMPARE(ComboTexts(child<QComboBox>(window, "lstSelectTq")),
                 (QStringList{"24", "12", "8"}));
    }

    void analysisFollowsTheSettings() {
        frmMainBitTime window;
        window.show();
        next(window);
        next(window);
        auto* analysis = child<QLabel>(window, "lblAnalysis");
        // 16 Tq at 125 ns: SJW 1 allows 1 / 320 of drift; prop 1 leaves no cable.
        QVERIFY2(analysis->text().contains(QStringLiteral("tolerance 0.3125 %")),
                 qPrintable(analysis->text()));
        QVERIFY(analysis->text().contains(
            QStringLiteral("Sample point 62.5 %, earlier than the 87.5 %")));
        child<QScrollBar>(window, "sclSJW")->setValue(2);
        QVERIFY2(analysis->text().contains(QStringLiteral("tolerance 0.625 %")),
                 qPrintable(analysis->text()));
    }

    void panelsFollowTheWindowSize() {
        frmMainBitTime window;
        window.show();
        next(window);
        auto* control = child<vrnctlBitTime>(window, "vrnBitTime");
        auto* segment = child<QWidget>(window, "pctSegment");
        const int bands = child<QWidget>(window, "pctTop")->height() +
                          child<QWidget>(window, "pctTop2")->height();

        window.resize(900, 600);
        QCOMPARE(control->geometry(), QRect(0, bands, 900, 600 - bands));
        QCOMPARE(segment->geometry(), control->geometry());

        // No room for a content area: both panels stay where they were.
        window.resize(900, bands);
        QCOMPARE(control->geometry(), QRect(0, bands, 900, 600 - bands));
        window.resize(700, bands + 1);
        QCOMPARE(control->geometry(), QRect(0, bands, 700, 1));
    }
};

QTEST_MAIN(WindowTest)
#include "window_tests.moc"
