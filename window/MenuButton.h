#pragma once
// A tool button whose menu also opens with Return, Enter and Alt+Down, as a drop-down list
// does; Space opens it as it presses any button. The "Copy as" buttons of step 3.
#include <QKeyEvent>
#include <QToolButton>

class MenuButton : public QToolButton {
public:
    // A text-only button named `name` whose menu opens at a click, in the Tab chain.
    MenuButton(const QString& name, const QString& text, QWidget* parent) : QToolButton(parent) {
        setObjectName(name);
        setText(text);
        setFocusPolicy(Qt::StrongFocus);
        setPopupMode(QToolButton::InstantPopup);
        setToolButtonStyle(Qt::ToolButtonTextOnly);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        const bool altDown = key == Qt::Key_Down && event->modifiers() == Qt::AltModifier;
        if (key == Qt::Key_Return || key == Qt::Key_Enter || altDown) {
            showMenu();
            return;
        }
        QToolButton::keyPressEvent(event);
    }
};
