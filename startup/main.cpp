// quillon: the CAN bit timing calculator.
#include "startup/basBitTime.h"
#include "timing/Maker.h"
#include "timing/Version.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would abort with a terse platform error; say what to do instead.
bool DisplayAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) {
        return true;
    }
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (display && *display) || (wayland && *wayland);
}

} // namespace

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--version") {
            std::printf("quillon %.*s\n", static_cast<int>(quillon::kVersion.size()),
                        quillon::kVersion.data());
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::printf("Usage: quillon [--automation] [--version]\n"
                        "Opens the CAN bit timing calculator.\n"
                        "  --automation  wait for a client's ShowCalculator call instead of\n"
                        "                opening the window (used by the session bus)\n");
            return 0;
        }
    }
    if (!DisplayAvailable()) {
        std::fprintf(stderr,
                     "quillon: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Start it from a desktop session, or on a machine without one under a\n"
                     "virtual display:  xvfb-run -a quillon\n");
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(
        QString::fromUtf8(quillon::kAppTitle.data(), static_cast<int>(quillon::kAppTitle.size())));
    QApplication::setApplicationVersion(
        QString::fromUtf8(quillon::kVersion.data(), static_cast<int>(quillon::kVersion.size())));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.varnholt.Quillon"));

    basBitTime::Main(basBitTime::StartModeFromArguments(QApplication::arguments()));
    return QApplication::exec();
}
