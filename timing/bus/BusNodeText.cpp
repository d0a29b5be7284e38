#include "timing/bus/BusNodeText.h"

#include "timing/classic/CandidateSearch.h"
#include "timing/common/InputChecks.h"
#include "timing/common/NumberFormat.h"
#include "timing/common/NumberReading.h"
#include "timing/common/RegisterReading.h"
#include "timing/common/UnitHints.h"
#include "timing/fd/FdRegisters.h"
#include "timing/linux/FdLinuxDetails.h"
#include "timing/linux/LinuxDetails.h"

#include <charconv>
#include <vector>

namespace quillon {
inline namespace bus {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::optional<long> Whole(std::string_view text, int base = 10) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

struct Parser {
    std::string sName;
    std::string sError;

    bool Fail(std::string_view field, const std::string& what) {
        sError = (sName.empty() ? std::string("node") : "node '" + sName + "'") + ": " +
                 std::string(field) + ": " + what;
        return false;
    }

    bool Registers(BusNode& node, std::string_view field, std::string_view values,
                   RegisterLayout layout) {
        const RegisterReading reading = ReadRegisterList(layout, values);
        if (!reading) {
            return Fail(field, reading.sError);
        }
        node.registers.assign(reading.values.begin(), reading.values.end());
        node.source = NodeSource::Registers;
        return true;
    }

    // A CAN FD row's two or three words, as fd decode --registers reads them.
    bool FdWords(BusNode& node, std::string_view values) {
        std::string error;
        const std::optional<std::vector<std::uint32_t>> words =
            ReadFdWordList(values, node.controller, error);
        if (!words) {
            return Fail("registers", error);
        }
        node.registers.assign(words->begin(), words->end());
        node.source = NodeSource::Registers;
        return true;
    }

    bool Segments(BusNode& node, std::string_view values) {
        const std::vector<std::string_view> parts = Split(values, '/');
        const struct {
            const char* name;
            int min, max;
        } fields[] = {
            {"BRP1", node.controller->limits.brpMinus1Min, node.controller->limits.brpMinus1Max},
            {"TQ", kMinTqCount, kMaxTqCount},
            {"PROP", kMinPropagation, kMaxPropagation},
            {"PHASE1", kMinPhase1, kMaxPhase1},
            {"PHASE2", kMinPhase2, kMaxPhase2},
            {"SJW", kMinSJW, kMaxSJW}};
        if (parts.size() != std::size(fields)) {
            return Fail("segments", "six values BRP1/TQ/PROP/PHASE1/PHASE2/SJW are needed");
        }
        int numbers[std::size(fields)];
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::optional<long> value = Whole(parts[i]);
            if (!value || *value < fields[i].min || *value > fields[i].max) {
                return Fail("segments", std::string(fields[i].name) + " '" + std::string(parts[i]) +
                                            "' is no whole number from " +
                                            std::to_string(fields[i].min) + " to " +
                                            std::to_string(fields[i].max));
            }
            numbers[i] = static_cast<int>(*value);
        }
        node.lBRPMinus1 = numbers[0];
        node.segments = {numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]};
        node.source = NodeSource::Segments;
        return true;
    }

    bool Setting(BusNode& node, std::string_view part, bool& given) {
        const std::size_t equals = part.find('=');
        const std::string_view key = part.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : part.substr(equals + 1);
        const bool isSetting = key == "cnf" || key == "cicfg" || key == "registers" ||
                               key == "segments" || key == "kernel" || key == "linux" ||
                               key == "free" || key == "ip";
        if (isSetting && given) {
            return Fail(key, "a node has one setting; another was given before");
        }
        given = given || isSetting;
        const RegisterLayout layout = node.controller->layout;
        const bool cicfg = layout == RegisterLayout::Cicfg;
        const bool cnf = layout == RegisterLayout::Cnf || layout == RegisterLayout::Brgcon;
        const std::string name(node.controller->sName);
        if (node.controller->IsFd() &&
            (key == "cnf" || key == "cicfg" || key == "segments" || key == "linux")) {
            return Fail(key, name + " is a CAN FD controller: set it with registers=W1,W2[,W3], "
                                    "kernel, ip=FILE or free");
        }
        if (key == "registers" && node.controller->IsFd()) {
            return FdWords(node, value);
        }
        if (key == "cnf") {
            if (!cnf) {
                return Fail(key, name + " is set with " + (cicfg ? "cicfg" : "registers"));
            }
            return Registers(node, key, value, layout);
        }
        if (key == "cicfg") {
            if (!cicfg) {
                return Fail(key, name + " is set with " + (cnf ? "cnf" : "registers"));
            }
            return Registers(node, key, value, layout);
        }
        if (key == "registers") {
            return Registers(node, key, value, layout);
        }
        if (key == "segments") {
            return Segments(node, value);
        }
        if ((key == "kernel" || key == "linux" || key == "free") &&
            equals == std::string_view::npos) {
            node.source = key == "kernel"  ? NodeSource::Kernel
                          : key == "linux" ? NodeSource::Linux
                                           : NodeSource::Free;
            if (node.source == NodeSource::Kernel && !node.controller->linux) {
                return Fail(key,
                            "the " + name + " has no Linux driver whose own choice could be taken");
            }
            if (node.source == NodeSource::Linux && !node.controller->linux) {
                return Fail(key, "the " + name + " has no Linux driver to be set through");
            }
            return true;
        }
        if (key == "ip") {
            if (value.empty()) {
                return Fail(key, "the file name is empty; write ip=FILE with the output of 'ip "
                                 "-details link show' of the node's interface");
            }
            if (!node.controller->linux) {
                return Fail(key, "the " + name + " has no Linux driver, so no interface runs it");
            }
            node.sIpDetailsFile = std::string(value);
            node.source = NodeSource::Interface;
            return true;
        }
        if (key == "ppm") {
            const StrictNumber ppm = ReadNumberStrictly(value, "ppm");
            if (!ppm.value) {
                return Fail(key, ppm.sReason);
            }
            if (*ppm.value < 0 || *ppm.value > kMaxCrystalPpm) {
                return Fail(key, "'" + std::string(value) + "' is no crystal tolerance from 0 to " +
                                     FormatGeneralNumber(kMaxCrystalPpm) + " ppm");
            }
            node.dCrystalPpm = *ppm.value;
            return true;
        }
        return Fail(std::string(part), "unknown; use cnf=, cicfg=, registers=, segments=, kernel, "
                                       "linux, ip=, free or ppm=");
    }
};

} // namespace

BusNodeParse ParseBusNode(std::string_view text) {
    BusNodeParse result;
    Parser parser;
    const std::size_t equals = text.find('=');
    const std::size_t at = text.find('@');
    if (equals == std::string_view::npos || equals == 0 || at == std::string_view::npos ||
        at < equals) {
        parser.Fail("'" + std::string(text) + "'", "write NAME=CONTROLLER@MHZ[:setting][:ppm=N]");
        result.sError = parser.sError;
        return result;
    }
    BusNode node;
    node.sName = std::string(text.substr(0, equals));
    parser.sName = node.sName;
    const std::vector<std::string_view> parts = Split(text.substr(at + 1), ':');
    const std::string_view familyText = text.substr(equals + 1, at - equals - 1);
    node.controller = FindController(familyText);
    if (node.controller == nullptr) {
        parser.Fail("controller", "'" + std::string(familyText) +
                                      "' is no controller Quillon knows (" +
                                      ControllerNames(ControllerKind::Classic) +
                                      "; CAN FD: " + ControllerNames(ControllerKind::Fd) + ")");
        result.sError = parser.sError;
        return result;
    }
    const StrictNumber oscillator = ReadNumberStrictly(parts.front(), "MHz");
    if (!oscillator.value) {
        parser.Fail("oscillator", oscillator.sReason);
    } else if (const auto problem = OscillatorProblem(*oscillator.value)) {
        parser.Fail("oscillator", *problem);
    } else if (const auto unit = GivenClockProblem(*oscillator.value, *node.controller)) {
        parser.Fail("oscillator", *unit);
    }
    node.dOscFreqMHz = oscillator.value.value_or(0.0);
    bool given = false;
    for (std::size_t i = 1; i < parts.size() && parser.sError.empty(); ++i) {
        parser.Setting(node, parts[i], given);
    }
    if (!parser.sError.empty()) {
        result.sError = parser.sError;
        return result;
    }
    result.node = std::move(node);
    return result;
}

std::optional<std::string> AttachIpDetails(BusNode& node, std::string text) {
    const std::string error =
        node.controller->IsFd()
            ? DecodeFdIpDetails(text, node.dOscFreqMHz, node.controller).sError
            : DecodeIpDetails(text, node.dOscFreqMHz, std::nullopt, node.controller).sError;
    if (!error.empty()) {
        return "node '" + node.sName + "': ip=" + node.sIpDetailsFile + ": " + error;
    }
    node.sIpDetails = std::move(text);
    return std::nullopt;
}

} // namespace bus
} // namespace quillon
