// Every bitmap loads by id with its size and depth, white survives as the
// transparent key, and cursor 104 is a 32 x 32 monochrome cursor with its hot
// spot at (13, 10).
#include <gtest/gtest.h>

#include "tests/windows/resources/raw_resource.h"

namespace {

struct Expected {
    int id, width, height, bits;
    bool both;   // velk3d has it too
    bool shaped; // white corners (transparent), opaque middle row
};

const Expected kBitmaps[] = {
    {119, 54, 18, 4, true, false},   {125, 57, 82, 8, true, false},   {126, 70, 23, 24, true, true},
    {127, 70, 23, 24, true, true},   {128, 60, 23, 24, true, true},   {129, 60, 23, 24, true, true},
    {130, 13, 13, 24, true, true},   {137, 70, 23, 24, true, true},   {138, 70, 23, 24, true, true},
    {139, 60, 23, 24, true, true},   {140, 60, 23, 24, true, true},   {141, 13, 13, 24, false, true},
    {145, 25, 14, 24, false, true},  {146, 25, 14, 24, false, true},  {147, 25, 14, 24, false, true},
    {148, 25, 14, 24, false, true},  {149, 25, 18, 24, false, true},  {150, 25, 18, 24, false, true},
    {151, 19, 19, 24, false, true},  {152, 19, 19, 24, false, true},  {153, 25, 18, 24, false, true},
    {154, 25, 18, 24, false, true},  {155, 25, 25, 24, false, true},  {156, 25, 25, 24, false, true},
    {161, 13, 13, 4, false, false},  {163, 13, 13, 4, false, false},  {164, 17, 16, 24, false, false},
    {165, 18, 18, 24, false, false}, {169, 20, 20, 24, false, true},  {170, 20, 20, 24, false, true},
    {171, 17, 17, 24, false, true},  {172, 42, 14, 8, false, false},
};

HBITMAP LoadDib(int id)
{
    return static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

} // namespace

TEST(MODULE_SUITE(Images), EveryBitmapLoadsWithItsSizeAndDepth)
{
    bool deform = Module().deform;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    for (const Expected& e : kBitmaps) {
        SCOPED_TRACE("bitmap " + std::to_string(e.id));
        HBITMAP bm = LoadDib(e.id);
        if (deform && !e.both) {
            EXPECT_EQ(bm, nullptr) << "velk3d carries a bitmap it does not use";
            if (bm)
                DeleteObject(bm);
            continue;
        }
        ASSERT_NE(bm, nullptr);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(bm, sizeof ds, &ds), int(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmWidth, e.width);
        EXPECT_EQ(ds.dsBm.bmHeight, e.height);
        EXPECT_EQ(ds.dsBm.bmBitsPixel, e.bits);

        // White (the transparent key) where a picture is transparent, and
        // nowhere else on the middle row.
        HGDIOBJ old = SelectObject(dc, bm);
        const COLORREF white = RGB(255, 255, 255);
        EXPECT_EQ(GetPixel(dc, 0, 0) == white, e.shaped);
        EXPECT_EQ(GetPixel(dc, e.width - 1, e.height - 1) == white, e.shaped);
        if (!e.shaped) {
            for (int x = 0; x < e.width; ++x)
                EXPECT_NE(GetPixel(dc, x, e.height / 2), white) << x;
        }
        SelectObject(dc, old);
        DeleteObject(bm);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST(MODULE_SUITE(Images), PointingHandCursor)
{
    HMODULE self = GetModuleHandleA(nullptr);
    HCURSOR cursor = LoadCursorA(self, MAKEINTRESOURCEA(104));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 13u);
    EXPECT_EQ(info.yHotspot, 10u);
    EXPECT_EQ(info.hbmColor, nullptr); // monochrome: the mask holds AND and XOR
    BITMAP mask{};
    ASSERT_NE(info.hbmMask, nullptr);
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    EXPECT_EQ(mask.bmBitsPixel, 1);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);

    // The group holds one 32 x 32, 1-bit image; the image starts with its
    // hot spot.
    std::vector<uint8_t> group = RawResource(MAKEINTRESOURCEA(12), MAKEINTRESOURCEA(104)); // RT_GROUP_CURSOR
    ASSERT_EQ(group.size(), 6u + 14u);
    EXPECT_EQ(group[2] | group[3] << 8, 2);  // cursor
    EXPECT_EQ(group[4] | group[5] << 8, 1);  // one image
    EXPECT_EQ(group[6] | group[7] << 8, 32); // width
    EXPECT_EQ(group[8] | group[9] << 8, 64); // height of both masks
    EXPECT_EQ(group[12] | group[13] << 8, 1); // bits per pixel
    int imageId = group[18] | group[19] << 8;
    std::vector<uint8_t> image = RawResource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(imageId)); // RT_CURSOR
    ASSERT_GE(image.size(), 4u + 40u);
    EXPECT_EQ(image[0] | image[1] << 8, 13);
    EXPECT_EQ(image[2] | image[3] << 8, 10);
}
