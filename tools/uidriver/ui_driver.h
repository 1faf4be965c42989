// The UI driver: works a module's modal dialogs from a second thread the way
// a person would, and deterministically. It posts mouse and key messages in
// client coordinates to the window under the point, so that they reach the
// dialog procedure and the queue peeking of a render alike; after every step
// it waits until the UI thread is idle: every message posted before the step
// handled, no message, paint or input pending, any render finished.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct UiDriver {
    DWORD uiThread = 0;
    HWND dialog = nullptr;  // the window the input goes to
    int timeoutMs = 10000;  // for every wait
    HANDLE hostDone = nullptr; // optional: set when the UI thread left the module
    std::string error;      // why the last step failed
};

// Watches the UI thread's message retrieval (one driver per process).
bool AttachUiDriver(UiDriver& d, DWORD uiThread);
void DetachUiDriver(UiDriver& d);

// True when the UI thread is idle (or the target dialog has closed); false
// with d.error when it did not settle within the timeout.
bool WaitIdle(UiDriver& d);

// The dialogs a module shows, by their template: the main dialog "samples"
// (it has the preview frame 1017), the colour-source pop-up "BACK" (1040)
// and the save-preset pop-up "SAVE" (1037).
enum class DialogKind { Main, ColourSource, SavePreset, Any };
bool ParseDialogKind(const std::string& name, DialogKind& kind);
std::string KindName(DialogKind kind); // "the main dialog", for messages

// Waits until a visible, enabled dialog of that kind exists on the UI thread
// and makes it the target. False with d.error on timeout.
bool FindDialog(UiDriver& d, DialogKind kind);
// The dialogs of the UI thread that are open now, newest last.
std::vector<HWND> OpenDialogs(const UiDriver& d);
bool TargetClosed(const UiDriver& d);

// Pointer input at client (x, y) of the target dialog. `keys` are extra
// MK_ flags held during the gesture (MK_SHIFT, MK_CONTROL).
bool Move(UiDriver& d, int x, int y, WPARAM keys = 0);
bool Press(UiDriver& d, int x, int y, WPARAM keys = 0);
bool Release(UiDriver& d, int x, int y, WPARAM keys = 0);
bool Click(UiDriver& d, int x, int y);
bool DoubleClick(UiDriver& d, int x, int y);
// Arms a click at (x, y) that is posted when the dialog next takes a render
// request from its queue, so it arrives while that render runs; returns at
// once. ArmedClickPending: armed and not yet posted.
bool ClickDuringNextRender(UiDriver& d, int x, int y);
bool ArmedClickPending();
bool RightClick(UiDriver& d, int x, int y);
// Press at the first point, move through every point with `steps` moves per
// segment, release at the last. Stream: the moves arrive as a real drag's do,
// while the dialog may still be busy with the earlier ones (renders are
// abandoned, or complete in between when the dialog is quick). Settle: the
// driver waits for idle after every move. Burst: the whole gesture is queued
// before the dialog takes any of it, so it ends in one render however the
// threads are scheduled (for checks that count renders, as undo does); its
// points stay inside the dialog.
enum class DragPace { Stream, Settle, Burst };
bool Drag(UiDriver& d, const std::vector<POINT>& path, int steps, WPARAM keys = 0,
          DragPace pace = DragPace::Stream);

// Escape and Enter go to the dialog manager as key presses; F1 becomes the
// WM_HELP a real F1 produces.
bool Key(UiDriver& d, const std::string& name);
// A click on a check box (or any button) of the target, as a real click.
bool ClickControl(UiDriver& d, int id);
// Chooses the combo box entry with this text (trailing blanks aside when no
// entry matches exactly) and notifies the dialog as a real choice does
// (CBN_SELCHANGE).
bool SelectComboText(UiDriver& d, int id, const std::string& text);
// Replaces a control's text (the edit field of an editable combo box).
bool SetControlText(UiDriver& d, int id, const std::string& text);

// Control state, read while the UI thread is idle.
int CheckState(const UiDriver& d, int id);
std::string ControlText(const UiDriver& d, int id);
std::string WindowTitle(const UiDriver& d);
std::vector<std::string> ComboItems(const UiDriver& d, int id);

// What the target's client area shows, read back from the window
// (window_capture.cpp).
struct Capture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // rows of width * 3 bytes
    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};
bool CaptureClient(UiDriver& d, Capture& out);
// The oldest open dialog's client area with every newer one (a pop-up over
// it) drawn in at its place, as a person sees them together.
bool CaptureAll(UiDriver& d, Capture& out);
bool SavePng(const std::string& path, const Capture& c);
