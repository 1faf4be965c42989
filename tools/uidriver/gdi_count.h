// Counting the drawing objects a module holds: its calls that create and
// release GDI objects and drawing contexts are sent through counters (import
// patching), so a test can see that everything a dialog created was released.
#pragma once

#include <windows.h>

// Counts the module's objects from now on; returns how many imports were patched.
int CountGdiObjects(HMODULE module);
// Objects and contexts created and not yet released, since counting began.
long LiveGdiObjects();
