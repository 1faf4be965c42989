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

HWND PresetBox()
{
    return GetDlgItem(gDialog.window, IDC_PRESET_BOX);
}

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

void FillPresetBox()
{
    const HWND box = PresetBox();
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    gDialog.userCount = ListUserPresets(VELK3D_PRESET_KEY, kDeformUserPresets, gDialog.users);
    for (int i = 0; i < gDialog.userCount; ++i) {
        char text[kPresetNameArea + 1];
        std::memcpy(text, gDialog.users[i].name, kPresetNameArea);
        text[kPresetNameArea] = '\0';
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AddUserPrefix(text, '>')));
    }
    char text[61];
    ModuleString(1, text);
    int position = HashAt(text);
    if (position >= 0) {
        int16_t count = static_cast<int16_t>(gDialog.factoryCount);
        ++position;
        parsePresetNumber(&count, text, &position);
        gDialog.factoryCount = count;
    }
    gDialog.presetLimit = gDialog.userCount + gDialog.factoryCount;
    for (int k = 0; k <= gDialog.factoryCount; ++k) {
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


void LoadPreset(int index)
{
    if (index < 0 || index >= gDialog.presetLimit)
        return;
    DeformSettings& record = gDeform.settings;
    if (index >= gDialog.userCount) {
        LoadFactory(index - gDialog.userCount + 2);
        return;
    }
    // Read afresh by name: gone, of another size or failing its checksum, it
    // gives the fallback preset.
    if (ReadUserRecord(VELK3D_PRESET_KEY, gDialog.users[index].name, &record, sizeof record) &&
        VerifyDeformSettings(record)) {
        const FilterRecord* host = gDeform.hostRecord;
        ApplyUserRecord(gDeform.panel, gDeform.colour, record, gDeform.planesInUse, host->foreColor,
                        host->backColor);
        return;
    }
    SetFallbackLight(gDeform.panel);
    LoadFactory(kFallbackPresetId);
}

void TakePresetName()
{
    PresetNameAt(PresetBox(), gDialog.current, 19, gDialog.presetName, sizeof gDialog.presetName);
}

void Select(int index)
{
    gDialog.current = index;
    SendMessageA(PresetBox(), CB_SETCURSEL, index, 0);
}

// The save entry: the pop-up, then a save or a delete. True when a preset was
// deleted and the first entry is to be loaded.
bool SaveOrDelete()
{
    DeformPanel& panel = gDeform.panel;
    SavePopupSetup setup{};
    setup.kit = &gDialog.kit;
    setup.keyPath = VELK3D_PRESET_KEY;
    setup.maxNames = kDeformUserPresets;
    setup.currentName = gDialog.presetName;
    setup.option1 = (panel.saveFlags & SaveColour) != 0;
    setup.option2 = (panel.saveFlags & SaveLightCorrection) != 0;
    SavePopupResult result = RunSavePresetPopup(ModuleInstance(), gDialog.window, setup);
    if (result.name[0] == '\0')
        return false;
    panel.saveFlags = static_cast<uint8_t>((result.option1 ? SaveColour : 0) |
                                           (result.option2 ? SaveLightCorrection : 0));
    char* name = StripPresetName(result.name);
    if (!result.remove) {
        std::snprintf(gDialog.presetName, sizeof gDialog.presetName, "%s", name);
        CaptureSettings(panel, gDeform.colour, false, gDeform.settings);
        WriteRegistryValue(name, &gDeform.settings, sizeof gDeform.settings);
        FillPresetBox();
        const int at = UserPresetEntry(PresetBox(), name);
        Select(at >= 0 ? at : gDialog.previous);
        return false;
    }
    if (AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, name, nullptr, 0, kDeleteIndex) !=
        ERROR_SUCCESS) {
        ReportError(ModuleInstance(), 40, gDialog.window, MB_OK | MB_ICONERROR);
        return false;
    }
    FillPresetBox();
    Select(0);
    return true;
}

} // namespace

void StartPresetBox()
{
    FillPresetBox();
    int current = UserPresetEntry(PresetBox(), "Last Used");
    if (current < 0 || current >= gDialog.userCount) {
        current = gDialog.userCount + 2; // "Velkstone"
        SetFallbackLight(gDeform.panel);
        gDeform.useDefaults = false;
    }
    LoadPreset(current);
    CaptureSettings(gDeform.panel, gDeform.colour, false, gDeform.settings);
    Select(current);
    gDialog.previous = current;
    TakePresetName();
}

void OnPresetChoice()
{
    gDialog.previous = gDialog.current;
    gDialog.current = static_cast<int>(SendMessageA(PresetBox(), CB_GETCURSEL, 0, 0));
    if (gDialog.current == gDialog.presetLimit) {
        Select(gDialog.previous);
        if (!SaveOrDelete())
            return;
    }
    LoadPreset(gDialog.current);
    TakePresetName();
    RequestRepaint();
}
