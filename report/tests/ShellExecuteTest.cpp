#include "report/basShellExecute.h"

#include "TestSupport.h"
#include "timing/Maker.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quillon {
namespace {

namespace fs = std::filesystem;

const std::string kTempFileContent = "\"<HTML> <\\HTML>\"\r\n";

// Records what the routines ask of the desktop and answers as told.
class FakeShell : public DesktopShell {
public:
    std::string browser;
    bool startSucceeds = true;
    bool throwOnFind = false;

    int findCalls = 0;
    std::string fileAsked, fileContentSeen;
    std::vector<std::pair<std::string, std::string>> starts;
    std::vector<std::string> documents;

    std::string FindExecutable(const std::string& filePath) override {
        ++findCalls;
        fileAsked = filePath;
        fileContentSeen = test::ReadFile(filePath);
        if (throwOnFind) {
            throw std::runtime_error("shell gone");
        }
        return browser;
    }
    bool StartProgram(const std::string& program, const std::string& argument) override {
        starts.emplace_back(program, argument);
        return startSucceeds;
    }
    void OpenDocument(const std::string& filePath) override {
        documents.push_back(filePath);
        if (throwOnFind) {
            throw std::runtime_error("no viewer");
        }
    }
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { SetDesktopShell(&shell); }
    void TearDown() override { SetDesktopShell(nullptr); }
    fs::path TempFile() const { return dir.path() / basShellExecute::kTempFileName; }

    FakeShell shell;
    test::TempDir dir;
};

TEST_F(ShellTest, LaunchDefaultBrowserOutcomes) {
    const struct {
        const char* browser;
        bool startSucceeds;
        bool expected;
        std::size_t starts;
    } rows[] = {
        {"", true, false, 0}, {"/usr/bin/web", false, false, 1}, {"/usr/bin/web", true, true, 1}};
    for (const auto& row : rows) {
        shell = FakeShell();
        shell.browser = row.browser;
        shell.startSucceeds = row.startSucceeds;
        test::WriteFile(TempFile(), "an older, longer temporary file left behind\r\n");

        EXPECT_EQ(basShellExecute::LaunchDefaultBrowser("https://a.example/", dir.path()),
                  row.expected)
            << row.browser;
        EXPECT_EQ(shell.fileAsked, TempFile().string());
        EXPECT_EQ(shell.fileContentSeen, kTempFileContent);
        ASSERT_EQ(shell.starts.size(), row.starts);
        if (row.starts == 1) {
            EXPECT_EQ(shell.starts[0],
                      std::make_pair(std::string(row.browser), std::string("https://a.example/")));
        }
        EXPECT_FALSE(fs::exists(TempFile()));
    }
}

TEST_F(ShellTest, LaunchDefaultBrowserFailsCleanly) {
    test::WriteFile(dir.path() / "plain", "x");
    EXPECT_FALSE(basShellExecute::LaunchDefaultBrowser("u", dir.path() / "plain"));
    EXPECT_EQ(shell.findCalls, 0) << "no search without the temporary file";

    shell.browser = "/usr/bin/web";
    shell.throwOnFind = true;
    EXPECT_FALSE(basShellExecute::LaunchDefaultBrowser("u", dir.path()));
    EXPECT_TRUE(shell.starts.empty());
    EXPECT_FALSE(fs::exists(TempFile()));
}

TEST_F(ShellTest, ShellOpenHandsOverDocumentAndSwallowsErrors) {
    shell.throwOnFind = true;
    EXPECT_NO_THROW(basShellExecute::ShellOpen("/no/such/report.htm"));
    EXPECT_EQ(shell.documents, std::vector<std::string>{"/no/such/report.htm"});
}

TEST(BrowserProblem, MessageHasEmptyLineAndAddress) {
    EXPECT_EQ(basShellExecute::BrowserProblemText(),
              "There was a problem launching the default browser.\r\n\r\nVisit the website at: " +
                  std::string(kMakerUrl));
}

// The real XDG shell, with a stand-in xdg-mime and application folder, so that only
// scripts written here run.
TEST(XdgDesktopShell, FindsProgramThroughDesktopFile) {
    const struct {
        const char* name;
        const char* desktopId;   // what xdg-mime names as the default, "" for none
        const char* desktopFile; // where the .desktop file lies, "" for nowhere
        const char* exec;        // Exec= of the main group, nullptr for none
        bool found;
    } rows[] = {
        {"Plain", "web.desktop", "web.desktop", "web-browser %u", true},
        {"Quoted", "web.desktop", "web.desktop", "\"web-browser\" --new %U", true},
        {"VendorFolder", "acme-web.desktop", "acme/web.desktop", "web-browser", true},
        {"NoAssociation", "", "web.desktop", "web-browser", false},
        {"NoDesktopFile", "web.desktop", "", "web-browser", false},
        {"ProgramNotOnPath", "web.desktop", "web.desktop", "not-installed %u", false},
        {"OnlyActionHasExec", "web.desktop", "web.desktop", nullptr, false},
        {"NoXdgMime", nullptr, "web.desktop", "web-browser", false},
    };
    for (const auto& row : rows) {
        test::TempDir dir;
        const fs::path bin = dir.path() / "bin", apps = dir.path() / "data" / "applications";
        fs::create_directories(bin);
        fs::create_directories(apps / "acme");
        test::WriteFile(bin / "web-browser", "#!/bin/sh\nexit 0\n");
        if (row.desktopId != nullptr) {
            test::WriteFile(bin / "xdg-mime",
                            "#!/bin/sh\ncase \"$2\" in\n  filetype) [ -f \"$3\" ] && echo "
                            "text/html ;;\n  default) [ \"$3\" = text/html ] && echo '" +
                                std::string(row.desktopId) + "' ;;\nesac\nexit 0\n");
        }
        for (const auto& entry : fs::directory_iterator(bin)) {
            fs::permissions(entry.path(), fs::perms::owner_all);
        }
        if (*row.desktopFile != '\0') {
            test::WriteFile(apps / row.desktopFile,
                            "[Desktop Entry]\nName=Web\n" +
                                (row.exec ? "Exec=" + std::string(row.exec) + "\n" : "") +
                                "[Desktop Action private]\nExec=web-browser --private\n");
        }
        test::WriteFile(dir.path() / "page.htm", kTempFileContent);

        const test::ScopedEnv path("PATH", bin.string());
        const test::ScopedEnv home("XDG_DATA_HOME", (dir.path() / "data").string());
        const test::ScopedEnv dirs("XDG_DATA_DIRS", (dir.path() / "none").string());
        XdgDesktopShell xdg;
        EXPECT_EQ(xdg.FindExecutable((dir.path() / "page.htm").string()),
                  row.found ? (bin / "web-browser").string() : "")
            << row.name;
    }
}

} // namespace
} // namespace quillon
