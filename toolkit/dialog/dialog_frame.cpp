#include "toolkit/dialog/dialog_frame.h"

#include "toolkit/module/module.h"
#include "toolkit/preview/fetch_whole_image.h"
#include "toolkit/preview/preview_reduce.h"
#include "toolkit/preview/preview_store.h"

bool RunFrameDialog(const char* name, HWND owner, DLGPROC procedure, void* state)
{
    return DialogBoxParamA(ModuleInstance(), name, owner, procedure,
                           reinterpret_cast<LPARAM>(state)) != -1;
}

void* AttachDialogState(HWND window, UINT message, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    return reinterpret_cast<void*>(GetWindowLongPtrA(window, DWLP_USER));
}

void StartFrame(DialogFrame& frame, HWND window, const char* name, KitVariant variant)
{
    frame.window = window;
    LayOutDialog(window, ModuleInstance(), name, frame.layout);
    StartKit(frame.kit, variant, window, ModuleInstance());
}

void FrameMessage(DialogFrame& frame, UINT message, WPARAM wParam, LPARAM& lParam)
{
    if (IsMouseMessage(message)) {
        // A drag ends wherever the button is released: the dialog holds the
        // mouse from a press to its release.
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)
            SetCapture(frame.window);
        else if (message == WM_LBUTTONUP && GetCapture() == frame.window)
            ReleaseCapture();
        lParam = static_cast<LPARAM>(PointerToLayout(frame.layout.scale, static_cast<uintptr_t>(lParam)));
    } else if (message == kDpiChanged) {
        RescaleDialog(frame.window, frame.layout, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        RemakeBackBuffer(frame.kit);
    } else if (message == WM_DESTROY) {
        ReleaseWindowLayout(frame.window, frame.layout);
    }
}

bool DroppedAfterEnd(const DialogFrame& frame, UINT message)
{
    if (!frame.closed)
        return false;
    if (message == WM_PAINT)
        ValidateRect(frame.window, nullptr);
    return true;
}

void PostRender(const DialogFrame& frame)
{
    PostMessageA(frame.window, WM_USER, REQ_RENDER, 0);
}

void RequestRender(DialogFrame& frame)
{
    if (frame.pendingChanges == 0)
        PostRender(frame);
    ++frame.pendingChanges;
}

void EndFrame(DialogFrame& frame, int16_t result)
{
    frame.result = result;
    frame.ready = false;
    frame.closed = true;
    EndDialog(frame.window, 0);
}

bool FetchPreviewImage(DialogFrame& frame, FilterRecord* host, int32_t planes, float previewScale,
                       PreviewSize& size)
{
    const OSErr fetched = FetchWholeImage(host, static_cast<int16_t>(planes));
    if (fetched != noErr) {
        EndFrame(frame, fetched);
        return false;
    }
    size = FillPreviewBuffers(previewScale, static_cast<const uint8_t*>(host->inData), host->inRowBytes,
                              planes, host->haveMask ? static_cast<const uint8_t*>(host->maskData) : nullptr,
                              host->maskRowBytes, host->imageSize.h, host->imageSize.v,
                              static_cast<uint8_t*>(host->outData), PreviewStoreBuffers());
    return true;
}

int32_t PreviewMouse(DialogFrame& frame, MouseDispatch dispatch, void* dialog)
{
    // The peek also sees the messages of the dialog's controls. Those stay
    // queued, with whatever came after them, so that a click on a check box
    // or the preset box acts, in order, once the render is over.
    MSG msg;
    if (PeekMessageA(&msg, frame.window, kFirstMouseMessage, kLastMouseMessage, PM_NOREMOVE) &&
        msg.hwnd == frame.window &&
        PeekMessageA(&msg, frame.window, kFirstMouseMessage, kLastMouseMessage, PM_REMOVE)) {
        FrameMessage(frame, msg.message, msg.wParam, msg.lParam);
        if (dispatch(dialog, msg.message, msg.wParam, msg.lParam))
            return 1;
    }
    if (frame.pendingChanges > 1) {
        --frame.pendingChanges;
        return 1;
    }
    return 0;
}
