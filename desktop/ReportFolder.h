#pragma once
// Where the report, its bitmap and the browser look-up file are written. The calculator has
// always written them into its own program folder, and still does whenever it can; an
// installed copy usually sits in a folder the user cannot write (/usr/bin), and then the
// files go to a per-user folder under the XDG data directory instead, so the report still
// works without special rights.
#include <filesystem>

struct ReportFolderChoice {
    std::filesystem::path path;
    // True when the program folder could not be written and `path` is the per-user folder.
    bool fallback = false;
};

// The program folder `applicationFolder` when a file can be created in it; otherwise
// `userFolder`, created with its parents when missing. When neither can be written the
// program folder is returned, so that the failure to write the report names the folder
// the program is documented to use.
ReportFolderChoice ChooseReportFolder(const std::filesystem::path& applicationFolder,
                                      const std::filesystem::path& userFolder);

// The same for the running program: the folder of its executable, and the application's
// data folder of the user (normally ~/.local/share/Quillon).
ReportFolderChoice ChooseReportFolder();
