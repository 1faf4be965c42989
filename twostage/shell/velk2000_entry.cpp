// ENTRYPOINT of velk2000: the one export through which the host drives it.

#include <windows.h>

#include "common/entry_guard.h"
#include "toolkit/module/module.h"
#include "twostage/shell/twostage_shell.h"

namespace {

void ShowAbout(const AboutRecord* about)
{
    MessageBoxA(HostWindow(about ? about->platformData : nullptr),
                "Filter for Adobe Photoshop\n"
                "Two-stage strips: folded, shaded, sheared and bent, by Orchwell",
                "                Velk 2000", MB_ICONINFORMATION | MB_OK);
}

int16_t Dispatch(int16_t selector, void* record)
{
    switch (selector) {
    case filterSelectorAbout:
        ShowAbout(static_cast<const AboutRecord*>(record));
        return noErr;
    case filterSelectorPrepare:
        static_cast<FilterRecord*>(record)->maxSpace = 256;
        return noErr;
    case filterSelectorStart:
        return StartTwoStage(static_cast<FilterRecord*>(record));
    default: // parameters, continue, finish: nothing to do
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
