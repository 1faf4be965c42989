// The status line naming the control under the pointer, and the three help
// pages drawn over the preview ("Basic Operations", "Sliders", "Preset
// Management"), each with its texts, small pictures and engraved lines.
#include <cstring>

#include "resources/resource_ids.h"
#include "twostage/shell/twostage_dialog.h"

namespace {

// The pictures a page shows.
enum Picture { PicDice, PicSmallDie, PicUndo, PicRedo, PicIncrease, PicDecrease, PicFlip, PicSave,
               PicDelete, PicCancel, PicGreen, PicTicked, PicEmpty, PicColumns, PicYellow, PicViolet,
               PicDiamond };

enum Kind : uint8_t { Text, Image, Line, Move };

// One item of a page, relative to the running origin: a text (with a colour
// mark: 'r' red, 'b' black, '-' as it is), a picture, a line, or a move down.
struct Item {
    Kind kind;
    int16_t a, b, c, d; // text/picture: dx, dy; line: x0, y0, x1, y1; move: dy
    char mark;
    int picture;
    const char* text;
};

constexpr Item T(int dx, int dy, char mark, const char* text) { return {Text, int16_t(dx), int16_t(dy), 0, 0, mark, 0, text}; }
constexpr Item P(int picture, int dx, int dy) { return {Image, int16_t(dx), int16_t(dy), 0, 0, '-', picture, nullptr}; }
constexpr Item L(int x0, int y0, int x1, int y1) { return {Line, int16_t(x0), int16_t(y0), int16_t(x1), int16_t(y1), '-', 0, nullptr}; }
constexpr Item M(int dy) { return {Move, int16_t(dy), 0, 0, 0, '-', 0, nullptr}; }

const Item kBasics[] = {
    P(PicDice, 0, 0), T(30, 0, '-', "The \"Dice\" is a Primary tool of Velk 2000."),
    T(30, 15, '-', "Click, click and click this button for possibilities demonstration."),
    T(-6, 30, 'r', "!!"), T(0, 30, 'b', "To fix shadow colors while dicing set them to fore or background mode."),
    M(25), P(PicSmallDie, 2, 24), T(30, 26, '-', "Color variations tool."),
    P(PicUndo, -12, 50), P(PicRedo, 14, 50), T(45, 50, '-', "Undo / Redo Last Operation buttons."),
    P(PicIncrease, 0, 70), P(PicDecrease, 0, 85), T(30, 70, '-', "Increase / Decrease Spacing buttons."),
    T(39, 85, 'r', "!!"), T(45, 85, 'b', "This tool does not affect bypassed stage."),
    P(PicFlip, 3, 109), T(30, 105, '-', "The Swap button produces a diagonal flip effect."),
    T(39, 120, 'r', "!!"), T(45, 120, 'b', "This tool does not affect bypassed stage."),
    P(PicGreen, 4, 139), T(30, 140, '-', "Color Setting boxes allow to select desired color mode."),
    P(PicTicked, 6, 165), T(30, 165, '-', "Deformation box allows switching on/off the image deformation."),
    P(PicTicked, 6, 180), T(30, 180, '-', "White Canvas mode does replace the image with white color."),
    M(206), T(0, 0, '-', "  Velk 2000 is a double stage filter. Image is processed twice at first"),
    T(0, 15, '-', "by \"Yellow\" stage and then by the \"Violet\" one. To learn about single"),
    T(0, 30, '-', "process bypass the second stage by clicking appropriate checkbox"),
    T(0, 45, '-', "and use only Yellow sliders."), P(PicEmpty, 200, 45), P(PicTicked, 218, 45),
    T(240, 45, '-', "Bypass"),
};

const Item kSliders[] = {
    P(PicViolet, 0, 0), P(PicYellow, 15, 0), P(PicYellow, 30, 0), P(PicViolet, 45, 0),
    T(60, 0, '-', "  Spacing Adjustment sliders."),
    M(25), L(-9, 7, 21, 7), P(PicYellow, 0, 0), L(36, -8, 36, 22), P(PicYellow, 29, 0),
    T(60, 0, '-', "  Spacing Offset sliders."), T(180, 0, 'r', "!!"),
    T(186, 0, 'b', "Double-click on slider to reset it."),
    M(25), L(-9, 7, 21, 7), L(7, -8, 7, 22), P(PicYellow, 0, 0), L(36, 7, 66, 7), L(52, -8, 52, 22),
    P(PicViolet, 45, 0), T(75, 0, '-', "  Gradient Shading sliders provide the main 3D effect."),
    M(30), L(-9, 11, 7, 15), L(12, -5, 7, 15), P(PicYellow, 0, 8), L(36, 11, 52, 15), L(57, -5, 52, 15),
    P(PicViolet, 45, 8), T(75, -5, '-', "  Stretch sliders produce deformations. If       x2 box is"),
    T(75, 10, '-', "selected, the strength of deformation is doubled."), P(PicTicked, 270, -5),
    M(35), L(-9, 7, 21, 7), L(7, -8, 7, 22), P(PicDiamond, -2, -2),
    T(30, 0, '-', "QU slider creates parabolic and sine curved shapes."),
    M(30), L(-9, 7, 21, 7), P(PicYellow, 0, 0), L(36, 7, 51, 7), P(PicYellow, 29, 0),
    T(75, -5, '-', "  Side Shading and Side Blur sliders control 2D effect"),
    T(75, 10, '-', "parameters such as density and edges blur."),
    T(75, 25, '-', "The Strips Orientation selector              allows switching"),
    T(75, 40, '-', "between \"columns\", \"row\" and \"mixed\" directions."), P(PicColumns, 228, 23),
    M(20), L(-9, 7, 21, 7), P(PicViolet, 0, 0), L(36, 7, 51, 7), P(PicViolet, 29, 0),
    M(40), L(7, 7, 20, 7), P(PicYellow, 0, 0),
    T(30, 0, '-', "Brightness Ratio slider decreases contrast of background image."),
    M(20), L(7, 7, 20, 7), P(PicYellow, 0, 0), T(30, 0, '-', "Light Exiting slider improves the brightness."),
    M(20), L(7, 7, 20, 7), P(PicYellow, 0, 0),
    T(30, 0, '-', "Saturation slider increases saturation of background image."),
};

const Item kPresets[] = {
    T(0, 0, '-', "  You can save, load and delete your own presets."),
    M(15), T(0, 0, '-', "Click on the Preset Box, select SAVE USER PRESET,"),
    M(15), T(0, 0, '-', "enter preset name and push:"),
    M(20), P(PicSave, 0, 0), T(75, 5, '-', "to save preset,"),
    M(25), P(PicDelete, 0, 0), T(75, 5, '-', "to delete preset,"),
    M(25), P(PicCancel, 0, 0), T(75, 5, '-', "to cancel this operation."),
    M(30), P(PicTicked, 194, 0), T(0, 0, '-', "To store shadows and BG colors select"),
    T(210, 0, '-', "Save Color Settings option."),
    M(15), T(0, 0, '-', "To store \"Brightness Ratio\", \"Light Exiting\", and \"Saturation\""),
    M(15), P(PicTicked, 39, 0), T(0, 0, '-', "select         Save Light Corrections option."),
    M(20), T(0, 0, '-', "  The presets without a prefix are the factory presets: they load"),
    M(15), T(0, 0, '-', "like any other but cannot be deleted. Your own presets are listed"),
    M(15), T(0, 0, '-', "first, each with the prefix \">\"; a preset whose stored settings are"),
    M(15), T(0, 0, '-', "damaged shows \"$\" instead and is not loaded."),
};

const BitmapImage* PictureOf(const TwoStageDialog& d, int picture)
{
    const auto normal = [&](int b) { return d.button[b] ? d.button[b]->normal : nullptr; };
    switch (picture) {
    case PicDice: return normal(ButtonDice);
    case PicSmallDie: return normal(ButtonColourDice);
    case PicUndo: return normal(ButtonUndo);
    case PicRedo: return normal(ButtonRedo);
    case PicIncrease: return normal(ButtonIncrease);
    case PicDecrease: return normal(ButtonDecrease);
    case PicFlip: return normal(ButtonFlip);
    case PicSave: return d.save[0].get();
    case PicDelete: return d.remove[0].get();
    case PicCancel: return normal(ButtonCancel);
    case PicGreen: return d.green.get();
    case PicTicked: return d.ticked.get();
    case PicEmpty: return d.empty.get();
    case PicColumns: return d.columns.get();
    case PicYellow: return d.yellow.get();
    case PicViolet: return d.violet.get();
    default: return d.diamond.get();
    }
}

// A picture set into a line of text sits in the line's run of blanks, as
// wide as the font makes it: the picture's x when a text item of the same
// line (within 6 pixels up or down, after the same moves) has such a run
// around the picture's place, else its own x.
template <size_t N>
int32_t PictureX(HDC dc, const Item (&items)[N], size_t at, int32_t x, const BitmapImage* picture)
{
    const Item& pic = items[at];
    size_t first = at;
    while (first > 0 && items[first - 1].kind != Move)
        --first;
    for (size_t i = first; i < N && items[i].kind != Move; ++i) {
        const Item& t = items[i];
        if (t.kind != Text || t.b - pic.b > 6 || pic.b - t.b > 6 || pic.a < t.a)
            continue;
        const char* run = std::strstr(t.text, "    ");
        if (!run)
            continue;
        size_t end = static_cast<size_t>(run - t.text);
        while (t.text[end] == ' ')
            ++end;
        SIZE before = {}, through = {};
        GetTextExtentPoint32A(dc, t.text, static_cast<int>(run - t.text), &before);
        GetTextExtentPoint32A(dc, t.text, static_cast<int>(end), &through);
        if (pic.a > t.a + through.cx + 20)
            continue; // a picture further along the line
        const int32_t width = picture ? picture->width : 0;
        return x + t.a + (before.cx + through.cx - width) / 2;
    }
    return x + pic.a;
}

// The items of a page from (x, y); no line of text goes past `right`.
template <size_t N>
void DrawItems(const TwoStageDialog& d, HDC dc, const Item (&items)[N], int32_t x, int32_t y,
               int32_t right)
{
    SetTextColor(dc, RGB(0, 0, 0));
    for (size_t i = 0; i < N; ++i) {
        const Item& it = items[i];
        switch (it.kind) {
        case Text:
            if (it.mark == 'r')
                SetTextColor(dc, RGB(255, 0, 0));
            else if (it.mark == 'b')
                SetTextColor(dc, RGB(0, 0, 0));
            WriteTextWithin(dc, x + it.a, y + it.b, it.text, right - (x + it.a));
            break;
        case Image: {
            const BitmapImage* picture = PictureOf(d, it.picture);
            TransparentBlit(dc, picture, PictureX(dc, items, i, x, picture), y + it.b);
            break;
        }
        case Line:
            EngravedLine(dc, x + it.a, y + it.b, x + it.c, y + it.d);
            break;
        case Move:
            y += it.a;
            break;
        }
    }
    SetTextColor(dc, RGB(0, 0, 0));
}

} // namespace

void UpdateStatus(TwoStageDialog& d, Pointer pointer)
{
    if (!d.frame.ready)
        return;
    const int id = StatusAt(d.zones, d.panel, pointer);
    if (id == d.lastStatusId)
        return;
    HDC dc = KitWindowDC(d.frame.kit);
    // The web link's text may reach beyond the status line's anchor: the
    // line is cleared as far as the text goes.
    const Box& T = d.status;
    int32_t right = T.left + kStatusMarkEnd > T.right ? T.left + kStatusMarkEnd : T.right;
    // As far as the Offset slider's track: its read-out, left of the track,
    // lies under the line (the value shows beside "Offset"), and a larger
    // font's ink must not peek out.
    const int32_t track = d.panel.slider[MoireH].left - 3;
    right = track > right ? track : right;
    if (d.web) {
        const int32_t end = d.web->logic.left + LinkWidth(d.frame.kit, d.web->logic.text) + 1;
        right = end > right ? end : right;
    }
    FillTexture(d.frame.kit, dc, T.left, T.top, right, T.bottom);
    if (id != 0) {
        SetTextColor(dc, RGB(0, 0, 0));
        WriteText(dc, T.left, T.top, StatusText(id));
    } else {
        PaintTextLink(d.web.get(), d.frame.kit, dc);
    }
    ReleaseDC(d.frame.window, dc);
    d.lastStatusId = id;
}

void CloseHelpView(TwoStageDialog& d, HDC dc)
{
    d.helpShown = false;
    for (const OwnedLink& link : d.page)
        if (link)
            link->logic.shown = 0;
    if (d.help) {
        d.help->logic.visited = 0;
        PaintTextLink(d.help.get(), d.frame.kit, dc);
    }
    if (d.web)
        d.web->logic.visited = 0;
}

void ShowHelpPage(TwoStageDialog& d, int command)
{
    if (!d.frame.ready || command < REQ_HELP_BASICS || command > REQ_HELP_PRESETS)
        return;
    d.helpShown = true;
    HDC dc = KitWindowDC(d.frame.kit);
    const Box& P = d.anchors.P;
    const RECT R = {P.left + 2, P.top + 2, P.left + 366, P.top + 362};
    FillRect(dc, &R, d.helpBrush.brush());
    if (d.page[0])
        d.page[0]->logic.visited = 1;
    for (const OwnedLink& link : d.page)
        if (link)
            link->logic.shown = 0;
    for (int i = 0; i < kPageLinks; ++i)
        if (REQ_HELP_BASICS + i != command)
            PaintTextLink(d.page[i].get(), d.frame.kit, dc);
    // The page covers the preview and nothing beyond it.
    IntersectClipRect(dc, R.left, R.top, R.right, R.bottom);
    const int32_t x = command == REQ_HELP_PRESETS ? R.left + 15 : R.left + 20, y = R.top + 12;
    if (command == REQ_HELP_BASICS)
        DrawItems(d, dc, kBasics, x, y, R.right - 4);
    else if (command == REQ_HELP_SLIDERS)
        DrawItems(d, dc, kSliders, x, y, R.right - 4);
    else
        DrawItems(d, dc, kPresets, x, y, R.right - 4);
    ReleaseDC(d.frame.window, dc);
    d.lastHelpPage = command - REQ_HELP_BASICS;
    d.frame.pendingChanges = 0;
}
