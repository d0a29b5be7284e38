#pragma once
// The automation class: other programs open the calculator through ShowCalculator and may
// fix and lock the oscillator frequency first. It holds no state of its own; every object
// acts on the process's one window.
#include <QObject>

class cvrnBitTimeUI : public QObject {
    Q_OBJECT

public:
    explicit cvrnBitTimeUI(QObject* parent = nullptr) : QObject(parent) {}

public slots:
    // bLockFreq true: write dFreqValue (MHz) into the oscillator box in the general number
    // format and lock the box. Then show the window, or bring it forward. Returns at once.
    void ShowCalculator(bool bLockFreq, double dFreqValue);
};
