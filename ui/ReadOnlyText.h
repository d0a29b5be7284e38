#pragma once
// A read-only text box that the keyboard still reaches: it selects and copies, and Tab
// leaves it. Not every style frames a focused text view, so a box in a dialog can ask for a
// frame of its own in the highlight colour.
#include <QPlainTextEdit>
#include <QString>

inline void MakeReadOnlyText(QPlainTextEdit* box) {
    box->setReadOnly(true);
    box->setTabChangesFocus(true);
    box->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
}

inline void FrameFocusedText(QPlainTextEdit* box) {
    box->setStyleSheet(QStringLiteral(
        "QPlainTextEdit { border: 1px solid palette(mid); padding: 1px; }"
        "QPlainTextEdit:focus { border: 2px solid palette(highlight); padding: 0; }"));
}
