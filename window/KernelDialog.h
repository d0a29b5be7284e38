#pragma once
// The Linux kernel's own choice for the oscillator and rate of step 3 beside Quillon's: the
// comparison text report/ makes (the same that `quillon-cli kernel` prints) in a read-only
// fixed-width box, and a Close button. Escape closes it too.
#include <QDialog>

class QPlainTextEdit;

class KernelDialog : public QDialog {
    Q_OBJECT

public:
    KernelDialog(const QString& text, QWidget* parent);

    QString text() const;

private:
    QPlainTextEdit* m_text = nullptr;
};
