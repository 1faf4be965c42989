#include "toolkit/widgets/kit.h"

#include <cstring>

#include "toolkit/widgets/bitmap_image.h"
#include "toolkit/widgets/engraved_line.h"
#include "toolkit/widgets/widget_logic.h"

namespace {

// Without antialiasing, text written again over itself stays as it was (the
// dialogs rewrite their captions at every paint without clearing them).
HFONT DialogFont(bool underline)
{
    return CreateFontA(13, 0, 0, 0, 0, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, 0,
                       0, NONANTIALIASED_QUALITY, 0x22, "ms sans serif");
}

template <class T>
void Delete(T& object)
{
    if (object)
        DeleteObject(object);
    object = nullptr;
}

} // namespace

void StartKit(Kit& kit, KitVariant variant, HWND dialog, HINSTANCE module)
{
    kit.variant = variant;
    kit.dialog = dialog;
    HDC dc = GetDC(dialog);
    LoadKitTexture(kit, dc, module, 125);
    ReleaseDC(dialog, dc);
    LoadKitCursors(kit, module);
    CreateKitFonts(kit);
}

void CreateKitFonts(Kit& kit)
{
    kit.textFont = DialogFont(false);
    kit.linkFont = DialogFont(true);
}

void LoadKitCursors(Kit& kit, HINSTANCE module)
{
    kit.arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    kit.hand = LoadCursorA(module, MAKEINTRESOURCEA(104));
}

bool LoadKitTexture(Kit& kit, HDC reference, HINSTANCE module, int resourceId)
{
    kit.texture = LoadBitmapA(module, MAKEINTRESOURCEA(resourceId));
    if (!kit.texture)
        return false;
    kit.textureDC = CreateCompatibleDC(reference);
    if (!kit.textureDC) {
        Delete(kit.texture);
        return false;
    }
    kit.textureOld = SelectObject(kit.textureDC, kit.texture);
    kit.tileWidth = 57;
    kit.tileHeight = 82;
    return true;
}

bool CreateBackBuffer(Kit& kit, HDC reference, int32_t width, int32_t height)
{
    RECT client = {};
    if (kit.dialog && GetClientRect(kit.dialog, &client)) {
        width = client.right > width ? client.right : width;
        height = client.bottom > height ? client.bottom : height;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    kit.backBitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!kit.backBitmap)
        return false;
    kit.backDC = CreateCompatibleDC(reference);
    if (!kit.backDC) {
        Delete(kit.backBitmap);
        return false;
    }
    kit.backOld = SelectObject(kit.backDC, kit.backBitmap);
    kit.backBits = static_cast<uint8_t*>(bits);
    kit.backWidth = width;
    kit.backHeight = height;
    if (kit.textFont)
        SelectObject(kit.backDC, kit.textFont);
    SetBkMode(kit.backDC, TRANSPARENT);
    return true;
}

void ReleaseKit(Kit& kit)
{
    if (kit.backDC) {
        SelectObject(kit.backDC, kit.backOld);
        DeleteDC(kit.backDC);
    }
    Delete(kit.backBitmap);
    if (kit.textureDC) {
        SelectObject(kit.textureDC, kit.textureOld);
        DeleteDC(kit.textureDC);
    }
    Delete(kit.texture);
    Delete(kit.textFont);
    Delete(kit.linkFont);
    // Cursors from resources are shared by the system and not destroyed.
    const KitVariant variant = kit.variant;
    const HWND dialog = kit.dialog;
    std::memset(&kit, 0, sizeof kit);
    kit.variant = variant;
    kit.dialog = dialog;
}

Box ControlRect(HWND dialog, int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    POINT a = {r.left, r.top}, b = {r.right, r.bottom};
    ScreenToClient(dialog, &a);
    ScreenToClient(dialog, &b);
    return {a.x, a.y, b.x, b.y};
}

void FillTexture(const Kit& kit, HDC target, int32_t left, int32_t top, int32_t right,
                 int32_t bottom)
{
    if (!kit.textureDC || kit.tileWidth <= 0 || kit.tileHeight <= 0 || right <= left ||
        bottom <= top)
        return;
    const int32_t w = kit.tileWidth, h = kit.tileHeight;
    const int32_t firstRow = (top >= 0 ? top / h : (top - h + 1) / h) * h;
    const int32_t firstColumn = (left >= 0 ? left / w : (left - w + 1) / w) * w;
    for (int32_t y = firstRow; y < bottom; y += h) {
        const int32_t y0 = y > top ? y : top, y1 = y + h < bottom ? y + h : bottom;
        for (int32_t x = firstColumn; x < right; x += w) {
            const int32_t x0 = x > left ? x : left, x1 = x + w < right ? x + w : right;
            BitBlt(target, x0, y0, x1 - x0, y1 - y0, kit.textureDC, x0 - x, y0 - y, SRCCOPY);
        }
    }
}

void TransparentBlit(HDC target, const BitmapImage* picture, int32_t x, int32_t y)
{
    if (!picture)
        return;
    GdiTransparentBlt(target, x, y, picture->width, picture->height, picture->dc, 0, 0,
                      picture->width, picture->height, RGB(255, 255, 255));
}

void EngravedLine(HDC target, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    WalkEngravedLine(x0, y0, x1, y1,
                     [target](int32_t x, int32_t y, uint32_t colour) { SetPixelV(target, x, y, colour); });
}

void WriteText(HDC target, int32_t x, int32_t y, const char* text, int count)
{
    if (!text)
        return;
    TextOutA(target, x, y, text, count < 0 ? static_cast<int>(std::strlen(text)) : count);
}

void TextOverTexture(const Kit& kit, int32_t x, int32_t y, const char* text, int32_t width,
                     int32_t height)
{
    if (!kit.backDC)
        return;
    FillTexture(kit, kit.backDC, x, y, x + width, y + height);
    WriteText(kit.backDC, x, y, text);
    HDC window = GetDC(kit.dialog);
    BitBlt(window, x, y, width, height, kit.backDC, x, y, SRCCOPY);
    ReleaseDC(kit.dialog, window);
}

void DrawOwnerCaption(const Kit& kit, HWND dialog, const DRAWITEMSTRUCT* item)
{
    if (!item || !item->hDC)
        return;
    char text[50] = "";
    GetDlgItemTextA(dialog, static_cast<int>(item->CtlID), text, sizeof text);
    const Box r = ControlRect(dialog, static_cast<int>(item->CtlID));
    HDC dc = item->hDC;
    POINT origin;
    SetViewportOrgEx(dc, -r.left, -r.top, &origin);
    FillTexture(kit, dc, r.left, r.top, r.right, r.bottom);
    const HGDIOBJ font = SelectObject(dc, kit.textFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    WriteText(dc, r.left, r.top, text);
    SelectObject(dc, font);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

void DrawAnchorText(HDC target, HWND dialog, int id)
{
    char text[50] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    const Box r = ControlRect(dialog, id);
    WriteText(target, r.left, r.top, text);
}

void InsetFill(HDC target, int32_t left, int32_t top, int32_t right, int32_t bottom,
               uint32_t paintValue)
{
    if ((paintValue >> 24) != 0) {
        HBRUSH brush = CreateSolidBrush(paintValue & 0x00FFFFFFu);
        const RECT r = {left + 2, top + 2, right - 2, bottom - 2};
        FillRect(target, &r, brush);
        DeleteObject(brush);
        return;
    }
    for (int32_t y = top + 2; y < bottom - 2; ++y)
        for (int32_t x = left + 2; x < right - 2; ++x)
            SetPixelV(target, x, y, SwatchPixel(paintValue, x, y));
}

HDC KitWindowDC(const Kit& kit)
{
    HDC dc = GetDC(kit.dialog);
    if (kit.textFont)
        SelectObject(dc, kit.textFont);
    SetBkMode(dc, TRANSPARENT);
    return dc;
}
