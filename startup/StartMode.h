#pragma once
// Process start: decides whether the window opens at once.
#include <QStringList>

namespace start {

enum class StartMode { Standalone, Automation };

// "--automation" is how the session bus starts the program for a client; any other start
// is a user's.
StartMode StartModeFromArguments(const QStringList& arguments);

// Started by a user: show the window at step 1. Otherwise show nothing until a client
// calls ShowCalculator.
void Main(StartMode mode);

} // namespace start
