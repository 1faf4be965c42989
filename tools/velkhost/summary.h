// The run log and the one machine-readable summary line velkhost prints:
//
//   VELKHOST {json}
//
// Fields (documented for users in `velkhost --help` as well):
//   status       "ok" | "refused" | "error" | "timeout" | "crash"
//   error        reason when status is not "ok", else ""
//   command      "run" | "about"
//   selectors    selectors called, in order; results: what each wrote back
//                (23130 = 0x5A5A when the module wrote no result)
//   result       first non-zero result of the sequence, else 0; null when
//                the module was never called
//   maxSpace     FilterRecord maxSpace after the calls
//   width, height, channels, record_planes, filterCase, haveMask, imageMode
//   advance      advanceState calls; requests: each call's in/out/mask
//                rectangles [top,left,bottom,right], plane ranges, row bytes
//                handed out (0 = no buffer) and advanceState's result
//   planes       [lo,hi] input planes of the last request ([] without one)
//   rects_cleared  in, out and mask rectangles all 0 when start returned
//   in_written   the module wrote into inData
//   overrun      the module wrote into row padding or past a buffer's end
//   progress     progressProc calls; progress_last: [done,total] of the last;
//                progress_runs: runs of rising rows (one a render), of which
//                progress_cut ended before the render's last eighth row
//   gdi_live     drawing objects and contexts the module created and did not
//                release by the end of the run
//   abort        abortProc calls; aborted: abortProc answered true
//   off_thread   callbacks made on a thread other than the one that called
//                the module
//   colour       colour services calls: selector, components given, result
//   boxes        message boxes: caption (null when none), text, icon
//                (error|warning|information|question|none|other), buttons,
//                answer (the button id returned), owner (host|none|other)
//   windows      other top-level windows created: class, title
//   timeout      the watchdog ended the run
//   exception    code of the unhandled exception that ended the run, else 0
//   ui           with --ui: steps (lines carried out), failed_line (0 when
//                every line passed), error, captures (files written); else null
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/filter_record.h"

// The result value a selector shows when the module never wrote one.
constexpr int16_t kResultUnwritten = 0x5A5A;

struct BoxRecord {
    bool hasCaption = false, hasText = false;
    std::string caption, text, icon, buttons, owner;
    int answer = 0;
};

struct WindowRecord {
    std::string className, title;
};

struct RequestRecord {
    Rect16 inRect{}, outRect{}, maskRect{};
    int inLo = 0, inHi = 0, outLo = 0, outHi = 0;
    int inRowBytes = 0, outRowBytes = 0, maskRowBytes = 0;
    int result = 0;
};

struct ColourRecord {
    int selector = 0;
    int given[3] = {0, 0, 0};
    int result = 0;
    std::string error;
};

struct HostLog {
    std::string command, status = "ok", error;
    std::vector<int> selectors, results;
    int maxSpace = 0;
    int width = 0, height = 0, channels = 0, recordPlanes = 0, filterCase = 0, haveMask = 0,
        imageMode = 0;
    std::vector<RequestRecord> requests;
    bool rectsCleared = false, inWritten = false, overrun = false;
    int progress = 0, progressDone = 0, progressTotal = 0;
    int progressRuns = 0, progressCut = 0; // runs of rising rows; runs that ended early
    long gdiLive = 0;                      // drawing objects the module created and did not release
    int abortCalls = 0;
    bool aborted = false;
    int offThread = 0; // callbacks made on a thread other than the host's
    std::vector<ColourRecord> colour;
    std::vector<BoxRecord> boxes;
    std::vector<WindowRecord> windows;
    bool timeout = false;
    uint32_t exception = 0;
    // --ui: the script's outcome
    bool uiRan = false;
    int uiSteps = 0, uiFailedLine = 0;
    std::string uiError;
    std::vector<std::string> uiCaptures;
};

// The log of this run. Touch it only between LockLog and UnlockLog: the
// watchdog may print it from its own thread.
extern HostLog g_log;
void LockLog();
void UnlockLog();

// Prints the summary line; only the first call in the process prints, so
// the watchdog and the normal end never both report. True when it printed.
bool EmitSummary();

// The summary's JSON object (without the prefix), for the log as it stands.
std::string SummaryJson(const HostLog& log);
