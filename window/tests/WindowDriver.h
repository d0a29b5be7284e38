#pragma once
// Test helper: drives the real calculator window the way a user does (typing into the
// boxes, clicking buttons and scroll bar arrows, choosing list entries with the keyboard)
// and stands in a desktop shell that records what the window hands to it, so no test
// ever starts a real browser or viewer.
#include "report/basShellExecute.h"
#include "window/frmMainBitTime.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QVector>
#include <QtTest>

#include <string>

// Records the shell calls; FindExecutable also keeps the content of the file it is asked
// about, because that file is gone once the window's call returns.
class RecordingShell : public quillon::DesktopShell {
public:
    std::string browser;       // what FindExecutable answers ("" = no program)
    bool startSucceeds = true; // what StartProgram answers
    QStringList lookedUp;
    QByteArray lookedUpContent;
    QVector<QStringList> started; // {program, argument}
    QStringList opened;

    std::string FindExecutable(const std::string& filePath) override {
        lookedUp << QString::fromStdString(filePath);
        QFile file(QString::fromStdString(filePath));
        lookedUpContent = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        return browser;
    }
    bool StartProgram(const std::string& program, const std::string& argument) override {
        started.push_back({QString::fromStdString(program), QString::fromStdString(argument)});
        return startSucceeds;
    }
    void OpenDocument(const std::string& filePath) override {
        opened << QString::fromStdString(filePath);
    }
};

// Runs a helper that checks with QCOMPARE/QVERIFY and leaves the test when it failed.
#define RUN_CHECK(call)                                                                            \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed()) {                                                          \
            return;                                                                                \
        }                                                                                          \
    } while (false)

template <typename T> T* Child(const QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        qFatal("missing child %s", name);
    }
    return found;
}

inline void Type(const QWidget& window, const char* box, const QString& text) {
    auto* edit = Child<QLineEdit>(window, box);
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

inline void Click(const QWidget& window, const char* name) {
    QTest::mouseClick(Child<QWidget>(window, name), Qt::LeftButton);
}

// Centre of a part of a scroll bar (its arrows, say), as the bar's style lays it out.
inline QPoint ScrollBarPart(const QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    option.subControls = QStyle::SC_All;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

inline void ClickArrow(QScrollBar* bar, QStyle::SubControl arrow) {
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, ScrollBarPart(bar, arrow));
}

// Moves a scroll bar to `value` by clicking its arrows; false when it does not get there.
inline bool SetByArrows(const QWidget& window, const char* name, int value) {
    auto* bar = Child<QScrollBar>(window, name);
    for (int clicks = 0; bar->value() != value && clicks <= bar->maximum(); ++clicks) {
        ClickArrow(bar, bar->value() < value ? QStyle::SC_ScrollBarAddLine
                                             : QStyle::SC_ScrollBarSubLine);
    }
    return bar->value() == value;
}

// Chooses the list entry with the given text by arrow keys, as a user does; false when
// there is none.
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
