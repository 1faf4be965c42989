// The preset box of velk2000's dialog: user presets (">" before the name, or
// "$" when the stored checksum does not match), the ten factory presets and
// "SAVE USER PRESET"; the load routine and what choosing an entry does.
#include <cstdio>
#include <cstring>

#include "resources/resource_ids.h"
#include "toolkit/module/module.h"
#include "toolkit/popups/preset_box.h"
#include "toolkit/popups/save_preset_popup.h"
#include "twostage/engine/twostage_presets.h"
#include "twostage/shell/twostage_dialog.h"

namespace {

const char kSaveEntry[] = "SAVE USER PRESET";

HWND PresetBox()
{
    return GetDlgItem(gDialog.window, IDC_PRESET_BOX);
}

int SavePosition()
{
    return gDialog.userCount + kTwoStageFactoryCount;
}

bool StoredRecordValid(const UserPresetName& u)
{
    TwoStageParams r;
    if (u.size != sizeof r)
        return false;
    std::memcpy(&r, u.record, sizeof r);
    return TwoStageChecksumValid(r);
}

// A user preset read afresh by its name; false when it is gone, is not one
// record long or fails its checksum.
bool ReadUserPreset(int position, TwoStageParams& record)
{
    TwoStageParams read;
    if (!ReadUserRecord(VELK2000_PRESET_KEY, gDialog.users[position].name, &read, sizeof read) ||
        !TwoStageChecksumValid(read))
        return false;
    record = read;
    return true;
}

void Select(int position)
{
    gDialog.position = position;
    SendMessageA(PresetBox(), CB_SETCURSEL, position, 0);
}

void TakePresetName()
{
    PresetNameAt(PresetBox(), gDialog.position, 20, gDialog.presetName, sizeof gDialog.presetName);
}

// The save entry: the pop-up, then a save or a delete. True when a preset
// was deleted and "e-Flowers" is to be loaded.
bool SaveOrDelete()
{
    TwoStageDialog& g = gDialog;
    TwoStageParams& record = gTwoStage.params;
    SavePopupSetup setup{};
    setup.kit = &g.kit;
    setup.keyPath = VELK2000_PRESET_KEY;
    setup.maxNames = kTwoStageUserPresets;
    setup.currentName = g.presetName;
    setup.option1 = !(record.saveFlags & SaveFlagNoColours);
    setup.option2 = !(record.saveFlags & SaveFlagNoLightCorrection);
    ImageButton* cancel = g.button[ButtonCancel];
    BitmapImage* lent[6] = {g.remove[0], g.remove[1], cancel ? cancel->normal : nullptr,
                            cancel ? cancel->pressed : nullptr, g.save[0], g.save[1]};
    if (lent[0] && lent[1] && lent[2] && lent[3] && lent[4] && lent[5])
        std::memcpy(setup.lent, lent, sizeof lent);
    SavePopupResult result = RunSavePresetPopup(ModuleInstance(), g.window, setup);
    if (result.name[0] == '\0')
        return false;
    char* name = StripPresetName(result.name);
    if (!result.remove) {
        std::snprintf(g.presetName, sizeof g.presetName, "%s", name);
        for (int i = 0; i < kTwoStageChecks; ++i) {
            static const int ids[kTwoStageChecks] = {IDC_DOUBLE_STRETCH1, IDC_DOUBLE_STRETCH2,
                                                     IDC_ANTIALIAS, IDC_DEFORMATION, IDC_WHITE_CANVAS};
            g.panel.check[i] = IsDlgButtonChecked(g.window, ids[i]) == BST_CHECKED ? 1 : 0;
        }
        ReadWidgets(g.panel, record);
        if (result.option1)
            record.saveFlags &= static_cast<uint8_t>(~SaveFlagNoColours);
        else
            record.saveFlags |= SaveFlagNoColours;
        if (result.option2)
            record.saveFlags &= 0xB0;
        else
            record.saveFlags |= SaveFlagNoLightCorrection;
        record.checksum = TwoStageChecksum(record);
        WriteRegistryValue(name, VELK2000_PRESET_KEY, &record, sizeof record);
        FillPresetBox();
        const int at = UserPresetEntry(PresetBox(), name);
        Select(at >= 0 ? at : g.previous);
        return false;
    }
    if (AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK2000_PRESET_KEY, name, nullptr, 0, kDeleteIndex) !=
        ERROR_SUCCESS) {
        MessageBoxA(g.window, "Unable to locate User Preset", "ERROR", MB_OK | MB_ICONERROR);
        return false;
    }
    FillPresetBox();
    Select(g.userCount + kTwoStageInitialPreset);
    return true;
}

} // namespace

void FillPresetBox()
{
    const HWND box = PresetBox();
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    gDialog.userCount = ListUserPresets(VELK2000_PRESET_KEY, kTwoStageUserPresets, gDialog.users);
    for (int i = 0; i < gDialog.userCount; ++i) {
        char text[kPresetNameArea + 1];
        std::memcpy(text, gDialog.users[i].name, kPresetNameArea);
        text[kPresetNameArea] = '\0';
        AddUserPrefix(text, StoredRecordValid(gDialog.users[i]) ? '>' : '$');
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    for (int n = 0; n < kTwoStageFactoryCount; ++n)
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TwoStageFactoryName(n)));
    SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kSaveEntry));
}

void LoadPreset(int position, const TwoStageParams* source)
{
    if (!source && position >= SavePosition())
        return;
    TwoStageParams& record = gTwoStage.params;
    TwoStageParams loaded = record;
    if (source) {
        loaded = *source;
    } else if (position < gDialog.userCount) {
        if (!ReadUserPreset(position, loaded))
            MessageBoxA(gDialog.window, "Corrupted Preset or Incompatible Version.", nullptr,
                        MB_OK | MB_ICONERROR); // the settings stay as they were
    } else {
        loaded = *TwoStageFactoryRecord(position - gDialog.userCount);
    }
    if (LoadTwoStageRecord(gDialog.panel, record, loaded))
        MessageBoxA(gDialog.window, "Preset version is greater than 1.4\nSome settings will be ignored.",
                    "Warning", MB_OK | MB_ICONWARNING);
    static const int ids[kTwoStageChecks] = {IDC_DOUBLE_STRETCH1, IDC_DOUBLE_STRETCH2, IDC_ANTIALIAS,
                                             IDC_DEFORMATION, IDC_WHITE_CANVAS};
    for (int i = 0; i < kTwoStageChecks; ++i)
        CheckDlgButton(gDialog.window, ids[i], gDialog.panel.check[i] ? BST_CHECKED : BST_UNCHECKED);
    RefreshSpacingShadows(gDialog.tools, gDialog.panel);
}

void OnPresetChoice()
{
    TwoStageDialog& g = gDialog;
    g.previous = g.position;
    g.position = static_cast<int>(SendMessageA(PresetBox(), CB_GETCURSEL, 0, 0));
    if (g.position == SavePosition()) {
        Select(g.previous);
        if (!SaveOrDelete())
            return;
    }
    LoadPreset(g.position, nullptr);
    TakePresetName();
    PostMessageA(g.window, WM_USER, kRenderRequest, 0);
}
