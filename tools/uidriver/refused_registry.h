// A registry that refuses a module's writes, as it does a user who may not
// write the keys: the module's calls that create keys and set values answer
// "access denied" (import patching), while reads go through.
#pragma once

#include <windows.h>

// From now on the module's registry writes fail; returns how many imports
// were patched.
int RefuseRegistryWrites(HMODULE module);
