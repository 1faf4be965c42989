// ENTRYPOINT of velk3d: the one export through which the host drives it.

#include <windows.h>

#include "common/entry_guard.h"
#include "deform/shell/deform_shell.h"
#include "toolkit/module/module.h"

namespace {

void ShowAbout(const AboutRecord* about)
{
    MessageBoxA(HostWindow(about ? about->platformData : nullptr),
                "                          Velk 3D\n"
                "3D-deformation filter for Adobe Photoshop\n"
                "by Orchwell",
                "                Velk 3D v"
                "1.09a",
                MB_OK);
}

int16_t Dispatch(int16_t selector, void* record)
{
    switch (selector) {
    case filterSelectorAbout:
        ShowAbout(static_cast<const AboutRecord*>(record));
        return noErr;
    case filterSelectorParameters:
        gDeform.skipDialog = false;
        return noErr;
    case filterSelectorPrepare:
        static_cast<FilterRecord*>(record)->maxSpace = 256;
        return noErr;
    case filterSelectorStart:
        return StartDeformation(static_cast<FilterRecord*>(record));
    default:
        return noErr;
    }
}

} // namespace

extern "C" void VELK_CDECL ENTRYPOINT(int16_t selector, void* record, intptr_t*, int16_t* result)
{
    const int16_t code = GuardedSelector([&] { return Dispatch(selector, record); });
    if (selector == filterSelectorStart)
        ReportFailedStart(static_cast<const FilterRecord*>(record), code);
    if (result)
        *result = code;
}
