// The JSON form of `ip -details -json link show`: an array with one object per interface,
// the CAN ones with linkinfo.info_kind "can" and their timing under linkinfo.info_data.
#include "timing/common/JsonReading.h"
#include "timing/linux/IpDetails.h"

#include <utility>
#include <vector>

namespace quillon {
inline namespace linux {

namespace {

using Kind = JsonValue::Kind;

std::string StringMember(const JsonValue& object, std::string_view key) {
    const JsonValue* value = object.Member(key);
    return value != nullptr && value->Is(Kind::String) ? value->sText : std::string();
}

// The member "linkinfo"."info_data" and so on, or nullptr.
const JsonValue* Path(const JsonValue& object, std::initializer_list<std::string_view> keys) {
    const JsonValue* value = &object;
    for (const std::string_view key : keys) {
        value = value->Member(key);
        if (value == nullptr) {
            return nullptr;
        }
    }
    return value;
}

bool IsCan(const JsonValue& link) {
    const JsonValue* kind = Path(link, {"linkinfo", "info_kind"});
    return (kind != nullptr && kind->Is(Kind::String) && kind->sText == "can") ||
           StringMember(link, "link_type") == "can";
}

std::string NameList(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    }
    return text;
}

class LinkReader {
public:
    LinkReader(const JsonValue& data, std::string name) : m_data(data), m_name(std::move(name)) {}

    std::string sError;

    // A member that must be a whole number where it is given.
    void Whole(const JsonValue& object, std::string_view path, std::string_view key,
               std::optional<std::uint32_t>& field) {
        const JsonValue* value = object.Member(key);
        if (value == nullptr || !sError.empty()) {
            return;
        }
        field = value->Whole();
        if (!field) {
            const std::string shown = value->Is(Kind::Number)
                                          ? value->sText.substr(0, 24)
                                          : std::string(JsonKindName(value->kind));
            sError = "'" + std::string(path) + std::string(key) + "' of " + m_name + " is " +
                     shown + ", not a whole number from 0 to 4294967295";
        }
    }

    void Timing(std::string_view key, IpTiming& timing) {
        const JsonValue* object = m_data.Member(key);
        if (object == nullptr) {
            return;
        }
        const std::string path = std::string(key) + ".";
        if (!object->Is(Kind::Object)) {
            sError = "'" + std::string(key) + "' of " + m_name + " is " +
                     std::string(JsonKindName(object->kind)) + ", not an object";
            return;
        }
        const std::pair<std::string_view, std::optional<std::uint32_t> IpTiming::*> fields[] = {
            {"bitrate", &IpTiming::bitrate},
            {"tq", &IpTiming::tqNs},
            {"prop_seg", &IpTiming::propSeg},
            {"phase_seg1", &IpTiming::phaseSeg1},
            {"phase_seg2", &IpTiming::phaseSeg2},
            {"sjw", &IpTiming::sjw},
            {"brp", &IpTiming::brp}};
        for (const auto& [name, field] : fields) {
            Whole(*object, path, name, timing.*field);
        }
    }

    void ControlModes(IpDetails& details) {
        const JsonValue* modes = m_data.Member("ctrlmode");
        if (modes == nullptr) {
            return;
        }
        if (!modes->Is(Kind::Array)) {
            sError = "'ctrlmode' of " + m_name + " is " + std::string(JsonKindName(modes->kind)) +
                     ", not an array of mode names";
            return;
        }
        for (const JsonValue& mode : modes->items) {
            const std::string_view name = mode.Is(Kind::String) ? mode.sText : std::string_view();
            details.bTripleSampling = details.bTripleSampling || name == "TRIPLE-SAMPLING";
            details.bFd = details.bFd || name == "FD";
            details.bTdcAuto = details.bTdcAuto || name == "TDC-AUTO";
            details.bTdcManual = details.bTdcManual || name == "TDC-MANUAL";
        }
    }

    IpDetails Read() {
        IpDetails details;
        details.form = IpForm::Json;
        details.sInterface = m_name;
        ControlModes(details);
        Timing("bittiming", details.nominal);
        Timing("data_bittiming", details.data);
        Whole(m_data, "", "clock", details.clockHz);
        if (const JsonValue* tdc = m_data.Member("tdc"); tdc != nullptr && tdc->Is(Kind::Object)) {
            Whole(*tdc, "tdc.", "tdcv", details.tdcv);
            Whole(*tdc, "tdc.", "tdco", details.tdco);
            Whole(*tdc, "tdc.", "tdcf", details.tdcf);
        }
        if (const JsonValue* limits = m_data.Member("bittiming_const"); limits != nullptr) {
            details.driver = QuotedName(StringMember(*limits, "name"));
        }
        return details;
    }

private:
    const JsonValue& m_data;
    std::string m_name;
};

} // namespace

IpDetailsReading ReadIpDetailsJson(std::string_view text) {
    IpDetailsReading reading;
    const JsonReading json = ReadJson(text);
    if (!json.value) {
        reading.sError = "the JSON cannot be read: " + json.sError;
        return reading;
    }
    const JsonValue& root = *json.value;
    std::vector<const JsonValue*> links;
    if (root.Is(Kind::Array)) {
        for (const JsonValue& item : root.items) {
            links.push_back(&item);
        }
    } else if (root.Member("ifname") != nullptr || root.Member("linkinfo") != nullptr) {
        links.push_back(&root); // one interface taken out of the array
    } else {
        reading.sError = "the JSON is " + std::string(JsonKindName(root.kind)) +
                         " without 'ifname' or 'linkinfo', not the array of interfaces that 'ip "
                         "-details -json link show' prints";
        return reading;
    }
    std::vector<std::string> all, can;
    const JsonValue* chosen = nullptr;
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (!links[i]->Is(Kind::Object)) {
            reading.sError = "element " + std::to_string(i + 1) + " of the JSON array is " +
                             std::string(JsonKindName(links[i]->kind)) + ", not an interface";
            return reading;
        }
        const std::string name = QuotedName(StringMember(*links[i], "ifname"));
        all.push_back(name.empty() ? "interface " + std::to_string(i + 1) : name);
        if (IsCan(*links[i])) {
            can.push_back(all.back());
            chosen = links[i];
        }
    }
    if (all.empty()) {
        reading.sError = "the JSON holds no interface (an empty array); is the name after "
                         "'link show' right?";
        return reading;
    }
    if (can.empty()) {
        reading.sError = "the JSON holds no CAN interface (" + NameList(all) +
                         "); give the output of 'ip -details -json link show can0'";
        return reading;
    }
    if (can.size() > 1) {
        reading.sError = "the JSON holds " + std::to_string(can.size()) + " CAN interfaces, " +
                         NameList(can) +
                         "; give the output of 'ip -details -json link show' for one of them";
        return reading;
    }
    const std::string& name = can.front();
    const JsonValue* data = Path(*chosen, {"linkinfo", "info_data"});
    if (data == nullptr || !data->Is(Kind::Object)) {
        reading.sError = "the JSON of " + name +
                         " has no linkinfo.info_data; give the output of 'ip -details -json "
                         "link show " +
                         name + "' (with -details)";
        return reading;
    }
    LinkReader reader(*data, name);
    IpDetails details = reader.Read();
    if (!reader.sError.empty()) {
        reading.sError = reader.sError;
        return reading;
    }
    if (data->Member("bittiming") == nullptr) {
        reading.sError = "the JSON of " + name +
                         " has no 'bittiming' under linkinfo.info_data; is the interface "
                         "configured ('ip link set " +
                         name + " type can bitrate ...')?";
        return reading;
    }
    reading.details = std::move(details);
    return reading;
}

} // namespace linux
} // namespace quillon
