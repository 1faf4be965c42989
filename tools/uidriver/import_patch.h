// Import address table patching: a module's calls of system functions are
// sent to replacements of ours (message box capture, GDI object counting).
#pragma once

#include <windows.h>

// Replaces every import slot of module that holds real[i] with
// replacement[i]; returns how many slots were patched.
int PatchImports(HMODULE module, void* const* real, void* const* replacement, int count);
