// The preset box of velk2000's dialog: user presets (">" before the name, or
// "$" when the stored checksum does not match), the ten factory presets and
// "SAVE USER PRESET"; the load routine and what choosing an entry does.
#include <cstdio>
#include <cstring>

#include "resources/resource_ids.h"
#include "toolkit/module/module.h"
#include "toolkit/popups/save_preset_popup.h"
#include "twostage/engine/preset_load.h"
#include "twostage/engine/twostage_presets.h"
#include "twostage/shell/twostage_dialog.h"

namespace {

const char kSaveEntry[] = "SAVE USER PRESET";
// The entry's text, at most 20 characters, names the preset in use.
constexpr int kShownName = 20;

int SavePosition(const TwoStageDialog& d)
{
    return d.presets.userCount + kTwoStageFactoryCount;
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
bool ReadUserPreset(const TwoStageDialog& d, int position, TwoStageParams& record)
{
    TwoStageParams read;
    if (!ReadUserRecord(VELK2000_PRESET_KEY, d.presets.users[position].name, &read, sizeof read) ||
        !TwoStageChecksumValid(read))
        return false;
    record = read;
    return true;
}

// The save entry: the pop-up, then a save or a delete. True when a preset
// was deleted and "e-Flowers" is to be loaded.
bool SaveOrDelete(TwoStageDialog& d)
{
    PresetList& list = d.presets;
    TwoStageParams& record = gTwoStage.params;
    SavePopupSetup setup{};
    setup.kit = &d.frame.kit;
    setup.keyPath = VELK2000_PRESET_KEY;
    setup.maxNames = kTwoStageUserPresets;
    setup.currentName = list.name;
    setup.option1 = !(record.saveFlags & SaveFlagNoColours);
    setup.option2 = !(record.saveFlags & SaveFlagNoLightCorrection);
    const ImageButton* cancel = d.button[ButtonCancel].get();
    BitmapImage* lent[6] = {d.remove[0].get(), d.remove[1].get(), cancel ? cancel->normal : nullptr,
                            cancel ? cancel->pressed : nullptr, d.save[0].get(), d.save[1].get()};
    if (lent[0] && lent[1] && lent[2] && lent[3] && lent[4] && lent[5])
        std::memcpy(setup.lent, lent, sizeof lent);
    SavePopupResult result = RunSavePresetPopup(ModuleInstance(), d.frame.window, setup);
    if (result.name[0] == '\0')
        return false;
    char* name = StripPresetName(result.name);
    if (!result.remove) {
        // The stored copy carries the options and its checksum; the dialog's
        // record stays as rendered, so a save neither renders again nor
        // leaves an undo step.
        TwoStageParams shown = record;
        ReadCheckBoxes(d);
        ReadWidgets(d.panel, shown);
        const TwoStageParams stored = StoredPreset(shown, result.option1, result.option2);
        if (!SaveUserPreset(d.frame.window, VELK2000_PRESET_KEY, name, &stored, sizeof stored))
            return false;
        std::snprintf(list.name, sizeof list.name, "%s", name);
        FillPresetBox(d);
        SelectSavedPreset(list, name);
        return false;
    }
    if (!DeleteUserPreset(VELK2000_PRESET_KEY, name)) {
        MessageBoxA(d.frame.window, "Unable to locate User Preset", "ERROR", MB_OK | MB_ICONERROR);
        return false;
    }
    FillPresetBox(d);
    SelectPreset(list, list.userCount + kTwoStageInitialPreset);
    return true;
}

} // namespace

void FillPresetBox(TwoStageDialog& d)
{
    PresetList& list = d.presets;
    const HWND box = list.box;
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    list.userCount = ListUserPresets(VELK2000_PRESET_KEY, kTwoStageUserPresets, list.users);
    for (int i = 0; i < list.userCount; ++i) {
        char text[kPresetNameArea + 1];
        std::memcpy(text, list.users[i].name, kPresetNameArea);
        text[kPresetNameArea] = '\0';
        AddUserPrefix(text, StoredRecordValid(list.users[i]) ? '>' : '$');
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    for (int n = 0; n < kTwoStageFactoryCount; ++n)
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TwoStageFactoryName(n)));
    SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kSaveEntry));
}

void StartPresetBox(TwoStageDialog& d)
{
    PresetList& list = d.presets;
    list.box = GetDlgItem(d.frame.window, IDC_PRESET_BOX);
    FillPresetBox(d);
    const int start = list.userCount + kTwoStageInitialPreset; // "e-Flowers"
    SelectPreset(list, start);
    list.previous = start;
    LoadPreset(d, start);
    std::snprintf(list.name, sizeof list.name, "%s", TwoStageFactoryName(kTwoStageInitialPreset));
}

void LoadPreset(TwoStageDialog& d, int position)
{
    if (position >= SavePosition(d))
        return;
    TwoStageParams& record = gTwoStage.params;
    TwoStageParams loaded = record;
    if (position < d.presets.userCount) {
        if (!ReadUserPreset(d, position, loaded))
            MessageBoxA(d.frame.window, "Corrupted Preset or Incompatible Version.", nullptr,
                        MB_OK | MB_ICONERROR); // the settings stay as they were
    } else {
        loaded = *TwoStageFactoryRecord(position - d.presets.userCount);
    }
    if (LoadTwoStageRecord(d.panel, record, loaded))
        MessageBoxA(d.frame.window, "Preset version is greater than 1.4\nSome settings will be ignored.",
                    "Warning", MB_OK | MB_ICONWARNING);
    SyncCheckBoxes(d);
    RefreshSpacingShadows(d.tools, d.panel);
}

void OnPresetChoice(TwoStageDialog& d)
{
    PresetList& list = d.presets;
    if (ChooseSaveEntry(list, SavePosition(d)) && !SaveOrDelete(d))
        return;
    LoadPreset(d, list.position);
    TakePresetName(list, kShownName);
    PostRender(d.frame);
}
