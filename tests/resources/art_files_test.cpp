// Checks of the committed bitmaps and cursor, read with a reader of their
// own: sizes and depths as the modules load them, white only where a picture
// is transparent, pressed pictures that look pressed, a seamless paper, and
// tiles that show what their selector means.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <iterator>
#include <string>
#include <vector>

#include "tests/resources/bmp_reader.h"

namespace {

struct Expected {
    int id, width, height, bits;
    bool both; // carried by velk3d too: stored once, in resources/shared
};

// Sizes from the bitmap table; 24 bits where the table gives no depth.
const Expected kBitmaps[] = {
    {119, 54, 18, 4, true},   {125, 57, 82, 8, true},   {126, 70, 23, 24, true},  {127, 70, 23, 24, true},
    {128, 60, 23, 24, true},  {129, 60, 23, 24, true},  {130, 13, 13, 24, true},  {137, 70, 23, 24, true},
    {138, 70, 23, 24, true},  {139, 60, 23, 24, true},  {140, 60, 23, 24, true},  {141, 13, 13, 24, false},
    {145, 25, 14, 24, false}, {146, 25, 14, 24, false}, {147, 25, 14, 24, false}, {148, 25, 14, 24, false},
    {149, 25, 18, 24, false}, {150, 25, 18, 24, false}, {151, 19, 19, 24, false}, {152, 19, 19, 24, false},
    {153, 25, 18, 24, false}, {154, 25, 18, 24, false}, {155, 25, 25, 24, false}, {156, 25, 25, 24, false},
    {161, 13, 13, 4, false},  {163, 13, 13, 4, false},  {164, 17, 16, 24, false}, {165, 18, 18, 24, false},
    {169, 20, 20, 24, false}, {170, 20, 20, 24, false}, {171, 17, 17, 24, false}, {172, 42, 14, 8, false},
};

// Normal and pressed pictures. The undo and redo buttons show 150 and 154
// at rest.
const int kPairs[][2] = {{126, 127}, {128, 129}, {137, 138}, {139, 140}, {145, 146}, {147, 148},
                         {150, 149}, {151, 152}, {154, 153}, {155, 156}, {169, 170}};

std::string ArtDir(const std::string& folder)
{
    const char* root = std::getenv("VELK_SOURCE_DIR");
    return std::string(root ? root : ".") + "/resources/" + folder + "/";
}

std::vector<std::string> FilesIn(const std::string& dir, const std::string& suffix)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > suffix.size() && n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0)
                names.push_back(n);
        }
        closedir(d);
    }
    return names;
}

// The file of bitmap `id`: its name starts with the id and an underscore.
std::string BitmapPath(const std::string& folder, int id)
{
    std::string prefix = std::to_string(id) + "_";
    for (const std::string& n : FilesIn(ArtDir(folder), ".bmp"))
        if (n.compare(0, prefix.size(), prefix) == 0)
            return ArtDir(folder) + n;
    return "";
}

const char* FolderOf(const Expected& e)
{
    return e.both ? "shared" : "velk2000";
}

Bitmap Load(int id)
{
    const Expected* e = std::find_if(std::begin(kBitmaps), std::end(kBitmaps),
                                     [id](const Expected& x) { return x.id == id; });
    Bitmap bm = ReadBitmap(e == std::end(kBitmaps) ? "" : BitmapPath(FolderOf(*e), id));
    EXPECT_TRUE(bm.ok) << "bitmap " << id;
    return bm;
}

double MeanLuma(const Bitmap& bm)
{
    double sum = 0;
    int n = 0;
    for (const Rgb8& c : bm.pixels)
        if (!c.White()) {
            sum += c.Luma();
            ++n;
        }
    return n ? sum / n : 0;
}

struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};

// Bounding box of the dark pixels (the lettering of a button).
Box Ink(const Bitmap& bm)
{
    Box b;
    for (int y = 0; y < bm.height; ++y)
        for (int x = 0; x < bm.width; ++x)
            if (bm.At(x, y).Luma() < 90) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

} // namespace

TEST(ArtFiles, EveryBitmapHasItsSizeAndDepthInItsFolder)
{
    for (const Expected& e : kBitmaps) {
        const std::string path = BitmapPath(FolderOf(e), e.id);
        Bitmap bm = ReadBitmap(path);
        ASSERT_TRUE(bm.ok) << "bitmap " << e.id << " at '" << path << "'";
        EXPECT_EQ(bm.width, e.width) << e.id;
        EXPECT_EQ(bm.height, e.height) << e.id;
        EXPECT_EQ(bm.bits, e.bits) << e.id;
        if (e.bits < 24) {
            EXPECT_LE(bm.paletteSize, 1 << e.bits) << e.id;
        }
    }
    EXPECT_EQ(FilesIn(ArtDir("velk2000"), ".bmp").size() + FilesIn(ArtDir("shared"), ".bmp").size(),
              std::size(kBitmaps));
    EXPECT_EQ(FilesIn(ArtDir("shared"), ".bmp").size(), 11u);
    EXPECT_TRUE(FilesIn(ArtDir("velk3d"), ".bmp").empty());
}

TEST(ArtFiles, SharedArtIsStoredOnceAndNamedByBothScripts)
{
    // Each picture is in one folder only, and each resource script names
    // every picture its module carries.
    const std::vector<uint8_t> raw2000 = ReadAll(ArtDir("velk2000") + "velk2000.rc");
    const std::vector<uint8_t> raw3d = ReadAll(ArtDir("velk3d") + "velk3d.rc");
    const std::string script2000(raw2000.begin(), raw2000.end()), script3d(raw3d.begin(), raw3d.end());
    for (const Expected& e : kBitmaps) {
        const char* other = e.both ? "velk2000" : "shared";
        EXPECT_EQ(BitmapPath(other, e.id), "") << e.id << " is stored twice";
        const std::string path = BitmapPath(FolderOf(e), e.id);
        const std::string file = path.substr(path.rfind('/') + 1);
        EXPECT_NE(script2000.find("\"" + file + "\""), std::string::npos) << file;
        EXPECT_EQ(script3d.find("\"" + file + "\"") != std::string::npos, e.both) << file;
    }
    EXPECT_TRUE(FilesIn(ArtDir("velk2000"), ".cur").empty());
    EXPECT_NE(script2000.find("\"pointing_hand.cur\""), std::string::npos);
    EXPECT_NE(script3d.find("\"pointing_hand.cur\""), std::string::npos);
}

TEST(ArtFiles, WhiteOnlyWhereAPictureIsTransparent)
{
    // Rectangular pictures have no transparent pixel at all.
    for (int id : {119, 125, 161, 163, 164, 165, 172}) {
        Bitmap bm = Load(id);
        for (const Rgb8& c : bm.pixels)
            ASSERT_FALSE(c.White()) << "white pixel in bitmap " << id;
    }
    // Shaped pictures: transparent corners, and a good part opaque (the
    // centre too, except inside the curved arrows).
    for (int id : {126, 127, 128, 129, 130, 137, 138, 139, 140, 141, 145, 146, 147, 148, 149, 150, 151, 152,
                   153, 154, 155, 156, 169, 170, 171}) {
        Bitmap bm = Load(id);
        EXPECT_TRUE(bm.At(0, 0).White()) << id;
        EXPECT_TRUE(bm.At(bm.width - 1, bm.height - 1).White()) << id;
        size_t opaque = 0;
        for (const Rgb8& c : bm.pixels)
            opaque += !c.White();
        EXPECT_GT(opaque, bm.pixels.size() / 4) << id;
        bool arrow = id == 149 || id == 150 || id == 153 || id == 154;
        EXPECT_EQ(bm.At(bm.width / 2, bm.height / 2).White(), arrow) << id;
    }
    // The plate of a picture button is opaque inside its rounded border.
    for (int id : {126, 127, 128, 129, 137, 138, 139, 140}) {
        Bitmap bm = Load(id);
        for (int y = 2; y < bm.height - 2; ++y)
            for (int x = 2; x < bm.width - 2; ++x)
                ASSERT_FALSE(bm.At(x, y).White()) << "button " << id << " at " << x << "," << y;
    }
}

TEST(ArtFiles, PressedPicturesAreDarkerAndDifferent)
{
    for (const auto& pair : kPairs) {
        Bitmap normal = Load(pair[0]), pressed = Load(pair[1]);
        ASSERT_EQ(normal.pixels.size(), pressed.pixels.size());
        size_t differing = 0;
        for (size_t i = 0; i < normal.pixels.size(); ++i)
            differing += normal.pixels[i] != pressed.pixels[i];
        EXPECT_GT(differing, normal.pixels.size() / 5) << pair[0];
        EXPECT_LT(MeanLuma(pressed), MeanLuma(normal) - 5.0) << pair[0];
    }
}

TEST(ArtFiles, ButtonWordsAreCentredAndSinkWhenPressed)
{
    for (const auto& pair : {std::pair<int, int>{126, 127}, {128, 129}, {137, 138}, {139, 140}}) {
        Bitmap normal = Load(pair.first), pressed = Load(pair.second);
        Box a = Ink(normal), b = Ink(pressed);
        ASSERT_GE(a.right, a.left) << "no lettering on " << pair.first;
        EXPECT_LE(std::abs((a.left + a.right + 1) - normal.width), 2) << pair.first;
        EXPECT_GE(a.bottom - a.top, 8) << pair.first; // letters at least 9 pixels high
        EXPECT_EQ(b.left, a.left + 1) << pair.second;
        EXPECT_EQ(b.top, a.top + 1) << pair.second;
    }
}

TEST(ArtFiles, PaperIsLightAndRepeatsWithoutSeams)
{
    Bitmap bm = Load(125);
    double mean = MeanLuma(bm);
    EXPECT_GT(mean, 205.0);
    EXPECT_LT(mean, 245.0);
    // Column and row means: across the tile edge they must not jump more than
    // between neighbours inside the tile.
    std::vector<double> cols(size_t(bm.width), 0.0), rows(size_t(bm.height), 0.0);
    for (int y = 0; y < bm.height; ++y)
        for (int x = 0; x < bm.width; ++x) {
            cols[size_t(x)] += bm.At(x, y).Luma() / double(bm.height);
            rows[size_t(y)] += bm.At(x, y).Luma() / double(bm.width);
        }
    for (const std::vector<double>* v : {&cols, &rows}) {
        double worst = 0;
        for (size_t i = 1; i < v->size(); ++i)
            worst = std::max(worst, std::abs((*v)[i] - (*v)[i - 1]));
        EXPECT_LE(std::abs(v->back() - v->front()), worst * 1.5 + 0.25);
    }
    // Pixel steps across the edges are like those inside.
    double inside = 0, edge = 0;
    for (int y = 0; y < bm.height; ++y) {
        for (int x = 1; x < bm.width; ++x)
            inside += std::abs(bm.At(x, y).Luma() - bm.At(x - 1, y).Luma());
        edge += std::abs(bm.At(0, y).Luma() - bm.At(bm.width - 1, y).Luma());
    }
    EXPECT_LE(edge / bm.height, 1.5 * inside / (bm.height * (bm.width - 1)) + 0.5);
}

TEST(ArtFiles, OrientationTilesShowRowsColumnsAndMixed)
{
    Bitmap strip = Load(119);
    auto varies = [&](int tile, bool alongRows) {
        for (int a = 1; a < 17; ++a)
            for (int b = 2; b < 17; ++b) {
                int x = alongRows ? b : a, y = alongRows ? a : b;
                int px = alongRows ? b - 1 : a, py = alongRows ? a : b - 1;
                if (strip.At(tile * 18 + x, y) != strip.At(tile * 18 + px, py))
                    return true;
            }
        return false;
    };
    EXPECT_FALSE(varies(0, true));  // rows: constant along each row
    EXPECT_TRUE(varies(0, false));
    EXPECT_TRUE(varies(1, true));   // columns: constant down each column
    EXPECT_FALSE(varies(1, false));
    EXPECT_TRUE(varies(2, true));   // mixed: both
    EXPECT_TRUE(varies(2, false));

    Bitmap columns = Load(165);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            ASSERT_EQ(columns.At(x, y), strip.At(18 + x, y)) << x << "," << y;
}

TEST(ArtFiles, CurveTilesFollowTheirShapes)
{
    // Row of the darkest pixel of a tile column: where the curve is drawn.
    Bitmap strip = Load(172);
    auto curveRow = [&](int tile, int x) {
        int best = 0;
        for (int y = 1; y < 13; ++y)
            if (strip.At(tile * 14 + x, y).Luma() < strip.At(tile * 14 + x, best).Luma())
                best = y;
        return best;
    };
    // Parabola s^2: rises from left to right.
    EXPECT_GT(curveRow(0, 2), curveRow(0, 7));
    EXPECT_GT(curveRow(0, 7), curveRow(0, 12));
    // (cos((s + 1) 1.5 pi) + 1) 0.4: a hump at s = 1/3 that falls to 0 at 1.
    EXPECT_LT(curveRow(1, 5), curveRow(1, 2));
    EXPECT_LT(curveRow(1, 5), curveRow(1, 12));
    EXPECT_GT(curveRow(1, 12), curveRow(1, 2));
    // (cos(2 pi s) + 1) 0.4: a valley in the middle.
    EXPECT_GT(curveRow(2, 7), curveRow(2, 2));
    EXPECT_GT(curveRow(2, 7), curveRow(2, 12));
}

TEST(ArtFiles, KnobsHaveTheirColours)
{
    Rgb8 orange = Load(130).At(6, 7), violet = Load(141).At(6, 7);
    EXPECT_GT(orange.r, 180);
    EXPECT_GT(orange.r, orange.g);
    EXPECT_GT(orange.g, orange.b);
    EXPECT_GT(violet.b, violet.g);
    EXPECT_GT(violet.r, violet.g);
    Rgb8 green = Load(164).At(8, 8);
    EXPECT_EQ(green, (Rgb8{41, 177, 73}));
}

TEST(ArtFiles, CursorIsAMonochromeHandWithItsTipAtTheHotSpot)
{
    CursorFile cf = ReadCursor(ArtDir("shared") + "pointing_hand.cur");
    ASSERT_TRUE(cf.ok);
    EXPECT_EQ(cf.type, 2);
    EXPECT_EQ(cf.count, 1);
    EXPECT_EQ(cf.width, 32);
    EXPECT_EQ(cf.height, 32);
    EXPECT_EQ(cf.hotX, 13);
    EXPECT_EQ(cf.hotY, 10);
    EXPECT_EQ(cf.dibHeight, 64);
    EXPECT_EQ(cf.dibBits, 1);
    // The hot spot is on the outline of the finger tip; nothing above it.
    EXPECT_EQ(cf.rows[10][13], 'B');
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(cf.rows[size_t(y)], std::string(32, 'T')) << y;
    // Black and white only (no inverting pixels), and a white inside.
    int white = 0;
    for (const std::string& row : cf.rows)
        for (char c : row) {
            EXPECT_NE(c, 'I');
            white += c == 'W';
        }
    EXPECT_GT(white, 100);
}
