// Loaded with LD_PRELOAD into an unchanged Qt widget program that bench_startup starts:
// when the program has painted its first frame, the probe writes the time since the
// start (QUILLON_BENCH_START_NS, a CLOCK_MONOTONIC reading taken just before the program
// was spawned) to the descriptor QUILLON_BENCH_REPORT_FD and ends the process at once.
// Without those variables it does nothing, so it can never disturb a normal start.
#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

long long ReadNumber(const char* name) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return -1;
    }
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    return errno == 0 && *end == '\0' ? value : -1;
}

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Watches every event of the application for the first paint of a widget in a visible
// window. The frame is complete (all widgets painted and handed to the platform) once
// the event being delivered has been handled, so the report is queued behind it.
class FirstFrameFilter final : public QObject {
public:
    FirstFrameFilter(long long startNs, int reportFd) : m_startNs(startNs), m_reportFd(reportFd) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window()->isVisible()) {
            m_seen = true;
            QMetaObject::invokeMethod(this, &FirstFrameFilter::Report, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void Report() const {
        char line[64];
        const int length =
            std::snprintf(line, sizeof line, "first-frame-ns %lld\n", MonotonicNs() - m_startNs);
        if (length > 0 && write(m_reportFd, line, static_cast<std::size_t>(length)) < 0) {
            _exit(3);
        }
        // The figure is taken; tearing the program down is not part of it.
        _exit(0);
    }

    long long m_startNs;
    int m_reportFd;
    bool m_seen = false;
};

void InstallProbe() {
    const long long startNs = ReadNumber("QUILLON_BENCH_START_NS");
    const long long reportFd = ReadNumber("QUILLON_BENCH_REPORT_FD");
    if (startNs < 0 || reportFd < 0) {
        return;
    }
    auto* filter = new FirstFrameFilter(startNs, static_cast<int>(reportFd));
    QCoreApplication::instance()->installEventFilter(filter);
}

} // namespace

// Runs inside the constructor of the program's QApplication.
Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
