// Message boxes and windows a module creates. The module's imports of the
// user32 message box functions are redirected to velkhost, which records the
// box (caption, text, icon, buttons, owner) and answers it at once: OK where
// there is one, else Cancel, else No, else Abort. A CBT hook records every
// other top-level window created on the host's thread.
#pragma once

#include <windows.h>

// The host window: boxes it owns are reported with owner "host".
void SetHostWindow(HWND window);

// Redirects the module's message box imports; returns how many were found.
int CaptureMessageBoxes(HMODULE module);

void StartWindowWatch();
void StopWindowWatch();
