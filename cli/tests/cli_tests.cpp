// Runs quillon-cli as a script would: exit statuses and one-line messages for bad
// arguments, the register table, the JSON documents, reproducible report files, the
// refusal of a failing setting and the hand-off of the report to the desktop.
#include "CliProcess.h"
#include "timing/NumberFormat.h"
#include "timing/Version.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList kDefaultChoice{QStringLiteral("--osc"), QStringLiteral("16"),
                                 QStringLiteral("--rate"), QStringLiteral("500")};

QStringList Args(const char* text) {
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QJsonObject ParseJson(const QByteArray& text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qWarning("not a JSON object: %s", qPrintable(error.errorString()));
        return {};
    }
    return document.object();
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// Little-endian 32-bit value of a BMP header field.
qint32 HeaderValue(const QByteArray& bmp, int offset) {
    qint32 value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bmp.at(offset + i));
    }
    return value;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private slots:
    void badArgumentsAreRefusedWithoutWriting_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("argument"); // the argument the message must name
        QTest::addColumn<QString>("message");  // the full message where it is fixed, or empty

        const QString osc = QStringLiteral("quillon-cli: --osc: The oscillator must be greater "
                                           "than 0.");
        const QString rate = QStringLiteral("quillon-cli: --rate: The CAN baud rate must be "
                                            "greater than 0 and no more than 1000.");
        QTest::newRow("oscillator 0") << Args("candidates --osc 0 --rate 500") << "--osc" << osc;
        QTest::newRow("oscillator below 1")
            << Args("timing --osc 0.99 --rate 500 --pick 1") << "--osc" << osc;
        QTest::newRow("oscillator without number")
            << Args("report --osc MHz --rate 500 --pick 1") << "--osc" << osc;
        QTest::newRow("oscillator beyond 1E+300")
            << Args("timing --osc 1e303 --rate 500 --pick 1") << "--osc"
            << QStringLiteral(
                   "quillon-cli: --osc: The oscillator must be no more than 1E+300 MHz.");
        QTest::newRow("rate above 1000")
            << Args("report --osc 16 --rate 1000.5 --pick 1") << "--rate" << rate;
        QTest::newRow("unknown option")
            << Args("timing --osc 16 --rate 500 --pick 1 --bogus") << "--bogus" << QString();
        QTest::newRow("analyse is for candidates")
            << Args("timing --osc 16 --rate 500 --pick 1 --analyse") << "--analyse"
            << QStringLiteral("quillon-cli: --analyse: unknown option for timing");
        QTest::newRow("analyse in both spellings")
            << Args("candidates --osc 16 --rate 500 --analyse --analyze") << "--analyze"
            << QString();
        QTest::newRow("pick beyond the list")
            << Args("report --osc 16 --rate 500 --pick 9") << "--pick" << QString();
        QTest::newRow("pick from an empty list")
            << Args("timing --osc 16 --rate 999 --pick 1") << "--pick" << QString();
        QTest::newRow("pick 0") << Args("timing --osc 16 --rate 500 --pick 0") << "--pick"
                                << QString();
        QTest::newRow("prop 9") << Args("report --osc 16 --rate 500 --pick 1 --prop 9") << "--prop"
                                << QString();
        QTest::newRow("phase2 1") << Args("report --osc 16 --rate 500 --pick 1 --phase2 1")
                                  << "--phase2" << QString();
        QTest::newRow("sjw 5") << Args("timing --osc 16 --rate 500 --pick 1 --sjw 5") << "--sjw"
                               << QString();
        QTest::newRow("brp1 64") << Args("report --osc 16 --rate 500 --brp1 64 --tq 8") << "--brp1"
                                 << QString();
        QTest::newRow("not a whole number")
            << Args("report --osc 16 --rate 500 --pick 1 --prop 2.5") << "--prop" << QString();
        QTest::newRow("missing value at the end")
            << Args("timing --osc 16 --rate 500 --pick") << "--pick" << QString();
        QTest::newRow("missing value before an option")
            << Args("report --osc --rate 500 --pick 1") << "--osc" << QString();
        QTest::newRow("flag with a value")
            << Args("report --osc 16 --rate 500 --pick 1 --sam=1") << "--sam" << QString();
        QTest::newRow("given twice") << Args("report --osc 16 --rate 500 --pick 1 --prop 1 "
                                             "--prop 2")
                                     << "--prop" << QString();
        QTest::newRow("oscillator missing")
            << Args("candidates --rate 500") << "--osc" << QString();
        QTest::newRow("pick and grid cell")
            << Args("report --osc 16 --rate 500 --pick 1 --brp1 0 --tq 8") << "--pick" << QString();
        QTest::newRow("brp1 without tq")
            << Args("report --osc 16 --rate 500 --brp1 0") << "--tq" << QString();
        QTest::newRow("no selection")
            << Args("report --osc 16 --rate 500") << "report" << QString();
        QTest::newRow("unknown command") << Args("frobnicate") << "frobnicate" << QString();
        QTest::newRow("output folder missing")
            << Args("report --osc 16 --rate 500 --pick 1 --out no-such-folder") << "--out"
            << QString();
    }

    void badArgumentsAreRefusedWithoutWriting() {
        QFETCH(QStringList, args);
        QFETCH(QString, argument);
        QFETCH(QString, message);
        QTemporaryDir workDir;
        QVERIFY(workDir.isValid());

        const CliRun run = RunCli(args, workDir.path());
        QCOMPARE(run.status, 2);
        QVERIFY(run.out.isEmpty());
        const QString err = QString::fromUtf8(run.err);
        QVERIFY2(err.endsWith(QLatin1Char('\n')) && err.count(QLatin1Char('\n')) == 1,
                 qPrintable(err));
        QVERIFY2(err.startsWith(QStringLiteral("quillon-cli: ") + argument + QStringLiteral(":")),
                 qPrintable(err));
        if (!message.isEmpty()) {
            QCOMPARE(err.trimmed(), message);
        }
        QCOMPARE(Entries(workDir.path()), QStringList());
    }

    void timingPrintsTheRegisterTable() {
        const CliRun run = RunCli(QStringList{QStringLiteral("timing")} + kDefaultChoice +
                                  Args("--pick 2 --prop 2 --phase1 3 --phase2 2"));
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        const QString out = QString::fromUtf8(run.out);
        const auto hasLine = [&out](const char* pattern) {
            return out.contains(QRegularExpression(QString::fromLatin1(pattern),
                                                   QRegularExpression::MultilineOption));
        };
        QVERIFY2(hasLine("^CNF2/BRGCON2 +b'10010001' +0x91$"), qPrintable(out));
        QVERIFY2(hasLine("^CICFG2 +b'0000000110010001' +0x0191$"), qPrintable(out));
        QVERIFY2(hasLine("^Sample point +75\\.0 %$"), qPrintable(out));
        QVERIFY2(hasLine("^Verdict +These settings meet all timing requirements\\.$"),
                 qPrintable(out));
    }

    void timingJson_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("cnf1");
        QTest::addColumn<int>("cnf2");
        QTest::addColumn<int>("cnf3");
        QTest::addColumn<QString>("cicfg2Hex");
        QTest::addColumn<int>("phase2Effective");
        QTest::addColumn<QString>("samplePoint");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("errorText");
        QTest::addColumn<bool>("busIdleWarning");

        const QString pass = QStringLiteral("These settings meet all timing requirements.");
        QTest::newRow("list entry, programmed phase 2")
            << Args("timing --osc 16 --rate 500 --pick 2 --prop 2 --phase1 3 --phase2 2") << 0x01
            << 0x91 << 0x01 << "0x0191" << 2 << "75.0" << pass << "0.0 %" << false;
        QTest::newRow("same settings, larger-of mode")
            << Args("timing --osc 16 --rate 500 --pick 2 --prop 2 --phase1 3 --phase2 2 "
                    "--larger-of")
            << 0x01 << 0x11 << 0x00 << "0x0011" << 3 << "75.0"
            << "The sync, propagation, phase 1 and phase 2 times must equal the total tq values."
            << "0.0 %" << false;
        QTest::newRow("grid cell off the target rate")
            << Args("timing --osc 16 --rate 300 --brp1 1 --tq 13") << 0x01 << 0xA8 << 0x04
            << "0x04A8" << 5 << "61.5" << pass << "-2.564 %  (Actual Baud Rate is 307.692308 kbps )"
            << false;
        QTest::newRow("flags on, fields at their minimum, larger-of mode")
            << Args("timing --osc 16 --rate 500 --brp1 0 --tq 8 --prop 1 --phase1 1 --sam "
                    "--wakfil --larger-of")
            << 0x00 << 0x40 << 0x40 << "0x4040" << 2 << "37.5"
            << "The sync, propagation, phase 1 and phase 2 times must equal the total tq values."
            << "-100.0 %  (Actual Baud Rate is 1.000 Mbps )" << true;
        QTest::newRow("SJW longer than phase 2")
            << Args("timing --osc 16 --rate 500 --pick 2 --sjw 4") << 0xC1 << 0x90 << 0x02
            << "0x0290" << 3 << "62.5"
            << "The Phase2 time must be greater or equal to the syncronization jump width."
            << "0.0 %" << false;
    }

    void timingJson() {
        QFETCH(QStringList, args);
        QFETCH(int, cnf1);
        QFETCH(int, cnf2);
        QFETCH(int, cnf3);
        QFETCH(QString, cicfg2Hex);
        QFETCH(int, phase2Effective);
        QFETCH(QString, samplePoint);
        QFETCH(QString, verdict);
        QFETCH(QString, errorText);
        QFETCH(bool, busIdleWarning);

        const CliRun run = RunCli(args + QStringList{QStringLiteral("--json")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        const QJsonObject json = ParseJson(run.out);
        const QJsonObject registers = json[QLatin1String("registers")].toObject();
        QCOMPARE(registers[QLatin1String("CNF1")][QLatin1String("value")].toInt(), cnf1);
        QCOMPARE(registers[QLatin1String("CNF2")][QLatin1String("value")].toInt(), cnf2);
        QCOMPARE(registers[QLatin1String("CNF3")][QLatin1String("value")].toInt(), cnf3);
        QCOMPARE(registers[QLatin1String("CNF2")][QLatin1String("hex")].toString(),
                 QStringLiteral("0x") +
                     QString::number(cnf2, 16).rightJustified(2, QLatin1Char('0')).toUpper());
        QCOMPARE(registers[QLatin1String("CNF2")][QLatin1String("binary")].toString(),
                 QStringLiteral("b'%1'").arg(cnf2, 8, 2, QLatin1Char('0')));
        QCOMPARE(registers[QLatin1String("CICFG1")][QLatin1String("value")].toInt(), cnf1);
        QCOMPARE(registers[QLatin1String("CICFG2")][QLatin1String("value")].toInt(),
                 cnf3 * 256 + cnf2);
        QCOMPARE(registers[QLatin1String("CICFG2")][QLatin1String("hex")].toString(), cicfg2Hex);
        QCOMPARE(json[QLatin1String("segments")][QLatin1String("phase2_effective")].toInt(),
                 phase2Effective);
        QCOMPARE(json[QLatin1String("sample_point_text")].toString(), samplePoint);
        QCOMPARE(json[QLatin1String("verdict")][QLatin1String("text")].toString(), verdict);
        QCOMPARE(json[QLatin1String("verdict")][QLatin1String("pass")].toBool(),
                 verdict.startsWith(QStringLiteral("These settings meet")));
        QCOMPARE(json[QLatin1String("rate")][QLatin1String("error_text")].toString(), errorText);
        QCOMPARE(json[QLatin1String("bus_idle_warning")].isObject(), busIdleWarning);
    }

    void timingAnalysis_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<double>("tolerancePercent");
        QTest::addColumn<double>("roundTripSeconds");
        QTest::addColumn<double>("busLengthMetres");
        QTest::addColumn<double>("samplePoint");
        QTest::addColumn<double>("recommended");
        QTest::addColumn<QString>("comparison");
        QTest::addColumn<QString>("sampleText"); // the text output's sample point row

        // Tolerance: min(SJW / (20 N), min(Q, R) / (2 (13 N - R))). Bus length: the round
        // trip P x Tq less 2 x (50 + 30) ns of transceivers, over 2 x 5 ns per metre.
        // 16 MHz, 500 kbit/s, entry 1: BRP-1 0 (Tq 125 ns), 16 Tq, proposal P1 Q8 R6.
        QTest::newRow("16 Tq proposal, SJW 1")
            << Args("--osc 16 --rate 500 --pick 1") << 100.0 / 320 << 125e-9 << 0.0 << 62.5 << 87.5
            << "earlier than"
            << "62.5 % (earlier than the 87.5 % recommended)";
        QTest::newRow("16 Tq proposal, SJW 2")
            << Args("--osc 16 --rate 500 --pick 1 --sjw 2") << 200.0 / 320 << 125e-9 << 0.0 << 62.5
            << 87.5 << "earlier than"
            << "62.5 % (earlier than the 87.5 % recommended)";
        // 1000 kbit/s: 8 Tq of 125 ns; P2 Q3 R2 puts the sample point at the 75 % advised.
        QTest::newRow("1 Mbit/s at the recommendation")
            << Args("--osc 16 --rate 1000 --pick 1 --prop 2 --phase1 3 --phase2 2") << 100.0 / 160
            << 250e-9 << 9.0 << 75.0 << 75.0 << "at"
            << "75.0 % (at the 75.0 % recommended)";
        // 800 kbit/s: 10 Tq of 125 ns, proposal P1 Q4 R4; the 80 % band includes 800 kbit/s.
        QTest::newRow("800 kbit/s") << Args("--osc 16 --rate 800 --pick 1") << 100.0 / 200 << 125e-9
                                    << 0.0 << 60.0 << 80.0 << "earlier than"
                                    << "60.0 % (earlier than the 80.0 % recommended)";
        // A grid cell of 17 Tq of 250 ns (235.3 kbit/s); phase 2 limits nothing here.
        QTest::newRow("late sample point, long propagation")
            << Args("--osc 16 --rate 250 --brp1 1 --tq 17 --prop 8 --phase1 6 --phase2 2")
            << 100.0 / 340 << 2e-6 << 184.0 << 1500.0 / 17 << 87.5 << "later than"
            << "88.2 % (later than the 87.5 % recommended)";
        // Larger-of mode: the effective phase 2 is 3 (phase 1), not the programmed 2, and with
        // SJW 3 the phases limit the tolerance.
        QTest::newRow("larger-of, phase 2 limits")
            << Args("--osc 16 --rate 500 --pick 2 --prop 1 --phase1 3 --phase2 2 --sjw 3 "
                    "--larger-of")
            << 300.0 / (2 * (104 - 3)) << 250e-9 << 9.0 << 62.5 << 87.5 << "earlier than"
            << "62.5 % (earlier than the 87.5 % recommended)";
    }

    void timingAnalysis() {
        QFETCH(QStringList, args);
        QFETCH(double, tolerancePercent);
        QFETCH(double, roundTripSeconds);
        QFETCH(double, busLengthMetres);
        QFETCH(double, samplePoint);
        QFETCH(double, recommended);
        QFETCH(QString, comparison);
        QFETCH(QString, sampleText);

        const QStringList command{QStringLiteral("timing")};
        const CliRun run = RunCli(command + args + QStringList{QStringLiteral("--json")});
        QCOMPARE(run.status, 0);
        const QJsonObject a = ParseJson(run.out)[QLatin1String("analysis")].toObject();
        QCOMPARE(a[QLatin1String("osc_tolerance_percent")].toDouble(), tolerancePercent);
        QCOMPARE(a[QLatin1String("osc_tolerance")].toDouble() * 100, tolerancePercent);
        QCOMPARE(a[QLatin1String("round_trip_seconds")].toDouble(), roundTripSeconds);
        // Compared with a margin: a zero length must stay zero, not become a fuzzy match.
        QVERIFY(qAbs(a[QLatin1String("bus_length_metres")].toDouble() - busLengthMetres) < 1e-9);
        QCOMPARE(a[QLatin1String("sample_point_percent")].toDouble(), samplePoint);
        // Known fault shared with the window: 1 / (10 x 125 ns) comes out a hair above
        // 800000 bit/s, so the 75 % band is advised until the recommendation compares the
        // rate in whole bit/s.
        QCOMPARE(a[QLatin1String("recommended_sample_point_percent")].toDouble(), recommended);
        QCOMPARE(a[QLatin1String("sample_point_comparison")].toString(), comparison);

        const CliRun text = RunCli(command + args);
        QCOMPARE(text.status, 0);
        const QString out = QString::fromUtf8(text.out);
        const QString tolerance = QString::fromStdString(
            quillon::FormatNumber(tolerancePercent, "0.0###", quillon::kDefaultDecimalSeparator));
        const auto hasRow = [&out](const QString& label, const QString& value) {
            return out.contains(QRegularExpression(
                QStringLiteral("^  %1 +%2$").arg(label, QRegularExpression::escape(value)),
                QRegularExpression::MultilineOption));
        };
        QVERIFY2(out.contains(QStringLiteral("\nAnalysis\n")), qPrintable(out));
        QVERIFY2(hasRow(QStringLiteral("Oscillator tolerance"), tolerance + QStringLiteral(" %")),
                 qPrintable(out));
        QVERIFY2(hasRow(QStringLiteral("Sample point"), sampleText), qPrintable(out));
        QVERIFY2(hasRow(QStringLiteral("Bus length"),
                        QStringLiteral("up to %1 m").arg(busLengthMetres, 0, 'f', 1)),
                 qPrintable(out));
    }

    void candidatesAnalysis_data() {
        QTest::addColumn<QStringList>("args");
        // Per list entry: "P/Q/R/J tolerance% sample-point%", the proposal with SJW 1.
        QTest::addColumn<QStringList>("expected");

        // 16 Tq: min(1/320, 6/404) = 0.3125 %; 8 Tq: min(1/160, 3/202) = 0.625 %.
        QTest::newRow("16 MHz, 500 kbit/s")
            << Args("--osc 16 --rate 500 --analyse")
            << QStringList{"1/8/6/1 0.3125 62.5", "1/3/3/1 0.625 62.5"};
        // 20 Tq: both phases capped at 8, propagation fills 3: min(1/400, 8/504) = 0.25 %;
        // 10 Tq: P1 Q4 R4: min(1/200, 4/252) = 0.5 %.
        QTest::newRow("20 MHz, 125 kbit/s, other spelling")
            << Args("--osc 20 --rate 125 --analyze")
            << QStringList{"3/8/8/1 0.25 60.0", "1/8/6/1 0.3125 62.5", "1/4/4/1 0.5 60.0",
                           "1/3/3/1 0.625 62.5"};
    }

    void candidatesAnalysis() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, expected);
        const QStringList command{QStringLiteral("candidates")};

        const CliRun run = RunCli(command + args + QStringList{QStringLiteral("--json")});
        QCOMPARE(run.status, 0);
        QStringList listed;
        for (const QJsonValue& candidate :
             ParseJson(run.out)[QLatin1String("candidates")].toArray()) {
            const QJsonObject a = candidate[QLatin1String("analysis")].toObject();
            const QJsonObject s = a[QLatin1String("segments")].toObject();
            listed << QStringLiteral("%1/%2/%3/%4 %5 %6")
                          .arg(s[QLatin1String("propagation")].toInt())
                          .arg(s[QLatin1String("phase1")].toInt())
                          .arg(s[QLatin1String("phase2")].toInt())
                          .arg(s[QLatin1String("sjw")].toInt())
                          .arg(a[QLatin1String("osc_tolerance_percent")].toDouble())
                          .arg(a[QLatin1String("sample_point_percent")].toDouble(), 0, 'f', 1);
        }
        QCOMPARE(listed, expected);

        // The table gains the two columns, each row ending in its sample point and tolerance.
        const CliRun text = RunCli(command + args);
        QCOMPARE(text.status, 0);
        const QString out = QString::fromUtf8(text.out);
        QVERIFY2(out.contains(QRegularExpression(
                     QStringLiteral("^# +Tq +BRP-1 +osc1 clks +%Err +SP % +Tol %$"),
                     QRegularExpression::MultilineOption)),
                 qPrintable(out));
        for (int entry = 1; entry <= expected.size(); ++entry) {
            const QStringList fields = expected.at(entry - 1).split(QLatin1Char(' '));
            const QRegularExpression row(QStringLiteral("^%1 .* %2 +%3$")
                                             .arg(entry)
                                             .arg(QRegularExpression::escape(fields.at(2)),
                                                  QRegularExpression::escape(fields.at(1))),
                                         QRegularExpression::MultilineOption);
            QVERIFY2(out.contains(row), qPrintable(out));
        }

        // Without the flag, neither the columns nor the objects appear.
        QStringList plain = args;
        plain.removeIf([](const QString& a) { return a.startsWith(QStringLiteral("--analy")); });
        QVERIFY(!RunCli(command + plain).out.contains("Tol %"));
        QVERIFY(!RunCli(command + plain + QStringList{QStringLiteral("--json")})
                     .out.contains("\"analysis\""));
    }

    void timingWarnsAboutTheBusIdleErratum() {
        // 16 MHz, 1000 kbit/s: BRP-1 0 with 8 Tq is 16 OSC1 clocks per bit.
        const CliRun text = RunCli(Args("timing --osc 16 --rate 1000 --pick 1"));
        QCOMPARE(text.status, 0);
        QVERIFY(text.out.contains("You currently have 16 OSC1 clocks and the minimum is 26."));
        const CliRun json = RunCli(Args("timing --osc 16 --rate 1000 --pick 1 --json"));
        const QJsonObject warning =
            ParseJson(json.out)[QLatin1String("bus_idle_warning")].toObject();
        QCOMPARE(warning[QLatin1String("title")].toString(),
                 QStringLiteral("Potential Problem with settings"));
        QVERIFY(warning[QLatin1String("text")].toString().contains(QStringLiteral("have 16 OSC1")));
    }

    void candidatesJson_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("chosen"); // "Tq/BRP-1/osc1 clks/%Err" in list order

        QTest::newRow("16 MHz, 500 kbit/s")
            << Args("--osc 16 --rate 500") << QStringList{"16/0/32/0.0", "8/1/32/0.0"};
        QTest::newRow("20 MHz, 125 kbit/s")
            << Args("--osc 20 --rate 125")
            << QStringList{"20/3/160/0.0", "16/4/160/0.0", "10/7/160/0.0", "8/9/160/0.0"};
        QTest::newRow("10 MHz, 83.333 kbit/s") << Args("--osc 10 --rate 83.333")
                                               << QStringList{"20/2/120/0.0004", "15/3/120/0.0004",
                                                              "12/4/120/0.0004", "10/5/120/0.0004"};
        QTest::newRow("no match") << Args("--osc 16 --rate 999") << QStringList();
    }

    void candidatesJson() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, chosen);

        const CliRun run =
            RunCli(QStringList{QStringLiteral("candidates")} + args + Args("--grid --json"));
        QCOMPARE(run.status, 0);
        const QJsonObject json = ParseJson(run.out);
        QStringList listed;
        QStringList matchedByList;
        for (const QJsonValue& value : json[QLatin1String("candidates")].toArray()) {
            const QJsonObject texts = value[QLatin1String("texts")].toObject();
            listed << QStringList{texts[QLatin1String("tq")].toString(),
                                  texts[QLatin1String("brp_minus_1")].toString(),
                                  texts[QLatin1String("osc1_clks")].toString(),
                                  texts[QLatin1String("err")].toString()}
                          .join(QLatin1Char('/'));
            matchedByList << QStringLiteral("%1/%2")
                                 .arg(value[QLatin1String("tq_count")].toInt())
                                 .arg(value[QLatin1String("brp_minus_1")].toInt());
        }
        QCOMPARE(listed, chosen);

        // The grid's matching cells, in search order, are exactly the chosen list.
        const QJsonArray rows = json[QLatin1String("grid")][QLatin1String("rows")].toArray();
        QCOMPARE(rows.size(), 64);
        QStringList matchedByGrid;
        for (const QJsonValue& row : rows) {
            const QJsonArray cells = row[QLatin1String("cells")].toArray();
            QCOMPARE(cells.size(), 18);
            for (const QJsonValue& cell : cells) {
                if (cell[QLatin1String("matches")].toBool()) {
                    matchedByGrid << QStringLiteral("%1/%2")
                                         .arg(cell[QLatin1String("tq_count")].toInt())
                                         .arg(row[QLatin1String("brp_minus_1")].toInt());
                }
            }
        }
        QCOMPARE(matchedByGrid, matchedByList);

        // The text form marks the same number of cells.
        const CliRun text =
            RunCli(QStringList{QStringLiteral("candidates")} + args + Args("--grid"));
        QCOMPARE(text.status, 0);
        const QRegularExpression mark(QStringLiteral("b\\*"));
        QCOMPARE(QString::fromUtf8(text.out).count(mark), chosen.size());
    }

    void reportIsReproducible() {
        QTemporaryDir first;
        QTemporaryDir second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("0"));
        const QStringList args = QStringList{QStringLiteral("report")} + kDefaultChoice +
                                 Args("--pick 2 --prop 2 --phase1 3 --phase2 2 --out");
        // One run from inside the folder with the default --out, one naming it.
        const CliRun inside = RunCli(QStringList{QStringLiteral("report")} + kDefaultChoice +
                                         Args("--pick 2 --prop 2 --phase1 3 --phase2 2"),
                                     first.path(), env);
        const CliRun named = RunCli(args + QStringList{second.path()}, QString(), env);
        QCOMPARE(inside.status, 0);
        QCOMPARE(named.status, 0);
        QCOMPARE(inside.err, QByteArray());

        for (const char* name : {"MCP2510Report.htm", "bittime.bmp"}) {
            const QByteArray a = ReadAll(first.filePath(QLatin1String(name)));
            QVERIFY2(!a.isEmpty(), name);
            QCOMPARE(a, ReadAll(second.filePath(QLatin1String(name))));
        }
        const QByteArray html = ReadAll(first.filePath(QStringLiteral("MCP2510Report.htm")));
        QVERIFY(html.contains("Generated 12:00:00 am 01/01/1970"));
        QVERIFY(html.contains("0x0191"));
        const QByteArray bmp = ReadAll(first.filePath(QStringLiteral("bittime.bmp")));
        QVERIFY(bmp.startsWith("BM"));
        QCOMPARE(HeaderValue(bmp, 18), 586);
        QCOMPARE(HeaderValue(bmp, 22), 106);
    }

    void failingVerdictWritesNothing_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("verdict");

        QTest::newRow("wrong total")
            << Args("--pick 2 --prop 3")
            << "The sync, propagation, phase 1 and phase 2 times must equal the total tq values.";
        QTest::newRow("phase 2 too long")
            << Args("--pick 2 --prop 1 --phase1 2 --phase2 4")
            << "The propagation plus phase 1 must be greater than the phase 2 time.";
        QTest::newRow("SJW too long")
            << Args("--pick 2 --sjw 4")
            << "The Phase2 time must be greater or equal to the syncronization jump width.";
    }

    void failingVerdictWritesNothing() {
        QFETCH(QStringList, options);
        QFETCH(QString, verdict);
        QTemporaryDir out;

        const CliRun run = RunCli(QStringList{QStringLiteral("report")} + kDefaultChoice + options +
                                  QStringList{QStringLiteral("--out"), out.path()});
        QCOMPARE(run.status, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(QString::fromUtf8(run.err).contains(verdict), run.err.constData());
        QCOMPARE(Entries(out.path()), QStringList());
    }

    void openHandsTheReportToTheDesktop() {
        // A stand-in for xdg-open that notes the document it was asked to open.
        QTemporaryDir bin;
        QTemporaryDir out;
        const QString noted = bin.filePath(QStringLiteral("opened.txt"));
        QFile script(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n").arg(noted).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"),
                   bin.path() + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
        const CliRun run = RunCli(QStringList{QStringLiteral("report")} + kDefaultChoice +
                                      Args("--pick 1 --open --out") + QStringList{out.path()},
                                  QString(), env);
        QCOMPARE(run.status, 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(noted), 10000);
        QTRY_COMPARE(QString::fromUtf8(ReadAll(noted)),
                     QDir(out.path()).filePath(QStringLiteral("MCP2510Report.htm")));
    }

    // quillon-cli runs report and show in its companion, found beside it or in
    // ../libexec/quillon/; without it those two commands fail with one line, and the
    // others still work.
    void companionIsFoundBesideOrInLibexec_data() {
        QTest::addColumn<QString>("companionDir"); // relative to the prefix; empty: none
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("writesReport");
        QTest::newRow("beside") << "bin"
                                << "report" << 0 << true;
        QTest::newRow("libexec") << "libexec/quillon"
                                 << "report" << 0 << true;
        QTest::newRow("elsewhere") << "lib"
                                   << "report" << 1 << false;
        QTest::newRow("missing report") << ""
                                        << "report" << 1 << false;
        QTest::newRow("missing show") << ""
                                      << "show" << 1 << false;
        QTest::newRow("missing timing") << ""
                                        << "timing" << 0 << false;
    }

    void companionIsFoundBesideOrInLibexec() {
        QFETCH(QString, companionDir);
        QFETCH(QString, command);
        QFETCH(int, status);
        QFETCH(bool, writesReport);
        QTemporaryDir prefix;
        QTemporaryDir out;
        QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
        const QString cli = prefix.filePath(QStringLiteral("bin/quillon-cli"));
        QVERIFY(QFile::copy(QStringLiteral(QUILLON_CLI_PATH), cli));
        if (!companionDir.isEmpty()) {
            QVERIFY(QDir(prefix.path()).mkpath(companionDir));
            QVERIFY(QFile::copy(QStringLiteral(QUILLON_CLI_COMPANION_PATH),
                                prefix.filePath(companionDir + QStringLiteral("/quillon-cli-qt"))));
        }

        QStringList args{command};
        if (command == QLatin1String("report")) {
            args += kDefaultChoice + Args("--pick 1 --out") + QStringList{out.path()};
        } else if (command == QLatin1String("timing")) {
            args += kDefaultChoice + Args("--pick 1");
        }
        const CliRun run = RunProgram(cli, args);
        QCOMPARE(run.status, status);
        if (status != 0) {
            QVERIFY(run.out.isEmpty());
            QCOMPARE(run.err.count('\n'), 1);
            QVERIFY2(run.err.startsWith(
                         ("quillon-cli: " + command + ": quillon-cli-qt is missing").toUtf8()),
                     run.err.constData());
        }
        const QStringList expected = writesReport ? QStringList{QStringLiteral("bittime.bmp"),
                                                                QStringLiteral("MCP2510Report.htm")}
                                                  : QStringList();
        QCOMPARE(Entries(out.path()), expected);
    }

    void helpAndVersion() {
        const CliRun version = RunCli(Args("--version"));
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QByteArray("quillon-cli ") + quillon::kVersion.data() + "\n");
        for (const char* command : {"candidates", "timing", "report"}) {
            // Help wins over everything else on the line, bad arguments included.
            const CliRun help = RunCli(QStringList{QLatin1String(command), QStringLiteral("--rate"),
                                                   QStringLiteral("0"), QStringLiteral("--help")});
            QCOMPARE(help.status, 0);
            QVERIFY(help.out.startsWith(QByteArray("Usage: quillon-cli ") + command));
        }
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "cli_tests.moc"
