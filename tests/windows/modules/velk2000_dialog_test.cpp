// velk2000's dialog worked through velkhost's UI scripts: OK on the opening
// preset and on each factory preset, Cancel, the preview against the
// engine's preview of the record the dialog holds, user presets, planes and
// the host's answers. Whole-image results are compared with the command line.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>

#include "tests/support/twostage_seal.h"
#include "tests/windows/modules/module_run.h"

namespace {

const char kOk[] = "click @1014:90,34\n";
const char kCancel[] = "click @1014:16,34\n";
const char kSave[] = "select 1014 \"SAVE USER PRESET\"\ndialog save\n";
const char kSaveButton[] = "click @1014/br:-50,16\ndialog samples\n";
const char kDeleteButton[] = "click 14,@1014/bl:0,16\ndialog samples\n";

class Velk2000Dialog : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder();
        DeleteUserPresets2000();
    }
    void TearDown() override { DeleteUserPresets2000(); }

    HostRun Run(const std::string& script, const std::string& input, const std::string& extra = "")
    {
        return RunScripted("run " + Quote(Velk2000Module()) + " --in " + Quote(input) + " --out " +
                               Quote(folder + "host.png") + " --fore 200,30,40 --back 30,60,90 " + extra,
                           folder, "dialog samples\n" + script);
    }

    Pixels Cli(const std::vector<std::string>& options, const std::string& input, const std::string& name)
    {
        return CliPicture("velk2000", options, input, folder + name);
    }

    // The preview part of a capture (the rects file written by the script).
    Pixels PreviewOf(const std::string& capture)
    {
        const ControlBox p = ReadRects(folder + "rects.txt")[1017];
        return Crop(LoadPixels(folder + capture), p.left + 2, p.top + 2, 364, 360);
    }

    std::string Path(const std::string& name) { return "\"" + folder + name + "\""; }

    std::string coffee = SourceFile("samples\\coffee.png");
    std::string folder;
};

TEST_F(Velk2000Dialog, OkAtOnceAppliesEFlowersAsTheCommandLine)
{
    Pixels rgb = LoadPixels(coffee);
    Pixels rgba{rgb.width, rgb.height, 4, {}};
    Pixels mask{rgb.width, rgb.height, 1, {}};
    for (int y = 0; y < rgb.height; ++y)
        for (int x = 0; x < rgb.width; ++x) {
            const uint8_t* s = rgb.At(x, y);
            rgba.bytes.insert(rgba.bytes.end(), {s[0], s[1], s[2], uint8_t(x * 255 / rgb.width)});
            mask.bytes.push_back(uint8_t(y < 100 ? 0 : y > 300 ? 255 : (y - 100) * 255 / 200));
        }
    ASSERT_TRUE(SavePixels(folder + "rgba.png", rgba));
    ASSERT_TRUE(SavePixels(folder + "mask.png", mask));
    const struct {
        std::string input, extra;
        std::vector<std::string> cli;
    } runs[] = {{coffee, "", {}},
                {folder + "rgba.png", "", {}},
                {coffee, "--mask " + Quote(folder + "mask.png"), {"--mask", UnixPath(folder + "mask.png")}}};
    for (const auto& r : runs) {
        SCOPED_TRACE(r.input + r.extra);
        const HostRun run = Run("expect-text 1014 \"e-Flowers\"\n" + std::string(kOk), r.input, r.extra);
        ASSERT_EQ(run.exitCode, 0u) << run.summary;
        EXPECT_EQ(run.json["result"].Int(), 0);
        EXPECT_TRUE(run.json["rects_cleared"].boolean);
        EXPECT_EQ(run.json["advance"].Int(), 1);
        EXPECT_EQ(run.json["off_thread"].Int(), 0) << run.summary; // the apply's rows on every core
        EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"), Cli(r.cli, r.input, "cli.png")), 0u);
    }
}

TEST_F(Velk2000Dialog, FactoryPresetsApplyAsTheCommandLine)
{
    for (const char* name : {"Lonely Hearts", "Drapery", "e-Flowers", "SurreaFaceable", "Rabbit Factory",
                             "Cyber Birds", "Triple Leaves", "Embossed Wrapper", "Lizard Skin", "Dragon Waves"}) {
        SCOPED_TRACE(name);
        const HostRun run = Run("select 1014 \"" + std::string(name) + "\"\n" + kOk, coffee);
        ASSERT_EQ(run.exitCode, 0u) << run.summary;
        EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"), Cli({"--preset", name}, coffee, "cli.png")), 0u);
    }
}

TEST_F(Velk2000Dialog, CancelAndEscapeLeaveTheImageAlone)
{
    // Three user presets come first in the box; the dialog still opens on e-Flowers.
    for (const char* name : {"One", "Two", "Three"}) {
        std::vector<uint8_t> r(64, 0);
        SealTwoStage(r);
        SetUserPreset2000(name, r);
    }
    for (const std::string& how : {std::string(kCancel), std::string("key escape\n")}) {
        const HostRun run = Run("expect-text 1014 \"e-Flowers\"\n" + how + "expect-closed\n", coffee);
        ASSERT_EQ(run.exitCode, 0u) << run.summary;
        EXPECT_EQ(run.json["result"].Int(), -128);
        EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"), LoadPixels(coffee)), 0u);
    }
}

TEST_F(Velk2000Dialog, PreviewFollowsEveryKindOfControlAndIsTheEnginesPreview)
{
    // e-Flowers: S-Shading of stage 1 at 67 (track at 4002), its
    // orientation toggle left of 1029, "Deformation" 1005, the Stretch pad
    // of stage 1 at (32, 37). The slider arrives as a burst of 30 moves.
    const HostRun run = Run("rects " + Path("rects.txt") + "\ncapture " + Path("a.png") +
                                "\ndrag @4002:67,8 -> @4002:97,8 steps 30\ncapture " + Path("b.png") +
                                "\nclick @1029:-20,2\ncapture " + Path("c.png") +
                                "\ncheck 1005\ncapture " + Path("d.png") + "\n" + kSave +
                                "type 1014 \"Shown\"\n" + kSaveButton + kCancel,
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const Pixels a = PreviewOf("a.png"), b = PreviewOf("b.png"), c = PreviewOf("c.png"), d = PreviewOf("d.png");
    EXPECT_GT(DifferingBytes(a, b), 1000u);
    EXPECT_GT(DifferingBytes(b, c), 1000u);
    EXPECT_GT(DifferingBytes(c, d), 1000u);
    const std::vector<uint8_t> shown = ReadUserPreset2000("Shown");
    ASSERT_EQ(shown.size(), 64u);
    EXPECT_EQ(shown[30], 97);
    EXPECT_EQ(shown[38], 2); // e-Flowers has 1
    EXPECT_EQ(shown[48], 1);
    WriteBytes(folder + "shown.bin", shown);
    EXPECT_EQ(DifferingBytes(d, Cli({"--record", UnixPath(folder + "shown.bin"), "--preview"}, coffee, "p.png")), 0u);
}

// Bytes of a stored velk2000 record.
std::vector<uint8_t> Stored(const std::string& name)
{
    std::vector<uint8_t> r = ReadUserPreset2000(name);
    r.resize(64);
    return r;
}

TEST_F(Velk2000Dialog, UserPresetsKeepWhatTheirOptionsSay)
{
    std::vector<uint8_t> broken(64, 7);
    SetUserPreset2000("Broken", broken); // a wrong checksum: listed with "$"
    std::vector<uint8_t> later(64, 0);
    later[20] = later[21] = later[22] = later[23] = 30;
    later[43] = 15;
    SealTwoStage(later);
    SetUserPreset2000("Later", later);
    // "Both" and "None" are saved on e-Flowers; then the background becomes
    // the host's foreground and Brightness Ratio 30; ">Both" brings back
    // e-Flowers' colour and light, ">None" keeps those of the screen.
    // Snapshots (saved with both options) record what each load left.
    const std::string snapshot = kSave + std::string("type 1014 \"%\"\n") + kSaveButton;
    auto snap = [&](const std::string& name) {
        std::string s = snapshot;
        s.replace(s.find('%'), 1, name);
        return s;
    };
    const HostRun run = Run(std::string(kSave) + "type 1014 \"Both\"\n" + kSaveButton + kSave +
                                "check 1034\ncheck 1035\ntype 1014 \"None\"\n" + kSaveButton +
                                "click @1021/c:0,0\ndialog back\nclick 5,@1025/c:0,0\ndialog samples\n"
                                "drag @4001:0,0 -> @4001:30,0\n"
                                "select 1014 \">None\"\n" + snap("AfterNone") +
                                "select 1014 \">Both\"\n" + snap("AfterBoth") +
                                "select 1014 \"$Broken\"\n"
                                "expect-box \"Corrupted Preset or Incompatible Version.\"\n" + snap("AfterBroken") +
                                "select 1014 \">Later\"\n"
                                "expect-box \"Preset version is greater than 1.4\\nSome settings will be ignored.\"\n" +
                                kSave + "type 1014 \"Ghost\"\n" + kDeleteButton +
                                "expect-box \"Unable to locate User Preset\"\n" + kSave +
                                "type 1014 \"None\"\n" + kDeleteButton + "expect-text 1014 \"e-Flowers\"\n" + kCancel,
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const std::vector<uint8_t> afterNone = Stored("AfterNone"), afterBoth = Stored("AfterBoth"),
                               both = Stored("Both");
    EXPECT_EQ(afterNone[44] & 0xC0, 0xC0);     // "None": no colours, no light correction
    EXPECT_EQ(afterBoth[44] & 0xC0, 0);
    EXPECT_EQ(afterNone[3], 0);                // the background from the foreground, kept
    EXPECT_EQ(afterNone[40], 30);              // Brightness Ratio kept
    EXPECT_EQ(afterBoth[3], both[3]);          // e-Flowers' background back
    EXPECT_EQ(afterBoth[40], both[40]);
    EXPECT_EQ(std::memcmp(&Stored("AfterBroken")[0], &afterBoth[0], 44), 0); // a corrupt preset changes nothing
    EXPECT_TRUE(ReadUserPreset2000("None").empty());
    const JsonValue& boxes = run.json["boxes"];
    ASSERT_EQ(boxes.items.size(), 3u) << run.summary;
    EXPECT_EQ(boxes[0]["icon"].text, "error");
    EXPECT_EQ(boxes[1]["caption"].text, "Warning");
    EXPECT_EQ(boxes[2]["caption"].text, "ERROR");
}

// A user preset made by hand, its checksum valid, with values no widget can
// take: they load as far as a drag could go, the toggles within their strips.
TEST_F(Velk2000Dialog, OutOfRangePresetValuesLandOnTheWidgets)
{
    std::vector<uint8_t> odd(64, 25);
    odd[20] = 0;   // stage 1 horizontal spacing
    odd[24] = 255; // moire
    odd[38] = 3;   // orientations
    odd[39] = 200;
    odd[43] = 14;
    odd[44] = 0;
    odd[52] = 9; // curve shape
    SealTwoStage(odd);
    SetUserPreset2000("Odd", odd);
    const HostRun run = Run("select 1014 \">Odd\"\n" + std::string(kSave) + "type 1014 \"Seen\"\n" +
                                kSaveButton + kCancel,
                            coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const std::vector<uint8_t> seen = Stored("Seen");
    EXPECT_EQ(seen[20], 2);
    EXPECT_EQ(seen[24], 100);
    EXPECT_EQ(seen[38], 2);
    EXPECT_EQ(seen[39], 2);
    EXPECT_EQ(seen[52], 2);
}

TEST_F(Velk2000Dialog, PlanesAndTheHostsAnswers)
{
    // 3 planes reported for editable transparency: 4 planes are requested.
    Pixels rgb = LoadPixels(coffee);
    Pixels rgba{rgb.width, rgb.height, 4, {}};
    for (size_t i = 0; i < rgb.bytes.size(); i += 3)
        rgba.bytes.insert(rgba.bytes.end(), {rgb.bytes[i], rgb.bytes[i + 1], rgb.bytes[i + 2], 200});
    ASSERT_TRUE(SavePixels(folder + "rgba.png", rgba));
    HostRun run = Run(kOk, folder + "rgba.png", "--planes 3 --filter-case 4");
    EXPECT_EQ(run.json["planes"].Ints(), (std::vector<int>{0, 3})) << run.summary;
    EXPECT_EQ(run.json["result"].Int(), 0);
    // No buffers: the dialog closes at once with -108.
    run = RunHost("run " + Quote(Velk2000Module()) + " --no-buffers --in " + Quote(coffee));
    EXPECT_EQ(run.json["result"].Int(), -108) << run.summary;
    EXPECT_EQ(run.json["gdi_live"].Int(), 0);
    // An abort during the apply: -128, the rectangles cleared.
    run = Run(kOk, coffee, "--abort-after 5");
    EXPECT_EQ(run.json["result"].Int(), -128) << run.summary;
    EXPECT_TRUE(run.json["aborted"].boolean);
    EXPECT_EQ(run.json["progress"].Int(), 5);
    EXPECT_EQ(run.json["off_thread"].Int(), 0);
    EXPECT_TRUE(run.json["rects_cleared"].boolean);
}

TEST_F(Velk2000Dialog, PopupsOpenedAgainAndAgainLeaveNoDrawingObjects)
{
    std::string script;
    for (int i = 0; i < 4; ++i)
        script += "click @1021/c:0,0\ndialog back\nrclick 5,5\ndialog samples\n" + std::string(kSave) +
                  "key escape\ndialog samples\n";
    const HostRun run = Run(script + kCancel, coffee);
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_EQ(run.json["gdi_live"].Int(), 0) << run.summary;
}

} // namespace
