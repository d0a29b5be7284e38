// quillon-cli reading `ip -details link show` as a script runs it: decode and fd decode give
// the same document for the text and the JSON form of an interface, and a bus node of
// :ip=FILE takes what its interface runs.
#include "CliProcess.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace quillon::cli::test {
namespace {

const std::string kCli = QUILLON_CLI_PATH;
const std::string kSamples = std::string(QUILLON_IP_DETAILS_DIR) + "/";

std::vector<std::string> Args(const std::string& line) {
    std::istringstream words(line);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

QJsonObject Document(const std::string& line, int status) {
    const ProcessRun run = RunProgram(kCli, Args(line));
    EXPECT_EQ(run.status, status) << line << "\n" << run.err;
    EXPECT_EQ(run.err, "");
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
}

TEST(IpDetailsProcess, TextAndJsonFormsGiveTheSameDocument) {
    const struct {
        const char* command;
        const char* text;
        const char* json;
        int status;
    } rows[] = {
        {"decode", "mcp251x.txt", "mcp251x-all-links.json", 0},
        {"decode --osc 133", "at91_can.txt", "at91_can.json", 1},
        {"fd decode", "mcp251xfd-tdc.txt", "mcp251xfd-tdc.json", 0},
        {"fd decode --osc 2", "mcp251xfd-no-tdc.txt", "mcp251xfd-no-tdc.json", 1},
    };
    for (const auto& row : rows) {
        const std::string command = std::string(row.command) + " --json --ip-details " + kSamples;
        QJsonObject text = Document(command + row.text, row.status);
        QJsonObject json = Document(command + row.json, row.status);
        ASSERT_FALSE(text.isEmpty()) << row.text;
        // fd decode says which form it read; nothing else may differ.
        if (text.contains("interface") && text["interface"].isObject()) {
            EXPECT_EQ(text["interface"].toObject()["form"].toString().toStdString(), "text");
            EXPECT_EQ(json["interface"].toObject()["form"].toString().toStdString(), "json");
            text.remove("interface");
            json.remove("interface");
        }
        EXPECT_EQ(text, json) << row.text;
    }
    const QJsonObject fd = Document("fd decode --json --ip-details " + kSamples + "m_can.txt", 0);
    EXPECT_EQ(fd["interface"].toObject()["driver"].toString().toStdString(), "m_can");
    EXPECT_EQ(fd["data"].toObject()["brp"].toInt(), 1);
    EXPECT_EQ(fd["data"].toObject()["tq_count"].toInt(), 40);
    EXPECT_EQ(fd["tdc"].toObject()["mode"].toString().toStdString(), "off");
    EXPECT_EQ(fd["notes"].toArray().size(), 1);
}

TEST(IpDetailsProcess, BusNodeTakesWhatItsInterfaceRuns) {
    const QJsonObject bus = Document("bus --rate 500 --json --node pi=mcp2515@16:ip=" + kSamples +
                                         "mcp251x.txt --node sam=at91@132:ip=" + kSamples +
                                         "at91_can.json --node plc=pic18@40",
                                     0);
    const QJsonArray nodes = bus["nodes"].toArray();
    ASSERT_EQ(nodes.size(), 3);
    EXPECT_EQ(nodes[0]["source"].toString().toStdString(), "ip");
    EXPECT_EQ(nodes[0]["segments"].toObject()["propagation"].toInt(), 6);
    EXPECT_EQ(nodes[1]["source"].toString().toStdString(), "ip");
    EXPECT_EQ(nodes[1]["candidate"].toObject()["brp_minus_1"].toInt(), 21);

    const ProcessRun fd =
        RunProgram(kCli, Args("bus --rate 500 --node pi=mcp2515@16:ip=" + kSamples +
                              "mcp251xfd-tdc.txt --node plc=pic18@40"));
    EXPECT_EQ(fd.status, 2);
    EXPECT_EQ(fd.err, "quillon-cli: --node: node 'pi': ip=" + kSamples +
                          "mcp251xfd-tdc.txt: can0 runs the mcp251xfd driver, not the mcp2515's "
                          "mcp251x\n");
}

} // namespace
} // namespace quillon::cli::test
