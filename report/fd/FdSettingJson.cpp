// The JSON members of a CAN FD setting's facts, shared by every fd command and export.
#include "report/fd/FdSettingJson.h"

#include "report/common/FindingTexts.h"

#include "timing/common/Controllers.h"

namespace quillon {
inline namespace fd {

namespace {

void WritePhase(JsonWriter& json, const FdFacts& facts, FdPhase phase) {
    const FdPhaseSetting& s = facts.setting.Phase(phase);
    const FdPhaseFacts& f = facts.Phase(phase);
    json.Key(PhaseName(phase)).BeginObject();
    json.Key("brp").Integer(s.lBRP).Key("tq_count").Integer(f.lTqCount);
    json.Key("tseg1").Integer(s.Tseg1()).Key("propagation").Integer(s.lPropagation);
    json.Key("phase1").Integer(s.lPhase1).Key("phase2").Integer(s.lPhase2);
    json.Key("sjw").Integer(s.lSJW);
    json.Key("tq_seconds").Number(f.dTqSeconds).Key("tq_text").String(f.sTq);
    json.Key("target_bps").Number(f.dTargetBaud).Key("actual_bps").Number(f.dActualBaud);
    json.Key("actual_text").String(f.sActual);
    json.Key("error_percent").Number(f.dErrorPercent).Key("hits_target").Bool(f.bHitsTarget);
    json.Key("sample_point_percent").Number(f.dSamplePointPercent);
    json.Key("sample_point_text").String(f.sSamplePoint);
    json.Key("recommended_sample_point_percent").Number(f.dRecommendedSamplePointPercent);
    json.Key("durations").BeginObject();
    for (const SegmentDuration& d : f.durations) {
        json.Key(d.sName).BeginObject();
        json.Key("tq").Integer(d.lTq).Key("seconds").Number(d.dSeconds);
        json.Key("text").String(d.sText).EndObject();
    }
    json.EndObject().EndObject();
}

void WriteTdc(JsonWriter& json, const FdFacts& facts) {
    const FdTdcSetting& t = facts.setting.tdc;
    json.Key("tdc").BeginObject();
    json.Key("mode").String(TdcModeName(t.mode)).Key("tdco").Integer(t.lOffset);
    json.Key("tdcv").Integer(t.lValue);
    json.Key("edge_filter").Bool(t.bEdgeFilter).Key("sid11").Bool(t.bSid11);
    json.Key("required").BeginObject();
    json.Key("mode").String(TdcModeName(facts.requiredTdc.mode));
    json.Key("tdco").Integer(facts.requiredTdc.lOffset).EndObject();
    json.EndObject();
}

void WriteAnalysis(JsonWriter& json, const FdFacts& facts) {
    const FdTolerance& t = facts.tolerance;
    json.Key("analysis").BeginObject();
    json.Key("osc_tolerance").Number(t.dTolerance);
    json.Key("osc_tolerance_percent").Number(t.dTolerance * 100.0);
    json.Key("limiting_condition");
    if (t.lLimiting > 0) {
        json.Integer(t.lLimiting);
    } else {
        json.Null();
    }
    json.Key("conditions").BeginArray();
    for (std::size_t i = 0; i < kFdConditionCount; ++i) {
        json.BeginObject().Key("number").Integer(static_cast<int>(i) + 1);
        json.Key("formula").String(kFdConditionFormulas[i]);
        json.Key("percent").Number(t.conditions[i] * 100.0).EndObject();
    }
    json.EndArray().EndObject();
}

void WriteRegisters(JsonWriter& json, const FdFacts& facts) {
    json.Key("registers");
    if (!facts.registers) {
        json.Null().Key("register_error").String(facts.sRegisterError);
        return;
    }
    // One object for each family, in the order of the texts (the MCP251xFD's three words
    // before the dsPIC33C's six halves).
    json.BeginObject();
    std::string_view open;
    for (const FdRegisterText& r : facts.registerTexts) {
        if (r.sFamilyKey != open) {
            if (!open.empty()) {
                json.EndObject();
            }
            open = r.sFamilyKey;
            json.Key(open).BeginObject();
        }
        json.Key(r.sName).BeginObject();
        json.Key("value").Integer(r.value).Key("hex").String(r.sHex).EndObject();
    }
    if (!open.empty()) {
        json.EndObject();
    }
    json.EndObject();
}

void WritePhaseCandidate(JsonWriter& json, std::string_view name, const FdPhaseCandidate& c) {
    json.Key(name).BeginObject();
    json.Key("brp").Integer(c.lBRP).Key("tq_count").Integer(c.lTqCount);
    json.Key("actual_bps").Number(c.dActualBaud).Key("error_percent").Number(c.dErrorPercent);
    json.Key("exact").Bool(c.bExact).EndObject();
}

} // namespace

void WriteFdInputs(JsonWriter& json, std::string_view command, const FdSetting& setting) {
    json.Key("command").String(command);
    if (setting.controller != nullptr) {
        json.Key("controller").String(setting.controller->sName);
    }
    json.Key("oscillator_mhz").Number(setting.dOscFreqMHz).Key("pll").Bool(setting.bPll);
    // The default names SYSCLK as it always has; a chosen row names its own clock.
    const bool sysclk = setting.Row().clock == ClockRule::Sysclk;
    json.Key(sysclk ? "sysclk_mhz" : "can_clock_mhz").Number(FdClockMHz(setting));
    json.Key("rate_kbps").Number(setting.dNominalKbps);
    json.Key("data_rate_kbps").Number(setting.dDataKbps);
}

void WriteFdCandidate(JsonWriter& json, const FdCandidate& candidate) {
    json.BeginObject();
    WritePhaseCandidate(json, "nominal", candidate.nominal);
    WritePhaseCandidate(json, "data", candidate.data);
    json.Key("same_quantum").Bool(candidate.SameQuantum());
    json.Key("tdc_possible").Bool(candidate.TdcPossible());
    json.Key("usable").Bool(candidate.bUsable).EndObject();
}

void WriteFdSettingMembers(JsonWriter& json, const FdFacts& facts) {
    WritePhase(json, facts, FdPhase::Nominal);
    WritePhase(json, facts, FdPhase::Data);
    WriteTdc(json, facts);
    json.Key("verdict").BeginObject();
    json.Key("pass").Bool(facts.Passes()).Key("text").String(facts.sVerdict).EndObject();
    WriteBusMember(json, facts.bus);
    WriteFindingsMember(json, facts.findings);
    WriteAnalysis(json, facts);
    WriteRegisters(json, facts);
}

std::string FdSettingJsonDocument(std::string_view command, const FdFacts& facts) {
    JsonWriter json;
    json.BeginObject();
    WriteFdInputs(json, command, facts.setting);
    WriteFdSettingMembers(json, facts);
    json.EndObject();
    return json.Text();
}

} // namespace fd
} // namespace quillon
