// The watchdog thread and the crash report.
#include "tools/velkhost/watchdog.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "tools/velkhost/options.h"
#include "tools/velkhost/summary.h"

static HANDLE g_disarm = nullptr;

static DWORD WINAPI Watch(void* param)
{
    const DWORD ms = DWORD(reinterpret_cast<uintptr_t>(param));
    if (WaitForSingleObject(g_disarm, ms) != WAIT_TIMEOUT)
        return 0;
    LockLog();
    g_log.timeout = true;
    g_log.status = "timeout";
    g_log.error = "the run took longer than " + std::to_string(ms / 1000) + " s";
    UnlockLog();
    if (EmitSummary())
        TerminateProcess(GetCurrentProcess(), kExitTimeout);
    return 0;
}

void StartWatchdog(int seconds)
{
    g_disarm = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const uintptr_t ms = uintptr_t(seconds) * 1000;
    HANDLE t = CreateThread(nullptr, 0, Watch, reinterpret_cast<void*>(ms), 0, nullptr);
    if (t)
        CloseHandle(t);
}

void DisarmWatchdog()
{
    if (g_disarm)
        SetEvent(g_disarm);
}

static LONG WINAPI Crashed(EXCEPTION_POINTERS* info)
{
    LockLog();
    g_log.status = "crash";
    g_log.exception = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0;
    char text[64];
    std::snprintf(text, sizeof text, "unhandled exception 0x%08lX",
                  static_cast<unsigned long>(g_log.exception));
    g_log.error = text;
    UnlockLog();
    if (EmitSummary())
        TerminateProcess(GetCurrentProcess(), kExitCrash);
    Sleep(INFINITE); // the other reporter ends the process
    return EXCEPTION_EXECUTE_HANDLER;
}

void InstallCrashReport()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(Crashed);
}

void EndRun(int exitCode)
{
    DisarmWatchdog();
    if (!EmitSummary())
        Sleep(INFINITE); // the watchdog reported: it ends the process
    std::fflush(stdout);
    std::exit(exitCode);
}
