// Abnormal ends of a run: the watchdog's time limit and unhandled exceptions
// (a crashing module). Both print the summary and end the process at once.
#pragma once

// Ends the process with kExitTimeout after `seconds` unless DisarmWatchdog
// is called first.
void StartWatchdog(int seconds);
void DisarmWatchdog();

// Reports an unhandled exception in the summary and exits with kExitCrash,
// instead of the system's crash dialog or debugger.
void InstallCrashReport();

// Prints the summary and exits with the code; if the watchdog or the crash
// report won the race to report, waits for it to end the process.
[[noreturn]] void EndRun(int exitCode);
