// The frame both main dialogs are built on: the dialog's state reaches its
// procedure through the creation parameter, the dialog is laid out from its
// template at its screen's scaling (and again when it moves to a screen of
// another scaling), mouse positions reach the widgets in layout pixels, the
// kit is set up when the dialog starts and released with the state, an
// ended dialog drops what is still queued for it, changes are counted until
// their render starts, and the preview's progress callback feeds the widgets
// one mouse message at a time.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/filter_record.h"
#include "resources/resource_ids.h"
#include "toolkit/preview/preview_scale.h"
#include "toolkit/widgets/kit.h"
#include "toolkit/widgets/scaled_window.h"

// Sent when a window moves to a screen of another scaling (Windows 8.1 on).
constexpr UINT kDpiChanged = 0x02E0;

struct DialogFrame {
    HWND window = nullptr;
    Kit kit = {};
    WindowLayout layout = {};
    int pendingChanges = 0; // changes since the render request was posted
    bool ready = false;     // the first paint has set everything up
    bool closed = false;    // ended: what is still queued for it is not handled
    int16_t result = 0;     // noErr, userCanceledErr or the failure that ended it

    DialogFrame() = default;
    DialogFrame(const DialogFrame&) = delete;
    DialogFrame& operator=(const DialogFrame&) = delete;
    ~DialogFrame()
    {
        ReleaseKit(kit);
        ReleaseWindowLayout(nullptr, layout);
    }
};

// Runs the modal dialog template `name` of the module over owner, with
// `state` as the creation parameter. False when the dialog could not be
// created.
bool RunFrameDialog(const char* name, HWND owner, DLGPROC procedure, void* state);

// The state given to RunFrameDialog: kept at WM_INITDIALOG, read back for
// every later message; null for the messages before it (WM_SETFONT).
void* AttachDialogState(HWND window, UINT message, LPARAM lParam);
template <class State>
State* DialogStateOf(HWND window, UINT message, LPARAM lParam)
{
    return static_cast<State*>(AttachDialogState(window, message, lParam));
}

// WM_INITDIALOG: the window laid out from template `name`, and the kit's
// texture, cursors and fonts.
void StartFrame(DialogFrame& frame, HWND window, const char* name, KitVariant variant);

// What every message goes through first: a mouse message's position is
// mapped into layout pixels (lParam is changed), a dpi change lays the
// dialog out again, and the layout is detached when the window goes.
void FrameMessage(DialogFrame& frame, UINT message, WPARAM wParam, LPARAM& lParam);

// An ended dialog handles nothing more: true when the message is to be
// dropped (a paint is validated so it does not come back).
bool DroppedAfterEnd(const DialogFrame& frame, UINT message);

// The mouse messages the widgets are fed.
inline bool IsMouseMessage(UINT message)
{
    return message >= kFirstMouseMessage && message <= kLastMouseMessage;
}

// Posts REQ_RENDER unless one is pending, and counts the change.
void RequestRender(DialogFrame& frame);
// Posts REQ_RENDER without counting a change (a repaint, a pop-up's choice).
void PostRender(const DialogFrame& frame);

// Ends the dialog with `result`; its state releases what it holds when the
// dialog's run returns.
void EndFrame(DialogFrame& frame, int16_t result);

// What every message of a main dialog goes through before its own handlers:
// the state attached (null before WM_INITDIALOG), FrameMessage, the guard of
// an ended dialog, and the widgets fed the mouse (a change asks for a
// render). Null when the message is not the dialog's to handle; the
// procedure then returns message == WM_PAINT. DispatchMouse(State&, ...) is
// the dialog's own dispatcher.
template <class State>
State* EnterMessage(HWND window, UINT message, WPARAM wParam, LPARAM& lParam)
{
    State* state = DialogStateOf<State>(window, message, lParam);
    if (!state)
        return nullptr;
    FrameMessage(state->frame, message, wParam, lParam);
    if (DroppedAfterEnd(state->frame, message))
        return nullptr;
    if (IsMouseMessage(message) && state->frame.ready && DispatchMouse(*state, message, wParam, lParam))
        RequestRender(state->frame);
    return state;
}

// The first render's image: the whole image asked of the host and reduced
// into the preview buffers (their filled part in size). Without buffers from
// the host the dialog ends with the request's result and this is false.
bool FetchPreviewImage(DialogFrame& frame, FilterRecord* host, int32_t planes, float previewScale,
                       PreviewSize& size);

// The mouse dispatcher of a dialog: true when a value changed.
using MouseDispatch = bool (*)(void* dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The part of a preview callback that keeps the widgets live: at most one
// pending mouse message of the dialog's own is taken and goes to dispatch;
// one for a control (a check box, the preset box) is left, with all after
// it, for when the render is over. Returns 1, abandon the render, when that
// changed a value or when a change beyond the first is waiting.
int32_t PreviewMouse(DialogFrame& frame, MouseDispatch dispatch, void* dialog);
