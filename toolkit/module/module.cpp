#include "toolkit/module/module.h"

#include "host/filter_record.h"

static HINSTANCE gModuleInstance;

// The library's entry: records the module handle on process attach and does
// nothing else; all other state is zero-initialised static storage.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        gModuleInstance = instance;
    return TRUE;
}

HINSTANCE ModuleInstance()
{
    return gModuleInstance;
}

HWND HostWindow(const void* platformData)
{
    if (!platformData)
        return nullptr;
    return reinterpret_cast<HWND>(static_cast<const PlatformData*>(platformData)->hwnd);
}

int32_t ApplyProgress(int32_t row, int32_t total, void* filterRecord)
{
    const FilterRecord* record = static_cast<const FilterRecord*>(filterRecord);
    if (record->abortProc && record->abortProc())
        return userCanceledErr;
    if (record->progressProc)
        record->progressProc(row, total);
    return 0;
}
