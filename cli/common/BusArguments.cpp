// The bus side of reading a command line: what the bus options and sample points mean once every
// option is known. Apart from CliArguments.cpp so that each stays short; the checks of single
// values are in the table.
#include "cli/common/BusArguments.h"

#include <algorithm>
#include <initializer_list>

namespace quillon::cli {
inline namespace common {

// The bus and the sample points once every option is known: the transceiver class read, export
// without segments on the recommended ones, and the options that would change nothing where they
// are given refused.
std::string FinishBusAndGoal(Request& request) {
    if (!request.transceiverName.empty()) {
        // Checked as it was read.
        request.bus.transceiver =
            TransceiverClassFromName(request.transceiverName).value_or(TransceiverClass::None);
    }
    const auto first = [&request](std::initializer_list<Option> options) -> const OptionInfo* {
        for (const Option option : request.given) {
            if (std::find(options.begin(), options.end(), option) != options.end()) {
                return &InfoOf(option);
            }
        }
        return nullptr;
    };
    // A bus without a data rate is a classic bus: its nodes' classic frames are all it checks.
    if (request.command == Command::Bus && !(request.dataRateKbps > 0)) {
        for (const BusNode& node : request.busNodes) {
            if (node.controller->IsFd()) {
                return Problem(InfoOf(Option::Node).name,
                               "node '" + node.sName + "': the " +
                                   std::string(node.controller->sName) +
                                   " is a CAN FD controller: give the bus's " +
                                   std::string(InfoOf(Option::DataRate).name) +
                                   " to check both its phases (a bus without one is classic)");
            }
        }
        if (const OptionInfo* transceiver = first({Option::Transceiver})) {
            return Problem(transceiver->name,
                           "only with " + std::string(InfoOf(Option::DataRate).name) +
                               ": the transceivers' symmetry concerns the data phase");
        }
    }
    if (request.command == Command::Candidates && !request.analyse) {
        if (const OptionInfo* bus =
                first({Option::BusLength, Option::CableDelay, Option::LoopDelay, Option::Ppm})) {
            return Problem(bus->name, "only with " + std::string(InfoOf(Option::Analyse).name) +
                                          ": the list alone judges no setting on a bus");
        }
    }
    // export writes the recommended segments unless the line gives segments of its own.
    if (request.command == Command::Export &&
        !first({Option::Prop, Option::Phase1, Option::Phase2, Option::Sjw, Option::LargerOf})) {
        request.segments.recommend = true;
    }
    if (request.command == Command::FdExport &&
        !first({Option::NProp, Option::NPhase1, Option::NPhase2, Option::NSjw, Option::DProp,
                Option::DPhase1, Option::DPhase2, Option::DSjw})) {
        request.segments.recommend = true;
    }
    if (!request.segments.recommend) {
        if (const OptionInfo* aim = first({Option::SamplePoint, Option::DataSamplePoint})) {
            return Problem(aim->name, "only with " + std::string(InfoOf(Option::Recommend).name) +
                                          ", whose segments aim at it");
        }
    }
    return {};
}

bool Request::GivesBus() const {
    return std::any_of(given.begin(), given.end(),
                       [](Option option) { return InfoOf(option).group == OptionGroup::Bus; });
}

RecommendationGoal Request::Goal() const {
    RecommendationGoal goal;
    goal.bus = bus;
    goal.dSamplePointPercent = samplePointPercent;
    goal.dDataSamplePointPercent = dataSamplePointPercent;
    return goal;
}

} // namespace common
} // namespace quillon::cli
