#include "toolkit/layout/dialog_layout.h"

#include <cstring>

namespace {

// The dialogs' font at 96 dpi: MulDiv(units, base, 4) across and
// MulDiv(units, base, 8) down, as MapDialogRect computes them.
constexpr int32_t kBaseX = 6, kBaseY = 13;

int32_t MulDivRounded(int32_t v, int32_t num, int32_t den)
{
    const int64_t p = int64_t(v) * num;
    return static_cast<int32_t>(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}

struct Reader {
    const uint8_t* data;
    size_t size, at;
    bool ok;

    uint16_t U16()
    {
        if (at + 2 > size) {
            ok = false;
            return 0;
        }
        const uint16_t v = static_cast<uint16_t>(data[at] | data[at + 1] << 8);
        at += 2;
        return v;
    }
    uint32_t U32()
    {
        const uint32_t lo = U16();
        return lo | uint32_t(U16()) << 16;
    }
    void Skip(size_t n)
    {
        if (at + n > size)
            ok = false;
        at = ok ? at + n : size;
    }
    void Align4() { Skip(((at + 3) & ~size_t(3)) - at); }
    void SkipText()
    {
        while (ok && U16() != 0) {
        }
    }
    // A text, or 0xFFFF and an ordinal, or nothing.
    void SkipTextOrOrdinal()
    {
        const uint16_t first = U16();
        if (first == 0xFFFF)
            U16();
        else if (first != 0)
            SkipText();
    }
};

constexpr uint32_t kSetFont = 0x40, kShellFont = 0x48;

} // namespace

int32_t LayoutX(int32_t dialogUnits)
{
    return MulDivRounded(dialogUnits, kBaseX, 4);
}

int32_t LayoutY(int32_t dialogUnits)
{
    return MulDivRounded(dialogUnits, kBaseY, 8);
}

bool ReadDialogLayout(const uint8_t* data, size_t size, DialogLayout& layout)
{
    std::memset(&layout, 0, sizeof layout);
    Reader r{data, size, 0, data != nullptr};
    const bool extended = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    uint32_t style = 0;
    if (extended) {
        r.Skip(12); // version, signature, help id, extended style
        style = r.U32();
    } else {
        style = r.U32();
        r.Skip(4);
    }
    const int count = r.U16();
    r.Skip(4); // x, y
    const int32_t cx = static_cast<int16_t>(r.U16()), cy = static_cast<int16_t>(r.U16());
    r.SkipTextOrOrdinal(); // menu
    r.SkipTextOrOrdinal(); // class
    r.SkipText();          // caption
    if (style & (kSetFont | kShellFont)) {
        r.Skip(extended ? 6 : 2); // point size (weight, italic, charset)
        r.SkipText();
    }
    if (count > kMaxLayoutControls)
        r.ok = false;
    for (int i = 0; r.ok && i < count; ++i) {
        r.Align4();
        r.Skip(extended ? 12 : 8); // (help id,) styles
        int16_t at[4];
        for (int16_t& v : at)
            v = static_cast<int16_t>(r.U16());
        const int32_t id = extended ? static_cast<int32_t>(r.U32()) : static_cast<int16_t>(r.U16());
        r.SkipTextOrOrdinal(); // class
        r.SkipTextOrOrdinal(); // text
        r.Skip(r.U16());       // creation data
        LayoutControl& c = layout.control[i];
        c.id = id;
        // Position and size are mapped apart, as the dialog manager maps them.
        const int32_t x = LayoutX(at[0]), y = LayoutY(at[1]);
        c.box = {x, y, x + LayoutX(at[2]), y + LayoutY(at[3])};
    }
    if (!r.ok) {
        std::memset(&layout, 0, sizeof layout);
        return false;
    }
    layout.width = LayoutX(cx);
    layout.height = LayoutY(cy);
    layout.count = count;
    return true;
}

Box LayoutBox(const DialogLayout& layout, int32_t id)
{
    for (int i = 0; i < layout.count; ++i)
        if (layout.control[i].id == id)
            return layout.control[i].box;
    return Box{0, 0, 0, 0};
}
