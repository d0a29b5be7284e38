#pragma once
// What step 3 says beside the verdict, built from a setting's facts: the analysis line
// (tolerance, bus length, sample point), and the checks a user should see before the
// report: a rate other than the target, boxes changed since the candidates were found, the
// bus idle erratum, and why the list is empty and what can be had instead.
#include "timing/classic/BitTiming.h"

#include <QString>
#include <QStringList>

#include <string_view>

// "Oscillator tolerance 0.3125 %  ·  bus length up to 21.5 m  ·  Sample point 75.0 %, ..."
QString AnalysisText(const quillon::BitTimingFacts& facts, std::string_view decimalSeparator);

// The rate line when the setting misses its target, the erratum line when it applies.
QStringList SettingCheckTexts(const quillon::BitTimingFacts& facts,
                              std::string_view decimalSeparator);

// The line saying the boxes no longer hold what the candidate list was computed from.
QString InputsChangedText();

// Why the chosen list is empty: no combination reaches the rate from the oscillator, and
// the nearest rates that can be had.
QString EmptyListText(double dOscFreqMHz, double dRateKbps, std::string_view decimalSeparator);
