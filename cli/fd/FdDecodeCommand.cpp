// fd decode: the setting behind the register words, with its facts and what the words hold
// beyond the timing.
#include "cli/fd/FdChoice.h"
#include "cli/fd/FdCommands.h"
#include "cli/fd/FdText.h"
#include "report/common/TextTable.h"
#include "report/fd/FdSettingJson.h"
#include "timing/fd/FdRegisters.h"

namespace quillon::cli {
inline namespace fd {

namespace {

constexpr std::string_view kTdcTakenNote =
    "CiTDC not given: the TDC is taken as the controller needs it.";
constexpr std::string_view kTdcoTakenNote =
    "TDCR not given: TDCO is taken as the controller needs it (DBTP bit 23 says whether TDC "
    "is on).";

void WriteWord(JsonWriter& json, std::string_view name, std::optional<std::uint32_t> word) {
    json.Key(name);
    if (word) {
        json.BeginObject().Key("value").Integer(*word).Key("hex").String(WordToHex(*word, 32));
        json.EndObject();
    } else {
        json.Null();
    }
}

} // namespace

CommandOutput RunFdDecode(const Request& request) {
    const Controller* row = FdInputs(request).controller;
    const FdDecoded decoded = DecodeFdRegisters(request.oscFreqMHz, request.pll, *request.nbtcfg,
                                                *request.dbtcfg, request.tdc, row);
    const std::array<std::string_view, 3> names = FdWordNames(row);
    const FdFacts facts = DescribeFdTiming(decoded.setting, kDecimalSeparator, request.bus);
    CommandOutput output;
    // As decode: an error or a warning among the findings, or bits outside the fields.
    if (!facts.Passes() || HasErrorOrWarning(facts.findings) || !decoded.registerFindings.empty()) {
        output.status = kExitRefused;
    }
    if (request.json) {
        JsonWriter json;
        json.BeginObject();
        WriteFdInputs(json, "fd decode", decoded.setting);
        json.Key("words").BeginObject();
        WriteWord(json, names[0], request.nbtcfg);
        WriteWord(json, names[1], request.dbtcfg);
        WriteWord(json, names[2], request.tdc);
        json.EndObject();
        json.Key("tdc_given").Bool(decoded.bTdcGiven);
        json.Key("register_findings").BeginArray();
        for (const std::string& finding : decoded.registerFindings) {
            json.String(finding);
        }
        json.EndArray();
        WriteFdSettingMembers(json, facts);
        json.EndObject();
        output.out = json.Text();
        return output;
    }
    TextTable words;
    words.AddRow({std::string(names[0]), WordToHex(*request.nbtcfg, 32)});
    words.AddRow({std::string(names[1]), WordToHex(*request.dbtcfg, 32)});
    words.AddRow({std::string(names[2]), request.tdc ? WordToHex(*request.tdc, 32) : "not given"});
    std::string notes;
    for (const std::string& finding : decoded.registerFindings) {
        notes += "Note: " + finding + "\n";
    }
    if (!decoded.bTdcGiven) {
        const bool mcan = decoded.setting.Row().fdLayout == FdRegisterLayout::Mcan;
        notes += "Note: " + std::string(mcan ? kTdcoTakenNote : kTdcTakenNote) + "\n";
    }
    output.out = FdInputsTable(decoded.setting, false) + "\n" + words.Text() + "\n" + notes +
                 (notes.empty() ? "" : "\n") +
                 FdSettingText("the register words (TSEG1 split as Linux splits it)", facts);
    return output;
}

} // namespace fd
} // namespace quillon::cli
