#include "timing/common/SamplePoint.h"

#include "timing/common/NumberFormat.h"

namespace quillon {
inline namespace common {

double RecommendedSamplePointPercent(double dBitRate) {
    // A rate worked out from the oscillator lands a hair off its whole number (800 kbit/s
    // from 16 MHz is 800000.00000000012); compare it in whole bit/s as the search does.
    const double rate = RoundToWhole(dBitRate);
    if (rate <= 500000.0) {
        return 87.5;
    }
    if (rate <= 800000.0) {
        return 80.0;
    }
    return 75.0;
}

} // namespace common
} // namespace quillon
