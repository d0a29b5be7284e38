// fd decode: the setting behind the register words, with its facts and what the words hold
// beyond the timing, or the setting a Linux interface's `ip -details` shows.
#include "cli/common/DetailsFile.h"
#include "cli/fd/FdChoice.h"
#include "cli/fd/FdCommands.h"
#include "cli/fd/FdText.h"
#include "report/common/TextTable.h"
#include "report/fd/FdSettingJson.h"
#include "timing/fd/FdRegisters.h"
#include "timing/linux/LinuxTdcDecode.h"
#include "timing/linux/FdLinuxDetails.h"

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

// What --linux-tdc did: the TDC taken without the word, or why it changes nothing.
struct LinuxTdcUse {
    bool bTaken = false;
    std::string sNote; // a "Note: ..." line; empty without --linux-tdc
};
LinuxTdcUse UseLinuxTdc(const Request& request, FdDecoded& decoded) {
    LinuxTdcUse use;
    if (request.linuxTdcName.empty()) {
        return use;
    }
    const LinuxTdcGeneration generation = LinuxTdcOf(request);
    const Controller& row = decoded.setting.Row();
    use.bTaken = TakeLinuxDriverTdc(decoded, generation);
    if (use.bTaken) {
        use.sNote = "Note: " + std::string(FdWordNames(decoded.setting.controller)[2]) +
                    " not given: the TDC is taken as the " + std::string(row.linux->sName) +
                    " driver of " + std::string(LinuxTdcGenerationTitle(generation)) +
                    " writes it.\n";
        return use;
    }
    const std::string why = decoded.bTdcGiven ? "the TDC is read from the register word"
                            : !row.linux      ? "no Linux driver runs the " + std::string(row.sName)
                                              : "DBTP says whether TDC is on";
    use.sNote = "Note: --linux-tdc changes nothing here: " + why + ".\n";
    return use;
}

// As decode: an error or a warning among the findings, or a rule broken.
int Status(const FdFacts& facts) {
    return !facts.Passes() || HasErrorOrWarning(facts.findings) ? kExitRefused : kExitOk;
}

// fd decode --ip-details: the interface's setting, rendered as the words' is.
CommandOutput DecodeInterface(const Request& request) {
    const std::string_view option = InfoOf(Option::FdIpDetails).name;
    const std::string& file = request.decode.ipDetails;
    std::string error;
    const std::optional<std::string> text = ReadDetailsFile(file, error);
    if (!text) {
        return Refusal(kExitUsage, option, error);
    }
    const std::optional<double> osc =
        request.Given(Option::Osc) ? std::optional<double>(request.oscFreqMHz) : std::nullopt;
    const FdIpDetailsDecoding decoding = DecodeFdIpDetails(
        *text, osc, request.controllerName.empty() ? nullptr : request.controller);
    if (!decoding.setting) {
        return Refusal(kExitUsage, option, decoding.sError);
    }
    const FdFacts facts = DescribeFdIpDetails(decoding, kDecimalSeparator, request.bus);
    const std::string_view driver = decoding.setting->Row().linux->sName;
    const bool json = decoding.form == IpForm::Json;
    CommandOutput output;
    output.status = Status(facts);
    if (request.json) {
        JsonWriter writer;
        writer.BeginObject();
        WriteFdInputs(writer, "fd decode", *decoding.setting);
        writer.Key("interface").BeginObject().Key("name");
        if (decoding.sInterface.empty()) {
            writer.Null();
        } else {
            writer.String(decoding.sInterface);
        }
        writer.Key("driver").String(driver).Key("form").String(json ? "json" : "text");
        writer.EndObject().Key("notes").BeginArray();
        for (const std::string& note : decoding.notes) {
            writer.String(note);
        }
        writer.EndArray();
        WriteFdSettingMembers(writer, facts);
        writer.EndObject();
        output.out = writer.Text();
        return output;
    }
    TextTable source;
    source.AddRow({"Decoded", "'ip -details" + std::string(json ? " -json" : "") + "' of " +
                                  (file == "-" ? std::string("standard input") : "'" + file + "'") +
                                  " (" +
                                  (decoding.sInterface.empty() ? "" : decoding.sInterface + ", ") +
                                  std::string(driver) + " driver)"});
    std::string notes;
    for (const std::string& note : decoding.notes) {
        notes += "Note: " + note + "\n";
    }
    output.out =
        FdInputsTable(*decoding.setting, true) + "\n" + source.Text() + "\n" + notes +
        (notes.empty() ? "" : "\n") +
        FdSettingText("what the interface shows (the rates it counts on as targets)", facts);
    return output;
}

} // namespace

CommandOutput RunFdDecode(const Request& request) {
    if (request.Given(Option::FdIpDetails)) {
        return DecodeInterface(request);
    }
    const Controller* row = FdInputs(request).controller;
    FdDecoded decoded = DecodeFdRegisters(request.oscFreqMHz, request.pll, *request.nbtcfg,
                                          *request.dbtcfg, request.tdc, row);
    const LinuxTdcUse linuxTdc = UseLinuxTdc(request, decoded);
    const std::array<std::string_view, 3> names = FdWordNames(row);
    FdFacts facts = DescribeFdTiming(decoded.setting, kDecimalSeparator, request.bus);
    if (const std::optional<Finding> generation = LinuxTdcGenerationFinding(decoded)) {
        facts.findings.push_back(*generation);
    }
    CommandOutput output;
    // Bits outside the fields count as a finding too.
    output.status = decoded.registerFindings.empty() ? Status(facts) : kExitRefused;
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
        // The kernel whose driver's TDC was taken without the word.
        json.Key("linux_tdc");
        if (linuxTdc.bTaken) {
            json.String(LinuxTdcGenerationName(LinuxTdcOf(request)));
        } else {
            json.Null();
        }
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
    if (!decoded.bTdcGiven && !linuxTdc.bTaken) {
        const bool mcan = decoded.setting.Row().fdLayout == FdRegisterLayout::Mcan;
        notes += "Note: " + std::string(mcan ? kTdcoTakenNote : kTdcTakenNote) + "\n";
    }
    notes += linuxTdc.sNote;
    output.out = FdInputsTable(decoded.setting, false) + "\n" + words.Text() + "\n" + notes +
                 (notes.empty() ? "" : "\n") +
                 FdSettingText("the register words (TSEG1 split as Linux splits it)", facts);
    return output;
}

} // namespace fd
} // namespace quillon::cli
