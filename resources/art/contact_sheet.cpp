#include "resources/art/contact_sheet.h"

#include "resources/art/font.h"

#include <string>

#include <stb/stb_image_write.h>

namespace art {

namespace {

const int kSheetWidth = 1200, kMargin = 24, kGap = 28, kScale = 4;
const Pixel kBackground{104, 104, 104}, kLabel{236, 236, 236}, kFrame{40, 40, 40}, kHot{230, 20, 20};

struct Group {
    std::string label;
    std::vector<Picture> pictures;
};

void FillRect(Picture& p, int x, int y, int w, int h, Pixel c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (i >= 0 && j >= 0 && i < p.width && j < p.height)
                p.At(i, j) = c;
}

void Label(Picture& p, const std::string& text, int x, int y, int scale)
{
    ForEachInk(LabelFont(), text, [&](int i, int j) { FillRect(p, x + i * scale, y + j * scale, scale, scale, kLabel); });
}

// Draws `art` enlarged, white showing the paper below as in the dialogs.
void Show(Picture& sheet, const Picture& art, const Picture& paper, int x, int y, int scale)
{
    FillRect(sheet, x - 1, y - 1, art.width * scale + 2, art.height * scale + 2, kFrame);
    for (int j = 0; j < art.height; ++j)
        for (int i = 0; i < art.width; ++i) {
            Pixel c = art.At(i, j);
            if (c == kWhite)
                c = paper.At(i % paper.width, j % paper.height);
            FillRect(sheet, x + i * scale, y + j * scale, scale, scale, c);
        }
}

Picture HandPicture(const std::vector<std::string>& rows)
{
    Picture p(32, 32, kWhite);
    for (int y = 0; y < 32 && y < int(rows.size()); ++y)
        for (int x = 0; x < 32 && x < int(rows[size_t(y)].size()); ++x) {
            char c = rows[size_t(y)][size_t(x)];
            if (c == '#')
                p.At(x, y) = Pixel{0, 0, 0};
            else if (c == 'o')
                p.At(x, y) = Pixel{252, 252, 252};
        }
    return p;
}

struct Placed {
    int x, y;
};

// Flow layout of the groups: returns each group's position and the height.
int Layout(const std::vector<Group>& groups, int top, std::vector<Placed>& out)
{
    int x = kMargin, y = top, rowHeight = 0;
    for (const Group& g : groups) {
        int w = 0, h = 0;
        for (const Picture& p : g.pictures) {
            w += p.width * kScale + (w > 0 ? 12 : 0);
            h = p.height * kScale > h ? p.height * kScale : h;
        }
        int lw = TextWidth(LabelFont(), g.label) * 2;
        w = lw > w ? lw : w;
        h += 16;
        if (x + w > kSheetWidth - kMargin && x > kMargin) {
            x = kMargin;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        out.push_back({x, y});
        x += w + kGap;
        rowHeight = h > rowHeight ? h : rowHeight;
    }
    return y + rowHeight;
}

} // namespace

bool WriteContactSheet(const std::vector<ArtItem>& items, const std::vector<std::string>& handRows,
                       const std::string& path)
{
    const Picture* paper = nullptr;
    for (const ArtItem& item : items)
        if (item.id == 125)
            paper = &item.picture;
    if (!paper)
        return false;
    Picture hand = HandPicture(handRows);

    // Groups: a picture with an empty title joins the one before it.
    std::vector<Group> groups;
    std::vector<std::string> titles;
    for (const ArtItem& item : items) {
        if (item.id == 125)
            continue;
        std::string id = std::to_string(item.id);
        if (item.title.empty() && !groups.empty()) {
            groups.back().label += "/" + id;
            groups.back().pictures.push_back(item.picture);
            continue;
        }
        groups.push_back({id, {item.picture}});
        titles.push_back(item.title);
    }
    for (size_t i = 0; i < groups.size(); ++i)
        groups[i].label += " " + titles[i];
    groups.push_back({"104 CURSOR", {hand}});

    // Real size strip on the paper.
    const int stripTop = kMargin + 24, stripHeight = 100;
    std::vector<Placed> placed;
    int gridTop = stripTop + stripHeight + 40;
    int gridBottom = Layout(groups, gridTop + 28, placed);
    int textureTop = gridBottom + 40;
    int height = textureTop + 16 + paper->height * 5 + kMargin;

    Picture sheet(kSheetWidth, height, kBackground);
    Label(sheet, "VELK ART - REAL SIZE ON PAPER", kMargin, kMargin, 2);
    Picture panel(kSheetWidth - 2 * kMargin, stripHeight, kWhite);
    int px = 10, py = 12;
    for (const ArtItem& item : items) {
        if (item.id == 125)
            continue;
        if (px + item.picture.width > panel.width - 10) {
            px = 10;
            py += 40;
        }
        Paste(panel, item.picture, px, py + (32 - item.picture.height) / 2);
        px += item.picture.width + 8;
    }
    Paste(panel, hand, px + 4, py);
    Show(sheet, panel, *paper, kMargin, stripTop, 1);

    Label(sheet, "ENLARGED 4X", kMargin, gridTop, 2);
    for (size_t i = 0; i < groups.size(); ++i) {
        Label(sheet, groups[i].label, placed[i].x, placed[i].y, 2);
        int x = placed[i].x;
        for (const Picture& p : groups[i].pictures) {
            Show(sheet, p, *paper, x, placed[i].y + 16, kScale);
            x += p.width * kScale + 12;
        }
    }
    // Hot spot of the cursor: a red frame around its pixel.
    const Placed& h = placed.back();
    int hx = h.x + 13 * kScale, hy = h.y + 16 + 10 * kScale;
    FillRect(sheet, hx - 1, hy - 1, kScale + 2, 1, kHot);
    FillRect(sheet, hx - 1, hy + kScale, kScale + 2, 1, kHot);
    FillRect(sheet, hx - 1, hy, 1, kScale, kHot);
    FillRect(sheet, hx + kScale, hy, 1, kScale, kHot);

    Label(sheet, "125 PAPER - 10 X 5 TILES AT REAL SIZE, 2 X 2 AT 2X", kMargin, textureTop, 2);
    Picture wide(paper->width * 10, paper->height * 5, kWhite);
    Show(sheet, wide, *paper, kMargin, textureTop + 16, 1);
    Picture tiled(paper->width * 2, paper->height * 2, kWhite);
    Show(sheet, tiled, *paper, kMargin + wide.width + kGap, textureTop + 16, 2);

    return stbi_write_png(path.c_str(), sheet.width, sheet.height, 3, sheet.pixels.data(), sheet.width * 3) != 0;
}

} // namespace art
