// Every bitmap of the two modules: id, file, bit depth, modules and picture.
#include "resources/art/art.h"
#include "resources/art/bmp.h"

namespace art {

std::vector<ArtItem> Catalogue()
{
    const Rgb orange = FromBytes(252, 152, 28), orangeShadow = FromBytes(150, 56, 0);
    const Rgb violet = FromBytes(176, 104, 236), violetShadow = FromBytes(66, 18, 110);
    std::vector<ArtItem> items = {
        {119, "119_orientation_strip.bmp", 4, true, "ORIENTATIONS", OrientationStrip(), OrientationPalette()},
        {125, "125_paper.bmp", 8, true, "PAPER", PaperTexture(), {}},
        {126, "126_cancel.bmp", 24, true, "CANCEL", PictureButton("Cancel", 70, false, false), {}},
        {127, "127_cancel_pressed.bmp", 24, true, "", PictureButton("Cancel", 70, true, false), {}},
        {128, "128_apply.bmp", 24, true, "APPLY", PictureButton("Apply", 60, false, true), {}},
        {129, "129_apply_pressed.bmp", 24, true, "", PictureButton("Apply", 60, true, true), {}},
        {130, "130_knob_orange.bmp", 24, true, "KNOB", Ball(orange, orangeShadow), {}},
        {137, "137_delete.bmp", 24, true, "DELETE", PictureButton("Delete", 70, false, false), {}},
        {138, "138_delete_pressed.bmp", 24, true, "", PictureButton("Delete", 70, true, false), {}},
        {139, "139_save.bmp", 24, true, "SAVE", PictureButton("Save", 60, false, true), {}},
        {140, "140_save_pressed.bmp", 24, true, "", PictureButton("Save", 60, true, true), {}},
        {141, "141_knob_violet.bmp", 24, false, "KNOB", Ball(violet, violetShadow), {}},
        {145, "145_spacing_up.bmp", 24, false, "UP", SpacingTriangle(true, false), {}},
        {146, "146_spacing_up_pressed.bmp", 24, false, "", SpacingTriangle(true, true), {}},
        {147, "147_spacing_down.bmp", 24, false, "DOWN", SpacingTriangle(false, false), {}},
        {148, "148_spacing_down_pressed.bmp", 24, false, "", SpacingTriangle(false, true), {}},
        // The undo and redo buttons take 150 and 154 as their normal pictures.
        {149, "149_undo_pressed.bmp", 24, false, "UNDO", CurvedArrow(true, true), {}},
        {150, "150_undo.bmp", 24, false, "", CurvedArrow(true, false), {}},
        {151, "151_swap.bmp", 24, false, "SWAP", DiagonalArrow(false), {}},
        {152, "152_swap_pressed.bmp", 24, false, "", DiagonalArrow(true), {}},
        {153, "153_redo_pressed.bmp", 24, false, "REDO", CurvedArrow(false, true), {}},
        {154, "154_redo.bmp", 24, false, "", CurvedArrow(false, false), {}},
        {155, "155_dice.bmp", 24, false, "DICE", Die(25, false), {}},
        {156, "156_dice_pressed.bmp", 24, false, "", Die(25, true), {}},
        {161, "161_check_ticked.bmp", 4, false, "CHECK", CheckBox(true), CheckBoxPalette()},
        {163, "163_check_empty.bmp", 4, false, "", CheckBox(false), CheckBoxPalette()},
        {164, "164_green_swatch.bmp", 24, false, "SWATCH", GreenSwatch(), {}},
        {165, "165_columns_tile.bmp", 24, false, "COLUMNS", ColumnsTile(), {}},
        {169, "169_colour_dice.bmp", 24, false, "COLOUR DICE", Die(20, false), {}},
        {170, "170_colour_dice_pressed.bmp", 24, false, "", Die(20, true), {}},
        {171, "171_diamond.bmp", 24, false, "DIAMOND", Diamond(), {}},
        {172, "172_curve_strip.bmp", 8, false, "CURVES", CurveStrip(), {}},
    };
    for (ArtItem& item : items)
        if (item.bits == 8)
            item.palette = ColoursOf(item.picture);
    return items;
}

} // namespace art
