#include "cli/OffscreenGui.h"

#include "cli/common/CliArguments.h"

#include <cstdio>
#include <string>

namespace {

// Qt's notice that the offscreen platform found no runtime folder: harmless for drawing
// an image, and noise in a script's error output.
constexpr const char* kRuntimeDirNotice = "QStandardPaths: XDG_RUNTIME_DIR not set";

void ForwardQtMessage(QtMsgType type, const QMessageLogContext& /*context*/,
                      const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(kRuntimeDirNotice)) {
        return;
    }
    std::fprintf(stderr, "%s: qt: %s\n", std::string(quillon::cli::kProgramName).c_str(),
                 message.toLocal8Bit().constData());
}

} // namespace

OffscreenGui::OffscreenGui() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    qInstallMessageHandler(ForwardQtMessage);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char programName[] = "quillon-cli";
    static char* argv[] = {programName, nullptr};
    m_application = std::make_unique<QGuiApplication>(argc, argv);
}

OffscreenGui::~OffscreenGui() = default;
