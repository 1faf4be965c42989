// The preset box of velk3d's dialog: user presets (">" before their names),
// the factory presets of the string table and the save entry; what choosing
// each of them does, and the dialog's start on ">Last Used" or "Velkstone".
#include <cstdio>
#include <cstring>

#include "deform/engine/factory_presets.h"
#include "deform/shell/deform_dialog.h"
#include "resources/resource_ids.h"
#include "toolkit/module/module.h"
#include "toolkit/popups/preset_box.h"
#include "toolkit/popups/save_preset_popup.h"

namespace {

// String id of the module, at most 60 characters.
void ModuleString(int id, char text[61])
{
    text[0] = '\0';
    LoadStringA(ModuleInstance(), static_cast<UINT>(id), text, 61);
}

int HashAt(const char* text)
{
    const char* hash = static_cast<const char*>(std::memchr(text, '#', std::strlen(text)));
    return hash ? static_cast<int>(hash - text) : -1;
}

void FillPresetBox(DeformDialog& d)
{
    PresetList& list = d.presets;
    const HWND box = list.box;
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    list.userCount = ListUserPresets(VELK3D_PRESET_KEY, kDeformUserPresets, list.users);
    for (int i = 0; i < list.userCount; ++i) {
        char text[kPresetNameArea + 1];
        std::memcpy(text, list.users[i].name, kPresetNameArea);
        text[kPresetNameArea] = '\0';
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AddUserPrefix(text, '>')));
    }
    char text[61];
    ModuleString(1, text);
    int position = HashAt(text);
    if (position >= 0) {
        int16_t count = static_cast<int16_t>(d.factoryCount);
        ++position;
        parsePresetNumber(&count, text, &position);
        d.factoryCount = count;
    }
    d.presetLimit = list.userCount + d.factoryCount;
    for (int k = 0; k <= d.factoryCount; ++k) {
        ModuleString(k + 2, text);
        const int hash = HashAt(text);
        if (hash >= 0)
            text[hash > 0 ? hash - 1 : 0] = '\0'; // the blank before "#" goes too
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

void LoadFactory(int stringId)
{
    char code[61];
    ModuleString(stringId, code);
    ApplyFactoryCode(gDeform.panel, gDeform.settings, code);
}

void LoadPreset(const DeformDialog& d, int index)
{
    const PresetList& list = d.presets;
    if (index < 0 || index >= d.presetLimit)
        return;
    DeformSettings& record = gDeform.settings;
    if (index >= list.userCount) {
        LoadFactory(index - list.userCount + 2);
        return;
    }
    // Read afresh by name: gone, of another size or failing its checksum, it
    // gives the fallback preset.
    if (ReadUserRecord(VELK3D_PRESET_KEY, list.users[index].name, &record, sizeof record) &&
        VerifyDeformSettings(record)) {
        const FilterRecord* host = gDeform.hostRecord;
        ApplyUserRecord(gDeform.panel, gDeform.colour, record, gDeform.planesInUse, host->foreColor,
                        host->backColor);
        return;
    }
    SetFallbackLight(gDeform.panel);
    LoadFactory(kFallbackPresetId);
}

// The save entry: the pop-up, then a save or a delete. True when a preset was
// deleted and the first entry is to be loaded.
bool SaveOrDelete(DeformDialog& d)
{
    PresetList& list = d.presets;
    DeformPanel& panel = gDeform.panel;
    SavePopupSetup setup{};
    setup.kit = &d.frame.kit;
    setup.keyPath = VELK3D_PRESET_KEY;
    setup.maxNames = kDeformUserPresets;
    setup.currentName = list.name;
    setup.option1 = (panel.saveFlags & SaveColour) != 0;
    setup.option2 = (panel.saveFlags & SaveLightCorrection) != 0;
    SavePopupResult result = RunSavePresetPopup(ModuleInstance(), d.frame.window, setup);
    if (result.name[0] == '\0')
        return false;
    panel.saveFlags = static_cast<uint8_t>((result.option1 ? SaveColour : 0) |
                                           (result.option2 ? SaveLightCorrection : 0));
    char* name = StripPresetName(result.name);
    if (!result.remove) {
        CaptureSettings(panel, gDeform.colour, false, gDeform.settings);
        if (!SaveUserPreset(d.frame.window, VELK3D_PRESET_KEY, name, &gDeform.settings,
                            sizeof gDeform.settings))
            return false;
        std::snprintf(list.name, sizeof list.name, "%s", name);
        FillPresetBox(d);
        SelectSavedPreset(list, name);
        return false;
    }
    if (!DeleteUserPreset(VELK3D_PRESET_KEY, name)) {
        ReportError(ModuleInstance(), 40, d.frame.window, MB_OK | MB_ICONERROR);
        return false;
    }
    FillPresetBox(d);
    SelectPreset(list, 0);
    return true;
}

// The entry's text, at most 19 characters, names the preset in use.
constexpr int kShownName = 19;

} // namespace

void StartPresetBox(DeformDialog& d)
{
    PresetList& list = d.presets;
    list.box = GetDlgItem(d.frame.window, IDC_PRESET_BOX);
    FillPresetBox(d);
    int current = UserPresetEntry(list.box, VELK3D_LAST_USED);
    if (current < 0 || current >= list.userCount) {
        current = list.userCount + 2; // "Velkstone"
        SetFallbackLight(gDeform.panel);
        gDeform.useDefaults = false;
    }
    LoadPreset(d, current);
    CaptureSettings(gDeform.panel, gDeform.colour, false, gDeform.settings);
    SelectPreset(list, current);
    list.previous = current;
    TakePresetName(list, kShownName);
}

void OnPresetChoice(DeformDialog& d)
{
    PresetList& list = d.presets;
    if (ChooseSaveEntry(list, d.presetLimit) && !SaveOrDelete(d))
        return;
    LoadPreset(d, list.position);
    TakePresetName(list, kShownName);
    PostRender(d.frame);
}
