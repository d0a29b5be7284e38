// The process of the calculator: options, the display check, the application, the
// automation server and the start-up procedure.
#include "startup/QuillonMain.h"

#include "startup/AutomationBus.h"
#include "startup/AutomationServer.h"
#include "startup/StartMode.h"
#include "timing/common/Maker.h"
#include "timing/common/Version.h"
#include "ui/ReadableControls.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <string_view>

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

int QuillonMain(int argc, char* argv[], ExportExtraObjects exportExtra) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--version") {
            std::fputs(quillon::VersionNotice("quillon").c_str(), stdout);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::printf("Usage: quillon [--automation] [--version]\n"
                        "Opens the CAN bit timing calculator and offers it to other programs as\n"
                        "%s on the D-Bus session bus.\n"
                        "  --automation  wait for a client's ShowCalculator call instead of\n"
                        "                opening the window (used by the session bus); the\n"
                        "                program ends if no call comes within %s\n"
                        "                milliseconds (default %d)\n",
                        quillon::dbus::kServiceName, quillon::dbus::kGraceVariable,
                        quillon::dbus::kDefaultGraceMs);
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
    UseReadableControls();
    QApplication::setApplicationName(
        QString::fromUtf8(quillon::kAppTitle.data(), static_cast<int>(quillon::kAppTitle.size())));
    QApplication::setApplicationVersion(
        QString::fromUtf8(quillon::kVersion.data(), static_cast<int>(quillon::kVersion.size())));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.varnholt.Quillon"));

    const start::StartMode mode = start::StartModeFromArguments(QApplication::arguments());
    const bool automationStart = mode == start::StartMode::Automation;

    QString graceProblem;
    AutomationServer server(mode, AutomationServer::GracePeriodMs(&graceProblem));
    if (!graceProblem.isEmpty()) {
        std::fprintf(stderr, "quillon: %s.\n", qPrintable(graceProblem));
    }
    // A user's start opens the window whatever the bus does; a start for a client has
    // nothing to do without the bus.
    const QString busProblem = server.Offer();
    if (!busProblem.isEmpty()) {
        if (automationStart) {
            std::fprintf(stderr, "quillon: %s; no client can be served, exiting.\n",
                         qPrintable(busProblem));
            return 1;
        }
        std::fprintf(stderr,
                     "quillon: %s; the calculator opens, but automation clients cannot reach "
                     "this window.\n",
                     qPrintable(busProblem));
    }
    if (exportExtra != nullptr && !exportExtra(&server)) {
        std::fprintf(stderr, "quillon: an extra object could not be exported on the bus.\n");
    }

    start::Main(mode);
    server.Start();
    return QApplication::exec();
}
