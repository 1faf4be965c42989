// The C interface of the browser module (velk_web.h) over one WebSession.
#include "web/velk_web.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <emscripten.h>

#include "deform/engine/deform_settings.h"
#include "deform/engine/factory_presets.h"
#include "twostage/engine/twostage_presets.h"
#include "web/web_session.h"

namespace {

WebSession gSession;
std::string gError;
std::string gText;               // the last JSON handed out
std::vector<uint8_t> gRecord;    // the last record exported
std::vector<uint8_t> gRows;      // the last filtered rows handed out

int32_t Fail(const std::string& message)
{
    gError = message;
    return 0;
}

bool HasImage()
{
    return gSession.image.width > 0;
}

// A JSON string: the captions and names hold no control characters, but
// quotes and backslashes are escaped all the same.
std::string Quoted(const char* text)
{
    if (!text)
        return "null";
    std::string out = "\"";
    for (const char* c = text; *c; ++c) {
        if (*c == '"' || *c == '\\')
            out += '\\';
        out += *c;
    }
    return out + "\"";
}

const char* KindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Toggle:
        return "toggle";
    case ControlKind::Check:
        return "check";
    case ControlKind::Colour:
        return "colour";
    default:
        return "value";
    }
}

} // namespace

EM_JS(void, ReportProgress, (int32_t row, int32_t total), {
    if (Module.onProgress)
        Module.onProgress(row, total);
});

extern "C" {

EMSCRIPTEN_KEEPALIVE uint8_t* velk_alloc(int32_t size)
{
    return size > 0 ? static_cast<uint8_t*>(std::malloc(size_t(size))) : nullptr;
}

EMSCRIPTEN_KEEPALIVE void velk_free(void* p)
{
    std::free(p);
}

EMSCRIPTEN_KEEPALIVE const char* velk_error(void)
{
    return gError.c_str();
}

EMSCRIPTEN_KEEPALIVE int32_t velk_decode_png(const uint8_t* bytes, int32_t size)
{
    gError.clear();
    Pixels image;
    std::string error;
    if (!bytes || size <= 0 || !DecodePng(bytes, size_t(size), image, error))
        return Fail(error.empty() ? "no PNG data" : error);
    SetImage(gSession, std::move(image));
    return 1;
}

EMSCRIPTEN_KEEPALIVE int32_t velk_set_pixels(const uint8_t* pixels, int32_t width, int32_t height,
                                             int32_t channels)
{
    gError.clear();
    if (!pixels || width <= 0 || height <= 0 || (channels != 3 && channels != 4))
        return Fail("no pixels");
    if (width > 32767 || height > 32767 || int64_t(width) * height > kMaxPngPixels)
        return Fail("the image is too large");
    Pixels image;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.bytes.assign(pixels, pixels + size_t(width) * height * channels);
    SetImage(gSession, std::move(image));
    return 1;
}

EMSCRIPTEN_KEEPALIVE int32_t velk_image_width(void) { return gSession.image.width; }
EMSCRIPTEN_KEEPALIVE int32_t velk_image_height(void) { return gSession.image.height; }
EMSCRIPTEN_KEEPALIVE int32_t velk_image_channels(void) { return gSession.image.channels; }
EMSCRIPTEN_KEEPALIVE const uint8_t* velk_image_pixels(void) { return gSession.image.bytes.data(); }

EMSCRIPTEN_KEEPALIVE int32_t velk_open(int32_t filter)
{
    gError.clear();
    if (filter != VELK_3D && filter != VELK_2000)
        return Fail("no such filter");
    OpenFilter(gSession, static_cast<WebFilter>(filter));
    return 1;
}

EMSCRIPTEN_KEEPALIVE int32_t velk_filter(void)
{
    return static_cast<int32_t>(gSession.filter);
}

EMSCRIPTEN_KEEPALIVE void velk_set_host_colours(int32_t fr, int32_t fg, int32_t fb, int32_t br,
                                                int32_t bg, int32_t bb)
{
    const int32_t values[6] = {fr, fg, fb, br, bg, bb};
    for (int k = 0; k < 3; ++k) {
        gSession.foreground[k] = static_cast<uint8_t>(values[k]);
        gSession.background[k] = static_cast<uint8_t>(values[k + 3]);
    }
}

EMSCRIPTEN_KEEPALIVE const char* velk_controls_json(void)
{
    const ControlTable& table = Controls(gSession);
    gText = "[";
    for (int i = 0; i < table.count; ++i) {
        const ControlSpec& c = table.controls[i];
        // Two numbers held by one widget make a pad; by two, a pair of sliders.
        const bool pad = c.count == 2 && c.value[0].widget == c.value[1].widget;
        std::string names = "null";
        if (c.names) {
            names = "[";
            for (int k = 0; k <= c.max; ++k)
                names += (k ? "," : "") + Quoted(c.names[k]);
            names += "]";
        }
        gText += std::string(i ? "," : "") + "{\"option\":" + Quoted(c.option) +
                 ",\"caption\":" + Quoted(c.caption) + ",\"kind\":\"" + KindName(c.kind) +
                 "\",\"count\":" + std::to_string(c.count) + ",\"min\":" + std::to_string(c.min) +
                 ",\"max\":" + std::to_string(c.max) + ",\"pad\":" + (pad ? "true" : "false") +
                 ",\"names\":" + names + "}";
    }
    gText += "]";
    return gText.c_str();
}

EMSCRIPTEN_KEEPALIVE int32_t velk_get_control(int32_t control, int32_t number)
{
    return GetControl(gSession, control, number);
}

EMSCRIPTEN_KEEPALIVE int32_t velk_set_control(int32_t control, int32_t number, int32_t value)
{
    return SetControl(gSession, control, number, value);
}

EMSCRIPTEN_KEEPALIVE const char* velk_factory_presets_json(void)
{
    gText = "[";
    if (gSession.filter == WebFilter::Velk2000) {
        for (int n = 0; n < kTwoStageFactoryCount; ++n)
            gText += (n ? "," : "") + Quoted(TwoStageFactoryName(n));
    } else {
        for (int n = 0; n < kFactoryPresetCount; ++n) {
            char name[64];
            FactoryPresetName(n, name, sizeof name);
            gText += (n ? "," : "") + Quoted(name);
        }
    }
    gText += "]";
    return gText.c_str();
}

EMSCRIPTEN_KEEPALIVE int32_t velk_load_factory(int32_t n)
{
    gError.clear();
    return LoadFactory(gSession, n) ? 1 : Fail("no such preset");
}

EMSCRIPTEN_KEEPALIVE int32_t velk_record_filter(const uint8_t* record)
{
    if (!record)
        return -1;
    DeformSettings deform;
    std::memcpy(&deform, record, sizeof deform);
    if (deform.magic == kDeformMagic && VerifyDeformSettings(deform))
        return VELK_3D;
    TwoStageParams twostage;
    std::memcpy(&twostage, record, sizeof twostage);
    return TwoStageChecksumValid(twostage) ? VELK_2000 : -1;
}

EMSCRIPTEN_KEEPALIVE int32_t velk_load_record(const uint8_t* record)
{
    gError.clear();
    if (!record)
        return Fail("no record");
    std::string error, warning;
    if (!LoadUserPreset(gSession, record, error, warning))
        return Fail(error);
    gError = warning;
    return 1;
}

EMSCRIPTEN_KEEPALIVE const uint8_t* velk_export_record(int32_t form, int32_t saveColours,
                                                       int32_t saveLight)
{
    gRecord = ExportRecord(gSession, form == VELK_RECORD_PRESET, saveColours != 0, saveLight != 0);
    return gRecord.data();
}

EMSCRIPTEN_KEEPALIVE void velk_seed(uint32_t seed) { SeedToolRandom(gSession.random, seed); }
EMSCRIPTEN_KEEPALIVE int32_t velk_dice(void) { return Dice(gSession); }
EMSCRIPTEN_KEEPALIVE int32_t velk_vary_colours(void) { return VaryShadowColours(gSession); }
EMSCRIPTEN_KEEPALIVE int32_t velk_step_spacing(int32_t increase) { return StepSpacings(gSession, increase != 0); }
EMSCRIPTEN_KEEPALIVE int32_t velk_flip(void) { return Flip(gSession); }
EMSCRIPTEN_KEEPALIVE int32_t velk_set_bypass(int32_t stage, int32_t on) { return SetStageBypass(gSession, stage, on != 0); }
EMSCRIPTEN_KEEPALIVE int32_t velk_bypass(int32_t stage)
{
    return stage >= 0 && stage < 2 && gSession.filter == WebFilter::Velk2000 && gSession.tools.bypass[stage];
}
EMSCRIPTEN_KEEPALIVE int32_t velk_undo(void) { return StepHistory(gSession, true); }
EMSCRIPTEN_KEEPALIVE int32_t velk_redo(void) { return StepHistory(gSession, false); }
EMSCRIPTEN_KEEPALIVE int32_t velk_can_undo(void) { return CanStepHistory(gSession, true); }
EMSCRIPTEN_KEEPALIVE int32_t velk_can_redo(void) { return CanStepHistory(gSession, false); }

EMSCRIPTEN_KEEPALIVE const uint8_t* velk_render_preview(void)
{
    if (!HasImage())
        return nullptr;
    RenderPreview(gSession);
    return gSession.preview.rgba.data();
}

EMSCRIPTEN_KEEPALIVE int32_t velk_preview_width(void) { return gSession.preview.size.width; }
EMSCRIPTEN_KEEPALIVE int32_t velk_preview_height(void) { return gSession.preview.size.height; }

EMSCRIPTEN_KEEPALIVE int32_t velk_render_image(void)
{
    gError.clear();
    if (!HasImage())
        return Fail("no image");
    const auto progress = [](int32_t row, int32_t total, void*) -> int32_t {
        ReportProgress(row, total);
        return 0;
    };
    if (RenderImage(gSession, progress, nullptr) != 0)
        return Fail("the render stopped");
    return 1;
}

EMSCRIPTEN_KEEPALIVE const uint8_t* velk_result_pixels(void)
{
    return gSession.result.empty() ? nullptr : gSession.result.data();
}

EMSCRIPTEN_KEEPALIVE const uint8_t* velk_png_rows(int32_t first, int32_t count)
{
    const Pixels& image = gSession.image;
    if (gSession.result.empty() || first < 0 || count <= 0 || count > image.height - first)
        return nullptr;
    gRows.resize(size_t(count) * (1 + size_t(image.width) * image.channels));
    FilterPngRows(gSession.result.data(), image.width, image.channels, first, count, gRows.data());
    return gRows.data();
}

} // extern "C"
