// BitmapImage: one bitmap resource selected into a memory surface, with the
// size the art is known to have. Pictures may be shared by several widgets;
// their creator destroys them, once.
#pragma once

#include <windows.h>

#include <cstdint>

struct BitmapImage {
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ old;
    int32_t width, height;
};

// Null when the bitmap or the surface cannot be had (the widget is then absent).
BitmapImage* CreateBitmapImage(HDC reference, HINSTANCE module, int id, int32_t width,
                               int32_t height);
// Deletes the surface, then the bitmap. Null is allowed.
void DestroyBitmapImage(BitmapImage* picture);
