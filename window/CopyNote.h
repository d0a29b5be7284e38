#pragma once
// The short note a "Copy as" leaves in the window, saying what went onto the clipboard
// ("Copied the Linux ip link command to the clipboard.") or that nothing did. It shows
// beside the button in the palette's own window and text colours with a frame, fades after
// a few seconds, and is told to assistive technology as an alert when it shows, so that a
// screen reader says it without the focus moving.
#include <QLabel>

class QGraphicsOpacityEffect;
class QPropertyAnimation;
class QTimer;

class CopyNote : public QLabel {
    Q_OBJECT

public:
    // A note for the button `anchor`, in the anchor's parent.
    explicit CopyNote(QWidget* anchor);

    // Shows `text` under the anchor, right edges flush (where the panel ends below it, on
    // its left), and starts the time after which it fades.
    void Say(const QString& text);

private:
    void Place();

    QWidget* m_anchor;
    QGraphicsOpacityEffect* m_opacity = nullptr;
    QPropertyAnimation* m_fade = nullptr;
    QTimer* m_stay = nullptr;
};
