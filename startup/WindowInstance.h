#pragma once
// The one calculator window of the process. Both ways in (a user's start and the
// automation class) act on it; it is created on first use and again after the user has
// closed it.
class CalculatorWindow;

// The window, created (and loaded) now if it does not exist.
CalculatorWindow& WindowInstance();
// True while a window exists.
bool WindowInstanceExists();
