// velk apply velk3d: records, options, masks, alpha and file handling.

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>

#include <cstring>

#include "deform/engine/deform_settings.h"
#include "tests/cli/cli_run.h"

namespace {

// The record a first run with "Velkstone" applies, written out field by
// field from the preset code "#035 055 00 50 45 32 50 00 0" and the first-run
// light values 30, 20, 10.
DeformSettings VelkstoneFirstRun()
{
    DeformSettings r;
    std::memset(&r, 0, sizeof r);
    r.valueX[1] = 35; // tile width
    r.valueY[0] = 55; // tile height
    r.valueX[2] = 0;  // bevel
    r.valueX[3] = 50; // side shading
    r.valueX[5] = 45; // gradient pad x
    r.valueY[5] = 32; // gradient pad y
    r.valueX[4] = 50; // stretch pad x
    r.valueY[4] = 0;  // stretch pad y
    r.valueX[6] = 30; // light boost
    r.valueX[7] = 20; // brightness floor
    r.saturation = 10;
    r.antialias = 1;
    r.colourSource = 2; // Picker
    const uint8_t colour[4] = {227, 217, 203, 255};
    std::memcpy(r.colour, colour, 4);
    r.saveFlags = 10;
    r.magic = 0x1234;
    return r;
}

void Seal(DeformSettings& r)
{
    int32_t sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += r.valueX[i] + r.valueY[i];
    r.checksum = sum;
}

class CliVelk3d : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        rgb = folder + "/rgb.png";
        rgba = folder + "/rgba.png";
        WritePixels(rgb, TestPicture(60, 40, 3));
        WritePixels(rgba, TestPicture(60, 40, 4));
    }

    // Renders and returns the output's pixels; fails the test on an error.
    Pixels Render(std::vector<std::string> args, const std::string& input, const std::string& name)
    {
        const std::string out = folder + "/" + name;
        args.insert(args.begin(), {"apply", "velk3d"});
        args.push_back(input);
        args.push_back(out);
        const RunResult r = RunVelk(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadPixels(out);
    }

    std::string Record(DeformSettings r, const std::string& name)
    {
        const std::string path = folder + "/" + name;
        WriteFile(path, std::string(reinterpret_cast<const char*>(&r), sizeof r));
        return path;
    }

    std::string folder, rgb, rgba;
};

TEST_F(CliVelk3d, StoredFirstRunRecordRendersLikeTheDefaultPreset)
{
    DeformSettings r = VelkstoneFirstRun();
    Seal(r);
    const Pixels fromPreset = Render({}, rgb, "preset.png");
    const Pixels fromRecord = Render({"--record", Record(r, "r.bin")}, rgb, "record.png");
    ASSERT_EQ(fromPreset.channels, 3);
    EXPECT_EQ(fromPreset.data, fromRecord.data);
    // Another preset gives another picture.
    EXPECT_NE(Render({"--preset", "  jalousie "}, rgb, "j.png").data, fromPreset.data);
}

TEST_F(CliVelk3d, WrongMagicResetsSaturationOnly)
{
    DeformSettings vivid = VelkstoneFirstRun();
    vivid.saturation = 90;
    Seal(vivid);
    DeformSettings wrongMagic = vivid;
    wrongMagic.magic = 0x4321;
    DeformSettings tame = vivid;
    tame.saturation = 10;
    const Pixels a = Render({"--record", Record(wrongMagic, "a.bin")}, rgb, "a.png");
    const Pixels b = Render({"--record", Record(tame, "b.bin")}, rgb, "b.png");
    const Pixels c = Render({"--record", Record(vivid, "c.bin")}, rgb, "c.png");
    EXPECT_EQ(a.data, b.data);
    EXPECT_NE(a.data, c.data);
}

TEST_F(CliVelk3d, OptionsOverrideTheRecord)
{
    DeformSettings r = VelkstoneFirstRun();
    Seal(r);
    DeformSettings boosted = r;
    boosted.valueX[6] = 70;
    boosted.antialias = 0;
    Seal(boosted);
    const Pixels a = Render({"--record", Record(r, "r.bin"), "--light-boost", "70", "--antialias",
                             "off"},
                            rgb, "a.png");
    const Pixels b = Render({"--record", Record(boosted, "b.bin")}, rgb, "b.png");
    EXPECT_EQ(a.data, b.data);
}

TEST_F(CliVelk3d, EmptySelectionLeavesOnlyTheFill)
{
    const std::string mask = folder + "/mask.png";
    WritePixels(mask, Pixels{60, 40, 1, std::vector<uint8_t>(60 * 40, 0)});

    auto expectEverywhere = [](const Pixels& p, std::vector<uint8_t> value) {
        ASSERT_EQ(size_t(p.channels), value.size());
        for (size_t i = 0; i < p.data.size(); ++i)
            ASSERT_EQ(p.data[i], value[i % value.size()]) << "byte " << i;
    };
    expectEverywhere(Render({"--mask", mask}, rgb, "default.png"), {227, 217, 203});
    expectEverywhere(Render({"--mask", mask, "--fill", "10,20,30"}, rgb, "picked.png"), {10, 20, 30});
    expectEverywhere(Render({"--mask", mask, "--fill", "background", "--background", "1,2,3"}, rgb,
                            "back.png"),
                     {1, 2, 3});
    // A layer with transparency opens with a transparent fill: alpha 0 over 224 grey.
    expectEverywhere(Render({"--mask", mask}, rgba, "alpha.png"), {224, 224, 224, 0});
}

TEST_F(CliVelk3d, TransparentSourceFallsBackToPickerOnRgb)
{
    DeformSettings picker = VelkstoneFirstRun();
    Seal(picker);
    DeformSettings transparent = picker;
    transparent.colourSource = 3;
    // The unselected left half shows the fill.
    const std::string mask = folder + "/mask.png";
    Pixels half{60, 40, 1, std::vector<uint8_t>(60 * 40, 255)};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 30; ++x)
            half.data[y * 60 + x] = 0;
    WritePixels(mask, half);
    const Pixels a = Render({"--mask", mask, "--record", Record(transparent, "t.bin")}, rgb, "t.png");
    const Pixels b = Render({"--mask", mask, "--record", Record(picker, "p.bin")}, rgb, "p.png");
    EXPECT_EQ(a.data, b.data);
    EXPECT_EQ(a.data[0], 227); // opaque picked colour, no checkerboard
}

TEST_F(CliVelk3d, GreySelectionStoredAsColourSelectsTheSamePixels)
{
    // A selection of the left third, saved once as one channel and once as
    // grey RGB: the mask is read per pixel, from its first channel.
    Pixels one{60, 40, 1, std::vector<uint8_t>(60 * 40, 255)};
    Pixels three{60, 40, 3, {}};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const uint8_t v = x < 20 ? 0 : uint8_t(x * 4);
            one.data[y * 60 + x] = v;
            three.data.insert(three.data.end(), {v, v, v});
        }
    WritePixels(folder + "/one.png", one);
    WritePixels(folder + "/three.png", three);
    const Pixels a = Render({"--mask", folder + "/one.png"}, rgb, "a.png");
    const Pixels b = Render({"--mask", folder + "/three.png"}, rgb, "b.png");
    EXPECT_EQ(a.data, b.data);
    EXPECT_NE(a.data, Render({}, rgb, "c.png").data);
}

TEST_F(CliVelk3d, SixteenBitInputRendersAsItsEightBitValues)
{
    const Pixels eight = TestPicture(60, 40, 3);
    std::vector<uint16_t> wide(eight.data.size());
    for (size_t i = 0; i < wide.size(); ++i)
        wide[i] = uint16_t(eight.data[i] * 257);
    const std::string path = folder + "/wide.png";
    auto out = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(out->open(path, OIIO::ImageSpec(60, 40, 3, OIIO::TypeDesc::UINT16)));
    ASSERT_TRUE(out->write_image(OIIO::TypeDesc::UINT16, wide.data()));
    out->close();

    const Pixels a = Render({}, path, "a.png");
    EXPECT_EQ(a.data, Render({}, rgb, "b.png").data);
    auto in = OIIO::ImageInput::open(folder + "/a.png");
    ASSERT_TRUE(in);
    EXPECT_EQ(in->spec().format, OIIO::TypeDesc::UINT8);
}

TEST_F(CliVelk3d, IccProfileAndMetadataAreCarriedOver)
{
    const std::string path = folder + "/in.tif";
    std::vector<uint8_t> profile(300);
    for (size_t i = 0; i < profile.size(); ++i)
        profile[i] = uint8_t(i * 7);
    std::memcpy(&profile[16], "RGB ", 4); // the colour space of the header: RGB
    const Pixels picture = TestPicture(60, 40, 3);
    OIIO::ImageSpec spec(60, 40, 3, OIIO::TypeDesc::UINT8);
    spec.attribute("ICCProfile", OIIO::TypeDesc(OIIO::TypeDesc::UINT8, int(profile.size())),
                   profile.data());
    spec.attribute("ImageDescription", "harbour at dawn");
    auto out = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(out->open(path, spec));
    ASSERT_TRUE(out->write_image(OIIO::TypeDesc::UINT8, picture.data.data()));
    out->close();

    Render({}, path, "out.tif");
    auto in = OIIO::ImageInput::open(folder + "/out.tif");
    ASSERT_TRUE(in);
    const OIIO::ParamValue* icc = in->spec().find_attribute("ICCProfile");
    ASSERT_NE(icc, nullptr);
    ASSERT_EQ(size_t(icc->type().size()), profile.size());
    EXPECT_EQ(std::memcmp(icc->data(), profile.data(), profile.size()), 0);
    EXPECT_EQ(in->spec().get_string_attribute("ImageDescription"), "harbour at dawn");
}

TEST_F(CliVelk3d, FormatsFollowTheExtension)
{
    const Pixels jpeg = Render({}, rgba, "out.jpg");
    EXPECT_EQ(jpeg.channels, 3); // JPEG keeps the colour channels
    EXPECT_EQ(jpeg.width, 60);
    const Pixels tiff = Render({}, rgba, "out.tif");
    EXPECT_EQ(tiff.channels, 4);
    EXPECT_EQ(tiff.data, Render({}, rgba, "out.png").data);
}

TEST_F(CliVelk3d, PresetsAndDemo)
{
    const RunResult list = RunVelk({"presets"});
    EXPECT_EQ(list.exitCode, 0);
    for (const char* name : {"Jalousie", "Herring-Bone", "Velkstone", "Front Bricks", "Roof",
                             "Embossed Wrapper", "Jabot", "Gutters", "Cellulary", "Lonely Hearts",
                             "Drapery", "e-Flowers", "SurreaFaceable", "Rabbit Factory",
                             "Cyber Birds", "Triple Leaves", "Lizard Skin", "Dragon Waves"})
        EXPECT_NE(list.out.find(name), std::string::npos) << name;

    const RunResult demo = RunVelk({"demo", "--input", rgb, "--out", folder + "/demo"});
    ASSERT_EQ(demo.exitCode, 0) << demo.err;
    EXPECT_EQ(Render({"--preset", "Front Bricks"}, rgb, "fb.png").data,
              ReadPixels(folder + "/demo/velk3d-front-bricks.png").data);
    EXPECT_TRUE(FileExists(folder + "/demo/velk2000-drapery.png"));
    const Pixels sheet = ReadPixels(folder + "/demo/contact-sheet.png");
    EXPECT_GT(sheet.width, 3 * 60);
}

} // namespace
