#include "cli/ControllersCommand.h"

#include "report/JsonWriter.h"
#include "report/TextTable.h"
#include "timing/Controllers.h"

namespace quillon::cli {

namespace {

std::string Range(int min, int max) {
    return std::to_string(min) + ".." + std::to_string(max);
}

std::string Aliases(const Controller& row) {
    std::string text;
    for (std::string_view alias : row.aliases) {
        if (!alias.empty()) {
            text += (text.empty() ? "" : ",") + std::string(alias);
        }
    }
    return text;
}

std::string Registers(const Controller& row) {
    if (row.IsFd()) {
        switch (row.fdLayout) {
        case FdRegisterLayout::Mcan:
            return "NBTP,DBTP,TDCR";
        case FdRegisterLayout::Dspic33c:
            return "C1NBTCFGH/L,C1DBTCFGH/L,C1TDCH/L";
        case FdRegisterLayout::Mcp251xfd:
            break;
        }
        return "CiNBTCFG,CiDBTCFG,CiTDC";
    }
    const RegisterLayoutInfo& info = LayoutInfo(row.layout);
    std::string text;
    for (std::size_t i = 0; i < info.count; ++i) {
        text += (i == 0 ? "" : ",") + std::string(info.names[i]);
    }
    return text;
}

std::string ClockText(const Controller& row) {
    switch (row.clock) {
    case ClockRule::HalfOscillator:
        return "oscillator / 2";
    case ClockRule::Sysclk:
        return "SYSCLK (PLL x10)";
    case ClockRule::PeripheralClock:
        break;
    }
    return std::string(row.sClockName);
}

std::string PhaseLimits(const FdPhaseLimits& l) {
    return "BRP " + Range(l.brpMin, l.brpMax) + ", TSEG1 " + Range(l.tseg1Min, l.tseg1Max) +
           ", TSEG2 " + Range(l.tseg2Min, l.tseg2Max) + ", SJW 1.." + std::to_string(l.sjwMax);
}

std::string LimitsText(const Controller& row) {
    if (row.IsFd()) {
        return "nominal " + PhaseLimits(row.nominalLimits) + "; data " +
               PhaseLimits(row.dataLimits);
    }
    return "BRP-1 " + Range(row.limits.brpMinus1Min, row.limits.brpMinus1Max) + ", " +
           Range(row.limits.tqMin, row.limits.tqMax) + " Tq";
}

void KernelLimitsJson(JsonWriter& json, const KernelLimits& l) {
    json.BeginObject()
        .Key("tseg1_min")
        .Integer(l.tseg1Min)
        .Key("tseg1_max")
        .Integer(l.tseg1Max)
        .Key("tseg2_min")
        .Integer(l.tseg2Min)
        .Key("tseg2_max")
        .Integer(l.tseg2Max)
        .Key("sjw_max")
        .Integer(l.sjwMax)
        .Key("brp_min")
        .Integer(l.brpMin)
        .Key("brp_max")
        .Integer(l.brpMax)
        .EndObject();
}

void PhaseLimitsJson(JsonWriter& json, const FdPhaseLimits& l) {
    json.BeginObject()
        .Key("brp_min")
        .Integer(l.brpMin)
        .Key("brp_max")
        .Integer(l.brpMax)
        .Key("tseg1_min")
        .Integer(l.tseg1Min)
        .Key("tseg1_max")
        .Integer(l.tseg1Max)
        .Key("tseg2_min")
        .Integer(l.tseg2Min)
        .Key("tseg2_max")
        .Integer(l.tseg2Max)
        .Key("sjw_max")
        .Integer(l.sjwMax)
        .EndObject();
}

void RowJson(JsonWriter& json, const Controller& row) {
    json.BeginObject().Key("name").String(row.sName).Key("aliases").BeginArray();
    for (std::string_view alias : row.aliases) {
        if (!alias.empty()) {
            json.String(alias);
        }
    }
    json.EndArray()
        .Key("title")
        .String(row.sTitle)
        .Key("kind")
        .String(KindName(row.kind))
        .Key("clock")
        .String(ClockText(row))
        .Key("registers")
        .String(Registers(row))
        .Key("limits");
    if (row.IsFd()) {
        json.BeginObject().Key("nominal");
        PhaseLimitsJson(json, row.nominalLimits);
        json.Key("data");
        PhaseLimitsJson(json, row.dataLimits);
        json.EndObject();
    } else {
        json.BeginObject()
            .Key("brp_minus_1_min")
            .Integer(row.limits.brpMinus1Min)
            .Key("brp_minus_1_max")
            .Integer(row.limits.brpMinus1Max)
            .Key("tq_min")
            .Integer(row.limits.tqMin)
            .Key("tq_max")
            .Integer(row.limits.tqMax)
            .EndObject();
    }
    json.Key("bus_idle_erratum").Bool(row.bBusIdleErratum).Key("c_form").String(row.sCForm);
    json.Key("linux");
    if (!row.linux) {
        json.Null();
    } else {
        json.BeginObject().Key("driver").String(row.linux->sName).Key("limits");
        KernelLimitsJson(json, row.linux->nominal);
        if (row.IsFd()) {
            json.Key("data_limits");
            KernelLimitsJson(json, row.linux->data);
        }
        json.Key("behaviour").String(row.linux->sBehaviour).EndObject();
    }
    json.EndObject();
}

} // namespace

CommandOutput RunControllers(const Request& request) {
    if (request.json) {
        JsonWriter json;
        json.BeginObject().Key("command").String("controllers").Key("controllers").BeginArray();
        for (const Controller& row : ControllerTable()) {
            RowJson(json, row);
        }
        json.EndArray().EndObject();
        return CommandOutput{kExitOk, json.Text(), {}};
    }
    TextTable table;
    table.AddRow({"Name", "Aliases", "Kind", "Clock", "Registers", "Limits", "Linux"});
    for (const Controller& row : ControllerTable()) {
        table.AddRow({std::string(row.sName), Aliases(row), std::string(KindName(row.kind)),
                      ClockText(row), Registers(row), LimitsText(row),
                      row.linux ? std::string(row.linux->sName) : "-"});
    }
    return CommandOutput{kExitOk,
                         table.Text() + "\n--controller takes a name or an alias; " +
                             std::string(DefaultController().sName) +
                             " is the calculator's own MCP2510/MCP251X (with the MCP2510's "
                             "bus idle erratum).\n",
                         {}};
}

} // namespace quillon::cli
