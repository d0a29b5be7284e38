// Handing the report and the maker's website to the desktop, through a recording shell that
// starts nothing, and the choice of the folder the report goes to.
#include "desktop/DesktopHandOff.h"
#include "desktop/ReportFolder.h"

#include "support/RecordingShell.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;
const std::string kUrl = "https://www.varnholt.example/";

TEST(LaunchDefaultBrowser, AsksWithATemporaryFileAndStartsTheBrowser) {
    const struct {
        const char* browser;
        bool startSucceeds;
        bool leftover; // a longer file of that name is already there
        bool launched;
        std::size_t starts;
    } rows[] = {{"/usr/bin/web", true, false, true, 1},
                {"/usr/bin/web", true, true, true, 1},
                {"", true, false, false, 0},
                {"/usr/bin/web", false, true, false, 1}};
    for (const auto& row : rows) {
        test::TempFolder folder;
        test::RecordingShell shell;
        shell.browser = row.browser;
        shell.startSucceeds = row.startSucceeds;
        if (row.leftover) {
            test::WriteFile(folder / "temphtm.HTM", "an older, longer file left behind\r\n");
        }
        EXPECT_EQ(quillon::desktop::LaunchDefaultBrowser(kUrl, folder.path()), row.launched);
        EXPECT_EQ(shell.filesAsked, std::vector<std::string>{(folder / "temphtm.HTM").string()});
        EXPECT_EQ(shell.contentsSeen, std::vector<std::string>{"\"<HTML> <\\HTML>\"\r\n"});
        EXPECT_EQ(shell.starts.size(), row.starts);
        if (row.starts == 1) {
            EXPECT_EQ(shell.starts[0], std::make_pair(std::string(row.browser), kUrl));
        }
        EXPECT_FALSE(fs::exists(folder / "temphtm.HTM")) << row.browser;
    }
}

TEST(LaunchDefaultBrowser, FailsCleanlyWithoutAFolderOrADesktop) {
    test::TempFolder folder;
    test::RecordingShell shell;
    shell.browser = "/usr/bin/web";
    test::WriteFile(folder / "plain", "x");
    for (const fs::path& where : {folder / "plain", folder / "missing"}) {
        EXPECT_FALSE(quillon::desktop::LaunchDefaultBrowser(kUrl, where)) << where;
    }
    EXPECT_TRUE(shell.filesAsked.empty()) << "no search without the temporary file";
    shell.fails = true;
    EXPECT_FALSE(quillon::desktop::LaunchDefaultBrowser(kUrl, folder.path()));
    EXPECT_TRUE(shell.starts.empty());
    EXPECT_FALSE(fs::exists(folder / "temphtm.HTM"));
}

TEST(ShellOpen, HandsOverTheDocumentAndSwallowsErrors) {
    test::RecordingShell shell;
    shell.fails = true;
    EXPECT_NO_THROW(quillon::desktop::ShellOpen("/no/such/MCP2510Report.htm"));
    EXPECT_EQ(shell.documents, std::vector<std::string>{"/no/such/MCP2510Report.htm"});
    EXPECT_EQ(quillon::desktop::BrowserProblemText(),
              "There was a problem launching the default browser.\r\n\r\nVisit the website at: " +
                  kUrl);
}

// The real XDG shell against a stand-in xdg-mime and application folder.
TEST(XdgDesktopShell, FindsTheProgramThroughTheDesktopFile) {
    const struct {
        const char* desktopId;   // xdg-mime's default, "" for none, nullptr for no xdg-mime
        const char* desktopFile; // where the .desktop file lies
        const char* exec;
        bool found;
    } rows[] = {{"web.desktop", "web.desktop", "web-browser %u", true},
                {"web.desktop", "web.desktop", "\"web-browser\" --new %U", true},
                {"acme-web.desktop", "acme/web.desktop", "web-browser", true},
                {"", "web.desktop", "web-browser", false},
                {"web.desktop", "web.desktop", "not-installed %u", false},
                {nullptr, "web.desktop", "web-browser", false}};
    for (const auto& row : rows) {
        test::TempFolder dir;
        const fs::path bin = dir / "bin", apps = dir / "apps/applications";
        fs::create_directories(bin);
        fs::create_directories(apps / "acme");
        test::WriteFile(bin / "web-browser", "#!/bin/sh\n");
        if (row.desktopId != nullptr) {
            test::WriteFile(bin / "xdg-mime",
                            "#!/bin/sh\ncase \"$2\" in filetype) [ -f \"$3\" ] && echo text/html;;"
                            " default) [ \"$3\" = text/html ] && echo '" +
                                std::string(row.desktopId) + "';; esac\nexit 0\n");
        }
        for (const auto& entry : fs::directory_iterator(bin)) {
            fs::permissions(entry.path(), fs::perms::owner_all);
        }
        test::WriteFile(apps / row.desktopFile, "[Desktop Entry]\nExec=" + std::string(row.exec) +
                                                    "\n[Desktop Action new]\nExec=web-browser\n");
        test::WriteFile(dir / "page.htm", "x");
        const test::ScopedEnv path("PATH", bin.string());
        const test::ScopedEnv home("XDG_DATA_HOME", (dir / "apps").string());
        const test::ScopedEnv dirs("XDG_DATA_DIRS", (dir / "none").string());
        EXPECT_EQ(XdgDesktopShell().FindExecutable((dir / "page.htm").string()),
                  row.found ? (bin / "web-browser").string() : "")
            << row.exec;
    }
}

TEST(ChooseReportFolder, ProgramFolderThenTheUsersThenTheProgramFolderAgain) {
    // Paths in a sandbox holding the empty folder "dir" and the plain file "file".
    const struct {
        const char *program, *user;
        bool toUser;
    } rows[] = {{"dir", "new/Quillon", false},
                {"new/bin", "new/Quillon", true},
                {"file", "dir", true},
                {"file", "file/Quillon", false},
                {"new/bin", "", false}};
    for (const auto& row : rows) {
        test::TempFolder sandbox;
        fs::create_directory(sandbox / "dir");
        test::WriteFile(sandbox / "file", "x");
        const fs::path program = sandbox / row.program;
        const fs::path user = *row.user != '\0' ? sandbox / row.user : fs::path();
        const ReportFolderChoice choice = ChooseReportFolder(program, user);
        EXPECT_EQ(choice.path, row.toUser ? user : program) << row.program << ' ' << row.user;
        EXPECT_EQ(choice.fallback, row.toUser);
        EXPECT_EQ(fs::is_directory(user), row.toUser || user == sandbox / "dir") << row.user;
        EXPECT_TRUE(fs::is_empty(sandbox / "dir")) << "the write check leaves nothing behind";
    }
}

} // namespace
} // namespace quillon
