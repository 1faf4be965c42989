#include "tools/uidriver/refused_registry.h"

#include "tools/uidriver/import_patch.h"

namespace {

LONG WINAPI RefusedCreateKeyExA(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, const SECURITY_ATTRIBUTES*,
                                PHKEY key, LPDWORD)
{
    if (key)
        *key = nullptr;
    return ERROR_ACCESS_DENIED;
}

LONG WINAPI RefusedSetValueExA(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD)
{
    return ERROR_ACCESS_DENIED;
}

} // namespace

int RefuseRegistryWrites(HMODULE module)
{
    // Loaded already when the module imports from it.
    HMODULE advapi32 = GetModuleHandleW(L"advapi32.dll");
    if (!advapi32)
        return 0;
    void* real[2] = {reinterpret_cast<void*>(GetProcAddress(advapi32, "RegCreateKeyExA")),
                     reinterpret_cast<void*>(GetProcAddress(advapi32, "RegSetValueExA"))};
    void* replacement[2] = {reinterpret_cast<void*>(RefusedCreateKeyExA),
                            reinterpret_cast<void*>(RefusedSetValueExA)};
    return PatchImports(module, real, replacement, 2);
}
