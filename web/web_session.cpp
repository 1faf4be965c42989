#include "web/web_session.h"

#include <algorithm>
#include <cstring>

#include "deform/engine/deform_controls.h"
#include "deform/engine/factory_presets.h"
#include "deform/engine/render_deformation.h"
#include "deform/shell/deform_panel.h"
#include "host/host_record.h"
#include "toolkit/preview/preview_reduce.h"
#include "twostage/engine/preset_load.h"
#include "twostage/engine/render_twostage.h"
#include "twostage/engine/twostage_presets.h"

namespace {

bool IsVelk2000(const WebSession& s)
{
    return s.filter == WebFilter::Velk2000;
}

// The colour sources an image can show: Transparent only with alpha.
uint8_t ShownSource(const WebSession& s, uint8_t source)
{
    return std::min<uint8_t>(source, static_cast<uint8_t>(s.image.channels - 1));
}

struct HostColours {
    uint8_t fore[4], back[4];
};

HostColours Colours(const WebSession& s)
{
    return {{s.foreground[0], s.foreground[1], s.foreground[2], 0},
            {s.background[0], s.background[1], s.background[2], 0}};
}

// velk3d's controls as the dialog holds them, from the captured record: the
// mark of "Last Used" makes the load take every slider and keep the colour.
DeformPanel DeformPanelOf(const WebSession& s, DeformColour& colour)
{
    const DeformSettings& r = s.deform;
    colour = DeformColour{r.colourSource, {r.colour[0], r.colour[1], r.colour[2], r.colour[3]}, 0};
    DeformSettings marked = r;
    marked.saveFlags = LastUsedMark;
    DeformPanel panel{};
    const HostColours host = Colours(s);
    ApplyUserRecord(panel, colour, marked, s.image.channels, host.fore, host.back);
    panel.antialias = r.antialias;
    panel.saveFlags = r.saveFlags;
    return panel;
}

// The velk3d record an Apply confirms: the source the image can show, and
// the fill colour resolved from it.
DeformSettings AppliedDeform(const WebSession& s, uint32_t& fill)
{
    DeformSettings r = s.deform;
    const uint8_t source = ShownSource(s, r.colourSource);
    SealLastUsed(r, source, r.colour);
    const HostColours host = Colours(s);
    fill = ResolveFillColour(s.image.channels, source, r.colour, host.fore, host.back);
    return r;
}

// After any change to velk2000's widgets: the record follows them, and a
// bypassed stage whose values moved releases its box.
void ReadBack(WebSession& s)
{
    ReadWidgets(s.panel, s.twostage);
    for (int stage = 0; stage < 2; ++stage)
        if (s.tools.bypass[stage] && BypassReleased(s.twostage, stage))
            s.tools.bypass[stage] = false;
}

bool IsSpacing(const ControlSpec& c)
{
    const int widget = c.value[0].widget;
    return c.kind == ControlKind::Value &&
           (widget == HSpacing1 || widget == VSpacing1 || widget == HSpacing2 || widget == VSpacing2);
}

FilterRecord HostRecord(const WebSession& s)
{
    return MakeHostRecord(s.image.channels, false, s.foreground, s.background);
}

} // namespace

void SetImage(WebSession& s, Pixels image)
{
    s.image = std::move(image);
    s.result.clear();
    WebPreview& p = s.preview;
    p.scale = PreviewScale(s.image.width, s.image.height);
    const size_t plane = size_t(kPreviewWidth) * kPreviewHeight;
    p.colour.assign(plane * 3, 0);
    p.transparency.assign(plane, 0);
    p.selection.assign(plane, 0);
    p.result.assign(plane * 3, 0);
    p.rgba.assign(plane * 4, 0);
    const int32_t rowBytes = s.image.width * s.image.channels;
    std::vector<uint8_t> scratch(size_t(s.image.height) * rowBytes);
    const PreviewBuffers buffers = {p.colour.data(), p.transparency.data(), p.selection.data()};
    p.size = FillPreviewBuffers(p.scale, s.image.bytes.data(), rowBytes, s.image.channels, nullptr,
                                s.image.width, s.image.width, s.image.height, scratch.data(), buffers);
}

void OpenFilter(WebSession& s, WebFilter filter)
{
    s.filter = filter;
    if (filter == WebFilter::Velk3d) {
        s.deform = DeformSettings{};
        FirstRunSettings(kFallbackPresetId - 2, s.image.channels, s.deform);
        return;
    }
    s.twostage = DialogRecordForFactory(kTwoStageInitialPreset);
    s.panel = TwoStagePanel{};
    MakeTwoStageWidgets(s.panel, TwoStageKnobs{}, TwoStageAnchors{});
    SetWidgets(s.panel, s.twostage);
    s.tools = ToolState{};
    RefreshSpacingShadows(s.tools, s.panel);
    s.history = History{};
    s.lastRendered = TwoStageParams{};
    s.rendered = false;
}

void* Record(WebSession& s)
{
    return IsVelk2000(s) ? static_cast<void*>(&s.twostage) : static_cast<void*>(&s.deform);
}

const ControlTable& Controls(const WebSession& s)
{
    return IsVelk2000(s) ? TwoStageControls() : DeformControls();
}

int32_t GetControl(WebSession& s, int control, int number)
{
    const ControlTable& table = Controls(s);
    if (control < 0 || control >= table.count)
        return 0;
    const ControlSpec& c = table.controls[control];
    const uint8_t* record = static_cast<const uint8_t*>(Record(s));
    if (c.kind == ControlKind::Colour)
        return number == 0 ? ReadControlValue(record, c.value[0])
               : number <= 3 ? record[c.value[1].offset + number - 1]
                             : 0;
    return number >= 0 && number < c.count ? ReadControlValue(record, c.value[number]) : 0;
}

int32_t SetControl(WebSession& s, int control, int number, int32_t value)
{
    const ControlTable& table = Controls(s);
    if (control < 0 || control >= table.count)
        return 0;
    const ControlSpec& c = table.controls[control];
    uint8_t* record = static_cast<uint8_t*>(Record(s));
    if (c.kind == ControlKind::Colour) {
        if (number == 0) {
            // A transparent fill needs an image with alpha, as the dialog's
            // pop-up and the command line have it.
            if (!IsVelk2000(s) && value == Transparent && s.image.channels != 4)
                return GetControl(s, control, number);
            WriteControlValue(record, c.value[0], LimitControlValue(c, value));
        } else if (number <= 3) {
            record[c.value[1].offset + number - 1] = static_cast<uint8_t>(std::clamp(value, 0, 255));
            // velk3d keeps a flag with the picked colour: it was chosen.
            if (!IsVelk2000(s))
                s.deform.colour[3] = 255;
        }
    } else if (number >= 0 && number < c.count) {
        WriteControlValue(record, c.value[number], LimitControlValue(c, value));
    }
    if (IsVelk2000(s)) {
        SetWidgets(s.panel, s.twostage);
        if (IsSpacing(c))
            RefreshSpacingShadows(s.tools, s.panel);
        ReadBack(s);
    }
    return GetControl(s, control, number);
}

bool LoadFactory(WebSession& s, int n)
{
    if (IsVelk2000(s)) {
        if (n < 0 || n >= kTwoStageFactoryCount)
            return false;
        LoadTwoStageRecord(s.panel, s.twostage, *TwoStageFactoryRecord(n));
        RefreshSpacingShadows(s.tools, s.panel);
        ReadBack(s);
        return true;
    }
    if (n < 0 || n >= kFactoryPresetCount)
        return false;
    DeformColour colour;
    DeformPanel panel = DeformPanelOf(s, colour);
    ApplyFactoryCode(panel, s.deform, DeformString(n + 2));
    CaptureSettings(panel, colour, true, s.deform);
    return true;
}

bool LoadUserPreset(WebSession& s, const uint8_t* bytes, std::string& error, std::string& warning)
{
    if (IsVelk2000(s)) {
        TwoStageParams loaded;
        std::memcpy(&loaded, bytes, sizeof loaded);
        if (!TwoStageChecksumValid(loaded)) {
            error = "Corrupted Preset or Incompatible Version.";
            return false;
        }
        if (LoadTwoStageRecord(s.panel, s.twostage, loaded))
            warning = "Preset version is greater than 1.4. Some settings will be ignored.";
        RefreshSpacingShadows(s.tools, s.panel);
        ReadBack(s);
        return true;
    }
    DeformSettings user;
    std::memcpy(&user, bytes, sizeof user);
    if (!VerifyDeformSettings(user)) {
        error = "Corrupted Preset or Incompatible Version.";
        return false;
    }
    DeformColour colour;
    DeformPanel panel = DeformPanelOf(s, colour);
    const HostColours host = Colours(s);
    colour.fill = ResolveFillColour(s.image.channels, colour.source, colour.picked, host.fore, host.back);
    ApplyUserRecord(panel, colour, user, s.image.channels, host.fore, host.back);
    CaptureSettings(panel, colour, true, s.deform);
    return true;
}

std::vector<uint8_t> ExportRecord(const WebSession& s, bool presetForm, bool saveColours,
                                  bool saveLight)
{
    std::vector<uint8_t> bytes(64);
    if (IsVelk2000(s)) {
        const TwoStageParams stored = StoredPreset(s.twostage, saveColours, saveLight);
        std::memcpy(bytes.data(), &stored, sizeof stored);
        return bytes;
    }
    uint32_t fill = 0;
    DeformSettings r = AppliedDeform(s, fill);
    if (presetForm) {
        // A saved preset keeps the resolved colour and the pop-up's boxes.
        for (int k = 0; k < 4; ++k)
            r.colour[k] = static_cast<uint8_t>(fill >> (8 * k));
        r.saveFlags = static_cast<uint8_t>((saveColours ? SaveColour : 0) |
                                           (saveLight ? SaveLightCorrection : 0));
    }
    std::memcpy(bytes.data(), &r, sizeof r);
    return bytes;
}

bool Dice(WebSession& s)
{
    if (!IsVelk2000(s))
        return false;
    RollDice(s.panel, s.twostage, s.tools, s.random);
    ReadBack(s);
    return true;
}

bool VaryShadowColours(WebSession& s)
{
    if (!IsVelk2000(s))
        return false;
    VaryColours(s.panel, s.twostage, s.tools, s.random);
    ReadBack(s);
    return true;
}

bool StepSpacings(WebSession& s, bool increase)
{
    if (!IsVelk2000(s) || !StepSpacing(s.panel, s.tools, increase))
        return false;
    ReadBack(s);
    return true;
}

bool Flip(WebSession& s)
{
    if (!IsVelk2000(s))
        return false;
    FlipDiagonally(s.panel, s.tools);
    ReadBack(s);
    return true;
}

bool SetStageBypass(WebSession& s, int stage, bool on)
{
    if (!IsVelk2000(s) || stage < 0 || stage > 1)
        return false;
    SetBypass(s.panel, s.tools, stage, on);
    ReadWidgets(s.panel, s.twostage);
    return true;
}

bool CanStepHistory(const WebSession& s, bool undo)
{
    const History& h = s.history;
    if (!IsVelk2000(s))
        return false;
    return undo ? h.position >= 2 : h.position >= 1 && h.position <= h.highMark;
}

bool StepHistory(WebSession& s, bool undo)
{
    if (!CanStepHistory(s, undo))
        return false;
    const TwoStageParams* record = undo ? Undo(s.history, s.lastRendered) : Redo(s.history, s.lastRendered);
    if (!record)
        return false;
    // A rendered record comes back whole, without a preset load's fix-ups.
    s.twostage = *record;
    SetWidgets(s.panel, s.twostage);
    RefreshSpacingShadows(s.tools, s.panel);
    ReadBack(s);
    return true;
}

void RenderPreview(WebSession& s)
{
    WebPreview& p = s.preview;
    FilterRecord host = HostRecord(s);
    if (IsVelk2000(s)) {
        TwoStageParams params = s.twostage;
        const EngineContext context{&params, &host, s.image.channels};
        RenderTwoStage(context, 0, 0, p.size.width, p.size.height, p.colour.data(), kPreviewRowBytes,
                       p.result.data(), kPreviewRowBytes, p.selection.data(), kPreviewWidth,
                       p.transparency.data(), 1.0f, kTwoStagePreviewMode, nullptr, nullptr);
        if (!s.rendered || !SameTwoStageParams(s.twostage, s.lastRendered)) {
            PushHistory(s.history, s.lastRendered, s.twostage);
            s.rendered = true;
        }
    } else {
        uint32_t fill = 0;
        DeformSettings record = AppliedDeform(s, fill);
        const DeformContext context{&record, &host};
        const DeformBuffers buffers =
            PreviewDeformBuffers(p.size.width, p.size.height, p.colour.data(), p.result.data(),
                                 p.selection.data(), p.transparency.data());
        RenderDeformation(context, PreviewInputs(record), buffers, fill, 3, nullptr, nullptr);
    }
    // Blue, green, red rows into RGBA; outside the image's part nothing shows.
    for (int y = 0; y < kPreviewHeight; ++y)
        for (int x = 0; x < kPreviewWidth; ++x) {
            const uint8_t* from = &p.result[size_t(y) * kPreviewRowBytes + x * 3];
            uint8_t* to = &p.rgba[(size_t(y) * kPreviewWidth + x) * 4];
            const bool inside = x < p.size.width && y < p.size.height;
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = inside ? 255 : 0;
        }
}

int32_t RenderImage(WebSession& s, int32_t (*progress)(int32_t, int32_t, void*), void* user)
{
    const Pixels& image = s.image;
    const int32_t rowBytes = image.width * image.channels;
    s.result.assign(size_t(rowBytes) * image.height, 0);
    FilterRecord host = HostRecord(s);
    const float scale = PreviewScale(image.width, image.height);
    if (IsVelk2000(s)) {
        TwoStageParams params = s.twostage;
        const EngineContext context{&params, &host, image.channels};
        return RenderTwoStage(context, 0, 0, image.width, image.height, image.bytes.data(), rowBytes,
                              s.result.data(), rowBytes, nullptr, image.width, nullptr, scale,
                              kTwoStageFullImageMode + image.channels, progress, user);
    }
    uint32_t fill = 0;
    DeformSettings record = AppliedDeform(s, fill);
    const DeformContext context{&record, &host};
    const DeformBuffers buffers = ImageDeformBuffers(image.width, image.height, image.channels,
                                                     image.bytes.data(), s.result.data(), nullptr);
    return RenderDeformation(context, ApplyInputs(record, scale), buffers, fill, image.channels,
                             progress, user);
}
