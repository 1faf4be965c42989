// Dialog layouts read from templates, and the mapping between layout pixels
// and the pixels of a scaled screen.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/layout/dialog_layout.h"
#include "toolkit/layout/scale.h"

namespace {

struct Bytes {
    std::vector<uint8_t> d;
    void U16(int v) { d.push_back(uint8_t(v)), d.push_back(uint8_t(v >> 8)); }
    void U32(uint32_t v) { U16(int(v & 0xFFFF)), U16(int(v >> 16)); }
    void Text(const char* s)
    {
        for (; *s; ++s)
            U16(*s);
        U16(0);
    }
    void Align() { while (d.size() % 4) d.push_back(0); }
};

struct Item {
    int x, y, cx, cy, id;
};

// A template as the resource compiler writes it: DIALOGEX with a font, or a
// classic DIALOG without one, with a class ordinal and a text per control.
std::vector<uint8_t> Template(bool extended, int cx, int cy, const std::vector<Item>& items)
{
    Bytes b;
    if (extended) {
        b.U16(1), b.U16(0xFFFF), b.U32(0), b.U32(0), b.U32(0x80C80040); // DS_SETFONT
    } else {
        b.U32(0x80C80000), b.U32(0);
    }
    b.U16(int(items.size())), b.U16(0), b.U16(0), b.U16(cx), b.U16(cy);
    b.U16(0), b.U16(0), b.Text("Caption");
    if (extended)
        b.U16(8), b.U16(0), b.U16(0x0100), b.Text("MS Sans Serif");
    for (const Item& it : items) {
        b.Align();
        if (extended)
            b.U32(0);
        b.U32(0x50000000), b.U32(0);
        b.U16(it.x), b.U16(it.y), b.U16(it.cx), b.U16(it.cy);
        extended ? b.U32(uint32_t(it.id)) : b.U16(it.id);
        b.U16(0xFFFF), b.U16(0x0080);
        b.Text("text");
        b.U16(0);
    }
    return b.d;
}

TEST(DialogLayout, TemplatesGiveTheBoxesOfTheNominalFont)
{
    const std::vector<Item> items = {{265, 222, 9, 9, 1004}, {15, 15, 245, 224, 1017}, {259, 15, 152, 224, -1}};
    for (bool extended : {true, false}) {
        SCOPED_TRACE(extended);
        const std::vector<uint8_t> t = Template(extended, 416, 253, items);
        DialogLayout layout;
        ASSERT_TRUE(ReadDialogLayout(t.data(), t.size(), layout));
        EXPECT_EQ(layout.width, 624);  // 416 * 6 / 4
        EXPECT_EQ(layout.height, 411); // 253 * 13 / 8 = 411.1
        ASSERT_EQ(layout.count, 3);
        // Position and size apart: 222 * 13 / 8 = 360.75 -> 361, 9 * 13 / 8 = 14.6 -> 15.
        const Box aa = LayoutBox(layout, 1004);
        EXPECT_EQ(aa.left, 398);
        EXPECT_EQ(aa.top, 361);
        EXPECT_EQ(aa.right, 412);
        EXPECT_EQ(aa.bottom, 376);
        const Box frame = LayoutBox(layout, -1);
        EXPECT_EQ(frame.left, 389);
        EXPECT_EQ(frame.right, 389 + 228);
        EXPECT_EQ(LayoutBox(layout, 4242).right, 0);
        // Cut anywhere, the template is refused and nothing is left half read.
        for (size_t n = 0; n < t.size(); n += 3) {
            DialogLayout cut;
            EXPECT_FALSE(ReadDialogLayout(t.data(), n, cut)) << n;
            EXPECT_EQ(cut.count, 0);
        }
    }
    DialogLayout none;
    EXPECT_FALSE(ReadDialogLayout(nullptr, 0, none));
    const std::vector<Item> many(kMaxLayoutControls + 1, Item{1, 1, 1, 1, 7});
    const std::vector<uint8_t> t = Template(true, 10, 10, many);
    EXPECT_FALSE(ReadDialogLayout(t.data(), t.size(), none));
}

TEST(Scale, EveryDevicePixelBelongsToTheLayoutPixelThatCoversIt)
{
    for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
        SCOPED_TRACE(dpi);
        const Scale s{dpi};
        for (int v = -300; v <= 1200; ++v) {
            ASSERT_EQ(ToLayout(s, ToDevice(s, v)), v);
            ASSERT_LE(ToDevice(s, v), ToDevice(s, v + 1));
        }
        for (int d = -400; d <= 2400; ++d) {
            const int v = ToLayout(s, d);
            ASSERT_LE(ToDevice(s, v), d);
            ASSERT_LT(d, ToDevice(s, v + 1));
        }
        const Box b = CoveringLayout(s, Box{1, 2, 37, 41});
        const Box back = ToDevice(s, b);
        EXPECT_LE(back.left, 1);
        EXPECT_LE(back.top, 2);
        EXPECT_GE(back.right, 37);
        EXPECT_GE(back.bottom, 41);
    }
    EXPECT_EQ(ToDevice(Scale{144}, 13), 20); // 19.5, halves up as GDI rounds
    EXPECT_EQ(ToDevice(Scale{120}, 364), 455);
    // A pointer left of and above the window stays outside every widget.
    const Pointer p = UnpackPointer(PointerToLayout(Scale{192}, PackPointer(-4, 401)));
    EXPECT_GT(p.x, 30000);
    EXPECT_EQ(p.y, 200);
}

} // namespace
