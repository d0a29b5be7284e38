#include "report/classic/SettingJson.h"

#include "report/classic/ReportValues.h"
#include "report/common/FindingTexts.h"
#include "timing/classic/DisplayTexts.h"

#include <cstdint>

namespace quillon {
inline namespace classic {

namespace {

// JSON is read by scripts: a point, whatever the locale.
constexpr std::string_view kDecimalSeparator = ".";

const SegmentDuration& DurationOf(const BitTimingFacts& facts, std::string_view name) {
    for (const SegmentDuration& duration : facts.durations) {
        if (duration.sName == name) {
            return duration;
        }
    }
    return facts.durations.front();
}

void WriteAnalysis(JsonWriter& json, const BitTimingFacts& facts, bool withSegments) {
    const TimingAnalysis& a = facts.analysis;
    json.Key("analysis")
        .BeginObject()
        .Key("osc_tolerance")
        .Number(a.dOscTolerance)
        .Key("osc_tolerance_percent")
        .Number(a.dOscTolerance * 100.0)
        .Key("round_trip_seconds")
        .Number(a.dRoundTripSeconds)
        .Key("bus_length_metres");
    if (a.dRoundTripSeconds > 0) {
        json.Number(a.dBusLengthMetres);
    } else {
        json.Null();
    }
    json.Key("sample_point_percent")
        .Number(a.dSamplePointPercent)
        .Key("recommended_sample_point_percent")
        .Number(a.dRecommendedSamplePointPercent)
        .Key("sample_point_comparison")
        .String(SamplePointComparison(a));
    if (withSegments) {
        const SegmentSettings& s = facts.setting.segments;
        json.Key("segments")
            .BeginObject()
            .Key("propagation")
            .Integer(s.lPropagation)
            .Key("phase1")
            .Integer(s.lPhase1)
            .Key("phase2")
            .Integer(facts.lPhase2Effective)
            .Key("sjw")
            .Integer(s.lSJW)
            .EndObject();
    }
    json.EndObject();
}

void WriteRegister(JsonWriter& json, const char* name, std::uint16_t value,
                   const std::string& binary, const std::string& hex) {
    json.Key(name)
        .BeginObject()
        .Key("value")
        .Integer(value)
        .Key("binary")
        .String(binary)
        .Key("hex")
        .String(hex)
        .EndObject();
}

} // namespace

void WriteRegisters(JsonWriter& json, const BitTimingFacts& facts) {
    if (!facts.setting.HasMicrochipRegisters()) {
        // A one-word layout: its own register.
        json.Key("registers");
        if (!facts.words) {
            json.Null();
            return;
        }
        json.BeginObject();
        for (const RegisterWord& word : facts.words.words) {
            json.Key(word.sName)
                .BeginObject()
                .Key("value")
                .Integer(word.value)
                .Key("binary")
                .String("b'" + RegisterWordBinary(word.value, word.lBits) + "'")
                .Key("hex")
                .String(RegisterWordHex(word.value, word.lBits))
                .EndObject();
        }
        json.EndObject();
        return;
    }
    json.Key("registers");
    if (!facts.registers) {
        json.Null();
        return;
    }
    const ConfigRegisters& r = *facts.registers.registers;
    const ConfigRegisterTexts& t = facts.registerTexts;
    json.BeginObject();
    WriteRegister(json, "CNF1", r.CNF1, t.sCNF1Bin, t.sCNF1Hex);
    WriteRegister(json, "CNF2", r.CNF2, t.sCNF2Bin, t.sCNF2Hex);
    WriteRegister(json, "CNF3", r.CNF3, t.sCNF3Bin, t.sCNF3Hex);
    WriteRegister(json, "CICFG1", r.CICFG1(), t.sCICFG1Bin, t.sCICFG1Hex);
    WriteRegister(json, "CICFG2", r.CICFG2(), t.sCICFG2Bin, t.sCICFG2Hex);
    json.EndObject();
}

void WriteInputs(JsonWriter& json, std::string_view command, double oscFreqMHz, double rateKbps) {
    json.Key("command")
        .String(command)
        .Key("oscillator_mhz")
        .Number(oscFreqMHz)
        .Key("rate_kbps")
        .Number(rateKbps)
        .Key("rate_bps")
        .Number(rateKbps * 1000)
        .Key("oscillator_text")
        .String(OscillatorText(oscFreqMHz, kDecimalSeparator))
        .Key("rate_text")
        .String(TargetRateText(rateKbps, kDecimalSeparator));
}

void WriteCandidate(JsonWriter& json, const TqCandidate& candidate,
                    const BitTimingFacts* proposal) {
    const CandidateListTexts texts = ListTexts(candidate, kDecimalSeparator);
    json.BeginObject()
        .Key("tq_count")
        .Integer(candidate.lTqCount)
        .Key("brp_minus_1")
        .Integer(candidate.lBRPMinus1)
        .Key("tq_seconds")
        .Number(candidate.dTqSeconds)
        .Key("actual_bps")
        .Number(candidate.dActualBaud)
        .Key("osc_clocks")
        .Integer(candidate.lOscClocks)
        .Key("error_percent")
        .Number(candidate.dErrorPercent)
        .Key("matches")
        .Bool(candidate.bMatches)
        .Key("texts")
        .BeginObject()
        .Key("tq")
        .String(texts[0])
        .Key("brp_minus_1")
        .String(texts[1])
        .Key("osc1_clks")
        .String(texts[2])
        .Key("err")
        .String(texts[3])
        .EndObject();
    if (proposal != nullptr) {
        WriteAnalysis(json, *proposal, true);
        WriteFindingsMember(json, proposal->findings);
    }
    json.EndObject();
}

void WriteSettingMembers(JsonWriter& json, const TqCandidate& candidate,
                         const BitTimingFacts& facts) {
    const SegmentSettings& s = facts.setting.segments;
    json.Key("candidate");
    WriteCandidate(json, candidate);

    json.Key("segments")
        .BeginObject()
        .Key("tq_count")
        .Integer(s.lTqCount)
        .Key("sync")
        .Integer(DurationOf(facts, "sync").lTq)
        .Key("propagation")
        .Integer(s.lPropagation)
        .Key("phase1")
        .Integer(s.lPhase1)
        .Key("phase2")
        .Integer(s.lPhase2)
        .Key("phase2_effective")
        .Integer(facts.lPhase2Effective)
        .Key("sjw")
        .Integer(s.lSJW)
        .Key("sam")
        .Bool(s.bSam)
        .Key("wakfil")
        .Bool(s.bWakFil)
        .Key("phase2_mode")
        .String(Phase2ModeName(s.mode))
        .EndObject();

    json.Key("sample_point_percent")
        .Number(facts.dSamplePointPercent)
        .Key("sample_point_text")
        .String(facts.sSamplePoint);

    json.Key("durations").BeginObject();
    for (const SegmentDuration& d : facts.durations) {
        json.Key(d.sName)
            .BeginObject()
            .Key("tq")
            .Integer(d.lTq)
            .Key("seconds")
            .Number(d.dSeconds)
            .Key("text")
            .String(d.sText)
            .EndObject();
    }
    json.EndObject();

    const RateFacts& rate = facts.rate;
    json.Key("rate")
        .BeginObject()
        .Key("target_bps")
        .Number(rate.dTargetBaud)
        .Key("tq_seconds")
        .Number(rate.dTqSeconds)
        .Key("tq_text")
        .String(rate.sTq)
        .Key("actual_bps")
        .Number(rate.dActualBaud)
        .Key("error_percent")
        .Number(rate.dErrorPercent)
        .Key("error_text")
        .String(rate.sError)
        .EndObject();

    json.Key("verdict")
        .BeginObject()
        .Key("pass")
        .Bool(facts.Passes())
        .Key("text")
        .String(facts.sVerdict)
        .EndObject();

    WriteAnalysis(json, facts, false);
    WriteRegisters(json, facts);

    json.Key("osc1_clocks_per_bit").Integer(facts.lOscClocks);
    json.Key("bus_idle_warning");
    if (facts.busIdleWarning) {
        json.BeginObject()
            .Key("title")
            .String(kBusIdleErrataTitle)
            .Key("text")
            .String(*facts.busIdleWarning)
            .EndObject();
    } else {
        json.Null();
    }
    WriteBusMember(json, facts.bus);
    WriteFindingsMember(json, facts.findings);
}

SettingSelection GridSelection(const BitTimingSetting& setting, int listSize) {
    SettingSelection selection;
    selection.candidate = MakeTqCandidate(setting.dOscFreqMHz, setting.dTargetKbps * 1000,
                                          setting.lBRPMinus1, setting.segments.lTqCount,
                                          ErrorSignRule::Grid, setting.ClockPeriodsPerBrp());
    selection.listSize = listSize;
    return selection;
}

std::string TimingDocument(const SettingSelection& selection, const BitTimingFacts& facts) {
    const BitTimingSetting& setting = facts.setting;
    JsonWriter json;
    json.BeginObject();
    WriteInputs(json, "timing", setting.dOscFreqMHz, setting.dTargetKbps);
    json.Key("selection").BeginObject();
    json.Key("source").String(selection.listEntry > 0 ? "list" : "grid");
    if (selection.listEntry > 0) {
        json.Key("pick").Integer(selection.listEntry);
    } else {
        json.Key("pick").Null();
    }
    json.Key("list_size").Integer(selection.listSize).EndObject();
    WriteSettingMembers(json, selection.candidate, facts);
    json.EndObject();
    return json.Text();
}

} // namespace classic
} // namespace quillon
