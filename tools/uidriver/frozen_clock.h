// A stopped clock for a module: its calls of GetTickCount answer one value,
// so a test can see what the module does when two actions fall in the same
// tick (import patching).
#pragma once

#include <windows.h>

// From now on the module's GetTickCount returns ticks; returns how many
// imports were patched.
int FreezeClock(HMODULE module, DWORD ticks);
