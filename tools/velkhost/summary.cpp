// The run log, its lock, and the summary line.
#include "tools/velkhost/summary.h"

#include <windows.h>

#include <cstdio>

#include "tools/uidriver/text.h"

HostLog g_log;

static CRITICAL_SECTION* LogLock()
{
    // A function-local static is initialised once, even with two threads.
    static struct Section {
        CRITICAL_SECTION cs;
        Section() { InitializeCriticalSection(&cs); }
    } section;
    return &section.cs;
}

void LockLog() { EnterCriticalSection(LogLock()); }
void UnlockLog() { LeaveCriticalSection(LogLock()); }

namespace {

// A tiny JSON object writer: fields are appended in order.
struct Json {
    std::string s = "{";
    void Key(const char* k)
    {
        if (s.size() > 1 && s.back() != '{' && s.back() != '[')
            s += ',';
        s += JsonString(k) + ":";
    }
    void Str(const char* k, const std::string& v) { Key(k), s += JsonString(v); }
    void Int(const char* k, long long v) { Key(k), s += std::to_string(v); }
    void Bool(const char* k, bool v) { Key(k), s += v ? "true" : "false"; }
    void Ints(const char* k, std::initializer_list<int> v)
    {
        Key(k), s += IntList(v.begin(), v.end());
    }
    void Ints(const char* k, const std::vector<int>& v)
    {
        Key(k), s += IntList(v.begin(), v.end());
    }
    void Rect(const char* k, const Rect16& r) { Ints(k, {r.top, r.left, r.bottom, r.right}); }
    template <class It> static std::string IntList(It a, It b)
    {
        std::string out = "[";
        for (It i = a; i != b; ++i)
            out += (i == a ? "" : ",") + std::to_string(*i);
        return out + "]";
    }
    // Arrays of objects: Open, then Item for each element, then Close.
    void Open(const char* k) { Key(k), s += '['; }
    void Item(const Json& j) { s += (s.back() == '[' ? "" : ",") + j.Done(); }
    void Close() { s += ']'; }
    std::string Done() const { return s + "}"; }
};

} // namespace

std::string SummaryJson(const HostLog& log)
{
    Json j;
    j.Str("status", log.status);
    j.Str("error", log.error);
    j.Str("command", log.command);
    j.Ints("selectors", log.selectors);
    j.Ints("results", log.results);
    j.Key("result");
    if (log.results.empty()) {
        j.s += "null";
    } else {
        int first = 0;
        for (int r : log.results)
            if (r != 0) {
                first = r;
                break;
            }
        j.s += std::to_string(first);
    }
    j.Int("maxSpace", log.maxSpace);
    j.Int("width", log.width);
    j.Int("height", log.height);
    j.Int("channels", log.channels);
    j.Int("record_planes", log.recordPlanes);
    j.Int("filterCase", log.filterCase);
    j.Int("haveMask", log.haveMask);
    j.Int("imageMode", log.imageMode);
    j.Int("advance", int(log.requests.size()));
    j.Open("requests");
    for (const RequestRecord& r : log.requests) {
        Json o;
        o.Rect("in", r.inRect);
        o.Ints("in_planes", {r.inLo, r.inHi});
        o.Rect("out", r.outRect);
        o.Ints("out_planes", {r.outLo, r.outHi});
        o.Rect("mask", r.maskRect);
        o.Int("in_row_bytes", r.inRowBytes);
        o.Int("out_row_bytes", r.outRowBytes);
        o.Int("mask_row_bytes", r.maskRowBytes);
        o.Int("result", r.result);
        j.Item(o);
    }
    j.Close();
    if (log.requests.empty())
        j.Ints("planes", std::vector<int>());
    else
        j.Ints("planes", {log.requests.back().inLo, log.requests.back().inHi});
    j.Bool("rects_cleared", log.rectsCleared);
    j.Bool("in_written", log.inWritten);
    j.Bool("overrun", log.overrun);
    j.Int("progress", log.progress);
    j.Ints("progress_last", {log.progressDone, log.progressTotal});
    j.Int("progress_runs", log.progressRuns);
    j.Int("progress_cut", log.progressCut);
    j.Int("gdi_live", log.gdiLive);
    j.Int("abort", log.abortCalls);
    j.Bool("aborted", log.aborted);
    j.Int("off_thread", log.offThread);
    j.Open("colour");
    for (const ColourRecord& c : log.colour) {
        Json o;
        o.Int("selector", c.selector);
        o.Ints("given", {c.given[0], c.given[1], c.given[2]});
        o.Int("result", c.result);
        o.Str("error", c.error);
        j.Item(o);
    }
    j.Close();
    j.Open("boxes");
    for (const BoxRecord& b : log.boxes) {
        Json o;
        o.Key("caption");
        o.s += b.hasCaption ? JsonString(b.caption) : "null";
        o.Key("text");
        o.s += b.hasText ? JsonString(b.text) : "null";
        o.Str("icon", b.icon);
        o.Str("buttons", b.buttons);
        o.Int("answer", b.answer);
        o.Str("owner", b.owner);
        j.Item(o);
    }
    j.Close();
    j.Open("windows");
    for (const WindowRecord& w : log.windows) {
        Json o;
        o.Str("class", w.className);
        o.Str("title", w.title);
        j.Item(o);
    }
    j.Close();
    j.Bool("timeout", log.timeout);
    j.Int("exception", log.exception);
    j.Key("ui");
    if (!log.uiRan) {
        j.s += "null";
    } else {
        Json u;
        u.Int("steps", log.uiSteps);
        u.Int("failed_line", log.uiFailedLine);
        u.Str("error", log.uiError);
        u.Key("captures");
        u.s += "[";
        for (size_t i = 0; i < log.uiCaptures.size(); ++i)
            u.s += (i ? "," : "") + JsonString(log.uiCaptures[i]);
        u.s += "]";
        j.s += u.Done();
    }
    return j.Done();
}

bool EmitSummary()
{
    static LONG printed = 0;
    if (InterlockedCompareExchange(&printed, 1, 0) != 0)
        return false;
    LockLog();
    std::string line = "VELKHOST " + SummaryJson(g_log) + "\n";
    UnlockLog();
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    return true;
}
