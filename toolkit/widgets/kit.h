// The drawing state a dialog shares with its widgets, and the drawing
// functions widgets and dialogs use alike. Each main dialog owns one Kit:
// it creates the pieces at initialisation and first paint and releases them
// all when it closes; the pop-ups borrow their main dialog's Kit.
#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/layout/scale.h"
#include "toolkit/widgets/pointer.h"

struct BitmapImage;

struct Kit {
    KitVariant variant;
    HWND dialog;
    // The back buffer: a 24-bit top-down DIB section with the text font
    // selected and a transparent text background.
    HDC backDC;
    HBITMAP backBitmap;
    HGDIOBJ backOld;
    uint8_t* backBits;
    int32_t backWidth, backHeight;   // device pixels
    int32_t backLeast[2];            // the least width and height asked for, layout pixels
    // The paper texture (bitmap 125) and its tile size.
    HDC textureDC;
    HBITMAP texture;
    HGDIOBJ textureOld;
    int32_t tileWidth, tileHeight;
    HFONT textFont; // "ms sans serif", 13 pixels
    HFONT linkFont; // the same, underlined
    HCURSOR arrow, hand;
};

// What every dialog starts with: its window and variant, the paper texture
// (bitmap 125), the cursors and the fonts.
void StartKit(Kit& kit, KitVariant variant, HWND dialog, HINSTANCE module);

// Fonts and cursors (initialisation). The hand is cursor 104 of the module.
void CreateKitFonts(Kit& kit);
void LoadKitCursors(Kit& kit, HINSTANCE module);
// The texture surface from bitmap 125, 57 x 82.
bool LoadKitTexture(Kit& kit, HDC reference, HINSTANCE module, int resourceId);
// The back buffer of the dialog's working area: at least width x height,
// and never smaller than the dialog's client area (dialog units in pixels
// depend on the system's font).
bool CreateBackBuffer(Kit& kit, HDC reference, int32_t width, int32_t height);
// The back buffer made again at the dialog's present scale (after a dpi
// change), at least as large as first asked for.
bool RemakeBackBuffer(Kit& kit);
// Releases everything the Kit holds, each piece once; the Kit is zeroed.
void ReleaseKit(Kit& kit);

// A control's box in the dialog's layout pixels (its window rectangle in
// client coordinates when the dialog has no layout).
Box ControlRect(HWND dialog, int id);
// Copies a box of the back buffer to target pixel for pixel.
void CopyFromBack(const Kit& kit, HDC target, int32_t left, int32_t top, int32_t right,
                  int32_t bottom);
// One layout pixel: a square of device pixels where target is scaled.
void PutPixel(HDC target, int32_t x, int32_t y, COLORREF colour);

// Covers the rectangle of target with the texture aligned to the client
// origin: client pixel (x, y) shows texture pixel (x mod 57, y mod 82).
void FillTexture(const Kit& kit, HDC target, int32_t left, int32_t top, int32_t right,
                 int32_t bottom);
// The picture at (x, y), leaving out its pure white pixels.
void TransparentBlit(HDC target, const BitmapImage* picture, int32_t x, int32_t y);
// An engraved line (see engraved_line.h).
void EngravedLine(HDC target, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
// The width of text in the text font and in the link font, in layout pixels.
int32_t TextWidth(const Kit& kit, const char* text);
int32_t LinkWidth(const Kit& kit, const char* text);
// WM_PAINT's invalid rectangle (device pixels) covered with the texture
// through target, a context in layout pixels at `scale`.
void FillInvalid(const Kit& kit, HDC target, const RECT& invalid, Scale scale);
// Texture, then text, in the back buffer, then that box copied to the dialog.
void TextOverTexture(const Kit& kit, int32_t x, int32_t y, const char* text, int32_t width,
                     int32_t height);
// WM_DRAWITEM of an owner-drawn caption button: its text over the texture,
// drawn into the button's own context in the dialog's client coordinates
// (the same pixels as the texture and text written at the control's place).
void DrawOwnerCaption(const Kit& kit, HWND dialog, const DRAWITEMSTRUCT* item);
// A hidden anchor's text at its top-left, without filling.
void DrawAnchorText(HDC target, HWND dialog, int id);
// Writes text at (x, y) as it stands (no filling).
void WriteText(HDC target, int32_t x, int32_t y, const char* text, int count = -1);
// Writes text at (x, y) within `width` layout pixels: where the font makes
// it wider (a substitute font, or hinting at a larger size) its letters are
// set closer so that nothing runs into what follows. Trailing blanks are
// left out. Returns the width the text takes.
int32_t WriteTextWithin(HDC target, int32_t x, int32_t y, const char* text, int32_t width);
// Fills the rectangle inset by 2 on every side with a swatch paint value
// (solid, or the checkerboard when its top byte is 0).
void InsetFill(HDC target, int32_t left, int32_t top, int32_t right, int32_t bottom,
               uint32_t paintValue);
// A window drawing context in layout pixels, with the text font and a
// transparent background.
HDC KitWindowDC(const Kit& kit);
