#pragma once
// The whole life of the calculator's process, from the command line to the end of the event
// loop. The shipped program calls it as it is; a test build of the program passes a hook
// that puts an extra object on the session bus once the automation object is there.
class QObject;

// Exports extra objects on the session bus, as children of `parent`; false when that fails.
using ExportExtraObjects = bool (*)(QObject* parent);

int QuillonMain(int argc, char* argv[], ExportExtraObjects exportExtra = nullptr);
