// quillon-cli against the window for the same settings: the step-2 grid and list texts of
// vrnctlBitTime, the diagram's duration and sample point labels, and the report files
// that "Generate Report..." writes, byte for byte.
#include "CliProcess.h"
#include "ModalAnswerer.h"
#include "candidates/vrnctlBitTime.h"
#include "report/basShellExecute.h"
#include "timing/NumberFormat.h"
#include "window/BitTimingDiagram.h"
#include "window/frmMainBitTime.h"

#include "window/ImageCanvas.h"
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <QtTest>

#include <string>
#include <vector>

namespace {

QStringList Args(const char* text) {
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QJsonObject ParseJson(const QByteArray& text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        qWarning("not JSON: %s", qPrintable(error.errorString()));
    }
    return document.object();
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Notes the documents handed to the desktop instead of opening them.
class FakeShell final : public quillon::DesktopShell {
public:
    std::string FindExecutable(const std::string& /*filePath*/) override { return {}; }
    bool StartProgram(const std::string& /*program*/, const std::string& /*argument*/) override {
        return false;
    }
    void OpenDocument(const std::string& filePath) override { opened.push_back(filePath); }

    std::vector<std::string> opened;
};

// Keeps the texts the diagram prints.
class RecordingCanvas final : public quillon::BitCanvas {
public:
    void Cls() override {}
    void SetScale(double, double, double, double) override {}
    void SetForeColor(quillon::Rgb) override {}
    void Line(float, float, float, float, quillon::Rgb) override {}
    double TextWidth(const std::string&) override { return 1; }
    double TextHeight(const std::string&) override { return 1; }
    void SetCurrentX(double) override {}
    void SetCurrentY(double) override {}
    void Print(const std::string& utf8) override { printed << QString::fromStdString(utf8); }

    QStringList printed;
};

QString Text(const QJsonValue& value, const char* key) {
    return value[QLatin1String(key)].toString();
}

} // namespace

class CliWindowTest : public QObject {
    Q_OBJECT

private:
    template <typename T> T* child(QWidget& parent, const char* name) {
        T* found = parent.findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("missing child %s", name);
        }
        return found;
    }

    FakeShell shell;

    // Steps the shown window to step 3 with the oscillator, rate and list entry of a run.
    void OpenStep3(frmMainBitTime& window, const QString& osc, const QString& rate, int pick) {
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        child<QLineEdit>(window, "txtOsc")->setText(osc);
        child<QLineEdit>(window, "txtCANBaud")->setText(rate);
        child<QPushButton>(window, "cmdNext")->click();
        child<QPushButton>(window, "cmdNext")->click();
        auto* list = child<QComboBox>(window, "lstSelectTq");
        QVERIFY(pick <= list->count());
        list->setCurrentIndex(pick - 1);
        emit list->activated(pick - 1);
    }

private slots:
    void initTestCase() {
        // The tool always writes a point; the window follows the locale, so use one with a
        // point. The time stamp is fixed for both.
        QLocale::setDefault(QLocale::c());
        qputenv("SOURCE_DATE_EPOCH", "1700000000");
        quillon::SetDesktopShell(&shell);
    }

    void cleanupTestCase() { quillon::SetDesktopShell(nullptr); }

    void candidateTextsMatchTheControl_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("rate");
        QTest::newRow("16 MHz, 500 kbit/s") << "16"
                                            << "500";
        QTest::newRow("10 MHz, 83.333 kbit/s") << "10"
                                               << "83.333";
        QTest::newRow("1 MHz, 10 kbit/s (micro seconds)") << "1"
                                                          << "10";
    }

    void candidateTextsMatchTheControl() {
        QFETCH(QString, osc);
        QFETCH(QString, rate);
        const CliRun run = RunCli(QStringList{QStringLiteral("candidates"), QStringLiteral("--osc"),
                                              osc, QStringLiteral("--rate"), rate} +
                                  Args("--grid --json"));
        QCOMPARE(run.status, 0);
        const QJsonObject json = ParseJson(run.out);

        vrnctlBitTime control;
        control.setDecimalSeparator(QStringLiteral("."));
        control.SetOscFreqInMhz(osc.toDouble());
        control.SetCANBaudRate(rate.toDouble() * 1000);
        control.Calculate();

        const QJsonObject grid = json[QLatin1String("grid")].toObject();
        QCOMPARE(control.cellText(0, 0), Text(grid, "corner"));
        const QJsonArray headings = grid[QLatin1String("headings")].toArray();
        QCOMPARE(control.columnCount(), headings.size() + 1);
        for (int col = 1; col < control.columnCount(); ++col) {
            QCOMPARE(control.cellText(0, col), headings.at(col - 1).toString());
        }
        const QJsonArray rows = grid[QLatin1String("rows")].toArray();
        QCOMPARE(control.rowCount(), rows.size() + 1);
        for (int row = 1; row < control.rowCount(); ++row) {
            const QJsonValue jsonRow = rows.at(row - 1);
            QCOMPARE(control.cellText(row, 0), Text(jsonRow, "label"));
            QCOMPARE(control.cellText(row, 1), Text(jsonRow, "tq_text"));
            const QJsonArray cells = jsonRow[QLatin1String("cells")].toArray();
            for (int col = 2; col < control.columnCount(); ++col) {
                const QJsonValue cell = cells.at(col - 2);
                QCOMPARE(control.cellText(row, col), Text(cell, "text"));
                QCOMPARE(control.cellIsSilver(row, col), !cell[QLatin1String("matches")].toBool());
            }
        }

        const auto* list = child<QTreeWidget>(control, "lvwTq");
        const QJsonArray candidates = json[QLatin1String("candidates")].toArray();
        QCOMPARE(list->topLevelItemCount(), candidates.size());
        for (int i = 0; i < candidates.size(); ++i) {
            const QJsonValue texts = candidates.at(i)[QLatin1String("texts")];
            const QTreeWidgetItem* item = list->topLevelItem(i);
            QCOMPARE(QStringList({item->text(0), item->text(1), item->text(2), item->text(3)}),
                     QStringList({Text(texts, "tq"), Text(texts, "brp_minus_1"),
                                  Text(texts, "osc1_clks"), Text(texts, "err")}));
        }
    }

    void durationsMatchTheDiagram_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("16 MHz, list entry") << Args("--osc 16 --rate 500 --pick 1 --sjw 3");
        QTest::newRow("multiple sampling, larger-of")
            << Args("--osc 20 --rate 125 --pick 2 --sam --larger-of --phase1 7");
        QTest::newRow("grid cell, long quanta") << Args("--osc 1 --rate 10 --brp1 63 --tq 25");
        QTest::newRow("odd oscillator") << Args("--osc 14.7456 --rate 250 --brp1 2 --tq 9");
    }

    void durationsMatchTheDiagram() {
        QFETCH(QStringList, args);
        const CliRun run =
            RunCli(QStringList{QStringLiteral("timing")} + args + QStringList{"--json"});
        QCOMPARE(run.status, 0);
        const QJsonObject json = ParseJson(run.out);
        const QJsonObject segments = json[QLatin1String("segments")].toObject();
        const QJsonObject durations = json[QLatin1String("durations")].toObject();

        quillon::DiagramInputs in;
        in.dTqCountFromText = segments[QLatin1String("tq_count")].toInt();
        in.lListIndex = 0;
        in.lBRPMinus1 = json[QLatin1String("candidate")][QLatin1String("brp_minus_1")].toInt();
        in.dOscFreqMHz = json[QLatin1String("oscillator_mhz")].toDouble();
        in.lPropagation = segments[QLatin1String("propagation")].toInt();
        in.lPhase1 = segments[QLatin1String("phase1")].toInt();
        in.lPhase2Effective = segments[QLatin1String("phase2_effective")].toInt();
        in.lSJW = segments[QLatin1String("sjw")].toInt();
        in.bSam = segments[QLatin1String("sam")].toBool();
        RecordingCanvas canvas;
        QVERIFY(quillon::DrawBitTimingDiagram(canvas, in));

        for (const char* name : {"propagation", "phase1", "phase2"}) {
            const QString text = Text(durations[QLatin1String(name)], "text");
            QVERIFY2(canvas.printed.contains(text), qPrintable(text));
        }
        const QString sjw = QStringLiteral("SJW ") + Text(durations[QLatin1String("sjw")], "text");
        QVERIFY2(canvas.printed.contains(sjw), qPrintable(sjw));
        const QString percent = json[QLatin1String("sample_point_text")].toString();
        const QString sample = in.bSam ? QStringLiteral("3 Sample Points  (%1 % of bit time)")
                                       : QStringLiteral("Sample Point (%1 % of bit time)");
        QVERIFY2(canvas.printed.contains(sample.arg(percent)), qPrintable(percent));
    }

    void analysisMatchesTheWindow_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<int>("pick");
        QTest::addColumn<int>("sjw");
        QTest::addColumn<bool>("largerOf");

        QTest::newRow("16 Tq proposal") << "16"
                                        << "500" << 1 << 1 << false;
        QTest::newRow("8 Tq, SJW 2") << "16"
                                     << "500" << 2 << 2 << false;
        QTest::newRow("odd oscillator, larger-of, SJW 4") << "14.7456"
                                                          << "115.2" << 1 << 4 << true;
        QTest::newRow("800 kbit/s") << "16"
                                    << "800" << 1 << 1 << false;
    }

    void analysisMatchesTheWindow() {
        QFETCH(QString, osc);
        QFETCH(QString, rate);
        QFETCH(int, pick);
        QFETCH(int, sjw);
        QFETCH(bool, largerOf);

        QStringList args{QStringLiteral("timing"),
                         QStringLiteral("--osc"),
                         osc,
                         QStringLiteral("--rate"),
                         rate,
                         QStringLiteral("--pick"),
                         QString::number(pick),
                         QStringLiteral("--sjw"),
                         QString::number(sjw),
                         QStringLiteral("--json")};
        if (largerOf) {
            args << QStringLiteral("--larger-of");
        }
        const CliRun run = RunCli(args);
        QVERIFY2(run.status == 0, run.err.constData());
        const QJsonObject a = ParseJson(run.out)[QLatin1String("analysis")].toObject();
        const auto format = [](double value, const char* pattern) {
            return QString::fromStdString(quillon::FormatNumber(value, pattern));
        };

        ModalAnswerer answerer;
        frmMainBitTime window;
        window.show();
        OpenStep3(window, osc, rate, pick);
        if (QTest::currentTestFailed()) {
            return;
        }
        child<QScrollBar>(window, "sclSJW")->setValue(sjw);
        if (largerOf) {
            child<QRadioButton>(window, "optPhase2_1")->click();
        }

        const QString label = child<QLabel>(window, "lblAnalysis")->text();
        const QRegularExpression form(QStringLiteral(
            "^Oscillator tolerance (\\S+) %.*bus length up to (\\S+) m.*Sample point (\\S+) %, "
            "(.+) the (\\S+) % recommended$"));
        const QRegularExpressionMatch shown = form.match(label);
        QVERIFY2(shown.hasMatch(), qPrintable(label));
        QCOMPARE(shown.captured(1),
                 format(a[QLatin1String("osc_tolerance_percent")].toDouble(), "0.0###"));
        QCOMPARE(shown.captured(2),
                 format(a[QLatin1String("bus_length_metres")].toDouble(), "0.0"));
        QCOMPARE(shown.captured(3),
                 format(a[QLatin1String("sample_point_percent")].toDouble(), "0.0"));
        QCOMPARE(shown.captured(4), a[QLatin1String("sample_point_comparison")].toString());
        QCOMPARE(shown.captured(5),
                 format(a[QLatin1String("recommended_sample_point_percent")].toDouble(), "0.0"));
    }

    void reportMatchesTheWindow_data() {
        QTest::addColumn<QString>("osc");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<int>("pick");
        QTest::addColumn<int>("prop"); // 0: keep the proposal
        QTest::addColumn<int>("phase1");
        QTest::addColumn<int>("phase2");
        QTest::addColumn<int>("sjw");
        QTest::addColumn<bool>("sam");
        QTest::addColumn<bool>("wakfil");
        QTest::addColumn<bool>("largerOf");

        QTest::newRow("worked example")
            << "16"
            << "500" << 2 << 2 << 3 << 2 << 0 << false << false << false;
        QTest::newRow("larger-of, both flags, SJW 2")
            << "20"
            << "125" << 3 << 0 << 0 << 0 << 2 << true << true << true;
        QTest::newRow("bus idle warning")
            << "16"
            << "1000" << 1 << 0 << 0 << 0 << 0 << false << false << false;
        QTest::newRow("micro seconds") << "1"
                                       << "10" << 1 << 0 << 0 << 0 << 0 << false << false << false;
        QTest::newRow("off the rate")
            << "10"
            << "83.333" << 2 << 0 << 0 << 0 << 0 << false << false << false;
    }

    void reportMatchesTheWindow() {
        QFETCH(QString, osc);
        QFETCH(QString, rate);
        QFETCH(int, pick);
        QFETCH(int, prop);
        QFETCH(int, phase1);
        QFETCH(int, phase2);
        QFETCH(int, sjw);
        QFETCH(bool, sam);
        QFETCH(bool, wakfil);
        QFETCH(bool, largerOf);

        QStringList args{
            QStringLiteral("report"), QStringLiteral("--osc"), osc, QStringLiteral("--rate"), rate,
            QStringLiteral("--pick"), QString::number(pick)};
        const auto option = [&args](const char* name, int value) {
            if (value > 0) {
                args << QLatin1String(name) << QString::number(value);
            }
        };
        option("--prop", prop);
        option("--phase1", phase1);
        option("--phase2", phase2);
        option("--sjw", sjw);
        const auto flag = [&args](const char* name, bool on) {
            if (on) {
                args << QLatin1String(name);
            }
        };
        flag("--sam", sam);
        flag("--wakfil", wakfil);
        flag("--larger-of", largerOf);
        QTemporaryDir out;
        const CliRun run = RunCli(args + QStringList{QStringLiteral("--out"), out.path()});
        QVERIFY2(run.status == 0, run.err.constData());

        // The same settings through the window.
        ModalAnswerer answerer;
        frmMainBitTime window;
        window.show();
        OpenStep3(window, osc, rate, pick);
        if (QTest::currentTestFailed()) {
            return;
        }
        const auto setBar = [this, &window](const char* name, int value) {
            if (value > 0) {
                child<QScrollBar>(window, name)->setValue(value);
            }
        };
        setBar("sclProp", prop);
        setBar("sclPhase1", phase1);
        setBar("sclPhase2", phase2);
        setBar("sclSJW", sjw);
        child<QCheckBox>(window, "chkMultipleSampling")->setChecked(sam);
        child<QCheckBox>(window, "chkUseWakeUpFilter")->setChecked(wakfil);
        if (largerOf) {
            child<QRadioButton>(window, "optPhase2_1")->click();
        }

        // At its design size the window shows the picture at the size the tool draws.
        QTRY_COMPARE(child<QWidget>(window, "pctDisplay")->size(), kWindowPictureSize);

        const QDir programFolder(QCoreApplication::applicationDirPath());
        const QString windowReport = programFolder.filePath(QStringLiteral("MCP2510Report.htm"));
        const QString windowBitmap = programFolder.filePath(QStringLiteral("bittime.bmp"));
        QFile::remove(windowReport);
        QFile::remove(windowBitmap);
        shell.opened.clear();
        auto* generate = child<QPushButton>(window, "cmdGenerateReport");
        QVERIFY(generate->isEnabled());
        generate->click();
        QCOMPARE(shell.opened.size(), std::size_t{1});

        const QByteArray windowHtml = ReadAll(windowReport);
        const QByteArray windowBmp = ReadAll(windowBitmap);
        QFile::remove(windowReport);
        QFile::remove(windowBitmap);
        QVERIFY(!windowHtml.isEmpty());
        QVERIFY(!windowBmp.isEmpty());
        QCOMPARE(ReadAll(out.filePath(QStringLiteral("MCP2510Report.htm"))), windowHtml);
        QVERIFY(ReadAll(out.filePath(QStringLiteral("bittime.bmp"))) == windowBmp);
    }
};

QTEST_MAIN(CliWindowTest)
#include "cli_window_tests.moc"
