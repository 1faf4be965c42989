#include "toolkit/module/module.h"

#include "host/filter_record.h"

#include <cstdio>

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

void ReportFailedStart(const FilterRecord* record, int16_t result)
{
    constexpr uint32_t kPhotoshop = 0x3842494D; // '8BIM': shows its own message
    if (!record || result == noErr || result == userCanceledErr || record->hostSig == kPhotoshop)
        return;
    char text[160] = "Not enough memory, or no image data from the host.\nThe image is unchanged.";
    if (result != memFullErr)
        std::snprintf(text, sizeof text, "The filter could not run (error %d).\nThe image is unchanged.",
                      result);
    MessageBoxA(HostWindow(record->platformData), text, "ERROR", MB_OK | MB_ICONERROR);
}
