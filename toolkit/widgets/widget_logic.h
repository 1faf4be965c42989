// The press logic of picture buttons, text links, colour swatches and
// three-state toggles: what each does with a mouse message, without drawing.
// The Windows halves (image_button.cpp and friends) draw and post what these
// decide.
#pragma once

#include <cstdint>

#include "toolkit/widgets/pointer.h"

// ImageButton states: velk2000 uses 0 idle, 1 pressed, 3 fired; velk3d 0
// idle, 1 pressed, 2 pressed with the pointer outside.
enum ButtonPicture : uint8_t { DrawNothing, DrawNormal, DrawPressed };

struct ButtonLogic {
    int32_t x, y, width, height;
    int32_t state;
    int32_t command; // posted as WM_COMMAND when the button fires; 0: none
    KitVariant variant;
};

struct ButtonReaction {
    bool claimed;
    ButtonPicture draw;
    bool fire; // post the command (only when it is not 0)
};

ButtonReaction ButtonMouse(ButtonLogic& b, uint32_t message, uintptr_t lParam);

struct LinkLogic {
    int32_t shown;   // set by the first paint; an unpainted link ignores the mouse
    int32_t visited;
    int32_t left, top, right, bottom;
    int32_t command; // posted as WM_USER; 0: none
    char text[40];
};

struct LinkReaction {
    bool claimed;
    bool handCursor;
    bool post;
};

LinkReaction LinkMouse(LinkLogic& link, uint32_t message, uintptr_t lParam);

// A colour setting as the dialogs keep it: red, green, blue, then the source
// (only its low two bits count).
enum SwatchSource : uint8_t { FromForeground = 0, FromBackground = 1, FromPicker = 2, FromTransparent = 3 };

// Resolves a setting into a paint value: 0xFFBBGGRR for a solid colour, or
// 0x00FFFFFF (top byte 0) for the transparency checkerboard, which only an
// image with 4 planes shows. swapRedBlue exchanges the red and blue bytes.
uint32_t ResolveSwatchColour(const uint8_t setting[4], int32_t planes, const uint8_t fore[3],
                             const uint8_t back[3], bool swapRedBlue);

// The pixel at client (x, y) of a swatch filled with a paint value, 0x00BBGGRR.
uint32_t SwatchPixel(uint32_t paintValue, int32_t x, int32_t y);

// A swatch claims a left press inside its rectangle, edges included.
bool SwatchMouse(const Box& rect, uint32_t message, uintptr_t lParam);

struct ToggleLogic {
    int32_t x, y, tileWidth, tileHeight;
    int32_t state; // 0, 1, 2
};

// A left press in the 17 x 17 box at the toggle's corner advances the state.
bool ToggleMouse(ToggleLogic& t, uint32_t message, uintptr_t lParam);
