#include "timing/linux/LinuxDetails.h"

#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

namespace quillon {
inline namespace linux {

namespace {

// Findings for fields the controller's registers cannot hold; their sentences also explain
// why no registers are shown.
std::vector<std::string> FieldsOutsideRegisters(const IpTiming& t, std::uint64_t brp,
                                                const Controller& row) {
    const std::pair<const char*, std::uint64_t> fields[] = {{"brp", brp},
                                                            {"prop-seg", *t.propSeg},
                                                            {"phase-seg1", *t.phaseSeg1},
                                                            {"sjw", *t.sjw},
                                                            {"phase-seg2", *t.phaseSeg2}};
    const std::pair<int, int> ranges[] = {
        {row.limits.brpMinus1Min + 1, row.limits.brpMinus1Max + 1},
        {kMinPropagation, kMaxPropagation},
        {kMinPhase1, kMaxPhase1},
        {kMinSJW, kMaxSJW},
        {1, kMaxPhase2}}; // PHSEG2 holds 1 Tq too
    std::vector<std::string> findings;
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const auto [low, high] = ranges[i];
        if (fields[i].second < static_cast<std::uint64_t>(low) ||
            fields[i].second > static_cast<std::uint64_t>(high)) {
            findings.push_back(std::string(fields[i].first) + " " +
                               std::to_string(fields[i].second) + " does not fit the " +
                               std::string(row.sTitle) + " registers, which hold " +
                               std::to_string(low) + " to " + std::to_string(high) + ".");
        }
    }
    return findings;
}

} // namespace

IpDetailsDecoding DecodeIpDetails(std::string_view text, std::optional<double> dOscFreqMHz,
                                  std::optional<double> dTargetKbps,
                                  const Controller* pController) {
    IpDetailsDecoding result;
    InterfaceResult read = ReadInterface(text, ControllerKind::Classic, dOscFreqMHz, pController);
    if (!read.reading) {
        result.sError = std::move(read.sError);
        return result;
    }
    InterfaceReading& r = *read.reading;
    const IpTiming& t = r.details.nominal;
    result.sInterface = r.details.sInterface;
    result.form = r.details.form;

    DecodedRegisters decoded;
    decoded.findings = std::move(r.findings);
    std::vector<std::string> outside = FieldsOutsideRegisters(t, r.brp, *r.row);
    if (!outside.empty()) {
        decoded.sRegistersProblem = outside.front();
    }
    for (std::string& finding : outside) {
        decoded.findings.push_back(
            {Severity::Warning, code::kInterface, std::move(finding), source::kDatasheet});
    }

    BitTimingSetting& setting = decoded.setting;
    // The calculator's own row stays nullptr, as a decoding of its registers has it.
    setting.pController = r.row == &DefaultController() ? nullptr : r.row;
    setting.dOscFreqMHz = r.dInterfaceOscMHz;
    setting.lBRPMinus1 = static_cast<int>(r.brp) - 1;
    SegmentSettings& s = setting.segments;
    s.lPropagation = static_cast<int>(*t.propSeg);
    s.lPhase1 = static_cast<int>(*t.phaseSeg1);
    s.lPhase2 = static_cast<int>(*t.phaseSeg2);
    s.lSJW = static_cast<int>(*t.sjw);
    s.bSam = r.details.bTripleSampling;
    s.lTqCount = 1 + s.lPropagation + s.lPhase1 + s.lPhase2;
    // The rate the interface believes in, worked out as the registers' rate on its clock.
    const double dBelievedKbps = ActualRateKbps(setting);
    setting.dOscFreqMHz = r.dOscFreqMHz;
    FinishDecoding(decoded, dTargetKbps ? dTargetKbps : dBelievedKbps);
    result.decoded = std::move(decoded);
    return result;
}

} // namespace linux
} // namespace quillon
