// TextLink: a line of text in the link font that posts WM_USER with its
// command id when pressed, and turns from blue to purple once visited.
#pragma once

#include <windows.h>

#include "toolkit/widgets/kit.h"
#include "toolkit/widgets/widget_logic.h"

struct TextLink {
    LinkLogic logic;
};

TextLink* CreateTextLink(int32_t left, int32_t top, int32_t width, int32_t height,
                         int32_t command, const char* text);
void DestroyTextLink(TextLink* link);

// Writes the text (purple when visited, else blue) and makes the link live.
void PaintTextLink(TextLink* link, const Kit& kit, HDC target);
// A move over a live link shows the pointing hand; a press posts WM_USER.
bool TextLinkMouse(TextLink* link, const Kit& kit, UINT message, WPARAM wParam, LPARAM lParam);
