// quillon-cli and its companion as a script runs them: refusals as one line with their
// status and no file written, the JSON document, the report files byte for byte, the
// hand-off of the report to the desktop and the places the companion is looked for.
#include "CliProcess.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <iterator>
#include <sstream>
#include <thread>

namespace quillon::cli::test {
namespace {

const std::string kCli = QUILLON_CLI_PATH;
const std::string kCompanion = QUILLON_CLI_COMPANION_PATH;
// The settings of the report example: 16 MHz, 500 kbit/s, BRP-1 1, 8 Tq (P2 Q3 R2),
// generated at 3:07:09 pm on 12/04/2026 (UTC).
const std::string kExampleReport =
    "report --osc 16 --rate 500 --pick 2 --prop 2 --phase1 3 --phase2 2";
const Environment kExampleTime{{"SOURCE_DATE_EPOCH", "1796396829"}};

// `text` with {dir} standing for `dir`.
std::string WithDir(std::string text, const std::string& dir) {
    for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;) {
        text.replace(at, 5, dir);
    }
    return text;
}

std::vector<std::string> Args(const std::string& line, const std::string& dir = {}) {
    std::istringstream words(WithDir(line, dir));
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

std::vector<std::string> Entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct RefusalRow {
    const std::string* program;
    const char* args;
    int status;
    const char* message; // after "quillon-cli: ", {dir} for the output folder
};

class ProcessRefusals : public testing::TestWithParam<RefusalRow> {};

TEST_P(ProcessRefusals, OneLineAndNothingWritten) {
    const RefusalRow& row = GetParam();
    const TempDir out;
    const ProcessRun run = RunProgram(*row.program, Args(row.args, out.Str()));
    EXPECT_EQ(run.status, row.status);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "quillon-cli: " + WithDir(row.message, out.Str()) + "\n");
    EXPECT_TRUE(Entries(out.Path()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    BothPrograms, ProcessRefusals,
    testing::Values(
        RefusalRow{&kCli, "timing --osc 16 --rate 500 --pick 1 --prop 9 --json", 2,
                   "--prop: 9 is outside 1 to 8"},
        RefusalRow{&kCompanion, "report --osc 16 --rate 500 --pick 1 --sjw 5 --out {dir}", 2,
                   "--sjw: 5 is outside 1 to 4"},
        RefusalRow{&kCli, "report --osc 16 --rate 500 --pick 1 --out {dir}/missing", 2,
                   "--out: '{dir}/missing' is not a folder"},
        RefusalRow{&kCli, "report --osc 16 --rate 500 --pick 2 --prop 3 --out {dir}", 1,
                   "report: The sync, propagation, phase 1 and phase 2 times must equal the "
                   "total tq values."},
        // Numbers are read strictly, and an oscillator or rate in another unit is named.
        RefusalRow{&kCli, "timing --osc 16,5 --rate 500 --pick 1", 2,
                   "--osc: '16,5': a comma is no decimal point here; did you mean 16.5?"},
        RefusalRow{&kCli, "candidates --osc 16MHz --rate 500", 2,
                   "--osc: '16MHz': the unit is implied (MHz); give the number alone: 16"},
        RefusalRow{&kCli, "candidates --osc= --rate 500", 2,
                   "--osc: the value is empty; give a number in MHz"},
        RefusalRow{&kCli, "timing --osc 16 --rate 1e999 --pick 1", 2,
                   "--rate: '1e999' is too large to be read as a number"},
        RefusalRow{&kCli, "timing --osc 16000000 --rate 500 --pick 1", 2,
                   "--osc: 16000000 looks like Hz: did you mean 16 MHz?"},
        RefusalRow{&kCli, "fd candidates --osc 40000 --rate 500 --data-rate 2000", 2,
                   "--osc: 40000 looks like kHz: did you mean 40 MHz?"},
        RefusalRow{&kCli, "candidates --osc 16 --rate 500000", 2,
                   "--rate: 500000 looks like bit/s: did you mean 500 kbit/s?"},
        RefusalRow{&kCli, "candidates --osc 500 --rate 16", 2,
                   "--osc 500 --rate 16: the oscillator and the rate look swapped; did you mean "
                   "--osc 16 --rate 500?"},
        RefusalRow{&kCli, "bus --rate 500 --node uno=mcp251x@8000000 --node b=mcp251x@16", 2,
                   "--node: node 'uno': oscillator: 8000000 looks like Hz: did you mean 8 MHz?"}));

// A value with a blank inside, as a quoted shell word gives it.
TEST(Process, SeveralNumbersInOneValueAreRefused) {
    const ProcessRun run = RunProgram(kCli, {"candidates", "--osc", "16 500", "--rate", "500"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "quillon-cli: --osc: '16 500' holds more than one number; give one\n");
}

TEST(Process, TimingJsonIsOneDocument) {
    const ProcessRun run = RunProgram(
        kCli, Args("timing --osc 16 --rate 500 --pick 2 --prop 2 --phase1 3 --phase2 2 --json"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    EXPECT_EQ(json["registers"]["CICFG2"]["hex"].toString().toStdString(), "0x0191");
}

TEST(Process, KernelJsonHoldsTheKernelsChoiceOrWhyThereIsNone) {
    const ProcessRun run = RunProgram(kCli, Args("kernel --osc 16 --rate 500 --json"));
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out));
    const QJsonObject kernel = json["kernel_choice"].toObject();
    QStringList fields;
    for (const char* key : {"tq_ns", "prop_seg", "phase_seg1", "phase_seg2", "sjw", "brp",
                            "bitrate_bps", "sample_point_percent"}) {
        fields << kernel[key].toVariant().toString();
    }
    EXPECT_EQ(fields.join(' ').toStdString(), "125 6 7 2 1 1 500000 87.5");
    EXPECT_EQ(kernel["registers"]["CNF2"]["hex"].toString().toStdString(), "0xB5");
    EXPECT_EQ(json["quillon"]["recommended"]["segments"]["sjw"].toInt(), 2);

    const ProcessRun none = RunProgram(kCli, Args("kernel --osc 8 --rate 1000 --json"));
    ASSERT_EQ(none.status, 0) << none.err;
    const QJsonDocument refused = QJsonDocument::fromJson(QByteArray::fromStdString(none.out));
    EXPECT_TRUE(refused["kernel_choice"].isNull());
    EXPECT_EQ(refused["reason"].toString().toStdString(), "bitrate error: 33.3% too high");
    EXPECT_TRUE(refused["quillon"]["proposed"].isNull());
}

// A controller of the table through timing, kernel and decode: the AT91 CAN cell on a 132 MHz
// peripheral clock, its CAN_BR read back, and the table itself as JSON.
TEST(Process, ControllerFromTheTableRunsEndToEnd) {
    const ProcessRun kernel =
        RunProgram(kCli, Args("kernel --controller sama5d3 --osc 132 --rate 500 --json"));
    ASSERT_EQ(kernel.status, 0) << kernel.err;
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(kernel.out));
    const std::string canBr =
        json["kernel_choice"]["registers"]["CAN_BR"]["hex"].toString().toStdString();
    EXPECT_EQ(canBr, "0x00150341");
    EXPECT_EQ(json["kernel_choice"]["clock_hz"].toInteger(), 132000000);

    const ProcessRun decode = RunProgram(
        kCli, Args("decode --controller at91 --osc 132 --rate 500 --registers " + canBr));
    EXPECT_EQ(decode.status, 0) << decode.out;
    EXPECT_NE(decode.out.find("Bit rate          500.000 kbps"), std::string::npos) << decode.out;

    const ProcessRun table = RunProgram(kCli, Args("controllers --json"));
    ASSERT_EQ(table.status, 0) << table.err;
    const QJsonDocument rows = QJsonDocument::fromJson(QByteArray::fromStdString(table.out));
    QStringList names;
    for (const QJsonValue row : rows["controllers"].toArray()) {
        names << row["name"].toString();
    }
    EXPECT_EQ(names.join(' ').toStdString(),
              "mcp251x mcp2510 mcp2515 mcp25625 pic18 dspic30 dspic33f dspic33e pic24h pic24e "
              "pic32mx at91 mcp2517fd mcp2518fd mcp251863 dspic33c mcan");
}

// Firmware for 16 MHz on a board that runs at half the rate: status 1 for the finding, and
// the 8 MHz crystal with its registers for 500 kbit/s.
TEST(Process, DecodeJsonSuggestsTheRealCrystal) {
    const ProcessRun run =
        RunProgram(kCli, Args("decode --osc 16 --cnf 0x00,0xF0,0x86 --measured-rate 250 --json"));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err, "");
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    EXPECT_EQ(json["findings"][0]["code"].toString().toStdString(), "measured-rate");
    EXPECT_EQ(json["findings"][0]["text"].toString().toStdString(),
              "The bus was measured at 250.0 kbit/s, but these registers give 500.0 kbit/s on 16 "
              "MHz: the board's oscillator is likely 8 MHz.");
    EXPECT_EQ(json["oscillator_suggestions"][0]["oscillator_mhz"].toDouble(), 8.0);
    EXPECT_EQ(json["oscillator_suggestions"][0]["registers"]["CNF2"]["hex"].toString(), "0xCA");
    EXPECT_TRUE(json["decoded"]["other_bits"][0]["set"].toBool());
}

QJsonDocument JsonOf(const std::string& args, int status) {
    const ProcessRun run = RunProgram(kCli, Args(args));
    EXPECT_EQ(run.status, status) << run.err;
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out;
    return json;
}

// A setting that will not work on the bus as built: printed all the same (export as C),
// status 1, the finding in the text (on stderr for export) and in the JSON.
struct FindingRow {
    const char* args;
    int status;
    const char* line; // a line of stdout, or of stderr for export
    const char* code; // of a finding in the JSON of the same line with --json
};

class ProcessFindings : public testing::TestWithParam<FindingRow> {};

TEST_P(ProcessFindings, StatusTextAndJsonAgree) {
    const FindingRow& row = GetParam();
    const std::string args(row.args);
    const bool exported = args.rfind("export", 0) == 0;
    const ProcessRun text = RunProgram(kCli, Args(exported ? args + " --format c-mcp251x" : args));
    EXPECT_EQ(text.status, row.status) << text.err;
    EXPECT_NE((text.out + text.err).find(row.line), std::string::npos) << text.out << text.err;
    EXPECT_NE(text.out, "");
    const QJsonDocument json =
        JsonOf(exported ? args + " --format json" : args + " --json", row.status);
    QStringList codes;
    for (const QJsonValue finding : json["findings"].toArray()) {
        codes << finding["code"].toString();
    }
    EXPECT_TRUE(codes.contains(row.code)) << codes.join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    OnTheBus, ProcessFindings,
    testing::Values(
        // The grid cell of half the rate.
        FindingRow{"timing --osc 16 --rate 500 --brp1 1 --tq 16", 1,
                   "\n  error: The bit rate is 250.000 kbps, 50.0 % below the 500.000 kbps",
                   "rate-off-target"},
        // The same choice passes without a length and fails on 40 m.
        FindingRow{"timing --osc 16 --rate 500 --pick 1", 0,
                   "\n  warning: The propagation segment is 1 Tq (125 ns), less than the 510 ns",
                   "propagation-short"},
        FindingRow{"timing --osc 16 --rate 500 --pick 1 --bus-length 40", 1,
                   "\n  error: The propagation segment is 1 Tq (125 ns); the round trip over 40 m",
                   "propagation-short"},
        FindingRow{"export --osc 16 --rate 500 --brp1 1 --tq 16", 1,
                   "quillon-cli: export: error: The bit rate is 250.000 kbps", "rate-off-target"}));

TEST(Process, ABadTransceiverClassIsAUsageError) {
    const ProcessRun bad = RunProgram(
        kCli, Args("fd timing --osc 40 --rate 500 --data-rate 2000 --pick 1 --transceiver 3M"));
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err,
              "quillon-cli: --transceiver: '3M' is no transceiver class; give none, 2M or 5M\n");
}

TEST(Process, ReportWritesTheExamplePageAndItsBitmap) {
    const TempDir out;
    const ProcessRun run =
        RunProgram(kCli, Args(kExampleReport + " --out {dir}", out.Str()), kExampleTime);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "Wrote " + out / "MCP2510Report.htm" + "\nWrote " + out / "bittime.bmp" + "\n");
    EXPECT_EQ(ReadFile(out / "MCP2510Report.htm"), ReadFile(QUILLON_REPORT_EXAMPLE));
    // A bitmap of the window's picture size, 586 x 106.
    const std::string bmp = ReadFile(out / "bittime.bmp");
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp.substr(18, 8), std::string("\x4a\x02\0\0\x6a\0\0\0", 8));
}

// Qt's start-up takes the user's locale for the C library too; neither program may let it
// turn a point into a comma, read "16.5" as anything but 16.5, or take "16,5".
TEST(Process, AGermanLocaleChangesNoFigure) {
    const char* const before = std::setlocale(LC_ALL, nullptr);
    const std::string saved = before != nullptr ? before : "C";
    const bool available = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    std::setlocale(LC_ALL, saved.c_str());
    if (!available) {
        GTEST_SKIP() << "de_DE.UTF-8 is not generated";
    }
    Environment german = kExampleTime;
    german.emplace_back("LC_ALL", "de_DE.UTF-8");
    const TempDir out;
    const ProcessRun report =
        RunProgram(kCli, Args(kExampleReport + " --out {dir}", out.Str()), german);
    ASSERT_EQ(report.status, 0) << report.err;
    EXPECT_EQ(ReadFile(out / "MCP2510Report.htm"), ReadFile(QUILLON_REPORT_EXAMPLE));
    for (const char* osc : {"16.5", "16,5"}) {
        const std::vector<std::string> timing =
            Args("timing --osc " + std::string(osc) + " --rate 125 --pick 1");
        const ProcessRun inGerman = RunProgram(kCli, timing, german);
        const ProcessRun inC = RunProgram(kCli, timing, {{"LC_ALL", "C"}});
        EXPECT_EQ(inGerman.out, inC.out) << osc;
        EXPECT_EQ(inGerman.err, inC.err) << osc;
    }
    EXPECT_NE(
        RunProgram(kCli, Args("timing --osc 16.5 --rate 125 --pick 1")).out.find("16.500 MHz"),
        std::string::npos);
}

// The fields scripts read from fd kernel and fd decode.
TEST(Process, FdKernelAndDecodeJson) {
    const QJsonDocument kernel = JsonOf("fd kernel --osc 40 --rate 500 --data-rate 2000 --json", 0);
    const QJsonValue choice = kernel["kernel_choice"];
    EXPECT_EQ(choice["nominal"]["prop_seg"].toInt(), 34);
    EXPECT_EQ(choice["data"]["tq_ns"].toInt(), 25);
    EXPECT_EQ(choice["data"]["bitrate_bps"].toInt(), 2000000);
    EXPECT_EQ(choice["tdc"]["mode"].toString().toStdString(), "auto");
    EXPECT_EQ(choice["tdc"]["tdco"].toInt(), 15);
    EXPECT_EQ(choice["registers"]["NBTCFG"]["hex"].toString().toStdString(), "0x00440904");
    EXPECT_EQ(kernel["linux_tdc"].toString().toStdString(), "new");
    // 4 MHz without --pll: the driver runs on 40 MHz.
    const QJsonDocument pll = JsonOf("fd kernel --osc 4 --rate 500 --data-rate 2000 --json", 0);
    EXPECT_EQ(pll["driver"]["clock_hz"].toInteger(), 40000000);
    EXPECT_TRUE(pll["driver"]["pll"].toBool());
    const QJsonDocument none = JsonOf("fd kernel --osc 40 --rate 500 --data-rate 7500 --json", 1);
    EXPECT_TRUE(none["kernel_choice"].isNull());
    EXPECT_EQ(none["reason"].toString().toStdString(), "data: bitrate error: 6.6% too high");

    const QJsonDocument decoded =
        JsonOf("fd decode --osc 40 --nbtcfg 0x00440904 --dbtcfg 0x000D0401 --json", 0);
    EXPECT_EQ(decoded["nominal"]["tq_count"].toInt(), 80);
    EXPECT_EQ(decoded["nominal"]["tseg1"].toInt(), 69);
    EXPECT_EQ(decoded["data"]["phase2"].toInt(), 5);
    EXPECT_EQ(decoded["data"]["sample_point_percent"].toDouble(), 75.0);
    EXPECT_EQ(decoded["data"]["actual_bps"].toDouble(), 2e6);
    EXPECT_EQ(decoded["tdc"]["mode"].toString().toStdString(), "auto");
    EXPECT_DOUBLE_EQ(decoded["analysis"]["osc_tolerance_percent"].toDouble(), 0.3125);
}

// The same for an M_CAN: the driver's words under their own names, and those words read back
// with --registers in the row's order.
TEST(Process, FdKernelAndDecodeJsonOfTheMcan) {
    const QJsonDocument kernel =
        JsonOf("fd kernel --controller same51 --osc 48 --rate 500 --data-rate 2000 --json", 0);
    EXPECT_EQ(kernel["can_clock_mhz"].toDouble(), 48.0);
    const QJsonValue registers = kernel["kernel_choice"]["registers"];
    EXPECT_EQ(registers["NBTP"]["hex"].toString().toStdString(), "0x0A00520B");
    // The m_can driver leaves TDC off up to 2.5 Mbit/s.
    EXPECT_EQ(registers["DBTP"]["hex"].toString().toStdString(), "0x00001052");
    EXPECT_EQ(registers["TDCR"]["hex"].toString().toStdString(), "0x00000000");
    const QJsonDocument decoded = JsonOf(
        "fd decode --controller mcan --osc 48 --registers 0x0A00520B,0x00801052,0x00001200 --json",
        0);
    EXPECT_EQ(decoded["words"]["NBTP"]["value"].toInt(), 0x0A00520B);
    EXPECT_EQ(decoded["nominal"]["propagation"].toInt(), 41);
    EXPECT_EQ(decoded["data"]["sjw"].toInt(), 3);
    EXPECT_EQ(decoded["tdc"]["tdco"].toInt(), 18);
    EXPECT_TRUE(decoded["verdict"]["pass"].toBool());
}

TEST(Process, FdReportWritesItsPageAndBitmap) {
    const TempDir out;
    const ProcessRun run = RunProgram(
        kCli,
        Args("fd report --osc 40 --rate 500 --data-rate 2000 --pick 1 --out {dir}", out.Str()),
        kExampleTime);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Entries(out.Path()),
              (std::vector<std::string>{"MCP251xFDReport.htm", "fdbittime.bmp"}));
    EXPECT_EQ(ReadFile(out / "MCP251xFDReport.htm"), ReadFile(QUILLON_FD_REPORT_EXAMPLE));
    // Two bits high: 586 x 248.
    EXPECT_EQ(ReadFile(out / "fdbittime.bmp").substr(18, 8),
              std::string("\x4a\x02\0\0\xf8\0\0\0", 8));
}

TEST(Process, OpenHandsTheReportToTheDesktop) {
    // A stand-in for xdg-open, the only program on the PATH, that notes what it was given.
    const TempDir bin;
    const TempDir out;
    const std::string noted = bin / "opened.txt";
    std::ofstream(bin / "xdg-open") << "#!/bin/sh\nprintf '%s' \"$1\" > '" << noted << "'\n";
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);

    const ProcessRun run = RunProgram(kCli, Args(kExampleReport + " --open --out {dir}", out.Str()),
                                      {{"PATH", bin.Str()}});
    ASSERT_EQ(run.status, 0) << run.err;
    // The program is started detached: wait for it a little.
    for (int wait = 0; wait < 100 && ReadFile(noted).empty(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(ReadFile(noted), out / "MCP2510Report.htm");
}

// quillon-cli runs report in its companion, found beside it or in ../libexec/quillon/.
TEST(Process, CompanionIsFoundInLibexecAndMissedWithOneLine) {
    const TempDir prefix;
    const TempDir out;
    std::filesystem::create_directories(prefix.Path() / "bin");
    std::filesystem::copy_file(kCli, prefix / "bin/quillon-cli");
    const std::vector<std::string> args = Args(kExampleReport + " --out {dir}", out.Str());

    const ProcessRun missing = RunProgram(prefix / "bin/quillon-cli", args);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("quillon-cli: report: quillon-cli-qt is missing (looked for ", 0),
              0U)
        << missing.err;
    EXPECT_TRUE(Entries(out.Path()).empty());

    std::filesystem::create_directories(prefix.Path() / "libexec/quillon");
    std::filesystem::copy_file(kCompanion, prefix / "libexec/quillon/quillon-cli-qt");
    const ProcessRun installed = RunProgram(prefix / "bin/quillon-cli", args);
    EXPECT_EQ(installed.status, 0) << installed.err;
    EXPECT_EQ(Entries(out.Path()), (std::vector<std::string>{"MCP2510Report.htm", "bittime.bmp"}));
}

// bus --html: the page carries every node's drawing inside itself.
TEST(Process, BusPageShowsEveryNodesBit) {
    const TempDir folder;
    const std::string page = folder / "bus.htm";
    const ProcessRun run = RunProgram(kCli, Args("bus --rate 500 --node pi=mcp251x@16:kernel "
                                                 "--node uno=mcp251x@16:cnf=0x00,0xF0,0x86 "
                                                 "--node pic=pic18@40 --html " +
                                                 page));
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string html = ReadFile(page);
    std::size_t images = 0;
    for (std::size_t at = 0;
         (at = html.find("src=\"data:image/png;base64,iVBOR", at)) != std::string::npos; ++at) {
        ++images;
    }
    EXPECT_EQ(images, 3U);

    // A CAN FD bus: a table per phase, and each FD node's two bits in one drawing.
    const ProcessRun fd = RunProgram(kCli, Args("bus --rate 500 --data-rate 2000 --node "
                                                "a=mcp2518fd@40:kernel --node b=mcan@48 --html " +
                                                page));
    EXPECT_EQ(fd.status, 0) << fd.err;
    const std::string fdHtml = ReadFile(page);
    EXPECT_NE(fdHtml.find("CAN FD Nodes in the Data Phase"), std::string::npos);
    EXPECT_NE(fdHtml.find("data sample point 75.0 %"), std::string::npos);
    EXPECT_NE(fdHtml.find("height=\"248\" src=\"data:image/png;base64,iVBOR"), std::string::npos);
}

} // namespace
} // namespace quillon::cli::test
