#pragma once
// What step 3 says beside the verdict, built from a setting's facts: the analysis line
// (tolerance, bus length, sample point), and the checks a user should see before the
// report: a rate other than the target, boxes changed since the candidates were found, the
// bus idle erratum, and why the list is empty and what can be had instead.
#include "timing/classic/BitTiming.h"
#include "timing/common/Findings.h"

#include <QString>
#include <QStringList>

#include <string_view>

// "Oscillator tolerance 0.3125 %  ·  bus length up to 21.5 m  ·  Sample point 75.0 %, ..."
QString AnalysisText(const quillon::BitTimingFacts& facts, std::string_view decimalSeparator);

// One line per finding of the setting, errors first.
QStringList SettingCheckTexts(const quillon::BitTimingFacts& facts);

// A finding as step 3 lists it: a mark and the severity in words, then its text
// ("\u2716 Error: The bit rate is ...").
QString FindingNote(const quillon::Finding& finding);

// One line for each box whose text the boxes' reading takes as something other than typed
// ("The oscillator box holds '3,6864', read as 3 MHz: ..."); none when each reads as typed.
// `boxes` pairs each box's name with its text and unit.
struct BoxText {
    QString sName; // "oscillator", "rate", "data rate"
    QString sText;
    std::string_view sUnit; // "MHz", "kbit/s"
};
QStringList BoxReadingTexts(const QList<BoxText>& boxes);

// The line saying the boxes no longer hold what the candidate list was computed from.
QString InputsChangedText();

// Why the chosen list is empty: no combination reaches the rate from the oscillator, and
// the nearest rates that can be had.
QString EmptyListText(double dOscFreqMHz, double dRateKbps, std::string_view decimalSeparator);
