// The web page's address fragment read into a command line: what it accepts, each reason
// it refuses, and that the writer's fragments read back as the same arguments.
#include "cli/common/AddressFragment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon::cli {
namespace {

using Args = std::vector<std::string>;

TEST(AddressFragment, ReadsCommandsAndOptions) {
    struct Row {
        const char* name;
        std::string fragment;
        Args args;
    };
    const std::vector<Row> rows = {
        {"the page's own example",
         "#timing?controller=mcp2515&osc=16&rate=500&pick=1&recommend",
         {"timing", "--controller=mcp2515", "--osc=16", "--rate=500", "--pick=1", "--recommend"}},
        {"no leading '#', no options", "controllers", {"controllers"}},
        {"a command of a group",
         "fd/timing?osc=40&rate=500&data-rate=2000&pick=1",
         {"fd", "timing", "--osc=40", "--rate=500", "--data-rate=2000", "--pick=1"}},
        {"percent escapes and '=' in a value",
         "decode?osc=16&cnf=0x00%2C0x90%2c0x02",
         {"decode", "--osc=16", "--cnf=0x00,0x90,0x02"}},
        {"--node may repeat",
         "bus?rate=500&node=a=mcp251x@16:kernel&node=b=pic18@40",
         {"bus", "--rate=500", "--node=a=mcp251x@16:kernel", "--node=b=pic18@40"}},
        {"an empty value is the parser's to refuse", "timing?osc=", {"timing", "--osc="}},
        {"UTF-8 is kept", "timing?osc=16%C2%B5", {"timing", "--osc=16\xC2\xB5"}},
    };
    for (const Row& row : rows) {
        const FragmentReading reading = ReadFragment(row.fragment);
        EXPECT_EQ(reading.error, "") << row.name;
        EXPECT_EQ(reading.args, row.args) << row.name;
    }
}

TEST(AddressFragment, RefusesWithTheReason) {
    struct Row {
        std::string fragment;
        std::string error;
    };
    const std::vector<Row> rows = {
        {"", "address: '': no command"},
        {"launch", "address: 'launch': not a command of quillon-cli"},
        {"fd", "address: 'fd': a command must follow, as in 'fd/timing'"},
        {"fd/launch", "address: 'fd/launch': not a command of fd"},
        {"timing/x", "address: 'timing/x': timing has no commands of its own"},
        {"report?osc=16",
         "address: 'report': writes files or opens the desktop calculator; an address cannot "
         "ask for that"},
        {"timing?out=.", "address: 'out': not an option of timing"},
        {"decode?ip-details=-", "address: 'ip-details': names a file or folder; an address cannot"},
        {"timing?OSC=16",
         "address: 'OSC': not an option name (lower-case letters, digits and '-')"},
        {"timing?--osc=16", "address: '--osc': not an option of timing"},
        {"timing?osc=16&osc=20", "address: 'osc': given more than once"},
        {"timing?recommend=yes", "address: 'recommend=yes': takes no value"},
        {"timing?osc", "address: 'osc': needs a value, as in 'osc=...'"},
        {"timing?osc=16&&rate=5", "address: '': an option name is missing"},
        {"timing?osc=1%G6",
         "address: 'osc=1%G6': '%' must be followed by two hexadecimal digits ('%G6')"},
        {"timing?osc=1%2", "address: 'osc=1%2': '%' must be followed by two hexadecimal digits "
                           "('%2')"},
        {"timing?osc=16 MHz", "address: 'osc=16 MHz': ' ' must be percent-encoded"},
        {"timing?osc=%0A16", "address: 'osc=%0A16': holds a control character"},
        {"timing?osc=%C0%AF", "address: 'osc=%C0%AF': is not UTF-8 text"},
        {"timing?osc=%ED%A0%80", "address: 'osc=%ED%A0%80': is not UTF-8 text"},
        {"timing?osc=%FF", "address: 'osc=%FF': is not UTF-8 text"},
    };
    for (const Row& row : rows) {
        const FragmentReading reading = ReadFragment(row.fragment);
        EXPECT_EQ(reading.error, row.error) << row.fragment;
        EXPECT_TRUE(reading.args.empty()) << row.fragment;
    }
}

TEST(AddressFragment, BoundsLengthAndCount) {
    const std::string longest = "timing?osc=" + std::string(kFragmentMaxLength - 11, '1');
    EXPECT_EQ(ReadFragment(longest).error, "");
    EXPECT_EQ(ReadFragment(longest + "1").error.substr(0, 9), "address: ");
    EXPECT_NE(ReadFragment(longest + "1").error.find("2049 characters; at most 2048 are read"),
              std::string::npos);

    std::string nodes = "bus?rate=500";
    for (std::size_t i = 0; i < kFragmentMaxOptions - 1; ++i) {
        nodes += "&node=a=mcp251x@16";
    }
    EXPECT_EQ(ReadFragment(nodes).args.size(), kFragmentMaxOptions + 1);
    EXPECT_EQ(ReadFragment(nodes + "&node=b").error, "address: 'node=b': more than 64 options");
}

TEST(AddressFragment, WrittenFragmentsReadBack) {
    const std::vector<Args> rows = {
        {"timing", "--osc=16", "--rate=500", "--pick=1", "--recommend"},
        {"fd", "export", "--format=ip-link", "--interface=can 1&x=%y#z?"},
        {"bus", "--rate=500", "--node=pi=mcp251x@16:cnf=0x00,0xF0,0x86", "--node=b=pic18@40"},
        {"decode", "--controller=mcp2515", "--registers=0x00,\xC2\xB5"},
    };
    for (const Args& args : rows) {
        const std::string fragment = WriteFragment(args);
        EXPECT_EQ(ReadFragment(fragment).args, args) << fragment;
    }
    EXPECT_EQ(WriteFragment({"bus", "--rate=500", "--node=pi=mcp251x@16:kernel"}),
              "bus?rate=500&node=pi=mcp251x@16:kernel");
    EXPECT_EQ(WriteFragment({"export", "--interface=can 1"}), "export?interface=can%201");
}

} // namespace
} // namespace quillon::cli
