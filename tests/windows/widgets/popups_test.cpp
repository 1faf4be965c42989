// The colour-source and save-preset pop-ups opened from the gallery and
// worked through the UI driver: what each press chooses, what the two
// modules' calls change, the picker, the refusal, and what they leave behind.
#include <gtest/gtest.h>

#include <cstring>

#include "resources/resource_ids.h"
#include "tests/windows/widgets/gallery_run.h"
#include "toolkit/popups/colour_source_popup.h"
#include "toolkit/presetstore/preset_store.h"
#include "tools/uidriver/box_capture.h"
#include "tools/uidriver/gdi_count.h"

namespace {

class Popups : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartGallery(run, 4)) << d.error; }
    void TearDown() override { StopGallery(run); }

    // Opens the colour-source pop-up for the velk2000 setting and clicks at
    // the height of row `row` (x = 5, over its label), or `y` when given.
    void ChooseRow(int row, int y = -1)
    {
        ASSERT_TRUE(OpenPopup(run, kGalleryColourSource, DialogKind::ColourSource)) << d.error;
        const RECT r = ClientRectOf(d, IDC_ROW_FRAME_FOREGROUND + row);
        ASSERT_TRUE(Click(d, 5, y >= 0 ? y : (r.top + r.bottom) / 2)) << d.error;
        ASSERT_TRUE(FindDialog(d, DialogKind::Main)) << d.error;
    }

    std::vector<uint8_t> Setting() const
    {
        return std::vector<uint8_t>(g.transparentSetting, g.transparentSetting + 4);
    }

    GalleryRun run;
    UiDriver& d = run.driver;
    Gallery& g = run.gallery;
};

TEST_F(Popups, ColourSourceRowsPickerAndRefusals)
{
    // A right click closes the pop-up with no change and no repaint.
    ASSERT_TRUE(OpenPopup(run, kGalleryColourSource, DialogKind::ColourSource)) << d.error;
    ASSERT_TRUE(RightClick(d, 20, 20)) << d.error;
    ASSERT_TRUE(FindDialog(d, DialogKind::Main)) << d.error;
    EXPECT_EQ(Setting(), (std::vector<uint8_t>{10, 20, 30, 3}));
    EXPECT_EQ(g.redrawRequests, 0);

    // A press on the label "Picker" opens the host's picker; its answer is taken.
    g.pickGiven = true;
    g.pick[0] = 1, g.pick[1] = 2, g.pick[2] = 3;
    ChooseRow(PopupPicker);
    EXPECT_EQ(g.pickCalls, 1);
    EXPECT_EQ(Setting(), (std::vector<uint8_t>{1, 2, 3, 2}));
    EXPECT_EQ(g.redrawRequests, 1);
    // Picker again: the picker opens again and the new colour repaints.
    g.pick[0] = 7;
    ChooseRow(PopupPicker);
    EXPECT_EQ(Setting(), (std::vector<uint8_t>{7, 2, 3, 2}));
    EXPECT_EQ(g.redrawRequests, 2);
    // A cancelled picker changes nothing.
    g.pickGiven = false;
    ChooseRow(PopupPicker);
    EXPECT_EQ(g.pickCalls, 3);
    EXPECT_EQ(Setting(), (std::vector<uint8_t>{7, 2, 3, 2}));
    EXPECT_EQ(g.redrawRequests, 2);

    // A new source repaints; the same source again does not.
    ChooseRow(PopupForeground);
    EXPECT_EQ(g.transparentSetting[3], 0);
    EXPECT_EQ(g.redrawRequests, 3);
    ChooseRow(PopupForeground);
    EXPECT_EQ(g.redrawRequests, 3);
    // A press at or below the last row's bottom edge counts for that row.
    ASSERT_TRUE(OpenPopup(run, kGalleryColourSource, DialogKind::ColourSource)) << d.error;
    RECT client;
    GetClientRect(d.dialog, &client);
    ASSERT_TRUE(Click(d, 5, client.bottom - 1)) << d.error;
    ASSERT_TRUE(FindDialog(d, DialogKind::Main)) << d.error;
    EXPECT_EQ(g.transparentSetting[3], 3);

    // On 3 planes Transparent is refused with a message, and nothing changes.
    const size_t boxes = CapturedBoxes().size();
    g.planes = 3;
    ChooseRow(PopupBackground);
    ChooseRow(PopupTransparent);
    const std::vector<CapturedBox> shown = CapturedBoxes();
    ASSERT_EQ(shown.size(), boxes + 1);
    EXPECT_EQ(shown.back().text, "Transparency is Not Available.");
    EXPECT_FALSE(shown.back().hasCaption);
    EXPECT_EQ(shown.back().icon, "error");
    EXPECT_EQ(g.transparentSetting[3], 1);
}

TEST_F(Popups, FillColourOfVelk3d)
{
    // Picker with a scripted colour: the picked colour and the resolved fill
    // colour follow, and the dialog is asked to repaint.
    g.pickGiven = true;
    g.pick[0] = 40, g.pick[1] = 50, g.pick[2] = 60;
    ASSERT_TRUE(OpenPopup(run, kGalleryFillColour, DialogKind::ColourSource)) << d.error;
    ASSERT_TRUE(Click(d, 5, (ClientRectOf(d, IDC_ROW_FRAME_PICKER).top + ClientRectOf(d, IDC_ROW_FRAME_PICKER).bottom) / 2));
    ASSERT_TRUE(FindDialog(d, DialogKind::Main)) << d.error;
    EXPECT_EQ(g.fillSource, 2);
    EXPECT_EQ(g.fillColour, 0xFF3C3228u);
    EXPECT_EQ(g.redrawRequests, 1);
    // Background: resolved from the host's background colour.
    ASSERT_TRUE(OpenPopup(run, kGalleryFillColour, DialogKind::ColourSource)) << d.error;
    ASSERT_TRUE(Click(d, 5, (ClientRectOf(d, IDC_ROW_FRAME_BACKGROUND).top + 2)));
    ASSERT_TRUE(FindDialog(d, DialogKind::Main)) << d.error;
    EXPECT_EQ(g.fillSource, 1);
    EXPECT_EQ(g.fillColour, 0xFF5A3C1Eu);
    // A cancelled picker keeps the source.
    g.pickGiven = false;
    ASSERT_TRUE(OpenPopup(run, kGalleryFillColour, DialogKind::ColourSource)) << d.error;
    ASSERT_TRUE(Click(d, 5, ClientRectOf(d, IDC_ROW_FRAME_PICKER).top + 2));
    ASSERT_TRUE(FindDialog(d, DialogKind::Main)) << d.error;
    EXPECT_EQ(g.fillSource, 1);
    EXPECT_EQ(g.redrawRequests, 2);
}

uint32_t Rgb(const Capture& c, int x, int y)
{
    const uint8_t* p = c.At(x, y);
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

TEST_F(Popups, ColourSourceRowsShowTheirColours)
{
    for (int planes : {4, 3}) {
        SCOPED_TRACE(planes);
        g.planes = planes;
        g.transparentSetting[0] = 9, g.transparentSetting[1] = 8, g.transparentSetting[2] = 7;
        ASSERT_TRUE(OpenPopup(run, kGalleryColourSource, DialogKind::ColourSource)) << d.error;
        Capture c;
        ASSERT_TRUE(CaptureClient(d, c)) << d.error;
        const auto inset = [&](int row) {
            const RECT r = ClientRectOf(d, IDC_ROW_FRAME_FOREGROUND + row);
            return POINT{r.left + 4, r.top + 4};
        };
        EXPECT_EQ(Rgb(c, inset(0).x, inset(0).y), 0xC81E28u); // host foreground
        EXPECT_EQ(Rgb(c, inset(1).x, inset(1).y), 0x1E3C5Au); // host background
        EXPECT_EQ(Rgb(c, inset(2).x, inset(2).y), 0x090807u); // the setting's colour
        const RECT last = ClientRectOf(d, IDC_ROW_FRAME_TRANSPARENT);
        int grey = 0;
        for (int y = last.top + 2; y < last.bottom - 2; ++y)
            for (int x = last.left + 2; x < last.right - 2; ++x)
                grey += Rgb(c, x, y) == 0xC0C0C0u;
        if (planes == 4)
            EXPECT_GT(grey, 20); // the checkerboard
        else
            EXPECT_EQ(grey, 0); // "NA" over the paper
        ASSERT_TRUE(RightClick(d, 5, 5)) << d.error;
        ASSERT_TRUE(FindDialog(d, DialogKind::Main)) << d.error;
    }
}

// Presets of the save pop-up's list, under test keys of their own.
struct TestPresetKey {
    HKEY machine = nullptr, user = nullptr;
    TestPresetKey()
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VelkPopupTest\\Machine", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &machine, nullptr);
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VelkPopupTest\\User", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &user, nullptr);
        SetPresetStoreRoots(machine, user);
        const uint8_t record[64] = {};
        WriteRegistryValue("Alpha", "Presets", record, 64);
        WriteRegistryValue("Beta", "Presets", record, 64);
    }
    ~TestPresetKey()
    {
        SetPresetStoreRoots(nullptr, nullptr);
        RegCloseKey(machine);
        RegCloseKey(user);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VelkPopupTest");
    }
};

TEST_F(Popups, SavePresetResultsAndOptions)
{
    TestPresetKey key;
    g.saveSetup.keyPath = "Presets";
    g.saveSetup.maxNames = 20;
    g.saveSetup.currentName = ">My preset  ";
    const struct {
        bool option1, option2;
        int button; // 0 Delete, 1 Cancel, 2 Save
    } runs[] = {{true, false, 2}, {false, true, 0}, {true, true, 1}};
    for (const auto& r : runs) {
        SCOPED_TRACE(r.button);
        g.saveSetup.option1 = r.option1;
        g.saveSetup.option2 = r.option2;
        ASSERT_TRUE(OpenPopup(run, kGallerySavePreset, DialogKind::SavePreset)) << d.error;
        EXPECT_EQ(ComboItems(d, IDC_PRESET_NAME), (std::vector<std::string>{"Alpha", "Beta"}));
        EXPECT_EQ(ControlText(d, IDC_PRESET_NAME), "My preset");
        EXPECT_EQ(CheckState(d, IDC_SAVE_OPTION1), r.option1 ? 1 : 0);
        EXPECT_EQ(CheckState(d, IDC_SAVE_OPTION2), r.option2 ? 1 : 0);
        ASSERT_TRUE(ClickControl(d, IDC_SAVE_OPTION2)) << d.error; // the user changes one
        ASSERT_TRUE(SetControlText(d, IDC_PRESET_NAME, "A name longer than nineteen")) << d.error;
        const RECT combo = ClientRectOf(d, IDC_PRESET_NAME);
        const int x[3] = {4 + 10, combo.right - 134 + 10, combo.right - 60 + 10};
        const size_t boxes = CapturedBoxes().size();
        ASSERT_TRUE(Click(d, x[r.button], combo.bottom + 6 + 10)) << d.error;
        if (r.button == 2) {
            // Saved, the name would be cut: the pop-up says so and stays.
            ASSERT_EQ(CapturedBoxes().size(), boxes + 1);
            EXPECT_EQ(CapturedBoxes().back().text, "A preset name has at most 19 characters.");
            ASSERT_TRUE(SetControlText(d, IDC_PRESET_NAME, "Nineteen characters")) << d.error;
            ASSERT_TRUE(Click(d, x[r.button], combo.bottom + 6 + 10)) << d.error;
        }
        ASSERT_TRUE(FindDialog(d, DialogKind::Main)) << d.error;
        const SavePopupResult& got = g.saveResult;
        if (r.button == 1) {
            EXPECT_STREQ(got.name, "");
            continue;
        }
        // A hand-made preset of a longer name can still be deleted.
        EXPECT_STREQ(got.name, r.button == 2 ? "Nineteen characters" : "A name longer than nineteen");
        EXPECT_EQ(got.remove, r.button == 0);
        EXPECT_EQ(got.option1, r.option1);
        EXPECT_EQ(got.option2, !r.option2);
    }
}

TEST_F(Popups, OpeningAndClosingLeavesNoDrawingObjects)
{
    TestPresetKey key;
    g.saveSetup.keyPath = "Presets";
    g.saveSetup.maxNames = 20;
    const long before = LiveGdiObjects();
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(OpenPopup(run, kGalleryColourSource, DialogKind::ColourSource)) << d.error;
        ASSERT_TRUE(RightClick(d, 5, 5)) << d.error;
        ASSERT_TRUE(FindDialog(d, DialogKind::Main)) << d.error;
        ASSERT_TRUE(OpenPopup(run, kGallerySavePreset, DialogKind::SavePreset)) << d.error;
        ASSERT_TRUE(Key(d, "escape")) << d.error;
        ASSERT_TRUE(FindDialog(d, DialogKind::Main)) << d.error;
    }
    EXPECT_EQ(LiveGdiObjects(), before);
    EXPECT_GT(before, 5); // the gallery's own objects are counted
}

} // namespace
