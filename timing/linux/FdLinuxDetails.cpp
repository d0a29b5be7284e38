#include "timing/linux/FdLinuxDetails.h"

#include "timing/linux/FdKernelChoice.h"

#include <algorithm>
#include <utility>

namespace quillon {
inline namespace linux {

namespace {

FdPhaseSetting Phase(const IpTiming& t, std::uint32_t brp) {
    FdPhaseSetting phase;
    phase.lBRP = static_cast<int>(brp);
    phase.lPropagation = static_cast<int>(*t.propSeg);
    phase.lPhase1 = static_cast<int>(*t.phaseSeg1);
    phase.lPhase2 = static_cast<int>(*t.phaseSeg2);
    phase.lSJW = static_cast<int>(*t.sjw);
    return phase;
}

// The TDC as the interface shows it, or as its driver sets it where it shows none; `believed`
// is the setting on the interface's own clock.
std::string ReadTdc(const InterfaceReading& r, const FdSetting& believed, FdIpDetailsDecoding& out,
                    FdTdcSetting& tdc) {
    const IpDetails& d = r.details;
    const bool text = d.form == IpForm::Text;
    if (d.bTdcAuto || d.bTdcManual || d.tdco) {
        if (!d.tdco) {
            return std::string(d.bTdcManual ? "TDC-MANUAL" : "TDC-AUTO") +
                   " among the control modes, but " +
                   (text ? "no 'tdco N' in the text"
                         : "no 'tdc.tdco' in the JSON of " + d.InterfaceName());
        }
        tdc.mode = d.bTdcManual ? TdcMode::Manual : TdcMode::Auto;
        tdc.lOffset = static_cast<int>(*d.tdco);
        tdc.lValue = static_cast<int>(d.tdcv.value_or(0));
        tdc.lFilter = static_cast<int>(d.tdcf.value_or(0));
        if (!d.bTdcAuto && !d.bTdcManual) {
            out.notes.push_back("The interface shows TDCO but neither TDC-AUTO nor TDC-MANUAL "
                                "among its control modes: the TDC is taken as automatic.");
        }
        return {};
    }
    if (r.row->linux->tdc == DriverTdc::OwnAbove2500k) {
        tdc = LinuxDriverTdc(believed);
        out.notes.push_back("The " + std::string(r.row->linux->sName) +
                            " driver sets the TDC itself (on only above 2.5 Mbit/s) and the "
                            "interface does not show it: it is taken as the driver sets it.");
        return {};
    }
    tdc = FdTdcSetting{};
    if (RequiredTdc(believed).mode != TdcMode::Off) {
        out.notes.push_back("The interface shows no TDC (neither TDC-AUTO nor TDC-MANUAL among "
                            "its control modes): it is taken as off. Linux and iproute2 "
                            "before 5.16 show none even where the driver runs it.");
    }
    return {};
}

} // namespace

FdIpDetailsDecoding DecodeFdIpDetails(std::string_view text, std::optional<double> dOscFreqMHz,
                                      const Controller* pController) {
    FdIpDetailsDecoding result;
    InterfaceResult read = ReadInterface(text, ControllerKind::Fd, dOscFreqMHz, pController);
    if (!read.reading) {
        result.sError = std::move(read.sError);
        return result;
    }
    InterfaceReading& r = *read.reading;
    result.sInterface = r.details.sInterface;
    result.form = r.details.form;
    result.findings = std::move(r.findings);

    FdSetting setting;
    // The default row stays nullptr, as a decoding of its words has it.
    setting.controller = r.row == &DefaultFdController() && !r.bRowGiven ? nullptr : r.row;
    setting.nominal = Phase(r.details.nominal, r.brp);
    setting.data = Phase(r.details.data, r.dataBrp);
    // The rates the interface counts on: the phases on its own clock.
    setting.dOscFreqMHz = r.dInterfaceOscMHz;
    setting.bPll = r.bInterfacePll;
    setting.dNominalKbps = FdActualRateKbps(setting, FdPhase::Nominal);
    setting.dDataKbps = FdActualRateKbps(setting, FdPhase::Data);
    result.sError = ReadTdc(r, setting, result, setting.tdc);
    if (!result.sError.empty()) {
        return result;
    }
    setting.dOscFreqMHz = r.dOscFreqMHz;
    setting.bPll = r.bPll;
    result.setting = setting;
    return result;
}

FdFacts DescribeFdIpDetails(const FdIpDetailsDecoding& decoding, std::string_view decimalSeparator,
                            const BusContext& bus) {
    FdFacts facts = DescribeFdTiming(*decoding.setting, decimalSeparator, bus);
    Findings findings = decoding.findings;
    findings.insert(findings.end(), facts.findings.begin(), facts.findings.end());
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
    facts.findings = std::move(findings);
    return facts;
}

} // namespace linux
} // namespace quillon
