// fd kernel: what the controller's Linux driver (mcp251xfd, m_can) chooses by itself for two
// rates, beside Quillon's recommendation for the first candidate.
#include "cli/fd/FdChoice.h"
#include "cli/fd/FdCommands.h"
#include "report/common/FindingTexts.h"
#include "report/fd/FdKernelText.h"
#include "report/fd/FdSettingJson.h"
#include "timing/common/Controllers.h"
#include "timing/linux/FdKernelChoice.h"

namespace quillon::cli {
inline namespace fd {

namespace {

void WriteKernelPhase(JsonWriter& json, std::string_view name, const KernelTiming& t) {
    json.Key(name).BeginObject();
    json.Key("tq_ns").Integer(t.tqNs).Key("prop_seg").Integer(t.propSeg);
    json.Key("phase_seg1").Integer(t.phaseSeg1).Key("phase_seg2").Integer(t.phaseSeg2);
    json.Key("sjw").Integer(t.sjw).Key("brp").Integer(t.brp);
    json.Key("bitrate_bps").Integer(t.bitrate);
    json.Key("sample_point_percent").Number(t.samplePointTenths / 10.0).EndObject();
}

void WriteNullableString(JsonWriter& json, std::string_view key, const std::string& text) {
    json.Key(key);
    if (text.empty()) {
        json.Null();
    } else {
        json.String(text);
    }
}

// What the driver makes of the oscillator at probe and which kernel's TDC is assumed.
void WriteDriver(JsonWriter& json, const Controller& row, const FdKernelChoice& choice,
                 LinuxTdcGeneration generation) {
    json.Key("linux_tdc").String(LinuxTdcGenerationName(generation));
    json.Key("driver");
    if (!row.linux) {
        json.Null();
        return;
    }
    json.BeginObject().Key("name").String(row.linux->sName).Key("clock_hz");
    if (choice.clock.clockHz == 0) {
        json.Null();
    } else {
        json.Integer(choice.clock.clockHz);
    }
    json.Key("pll").Bool(choice.clock.bPll);
    WriteNullableString(json, "pll_note", choice.clock.sPll);
    WriteNullableString(json, "refusal", choice.bRefused ? choice.sReason : std::string());
    json.EndObject();
}

std::string KernelJson(const Request& request, const FdKernelChoice& choice) {
    JsonWriter json;
    json.BeginObject();
    WriteFdInputs(json, "fd kernel", FdInputs(request));
    const Controller* row = FdInputs(request).controller;
    WriteDriver(json, row != nullptr ? *row : DefaultFdController(), choice, LinuxTdcOf(request));
    json.Key("kernel_choice");
    if (!choice.setting) {
        json.Null().Key("reason").String(choice.sReason).EndObject();
        return json.Text();
    }
    const FdFacts facts = DescribeFdTiming(*choice.setting, kDecimalSeparator, request.bus);
    json.BeginObject();
    WriteKernelPhase(json, "nominal", *choice.nominal);
    WriteKernelPhase(json, "data", *choice.data);
    json.Key("tdc").BeginObject();
    json.Key("mode").String(TdcModeName(choice.setting->tdc.mode));
    json.Key("tdco").Integer(choice.setting->tdc.lOffset);
    json.Key("rule").String(choice.sTdc).EndObject();
    json.Key("registers").BeginObject();
    // The default has always named the MCP251xFD's words without their "Ci"; a chosen row
    // gives its registers under their own names.
    const bool named = choice.setting->controller != nullptr;
    const std::string_view defaultNames[] = {"NBTCFG", "DBTCFG", "TDC"};
    for (std::size_t i = 0; i < facts.registerTexts.size() && (named || i < 3); ++i) {
        const FdRegisterText& r = facts.registerTexts[i];
        json.Key(named ? r.sName : defaultNames[i]).BeginObject();
        json.Key("value").Integer(r.value).Key("hex").String(r.sHex).EndObject();
    }
    json.EndObject();
    json.Key("verdict").BeginObject();
    json.Key("pass").Bool(facts.Passes()).Key("text").String(facts.sVerdict).EndObject();
    json.Key("analysis").BeginObject();
    json.Key("osc_tolerance_percent").Number(facts.tolerance.dTolerance * 100.0);
    json.Key("limiting_condition").Integer(facts.tolerance.lLimiting).EndObject();
    WriteBusMember(json, facts.bus);
    WriteFindingsMember(json, facts.findings);
    json.EndObject().EndObject();
    return json.Text();
}

} // namespace

CommandOutput RunFdKernel(const Request& request) {
    CommandOutput output;
    const Controller* row = FdInputs(request).controller;
    const LinuxTdcGeneration generation = LinuxTdcOf(request);
    const FdKernelChoice choice = ChooseFdKernelBitTiming(
        request.oscFreqMHz, request.pll, request.rateKbps, request.dataRateKbps, row, generation);
    if (!choice.setting) {
        output.status = kExitRefused;
    }
    if (request.json) {
        output.out = KernelJson(request, choice);
        return output;
    }
    output.out = FdKernelText(FdInputs(request), choice, generation, request.Goal());
    return output;
}

} // namespace fd
} // namespace quillon::cli
