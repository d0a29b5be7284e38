// The MCP251xFD's and dsPIC33C's register words, and the choice of the row's layout.
#include "timing/fd/FdRegisters.h"

#include "timing/common/Controllers.h"
#include "timing/common/RegisterReading.h"
#include "timing/fd/McanRegisters.h"

#include <cmath>

namespace quillon {
inline namespace fd {

namespace {

// Where each field stands; every field but TDCO and TDCV holds its value minus 1.
using Field = FdRegisterField;
constexpr Field kBrp{"BRP", 24, 8};
constexpr Field kNominalTseg1{"TSEG1", 16, 8};
constexpr Field kNominalTseg2{"TSEG2", 8, 7};
constexpr Field kNominalSjw{"SJW", 0, 7};
constexpr Field kDataTseg1{"TSEG1", 16, 5};
constexpr Field kDataTseg2{"TSEG2", 8, 4};
constexpr Field kDataSjw{"SJW", 0, 4};
constexpr unsigned kEdgeFilterBit = 25;
constexpr unsigned kSid11Bit = 24;
constexpr Field kTdcMode{"TDCMOD", 16, 2};
constexpr Field kTdco{"TDCO", 8, 7};
constexpr Field kTdcv{"TDCV", 0, 6};

std::uint32_t Mask(const Field& field) {
    return (1U << field.bits) - 1U;
}

std::uint32_t Read(std::uint32_t word, const Field& field) {
    return ReadField(word, field);
}

bool Put(std::uint32_t& word, const Field& field, int value, std::string_view phase,
         std::string_view registerName, std::string& error) {
    return PutLength(word, field, value, phase, registerName, error);
}

struct PhaseFields {
    Field tseg1, tseg2, sjw;
};
constexpr PhaseFields kNominalFields{kNominalTseg1, kNominalTseg2, kNominalSjw};
constexpr PhaseFields kDataFields{kDataTseg1, kDataTseg2, kDataSjw};

bool PutPhase(std::uint32_t& word, const FdPhaseSetting& s, const PhaseFields& f,
              std::string_view phase, std::string_view registerName, std::string& error) {
    return Put(word, kBrp, s.lBRP, phase, registerName, error) &&
           Put(word, f.tseg1, s.Tseg1(), phase, registerName, error) &&
           Put(word, f.tseg2, s.lPhase2, phase, registerName, error) &&
           Put(word, f.sjw, s.lSJW, phase, registerName, error);
}

FdPhaseSetting ReadPhase(std::uint32_t word, const PhaseFields& f) {
    FdPhaseSetting s;
    s.lBRP = static_cast<int>(Read(word, kBrp)) + 1;
    const int tseg1 = static_cast<int>(Read(word, f.tseg1)) + 1;
    s.lPropagation = KernelPropagationShare(tseg1);
    s.lPhase1 = tseg1 - s.lPropagation;
    s.lPhase2 = static_cast<int>(Read(word, f.tseg2)) + 1;
    s.lSJW = static_cast<int>(Read(word, f.sjw)) + 1;
    return s;
}

bool IsMcan(const Controller* row) {
    return row != nullptr && row->fdLayout == FdRegisterLayout::Mcan;
}

} // namespace

std::uint32_t ReadField(std::uint32_t word, const FdRegisterField& field) {
    return (word >> field.shift) & Mask(field);
}

bool PutLength(std::uint32_t& word, const FdRegisterField& field, int value, std::string_view phase,
               std::string_view registerName, std::string& error) {
    const long long largest = static_cast<long long>(Mask(field)) + 1;
    if (value < 1 || value > largest) {
        error = std::string(phase) + " " + std::string(field.sName) + " " + std::to_string(value) +
                " does not fit " + std::string(registerName) + " (1 to " + std::to_string(largest) +
                ").";
        return false;
    }
    word |= static_cast<std::uint32_t>(value - 1) << field.shift;
    return true;
}

void ReportUnusedBits(std::vector<std::string>& findings, std::string_view registerName,
                      std::uint32_t word, std::uint32_t fieldMask) {
    if ((word & ~fieldMask) != 0) {
        findings.push_back(std::string(registerName) + " has bits set that belong to no field (" +
                           WordToHex(word & ~fieldMask, 32) + "); they read as 0.");
    }
}

std::array<std::string_view, 3> FdWordNames(const Controller* row) {
    if (IsMcan(row)) {
        return {"NBTP", "DBTP", "TDCR"};
    }
    return {"CiNBTCFG", "CiDBTCFG", "CiTDC"};
}

FdRegisterEncoding EncodeFdRegisters(const FdSetting& setting) {
    if (IsMcan(&setting.Row())) {
        return EncodeMcanRegisters(setting);
    }
    FdRegisterEncoding encoding;
    FdRegisterWords words;
    std::string& error = encoding.sError;
    if (!PutPhase(words.nbtcfg, setting.nominal, kNominalFields, "Nominal", "CiNBTCFG", error) ||
        !PutPhase(words.dbtcfg, setting.data, kDataFields, "Data", "CiDBTCFG", error)) {
        return encoding;
    }
    const FdTdcSetting& tdc = setting.tdc;
    if (tdc.lOffset < kTdcoMin || tdc.lOffset > kTdcoMax || tdc.lValue < 0 ||
        tdc.lValue > kTdcvMax) {
        error = "TDCO " + std::to_string(tdc.lOffset) + " or TDCV " + std::to_string(tdc.lValue) +
                " does not fit CiTDC (TDCO -64 to 63, TDCV 0 to 63).";
        return encoding;
    }
    const std::uint32_t mode = tdc.mode == TdcMode::Auto     ? 2U
                               : tdc.mode == TdcMode::Manual ? 1U
                                                             : 0U;
    words.tdc = (tdc.bEdgeFilter ? 1U << kEdgeFilterBit : 0U) |
                (tdc.bSid11 ? 1U << kSid11Bit : 0U) | mode << kTdcMode.shift |
                (static_cast<std::uint32_t>(tdc.lOffset) & Mask(kTdco)) << kTdco.shift |
                static_cast<std::uint32_t>(tdc.lValue) << kTdcv.shift;
    encoding.words = words;
    return encoding;
}

std::string WordToHex(std::uint32_t value, int bits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = bits - 4; shift >= 0; shift -= 4) {
        text += kDigits[(value >> shift) & 0xF];
    }
    return text;
}

FdRegisterTexts MakeFdRegisterTexts(const FdRegisterWords& w, const Controller* row) {
    FdRegisterTexts texts;
    if (IsMcan(row)) {
        const std::array<std::string_view, 3> names = FdWordNames(row);
        const std::uint32_t values[] = {w.nbtcfg, w.dbtcfg, w.tdc};
        for (std::size_t i = 0; i < names.size(); ++i) {
            texts.push_back({names[i], values[i], 32, WordToHex(values[i], 32), "M_CAN", "mcan"});
        }
        return texts;
    }
    const bool words = row == nullptr || row->fdLayout == FdRegisterLayout::Mcp251xfd;
    const bool halves = row == nullptr || row->fdLayout == FdRegisterLayout::Dspic33c;
    const auto add = [&texts](std::string_view name, std::uint32_t value, int bits) {
        texts.push_back({name, value, bits, WordToHex(value, bits),
                         bits == 32 ? "MCP251xFD" : "dsPIC33C",
                         bits == 32 ? "mcp251xfd" : "dspic33c"});
    };
    if (words) {
        add("CiNBTCFG", w.nbtcfg, 32);
        add("CiDBTCFG", w.dbtcfg, 32);
        add("CiTDC", w.tdc, 32);
    }
    if (halves) {
        add("C1NBTCFGH", w.nbtcfg >> 16, 16);
        add("C1NBTCFGL", w.nbtcfg & 0xFFFF, 16);
        add("C1DBTCFGH", w.dbtcfg >> 16, 16);
        add("C1DBTCFGL", w.dbtcfg & 0xFFFF, 16);
        add("C1TDCH", w.tdc >> 16, 16);
        add("C1TDCL", w.tdc & 0xFFFF, 16);
    }
    return texts;
}

FdSetting FdSettingFromWords(double dOscFreqMHz, bool bPll, const FdRegisterWords& words,
                             const Controller* row) {
    FdSetting setting;
    setting.dOscFreqMHz = dOscFreqMHz;
    setting.bPll = bPll;
    setting.controller = row;
    if (IsMcan(row)) {
        ReadMcanWords(words, setting);
        return setting;
    }
    setting.nominal = ReadPhase(words.nbtcfg, kNominalFields);
    setting.data = ReadPhase(words.dbtcfg, kDataFields);
    FdTdcSetting& tdc = setting.tdc;
    const std::uint32_t mode = Read(words.tdc, kTdcMode);
    tdc.mode = mode == 0 ? TdcMode::Off : mode == 1 ? TdcMode::Manual : TdcMode::Auto;
    const int offset = static_cast<int>(Read(words.tdc, kTdco));
    tdc.lOffset = offset > kTdcoMax ? offset - 128 : offset;
    tdc.lValue = static_cast<int>(Read(words.tdc, kTdcv));
    tdc.bEdgeFilter = ((words.tdc >> kEdgeFilterBit) & 1U) != 0;
    tdc.bSid11 = ((words.tdc >> kSid11Bit) & 1U) != 0;
    return setting;
}

double FdActualRateKbps(const FdSetting& setting, FdPhase phase) {
    const FdPhaseSetting& s = setting.Phase(phase);
    const double rate = FdClockMHz(setting) * 1000.0 / (s.lBRP * double(s.TqCount()));
    return std::isfinite(rate) && rate > 0 ? rate : 0.0;
}

FdDecoded DecodeFdRegisters(double dOscFreqMHz, bool bPll, std::uint32_t nbtcfg,
                            std::uint32_t dbtcfg, std::optional<std::uint32_t> tdc,
                            const Controller* row) {
    FdDecoded decoded;
    std::vector<std::string>& findings = decoded.registerFindings;
    FdSetting& setting = decoded.setting;
    setting = FdSettingFromWords(dOscFreqMHz, bPll, {nbtcfg, dbtcfg, tdc.value_or(0)}, row);
    decoded.bTdcGiven = tdc.has_value();
    if (IsMcan(row)) {
        findings = McanRegisterFindings(nbtcfg, dbtcfg, tdc);
        if (!tdc) {
            // DBTP says whether TDC is on; only TDCO is missing.
            setting.tdc.lOffset = RequiredTdc(setting).lOffset;
        }
    } else {
        ReportUnusedBits(findings, "CiNBTCFG", nbtcfg, kNbtcfgFieldMask);
        ReportUnusedBits(findings, "CiDBTCFG", dbtcfg, kDbtcfgFieldMask);
        if (!tdc) {
            setting.tdc = RequiredTdc(setting.data);
        } else {
            ReportUnusedBits(findings, "CiTDC", *tdc, kTdcFieldMask);
            if (Read(*tdc, kTdcMode) == 3) {
                findings.emplace_back("TDCMOD 3 selects automatic TDC as 2 does; 2 is the value "
                                      "to write.");
            }
        }
    }
    setting.dNominalKbps = FdActualRateKbps(setting, FdPhase::Nominal);
    setting.dDataKbps = FdActualRateKbps(setting, FdPhase::Data);
    return decoded;
}

std::optional<std::vector<std::uint32_t>>
ReadFdWordList(std::string_view text, const Controller* row, std::string& error) {
    const std::array<std::string_view, 3> names = FdWordNames(row);
    const std::vector<std::string_view> parts = SplitRegisterList(text);
    if (parts.size() < 2 || parts.size() > 3) {
        error = "2 or 3 words are needed (" + std::string(names[0]) + "," + std::string(names[1]) +
                "[," + std::string(names[2]) + "]), " + std::to_string(parts.size()) +
                (parts.size() == 1 ? " was given" : " were given");
        return std::nullopt;
    }
    std::vector<std::uint32_t> words;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string problem;
        const std::optional<std::uint32_t> word = ReadRegisterWord(parts[i], UINT32_MAX, problem);
        if (!word) {
            error = std::string(names[i]) + ": " + problem;
            return std::nullopt;
        }
        words.push_back(*word);
    }
    return words;
}

} // namespace fd
} // namespace quillon
