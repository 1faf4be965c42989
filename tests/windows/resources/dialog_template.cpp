#include "tests/windows/resources/dialog_template.h"

namespace {

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& d) : d_(d) {}
    bool ok() const { return ok_; }
    uint16_t U16()
    {
        if (at_ + 2 > d_.size()) {
            ok_ = false;
            return 0;
        }
        uint16_t v = uint16_t(d_[at_] | d_[at_ + 1] << 8);
        at_ += 2;
        return v;
    }
    uint32_t U32()
    {
        uint32_t lo = U16();
        return lo | uint32_t(U16()) << 16;
    }
    int16_t S16() { return int16_t(U16()); }
    uint8_t U8()
    {
        if (at_ + 1 > d_.size()) {
            ok_ = false;
            return 0;
        }
        return d_[at_++];
    }
    void Align4() { at_ = (at_ + 3) & ~size_t(3); }
    void Skip(size_t n) { at_ += n; }
    // Zero-terminated UTF-16 text (ASCII expected).
    std::string Text()
    {
        std::string s;
        for (uint16_t c = U16(); ok_ && c != 0; c = U16())
            s += char(c < 128 ? c : '?');
        return s;
    }
    // A string, or 0xFFFF and an ordinal (returned as "#n"), or nothing.
    std::string TextOrOrdinal()
    {
        uint16_t first = U16();
        if (first == 0)
            return "";
        if (first == 0xFFFF)
            return "#" + std::to_string(U16());
        std::string s(1, char(first < 128 ? first : '?'));
        return s + Text();
    }

private:
    const std::vector<uint8_t>& d_;
    size_t at_ = 0;
    bool ok_ = true;
};

std::string ClassName(const std::string& c)
{
    static const char* const kNames[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    for (int i = 0; i < 6; ++i)
        if (c == "#" + std::to_string(0x80 + i))
            return kNames[i];
    return c;
}

const uint32_t kSetFont = 0x40, kShellFont = 0x48;

} // namespace

DialogTemplate ParseDialogTemplate(const std::vector<uint8_t>& data)
{
    DialogTemplate t;
    Reader r(data);
    if (data.size() >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF) {
        t.extended = true;
        r.U32(); // version, signature
        r.U32(); // help id
        t.exStyle = r.U32();
        t.style = r.U32();
    } else {
        t.style = r.U32();
        t.exStyle = r.U32();
    }
    int count = r.U16();
    t.x = r.S16();
    t.y = r.S16();
    t.cx = r.S16();
    t.cy = r.S16();
    r.TextOrOrdinal(); // menu
    r.TextOrOrdinal(); // class
    t.caption = r.Text();
    if (t.style & (kSetFont | kShellFont)) {
        t.pointSize = r.U16();
        if (t.extended) {
            t.weight = r.U16();
            t.italic = r.U8();
            t.charset = r.U8();
        }
        t.typeface = r.Text();
    }
    for (int i = 0; i < count && r.ok(); ++i) {
        TemplateItem item;
        r.Align4();
        if (t.extended) {
            r.U32(); // help id
            item.exStyle = r.U32();
            item.style = r.U32();
        } else {
            item.style = r.U32();
            item.exStyle = r.U32();
        }
        item.x = r.S16();
        item.y = r.S16();
        item.cx = r.S16();
        item.cy = r.S16();
        item.id = t.extended ? int(int32_t(r.U32())) : int(int16_t(r.U16()));
        item.className = ClassName(r.TextOrOrdinal());
        item.text = r.TextOrOrdinal();
        r.Skip(r.U16()); // creation data
        t.items.push_back(item);
    }
    t.ok = r.ok() && int(t.items.size()) == count;
    return t;
}
