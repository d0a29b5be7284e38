#include "cli/classic/DecodeCommand.h"

#include "cli/classic/SettingText.h"
#include "cli/classic/TimingChoice.h"
#include "cli/common/DetailsFile.h"
#include "report/classic/ReportValues.h"
#include "report/classic/SettingJson.h"
#include "report/common/TextTable.h"
#include "timing/classic/CrystalCheck.h"
#include "timing/common/NumberFormat.h"
#include "timing/linux/LinuxDetails.h"

#include <iterator>

namespace quillon::cli {
inline namespace classic {

namespace {

// Decoded, but with findings.
constexpr int kExitFindings = kExitRefused;

// What was decoded and what follows from it.
struct Decoding {
    DecodedRegisters decoded;
    std::string source;        // "CNF1 0x00, CNF2 0xF0, CNF3 0x86 (MCP2510/MCP251X)"
    std::string interfaceName; // --ip-details: "can0", empty where the text names none
    bool measured = false;
    std::vector<CrystalSuggestion> suggestions;
};

std::string SourceName(const DecodedRegisters& decoded) {
    if (!decoded.layout) {
        return "ip-details";
    }
    switch (*decoded.layout) {
    case RegisterLayout::Brgcon:
        return "BRGCON";
    case RegisterLayout::Cicfg:
    case RegisterLayout::Pic32Cicfg:
        return "CiCFG";
    case RegisterLayout::At91Br:
        return "CAN_BR";
    case RegisterLayout::Cnf:
        break;
    }
    return "CNF";
}

std::string RegisterHex(unsigned value, unsigned maxValue) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned rest = maxValue; rest != 0; rest >>= 4, value >>= 4) {
        text.insert(text.begin(), kDigits[value & 0xF]);
    }
    return "0x" + text;
}

std::string RegisterSource(const DecodeInput& input) {
    const RegisterLayoutInfo& info = LayoutInfo(*input.layout);
    std::string text;
    for (std::size_t i = 0; i < input.values.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::string(info.names[i]) + " " +
                RegisterHex(input.values[i], info.maxValue);
    }
    return text + " (" + std::string(info.sControllers) + ")";
}

std::optional<Decoding> Decode(const Request& request, CommandOutput& output) {
    const DecodeInput& input = request.decode;
    const std::optional<double> target =
        request.Given(Option::Rate) ? std::optional<double>(request.rateKbps) : std::nullopt;
    Decoding decoding;
    if (input.layout) {
        decoding.decoded =
            DecodeRegisterValues(request.oscFreqMHz, target, *input.layout, input.values,
                                 request.controllerName.empty() ? nullptr : request.controller);
        decoding.source = RegisterSource(input);
    } else {
        std::string error;
        const std::optional<std::string> text = ReadDetailsFile(input.ipDetails, error);
        if (!text) {
            output = Refusal(kExitUsage, InfoOf(Option::IpDetails).name, error);
            return std::nullopt;
        }
        const std::optional<double> osc =
            request.Given(Option::Osc) ? std::optional<double>(request.oscFreqMHz) : std::nullopt;
        IpDetailsDecoding details = DecodeIpDetails(
            *text, osc, target, request.controllerName.empty() ? nullptr : request.controller);
        if (!details.decoded) {
            output = Refusal(kExitUsage, InfoOf(Option::IpDetails).name, details.sError);
            return std::nullopt;
        }
        decoding.decoded = std::move(*details.decoded);
        decoding.interfaceName = details.sInterface;
        decoding.source =
            "'ip -details" + std::string(details.form == IpForm::Json ? " -json" : "") + "' of " +
            (input.ipDetails == "-" ? std::string("standard input") : "'" + input.ipDetails + "'") +
            " (" + (details.sInterface.empty() ? "" : details.sInterface + ", ") +
            std::string(decoding.decoded.setting.Row().linux->sName) + " driver)";
    }
    if (request.Given(Option::MeasuredRate)) {
        decoding.measured = true;
        decoding.suggestions = CheckMeasuredRate(decoding.decoded, input.measuredKbps);
    }
    return decoding;
}

std::string Kbps(double kbps) {
    return FormatNumber(kbps, "0.0##") + " kbit/s";
}

std::string SuggestionsText(const Decoding& d, const Request& request) {
    const double measuredKbps = request.decode.measuredKbps;
    std::string text =
        "Oscillators on which these registers give the measured " + Kbps(measuredKbps) + ":";
    if (d.suggestions.empty()) {
        return text + " none of the common ones\n";
    }
    TextTable table;
    table.AddRow({"  Oscillator", "Rate", "Off", "For " + Kbps(d.decoded.setting.dTargetKbps)});
    for (const CrystalSuggestion& s : d.suggestions) {
        std::string corrected = "no prescaler and Tq count hit it";
        if (s.corrected) {
            const BitTimingFacts facts =
                DescribeBitTiming(*s.corrected, kDecimalSeparator, request.bus);
            const ConfigRegisterTexts& r = facts.registerTexts;
            corrected = "BRP-1 " + std::to_string(s.corrected->lBRPMinus1) + ", " +
                        std::to_string(s.corrected->segments.lTqCount) + " Tq: CNF " + r.sCNF1Hex +
                        " " + r.sCNF2Hex + " " + r.sCNF3Hex + ", CiCFG " + r.sCICFG1Hex + " " +
                        r.sCICFG2Hex;
        }
        table.AddRow({"  " + FormatGeneralNumber(s.dOscFreqMHz) + " MHz", Kbps(s.dRateKbps),
                      FormatNumber(s.dOffPercent, "0.0##") + " %", corrected});
    }
    return text + "\n" + table.Text();
}

std::string DecodeText(const Decoding& d, const BitTimingFacts& facts, const Request& request) {
    const BitTimingSetting& setting = facts.setting;
    TextTable inputs;
    inputs.AddRow({"Decoded", d.source});
    inputs.AddRow(
        {ClockLabel(setting.Row()), OscillatorText(setting.dOscFreqMHz, kDecimalSeparator)});
    const std::string target = TargetRateText(setting.dTargetKbps, kDecimalSeparator);
    inputs.AddRow(
        {"Target rate", request.Given(Option::Rate) ? target
                        : request.decode.layout
                            ? target + " (none given: the rate the registers give)"
                            : target + " (none given: the rate the interface counts on)"});
    inputs.AddRow({"Bit rate", facts.rate.sActual});
    std::string text = inputs.Text() + "\n" +
                       SettingText("decoded", GridSelection(setting, 0).candidate, facts) + "\n";
    if (!d.decoded.otherBits.empty()) {
        TextTable bits;
        for (const OtherBit& bit : d.decoded.otherBits) {
            bits.AddRow({"  " + std::string(bit.sName) + " (" + std::string(bit.sPosition) + ")",
                         (bit.bSet ? "1: " : "0: ") + std::string(bit.sMeaning)});
        }
        text += "Bits that are no timing (left out of the registers above)\n" + bits.Text() + "\n";
    }
    if (facts.findings.empty()) {
        text += "Findings: none\n";
    }
    if (d.measured) {
        text += "\n" + SuggestionsText(d, request);
    }
    return text;
}

void WriteDecoded(JsonWriter& json, const Decoding& d, const Request& request) {
    json.Key("decoded").BeginObject().Key("source").String(SourceName(d.decoded));
    json.Key("interface");
    if (d.interfaceName.empty()) {
        json.Null();
    } else {
        json.String(d.interfaceName);
    }
    json.Key("values");
    if (request.decode.layout) {
        const RegisterLayoutInfo& info = LayoutInfo(*request.decode.layout);
        json.BeginObject();
        for (std::size_t i = 0; i < request.decode.values.size(); ++i) {
            json.Key(info.names[i]).Integer(request.decode.values[i]);
        }
        json.EndObject();
    } else {
        json.Null();
    }
    json.Key("other_bits").BeginArray();
    for (const OtherBit& bit : d.decoded.otherBits) {
        json.BeginObject()
            .Key("name")
            .String(bit.sName)
            .Key("position")
            .String(bit.sPosition)
            .Key("set")
            .Bool(bit.bSet)
            .Key("meaning")
            .String(bit.sMeaning)
            .EndObject();
    }
    json.EndArray().EndObject();
}

void WriteSuggestions(JsonWriter& json, const Decoding& d, const Request& request) {
    json.Key("oscillator_suggestions");
    if (!d.measured) {
        json.Null();
        return;
    }
    json.BeginArray();
    for (const CrystalSuggestion& s : d.suggestions) {
        json.BeginObject()
            .Key("oscillator_mhz")
            .Number(s.dOscFreqMHz)
            .Key("rate_kbps")
            .Number(s.dRateKbps)
            .Key("off_percent")
            .Number(s.dOffPercent)
            .Key("intended_kbps")
            .Number(d.decoded.setting.dTargetKbps);
        json.Key("brp_minus_1");
        if (s.corrected) {
            const BitTimingFacts facts =
                DescribeBitTiming(*s.corrected, kDecimalSeparator, request.bus);
            json.Integer(s.corrected->lBRPMinus1)
                .Key("tq_count")
                .Integer(s.corrected->segments.lTqCount)
                .Key("sample_point_percent")
                .Number(facts.dSamplePointPercent);
            WriteRegisters(json, facts);
        } else {
            json.Null().Key("tq_count").Null().Key("sample_point_percent").Null();
            json.Key("registers").Null();
        }
        json.EndObject();
    }
    json.EndArray();
}

std::string DecodeJson(const Decoding& d, const BitTimingFacts& facts, const Request& request) {
    const BitTimingSetting& setting = facts.setting;
    JsonWriter json;
    json.BeginObject();
    WriteInputs(json, "decode", setting.dOscFreqMHz, setting.dTargetKbps);
    json.Key("rate_given").Bool(request.Given(Option::Rate));
    WriteSettingMembers(json, GridSelection(setting, 0).candidate, facts);
    WriteDecoded(json, d, request);
    WriteSuggestions(json, d, request);
    json.EndObject();
    return json.Text();
}

} // namespace

CommandOutput RunDecode(const Request& request) {
    CommandOutput output;
    const std::optional<Decoding> decoding = Decode(request, output);
    if (!decoding) {
        return output;
    }
    const BitTimingFacts facts = DescribeDecoded(decoding->decoded, kDecimalSeparator, request.bus);
    output.out = request.json ? DecodeJson(*decoding, facts, request)
                              : DecodeText(*decoding, facts, request);
    output.status = HasErrorOrWarning(facts.findings) ? kExitFindings : kExitOk;
    return output;
}

} // namespace classic
} // namespace quillon::cli
