#include "tools/uidriver/frozen_clock.h"

#include "tools/uidriver/import_patch.h"

namespace {

volatile DWORD gTicks = 0;

DWORD WINAPI StoppedTickCount()
{
    return gTicks;
}

} // namespace

int FreezeClock(HMODULE module, DWORD ticks)
{
    gTicks = ticks;
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (!kernel32)
        return 0;
    void* real[1] = {reinterpret_cast<void*>(GetProcAddress(kernel32, "GetTickCount"))};
    void* replacement[1] = {reinterpret_cast<void*>(StoppedTickCount)};
    return real[0] ? PatchImports(module, real, replacement, 1) : 0;
}
