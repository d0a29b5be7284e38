#pragma once
// Drives the real calculator window the way a user does: typing into its boxes, clicking
// buttons and scroll-bar arrows, choosing a Tq entry with the keyboard.
#include "window/BitTimingPicture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

// The named child; a missing one ends the test program, since nothing could be checked.
template <typename T = QWidget> T* Child(const QObject& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("missing child %s", name);
    }
    return found;
}

// The text of a label or box.
inline QString Text(const QWidget& window, const char* name) {
    if (auto* label = window.findChild<QLabel*>(QString::fromLatin1(name))) {
        return label->text();
    }
    return Child<QLineEdit>(window, name)->text();
}

inline void Type(const QWidget& window, const char* box, const QString& text) {
    auto* edit = Child<QLineEdit>(window, box);
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

inline void Click(const QWidget& window, const char* name) {
    QTest::mouseClick(Child(window, name), Qt::LeftButton);
}

// A click on the lower arrow (the value rises by one) or the upper arrow of a scroll bar.
inline void ClickArrow(QScrollBar* bar, bool lower) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.subControls = QStyle::SC_All;
    const QStyle::SubControl arrow =
        lower ? QStyle::SC_ScrollBarAddLine : QStyle::SC_ScrollBarSubLine;
    const QRect part = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, part.center());
}

// Chooses the step-3 entry with the given text by arrow keys; false when there is none.
inline bool ChooseTq(const QWidget& window, const QString& text) {
    auto* list = Child<QComboBox>(window, "lstSelectTq");
    const int index = list->findText(text);
    for (int keys = 0; index >= 0 && list->currentIndex() != index && keys < list->count();
         ++keys) {
        QTest::keyClick(list, list->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    }
    return index >= 0 && list->currentIndex() == index;
}

// From step 1 with the given inputs to step 3.
inline void GoToStep3(const QWidget& window, const QString& osc, const QString& rate) {
    Type(window, "txtOsc", osc);
    Type(window, "txtCANBaud", rate);
    Click(window, "cmdNext");
    Click(window, "cmdNext");
}

// The diagram image the window shows (and saves).
inline const QImage& Picture(const QWidget& window) {
    return Child<BitTimingPicture>(window, "pctDisplay")->image();
}
