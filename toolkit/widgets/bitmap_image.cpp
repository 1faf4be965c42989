#include "toolkit/widgets/bitmap_image.h"

#include <new>

BitmapImage* CreateBitmapImage(HDC reference, HINSTANCE module, int id, int32_t width,
                               int32_t height)
{
    HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
    if (!bitmap)
        return nullptr;
    HDC dc = CreateCompatibleDC(reference);
    BitmapImage* picture = dc ? new (std::nothrow) BitmapImage : nullptr;
    if (!picture) {
        if (dc)
            DeleteDC(dc);
        DeleteObject(bitmap);
        return nullptr;
    }
    picture->bitmap = bitmap;
    picture->dc = dc;
    picture->old = SelectObject(dc, bitmap);
    picture->width = width;
    picture->height = height;
    return picture;
}

void DestroyBitmapImage(BitmapImage* picture)
{
    if (!picture)
        return;
    SelectObject(picture->dc, picture->old);
    DeleteDC(picture->dc);
    DeleteObject(picture->bitmap);
    delete picture;
}
