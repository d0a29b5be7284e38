#pragma once
// The names under which the calculator is offered on the D-Bus session bus, shared by the
// program, its command-line client and the tests. The interface itself is described by
// example.varnholt.Quillon.cvrnBitTimeUI.xml beside this file, from which the adaptor is
// generated. Plain constants, so the command-line client can use them without Qt Widgets.
namespace quillon::dbus {

inline constexpr char kServiceName[] = "example.varnholt.Quillon";
inline constexpr char kObjectPath[] = "/cvrnBitTimeUI";
inline constexpr char kInterface[] = "example.varnholt.Quillon.cvrnBitTimeUI";
inline constexpr char kShowCalculator[] = "ShowCalculator";

// Started by the bus for a client: wait for a call instead of opening the window.
inline constexpr char kAutomationOption[] = "--automation";
// How long a process started with kAutomationOption waits for its first call.
inline constexpr int kDefaultGraceMs = 30000;
inline constexpr char kGraceVariable[] = "QUILLON_AUTOMATION_GRACE_MS";

} // namespace quillon::dbus
