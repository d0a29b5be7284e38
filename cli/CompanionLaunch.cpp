#include "cli/CompanionLaunch.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quillon::cli {

namespace {

constexpr const char* kCompanionName = QUILLON_CLI_COMPANION;
// Relative to the folder of quillon-cli: bin/ -> libexec/quillon/ in an installation.
constexpr const char* kInstalledCompanionDir = QUILLON_CLI_COMPANION_DIR;

// The folder of the running program, from the kernel rather than argv[0], which a shell
// may give without a folder.
std::string ExecutableDir() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

} // namespace

std::vector<std::string> CompanionPaths(const std::string& executableDir) {
    const std::filesystem::path dir(executableDir);
    return {(dir / kCompanionName).string(),
            (dir / kInstalledCompanionDir / kCompanionName).lexically_normal().string()};
}

CommandOutput RunCompanion(const Request& request, char* argv[]) {
    const std::string_view command = InfoOf(request.command).name;
    const std::vector<std::string> paths = CompanionPaths(ExecutableDir());
    for (const std::string& path : paths) {
        if (::access(path.c_str(), X_OK) == 0) {
            ::execv(path.c_str(), argv);
            return Refusal(kExitRefused, command,
                           "cannot start " + path + ": " + std::strerror(errno));
        }
    }
    return Refusal(kExitRefused, command,
                   std::string(kCompanionName) + " is missing (looked for " + paths.front() +
                       " and " + paths.back() + ")");
}

} // namespace quillon::cli
