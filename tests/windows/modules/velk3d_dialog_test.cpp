// velk3d's dialog worked through velkhost's UI scripts: the first run, the
// factory presets, drags and the preview, user presets, the fill colour, the
// web link, and what a dialog leaves behind. Every whole-image result is
// compared with the command line given the same settings.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/windows/modules/module_run.h"

namespace {

const char kApply[] = "click @1004/tr:144,5\n";
const char kCancel[] = "click @1004/tr:70,5\n";

class Velk3dDialog : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder();
        DeleteUserPresets3d();
    }
    void TearDown() override { DeleteUserPresets3d(); }

    HostRun Run(const std::string& script, const std::string& input, const std::string& extra = "")
    {
        return RunScripted("run " + Quote(Velk3dModule()) + " --in " + Quote(input) + " --out " +
                               Quote(folder + "host.png") + " --fore 200,30,40 --back 30,60,90 " + extra,
                           folder, "dialog samples\n" + script);
    }

    Pixels Cli(const std::vector<std::string>& options, const std::string& input, const std::string& name)
    {
        return CliPicture("velk3d", options, input, folder + name);
    }

    // "Last Used" as a record file for the command line.
    std::string LastUsedFile()
    {
        WriteBytes(folder + "last.bin", ReadLastUsed());
        return UnixPath(folder + "last.bin");
    }

    // The preview part (364 x 360 at the preview frame's corner + 2) of a capture.
    Pixels PreviewOf(const std::string& capture)
    {
        const ControlBox p = ReadRects(folder + "rects.txt")[1017];
        return Crop(LoadPixels(folder + capture), p.left + 2, p.top + 2, 364, 360);
    }

    std::string coffee = SourceFile("samples\\coffee.png");
    std::string folder;
};

std::string MaskFile(const std::string& folder, int w, int h)
{
    Pixels m{w, h, 1, std::vector<uint8_t>(size_t(w) * h)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            m.bytes[size_t(y) * w + x] = uint8_t(x < w / 3 ? 0 : x > w * 2 / 3 ? 255 : (x - w / 3) * 765 / w);
    const std::string path = folder + "mask.png";
    EXPECT_TRUE(SavePixels(path, m));
    return path;
}

TEST_F(Velk3dDialog, FirstRunAppliesVelkstoneAsTheCommandLine)
{
    Pixels rgb = LoadPixels(coffee);
    Pixels rgba{rgb.width, rgb.height, 4, {}};
    for (int y = 0; y < rgb.height; ++y)
        for (int x = 0; x < rgb.width; ++x) {
            const uint8_t* s = rgb.At(x, y);
            rgba.bytes.insert(rgba.bytes.end(), {s[0], s[1], s[2], uint8_t(255 - y * 255 / rgb.height)});
        }
    ASSERT_TRUE(SavePixels(folder + "rgba.png", rgba));
    const std::string mask = MaskFile(folder, rgb.width, rgb.height);
    const struct {
        std::string input, extra;
        std::vector<std::string> cli;
    } runs[] = {{coffee, "", {}}, {folder + "rgba.png", "", {}}, {coffee, "--mask " + Quote(mask), {"--mask", UnixPath(mask)}}};
    for (const auto& r : runs) {
        SCOPED_TRACE(r.extra + r.input);
        DeleteUserPresets3d();
        const HostRun run = Run("expect-text 1014 \"Velkstone    \"\n" + std::string(kApply), r.input, r.extra);
        ASSERT_EQ(run.exitCode, 0u) << run.summary;
        EXPECT_EQ(run.json["result"].Int(), 0);
        EXPECT_TRUE(run.json["rects_cleared"].boolean);
        EXPECT_TRUE(run.json["boxes"].items.empty()) << run.summary;
        EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"), Cli(r.cli, r.input, "cli.png")), 0u);
        EXPECT_EQ(ReadLastUsed().size(), 64u);
    }
}

TEST_F(Velk3dDialog, FactoryPresetsApplyAsTheCommandLine)
{
    for (const char* name : {"Jalousie", "Herring-Bone", "Velkstone", "Front Bricks", "Roof",
                             "Embossed Wrapper", "Jabot", "Gutters", "Cellulary"}) {
        SCOPED_TRACE(name);
        DeleteUserPresets3d();
        const HostRun run = Run("select 1014 \"" + std::string(name) + "\"\n" + kApply, coffee);
        ASSERT_EQ(run.exitCode, 0u) << run.summary;
        EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"), Cli({"--preset", name}, coffee, "cli.png")), 0u);
    }
}

TEST_F(Velk3dDialog, CancelAndEscapeLeaveTheImageAlone)
{
    for (const std::string& how : {std::string(kCancel), std::string("key escape\n")}) {
        const HostRun run = Run(how + "expect-closed\n", coffee);
        ASSERT_EQ(run.exitCode, 0u) << run.summary;
        EXPECT_EQ(run.json["result"].Int(), -128);
        EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"), LoadPixels(coffee)), 0u);
        EXPECT_TRUE(ReadLastUsed().empty());
    }
}

TEST_F(Velk3dDialog, DragsChangeThePreviewAndApplyRendersWhatItShowed)
{
    // Velkstone: Light Boosting 30 at the track's x 30, the G-Shading pad at
    // (45, 32), the Stretch pad at (50, 0).
    const HostRun run = Run("rects \"" + folder + "rects.txt\"\n"
                            "capture \"" + folder + "a.png\"\n"
                            "drag @1019/bl:58,124 -> @1019/bl:88,124\n"
                            "capture \"" + folder + "b.png\"\n"
                            "drag @1019:69,56 -> @1019:49,66\n"
                            "capture \"" + folder + "c.png\"\n"
                            "drag @1018:105,57 -> @1018:90,70\n"
                            "check 1027\n"
                            "capture \"" + folder + "d.png\"\n" +
                                std::string(kApply),
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const Pixels a = PreviewOf("a.png"), b = PreviewOf("b.png"), c = PreviewOf("c.png"), d = PreviewOf("d.png");
    EXPECT_GT(DifferingBytes(a, b), 1000u);
    EXPECT_GT(DifferingBytes(b, c), 1000u);
    EXPECT_GT(DifferingBytes(c, d), 1000u);
    // The stored record holds the moved values...
    const std::vector<uint8_t> last = ReadLastUsed();
    ASSERT_EQ(last.size(), 64u);
    int16_t x[8], y[8];
    std::memcpy(x, &last[0], 16);
    std::memcpy(y, &last[16], 16);
    EXPECT_EQ(x[6], 60);
    EXPECT_EQ(x[5], 25);
    EXPECT_EQ(y[5], 42);
    EXPECT_EQ(x[4], 35);
    EXPECT_EQ(y[4], 13);
    EXPECT_EQ(last[32] & 4, 4); // x2
    // ...the preview shown is the engine's preview of it, and Apply renders it.
    const std::string record = LastUsedFile();
    Pixels preview = Cli({"--record", record, "--preview"}, coffee, "preview.png");
    EXPECT_EQ(DifferingBytes(d, preview), 0u);
    EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"), Cli({"--record", record}, coffee, "cli.png")), 0u);
}

TEST_F(Velk3dDialog, ADragThatOutlastsARenderAbandonsIt)
{
    // Forty moves arrive at once: each one beyond the first stops the render
    // that is under way, and only the last, complete render is shown.
    const HostRun run = Run("rects \"" + folder + "rects.txt\"\n"
                            "drag @1019/bl:58,124 -> @1019/bl:98,124 steps 40\n"
                            "capture \"" + folder + "shown.png\"\n" +
                                std::string(kApply),
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_GE(run.json["progress_cut"].Int(), 30) << run.summary;
    const Pixels preview = Cli({"--record", LastUsedFile(), "--preview"}, coffee, "preview.png");
    EXPECT_EQ(DifferingBytes(PreviewOf("shown.png"), preview), 0u);
}

// Values of a stored record: slot x and y, saveFlags, colourSource.
struct Stored {
    int16_t x[8], y[8];
    uint8_t saveFlags, source, saturation;
};
Stored Decode(const std::vector<uint8_t>& r)
{
    Stored s{};
    if (r.size() != 64)
        return s;
    std::memcpy(s.x, &r[0], 16);
    std::memcpy(s.y, &r[16], 16);
    s.source = r[34];
    s.saveFlags = r[44];
    s.saturation = r[45];
    return s;
}

TEST_F(Velk3dDialog, UserPresetsSaveReloadAndDelete)
{
    // Saved with both options, on Roof with Light Boosting 60; then Jabot and
    // a lower Light Boosting; reloading ">Mine" brings back Roof's tiles and
    // 60. Saved again as "Plain" without the options; then Light Boosting
    // 80: loading ">Plain" keeps 80. A delete of a name that is not stored
    // shows the error; deleting "Mine" loads the first entry.
    const std::string save = "select 1014 \"SAVE USER  PRESET\"\ndialog save\n";
    const std::string saveButton = "click @1014/br:-50,16\n", deleteButton = "click 14,@1014/bl:0,16\n";
    const HostRun run = Run("rects \"" + folder + "rects.txt\"\nselect 1014 \"Roof\"\n"
                            "drag @1019/bl:58,124 -> @1019/bl:88,124\n"
                            "capture \"" + folder + "roof.png\"\n" +
                                save + "expect-checked 1034 0\nexpect-checked 1035 0\ncheck 1034\ncheck 1035\n"
                                "type 1014 \"Mine\"\n" + saveButton +
                                "dialog samples\nexpect-text 1014 \">Mine\"\n"
                                "select 1014 \"Jabot\"\n"
                                "drag @1019/bl:88,124 -> @1019/bl:38,124\n"
                                "select 1014 \">Mine\"\n"
                                "capture \"" + folder + "mine.png\"\n" +
                                save + "expect-checked 1034 1\nexpect-checked 1035 1\ncheck 1034\ncheck 1035\n"
                                "type 1014 \"Plain\"\n" + saveButton +
                                "dialog samples\n"
                                "drag @1019/bl:88,124 -> @1019/bl:108,124\n"
                                "select 1014 \">Plain\"\n" +
                                save + "type 1014 \"Nonexistent\"\n" + deleteButton +
                                "dialog samples\nexpect-box \"Unable to locate User Preset      \"\n" +
                                save + "type 1014 \"Mine\"\n" + deleteButton +
                                "dialog samples\nexpect-text 1014 \">Plain\"\n" + kApply,
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    ASSERT_EQ(run.json["boxes"].items.size(), 1u) << run.summary;
    EXPECT_EQ(run.json["boxes"][0]["caption"].text, "ERROR");
    EXPECT_EQ(run.json["boxes"][0]["icon"].text, "error");
    EXPECT_EQ(DifferingBytes(PreviewOf("roof.png"), PreviewOf("mine.png")), 0u);
    const Stored last = Decode(ReadLastUsed());
    EXPECT_EQ(last.x[6], 80); // Plain keeps the light sliders as they were
    EXPECT_EQ(last.x[1], 10); // Roof's tiles, from Plain (saved on Mine's values)
    EXPECT_EQ(last.y[0], 130);
}

// A user preset made by hand, its checksum valid, with values no widget can
// take: they load as far as a drag could go.
TEST_F(Velk3dDialog, OutOfRangePresetValuesLandOnTheTracks)
{
    RecordValues v{};
    const int16_t x[8] = {0, 900, 5, 60, 25, 25, 70, 40}, y[8] = {-7, 0, 0, 0, -3, 25, 0, 0};
    std::memcpy(v.valueX, x, sizeof x);
    std::memcpy(v.valueY, y, sizeof y);
    v.styleBits = 3;
    v.saveFlags = 4; // with its light correction
    v.saturation = 250;
    SetUserPreset3d("Odd", MakeRecord(v));
    const HostRun run = Run("select 1014 \">Odd\"\n" + std::string(kApply), coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const std::vector<uint8_t> last = ReadLastUsed();
    ASSERT_EQ(last.size(), 64u);
    const Stored s = Decode(last);
    EXPECT_EQ(s.x[1], 364);
    EXPECT_EQ(s.y[0], 0);
    EXPECT_EQ(s.y[4], 0);
    EXPECT_EQ(s.saturation, 100);
    EXPECT_EQ(last[32], 2); // the face scheme's last picture
}

// A name that strips to nothing or is too long keeps the save pop-up open
// with a word why; a save the registry refuses says so.
TEST_F(Velk3dDialog, SavesRefusedSayWhy)
{
    const std::string save = "select 1014 \"SAVE USER  PRESET\"\ndialog save\n",
                      saveButton = "click @1014/br:-50,16\n";
    HostRun run = Run(save + "type 1014 \"   \"\n" + saveButton + "expect-box \"Type a name for the preset.\"\n" +
                          "type 1014 \">\"\n" + saveButton + "expect-box \"Type a name for the preset.\"\n" +
                          "type 1014 \"Twenty characters ok\"\n" + saveButton +
                          "expect-box \"A preset name has at most 19 characters.\"\n"
                          "type 1014 \"Nineteen characters\"\n" + saveButton +
                          "dialog samples\nexpect-text 1014 \">Nineteen characters\"\n" + kCancel,
                      coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_EQ(run.json["boxes"].items.size(), 3u) << run.summary;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Velk 3D\\User Defined", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(values, 1u); // ">Nineteen characters" alone, no unnamed value
    RegCloseKey(key);

    DeleteUserPresets3d();
    run = Run(save + "type 1014 \"Lost\"\n" + saveButton +
                  "expect-box \"Unable to save User Preset 'Lost': the registry refused it.\"\n"
                  "dialog samples\n" + kCancel,
              coffee, "--registry-read-only");
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    ASSERT_EQ(run.json["boxes"].items.size(), 1u) << run.summary;
    EXPECT_EQ(run.json["boxes"][0]["icon"].text, "error");
}

// Clicks that arrive while a render runs act once it is over: on the colour
// swatch (the colour-source pop-up opens) and on a check box ("x2" switched
// on renders Antialiasing switched off).
TEST_F(Velk3dDialog, ClicksDuringARenderAct)
{
    const HostRun run = Run("click-in-render @1021/c:0,0\ncheck 1004\ndialog back\nrclick 5,5\n"
                            "dialog samples\nclick-in-render @1004:4,4\ncheck 1027\nexpect-checked 1004 1\n" +
                                std::string(kApply),
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_GE(run.json["progress_runs"].Int(), 4) << run.summary;
    const std::vector<uint8_t> last = ReadLastUsed();
    ASSERT_EQ(last.size(), 64u);
    EXPECT_EQ(last[32] & 4, 4); // x2
    EXPECT_EQ(last[33], 1);     // Antialiasing on again
}

TEST_F(Velk3dDialog, LastUsedRestoresTheLightButNotTheColour)
{
    std::vector<uint8_t> stored(64, 0);
    const int16_t x[8] = {0, 30, 5, 60, 25, 25, 70, 40}, y[8] = {40, 0, 0, 0, 25, 25, 0, 0};
    std::memcpy(&stored[0], x, 16);
    std::memcpy(&stored[16], y, 16);
    int32_t sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += x[i] + y[i];
    std::memcpy(&stored[36], &sum, 4);
    stored[33] = 1, stored[34] = 2;
    stored[40] = 10, stored[41] = 120, stored[42] = 200, stored[43] = 255;
    stored[44] = 10, stored[45] = 55;
    stored[62] = 0x34, stored[63] = 0x12;
    SetLastUsed(stored);
    // Opens on ">Last Used"; the fill colour becomes the host's background,
    // then Jabot and ">Last Used" again: light values back, colour kept.
    const HostRun run = Run("expect-text 1014 \">Last Used\"\n"
                            "click @1021/c:0,0\ndialog back\nclick 5,@1026/c:0,0\n"
                            "dialog samples\nselect 1014 \"Jabot\"\n"
                            "drag @1019/bl:98,124 -> @1019/bl:48,124\n"
                            "select 1014 \">Last Used\"\n" + std::string(kApply),
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const Stored last = Decode(ReadLastUsed());
    EXPECT_EQ(last.x[6], 70);
    EXPECT_EQ(last.x[7], 40);
    EXPECT_EQ(last.saturation, 55);
    EXPECT_EQ(last.source, 1); // Background, chosen in the pop-up
    EXPECT_EQ(last.saveFlags, 8);
}

TEST_F(Velk3dDialog, PickedFillColourAppliesAsTheCommandLine)
{
    const HostRun run = Run("pick 10,20,30\nclick @1021/c:0,0\ndialog back\n"
                            "click @1042:5,3\ndialog samples\n" + std::string(kApply),
                            coffee, "--mask " + Quote(MaskFile(folder, 600, 400)));
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    ASSERT_EQ(run.json["colour"].items.size(), 1u) << run.summary;
    EXPECT_EQ(run.json["colour"][0]["given"].Ints(), (std::vector<int>{227, 217, 203}));
    EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"),
                             Cli({"--fill", "10,20,30", "--mask", UnixPath(folder + "mask.png")}, coffee, "cli.png")),
              0u);
}

TEST_F(Velk3dDialog, HostWithoutBuffersEndsTheDialogWithOutOfMemory)
{
    const HostRun run = RunHost("run " + Quote(Velk3dModule()) + " --no-buffers --in " + Quote(coffee));
    EXPECT_EQ(run.json["result"].Int(), -108) << run.summary;
    EXPECT_TRUE(run.json["boxes"].items.empty());
    EXPECT_EQ(run.json["gdi_live"].Int(), 0);
}

TEST_F(Velk3dDialog, PopupsOpenedAgainAndAgainLeaveNoDrawingObjects)
{
    std::string script;
    for (int i = 0; i < 4; ++i)
        script += "click @1021/c:0,0\ndialog back\nrclick 5,5\ndialog samples\n"
                  "select 1014 \"SAVE USER  PRESET\"\ndialog save\nkey escape\ndialog samples\n";
    const HostRun run = Run(script + kCancel, coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_EQ(run.json["gdi_live"].Int(), 0) << run.summary;
}

// A step that fails names its line and itself and says what it waited for
// and what it found; the dialog is then cancelled, so the module returns.
TEST_F(Velk3dDialog, FailedStepsSayWhichAndWhy)
{
    const struct {
        std::string script, starts, contains;
    } cases[] = {
        {"timeout 300\ndialog save\n", "ui script line 3: dialog save: waited ",
         " ms for the save-preset pop-up, open instead: a #32770 window \""},
        {"timeout 300\nexpect-closed\n", "ui script line 3: expect-closed: waited ",
         " ms for the dialog to close: it is still open"},
        {"check 4242\n", "ui script line 2: check 4242: the dialog has no control 4242", ""},
        {"select 1014 \"Nowhere\"\n",
         "ui script line 2: select 1014 \"Nowhere\": control 1014 has no entry \"Nowhere\"", ""},
    };
    for (const auto& c : cases) {
        const HostRun run = Run(c.script, coffee);
        EXPECT_EQ(run.exitCode, 5u) << run.summary;
        EXPECT_EQ(run.json["result"].Int(), -128) << run.summary;
        const std::string error = run.json["error"].text;
        EXPECT_EQ(error.substr(0, c.starts.size()), c.starts) << run.summary;
        EXPECT_NE(error.find(c.contains, c.starts.size()), std::string::npos) << error;
    }
}

TEST_F(Velk3dDialog, WebLinkStartsTheRegisteredHandler)
{
    const char* key = "Software\\CLASSES\\http\\shell\\open\\command";
    const std::string log = folder + "started.txt";
    SetEnvironmentVariableA("VELK_RECORDER_LOG", log.c_str());
    const std::string handler = "\"" + WinPath(RECORDER_EXE) + "\" -nohome \"%1\"";
    RegSetKeyValueA(HKEY_CURRENT_USER, key, nullptr, REG_SZ, handler.c_str(), DWORD(handler.size() + 1));
    // Clicked while a render runs (Antialiasing switched off), the link acts
    // once the render is over.
    HostRun run = Run("click-in-render @4000:5,4\ncheck 1004\n" + std::string(kCancel), coffee);
    EXPECT_EQ(run.exitCode, 0u) << run.summary;
    std::string started;
    for (int i = 0; i < 100 && started.empty(); ++i, Sleep(50)) {
        const std::vector<uint8_t> bytes = ReadBytes(log);
        started.assign(bytes.begin(), bytes.end());
    }
    // The placeholder goes, the blank before it stays, the address follows.
    EXPECT_EQ(started, "\"" + WinPath(RECORDER_EXE) + "\" -nohome   http://velk.example.com/velk3d/");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key, nullptr);
}

} // namespace

namespace {

// The dialog as it opens, at the run's scaling: the client area is the
// layout's 624 x 411 pixels enlarged by dpi / 96, and at 200% it is the
// 100% dialog enlarged (the run at 96 dpi leaves its view for the run at
// 192, which ctest starts after it).
TEST_F(Velk3dDialog, ShownAtTheScreensScaling)
{
    const HostRun run = Run("rects \"" + folder + "rects.txt\"\ncapture \"" + folder +
                                "open.png\"\nkey escape\n",
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const Scale s = TestScale();
    const Pixels shown = LoadPixels(folder + "open.png");
    ASSERT_EQ(shown.width, ToDevice(s, 624));
    ASSERT_EQ(shown.height, ToDevice(s, 411));
    // Whatever the font, the captions keep to their room: no ink of
    // "Antialiasing" in the two columns before Cancel, none of "BkgrColor:"
    // in the two before the swatch.
    std::map<int, ControlBox> rects = ReadRects(folder + "rects.txt");
    const ControlBox aa = rects[1004], swatch = rects[1021];
    const auto inkIn = [&](long left, long right, long top, long bottom) {
        int ink = 0;
        for (int y = ToDevice(s, top); y < ToDevice(s, bottom); ++y)
            for (int x = ToDevice(s, left); x < ToDevice(s, right); ++x) {
                const uint8_t* p = shown.At(x, y);
                ink += p[0] < 100 && p[1] < 100 && p[2] < 100;
            }
        return ink;
    };
    EXPECT_GT(inkIn(aa.right + 2, aa.right + 40, aa.top, aa.top + 13), 10); // the caption is there
    EXPECT_EQ(inkIn(aa.right + 58, aa.right + 60, aa.top, aa.top + 13), 0);
    EXPECT_EQ(inkIn(swatch.left - 2, swatch.left, swatch.top + 4, swatch.top + 17), 0);
    const std::string reference = WinPath(WORK_DIR) + "\\velk3d-open-96.png";
    if (s.dpi == 96) {
        ASSERT_TRUE(SavePixels(reference, shown));
    }
    if (s.dpi != 192)
        return;
    const Pixels at96 = LoadPixels(reference);
    ASSERT_EQ(at96.width, 624) << "the run at 96 dpi leaves " << reference;
    // Each 2 x 2 square against its pixel at 100%: the same but where text is
    // drawn at the larger size rather than enlarged, and the render time.
    size_t apart = 0;
    for (int y = 0; y < at96.height; ++y)
        for (int x = 0; x < at96.width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int k = 0; k < 4; ++k)
                    sum += shown.At(2 * x + (k & 1), 2 * y + (k >> 1))[c];
                apart += std::abs(sum / 4 - at96.At(x, y)[c]) > 48;
            }
    EXPECT_LT(apart, size_t(at96.width) * at96.height * 3 / 25) << apart;
}

} // namespace

namespace {

// Moved to a screen of 150%, the dialog is laid out again at that scale and
// drags at the new places still move the controls as at 100%.
TEST_F(Velk3dDialog, MovedToAnotherScalingTheDialogFollows)
{
    const HostRun run = Run("dpi 144\n"
                            "capture \"" + folder + "moved.png\"\n"
                            "drag @1019/bl:58,124 -> @1019/bl:88,124\n"
                            "drag @1019:69,56 -> @1019:49,66\n" +
                                std::string(kApply),
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const Pixels moved = LoadPixels(folder + "moved.png");
    EXPECT_EQ(moved.width, ToDevice(Scale{144}, 624));
    EXPECT_EQ(moved.height, ToDevice(Scale{144}, 411));
    const std::vector<uint8_t> last = ReadLastUsed();
    ASSERT_EQ(last.size(), 64u);
    int16_t x[8], y[8];
    std::memcpy(x, &last[0], 16);
    std::memcpy(y, &last[16], 16);
    EXPECT_EQ(x[6], 60); // Light Boosting, 30 further along
    EXPECT_EQ(x[5], 25); // the G-Shading pad, 20 left and 10 down
    EXPECT_EQ(y[5], 42);
    EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"), Cli({"--record", LastUsedFile()}, coffee, "cli.png")), 0u);
}

} // namespace

namespace {

// A drag released outside the dialog ends there: the next drag moves the
// slider under the pointer, not the one dragged before.
TEST_F(Velk3dDialog, ADragReleasedOutsideTheDialogEnds)
{
    // The tile-width slider's knob sits at (61, 13); Light Boosting is 30.
    const HostRun run = Run("drag 61,13 -> 90,-25\n"
                            "drag @1019/bl:58,124 -> @1019/bl:88,124\n" +
                                std::string(kApply),
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const std::vector<uint8_t> last = ReadLastUsed();
    ASSERT_EQ(last.size(), 64u);
    int16_t x[8];
    std::memcpy(x, &last[0], 16);
    EXPECT_EQ(x[6], 60); // Light Boosting moved by its own drag
}

// The Antialiasing box opens showing the choice the module keeps from the
// dialog before, so the second run renders what the box says.
TEST_F(Velk3dDialog, AntialiasingOpensAsLastChosen)
{
    const HostRun run = Run("check 1004\n" + std::string(kApply) +
                                "expect-closed\n"
                                "dialog samples\n"
                                "expect-checked 1004 0\n" +
                                kApply,
                            coffee, "--runs 2");
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_EQ(run.json["result"].Int(), 0);
    EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"),
                             Cli({"--antialias", "off"}, coffee, "cli.png")),
              0u);
}

} // namespace
