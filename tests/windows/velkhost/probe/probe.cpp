// A test-only filter module for velkhost's tests. It logs what the host hands
// it to the file named by VELKPROBE_LOG (one line per event, "key=value"
// words) and reacts as VELKPROBE_ACTION asks, a list of words:
//   whole             request the whole image (planes as the record implies)
//   region=T,L,B,R,LO,HI  request that rectangle and plane range (no mask)
//   invert            outData = 255 - inData over the request
//   maskcopy          outData planes 0..2 = the mask byte
//   pick, pick-small, pick-reserved   call the colour picker (well-formed,
//                     short record, reserved pointer set); a picked colour
//                     fills outData planes 0..2
//   progress=N        abortProc then progressProc(i, N), N times
//   box               show five message boxes; window: make a popup window
//   hang, crash       never return; write through a null pointer
//   overrun, write-in write past the last output row; write into inData
//   keep-rects        leave the rectangles set; noresult: write no result
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/filter_record.h"

namespace {

void Log(const char* format, ...)
{
    const char* path = std::getenv("VELKPROBE_LOG");
    if (!path)
        return;
    FILE* f = std::fopen(path, "a");
    if (!f)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputc('\n', f);
    std::fclose(f);
}

// The value of word `key` in VELKPROBE_ACTION: "" for a bare word, nullptr
// when absent.
const char* Action(const char* key)
{
    static char words[512];
    const char* env = std::getenv("VELKPROBE_ACTION");
    std::snprintf(words, sizeof words, "%s", env ? env : "");
    for (char* w = std::strtok(words, " "); w; w = std::strtok(nullptr, " ")) {
        char* eq = std::strchr(w, '=');
        if (eq)
            *eq = 0;
        if (!std::strcmp(w, key))
            return eq ? eq + 1 : "";
    }
    return nullptr;
}

HWND Owner(void* platformData)
{
    return platformData ? reinterpret_cast<HWND>(static_cast<PlatformData*>(platformData)->hwnd)
                        : nullptr;
}

void LogRecord(const FilterRecord* fr)
{
    HWND w = Owner(fr->platformData);
    Log("record width=%d height=%d planes=%d filterCase=%d imageMode=%d haveMask=%d depth=%d "
        "fore=%d,%d,%d back=%d,%d,%d fore16=%u,%u,%u back16=%u,%u,%u filterRect=%d,%d,%d,%d "
        "window=%d visible=%d",
        fr->imageSize.h, fr->imageSize.v, fr->planes, fr->filterCase, fr->imageMode, fr->haveMask,
        fr->depth, fr->foreColor[0], fr->foreColor[1], fr->foreColor[2], fr->backColor[0],
        fr->backColor[1], fr->backColor[2], fr->foreground.red, fr->foreground.green,
        fr->foreground.blue, fr->background.red, fr->background.green, fr->background.blue,
        fr->filterRect.top, fr->filterRect.left, fr->filterRect.bottom, fr->filterRect.right,
        IsWindow(w) ? 1 : 0, IsWindowVisible(w) ? 1 : 0);
}

void ShowBoxes(HWND owner)
{
    int a[5];
    a[0] = MessageBoxA(owner, "First line\nsecond line  ", "Probe \"caption\"",
                       MB_OK | MB_ICONWARNING);
    a[1] = MessageBoxW(nullptr, L"Gr\u00fc\u00dfe", nullptr, MB_YESNO | MB_ICONQUESTION);
    a[2] = MessageBoxExA(owner, "ex", "Ex", MB_OKCANCEL | MB_ICONERROR, 0);
    MSGBOXPARAMSA p = {};
    p.cbSize = sizeof p;
    p.hwndOwner = owner;
    p.lpszText = "indirect";
    p.lpszCaption = "Info";
    p.dwStyle = MB_RETRYCANCEL | MB_ICONINFORMATION;
    a[3] = MessageBoxIndirectA(&p);
    a[4] = MessageBoxA(owner, "", "", MB_YESNOCANCEL);
    Log("box answers=%d,%d,%d,%d,%d", a[0], a[1], a[2], a[3], a[4]);
}

int16_t Pick(FilterRecord* fr, uint8_t rgb[3])
{
    ColorServicesInfo info = {};
    info.infoSize = sizeof info;
    if (Action("pick-small"))
        info.infoSize = sizeof info - 8;
    if (Action("pick-reserved"))
        info.reserved = &info;
    info.selector = 0;
    info.colorComponents[0] = 10, info.colorComponents[1] = 20, info.colorComponents[2] = 30;
    OSErr e = fr->colorServices(&info);
    for (int i = 0; i < 3; ++i)
        rgb[i] = uint8_t(info.colorComponents[i]);
    Log("pick result=%d rgb=%d,%d,%d", e, rgb[0], rgb[1], rgb[2]);
    return e;
}

// Requests the buffers; returns the request's plane count, or 0 (result set)
// when the host handed out no buffers.
int Request(FilterRecord* fr, int16_t& result)
{
    const Rect16 whole{0, 0, fr->imageSize.v, fr->imageSize.h};
    const Rect16 none{0, 0, 0, 0};
    int planes = fr->planes;
    if (planes == 3 && (fr->filterCase == 4 || fr->filterCase == 5))
        planes = 4;
    if (planes > 4)
        planes = 4;
    int t, l, b, r, lo = 0, hi = planes - 1;
    const char* region = Action("region");
    if (region && std::sscanf(region, "%d,%d,%d,%d,%d,%d", &t, &l, &b, &r, &lo, &hi) == 6) {
        fr->inRect = fr->outRect = Rect16{int16_t(t), int16_t(l), int16_t(b), int16_t(r)};
        fr->maskRect = none;
    } else {
        fr->inRect = fr->outRect = whole;
        fr->maskRect = fr->haveMask ? whole : none;
    }
    fr->inLoPlane = fr->outLoPlane = int16_t(lo);
    fr->inHiPlane = fr->outHiPlane = int16_t(hi);
    OSErr advance = fr->advanceState();
    Log("fetch advance=%d in=%d out=%d mask=%d inRowBytes=%d outRowBytes=%d maskRowBytes=%d",
        advance, fr->inData != nullptr, fr->outData != nullptr, fr->maskData != nullptr,
        fr->inRowBytes, fr->outRowBytes, fr->maskRowBytes);
    if (!fr->inData || !fr->outData || (fr->haveMask && !region && !fr->maskData)) {
        result = memFullErr;
        return 0;
    }
    return hi - lo + 1;
}

void Edit(FilterRecord* fr, int planes, const uint8_t* colour)
{
    const Rect16 r = fr->outRect;
    auto* in = static_cast<uint8_t*>(fr->inData);
    auto* out = static_cast<uint8_t*>(fr->outData);
    auto* mask = static_cast<uint8_t*>(fr->maskData);
    const int rows = r.bottom - r.top, cols = r.right - r.left;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            for (int p = 0; p < planes; ++p) {
                uint8_t& o = out[y * fr->outRowBytes + x * planes + p];
                if (Action("invert"))
                    o = uint8_t(255 - in[y * fr->inRowBytes + x * planes + p]);
                if (Action("maskcopy") && mask && p < 3)
                    o = mask[y * fr->maskRowBytes + x];
                if (colour && p < 3)
                    o = colour[p];
            }
    if (Action("overrun"))
        out[(rows - 1) * fr->outRowBytes + cols * planes] = 0;
    if (Action("write-in"))
        in[0] = uint8_t(~in[0]);
}

int16_t Start(FilterRecord* fr)
{
    LogRecord(fr);
    int16_t result = 0;
    if (Action("window")) {
        HWND w = CreateWindowExA(0, "STATIC", "probe window", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        DestroyWindow(w);
    }
    if (Action("box"))
        ShowBoxes(Owner(fr->platformData));
    if (Action("hang"))
        Sleep(INFINITE);
    if (Action("crash"))
        *static_cast<volatile int*>(nullptr) = 1;
    if (const char* n = Action("progress")) {
        const int total = std::atoi(n);
        int calls = 0;
        for (int i = 1; i <= total; ++i) {
            if (fr->abortProc()) {
                result = userCanceledErr;
                break;
            }
            fr->progressProc(i, total);
            ++calls;
        }
        Log("progress calls=%d", calls);
    }
    uint8_t picked[3];
    bool havePick = false;
    if (!result && (Action("pick") || Action("pick-small") || Action("pick-reserved"))) {
        result = Pick(fr, picked);
        havePick = result == 0;
    }
    if (!result && (Action("whole") || Action("region"))) {
        if (int planes = Request(fr, result))
            Edit(fr, planes, havePick ? picked : nullptr);
    }
    if (!Action("keep-rects"))
        fr->inRect = fr->outRect = fr->maskRect = Rect16{0, 0, 0, 0};
    return result;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        Log("attach");
    return TRUE;
}

extern "C" void ENTRYPOINT(int16_t selector, void* record, intptr_t* data, int16_t* result)
{
    (void)data;
    Log("selector %d", selector);
    int16_t r = 0;
    if (selector == filterSelectorAbout) {
        HWND owner = Owner(static_cast<AboutRecord*>(record)->platformData);
        Log("about window=%d", IsWindow(owner) ? 1 : 0);
        MessageBoxA(owner, "Probe about\nline two", "About Probe", MB_OK | MB_ICONINFORMATION);
    } else {
        auto* fr = static_cast<FilterRecord*>(record);
        if (selector == filterSelectorPrepare)
            fr->maxSpace = 256;
        if (selector == filterSelectorStart)
            r = Start(fr);
        if (selector == filterSelectorStart && Action("noresult"))
            return;
    }
    Log("result %d", r);
    *result = r;
}
