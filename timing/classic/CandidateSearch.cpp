#include "timing/classic/CandidateSearch.h"

#include "timing/classic/QuantumLength.h"
#include "timing/common/NumberFormat.h"
#include "timing/common/SamplePoint.h"

#include <utility>

namespace quillon {
inline namespace classic {

namespace {

// `dRoundedTarget` is RoundToWhole(dCANBaudRate) and `dTqSeconds` the quantum length of
// the prescaler (GridTqSeconds), both taken once: per search and per prescaler row.
TqCandidate MakeCandidate(double dCANBaudRate, double dRoundedTarget, double dTqSeconds,
                          std::int32_t lBRPMinus1, std::int32_t lTqCount, ErrorSignRule rule,
                          int lPeriodsPerBrp) {
    // The formulas are evaluated in exactly this order and grouping: the match rule
    // compares whole bit rates, and a different grouping can move a rate across a half.
    const std::int32_t lBRP = lBRPMinus1 + 1;
    TqCandidate candidate;
    candidate.lBRPMinus1 = lBRPMinus1;
    candidate.lTqCount = lTqCount;
    candidate.dTqSeconds = dTqSeconds;
    candidate.dActualBaud = 1 / (lTqCount * candidate.dTqSeconds);
    candidate.lOscClocks = lPeriodsPerBrp * lBRP * lTqCount;
    candidate.bMatches = RoundToWhole(candidate.dActualBaud) == dRoundedTarget;
    if (rule == ErrorSignRule::Search) {
        candidate.dErrorPercent =
            RateErrorPercent(candidate.dActualBaud, dCANBaudRate, ErrorSign::AboveIsPositive);
    } else {
        candidate.dErrorPercent =
            RateErrorPercent(candidate.dActualBaud, dCANBaudRate, ErrorSign::BelowIsPositive);
    }
    return candidate;
}

} // namespace

TqCandidate MakeTqCandidate(double dOscFreqInMhz, double dCANBaudRate, std::int32_t lBRPMinus1,
                            std::int32_t lTqCount, ErrorSignRule rule, int lPeriodsPerBrp) {
    return MakeCandidate(dCANBaudRate, RoundToWhole(dCANBaudRate),
                         GridTqSeconds(dOscFreqInMhz, lBRPMinus1, lPeriodsPerBrp), lBRPMinus1,
                         lTqCount, rule, lPeriodsPerBrp);
}

std::vector<TqCandidate> EvaluateAllCandidates(double dOscFreqInMhz, double dCANBaudRate,
                                               const SearchRange& range) {
    std::vector<TqCandidate> evaluated;
    evaluated.reserve(static_cast<std::size_t>(range.brpMinus1Max - range.brpMinus1Min + 1) *
                      static_cast<std::size_t>(range.tqMax - range.tqMin + 1));
    const double dRoundedTarget = RoundToWhole(dCANBaudRate);
    for (std::int32_t lBRPMinus1 = range.brpMinus1Min; lBRPMinus1 <= range.brpMinus1Max;
         ++lBRPMinus1) {
        const double dTqSeconds = GridTqSeconds(dOscFreqInMhz, lBRPMinus1, range.periodsPerBrp);
        for (std::int32_t lTqCount = range.tqMin; lTqCount <= range.tqMax; ++lTqCount) {
            evaluated.push_back(MakeCandidate(dCANBaudRate, dRoundedTarget, dTqSeconds, lBRPMinus1,
                                              lTqCount, ErrorSignRule::Search,
                                              range.periodsPerBrp));
        }
    }
    return evaluated;
}

std::vector<TqCandidate> EvaluateAllCandidates(double dOscFreqInMhz, double dCANBaudRate) {
    return EvaluateAllCandidates(dOscFreqInMhz, dCANBaudRate, kCalculatorSearchRange);
}

NearestRates NearestReachableRates(double dOscFreqInMhz, double dCANBaudRate) {
    NearestRates nearest;
    for (const TqCandidate& candidate : EvaluateAllCandidates(dOscFreqInMhz, dCANBaudRate)) {
        if (candidate.dActualBaud < dCANBaudRate) {
            if (!nearest.below || candidate.dActualBaud > nearest.below->dActualBaud) {
                nearest.below = candidate;
            }
        } else if (candidate.dActualBaud > dCANBaudRate) {
            if (!nearest.above || candidate.dActualBaud < nearest.above->dActualBaud) {
                nearest.above = candidate;
            }
        }
    }
    return nearest;
}

void ChosenList::Refill(const std::vector<TqCandidate>& evaluated) {
    m_items.clear();
    for (const TqCandidate& candidate : evaluated) {
        if (candidate.bMatches) {
            m_items.push_back(candidate);
        }
    }
}

void ChosenList::RemoveAt(int index) {
    if (index >= 0 && index < Count()) {
        m_items.erase(m_items.begin() + index);
    }
}

int ChosenList::IndexOf(std::int32_t lBRPMinus1, std::int32_t lTqCount) const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].lBRPMinus1 == lBRPMinus1 && m_items[i].lTqCount == lTqCount) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ChosenList::GetTqValues(OneBasedArray<std::int32_t>& vTqValues,
                             OneBasedArray<std::int32_t>& vBRPValues,
                             std::int32_t& lNumItems) const {
    lNumItems = static_cast<std::int32_t>(m_items.size());
    if (m_items.empty()) {
        return;
    }
    std::vector<std::int32_t> tqValues;
    std::vector<std::int32_t> brpValues;
    tqValues.reserve(m_items.size());
    brpValues.reserve(m_items.size());
    for (const TqCandidate& candidate : m_items) {
        tqValues.push_back(candidate.lTqCount);
        brpValues.push_back(candidate.lBRPMinus1);
    }
    vTqValues = OneBasedArray<std::int32_t>(std::move(tqValues));
    vBRPValues = OneBasedArray<std::int32_t>(std::move(brpValues));
}

} // namespace classic
} // namespace quillon
