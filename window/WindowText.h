#pragma once
// Conversions between the model's UTF-8 texts and Qt strings, and the window's message
// boxes (one OK button, the answer never used).
#include <QMessageBox>
#include <QString>

#include <string>
#include <string_view>

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text) {
    return text.toUtf8().toStdString();
}

// Shows a modal message box with a single OK button and waits until it is closed.
void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                 const QString& text);
