#pragma once
// Hands documents and web addresses to the desktop: opening the finished report with the
// user's program for it, and starting the default web browser on the maker's website.
// The desktop itself sits behind DesktopShell so that tests can stand in a fake and
// never start a real program.
#include <filesystem>
#include <string>

namespace quillon {

class DesktopShell {
public:
    virtual ~DesktopShell();
    // Program that opens the given file by the user's associations, or empty when there
    // is none.
    virtual std::string FindExecutable(const std::string& filePath) = 0;
    // Starts `program` with one argument, detached; true when it started.
    virtual bool StartProgram(const std::string& program, const std::string& argument) = 0;
    // Opens a document with its associated program; errors are ignored.
    virtual void OpenDocument(const std::string& filePath) = 0;
};

// The freedesktop.org desktop: associations through xdg-mime and the .desktop files of
// the XDG application folders, documents through xdg-open.
class XdgDesktopShell final : public DesktopShell {
public:
    std::string FindExecutable(const std::string& filePath) override;
    bool StartProgram(const std::string& program, const std::string& argument) override;
    void OpenDocument(const std::string& filePath) override;
};

// The shell in use: the one set by SetDesktopShell, else the XDG desktop.
DesktopShell& CurrentDesktopShell();
// Uses `shell` (not owned) from now on; nullptr goes back to the XDG desktop.
void SetDesktopShell(DesktopShell* shell);

namespace desktop {

// The file made in the application folder to ask which program opens ".HTM" files.
inline constexpr const char* kTempFileName = "temphtm.HTM";
inline constexpr const char* kBrowserProblemTitle = "Problem";

// Opens a document with its associated program. Never reports an error: when nothing
// opens it, the document simply stays on disk.
void ShellOpen(const std::string& sFile);

// Starts the default web browser on `sURL`. The browser is the program associated with
// ".HTM" files, found through a short-lived file in `applicationFolder` that is deleted
// again before returning. False when no browser is found, it cannot be started or the
// file cannot be made.
bool LaunchDefaultBrowser(const std::string& sURL, const std::filesystem::path& applicationFolder);

// The text shown, under kBrowserProblemTitle, when the browser cannot be started.
std::string BrowserProblemText();

} // namespace desktop

} // namespace quillon
