// Step 1's "Remember these inputs": with it on, the controller, the oscillator, the rates,
// the PLL and the bus as built are kept in the user's settings file when it is turned on and
// when the window closes, and put back when the next window opens. Off, as it starts,
// nothing is kept, and turning it off forgets what was. The file may have been edited by
// hand or written by another version, so what comes back is read as strictly as the command
// line reads its options: a value that does not read, or names a controller no longer known,
// is left out with a warning on the standard error, and its box keeps its default.
#include "window/CalculatorWindow.h"

#include "timing/common/BusContext.h"
#include "timing/common/InputChecks.h"
#include "timing/common/NumberReading.h"
#include "timing/fd/FdTiming.h"
#include "ui/QtText.h"
#include "window/BusDialog.h"
#include "window/ControllerChoice.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QSettings>

#include <functional>
#include <optional>
#include <string>

namespace {

const QString kRememberKey = QStringLiteral("window/rememberInputs");
const QString kInputsGroup = QStringLiteral("inputs");
const QString kBusGroup = QStringLiteral("bus");

// $XDG_CONFIG_HOME/Quillon/quillon.conf, normally ~/.config/Quillon/quillon.conf.
class InputSettings : public QSettings {
public:
    InputSettings()
        : QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quillon"),
                    QStringLiteral("quillon")) {}

    // The text stored under `key` as written, also where it holds commas.
    QString Text(const QString& key) const {
        const QVariant stored = value(key);
        return stored.typeId() == QMetaType::QStringList
                   ? stored.toStringList().join(QLatin1Char(','))
                   : stored.toString();
    }

    void Refuse(const QString& what, const QString& text, QString why) const {
        if (why.endsWith(QLatin1Char('.'))) {
            why.chop(1);
        }
        qWarning("%s", qPrintable(QStringLiteral("Quillon: the remembered %1 '%2' in %3 is not "
                                                 "used: %4. It keeps its default.")
                                      .arg(what, text, fileName(), why)));
    }

    // The number stored under `key` when it reads strictly and `problem` has none with it.
    std::optional<double>
    Number(const QString& key, const QString& what, const char* unit,
           const std::function<std::optional<std::string>(double)>& problem = {}) const {
        const QString text = Text(key);
        const quillon::StrictNumber number = quillon::ReadNumberStrictly(ToStdString(text), unit);
        std::optional<std::string> why;
        if (!number.value) {
            why = number.sReason;
        } else if (problem) {
            why = problem(*number.value);
        }
        if (why) {
            Refuse(what, text, ToQString(*why));
            return std::nullopt;
        }
        return number.value;
    }
};

QString NumberText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// The bus of the [bus] group; a field left out keeps its default.
std::optional<quillon::BusContext> StoredBus(const InputSettings& settings) {
    quillon::BusContext bus;
    const auto field = [&settings](const char* key, const QString& what, const char* unit,
                                   double& into) {
        const QString path = kBusGroup + QLatin1Char('/') + QLatin1String(key);
        if (!settings.contains(path)) {
            return true;
        }
        const std::optional<double> value = settings.Number(path, what, unit);
        into = value.value_or(into);
        return value.has_value();
    };
    const QString lengthKey = kBusGroup + QStringLiteral("/length");
    if (settings.contains(lengthKey) && !settings.Text(lengthKey).trimmed().isEmpty()) {
        double length = 0.0;
        if (!field("length", QStringLiteral("bus length"), "m", length)) {
            return std::nullopt;
        }
        bus.dBusLengthMetres = length;
    }
    if (!field("cableDelay", QStringLiteral("cable delay"), "ns/m", bus.dCableDelayNsPerMetre) ||
        !field("loopDelay", QStringLiteral("loop delay"), "ns", bus.dLoopDelayNs) ||
        !field("crystalPpm", QStringLiteral("crystal tolerance"), "ppm", bus.dCrystalPpm)) {
        return std::nullopt;
    }
    const QString classKey = kBusGroup + QStringLiteral("/transceiver");
    if (settings.contains(classKey)) {
        const QString name = settings.Text(classKey);
        const auto transceiver = quillon::TransceiverClassFromName(ToStdString(name));
        if (!transceiver) {
            settings.Refuse(QStringLiteral("transceiver class"), name,
                            QStringLiteral("it is none of none, 2M and 5M"));
            return std::nullopt;
        }
        bus.transceiver = *transceiver;
    }
    if (const auto problem = quillon::BusContextProblem(bus)) {
        settings.Refuse(QStringLiteral("bus"), BusSummary(bus), ToQString(*problem));
        return std::nullopt;
    }
    return bus;
}

} // namespace

void CalculatorWindow::BuildRememberBox() {
    const InputSettings settings;
    chkRemember = new QCheckBox(tr("&Remember these inputs"), this);
    chkRemember->setObjectName(QStringLiteral("chkRemember"));
    chkRemember->setAccessibleName(tr("Remember these inputs between runs"));
    chkRemember->setToolTip(tr("Keep the controller, the oscillator, the rates, the PLL and the "
                               "bus for the next start, in %1.\nOff, nothing is kept; turning it "
                               "off forgets what was kept.")
                                .arg(settings.fileName()));
    Place(chkRemember, 4400, 5520, 3800, 270);

    const QString remember = settings.Text(kRememberKey);
    if (settings.status() == QSettings::FormatError) {
        qWarning("%s", qPrintable(QStringLiteral("Quillon: %1 is no settings file Quillon can "
                                                 "read; the window starts with its defaults.")
                                      .arg(settings.fileName())));
    } else if (remember == QLatin1String("true")) {
        chkRemember->setChecked(true);
        RestoreInputs();
    } else if (settings.contains(kRememberKey) && remember != QLatin1String("false")) {
        settings.Refuse(QStringLiteral("switch"), remember,
                        QStringLiteral("it is neither true "
                                       "nor false"));
    }
    connect(chkRemember, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            StoreInputs();
        } else {
            ForgetInputs();
        }
    });
}

void CalculatorWindow::RestoreInputs() {
    InputSettings settings;
    settings.beginGroup(kInputsGroup);
    if (settings.contains(QStringLiteral("controller"))) {
        const QString name = settings.Text(QStringLiteral("controller"));
        if (!m_controller->ChooseEntry(name)) {
            settings.Refuse(QStringLiteral("controller"), name,
                            QStringLiteral("no controller of this version is called so"));
        }
    }
    if (settings.contains(QStringLiteral("pll"))) {
        const QString pll = settings.Text(QStringLiteral("pll"));
        if (pll != QLatin1String("true") && pll != QLatin1String("false")) {
            settings.Refuse(QStringLiteral("PLL"), pll,
                            QStringLiteral("it is neither true nor false"));
        } else if (!m_controller->SetPll(pll == QLatin1String("true"))) {
            settings.Refuse(QStringLiteral("PLL"), pll,
                            QStringLiteral("the controller chosen has no PLL"));
        }
    }
    const struct {
        const char* key;
        QString what;
        const char* unit;
        std::function<std::optional<std::string>(double)> problem;
        QLineEdit* box;
    } boxes[] = {
        {"oscillator", QStringLiteral("oscillator"), "MHz", quillon::OscillatorProblem, txtOsc},
        {"rate", QStringLiteral("rate"), "kbit/s", quillon::RateProblem, txtCANBaud},
        {"dataRate", QStringLiteral("data rate"), "kbit/s", quillon::FdDataRateProblem,
         m_controller->dataRateBox()},
    };
    for (const auto& box : boxes) {
        if (settings.contains(QLatin1String(box.key)) &&
            settings.Number(QLatin1String(box.key), box.what, box.unit, box.problem)) {
            box.box->setText(settings.Text(QLatin1String(box.key)).trimmed());
        }
    }
    settings.endGroup();
    if (const auto bus = StoredBus(settings)) {
        m_bus = *bus;
        ShowBus();
    }
}

void CalculatorWindow::StoreInputs() {
    InputSettings settings;
    settings.setValue(kRememberKey, QStringLiteral("true"));
    settings.beginGroup(kInputsGroup);
    settings.setValue(QStringLiteral("controller"), m_controller->EntryName());
    settings.setValue(QStringLiteral("oscillator"), txtOsc->text());
    settings.setValue(QStringLiteral("rate"), txtCANBaud->text());
    settings.setValue(QStringLiteral("dataRate"), m_controller->dataRateBox()->text());
    settings.setValue(QStringLiteral("pll"), QLatin1String(m_controller->Pll() ? "true" : "false"));
    settings.endGroup();
    settings.beginGroup(kBusGroup);
    settings.setValue(QStringLiteral("length"),
                      m_bus.dBusLengthMetres ? NumberText(*m_bus.dBusLengthMetres) : QString());
    settings.setValue(QStringLiteral("cableDelay"), NumberText(m_bus.dCableDelayNsPerMetre));
    settings.setValue(QStringLiteral("loopDelay"), NumberText(m_bus.dLoopDelayNs));
    settings.setValue(QStringLiteral("crystalPpm"), NumberText(m_bus.dCrystalPpm));
    settings.setValue(QStringLiteral("transceiver"),
                      ToQString(quillon::TransceiverClassName(m_bus.transceiver)));
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        qWarning("%s", qPrintable(QStringLiteral("Quillon: the inputs could not be kept in %1.")
                                      .arg(settings.fileName())));
    }
}

void CalculatorWindow::ForgetInputs() {
    InputSettings settings;
    settings.remove(kRememberKey);
    settings.remove(kInputsGroup);
    settings.remove(kBusGroup);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        qWarning("%s", qPrintable(QStringLiteral("Quillon: the kept inputs could not be removed "
                                                 "from %1.")
                                      .arg(settings.fileName())));
    }
}

void CalculatorWindow::closeEvent(QCloseEvent* event) {
    if (chkRemember->isChecked()) {
        StoreInputs();
    }
    QWidget::closeEvent(event);
}
