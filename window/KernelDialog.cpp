#include "window/KernelDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Room for the widest line of the comparison and its usual length.
constexpr int kColumns = 92;
constexpr int kLines = 34;

} // namespace

KernelDialog::KernelDialog(const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("KernelDialog"));
    setWindowTitle(tr("The Linux kernel's own choice"));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtKernelChoice"));
    m_text->setReadOnly(true);
    // Read-only, the box still takes the keyboard for selecting and copying; Tab leaves it.
    m_text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_text->setTabChangesFocus(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap); // the text is wrapped for its columns
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(text);
    m_text->setAccessibleName(windowTitle());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);

    const QFontMetrics metrics(m_text->font());
    resize(metrics.horizontalAdvance(QString(kColumns, QLatin1Char('0'))) + 48,
           metrics.lineSpacing() * kLines + 80);
    m_text->setFocus();
}

QString KernelDialog::text() const {
    return m_text->toPlainText();
}
