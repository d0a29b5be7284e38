#include "window/StepThreeNotes.h"

#include "timing/classic/CandidateSearch.h"
#include "timing/classic/DisplayTexts.h"
#include "timing/classic/Registers.h"
#include "timing/common/NumberFormat.h"
#include "timing/common/NumberReading.h"
#include "ui/QtText.h"

#include <QCoreApplication>

#include <cmath>

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("StepThreeNotes", text);
}

QString Rate(double bitsPerSecond, std::string_view sep) {
    return ToQString(quillon::FormatEngineering(bitsPerSecond, "0.000###", "bps", false, sep));
}

QString Nearest(const std::optional<quillon::TqCandidate>& candidate, std::string_view sep) {
    return Tr("%1 (BRP-1 %2, %3 Tq)")
        .arg(Rate(candidate->dActualBaud, sep))
        .arg(candidate->lBRPMinus1)
        .arg(candidate->lTqCount);
}

} // namespace

QString AnalysisText(const quillon::BitTimingFacts& facts, std::string_view sep) {
    const quillon::TimingAnalysis& a = facts.analysis;
    return Tr("Oscillator tolerance %1 %  \u00b7  bus length %2  \u00b7  Sample point %3 %, %4 "
              "the %5 % recommended")
        .arg(ToQString(quillon::OscToleranceText(a, sep)),
             ToQString(quillon::BusLengthText(a, sep)),
             ToQString(quillon::SamplePointText(a.dSamplePointPercent, sep)),
             ToQString(quillon::SamplePointComparison(a)),
             ToQString(quillon::SamplePointText(a.dRecommendedSamplePointPercent, sep)));
}

QStringList SettingCheckTexts(const quillon::BitTimingFacts& facts) {
    QStringList texts;
    for (const quillon::Finding& finding : facts.findings) {
        texts << FindingNote(finding);
    }
    return texts;
}

QString FindingNote(const quillon::Finding& finding) {
    switch (finding.severity) {
    case quillon::Severity::Error:
        return Tr("\u2716 Error: %1").arg(ToQString(finding.sText));
    case quillon::Severity::Warning:
        return Tr("\u26a0 Warning: %1").arg(ToQString(finding.sText));
    case quillon::Severity::Advice:
        break;
    }
    return Tr("\u2139 Advice: %1").arg(ToQString(finding.sText));
}

QStringList BoxReadingTexts(const QList<BoxText>& boxes) {
    QStringList texts;
    for (const BoxText& box : boxes) {
        const std::string text = box.sText.toStdString();
        if (const auto misread = quillon::FindLenientMisreading(text, box.sUnit)) {
            QString reason = ToQString(misread->sReason);
            if (!reason.endsWith(QLatin1Char('.')) && !reason.endsWith(QLatin1Char('?'))) {
                reason += QLatin1Char('.');
            }
            texts << Tr("The %1 box holds '%2', read as %3 %4: %5")
                         .arg(box.sName, box.sText,
                              ToQString(quillon::FormatGeneralNumber(misread->dRead)),
                              ToQString(box.sUnit), reason);
        }
    }
    return texts;
}

QString InputsChangedText() {
    return Tr("The oscillator or rate box changed after the candidates were found: press < to "
              "recalculate.");
}

QString EmptyListText(double dOscFreqMHz, double dRateKbps, std::string_view sep) {
    const quillon::NearestRates nearest =
        quillon::NearestReachableRates(dOscFreqMHz, dRateKbps * 1000);
    const QString none =
        Tr("No prescaler and Tq count gives %1 from %2.")
            .arg(Rate(dRateKbps * 1000, sep), ToQString(quillon::FormatEngineering(
                                                  dOscFreqMHz * 1e6, "0.000", "Hz", false, sep)));
    if (nearest.below && nearest.above) {
        return none + QLatin1Char(' ') +
               Tr("Nearest: %1 and %2.")
                   .arg(Nearest(nearest.below, sep), Nearest(nearest.above, sep));
    }
    if (nearest.below || nearest.above) {
        return none + QLatin1Char(' ') +
               Tr("Nearest: %1.").arg(Nearest(nearest.below ? nearest.below : nearest.above, sep));
    }
    return none;
}
