// The filters in a browser: a small C interface over the engines, the
// preview reduction, the records and presets and the control tables, built to
// WebAssembly. It holds one image and one filter's dialog state at a time,
// as a dialog does; the page's worker drives it. Buffers are plain bytes in
// the module's memory: RGB or RGBA rows without padding.
//
// Results: 1 is success, 0 failure with velk_error() saying why; a warning
// (success) also leaves a text in velk_error(), else it is empty.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// ---- Memory and messages ---------------------------------------------------

uint8_t* velk_alloc(int32_t size); // null when out of memory
void velk_free(void* p);
// The message of the last call that failed or warned, else "".
const char* velk_error(void);

// ---- The image ---------------------------------------------------------------

// Decodes a PNG file (1, 2, 4, 8 or 16 bits; grey, grey and alpha, palette,
// RGB or RGBA) into the current image, with the command line's conversion to
// 8-bit RGB or RGBA.
int32_t velk_decode_png(const uint8_t* bytes, int32_t size);
// Copies 8-bit pixels (channels 3 or 4) into the current image.
int32_t velk_set_pixels(const uint8_t* pixels, int32_t width, int32_t height, int32_t channels);
int32_t velk_image_width(void);
int32_t velk_image_height(void);
int32_t velk_image_channels(void);
// The current image's pixels (width * height * channels bytes).
const uint8_t* velk_image_pixels(void);

// ---- The filter and its controls ---------------------------------------------

enum { VELK_3D = 0, VELK_2000 = 1 };

// Opens a filter on the current image (or before there is one) as its dialog
// opens on a first run: velk3d on "Velkstone" with the default light
// correction and fill (the fill transparent on an image with alpha),
// velk2000 on "e-Flowers"; the undo history is emptied. Call again after a
// new image.
int32_t velk_open(int32_t filter);
int32_t velk_filter(void);

// The host's foreground and background colours (the Foreground and
// Background colour sources).
void velk_set_host_colours(int32_t fr, int32_t fg, int32_t fb, int32_t br, int32_t bg, int32_t bb);

// The open filter's controls as JSON: [{"option", "caption", "kind"
// ("value", "toggle", "check" or "colour"), "count", "min", "max", "pad"
// (two numbers held by one 2-D pad, not two sliders), "names" (a toggle's
// state names, or null)}, ...], in table order.
const char* velk_controls_json(void);
// A control's number: for a colour, number 0 is the source (0 foreground,
// 1 background, 2 picker, 3 transparent) and 1, 2, 3 its red, green, blue.
int32_t velk_get_control(int32_t control, int32_t number);
// Sets a number as the widget sets it (limited to the control's range);
// returns the value stored. A red, green or blue of a colour makes the
// picked colour the one the record keeps. velk3d's fill takes Transparent
// only on an image with alpha (else it keeps its source).
int32_t velk_set_control(int32_t control, int32_t number, int32_t value);

// ---- Presets and records -----------------------------------------------------

// The open filter's factory presets as a JSON array of names.
const char* velk_factory_presets_json(void);
// Chooses factory preset n as the preset box does.
int32_t velk_load_factory(int32_t n);
// Which filter a 64-byte record belongs to: VELK_3D, VELK_2000, or -1.
int32_t velk_record_filter(const uint8_t* record);
// Chooses a 64-byte user preset or record of the open filter, as the preset
// box loads a user preset (its save flags decide what it replaces).
int32_t velk_load_record(const uint8_t* record);

enum {
    // What the plug-in applies when repeated and `velk apply --record`
    // applies: velk3d's "Last Used"; velk2000's stored preset.
    VELK_RECORD_APPLIED = 0,
    // A user preset as the save pop-up stores it, with its two boxes.
    VELK_RECORD_PRESET = 1,
};
// The open filter's settings as 64 bytes (valid until the next call).
// saveColours and saveLight are the save pop-up's boxes; velk2000's applied
// form is its preset form.
const uint8_t* velk_export_record(int32_t form, int32_t saveColours, int32_t saveLight);

// ---- velk2000's tools ----------------------------------------------------------

void velk_seed(uint32_t seed); // the tools' random numbers
int32_t velk_dice(void);
int32_t velk_vary_colours(void);
int32_t velk_step_spacing(int32_t increase); // 0 when the spacings are at their end
int32_t velk_flip(void);
// Stage 0 is the first stage's Bypass box, 1 the second's.
int32_t velk_set_bypass(int32_t stage, int32_t on);
int32_t velk_bypass(int32_t stage); // a box releases itself when its values move
int32_t velk_undo(void);            // 0 when there is nothing to undo
int32_t velk_redo(void);
int32_t velk_can_undo(void);
int32_t velk_can_redo(void);

// ---- Rendering -------------------------------------------------------------------

// Renders the 364 x 360 preview of the current settings; returns its RGBA
// pixels (364 * 360 * 4 bytes; transparency shown over the checkerboard as
// the dialog shows it, alpha 255 on the image's part, 0 outside it). For
// velk2000 a completed render enters the undo history, as in the dialog.
const uint8_t* velk_render_preview(void);
int32_t velk_preview_width(void);  // the part holding the image
int32_t velk_preview_height(void);

// Renders the whole image as Apply (or OK) does. Progress goes to the
// module's onProgress(rowsDone, height), when the page gave the module one.
// Returns 1, or 0 on failure.
int32_t velk_render_image(void);
const uint8_t* velk_result_pixels(void); // the current image's size and channels

// The result's PNG image data before compression: rows first..first+count-1
// of 8-bit RGB or RGBA (as the image), each behind its filter byte
// (count * (1 + width * channels) bytes, valid until the next call). The page
// compresses them with the browser's own zlib (png-writer.js).
const uint8_t* velk_png_rows(int32_t first, int32_t count);

#ifdef __cplusplus
}
#endif
