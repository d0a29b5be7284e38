#pragma once
// The prescaler/Tq candidate search: every BRP-1 value 0..63 against every Tq count
// 8..25, the bit rate each gives, and which of them hit the target rate.
#include "timing/common/Limits.h"
#include "timing/common/OneBasedArray.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quillon {
inline namespace classic {

struct TqCandidate {
    std::int32_t lBRPMinus1 = 0;
    std::int32_t lTqCount = 0;
    double dTqSeconds = 0.0;
    double dActualBaud = 0.0;
    std::int32_t lOscClocks = 0;
    double dErrorPercent = 0.0;
    bool bMatches = false;
};

// Which way round the error is taken: the search reports (actual - target), a candidate
// added by hand from the grid reports (target - actual), both in percent of the target.
enum class ErrorSignRule { Search, Grid };

// One combination from the oscillator (MHz) and the target rate (bit/s).
// `lPeriodsPerBrp` as the controller's clock rule gives it (2: Microchip's classic controllers).
TqCandidate MakeTqCandidate(double dOscFreqInMhz, double dCANBaudRate, std::int32_t lBRPMinus1,
                            std::int32_t lTqCount, ErrorSignRule rule, int lPeriodsPerBrp = 2);

// All 64 x 18 combinations with the search rule, BRP-1 ascending (outer) and Tq count
// ascending (inner).
std::vector<TqCandidate> EvaluateAllCandidates(double dOscFreqInMhz, double dCANBaudRate);

// The same over a controller's own prescaler and Tq ranges and clock (its table row's).
std::vector<TqCandidate> EvaluateAllCandidates(double dOscFreqInMhz, double dCANBaudRate,
                                               const SearchRange& range);

// The combinations whose rates lie nearest to a target that none of them hits, one below
// it and one above (either may be missing), for telling the user what can be had instead.
struct NearestRates {
    std::optional<TqCandidate> below;
    std::optional<TqCandidate> above;
};
NearestRates NearestReachableRates(double dOscFreqInMhz, double dCANBaudRate);

// The chosen candidates: insertion order, duplicates allowed. The numeric records are
// kept, never parsed back from display texts.
class ChosenList {
public:
    // Empties the list and appends every match of a fresh search, in search order.
    void Refill(const std::vector<TqCandidate>& evaluated);
    void Append(const TqCandidate& candidate) { m_items.push_back(candidate); }
    // Removes entry `index` (0-based); an index outside the list changes nothing.
    void RemoveAt(int index);
    void Clear() { m_items.clear(); }

    const std::vector<TqCandidate>& Items() const { return m_items; }
    int Count() const { return static_cast<int>(m_items.size()); }
    // The first entry (0-based) with this prescaler and Tq count, or -1 when none has them.
    int IndexOf(std::int32_t lBRPMinus1, std::int32_t lTqCount) const;

    // Hands the list over as two 1-based arrays (Tq counts and BRP-1 values) and the count.
    // With an empty list the count is 0 and both arrays are left exactly as they were.
    void GetTqValues(OneBasedArray<std::int32_t>& vTqValues,
                     OneBasedArray<std::int32_t>& vBRPValues, std::int32_t& lNumItems) const;

private:
    std::vector<TqCandidate> m_items;
};

} // namespace classic
} // namespace quillon
