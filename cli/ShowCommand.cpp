#include "cli/ShowCommand.h"

#include "cli/CliArguments.h"
#include "startup/AutomationBus.h"
#include "timing/NumberReading.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QString>

#include <cctype>
#include <iostream>
#include <optional>
#include <string>

namespace {

using quillon::cli::Problem;

constexpr char kLockOption[] = "--lock-frequency";
// Long enough for the bus to start the program on demand.
constexpr int kCallTimeoutMs = 20000;

struct ShowRequest {
    bool help = false;
    bool lock = false;
    double frequencyMHz = 0.0;
};

// True when the text starts with a number as the entry boxes read it (blanks anywhere are
// skipped), so that a mistyped value is refused rather than read as 0.
bool HasLeadingNumber(const std::string& text) {
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            compact += c;
        }
    }
    std::size_t i = 0;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) {
        ++i;
    }
    const auto at = [&](std::size_t k) { return k < compact.size() ? compact[k] : '\0'; };
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (digit(at(i)) || (at(i) == '.' && digit(at(i + 1)))) {
        return true;
    }
    if (at(i) == '&') {
        const char base = static_cast<char>(std::toupper(static_cast<unsigned char>(at(i + 1))));
        const char first = at(i + 2);
        return (base == 'H' && std::isxdigit(static_cast<unsigned char>(first)) != 0) ||
               (base == 'O' && first >= '0' && first <= '7');
    }
    return false;
}

// Reads the arguments after "show"; on a bad one, sets `error` to one line naming it.
std::optional<ShowRequest> ParseShowArguments(const QStringList& args, std::string& error) {
    ShowRequest request;
    for (int i = 0; i < args.size(); ++i) {
        const std::string argument = args[i].toStdString();
        if (argument == "--help" || argument == "-h") {
            request.help = true;
            return request;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (name != kLockOption) {
            error = Problem(name, name.rfind('-', 0) == 0 ? "unknown option for show"
                                                          : "unexpected argument");
            return std::nullopt;
        }
        if (request.lock) {
            error = Problem(name, "given more than once");
            return std::nullopt;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--"))) {
            value = args[++i].toStdString();
        } else {
            error = Problem(name, "missing value (oscillator frequency in MHz)");
            return std::nullopt;
        }
        if (!HasLeadingNumber(value)) {
            error = Problem(name, "'" + value + "' is not a number");
            return std::nullopt;
        }
        request.lock = true;
        request.frequencyMHz = quillon::ReadLeadingNumber(value);
    }
    return request;
}

const char* const kShowHelp =
    "Usage: quillon-cli show [--lock-frequency MHZ]\n"
    "Opens the calculator window through the D-Bus session bus, or brings it forward; the\n"
    "bus starts the calculator if it is not running. Returns once the window is shown.\n"
    "\n"
    "  --lock-frequency MHZ  write MHZ into the oscillator box and lock the box\n";

int Fail(const std::string& what) {
    std::cerr << Problem("show", what) << '\n';
    return quillon::cli::kExitRefused;
}

} // namespace

int RunShowCommand(const QStringList& args) {
    std::string error;
    const std::optional<ShowRequest> request = ParseShowArguments(args, error);
    if (!request) {
        std::cerr << error << '\n';
        return quillon::cli::kExitUsage;
    }
    if (request->help) {
        std::cout << kShowHelp;
        return quillon::cli::kExitOk;
    }

    int argc = 1;
    char name[] = "quillon-cli";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);

    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return Fail("no D-Bus session bus is available (" +
                    bus.lastError().message().toStdString() +
                    "); run it inside a desktop session, or start the calculator with 'quillon'");
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(quillon::bus::kServiceName), QLatin1String(quillon::bus::kObjectPath),
        QLatin1String(quillon::bus::kInterface), QLatin1String(quillon::bus::kShowCalculator));
    call << request->lock << request->frequencyMHz;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::string what =
            "the calculator did not take the call (" + reply.errorMessage().toStdString() + ")";
        if (reply.errorName() == QDBusError::errorString(QDBusError::ServiceUnknown)) {
            what += "; start 'quillon' first, or install its D-Bus activation file";
        }
        return Fail(what);
    }
    return quillon::cli::kExitOk;
}
