// The pictures of both modules: one function per piece of art, and the
// catalogue that names every bitmap file with its id, size and bit depth.
#pragma once

#include <string>
#include <vector>

#include "resources/art/canvas.h"

namespace art {

// Mean colour of the paper texture: partly covered edge pixels of
// transparent-keyed art are blended over it.
extern const Rgb kPaper;

Picture PaperTexture();                                        // 57 x 82
Picture PictureButton(const std::string& word, int width, bool pressed, bool primary); // x 23
Picture Ball(Rgb base, Rgb shadow);                            // 13 x 13
Picture Diamond();                                             // 17 x 17
Picture SpacingTriangle(bool up, bool pressed);                // 25 x 14
Picture CurvedArrow(bool left, bool pressed);                  // 25 x 18
Picture DiagonalArrow(bool pressed);                           // 19 x 19
Picture Die(int size, bool pressed);                           // 25 x 25 or 20 x 20
Picture CheckBox(bool ticked);                                 // 13 x 13, 16 colours
Picture GreenSwatch();                                         // 17 x 16
Picture OrientationStrip();                                    // 54 x 18, 16 colours
Picture ColumnsTile();                                         // 18 x 18
Picture CurveStrip();                                          // 42 x 14

// The 16-colour palettes of the 4-bit pictures.
std::vector<Pixel> CheckBoxPalette();
std::vector<Pixel> OrientationPalette();

// Rows of the 32 x 32 pointing hand ('#' black, 'o' white); hot spot (13, 10).
std::vector<std::string> PointingHandRows();
constexpr int kHandHotX = 13, kHandHotY = 10;

struct ArtItem {
    int id;
    std::string file; // name inside the module folder
    int bits;         // 4, 8 or 24
    bool bothModules; // false: velk2000 only
    std::string title;
    Picture picture;
    std::vector<Pixel> palette; // 4- and 8-bit pictures
};

std::vector<ArtItem> Catalogue();

constexpr const char* kCursorFile = "pointing_hand.cur";

} // namespace art
