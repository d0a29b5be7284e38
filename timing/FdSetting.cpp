#include "timing/FdSetting.h"

namespace quillon {

const FdPhaseLimits& LimitsOf(FdPhase phase) {
    return phase == FdPhase::Nominal ? kFdNominalLimits : kFdDataLimits;
}

std::string_view PhaseName(FdPhase phase) {
    return phase == FdPhase::Nominal ? "nominal" : "data";
}

std::string_view TdcModeName(TdcMode mode) {
    switch (mode) {
    case TdcMode::Manual:
        return "manual";
    case TdcMode::Auto:
        return "auto";
    case TdcMode::Off:
        break;
    }
    return "off";
}

std::string FdTdcText(const FdTdcSetting& tdc) {
    switch (tdc.mode) {
    case TdcMode::Auto:
        return "automatic, TDCO " + std::to_string(tdc.lOffset) +
               " SYSCLK periods (the secondary sample point at TDCV + TDCO).";
    case TdcMode::Manual:
        return "manual, TDCO " + std::to_string(tdc.lOffset) + " and TDCV " +
               std::to_string(tdc.lValue) + " SYSCLK periods.";
    case TdcMode::Off:
        break;
    }
    return "off.";
}

int KernelPropagationShare(int lTseg1) {
    return lTseg1 / 2;
}

bool operator==(const FdSetting& a, const FdSetting& b) {
    return a.dOscFreqMHz == b.dOscFreqMHz && a.bPll == b.bPll && a.dNominalKbps == b.dNominalKbps &&
           a.dDataKbps == b.dDataKbps && a.nominal == b.nominal && a.data == b.data &&
           a.tdc == b.tdc;
}

double FdSysclkMHz(double dOscFreqMHz, bool bPll) {
    return bPll ? dOscFreqMHz * kFdPllFactor : dOscFreqMHz;
}

FdTdcSetting RequiredTdc(const FdPhaseSetting& data) {
    FdTdcSetting tdc;
    const long long offset = (1LL + data.lPropagation + data.lPhase1) * data.lBRP;
    if ((data.lBRP == 1 || data.lBRP == 2) && offset >= 0 && offset <= kTdcoMax) {
        tdc.mode = TdcMode::Auto;
        tdc.lOffset = static_cast<int>(offset);
    }
    return tdc;
}

} // namespace quillon
