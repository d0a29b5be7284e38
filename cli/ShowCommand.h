#pragma once
// The show command: asks the calculator on the D-Bus session bus to open its window, as any
// automation client would, so that a shell script needs no D-Bus code of its own. The bus
// starts the program if it is not running yet.
#include <QStringList>

// Runs "quillon-cli show [--lock-frequency MHZ]"; `args` are the arguments after "show".
// No QCoreApplication exists yet when it is called. Returns the exit status: 0 when the
// calculator took the call, 1 when it could not be reached, 2 for bad arguments.
int RunShowCommand(const QStringList& args);
