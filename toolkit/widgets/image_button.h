// ImageButton: a picture button that fires by posting WM_COMMAND with its
// command id to the dialog. Made from two resource ids it owns its pictures;
// made from two existing pictures it borrows them.
#pragma once

#include <windows.h>

#include "toolkit/widgets/bitmap_image.h"
#include "toolkit/widgets/widget_logic.h"

struct ImageButton {
    BitmapImage* normal;
    BitmapImage* pressed;
    ButtonLogic logic; // position, size (the normal picture's), state, command
    bool ownsPictures;
};

// Null when a picture cannot be loaded.
ImageButton* CreateImageButton(KitVariant variant, HDC reference, HINSTANCE module, int normalId,
                               int pressedId, int32_t width, int32_t height, int32_t x, int32_t y,
                               int32_t command);
ImageButton* CreateImageButton(KitVariant variant, BitmapImage* normal, BitmapImage* pressed,
                               int32_t x, int32_t y, int32_t command);
// Releases the pictures too when the button owns them. Null is allowed.
void DestroyImageButton(ImageButton* button);

// The normal picture at the button's place.
void PaintImageButton(const ImageButton* button, HDC target);
// Feeds a mouse message: the pressed or normal picture is drawn on a window
// context of its own, and WM_COMMAND posted to dialog when the button fires.
// Returns true when the button claimed the message.
bool ImageButtonMouse(ImageButton* button, HWND dialog, UINT message, WPARAM wParam,
                      LPARAM lParam);
