#include "cli/common/RequestFields.h"

namespace quillon::cli {
inline namespace common {

namespace {

// The bus as built and the sample points a recommendation aims at.
Field BusFieldOf(Option option, Request& request) {
    switch (option) {
    case Option::BusLength:
        return &request.bus.dBusLengthMetres;
    case Option::CableDelay:
        return &request.bus.dCableDelayNsPerMetre;
    case Option::LoopDelay:
        return &request.bus.dLoopDelayNs;
    case Option::Ppm:
        return &request.bus.dCrystalPpm;
    case Option::Transceiver:
        return &request.transceiverName;
    case Option::SamplePoint:
    case Option::KernelSamplePoint:
        return &request.samplePointPercent;
    case Option::DataSamplePoint:
        return &request.dataSamplePointPercent;
    default:
        break;
    }
    return static_cast<bool*>(nullptr);
}

Field FdFieldOf(Option option, Request& request) {
    switch (option) {
    case Option::Pll:
        return &request.pll;
    case Option::FdRate:
        return &request.rateKbps;
    case Option::DataRate:
        return &request.dataRateKbps;
    case Option::NBrp:
        return &request.fdSelection.nominalBrp;
    case Option::NTq:
        return &request.fdSelection.nominalTqCount;
    case Option::DBrp:
        return &request.fdSelection.dataBrp;
    case Option::DTq:
        return &request.fdSelection.dataTqCount;
    case Option::NProp:
        return &request.nominal.propagation;
    case Option::NPhase1:
        return &request.nominal.phase1;
    case Option::NPhase2:
        return &request.nominal.phase2;
    case Option::NSjw:
        return &request.nominal.sjw;
    case Option::DProp:
        return &request.data.propagation;
    case Option::DPhase1:
        return &request.data.phase1;
    case Option::DPhase2:
        return &request.data.phase2;
    case Option::DSjw:
        return &request.data.sjw;
    case Option::Nbtcfg:
        return &request.nbtcfg;
    case Option::Dbtcfg:
        return &request.dbtcfg;
    case Option::Tdc:
        return &request.tdc;
    case Option::FdFormat:
        return &request.format;
    case Option::LinuxTdc:
        return &request.linuxTdcName;
    default:
        break;
    }
    return BusFieldOf(option, request);
}

} // namespace

Field FieldOf(Option option, Request& request) {
    switch (option) {
    case Option::Controller:
    case Option::FdController:
        return &request.controllerName;
    case Option::Registers:
    case Option::FdRegisters:
        return &request.registersText;
    case Option::Osc:
        return &request.oscFreqMHz;
    case Option::Rate:
        return &request.rateKbps;
    case Option::Cnf:
    case Option::Brgcon:
    case Option::Cicfg:
        return &request.decode;
    case Option::IpDetails:
    case Option::FdIpDetails:
        return &request.decode.ipDetails;
    case Option::MeasuredRate:
        return &request.decode.measuredKbps;
    case Option::Pick:
        return &request.selection.pick;
    case Option::Brp1:
        return &request.selection.brpMinus1;
    case Option::Tq:
        return &request.selection.tqCount;
    case Option::Prop:
        return &request.segments.propagation;
    case Option::Phase1:
        return &request.segments.phase1;
    case Option::Phase2:
        return &request.segments.phase2;
    case Option::Sjw:
        return &request.segments.sjw;
    case Option::Sam:
        return &request.segments.sam;
    case Option::WakFil:
        return &request.segments.wakFil;
    case Option::LargerOf:
        return &request.segments.largerOf;
    case Option::Recommend:
        return &request.segments.recommend;
    case Option::Grid:
        return &request.grid;
    case Option::Analyse:
        return &request.analyse;
    case Option::Json:
        return &request.json;
    case Option::Out:
        return &request.outDir;
    case Option::Open:
        return &request.open;
    case Option::LockFrequency:
        return &request.lockFrequencyMHz;
    case Option::Format:
        return &request.format;
    case Option::Interface:
        return &request.interfaceName;
    case Option::Interrupt:
        return &request.interruptPin;
    case Option::Node:
        return &request.busNodes;
    case Option::Html:
        return &request.htmlFile;
    default:
        return FdFieldOf(option, request);
    }
    return static_cast<bool*>(nullptr);
}

} // namespace common
} // namespace quillon::cli
