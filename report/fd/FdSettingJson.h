#pragma once
// The JSON form of the facts of one CAN FD setting, for every command and export that
// writes one: the inputs, both phases, the TDC, the verdict and findings, the oscillator
// tolerance with its five conditions and the registers of both families. Only renders:
// every value comes from the model's DescribeFdTiming.
#include "report/common/JsonWriter.h"
#include "timing/fd/FdSearch.h"
#include "timing/fd/FdTiming.h"

#include <string>
#include <string_view>

namespace quillon {
inline namespace fd {

// "command", "oscillator_mhz", "pll", "sysclk_mhz", "rate_kbps", "data_rate_kbps".
void WriteFdInputs(JsonWriter& json, std::string_view command, const FdSetting& setting);

// A candidate's object: "nominal" and "data" (each "brp", "tq_count", "actual_bps",
// "error_percent", "exact"), "same_quantum", "tdc_possible" and "usable" (every tolerance
// condition of its proposal above zero).
void WriteFdCandidate(JsonWriter& json, const FdCandidate& candidate);

// The members "nominal" to "registers" of the open object.
void WriteFdSettingMembers(JsonWriter& json, const FdFacts& facts);

// One document: the inputs and the setting's members.
std::string FdSettingJsonDocument(std::string_view command, const FdFacts& facts);

} // namespace fd
} // namespace quillon
