#pragma once
// The checks of single option values that the option table names beside its rows: a
// controller's name, each value of the bus (checked by the model's check of a bus with only
// it changed), a sample point, the kernel's sample point in whole tenths, a transceiver class.
// Apart from the table so that each file stays short.
#include <optional>
#include <string>
#include <string_view>

namespace quillon::cli {
inline namespace common {

std::optional<std::string> ClassicControllerProblem(std::string_view text);
std::optional<std::string> FdControllerProblem(std::string_view text);
std::optional<std::string> BusLengthProblem(double metres);
std::optional<std::string> CableDelayProblem(double nsPerMetre);
std::optional<std::string> LoopDelayProblem(double ns);
std::optional<std::string> CrystalPpmProblem(double ppm);
// A sample point lies inside the bit: above 0 and below 100 %.
std::optional<std::string> SamplePointProblem(double percent);
// The kernel takes the sample point in tenths of a percent.
std::optional<std::string> KernelSamplePointProblem(double percent);
std::optional<std::string> TransceiverProblem(std::string_view name);

} // namespace common
} // namespace quillon::cli
