#include "toolkit/widgets/kit.h"

#include <cstring>

#include "toolkit/widgets/bitmap_image.h"
#include "toolkit/widgets/engraved_line.h"
#include "toolkit/widgets/scaled_window.h"
#include "toolkit/widgets/widget_logic.h"

namespace {

// Without antialiasing, text written again over itself stays as it was (the
// dialogs rewrite their captions at every paint without clearing them).
HFONT DialogFont(bool underline, int width)
{
    return CreateFontA(13, width, 0, 0, 0, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                       0, 0, NONANTIALIASED_QUALITY, 0x22, "ms sans serif");
}

// Every caption, read-out and text box was measured for "MS Sans Serif" at 13
// pixels, whose alphabet gives the dialog base unit 6: at most 337 pixels for
// "A-Za-z". A substitute that is wider (Wine's stand-in gives 7) would cut
// texts at their boxes' edges; it is narrowed to the middle of that range.
// The real font is never touched.
constexpr int kWidestAlphabet = 337, kNominalAlphabet = 312;

int NarrowedWidth(HFONT font)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HDC screen = GetDC(nullptr);
    if (!screen || !font)
        return 0;
    const HGDIOBJ old = SelectObject(screen, font);
    SIZE extent = {};
    TEXTMETRICA metrics = {};
    GetTextExtentPoint32A(screen, kAlphabet, 52, &extent);
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    if (extent.cx <= kWidestAlphabet || metrics.tmAveCharWidth <= 0)
        return 0;
    const int width = metrics.tmAveCharWidth * kNominalAlphabet / extent.cx;
    return width > 0 ? width : 1;
}

template <class T>
void Delete(T& object)
{
    if (object)
        DeleteObject(object);
    object = nullptr;
}

void ReleaseBackBuffer(Kit& kit)
{
    if (kit.backDC) {
        SelectObject(kit.backDC, kit.backOld);
        DeleteDC(kit.backDC);
    }
    kit.backDC = nullptr;
    Delete(kit.backBitmap);
    kit.backBits = nullptr;
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
    kit.textFont = DialogFont(false, 0);
    if (const int width = NarrowedWidth(kit.textFont)) {
        DeleteObject(kit.textFont);
        kit.textFont = DialogFont(false, width);
    }
    LOGFONTA chosen = {};
    GetObjectA(kit.textFont, sizeof chosen, &chosen);
    kit.linkFont = DialogFont(true, chosen.lfWidth);
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


bool RemakeBackBuffer(Kit& kit)
{
    if (!kit.backDC)
        return false;
    ReleaseBackBuffer(kit);
    HDC dc = GetDC(kit.dialog);
    const bool made = CreateBackBuffer(kit, dc, kit.backLeast[0], kit.backLeast[1]);
    ReleaseDC(kit.dialog, dc);
    return made;
}

bool CreateBackBuffer(Kit& kit, HDC reference, int32_t width, int32_t height)
{
    kit.backLeast[0] = width;
    kit.backLeast[1] = height;
    const Scale scale = ScaleOf(kit.dialog);
    const WindowLayout* laidOut = LayoutOf(kit.dialog);
    RECT client = {};
    if (laidOut) {
        width = laidOut->layout.width > width ? laidOut->layout.width : width;
        height = laidOut->layout.height > height ? laidOut->layout.height : height;
    } else if (kit.dialog && GetClientRect(kit.dialog, &client)) {
        width = client.right > width ? client.right : width;
        height = client.bottom > height ? client.bottom : height;
    }
    // Layout pixels for whoever draws into it, device pixels in memory.
    width = ToDevice(scale, width);
    height = ToDevice(scale, height);
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
    UseLayoutPixels(kit.backDC, scale);
    return true;
}

void ReleaseKit(Kit& kit)
{
    ReleaseBackBuffer(kit);
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
    if (const WindowLayout* laidOut = LayoutOf(dialog)) {
        Box box = LayoutBox(laidOut->layout, id);
        // A combo box's template height includes its drop-down list: the
        // box is the part that shows.
        char kind[16] = "";
        HWND control = GetDlgItem(dialog, id);
        RECT shown = {};
        if (control && GetClassNameA(control, kind, sizeof kind) && lstrcmpiA(kind, "ComboBox") == 0 &&
            GetWindowRect(control, &shown))
            box.bottom = box.top + ToLayout(laidOut->scale, shown.bottom - shown.top - 1) + 1;
        return box;
    }
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

void PutPixel(HDC target, int32_t x, int32_t y, COLORREF colour)
{
    if (GetGraphicsMode(target) != GM_ADVANCED) {
        SetPixelV(target, x, y, colour);
        return;
    }
    // A layout pixel is a square of device pixels.
    const HGDIOBJ old = SelectObject(target, GetStockObject(DC_BRUSH));
    SetDCBrushColor(target, colour);
    PatBlt(target, x, y, 1, 1, PATCOPY);
    SelectObject(target, old);
}

void EngravedLine(HDC target, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    WalkEngravedLine(x0, y0, x1, y1,
                     [target](int32_t x, int32_t y, uint32_t colour) { PutPixel(target, x, y, colour); });
}

void CopyFromBack(const Kit& kit, HDC target, int32_t left, int32_t top, int32_t right,
                  int32_t bottom)
{
    if (!kit.backDC || right <= left || bottom <= top)
        return;
    const Scale scale = ScaleOf(kit.dialog);
    const Box d = ToDevice(scale, Box{left, top, right, bottom});
    UseDevicePixels(target);
    UseDevicePixels(kit.backDC);
    BitBlt(target, d.left, d.top, d.right - d.left, d.bottom - d.top, kit.backDC, d.left, d.top,
           SRCCOPY);
    UseLayoutPixels(kit.backDC, scale);
    UseLayoutPixels(target, scale);
}

void WriteText(HDC target, int32_t x, int32_t y, const char* text, int count)
{
    if (!text)
        return;
    TextOutA(target, x, y, text, count < 0 ? static_cast<int>(std::strlen(text)) : count);
}

int32_t TextWidth(const Kit& kit, const char* text)
{
    if (!kit.backDC || !text)
        return 0;
    SIZE extent = {};
    GetTextExtentPoint32A(kit.backDC, text, static_cast<int>(std::strlen(text)), &extent);
    return extent.cx;
}

int32_t WriteTextWithin(HDC target, int32_t x, int32_t y, const char* text, int32_t width)
{
    if (!text)
        return 0;
    // Trailing blanks draw nothing and take no room.
    int count = static_cast<int>(std::strlen(text));
    while (count > 0 && text[count - 1] == ' ')
        --count;
    int ends[128];
    SIZE extent = {};
    if (count == 0 || count > 128 || width <= 0 ||
        !GetTextExtentExPointA(target, text, count, 0, nullptr, ends, &extent) ||
        extent.cx <= width) {
        WriteText(target, x, y, text, count);
        return extent.cx;
    }
    // The blanks give up to half their width first, shared out evenly, and
    // the words are written one by one, each as the font sets it (advances
    // given by hand are whole layout pixels, too coarse for letters at a
    // larger scale). Only what is still too much is taken from every letter
    // alike.
    int dx[128];
    int blanks = 0, blankRoom = 0;
    for (int i = 0; i < count; ++i) {
        dx[i] = ends[i] - (i > 0 ? ends[i - 1] : 0);
        if (text[i] == ' ') {
            ++blanks;
            blankRoom += dx[i] / 2;
        }
    }
    const int excess = extent.cx - width;
    if (blanks > 0 && blankRoom >= excess) {
        int seen = 0;
        for (int i = 0; i < count;) {
            if (text[i] == ' ') {
                ++seen, ++i;
                continue;
            }
            int end = i;
            while (end < count && text[end] != ' ')
                ++end;
            const int start = (i > 0 ? ends[i - 1] : 0) - excess * seen / blanks;
            TextOutA(target, x + start, y, text + i, end - i);
            i = end;
        }
        return width;
    }
    int placed = 0;
    for (int i = 0; i < count; ++i) {
        const int end = static_cast<int>(int64_t(ends[i]) * width / extent.cx);
        dx[i] = end - placed;
        placed = end;
    }
    ExtTextOutA(target, x, y, 0, nullptr, text, static_cast<UINT>(count), dx);
    return width;
}

int32_t LinkWidth(const Kit& kit, const char* text)
{
    if (!kit.backDC)
        return 0;
    SelectObject(kit.backDC, kit.linkFont);
    const int32_t width = TextWidth(kit, text);
    SelectObject(kit.backDC, kit.textFont);
    return width;
}

void FillInvalid(const Kit& kit, HDC target, const RECT& invalid, Scale scale)
{
    const Box b = CoveringLayout(scale, Box{invalid.left, invalid.top, invalid.right, invalid.bottom});
    FillTexture(kit, target, b.left, b.top, b.right, b.bottom);
}

void TextOverTexture(const Kit& kit, int32_t x, int32_t y, const char* text, int32_t width,
                     int32_t height)
{
    if (!kit.backDC)
        return;
    FillTexture(kit, kit.backDC, x, y, x + width, y + height);
    WriteTextWithin(kit.backDC, x, y, text, width);
    HDC window = KitWindowDC(kit);
    CopyFromBack(kit, window, x, y, x + width, y + height);
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
    const Scale scale = ScaleOf(dialog);
    UseLayoutPixels(dc, scale);
    POINT origin;
    SetViewportOrgEx(dc, -ToDevice(scale, r.left), -ToDevice(scale, r.top), &origin);
    FillTexture(kit, dc, r.left, r.top, r.right, r.bottom);
    const HGDIOBJ font = SelectObject(dc, kit.textFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    WriteText(dc, r.left, r.top, text);
    SelectObject(dc, font);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    UseDevicePixels(dc);
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
            PutPixel(target, x, y, SwatchPixel(paintValue, x, y));
}

HDC KitWindowDC(const Kit& kit)
{
    HDC dc = GetDC(kit.dialog);
    if (kit.textFont)
        SelectObject(dc, kit.textFont);
    SetBkMode(dc, TRANSPARENT);
    UseLayoutPixels(dc, ScaleOf(kit.dialog));
    return dc;
}
