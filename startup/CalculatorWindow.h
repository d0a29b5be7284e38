#pragma once
// The one calculator window of the process. Both ways in (a user's start and the
// automation class) act on it; it is created on first use and again after the user has
// closed it.
class frmMainBitTime;

// The window, created (and loaded) now if it does not exist.
frmMainBitTime& CalculatorWindow();
// True while a window exists.
bool CalculatorWindowExists();
