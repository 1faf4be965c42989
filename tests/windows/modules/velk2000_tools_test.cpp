// velk2000's tools, status line and help pages worked through the UI driver:
// what each shows in the window, read back as pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "tests/windows/modules/module_run.h"

namespace {

class Velk2000Tools : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder();
        DeleteUserPresets2000();
    }
    void TearDown() override { DeleteUserPresets2000(); }

    HostRun Run(const std::string& script, const std::string& extra = "")
    {
        return RunScripted("run " + Quote(Velk2000Module()) + " --in " + Quote(SourceFile("samples\\coffee.png")) +
                               " " + extra,
                           folder, "dialog samples\nrects \"" + folder + "rects.txt\"\n" + script +
                                       "key escape\n");
    }

    std::string Shot(const std::string& name) { return "capture \"" + folder + name + "\"\n"; }

    // Saves the settings as user preset `name`; `options` are steps in the
    // save pop-up before the name is typed (its check boxes).
    static std::string Save(const std::string& name, const std::string& options = "")
    {
        return "select 1014 \"SAVE USER PRESET\"\ndialog save\n" + options + "type 1014 \"" + name +
               "\"\nclick @1014/br:-50,16\ndialog samples\n";
    }

    RECT Rect(int id)
    {
        const ControlBox b = ReadRects(folder + "rects.txt")[id];
        return RECT{b.left, b.top, b.right, b.bottom};
    }

    Pixels Part(const std::string& capture, const RECT& r)
    {
        return Crop(LoadPixels(folder + capture), r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    Pixels Preview(const std::string& capture)
    {
        const RECT p = Rect(1017);
        return Part(capture, RECT{p.left + 2, p.top + 2, p.left + 366, p.top + 362});
    }

    std::string folder;
};

TEST_F(Velk2000Tools, DiceThenUndoBringsThePreviousPreviewBack)
{
    const HostRun run = Run(Shot("before.png") + "click @4004:12,30\n" + Shot("diced.png") +
                            "click @4004:10,8\n" + Shot("undone.png") + "click @4004:36,8\n" + Shot("redone.png"));
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_GT(DifferingBytes(Preview("before.png"), Preview("diced.png")), 10000u);
    EXPECT_EQ(DifferingBytes(Preview("before.png"), Preview("undone.png")), 0u);
    EXPECT_EQ(DifferingBytes(Preview("diced.png"), Preview("redone.png")), 0u);
}

TEST_F(Velk2000Tools, ForegroundShadowsSurviveTheDice)
{
    // Both gradient shadow colours from the host's foreground; after the
    // Dice (and the small die) they still show it.
    const std::string foreground = "dialog back\nclick 5,@1025/c:0,0\ndialog samples\n";
    const HostRun run = Run("click @1025/c:0,0\n" + foreground + "click @1024/c:0,0\n" + foreground +
                            "click @4004:12,30\nclick @4004:36,32\n"
                            "select 1014 \"SAVE USER PRESET\"\ndialog save\ntype 1014 \"Diced\"\n"
                            "click @1014/br:-50,16\ndialog samples\n");
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const std::vector<uint8_t> r = ReadUserPreset2000("Diced");
    ASSERT_EQ(r.size(), 64u);
    EXPECT_EQ(r[7], 0);  // gradient shadow colour of stage 1: Foreground
    EXPECT_EQ(r[11], 0); // stage 2
}

TEST_F(Velk2000Tools, MovingABypassedStageReleasesItsBox)
{
    // e-Flowers' stage-2 S-Shading is 40; bypassed it is 50.
    const HostRun run = Run("check 1006\nexpect-checked 1006 1\n"
                            "drag @4002:50,40 -> @4002:70,40\nexpect-checked 1006 0\n");
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
}

TEST_F(Velk2000Tools, StatusLineNamesTheControlUnderThePointer)
{
    const HostRun run = Run(Shot("opened.png") + "move @4004:12,30\n" + Shot("dice.png") +
                            "move @4002:67,8\n" + Shot("knob.png") + "move 300,8\n" + Shot("empty.png"));
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const RECT t = Rect(4000);
    const Pixels opened = Part("opened.png", t), dice = Part("dice.png", t), knob = Part("knob.png", t),
                 empty = Part("empty.png", t);
    EXPECT_GT(DifferingBytes(opened, dice), 100u);
    EXPECT_GT(DifferingBytes(dice, knob), 100u);
    EXPECT_EQ(DifferingBytes(opened, empty), 0u); // the web link again
}

TEST_F(Velk2000Tools, HelpPagesOpenCloseAndRememberTheLastOne)
{
    const HostRun run = Run(Shot("preview.png") + "key f1\n" + Shot("basic.png") +
                            "click @1017/bl:180,-36\n" + Shot("sliders.png") +
                            "click @1017:100,100\n" + Shot("inside.png") +   // inside: stays
                            "click 5,5\n" + Shot("closed.png") +            // outside: closes
                            "key f1\n" + Shot("again.png"));
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_GT(DifferingBytes(Preview("preview.png"), Preview("basic.png")), 10000u);
    EXPECT_GT(DifferingBytes(Preview("basic.png"), Preview("sliders.png")), 10000u);
    EXPECT_EQ(DifferingBytes(Preview("sliders.png"), Preview("inside.png")), 0u);
    EXPECT_EQ(DifferingBytes(Preview("preview.png"), Preview("closed.png")), 0u);
    EXPECT_EQ(DifferingBytes(Preview("sliders.png"), Preview("again.png")), 0u);
}

} // namespace

namespace {

// Two quick clicks on a tool button act twice, as two slow ones do: the
// second press arrives as a double-click.
TEST_F(Velk2000Tools, TwoQuickClicksActTwice)
{
    // Increase Spacing: 25 x 14 at (2, 51) of the tools' anchor.
    const char kIncrease[] = "@4004:14,58";
    for (const std::string& script :
         {"click " + std::string(kIncrease) + "\n" + Save("Once"),
          "click " + std::string(kIncrease) + "\nclick " + kIncrease + "\n" + Save("Slow"),
          "dblclick " + std::string(kIncrease) + "\n" + Save("Quick")}) {
        const HostRun run = Run(script);
        ASSERT_EQ(run.exitCode, 0u) << run.summary;
    }
    const auto spacing = [](const char* name) {
        const std::vector<uint8_t> r = ReadUserPreset2000(name);
        return r.size() == 64 ? std::vector<uint8_t>(r.begin() + 20, r.begin() + 24) : std::vector<uint8_t>{};
    };
    ASSERT_EQ(spacing("Slow").size(), 4u);
    EXPECT_NE(spacing("Once"), spacing("Slow"));
    EXPECT_EQ(spacing("Quick"), spacing("Slow"));
}

// Undo and Redo bring back the very records that were rendered, and the
// preview with them (each drag is one render: a slow drag's renders would
// each be a step of undo): anti-aliasing as it was, and the colours even after a
// preset saved without them.
TEST_F(Velk2000Tools, UndoAndRedoRestoreWhatWasShown)
{
    const std::string undo = "click @4004:10,8\n", redo = "click @4004:36,8\n";
    const HostRun run =
        Run("check 1004\n" + Shot("unticked.png") + "drag @4002:40,40 -> @4002:60,40 whole\n" + Shot("moved.png") +
            undo + "expect-checked 1004 0\n" + Shot("undone.png") + redo + "expect-checked 1004 0\n" +
            Shot("redone.png") +
            Save("NoColours", "check 1034\n") + "select 1014 \">NoColours\"\n" + Shot("loaded.png") +
            "click @1025/c:0,0\ndialog back\nclick 5,@1025/c:0,0\ndialog samples\n" + Shot("coloured.png") +
            undo + Shot("uncoloured.png"));
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_GT(DifferingBytes(Preview("unticked.png"), Preview("moved.png")), 1000u);
    EXPECT_EQ(DifferingBytes(Preview("unticked.png"), Preview("undone.png")), 0u);
    EXPECT_EQ(DifferingBytes(Preview("moved.png"), Preview("redone.png")), 0u);
    EXPECT_GT(DifferingBytes(Preview("loaded.png"), Preview("coloured.png")), 1000u);
    EXPECT_EQ(DifferingBytes(Preview("loaded.png"), Preview("uncoloured.png")), 0u);
}

// A save leaves the dialog's record as it was rendered: the next render
// request (the help page closed) renders nothing, and Undo takes back the
// change before the save.
TEST_F(Velk2000Tools, UndoAfterASaveTakesBackTheLastChange)
{
    const HostRun run = Run(Shot("before.png") + "drag @4002:40,40 -> @4002:60,40 whole\n" +
                            Save("Saved", "check 1034\ncheck 1035\n") + "key f1\nclick 5,5\nclick @4004:10,8\n" +
                            Shot("undone.png"));
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_EQ(DifferingBytes(Preview("before.png"), Preview("undone.png")), 0u);
    EXPECT_EQ(ReadUserPreset2000("Saved").size(), 64u);
}

// Each roll of the dice draws afresh even when the clock has not moved
// since the last: two rolls in the same tick give two settings.
TEST_F(Velk2000Tools, RollsInTheSameTickDiffer)
{
    const std::string dice = "click @4004:12,30\n", smallDie = "click @4004:36,32\n";
    const HostRun run = Run(dice + Save("Roll1") + dice + Save("Roll2") + smallDie + Save("Tint1") +
                                smallDie + Save("Tint2"),
                            "--frozen-clock 5000");
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    const std::vector<uint8_t> roll1 = ReadUserPreset2000("Roll1"), roll2 = ReadUserPreset2000("Roll2"),
                               tint1 = ReadUserPreset2000("Tint1"), tint2 = ReadUserPreset2000("Tint2");
    ASSERT_EQ(roll2.size(), 64u);
    ASSERT_EQ(tint2.size(), 64u);
    EXPECT_NE(std::vector<uint8_t>(roll1.begin() + 20, roll1.begin() + 44),
              std::vector<uint8_t>(roll2.begin() + 20, roll2.begin() + 44));
    EXPECT_NE(std::vector<uint8_t>(tint1.begin(), tint1.begin() + 20),
              std::vector<uint8_t>(tint2.begin(), tint2.begin() + 20));
}

} // namespace
