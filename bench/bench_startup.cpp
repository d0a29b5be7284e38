// Times whole processes, started the way a user or a script starts them, and prints the
// median of repeated runs.
//
//   bench_startup [--runs N] [--warmup N] [--timeout-ms N] [--name NAME] [--verbose]
//                 [--probe LIBRARY] -- PROGRAM [ARGUMENTS...]
//
// Without --probe the figure is the wall time from the spawn to the end of the process
// (a command-line answer). With --probe the library is preloaded into the program and the
// figure is the time from the spawn to its first painted frame, which the probe reports
// before ending the process (a window's start-up).
//
// Beside the wall time, the processor time the program used (user + system, from the
// kernel's accounting at its end) is reported: on a shared machine the wall time grows
// with the load, the processor time much less.
//
// Output: a human-readable line, then
//   RESULT <name> median=<ms> min=<ms> max=<ms> cpu=<median ms> runs=<N>
// Exit status 0 when every run succeeded.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The descriptor the child's report pipe is placed on.
constexpr int kChildReportFd = 3;

struct Options {
    int runs = 21;
    int warmup = 2;
    int timeoutMs = 10000;
    std::string name;
    std::string probe;
    bool verbose = false;
    std::vector<std::string> command;
};

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

[[noreturn]] void Usage(const char* problem) {
    std::fprintf(stderr,
                 "bench_startup: %s\n"
                 "usage: bench_startup [--runs N] [--warmup N] [--timeout-ms N] [--name NAME]\n"
                 "                     [--verbose] [--probe LIBRARY] -- PROGRAM [ARGUMENTS...]\n",
                 problem);
    std::exit(2);
}

int ReadCount(const char* text, const char* option, int minimum) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > 100000) {
        const std::string problem = std::string("bad value for ") + option + ": " + text;
        Usage(problem.c_str());
    }
    return static_cast<int>(value);
}

Options ParseOptions(int argc, char* argv[]) {
    Options options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (i + 1 >= argc) {
            Usage(("missing value after " + arg).c_str());
        }
        const char* value = argv[++i];
        if (arg == "--runs") {
            options.runs = ReadCount(value, "--runs", 1);
        } else if (arg == "--warmup") {
            options.warmup = ReadCount(value, "--warmup", 0);
        } else if (arg == "--timeout-ms") {
            options.timeoutMs = ReadCount(value, "--timeout-ms", 1);
        } else if (arg == "--name") {
            options.name = value;
        } else if (arg == "--probe") {
            options.probe = value;
        } else {
            Usage(("unknown option " + arg).c_str());
        }
    }
    for (; i < argc; ++i) {
        options.command.emplace_back(argv[i]);
    }
    if (options.command.empty()) {
        Usage("no program given");
    }
    if (options.name.empty()) {
        options.name = options.command.front();
    }
    return options;
}

// The environment of one run: ours, with the probe's variables added.
std::vector<std::string> RunEnvironment(const Options& options, long long startNs) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("QUILLON_BENCH_", 0) == 0 || entry.rfind("LD_PRELOAD=", 0) == 0) {
            continue;
        }
        env.push_back(entry);
    }
    if (!options.probe.empty()) {
        const char* preload = std::getenv("LD_PRELOAD");
        env.push_back("LD_PRELOAD=" + options.probe +
                      (preload != nullptr && *preload != '\0' ? std::string(":") + preload : ""));
        env.push_back("QUILLON_BENCH_START_NS=" + std::to_string(startNs));
        env.push_back("QUILLON_BENCH_REPORT_FD=" + std::to_string(kChildReportFd));
    }
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

struct Figure {
    double dWallMs = 0; // to the first frame, or to the end of the process
    double dCpuMs = 0;  // user + system time of the whole process
};

double Milliseconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
}

// Runs the program once; the figure, or nothing with the reason printed.
std::optional<Figure> RunOnce(const Options& options) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        std::perror("bench_startup: pipe");
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], kChildReportFd);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!options.verbose) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }

    std::vector<std::string> argvTexts = options.command;
    std::vector<char*> argvPointers = Pointers(argvTexts);

    const long long startNs = MonotonicNs();
    std::vector<std::string> envTexts = RunEnvironment(options, startNs);
    std::vector<char*> envPointers = Pointers(envTexts);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argvPointers[0], &actions, nullptr, argvPointers.data(),
                                     envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        std::fprintf(stderr, "bench_startup: cannot start %s: %s\n", argvPointers[0],
                     std::strerror(spawned));
        close(pipeFds[0]);
        return std::nullopt;
    }

    // Read the probe's report until the child ends (end of file on the pipe) or time is up.
    std::string report;
    bool timedOut = false;
    for (;;) {
        const long long waitedMs = (MonotonicNs() - startNs) / 1000000;
        if (waitedMs >= options.timeoutMs) {
            timedOut = true;
            break;
        }
        pollfd fd{pipeFds[0], POLLIN, 0};
        const int ready = poll(&fd, 1, static_cast<int>(options.timeoutMs - waitedMs));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        char buffer[256];
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        report.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeFds[0]);
    if (timedOut) {
        kill(pid, SIGKILL);
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    const long long endNs = MonotonicNs();

    if (timedOut) {
        std::fprintf(stderr, "bench_startup: %s did not %s within %d ms\n", argvPointers[0],
                     options.probe.empty() ? "finish" : "paint a frame", options.timeoutMs);
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_startup: %s failed (%s %d)\n", argvPointers[0],
                     WIFEXITED(status) ? "exit status" : "signal",
                     WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
        return std::nullopt;
    }
    Figure figure;
    figure.dCpuMs = Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime);
    if (options.probe.empty()) {
        figure.dWallMs = static_cast<double>(endNs - startNs) / 1e6;
        return figure;
    }
    long long frameNs = -1;
    if (std::sscanf(report.c_str(), "first-frame-ns %lld", &frameNs) != 1 || frameNs < 0) {
        std::fprintf(stderr,
                     "bench_startup: %s ended without a first-frame report (is it a Qt "
                     "widget program, and was the probe loaded?)\n",
                     argvPointers[0]);
        return std::nullopt;
    }
    figure.dWallMs = static_cast<double>(frameNs) / 1e6;
    return figure;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char* argv[]) {
    const Options options = ParseOptions(argc, argv);
    for (int i = 0; i < options.warmup; ++i) {
        if (!RunOnce(options)) {
            return 1;
        }
    }
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < options.runs; ++i) {
        const std::optional<Figure> figure = RunOnce(options);
        if (!figure) {
            return 1;
        }
        wall.push_back(figure->dWallMs);
        cpu.push_back(figure->dCpuMs);
    }
    const double median = Median(wall);
    const double cpuMedian = Median(cpu);
    const auto [lowest, highest] = std::minmax_element(wall.begin(), wall.end());
    std::printf("%s: median %.2f ms (min %.2f, max %.2f; processor %.2f ms) over %d runs, %s\n",
                options.name.c_str(), median, *lowest, *highest, cpuMedian, options.runs,
                options.probe.empty() ? "start to exit" : "start to first painted frame");
    std::printf("RESULT %s median=%.3f min=%.3f max=%.3f cpu=%.3f runs=%d\n", options.name.c_str(),
                median, *lowest, *highest, cpuMedian, options.runs);
    return 0;
}
