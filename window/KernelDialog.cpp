#include "window/KernelDialog.h"

#include "ui/ReadOnlyText.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Room for the widest line of the classic comparison and its usual length.
constexpr int kColumns = 92;
constexpr int kLines = 34;

} // namespace

KernelDialog::KernelDialog(const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("KernelDialog"));
    setWindowTitle(tr("The Linux kernel's own choice"));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtKernelChoice"));
    MakeReadOnlyText(m_text);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap); // the text is wrapped for its columns
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(text);
    m_text->setAccessibleName(windowTitle());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);

    // As wide as the longest line (the CAN FD driver's names its ip link command), within
    // the screen.
    qsizetype columns = kColumns;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        columns = std::max(columns, line.size());
    }
    const QFontMetrics metrics(m_text->font());
    int width = metrics.horizontalAdvance(QString(columns, QLatin1Char('0'))) + 48;
    if (const QScreen* screen = this->screen()) {
        width = std::min(width, screen->availableGeometry().width() * 9 / 10);
    }
    resize(width, metrics.lineSpacing() * kLines + 80);
    m_text->setFocus();
}

QString KernelDialog::text() const {
    return m_text->toPlainText();
}
