// Pixel-art pieces: the check boxes and the orientation strip (16 colours),
// and the curve-shape strip (anti-aliased, 8-bit).
#include "resources/art/art.h"
#include "resources/art/bmp.h"
#include "resources/art/mathx.h"
#include "resources/art/shapes.h"

namespace art {

namespace {

// Pads a palette to 16 entries with black so that every 4-bit bitmap has a
// full colour table.
std::vector<Pixel> Padded(std::vector<Pixel> p)
{
    while (p.size() < 16)
        p.push_back(Pixel{0, 0, 0});
    return p;
}

const Pixel kBoxBorder{112, 104, 94}, kBoxInside{251, 250, 246}, kBoxShade{222, 218, 208},
    kBoxTick{30, 28, 26};

const Pixel kTileOutline{92, 72, 50}, kLightTop{254, 242, 208}, kLight{248, 224, 160},
    kLightBottom{232, 196, 116}, kDarkTop{226, 168, 86}, kDark{204, 138, 56}, kDarkBottom{166, 102, 34};

// One stripe of a folded strip: a light top row, the body and a shaded
// bottom row, seen across the stripe (position 0..3 of a 4-pixel stripe).
Pixel Fold(bool shaded, int across)
{
    if (across == 0)
        return shaded ? kDarkTop : kLightTop;
    if (across == 3)
        return shaded ? kDarkBottom : kLightBottom;
    return shaded ? kDark : kLight;
}

// Tile 0 rows, 1 columns, 2 mixed: stripes 4 pixels wide in a 16 x 16 field
// inside a one-pixel outline. Shaded are the upper stripes of each pair
// (rows), the right ones (columns), or upper-right and lower-left cells.
Pixel OrientationPixel(int tile, int x, int y)
{
    if (x == 0 || y == 0 || x == 17 || y == 17)
        return kTileOutline;
    int fx = x - 1, fy = y - 1;
    switch (tile) {
    case 0:
        return Fold((fy / 4) % 2 == 0, fy % 4);
    case 1:
        return Fold((fx / 4) % 2 == 1, fx % 4);
    default: {
        bool shaded = ((fx / 4) % 2 == 1) == ((fy / 4) % 2 == 0);
        return Fold(shaded, fy % 4);
    }
    }
}

} // namespace

std::vector<Pixel> CheckBoxPalette()
{
    return Padded({kWhite, kBoxBorder, kBoxInside, kBoxShade, kBoxTick});
}

std::vector<Pixel> OrientationPalette()
{
    return Padded({kWhite, kTileOutline, kLightTop, kLight, kLightBottom, kDarkTop, kDark, kDarkBottom});
}

Picture CheckBox(bool ticked)
{
    static const char* const kTick[7] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};
    Picture p(13, 13, kBoxInside);
    for (int i = 0; i < 13; ++i) {
        p.At(i, 0) = p.At(i, 12) = kBoxBorder;
        p.At(0, i) = p.At(12, i) = kBoxBorder;
    }
    for (int i = 1; i < 12; ++i)
        p.At(i, 1) = p.At(1, i) = kBoxShade; // sunken: shade inside the top and left
    if (ticked)
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x)
                if (kTick[y][x] == '#')
                    p.At(3 + x, 3 + y) = kBoxTick;
    return p;
}

Picture OrientationStrip()
{
    Picture p(54, 18, kWhite);
    for (int tile = 0; tile < 3; ++tile)
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x)
                p.At(tile * 18 + x, y) = OrientationPixel(tile, x, y);
    return p;
}

Picture ColumnsTile()
{
    Picture strip = OrientationStrip();
    Picture p(18, 18, kWhite);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            p.At(x, y) = strip.At(18 + x, y);
    return p;
}

static float CurveValue(int shape, float s)
{
    const double pi = 3.1415926535;
    switch (shape) {
    case 0:
        return s * s;
    case 1:
        return float((Cos((double(s) + 1.0) * pi * 1.5) + 1.0) * 0.4);
    default:
        return float((Cos(double(s) * pi * 2.0) + 1.0) * 0.4);
    }
}

Picture CurveStrip()
{
    // Each 14 x 14 tile plots its curve table over s = 0..1: the area under
    // the curve tinted, the curve itself dark, on a pale face.
    const Rgb face = FromBytes(248, 243, 231), fill = FromBytes(240, 206, 140), line = FromBytes(120, 36, 22);
    Canvas c(42, 14);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 42; ++x)
            c.Set(x, y, face);
    for (int shape = 0; shape < 3; ++shape) {
        float x0 = float(shape * 14) + 1.5f, x1 = x0 + 11.0f;
        auto yOf = [&](float s) { return 12.0f - CurveValue(shape, s) * 9.5f; };
        std::vector<Pt> curve;
        for (int i = 0; i <= 40; ++i) {
            float s = float(i) / 40.0f;
            curve.push_back({x0 + s * (x1 - x0), yOf(s)});
        }
        FillShape(
            c,
            [&](float x, float y) {
                if (x < x0 || x > x1 || y > 12.5f)
                    return false;
                return y > yOf((x - x0) / (x1 - x0));
            },
            fill, 6);
        FillSdf(c, [&](float x, float y) { return SdPolyline(x, y, curve, 0.75f); },
                [&](float, float, float) { return line; }, 6);
        // Base line.
        for (int x = int(x0) - 1; x <= int(x1) + 1; ++x)
            c.Blend(x, 13, Scale(face, 0.8f), 1.0f);
    }
    return ReduceColours(FlattenOpaque(c), 256);
}

} // namespace art
