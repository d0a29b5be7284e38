// The plain facts of a CAN FD setting that need no calculation: the phase limits and clock
// of its controller, TDC texts and the TDC the controller needs.
#include "timing/fd/FdSetting.h"

#include <algorithm>

#include "timing/common/Controllers.h"

namespace quillon {
inline namespace fd {

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

std::string FdTdcText(const FdTdcSetting& tdc, std::string_view clockName) {
    const std::string clock(clockName);
    switch (tdc.mode) {
    case TdcMode::Auto:
        return "automatic, TDCO " + std::to_string(tdc.lOffset) + " " + clock +
               " periods (the secondary sample point at TDCV + TDCO).";
    case TdcMode::Manual:
        return "manual, TDCO " + std::to_string(tdc.lOffset) + " and TDCV " +
               std::to_string(tdc.lValue) + " " + clock + " periods.";
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
           a.tdc == b.tdc && &a.Row() == &b.Row();
}

const Controller& FdSetting::Row() const {
    return controller != nullptr ? *controller : DefaultFdController();
}

double FdClockMHz(const FdSetting& setting) {
    return CanClockMHz(setting.Row().clock, setting.dOscFreqMHz, setting.bPll);
}

std::string_view FdClockName(const Controller& row) {
    return row.clock == ClockRule::Sysclk ? "SYSCLK" : "CAN clock";
}

const FdPhaseLimits& LimitsOf(const FdSetting& setting, FdPhase phase) {
    const Controller& row = setting.Row();
    return phase == FdPhase::Nominal ? row.nominalLimits : row.dataLimits;
}

std::string FdTdcShortText(const FdTdcSetting& tdc) {
    std::string text(TdcModeName(tdc.mode));
    if (tdc.mode != TdcMode::Off) {
        text += ", TDCO " + std::to_string(tdc.lOffset);
    }
    if (tdc.mode == TdcMode::Manual) {
        text += ", TDCV " + std::to_string(tdc.lValue);
    }
    return text;
}

FdTdcSetting RequiredTdc(const FdPhaseSetting& data, int lOffsetMax) {
    FdTdcSetting tdc;
    const long long offset = (1LL + data.lPropagation + data.lPhase1) * data.lBRP;
    if ((data.lBRP == 1 || data.lBRP == 2) && offset >= 0) {
        tdc.mode = TdcMode::Auto;
        tdc.lOffset = static_cast<int>(std::min<long long>(offset, lOffsetMax));
    }
    return tdc;
}

FdTdcSetting RequiredTdc(const FdSetting& setting) {
    return RequiredTdc(setting.data, setting.Row().tdcLimits.offsetMax);
}

} // namespace fd
} // namespace quillon
