#include "window/ClipboardCopy.h"

#include "timing/common/Maker.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "window/CopyNote.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

namespace {

QString Sentences(const std::vector<std::string>& sentences) {
    QStringList lines;
    for (const std::string& sentence : sentences) {
        lines << QStringLiteral("\u2022 ") + ToQString(sentence);
    }
    return lines.join(QLatin1Char('\n'));
}

QString Tr(const char* text) {
    return QCoreApplication::translate("CalculatorWindow", text);
}

} // namespace

void CopyExport(QWidget* parent, CopyNote* note, const QString& form, const std::string& text,
                const std::vector<std::string>& warnings) {
    const QString title = ToQString(quillon::kAppTitle);
    if (text.empty()) {
        note->Say(Tr("Nothing was copied: the %1 cannot be made.").arg(form));
        ShowMessage(
            parent, QMessageBox::Information, title,
            Tr("Nothing was copied: the %1 cannot be made.\n\n%2").arg(form, Sentences(warnings)));
        return;
    }
    QGuiApplication::clipboard()->setText(ToQString(text));
    note->Say(warnings.empty()
                  ? Tr("Copied the %1 to the clipboard.").arg(form)
                  : Tr("Copied the %1 to the clipboard; its target would refuse or change it.")
                        .arg(form));
    if (!warnings.empty()) {
        ShowMessage(parent, QMessageBox::Warning, title,
                    Tr("The %1 is on the clipboard, but its target would refuse or change "
                       "this setting:\n\n%2")
                        .arg(form, Sentences(warnings)));
    }
}
