// ENTRYPOINT of velk3d: the one export through which the host drives it.

#include <windows.h>

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

} // namespace

extern "C" void VELK_CDECL ENTRYPOINT(int16_t selector, void* record, intptr_t*, int16_t* result)
{
    int16_t code = noErr;
    switch (selector) {
    case filterSelectorAbout:
        ShowAbout(static_cast<const AboutRecord*>(record));
        break;
    case filterSelectorParameters:
        gDeform.skipDialog = false;
        break;
    case filterSelectorPrepare:
        static_cast<FilterRecord*>(record)->maxSpace = 256;
        break;
    case filterSelectorStart:
        code = StartDeformation(static_cast<FilterRecord*>(record));
        break;
    default:
        break;
    }
    if (result)
        *result = code;
}
