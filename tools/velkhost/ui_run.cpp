#include "tools/velkhost/ui_run.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include "tools/uidriver/ui_script.h"
#include "tools/velkhost/host_record.h"
#include "tools/velkhost/summary.h"

namespace {

struct UiRun {
    std::string script;
    DWORD uiThread = 0;
    HANDLE hostDone = nullptr;
    HANDLE thread = nullptr;
    UiScriptResult result;
    bool leftOpen = false;
};

UiRun g_run;

void SetPick(bool given, const uint8_t rgb[3], void*) { SetScriptedPick(given, rgb); }

// Cancels the open dialogs, newest first, so that the host thread returns.
bool CancelOpenDialogs(UiDriver& d)
{
    bool any = false;
    for (int round = 0; round < 8; ++round) {
        const std::vector<HWND> open = OpenDialogs(d);
        if (open.empty())
            break;
        any = true;
        d.dialog = open.back();
        PostMessageA(d.dialog, WM_COMMAND, IDCANCEL, 0);
        WaitIdle(d);
    }
    return any;
}

DWORD WINAPI RunScript(void*)
{
    UiDriver d;
    d.hostDone = g_run.hostDone;
    if (!AttachUiDriver(d, g_run.uiThread)) {
        g_run.result.failedLine = 1;
        g_run.result.error = d.error;
        return 0;
    }
    UiScriptHooks hooks;
    hooks.setPick = SetPick;
    g_run.result = RunUiScript(d, g_run.script, hooks);
    g_run.leftOpen = CancelOpenDialogs(d);
    DetachUiDriver(d);
    return 0;
}

} // namespace

bool StartUiScript(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the UI script " + path;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    g_run.script = text.str();
    g_run.uiThread = GetCurrentThreadId();
    g_run.hostDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_run.thread = CreateThread(nullptr, 0, RunScript, nullptr, 0, nullptr);
    if (!g_run.thread) {
        error = "cannot start the UI script";
        return false;
    }
    return true;
}

void FinishUiScript()
{
    if (!g_run.thread)
        return;
    SetEvent(g_run.hostDone);
    WaitForSingleObject(g_run.thread, INFINITE);
    CloseHandle(g_run.thread);
    g_run.thread = nullptr;
    UiScriptResult& r = g_run.result;
    if (!r.failedLine && g_run.leftOpen) {
        r.failedLine = r.steps + 1;
        r.error = "the script ended with a dialog still open";
    }
    LockLog();
    g_log.uiRan = true;
    g_log.uiSteps = r.steps;
    g_log.uiFailedLine = r.failedLine;
    g_log.uiError = r.error;
    g_log.uiCaptures = r.captures;
    if (r.failedLine) {
        g_log.status = "error";
        g_log.error = "ui script line " + std::to_string(r.failedLine) + ": " + r.error;
    }
    UnlockLog();
}
