// What a module shows during a run: its message boxes (captured by the UI
// driver's box capture and logged here, with their owner as host, none or
// other) and every other top-level window created on the host's thread
// (a CBT hook).
#pragma once

#include <windows.h>

// The host window: boxes it owns are reported with owner "host".
void SetHostWindow(HWND window);

// Redirects the module's message boxes into the run log.
void CaptureModuleBoxes(HMODULE module);

void StartWindowWatch();
void StopWindowWatch();
