#include "toolkit/widgets/image_button.h"

#include "toolkit/widgets/scaled_window.h"

#include <new>

#include "toolkit/widgets/kit.h"

namespace {

ImageButton* Make(KitVariant variant, BitmapImage* normal, BitmapImage* pressed, int32_t x,
                  int32_t y, int32_t command, bool owns)
{
    ImageButton* button = (normal && pressed) ? new (std::nothrow) ImageButton : nullptr;
    if (!button)
        return nullptr;
    button->normal = normal;
    button->pressed = pressed;
    button->logic = ButtonLogic{x, y, normal->width, normal->height, 0, command, variant};
    button->ownsPictures = owns;
    return button;
}

} // namespace

ImageButton* CreateImageButton(KitVariant variant, HDC reference, HINSTANCE module, int normalId,
                               int pressedId, int32_t width, int32_t height, int32_t x, int32_t y,
                               int32_t command)
{
    BitmapImage* normal = CreateBitmapImage(reference, module, normalId, width, height);
    BitmapImage* pressed = CreateBitmapImage(reference, module, pressedId, width, height);
    ImageButton* button = Make(variant, normal, pressed, x, y, command, true);
    if (!button) {
        DestroyBitmapImage(normal);
        DestroyBitmapImage(pressed);
    }
    return button;
}

ImageButton* CreateImageButton(KitVariant variant, BitmapImage* normal, BitmapImage* pressed,
                               int32_t x, int32_t y, int32_t command)
{
    return Make(variant, normal, pressed, x, y, command, false);
}

void DestroyImageButton(ImageButton* button)
{
    if (!button)
        return;
    if (button->ownsPictures) {
        DestroyBitmapImage(button->normal);
        DestroyBitmapImage(button->pressed);
    }
    delete button;
}

void PaintImageButton(const ImageButton* button, HDC target)
{
    if (button)
        TransparentBlit(target, button->normal, button->logic.x, button->logic.y);
}

bool ImageButtonMouse(ImageButton* button, HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (!button)
        return false;
    const ButtonReaction r = ButtonMouse(button->logic, message, static_cast<uintptr_t>(lParam));
    if (r.draw != DrawNothing) {
        HDC dc = GetDC(dialog);
        UseLayoutPixels(dc, ScaleOf(dialog));
        TransparentBlit(dc, r.draw == DrawPressed ? button->pressed : button->normal,
                        button->logic.x, button->logic.y);
        ReleaseDC(dialog, dc);
    }
    if (r.fire)
        PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(button->logic.command), 0);
    return r.claimed;
}
