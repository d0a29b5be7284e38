// NBTP, DBTP and TDCR of the M_CAN: the one encoder and the one decoder of its words.
#include "timing/fd/McanRegisters.h"

namespace quillon {
inline namespace fd {

namespace {

constexpr FdRegisterField kNominalBrp{"BRP", 16, 9};
constexpr FdRegisterField kNominalTseg1{"TSEG1", 8, 8};
constexpr FdRegisterField kNominalTseg2{"TSEG2", 0, 7};
constexpr FdRegisterField kNominalSjw{"SJW", 25, 7};
constexpr unsigned kTdcEnableBit = 23;
constexpr FdRegisterField kDataBrp{"BRP", 16, 5};
constexpr FdRegisterField kDataTseg1{"TSEG1", 8, 5};
constexpr FdRegisterField kDataTseg2{"TSEG2", 4, 4};
constexpr FdRegisterField kDataSjw{"SJW", 0, 4};
constexpr FdRegisterField kTdco{"TDCO", 8, 7};
constexpr FdRegisterField kTdcf{"TDCF", 0, 7};

struct PhaseFields {
    FdRegisterField brp, tseg1, tseg2, sjw;
};
constexpr PhaseFields kNominalFields{kNominalBrp, kNominalTseg1, kNominalTseg2, kNominalSjw};
constexpr PhaseFields kDataFields{kDataBrp, kDataTseg1, kDataTseg2, kDataSjw};

bool PutPhase(std::uint32_t& word, const FdPhaseSetting& s, const PhaseFields& f,
              std::string_view phase, std::string_view registerName, std::string& error) {
    return PutLength(word, f.brp, s.lBRP, phase, registerName, error) &&
           PutLength(word, f.tseg1, s.Tseg1(), phase, registerName, error) &&
           PutLength(word, f.tseg2, s.lPhase2, phase, registerName, error) &&
           PutLength(word, f.sjw, s.lSJW, phase, registerName, error);
}

FdPhaseSetting ReadPhase(std::uint32_t word, const PhaseFields& f) {
    FdPhaseSetting s;
    s.lBRP = static_cast<int>(ReadField(word, f.brp)) + 1;
    const int tseg1 = static_cast<int>(ReadField(word, f.tseg1)) + 1;
    s.lPropagation = KernelPropagationShare(tseg1);
    s.lPhase1 = tseg1 - s.lPropagation;
    s.lPhase2 = static_cast<int>(ReadField(word, f.tseg2)) + 1;
    s.lSJW = static_cast<int>(ReadField(word, f.sjw)) + 1;
    return s;
}

// The TDC as the M_CAN holds it, or the reason it cannot.
std::string TdcProblem(const FdTdcSetting& tdc) {
    if (tdc.mode == TdcMode::Manual) {
        return "The M_CAN has no manual TDC (no TDCV): TDC is automatic or off.";
    }
    if (tdc.bEdgeFilter || tdc.bSid11) {
        return "The M_CAN has no EDGFLTEN or SID11EN bit.";
    }
    if (tdc.lOffset < kMcanTdcLimits.offsetMin || tdc.lOffset > kMcanTdcLimits.offsetMax ||
        tdc.lFilter < 0 || tdc.lFilter > kMcanTdcLimits.filterMax) {
        return "TDCO " + std::to_string(tdc.lOffset) + " or TDCF " + std::to_string(tdc.lFilter) +
               " does not fit TDCR (0 to 127 each).";
    }
    return {};
}

} // namespace

FdRegisterEncoding EncodeMcanRegisters(const FdSetting& setting) {
    FdRegisterEncoding encoding;
    FdRegisterWords words;
    std::string& error = encoding.sError;
    if (!PutPhase(words.nbtcfg, setting.nominal, kNominalFields, "Nominal", "NBTP", error) ||
        !PutPhase(words.dbtcfg, setting.data, kDataFields, "Data", "DBTP", error)) {
        return encoding;
    }
    const FdTdcSetting& tdc = setting.tdc;
    error = TdcProblem(tdc);
    if (!error.empty()) {
        return encoding;
    }
    if (tdc.mode == TdcMode::Auto) {
        words.dbtcfg |= 1U << kTdcEnableBit;
    }
    words.tdc = static_cast<std::uint32_t>(tdc.lOffset) << kTdco.shift |
                static_cast<std::uint32_t>(tdc.lFilter) << kTdcf.shift;
    encoding.words = words;
    return encoding;
}

void ReadMcanWords(const FdRegisterWords& words, FdSetting& setting) {
    setting.nominal = ReadPhase(words.nbtcfg, kNominalFields);
    setting.data = ReadPhase(words.dbtcfg, kDataFields);
    FdTdcSetting& tdc = setting.tdc;
    tdc = FdTdcSetting{};
    tdc.mode = ((words.dbtcfg >> kTdcEnableBit) & 1U) != 0 ? TdcMode::Auto : TdcMode::Off;
    tdc.lOffset = static_cast<int>(ReadField(words.tdc, kTdco));
    tdc.lFilter = static_cast<int>(ReadField(words.tdc, kTdcf));
}

std::vector<std::string> McanRegisterFindings(std::uint32_t nbtp, std::uint32_t dbtp,
                                              std::optional<std::uint32_t> tdcr) {
    std::vector<std::string> findings;
    ReportUnusedBits(findings, "NBTP", nbtp, kNbtpFieldMask);
    ReportUnusedBits(findings, "DBTP", dbtp, kDbtpFieldMask);
    if (tdcr) {
        ReportUnusedBits(findings, "TDCR", *tdcr, kTdcrFieldMask);
    }
    return findings;
}

} // namespace fd
} // namespace quillon
