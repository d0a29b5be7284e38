#include "cli/classic/KernelCommand.h"

#include "report/classic/KernelComparisonText.h"
#include "report/classic/SettingJson.h"
#include "report/common/FindingTexts.h"

#include <tuple>

namespace quillon::cli {
inline namespace classic {

namespace {

constexpr double kTenthsPerPercent = 10.0;

// The classic rows that run under Linux: "mcp251x, mcp2510, ...".
std::string LinuxControllerNames() {
    std::string names;
    for (const Controller& row : ControllerTable()) {
        if (!row.IsFd() && row.linux) {
            names += (names.empty() ? "" : ", ") + std::string(row.sName);
        }
    }
    return names;
}

void WriteKernelChoice(JsonWriter& json, const KernelSetting& kernel, const BusContext& bus) {
    const KernelTiming& t = kernel.timing;
    const BitTimingFacts facts = DescribeBitTiming(*kernel.setting, kDecimalSeparator, bus);
    json.BeginObject()
        .Key("tq_ns")
        .Integer(t.tqNs)
        .Key("prop_seg")
        .Integer(t.propSeg)
        .Key("phase_seg1")
        .Integer(t.phaseSeg1)
        .Key("phase_seg2")
        .Integer(t.phaseSeg2)
        .Key("sjw")
        .Integer(t.sjw)
        .Key("brp")
        .Integer(t.brp)
        .Key("clock_hz")
        .Integer(kernel.clockHz)
        .Key("bitrate_bps")
        .Integer(t.bitrate)
        .Key("error_percent")
        .Number(t.errorTenths / 10.0)
        .Key("sample_point_percent")
        .Number(t.samplePointTenths / 10.0);
    json.Key("registers").BeginObject();
    if (!facts.setting.HasMicrochipRegisters()) {
        for (const RegisterWord& word : facts.words.words) {
            json.Key(word.sName)
                .BeginObject()
                .Key("value")
                .Integer(word.value)
                .Key("hex")
                .String(RegisterWordHex(word.value, word.lBits))
                .EndObject();
        }
        json.EndObject().Key("setting").BeginObject();
        WriteSettingMembers(json, GridSelection(*kernel.setting, 0).candidate, facts);
        json.EndObject().EndObject();
        return;
    }
    const ConfigRegisters& r = *facts.registers.registers;
    const ConfigRegisterTexts& texts = facts.registerTexts;
    const std::tuple<const char*, std::uint8_t, std::string> registers[] = {
        {"CNF1", r.CNF1, texts.sCNF1Hex},
        {"CNF2", r.CNF2, texts.sCNF2Hex},
        {"CNF3", r.CNF3, texts.sCNF3Hex}};
    for (const auto& [name, value, hex] : registers) {
        json.Key(name).BeginObject().Key("value").Integer(value).Key("hex").String(hex).EndObject();
    }
    json.EndObject();
    // Everything timing --json says about the same setting.
    json.Key("setting").BeginObject();
    WriteSettingMembers(json, GridSelection(*kernel.setting, 0).candidate, facts);
    json.EndObject().EndObject();
}

void WriteQuillon(JsonWriter& json, const char* name, const std::optional<BitTimingSetting>& s,
                  const BusContext& bus) {
    json.Key(name);
    if (!s) {
        json.Null();
        return;
    }
    json.BeginObject();
    WriteSettingMembers(json, GridSelection(*s, 0).candidate,
                        DescribeBitTiming(*s, kDecimalSeparator, bus));
    json.EndObject();
}

std::string KernelJson(const KernelComparison& c) {
    JsonWriter json;
    json.BeginObject();
    WriteInputs(json, "kernel", c.dOscFreqMHz, c.dTargetKbps);
    // The sample point the kernel was given, or null for its own choice.
    json.Key("sample_point_given_percent");
    if (c.samplePointTenths != 0) {
        json.Number(c.samplePointTenths / kTenthsPerPercent);
    } else {
        json.Null();
    }
    json.Key("kernel_choice");
    if (c.kernel.setting) {
        WriteKernelChoice(json, c.kernel, c.bus);
    } else {
        json.Null().Key("reason").String(c.inputProblem.value_or(c.kernel.sReason));
    }
    json.Key("quillon").BeginObject();
    WriteQuillon(json, "proposed", c.proposed, c.bus);
    WriteQuillon(json, "recommended", c.recommended, c.bus);
    json.EndObject().Key("differences").BeginArray();
    for (const std::string& sentence : c.differences) {
        json.String(sentence);
    }
    json.EndArray().EndObject();
    return json.Text();
}

// With the bus described: each setting's errors and warnings on it.
std::string BusFindingsText(const KernelComparison& c) {
    const std::pair<const char*, const std::optional<BitTimingSetting>*> sides[] = {
        {"Kernel", &c.kernel.setting},
        {"Quillon proposal", &c.proposed},
        {"Quillon recommended", &c.recommended}};
    std::string text;
    for (const auto& [name, setting] : sides) {
        if (!*setting) {
            continue;
        }
        for (const Finding& f : DescribeBitTiming(**setting, kDecimalSeparator, c.bus).findings) {
            if (f.severity != Severity::Advice) {
                text += "- " + std::string(name) + ": " + FindingLine(f) + "\n";
            }
        }
    }
    return "\nOn this bus\n" + (text.empty() ? "- no errors and no warnings\n" : text);
}

} // namespace

CommandOutput RunKernel(const Request& request) {
    const Controller& row = *request.controller;
    if (!row.linux) {
        return Refusal(kExitUsage, InfoOf(Option::Controller).name,
                       "the " + std::string(row.sTitle) + " has no Linux driver; kernel takes " +
                           LinuxControllerNames());
    }
    const KernelComparison comparison =
        CompareWithKernel(request.oscFreqMHz, request.rateKbps, kDecimalSeparator,
                          &row == &DefaultController() ? nullptr : &row, request.Goal());
    CommandOutput output;
    output.out =
        request.json ? KernelJson(comparison) : KernelComparisonText(comparison, kDecimalSeparator);
    if (!request.json && request.GivesBus() && !comparison.inputProblem) {
        output.out += BusFindingsText(comparison);
    }
    return output;
}

} // namespace classic
} // namespace quillon::cli
