#include "window/CopyNote.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kStayMs = 5000;
constexpr int kFadeMs = 800;

// The note to assistive technology: an alert whose name is its text, which screen readers
// read out when it shows.
class CopyNoteAccessible : public QAccessibleWidget {
public:
    explicit CopyNoteAccessible(QWidget* note)
        : QAccessibleWidget(note, QAccessible::AlertMessage) {}
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            return static_cast<const QLabel*>(widget())->text();
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* NoteInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("CopyNote") && object->isWidgetType()) {
        return new CopyNoteAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

CopyNote::CopyNote(QWidget* anchor) : QLabel(anchor->parentWidget()), m_anchor(anchor) {
    static const bool installed = [] {
        QAccessible::installFactory(NoteInterface);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(anchor->objectName() + QStringLiteral("Note"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    setMargin(3);
    setTextFormat(Qt::PlainText);
    setWordWrap(true); // on a panel narrower than the sentence
    hide();

    m_opacity = new QGraphicsOpacityEffect(this);
    m_opacity->setOpacity(1.0);
    setGraphicsEffect(m_opacity);
    m_fade = new QPropertyAnimation(m_opacity, "opacity", this);
    m_fade->setDuration(kFadeMs);
    m_fade->setStartValue(1.0);
    m_fade->setEndValue(0.0);
    connect(m_fade, &QPropertyAnimation::finished, this, &QWidget::hide);
    m_stay = new QTimer(this);
    m_stay->setSingleShot(true);
    m_stay->setInterval(kStayMs);
    connect(m_stay, &QTimer::timeout, m_fade, [this] { m_fade->start(); });
}

void CopyNote::Say(const QString& text) {
    m_fade->stop();
    m_opacity->setOpacity(1.0);
    hide(); // a note shown again is an alert again
    setText(text);
    Place();
    show();
    raise();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    m_stay->start();
}

void CopyNote::Place() {
    const QWidget* panel = parentWidget();
    // One line where the panel has room for it.
    const int natural = fontMetrics().horizontalAdvance(text()) + 2 * (margin() + frameWidth()) + 2;
    const int width = std::min(natural, panel->width());
    const int height = heightForWidth(width);
    const QRect button = m_anchor->geometry();
    int top = button.bottom() + 3;
    int left = button.right() + 1 - width;
    if (top + height > panel->height()) {
        // No room below: beside the button on its left where the sentence fits there (the
        // buttons above stay free), else above it.
        if (button.left() - 4 >= width) {
            left = button.left() - 4 - width;
            top = button.center().y() - height / 2;
        } else {
            top = button.top() - 3 - height;
        }
    }
    left = std::clamp(left, 0, std::max(0, panel->width() - width));
    top = std::clamp(top, 0, std::max(0, panel->height() - height));
    setGeometry(left, top, width, height);
}
