// velk apply velk2000, and the dialog previews of both filters.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/cli/cli_run.h"
#include "tests/support/twostage_seal.h"

namespace {


// Every value at its neutral setting: the strips leave a fully selected
// picture as it is.
std::vector<uint8_t> NeutralRecord()
{
    std::vector<uint8_t> r(64, 0);
    const uint8_t colours[20] = {10, 20, 30, 2, 200, 0, 0, 2, 0, 200, 0, 2, 0, 0, 200, 2, 50, 50, 50, 2};
    std::memcpy(r.data(), colours, 20);
    r[20] = r[21] = 40;  // spacings, stage 1
    r[22] = r[23] = 30;  // spacings, stage 2
    r[24] = r[25] = 50;  // moire
    for (int i = 26; i < 30; ++i)
        r[i] = 25;        // gradient pads
    r[30] = r[31] = 50;  // side shadow depths
    for (int i = 32; i < 36; ++i)
        r[i] = 25;        // stretch pads
    r[36] = r[37] = 10;  // blur
    r[38] = 0, r[39] = 1; // orientations
    r[43] = 14;           // version
    r[50] = r[51] = 25;  // curve pad
    SealTwoStage(r);
    return r;
}

// "Lonely Hearts", as the factory table stores it.
std::vector<uint8_t> LonelyHearts()
{
    return {0xE3, 0xD9, 0xCB, 0x03, 0xC6, 0x00, 0x66, 0x02, 0x1B, 0x1A, 0x00, 0x02, 0xD5, 0x14, 0x00, 0x02,
            0xCB, 0xCB, 0x00, 0x02, 0x24, 0x14, 0x24, 0x12, 0x32, 0x2E, 0x19, 0x00, 0x19, 0x32, 0x00, 0x32,
            0x19, 0x19, 0x19, 0x32, 0x05, 0x00, 0x00, 0x02, 0x00, 0x14, 0x00, 0x0E, 0x00, 0x01, 0x01, 0x01,
            0x00, 0x01, 0x32, 0x32, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0xA0, 0xAD, 0x5D};
}

class CliVelk2000 : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        rgb = folder + "/rgb.png";
        WritePixels(rgb, TestPicture(60, 40, 3));
    }

    RunResult Run(std::vector<std::string> args, const std::string& filter = "velk2000")
    {
        args.insert(args.begin(), {"apply", filter});
        return RunVelk(args);
    }

    Pixels Render(std::vector<std::string> args, const std::string& input, const std::string& name,
                  const std::string& filter = "velk2000")
    {
        args.push_back(input);
        args.push_back(folder + "/" + name);
        const RunResult r = Run(args, filter);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadPixels(folder + "/" + name);
    }

    std::string Record(const std::vector<uint8_t>& bytes, const std::string& name)
    {
        WriteFile(folder + "/" + name, std::string(bytes.begin(), bytes.end()));
        return folder + "/" + name;
    }

    std::string folder, rgb;
};

TEST_F(CliVelk2000, StoredFactoryRecordRendersLikeThePreset)
{
    const Pixels preset = Render({"--preset", " lonely hearts "}, rgb, "preset.png");
    const Pixels record = Render({"--record", Record(LonelyHearts(), "lh.bin")}, rgb, "record.png");
    ASSERT_EQ(preset.channels, 3);
    EXPECT_EQ(preset.data, record.data);
    EXPECT_NE(preset.data, Render({}, rgb, "default.png").data); // e-Flowers differs
}

TEST_F(CliVelk2000, NeutralRecordLeavesThePictureAsItIs)
{
    const Pixels out = Render({"--record", Record(NeutralRecord(), "n.bin")}, rgb, "out.png");
    EXPECT_EQ(out.data, TestPicture(60, 40, 3).data);
}

TEST_F(CliVelk2000, RecordsAreCheckedAndLaterVersionsWarn)
{
    std::vector<uint8_t> bad = NeutralRecord();
    bad[20] ^= 1;
    RunResult r = Run({"--record", Record(bad, "bad.bin"), rgb, folder + "/out.png"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("checksum"), std::string::npos) << r.err;
    EXPECT_FALSE(FileExists(folder + "/out.png"));

    std::vector<uint8_t> later = NeutralRecord();
    later[43] = 15;
    SealTwoStage(later);
    r = Run({"--record", Record(later, "later.bin"), rgb, folder + "/out.png"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("warning"), std::string::npos) << r.err;
    EXPECT_EQ(ReadPixels(folder + "/out.png").data, TestPicture(60, 40, 3).data);

    r = Run({"--preset", "No Such", rgb, folder + "/x.png"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("Dragon Waves"), std::string::npos) << r.err; // lists the presets
}

TEST_F(CliVelk2000, AlphaIsKept)
{
    WritePixels(folder + "/rgba.png", TestPicture(60, 40, 4));
    const Pixels out = Render({"--record", Record(NeutralRecord(), "n.bin")}, folder + "/rgba.png", "out.png");
    EXPECT_EQ(out.channels, 4);
    EXPECT_EQ(out.data, TestPicture(60, 40, 4).data);
}

// A 728 x 360 picture is previewed at scale 2: the preview rectangle is
// 364 x 180, each pixel the twice-truncated mean of a 2 x 2 block; below it the
// preview shows the engine's pre-fill.
TEST_F(CliVelk2000, PreviewShowsTheReducedPicture)
{
    const Pixels big = TestPicture(728, 360, 3);
    WritePixels(folder + "/big.png", big);
    const Pixels preview = Render({"--preview", "--record", Record(NeutralRecord(), "n.bin")},
                                  folder + "/big.png", "preview.png");
    ASSERT_EQ(preview.width, 364);
    ASSERT_EQ(preview.height, 360);
    ASSERT_EQ(preview.channels, 3);
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 364; ++x)
            for (int k = 0; k < 3; ++k) {
                auto at = [&](int px, int py) { return big.data[(size_t(py) * 728 + px) * 3 + k]; };
                const int top = (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y)) / 2;
                const int bottom = (at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1)) / 2;
                ASSERT_EQ(preview.data[(size_t(y) * 364 + x) * 3 + k], (top + bottom) / 2)
                    << x << "," << y << " channel " << k;
            }
    // The neutral record's background colour (10, 20, 30) below the rectangle.
    const uint8_t* below = &preview.data[(size_t(200) * 364 + 10) * 3];
    EXPECT_EQ(std::vector<uint8_t>(below, below + 3), (std::vector<uint8_t>{10, 20, 30}));
}

TEST_F(CliVelk2000, Velk3dPreviewIsTheFirstRunDialog)
{
    WritePixels(folder + "/big.png", TestPicture(728, 360, 3));
    const Pixels preview = Render({"--preview"}, folder + "/big.png", "preview.png", "velk3d");
    ASSERT_EQ(preview.width, 364);
    ASSERT_EQ(preview.height, 360);
    // Below the 364 x 180 rectangle: the default fill colour.
    const uint8_t* below = &preview.data[(size_t(300) * 364 + 100) * 3];
    EXPECT_EQ(std::vector<uint8_t>(below, below + 3), (std::vector<uint8_t>{227, 217, 203}));
    // Inside it the tiles show the picture: not the fill everywhere.
    size_t filled = 0;
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 364; ++x)
            filled += preview.data[(size_t(y) * 364 + x) * 3] == 227;
    EXPECT_LT(filled, size_t(364 * 180 / 2));
}

} // namespace
