// A host's side of one filter run or about box: PiPL checks, loading, the
// hidden host window, the selector sequence and the output image.
#include "tools/velkhost/run.h"

#include <windows.h>

#include "tools/uidriver/frozen_clock.h"
#include "tools/uidriver/gdi_count.h"
#include "tools/uidriver/refused_registry.h"
#include "tools/velkhost/window_watch.h"
#include "tools/velkhost/host_record.h"
#include "tools/velkhost/summary.h"
#include "tools/velkhost/ui_run.h"
#include "tools/uidriver/text.h"
#include "tools/velkhost/watchdog.h"

namespace {

struct LoadedFilter {
    HMODULE module = nullptr;
    FilterEntryProc entry = nullptr;
};

intptr_t g_moduleData = 0; // the `data` value a host keeps for the module
const HostProfile* g_profile = nullptr; // the host whose record the module gets

void Fail(const char* status, const std::string& error)
{
    LockLog();
    g_log.status = status;
    g_log.error = error;
    UnlockLog();
}

// A top-level window that is never shown: the owner modules get.
HWND CreateHostWindow()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelkHostWindow";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"velkhost", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 640, 480, nullptr, nullptr, wc.hInstance, nullptr);
}

// The PiPL checks and the load; "" on success, else why it was refused.
std::string LoadFilter(const HostOptions& options, const HostMode* mode, LoadedFilter& filter)
{
    const std::wstring path = Widen(options.modulePath);
    PiplInfo pipl = ReadModulePipl(path);
    std::string why = FilterRefusal(pipl);
    if (why.empty() && mode)
        why = ModeRefusal(pipl, *mode);
    if (!why.empty())
        return why;
    // Like a host, let the module find its own dependencies beside it.
    filter.module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!filter.module)
        return "LoadLibrary failed (error " + std::to_string(GetLastError()) + ")";
    filter.entry = reinterpret_cast<FilterEntryProc>(
        reinterpret_cast<void*>(GetProcAddress(filter.module, pipl.entry.c_str())));
    if (!filter.entry)
        return "no export named " + pipl.entry;
    CaptureModuleBoxes(filter.module);
    CountGdiObjects(filter.module);
    if (options.frozenClock >= 0 && FreezeClock(filter.module, static_cast<DWORD>(options.frozenClock)) == 0)
        return "--frozen-clock: the module does not import GetTickCount";
    if (options.registryReadOnly && RefuseRegistryWrites(filter.module) == 0)
        return "--registry-read-only: the module does not write the registry";
    return "";
}

int16_t Call(const LoadedFilter& filter, int16_t selector, void* record)
{
    LockLog();
    g_log.selectors.push_back(selector);
    UnlockLog();
    int16_t result = kResultUnwritten;
    if (selector != filterSelectorAbout && g_profile)
        BeforeHostCall(*g_profile, static_cast<FilterRecord*>(record), g_moduleData);
    filter.entry(selector, record, &g_moduleData, &result);
    LockLog();
    g_log.results.push_back(result);
    if (selector != filterSelectorAbout)
        g_log.maxSpace = static_cast<FilterRecord*>(record)->maxSpace;
    UnlockLog();
    return result;
}

bool LoadImages(const HostOptions& options, HostImage& image)
{
    std::string error;
    const int channels = options.mode->planes == 1 ? 1 : 0;
    bool ok = ReadImage(options.inPath, channels, image.source, error);
    if (ok && !options.maskPath.empty()) {
        ok = ReadMask(options.maskPath, image.mask, error);
        if (ok &&
            (image.mask.width != image.source.width || image.mask.height != image.source.height)) {
            error = "the mask is not the size of the image";
            ok = false;
        }
        image.haveMask = ok;
    }
    if (!ok)
        Fail("error", error);
    image.output = image.source;
    LockLog();
    g_log.width = image.source.width;
    g_log.height = image.source.height;
    g_log.channels = image.source.channels;
    UnlockLog();
    return ok;
}

} // namespace

void RunFilter(const HostOptions& options)
{
    LockLog();
    g_log.command = "run";
    UnlockLog();
    HostImage image;
    if (!LoadImages(options, image))
        EndRun(kExitIoError);

    // The host window is made before the watch starts, so it is not listed.
    HWND hostWindow = CreateHostWindow();
    SetHostWindow(hostWindow);
    StartWindowWatch();
    LoadedFilter filter;
    const std::string why = LoadFilter(options, options.mode, filter);
    if (!why.empty()) {
        Fail("refused", why);
        EndRun(kExitRefused);
    }

    FilterRecord* record = CreateFilterRecord(options, image, hostWindow);
    g_profile = options.host;
    std::string scriptError;
    if (!options.uiScript.empty() && !StartUiScript(options.uiScript, scriptError)) {
        Fail("error", scriptError);
        EndRun(kExitIoError);
    }
    // Each run is the filter chosen once more while the module stays loaded,
    // on the same input; a failed run ends the series.
    bool ok = true;
    for (int run = 0; ok && run < options.runs; ++run) {
        if (!options.repeat)
            ok = Call(filter, filterSelectorParameters, record) == noErr;
        if (ok)
            ok = Call(filter, filterSelectorPrepare, record) == noErr;
        if (ok) {
            // A host calls finish only after a successful start.
            ok = Call(filter, filterSelectorStart, record) == noErr;
            EndStart(record, ok);
            if (ok)
                Call(filter, filterSelectorFinish, record);
        }
    }
    FinishUiScript();
    StopWindowWatch();
    LockLog();
    g_log.gdiLive = LiveGdiObjects();
    UnlockLog();
    ReleaseFilterRecord(record);

    if (!options.outPath.empty() && !WritePng(options.outPath, image.output)) {
        Fail("error", "cannot write " + options.outPath);
        EndRun(kExitIoError);
    }
    LockLog();
    const bool uiFailed = g_log.uiFailedLine != 0;
    UnlockLog();
    EndRun(uiFailed ? kExitUiFailed : kExitRan);
}

void RunAbout(const HostOptions& options)
{
    LockLog();
    g_log.command = "about";
    UnlockLog();
    HWND hostWindow = CreateHostWindow();
    SetHostWindow(hostWindow);
    StartWindowWatch();
    LoadedFilter filter;
    const std::string why = LoadFilter(options, nullptr, filter);
    if (!why.empty()) {
        Fail("refused", why);
        EndRun(kExitRefused);
    }
    PlatformData platform{reinterpret_cast<intptr_t>(hostWindow)};
    AboutRecord about = {};
    about.platformData = &platform;
    Call(filter, filterSelectorAbout, &about);
    StopWindowWatch();
    EndRun(kExitRan);
}
