// The widget kit worked through the UI driver in the gallery: drags, resets,
// both press logics, links, toggles, and the pixels read back from the window.
#include <gtest/gtest.h>

#include <cstring>

#include "resources/resource_ids.h"
#include "toolkit/layout/scale.h"
#include "toolkit/widgets/kit.h"
#include "toolkit/widgets/scaled_window.h"
#include "tests/windows/widgets/gallery_run.h"
#include "tools/uidriver/box_capture.h"
#include "tools/uidriver/gdi_count.h"

namespace {

// Every test of this program counts the gallery's drawing objects and
// captures its message boxes.
struct CountEverything : testing::Environment {
    void SetUp() override
    {
        CaptureMessageBoxes(GetModuleHandleA(nullptr));
        CountGdiObjects(GetModuleHandleA(nullptr));
    }
};
const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new CountEverything);

class Widgets : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartGallery(run, planes)) << run.driver.error; }
    void TearDown() override { StopGallery(run); }

    // A press on the knob of s, then a drag by (dx, dy); returns the slider.
    const Slider& DragKnob(const Slider& s, int dx, int dy, WPARAM keys = 0)
    {
        const int x = s.left + s.valueX, y = s.top + s.valueY;
        EXPECT_TRUE(Drag(d, {{x, y}, {x + dx, y + dy}}, 4, keys)) << d.error;
        return s;
    }

    Capture Shot()
    {
        Capture c;
        EXPECT_TRUE(CaptureClient(d, c)) << d.error;
        return c;
    }

    int planes = 4;
    GalleryRun run;
    UiDriver& d = run.driver;
    Gallery& g = run.gallery;
};

uint32_t Rgb(const Capture& c, int x, int y)
{
    const uint8_t* p = c.At(x, y);
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

TEST_F(Widgets, SliderDragsMoveByThePointerAndStopAtTheEnds)
{
    // velk2000's spacing slider: 250 wide, starts at 125, limited to 2..250.
    EXPECT_EQ(DragKnob(g.spacingX, 40, 7).valueX, 165);
    EXPECT_EQ(DragKnob(g.spacingX, -400, 0).valueX, 2);
    EXPECT_EQ(DragKnob(g.spacingX, 600, 0).valueX, 250);
    EXPECT_EQ(DragKnob(g.spacingY, 0, -180).valueY, 2);
    EXPECT_EQ(std::string(g.spacingY.readout), "002");
    // A pad moves on both axes and stops at its edges.
    const Slider& pad = DragKnob(g.pad, 10, -40);
    EXPECT_EQ(pad.valueX, 35);
    EXPECT_EQ(pad.valueY, 0);
    // velk3d's slider starts at 0 and shows its value left of the track.
    EXPECT_EQ(DragKnob(g.boost, 63, 0).valueX, 63);
    EXPECT_EQ(std::string(g.boost.readout), "63  ");
    // A drag with a modifier key held moves nothing.
    EXPECT_EQ(DragKnob(g.centred, 20, 0, MK_SHIFT).valueX, 50);
    // A centred slider reads out its offset from the middle, minus included.
    EXPECT_EQ(DragKnob(g.centred, -25, 0).valueX, 25);
    EXPECT_EQ(std::string(g.centred.readout), "-25  ");
    EXPECT_EQ(DragKnob(g.centredV, 0, 30).valueY, 80);
}

TEST_F(Widgets, DoubleClickResetsByStyle)
{
    DragKnob(g.centred, 30, 0);
    DragKnob(g.plain, 20, 0);
    DragKnob(g.pad, -20, 20);
    DragKnob(g.spacingX, 30, 0);
    const auto reset = [&](const Slider& s) {
        EXPECT_TRUE(DoubleClick(d, s.left + s.valueX, s.top + s.valueY)) << d.error;
        return s;
    };
    EXPECT_EQ(reset(g.centred).valueX, 50); // centred: the middle
    EXPECT_EQ(std::string(g.centred.readout), "00  ");
    EXPECT_EQ(reset(g.plain).valueX, 0);    // style 5: zero
    const Slider& pad = reset(g.pad);       // a pad: its centre
    EXPECT_EQ(pad.valueX, 25);
    EXPECT_EQ(pad.valueY, 25);
    EXPECT_EQ(reset(g.spacingX).valueX, 155); // style 0: nothing
}

TEST_F(Widgets, PictureButtonsFireByTheirPressLogic)
{
    const auto press = [&](const ImageButton* b, std::vector<POINT> path) {
        EXPECT_TRUE(Drag(d, path, 2)) << d.error;
        (void)b;
    };
    const ButtonLogic& dice = g.dice->logic;
    const POINT in = {dice.x + 10, dice.y + 10}, out = {dice.x + 40, dice.y + 10};
    press(g.dice, {in, in});
    press(g.dice, {in, out});      // released outside: nothing
    press(g.dice, {in, out, in});  // velk2000: moving back does not press again
    const ButtonLogic& apply = g.apply3d->logic;
    const POINT ain = {apply.x + 10, apply.y + 10}, aout = {apply.x + 80, apply.y + 10};
    press(g.apply3d, {ain, aout});       // velk3d: released outside, nothing
    press(g.apply3d, {ain, aout, ain});  // velk3d: slid out and back, fires
    press(g.silent, {{g.silent->logic.x + 5, g.silent->logic.y + 5}, {g.silent->logic.x + 5, g.silent->logic.y + 5}});
    EXPECT_EQ(g.commands, (std::vector<int>{106, 1001}));

    // While held, the pressed picture shows; a button without a command
    // changes its picture but posts nothing.
    const Capture before = Shot();
    ASSERT_TRUE(Press(d, g.silent->logic.x + 5, g.silent->logic.y + 5)) << d.error;
    const Capture held = Shot();
    ASSERT_TRUE(Release(d, g.silent->logic.x + 5, g.silent->logic.y + 5)) << d.error;
    int changed = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 25; ++x)
            changed += Rgb(before, g.silent->logic.x + x, g.silent->logic.y + y) !=
                       Rgb(held, g.silent->logic.x + x, g.silent->logic.y + y);
    EXPECT_GT(changed, 20);
    EXPECT_EQ(g.commands.size(), 2u);
}

TEST_F(Widgets, LinkTurnsPurpleAndTogglesCycleInTheirBox)
{
    const LinkLogic& link = g.link->logic;
    const auto count = [&](uint32_t colour) {
        const Capture c = Shot();
        int n = 0;
        for (int y = link.top; y < link.bottom; ++y)
            for (int x = link.left; x < link.right; ++x)
                n += Rgb(c, x, y) == colour;
        return n;
    };
    EXPECT_GT(count(0x0000FF), 10);
    EXPECT_EQ(count(0x800080), 0);
    ASSERT_TRUE(Click(d, link.left + 3, link.top + 5)) << d.error;
    EXPECT_EQ(g.links, std::vector<int>{199});
    InvalidateRect(d.dialog, nullptr, FALSE); // a full repaint keeps the visited colour
    ASSERT_TRUE(WaitIdle(d)) << d.error;
    EXPECT_GT(count(0x800080), 10);
    EXPECT_EQ(count(0x0000FF), 0);

    // The box is 17 x 17 pixels at the toggle's corner, whatever the tile size.
    const ToggleLogic& t = g.curveShape.logic;
    ASSERT_TRUE(Click(d, t.x + 16, t.y + 16));
    ASSERT_TRUE(Click(d, t.x + 17, t.y + 3)); // outside
    EXPECT_EQ(t.state, 1);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Click(d, t.x, t.y));
    EXPECT_EQ(t.state, 1);
    ASSERT_TRUE(Click(d, t.x, t.y));
    EXPECT_EQ(t.state, 2);
}

// The texture as loaded from bitmap 125, 0x00RRGGBB by pixel.
std::vector<uint32_t> TexturePixels()
{
    HBITMAP b = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PAPER));
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, 57, -82, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(57 * 82);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, b, 0, 82, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(b);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

TEST_F(Widgets, PaintedPixelsReadBackFromTheWindow)
{
    const Capture c = Shot();
    const std::vector<uint32_t> paper = TexturePixels();
    // The paper tiles from the client origin, here and under every repaint.
    for (int y : {300, 381, 382, 450})
        for (int x : {300, 341, 342, 399})
            EXPECT_EQ(Rgb(c, x, y), paper[size_t(y % 82) * 57 + x % 57]) << x << "," << y;
    // The engraved track line: dark above, middle on, light below.
    const int x = g.boost.left + 40, y = g.boost.top;
    EXPECT_EQ(Rgb(c, x, y - 1), 0x520606u);
    EXPECT_EQ(Rgb(c, x, y), 0xB3ABA0u);
    EXPECT_EQ(Rgb(c, x, y + 1), 0xFFF4E3u);
    // White is the knob's transparent key: its corner shows the paper.
    const int kx = g.pad.left + g.pad.valueX - 3, ky = g.pad.top + g.pad.valueY - 3;
    EXPECT_NE(Rgb(c, kx + 6, ky + 6), 0xFFFFFFu);
    EXPECT_NE(Rgb(c, kx + 6, ky + 6), Rgb(c, kx - 1, ky + 6));
    // On 4 planes a Transparent setting shows the grey and white checkerboard.
    const Box& s = g.transparentSwatch.rect;
    for (int py = s.top + 2; py < s.bottom - 2; ++py)
        for (int px = s.left + 2; px < s.right - 2; ++px)
            ASSERT_EQ(Rgb(c, px, py), ((px & 7) < 4) == ((py & 7) < 4) ? 0xC0C0C0u : 0xFFFFFFu);
    EXPECT_EQ(Rgb(c, g.pickerSwatch.rect.left + 5, g.pickerSwatch.rect.top + 5), 0xC81E28u);
}

class WidgetsOnThreePlanes : public Widgets {
protected:
    WidgetsOnThreePlanes() { planes = 3; }
};

TEST_F(WidgetsOnThreePlanes, TransparentSettingShowsItsOwnColour)
{
    const Capture c = Shot();
    const Box& s = g.transparentSwatch.rect;
    for (int py = s.top + 2; py < s.bottom - 2; ++py)
        for (int px = s.left + 2; px < s.right - 2; ++px)
            ASSERT_EQ(Rgb(c, px, py), 0x0A141Eu);
    // The frame around the inset is not painted.
    EXPECT_NE(Rgb(c, s.left + 1, s.top + 1), 0x0A141Eu);
}

TEST_F(Widgets, AStepThatNeverSettlesFailsWithinItsTimeout)
{
    d.timeoutMs = 800;
    PostMessageA(d.dialog, kGalleryBusy, 0, 0);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(WaitIdle(d));
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 800u);
    EXPECT_LT(took, 5000u); // well short of the default timeout, even on a loaded machine
    // The reason says what the wait found: the gallery keeps posting to itself.
    EXPECT_EQ(d.error.rfind("waited ", 0), 0u) << d.error;
    EXPECT_NE(d.error.find(" ms for the dialog to be idle: its thread came back to its queue "),
              std::string::npos)
        << d.error;
    EXPECT_NE(d.error.find("found posted messages waiting"), std::string::npos) << d.error;
    // Settling after the stop may take longer than the short timeout above
    // when the machine is busy.
    g.busyStop = true;
    d.timeoutMs = 10000;
    EXPECT_TRUE(WaitIdle(d)) << d.error;
}

// Whatever font the system gives for the dialogs' font (Wine's stand-in is
// wider than Windows' own, and text drawn at a larger size is hinted
// wider), captions and read-outs keep to the room the layout gives them:
// drawn at 100% and at 150% and 200%, no ink reaches beyond their room.
TEST(DialogFont, CaptionsAndReadOutsKeepToTheirRoom)
{
    Kit kit{};
    CreateKitFonts(kit);
    const struct {
        const char* text;
        int room;
    } texts[] = {{"BkgrColor:", 50}, {"Antialiasing", 56}, {"Deformation", 64}, {"WhiteCanvas", 64},
                 {"BG:", 18}, {"Bypass", 40}, {"-25", 15}, {"035", 15}, {"1234", 40}};
    for (int dpi : {96, 144, 192}) {
        const Scale scale{dpi};
        const int w = ToDevice(scale, 120), h = ToDevice(scale, 20);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        const HGDIOBJ oldFont = SelectObject(dc, kit.textFont);
        SetBkMode(dc, TRANSPARENT);
        UseLayoutPixels(dc, scale);
        for (const auto& t : texts) {
            SCOPED_TRACE(std::string(t.text) + " at " + std::to_string(dpi) + " dpi");
            GdiFlush();
            std::memset(bits, 0xFF, size_t(w) * h * 4);
            WriteTextWithin(dc, 0, 2, t.text, t.room);
            GdiFlush();
            const uint32_t* p = static_cast<const uint32_t*>(bits);
            int inkWithin = 0, inkBeyond = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if ((p[size_t(y) * w + x] & 0xFFFFFF) != 0xFFFFFF)
                        ++(x < ToDevice(scale, t.room) ? inkWithin : inkBeyond);
            EXPECT_GT(inkWithin, 10 * dpi / 96);
            EXPECT_EQ(inkBeyond, 0);
        }
        UseDevicePixels(dc);
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    ReleaseKit(kit);
}

} // namespace
