#pragma once
// The window's message boxes: one OK button, the answer never used.
#include <QMessageBox>
#include <QString>

// Shows a modal message box with a single OK button and waits until it is closed.
void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                 const QString& text);
