// Dialog windows laid out from their templates in layout pixels and shown
// at their screen's scaling. A laid-out window carries its layout and scale
// (a window property), so every widget, pop-up and drawing context of it
// finds them from the window handle alone. Nothing process-wide changes: the
// host owns the process's DPI awareness.
#pragma once

#include <windows.h>

#include "toolkit/layout/dialog_layout.h"
#include "toolkit/layout/scale.h"

struct WindowLayout {
    DialogLayout layout;
    Scale scale;
    HFONT controlFont; // the template controls' font at this scale
};

// WM_INITDIALOG: reads template `name` of module, finds the scale the system
// laid the window out for, then sizes the window (about its centre) and
// places its controls from the layout at that scale. The layout is attached
// to the window until ReleaseWindowLayout. False when the template cannot
// be read: the window stays as the system laid it out, unscaled.
bool LayOutDialog(HWND window, HINSTANCE module, const char* name, WindowLayout& out);
// WM_DPICHANGED: the same layout at the new dpi, in the rectangle the
// system suggests (null: about the window's centre).
void RescaleDialog(HWND window, WindowLayout& out, int dpi, const RECT* suggested);
// Detaches the layout from the window and deletes the font.
void ReleaseWindowLayout(HWND window, WindowLayout& out);

// The layout attached to a window or to the dialog a control belongs to;
// null when there is none.
const WindowLayout* LayoutOf(HWND window);
// The scale of the window's layout; unscaled without one.
Scale ScaleOf(HWND window);

// A drawing context in layout pixels: at another scale than 96 dpi, a world
// transform that enlarges by dpi / 96, with pictures enlarged without
// blending (nearest neighbour).
void UseLayoutPixels(HDC dc, Scale scale);
// Back to device pixels (for copying between two contexts pixel for pixel).
void UseDevicePixels(HDC dc);
