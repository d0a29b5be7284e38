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

// The line saying the boxes no longer hold what the candidate list was computed from.
QString InputsChangedText();

// Why the chosen list is empty: no combination reaches the rate from the oscillator, and
// the nearest rates that can be had.
QString EmptyListText(double dOscFreqMHz, double dRateKbps, std::string_view decimalSeparator);
