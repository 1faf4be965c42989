// The FilterRecord, the buffers advanceState hands out, and the callbacks.
#include "tools/velkhost/host_record.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/image_case.h"
#include "tools/velkhost/summary.h"

namespace {

constexpr size_t kRecordBytes = 2048; // well beyond sizeof(FilterRecord)
constexpr int kGuardBytes = 64;       // after every buffer, to catch overruns
constexpr uint8_t kFill = 0xA5;       // row padding and guard bytes
constexpr OSErr kParamErr = -50;

// One buffer handed to the module: `planes` interleaved planes starting at
// `lo`, for the rectangle at (top, left) of rows x cols pixels.
struct PlaneBuffer {
    std::vector<uint8_t> bytes;
    int top = 0, left = 0, rows = 0, cols = 0, lo = 0, planes = 0, rowBytes = 0;

    bool Active() const { return !bytes.empty(); }
    const uint8_t* Row(int y) const { return bytes.data() + size_t(y) * rowBytes; }
    uint8_t* Row(int y) { return bytes.data() + size_t(y) * rowBytes; }
};

struct Host {
    const HostOptions* options = nullptr;
    HostImage* image = nullptr;
    FilterRecord* record = nullptr;
    PlatformData platform{};
    PlaneBuffer in, out, mask;
    DWORD thread = 0; // the thread that made the record and calls the module
};

Host g_host;

// Counts a callback made on a thread other than the host's own (the log
// lock is held).
void NoteThread()
{
    if (GetCurrentThreadId() != g_host.thread)
        ++g_log.offThread;
}

// A UI script's answer for the colour picker (overrides --pick once set).
struct ScriptedPick {
    bool set = false, given = false;
    uint8_t rgb[3] = {0, 0, 0};
} g_scriptedPick;

const uint8_t* Pixel(const Image& image, int x, int y)
{
    return image.pixels.data() + (size_t(y) * image.width + x) * image.channels;
}

// Hands out a buffer for the rectangle and planes of `from`. An empty
// rectangle asks for nothing; one outside the image or a plane range the
// image does not have is refused.
OSErr Provide(PlaneBuffer& b, const Rect16& r, int lo, int hi, const Image& from, int pad)
{
    b = PlaneBuffer();
    if (r.top >= r.bottom || r.left >= r.right)
        return noErr;
    if (r.top < 0 || r.left < 0 || r.bottom > from.height || r.right > from.width)
        return filterBadParameters;
    if (lo < 0 || hi < lo || hi >= from.channels)
        return filterBadParameters;
    b.top = r.top;
    b.left = r.left;
    b.rows = r.bottom - r.top;
    b.cols = r.right - r.left;
    b.lo = lo;
    b.planes = hi - lo + 1;
    b.rowBytes = b.cols * b.planes + pad;
    b.bytes.assign(size_t(b.rowBytes) * b.rows + kGuardBytes, kFill);
    for (int y = 0; y < b.rows; ++y)
        for (int x = 0; x < b.cols; ++x)
            std::memcpy(b.Row(y) + x * b.planes, Pixel(from, b.left + x, b.top + y) + lo,
                        size_t(b.planes));
    return noErr;
}

bool Differs(const PlaneBuffer& b, const Image& from)
{
    for (int y = 0; y < b.rows; ++y)
        for (int x = 0; x < b.cols; ++x)
            if (std::memcmp(b.Row(y) + x * b.planes, Pixel(from, b.left + x, b.top + y) + b.lo,
                            size_t(b.planes)))
                return true;
    return false;
}

bool Overrun(const PlaneBuffer& b)
{
    const int payload = b.cols * b.planes;
    for (int y = 0; y < b.rows; ++y)
        for (int i = payload; i < b.rowBytes; ++i)
            if (b.Row(y)[i] != kFill)
                return true;
    for (size_t i = size_t(b.rowBytes) * b.rows; i < b.bytes.size(); ++i)
        if (b.bytes[i] != kFill)
            return true;
    return false;
}

void WriteBack(const PlaneBuffer& b, Image& to)
{
    for (int y = 0; y < b.rows; ++y)
        for (int x = 0; x < b.cols; ++x)
            std::memcpy(const_cast<uint8_t*>(Pixel(to, b.left + x, b.top + y)) + b.lo,
                        b.Row(y) + x * b.planes, size_t(b.planes));
}

// Takes the module's work out of the current buffers (kept only when the
// module succeeded: a host throws away what a cancelled filter left in
// outData). Call with the log locked.
void SettleBuffers(bool keep = true)
{
    Host& h = g_host;
    if (h.in.Active() && Differs(h.in, h.image->source))
        g_log.inWritten = true;
    for (const PlaneBuffer* b : {&h.in, &h.out, &h.mask})
        if (b->Active() && Overrun(*b))
            g_log.overrun = true;
    if (keep && h.out.Active())
        WriteBack(h.out, h.image->output);
}

OSErr VELK_CDECL HostAdvanceState()
{
    Host& h = g_host;
    FilterRecord* fr = h.record;
    LockLog();
    NoteThread();
    SettleBuffers();
    RequestRecord rq;
    rq.inRect = fr->inRect;
    rq.outRect = fr->outRect;
    rq.maskRect = fr->maskRect;
    rq.inLo = fr->inLoPlane, rq.inHi = fr->inHiPlane;
    rq.outLo = fr->outLoPlane, rq.outHi = fr->outHiPlane;
    h.in = h.out = h.mask = PlaneBuffer();
    OSErr err = noErr;
    if (!h.options->noBuffers) {
        const int pad = h.options->rowPad;
        OSErr e1 = Provide(h.in, fr->inRect, fr->inLoPlane, fr->inHiPlane, h.image->source, pad);
        OSErr e2 =
            Provide(h.out, fr->outRect, fr->outLoPlane, fr->outHiPlane, h.image->output, pad);
        OSErr e3 = noErr;
        if (h.image->haveMask)
            e3 = Provide(h.mask, fr->maskRect, 0, 0, h.image->mask, pad);
        err = e1 ? e1 : e2 ? e2 : e3;
    }
    fr->inData = h.in.Active() ? h.in.bytes.data() : nullptr;
    fr->outData = h.out.Active() ? h.out.bytes.data() : nullptr;
    fr->maskData = h.mask.Active() ? h.mask.bytes.data() : nullptr;
    fr->inRowBytes = rq.inRowBytes = h.in.rowBytes;
    fr->outRowBytes = rq.outRowBytes = h.out.rowBytes;
    fr->maskRowBytes = rq.maskRowBytes = h.mask.rowBytes;
    fr->inColumnBytes = h.in.planes;
    fr->outColumnBytes = h.out.planes;
    fr->inPlaneBytes = fr->outPlaneBytes = 1;
    rq.result = err;
    g_log.requests.push_back(rq);
    UnlockLog();
    return err;
}

Boolean VELK_CDECL HostAbort()
{
    LockLog();
    NoteThread();
    ++g_log.abortCalls;
    const int after = g_host.options->abortAfter;
    const bool abort = after >= 0 && g_log.progress >= after;
    if (abort)
        g_log.aborted = true;
    UnlockLog();
    return abort ? 1 : 0;
}

void VELK_CDECL HostProgress(int32_t done, int32_t total)
{
    LockLog();
    NoteThread();
    // A row below the last one starts a new render; the one before ended
    // early when it had not reached its last eighth row.
    if (g_log.progress == 0 || done <= g_log.progressDone) {
        if (g_log.progress > 0 && g_log.progressDone + 8 < g_log.progressTotal)
            ++g_log.progressCut;
        ++g_log.progressRuns;
    }
    ++g_log.progress;
    g_log.progressDone = done;
    g_log.progressTotal = total;
    UnlockLog();
}

bool PickGiven()
{
    LockLog();
    const bool given = g_scriptedPick.set ? g_scriptedPick.given : g_host.options->pickGiven;
    UnlockLog();
    return given;
}

uint8_t PickedComponent(int i)
{
    LockLog();
    const uint8_t v = g_scriptedPick.set ? g_scriptedPick.rgb[i] : g_host.options->pick[i];
    UnlockLog();
    return v;
}

// Choose colour (selector 0) answers --pick, or cancels without it. A strict
// host refuses a short record and non-null reserved pointers.
OSErr VELK_CDECL HostColorServices(ColorServicesInfo* info)
{
    ColourRecord c;
    OSErr err = noErr;
    if (!info) {
        c.error = "null record", err = kParamErr;
    } else if (info->infoSize < int32_t(sizeof(ColorServicesInfo))) {
        c.selector = info->selector;
        c.error = "infoSize " + std::to_string(info->infoSize) + " below " +
                  std::to_string(sizeof(ColorServicesInfo));
        err = kParamErr;
    } else {
        c.selector = info->selector;
        for (int i = 0; i < 3; ++i)
            c.given[i] = info->colorComponents[i];
        if (!g_host.options->host->colourServices) {
            c.error = "host insufficient", err = kHostInsufficient;
        } else if (info->reservedSourceSpaceInfo || info->reservedResultSpaceInfo || info->reserved) {
            c.error = "reserved pointers not null", err = kParamErr;
        } else if (info->selector != 0) {
            c.error = "selector not supported", err = kParamErr;
        } else if (info->sourceSpace != 0 || info->resultSpace != 0) {
            c.error = "only the RGB space (0) is supported", err = kParamErr;
        } else if (!PickGiven()) {
            c.error = "picker cancelled", err = userCanceledErr;
        } else {
            for (int i = 0; i < 3; ++i)
                info->colorComponents[i] = PickedComponent(i);
            info->colorComponents[3] = 0;
            info->resultGamutInfoValid = 1;
            info->resultInGamut = 1;
        }
    }
    c.result = err;
    LockLog();
    NoteThread();
    g_log.colour.push_back(c);
    UnlockLog();
    return err;
}

// The selection's bounding box, or the whole image without a selection.
Rect16 FilterRect(const HostImage& image)
{
    const Image& src = image.source;
    Rect16 r{0, 0, int16_t(src.height), int16_t(src.width)};
    if (!image.haveMask)
        return r;
    int top = src.height, left = src.width, bottom = 0, right = 0;
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            if (*Pixel(image.mask, x, y)) {
                top = y < top ? y : top, bottom = y + 1 > bottom ? y + 1 : bottom;
                left = x < left ? x : left, right = x + 1 > right ? x + 1 : right;
            }
    if (bottom == 0)
        return r; // nothing selected: the whole image
    return Rect16{int16_t(top), int16_t(left), int16_t(bottom), int16_t(right)};
}

} // namespace

FilterRecord* CreateFilterRecord(const HostOptions& options, HostImage& image, void* hostWindow)
{
    Host& h = g_host;
    h.options = &options;
    h.image = &image;
    h.thread = GetCurrentThreadId();
    h.platform.hwnd = reinterpret_cast<intptr_t>(hostWindow);
    auto* fr = static_cast<FilterRecord*>(std::calloc(1, kRecordBytes));
    h.record = fr;

    const Image& src = image.source;
    const bool alpha = src.channels == 4;
    fr->abortProc = HostAbort;
    fr->progressProc = HostProgress;
    fr->imageSize = Point16{int16_t(src.height), int16_t(src.width)};
    fr->planes = int16_t(options.planes ? options.planes : src.channels);
    fr->filterRect = FilterRect(image);
    fr->background = RGBColor{uint16_t(options.back[0] * 257), uint16_t(options.back[1] * 257),
                              uint16_t(options.back[2] * 257)};
    fr->foreground = RGBColor{uint16_t(options.fore[0] * 257), uint16_t(options.fore[1] * 257),
                              uint16_t(options.fore[2] * 257)};
    fr->maxSpace = 256 * 1024 * 1024;
    for (int i = 0; i < 3; ++i) {
        fr->backColor[i] = options.back[i];
        fr->foreColor[i] = options.fore[i];
    }
    fr->haveMask = image.haveMask ? 1 : 0;
    fr->hostSig = 0x564C4B48; // 'VLKH'
    fr->imageMode = options.mode->imageMode;
    fr->imageHRes = fr->imageVRes = 72 << 16;
    fr->wholeSize = fr->imageSize;
    // sRGB-like monitor: gamma 2.2 and the sRGB primaries and white point, 16.16.
    fr->monitor = PlugInMonitor{144179, 41943, 21627, 19661, 39322, 9830, 3932, 20493, 21561, 0};
    fr->platformData = &h.platform;
    int filterCase = options.filterCase;
    if (!filterCase)
        filterCase = ImageFilterCase(alpha, image.haveMask);
    fr->filterCase = int16_t(filterCase);
    fr->advanceState = HostAdvanceState;
    fr->inputRate = fr->maskRate = 1 << 16;
    fr->colorServices = HostColorServices;
    const int16_t colourPlanes = int16_t(options.mode->planes);
    fr->inLayerPlanes = fr->outLayerPlanes = fr->absLayerPlanes = colourPlanes;
    fr->inTransparencyMask = fr->outTransparencyMask = fr->absTransparencyMask = alpha ? 1 : 0;
    fr->depth = 8;
    ApplyHostProfile(*options.host, fr);

    LockLog();
    g_log.width = src.width;
    g_log.height = src.height;
    g_log.channels = src.channels;
    g_log.recordPlanes = fr->planes;
    g_log.filterCase = fr->filterCase;
    g_log.haveMask = fr->haveMask;
    g_log.imageMode = fr->imageMode;
    g_log.maxSpace = fr->maxSpace;
    UnlockLog();
    return fr;
}

void EndStart(FilterRecord* fr, bool succeeded)
{
    LockLog();
    SettleBuffers(succeeded);
    const Rect16 zero{0, 0, 0, 0};
    g_log.rectsCleared = !std::memcmp(&fr->inRect, &zero, sizeof zero) &&
                         !std::memcmp(&fr->outRect, &zero, sizeof zero) &&
                         !std::memcmp(&fr->maskRect, &zero, sizeof zero);
    UnlockLog();
}

void SetScriptedPick(bool given, const uint8_t rgb[3])
{
    LockLog();
    g_scriptedPick.set = true;
    g_scriptedPick.given = given;
    for (int i = 0; i < 3; ++i)
        g_scriptedPick.rgb[i] = rgb[i];
    UnlockLog();
}

void ReleaseFilterRecord(FilterRecord* fr)
{
    g_host.in = g_host.out = g_host.mask = PlaneBuffer();
    g_host.record = nullptr;
    std::free(fr);
}
