// Message boxes a module shows, captured: the module's imports of the user32
// message box functions are redirected here, so that every box is recorded
// (caption, text, icon, buttons, owner) and answered at once, without a
// window: with the scripted answer when one was set, otherwise OK where
// there is one, else Cancel, else No, else Abort.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CapturedBox {
    bool hasCaption = false, hasText = false;
    std::string caption, text; // UTF-8
    std::string icon;          // error|warning|information|question|none|other
    std::string buttons;       // ok|okcancel|yesno|...
    int answer = 0;            // the button id returned
    HWND owner = nullptr;
};

// Redirects the module's message box imports; returns how many were found.
int CaptureMessageBoxes(HMODULE module);

// The answer of the next captured box (IDOK, IDCANCEL, IDYES, ...); 0 goes
// back to the cautious default.
void SetNextBoxAnswer(int answer);

// Called for every box as it is captured, on the thread that showed it.
typedef void (*BoxObserver)(const CapturedBox& box);
void SetBoxObserver(BoxObserver observer);

// Every box captured so far, in order.
std::vector<CapturedBox> CapturedBoxes();
