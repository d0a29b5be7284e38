#pragma once
// What a screen reader says of a widget beside its name: its accessible description. It is
// set only when it changes, so the DescriptionChanged event Qt sends with it always tells
// of a real change, which the reader announces.
#include <QWidget>

inline void SetSpokenDescription(QWidget* widget, const QString& text) {
    if (widget->accessibleDescription() != text) {
        widget->setAccessibleDescription(text);
    }
}
