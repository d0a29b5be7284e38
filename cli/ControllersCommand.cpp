#include "cli/ControllersCommand.h"

#include "report/common/JsonWriter.h"
#include "report/common/TextTable.h"
#include "timing/common/Controllers.h"

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
    return LayoutNames(row.layout, ",");
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

// "1..256/2..256/1..128/128": BRP, TSEG1, TSEG2 and the largest SJW of a phase.
std::string Ranges(const FdPhaseLimits& l) {
    return Range(l.brpMin, l.brpMax) + "/" + Range(l.tseg1Min, l.tseg1Max) + "/" +
           Range(l.tseg2Min, l.tseg2Max) + "/" + std::to_string(l.sjwMax);
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
    TextTable classic;
    classic.AddRow({"Name", "Aliases", "Clock", "Registers", "BRP-1", "Tq", "Erratum", "Linux"});
    TextTable fd;
    fd.AddRow({"Name", "Aliases", "Clock", "Registers", "Nominal BRP/TSEG1/TSEG2/SJW",
               "Data BRP/TSEG1/TSEG2/SJW", "Linux"});
    for (const Controller& row : ControllerTable()) {
        const std::string driver = row.linux ? std::string(row.linux->sName) : "-";
        if (row.IsFd()) {
            fd.AddRow({std::string(row.sName), Aliases(row), ClockText(row), Registers(row),
                       Ranges(row.nominalLimits), Ranges(row.dataLimits), driver});
        } else {
            classic.AddRow({std::string(row.sName), Aliases(row), ClockText(row), Registers(row),
                            Range(row.limits.brpMinus1Min, row.limits.brpMinus1Max),
                            Range(row.limits.tqMin, row.limits.tqMax),
                            row.bBusIdleErratum ? "bus idle" : "-", driver});
        }
    }
    return CommandOutput{kExitOk,
                         "Classic controllers (--controller NAME on candidates, timing, decode, "
                         "kernel, export, report; NAME=CONTROLLER@MHZ in bus nodes)\n\n" +
                             classic.Text() +
                             "\nCAN FD controllers (--controller NAME on the fd commands)\n\n" +
                             fd.Text() + "\nA name or an alias may be given. " +
                             std::string(DefaultController().sName) +
                             " is the calculator's own MCP2510/MCP251X, with the MCP2510's bus "
                             "idle erratum;\nwithout --controller the fd commands show the "
                             "MCP251xFD's and the dsPIC33C's registers together.\n",
                         {}};
}

} // namespace quillon::cli
