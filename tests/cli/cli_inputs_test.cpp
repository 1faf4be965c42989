// What velk reads: pages, channels, colour profiles, orientation, numbers
// and sizes; what it cannot represent is refused with one line.

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/cli/cli_run.h"

namespace {

// Writes pages of 8-bit pixels with the given channel names and attributes.
void WriteImageFile(const std::string& path, const std::vector<Pixels>& pages,
                    std::vector<std::string> names, std::function<void(OIIO::ImageSpec&)> tag = {})
{
    OIIO::ImageSpec spec(pages[0].width, pages[0].height, pages[0].channels, OIIO::TypeDesc::UINT8);
    if (!names.empty())
        spec.channelnames = names;
    spec.alpha_channel = -1; // no channel is alpha
    if (tag)
        tag(spec);
    std::vector<OIIO::ImageSpec> specs(pages.size(), spec);
    auto out = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(out && out->open(path, int(specs.size()), specs.data())) << path;
    for (size_t i = 0; i < pages.size(); ++i) {
        ASSERT_TRUE(i == 0 || out->open(path, spec, OIIO::ImageOutput::AppendSubimage));
        ASSERT_TRUE(out->write_image(OIIO::TypeDesc::UINT8, pages[i].data.data()));
    }
    out->close();
}

class CliInputs : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        rgb = folder + "/rgb.png";
        WritePixels(rgb, picture);
    }
    // Renders input with velk3d into name and returns the result.
    Pixels Render(std::vector<std::string> args, const std::string& input,
                  const std::string& name = "out.png", std::string* err = nullptr)
    {
        args.insert(args.begin(), {"apply", "velk3d"});
        args.insert(args.end(), {input, folder + "/" + name});
        const RunResult r = RunVelk(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        if (err)
            *err = r.err;
        return ReadPixels(folder + "/" + name);
    }
    std::string folder, rgb;
    const Pixels picture = TestPicture(60, 40, 3);
};

TEST_F(CliInputs, FilesThatCannotBeRepresentedAreRefused)
{
    ExpectFailure({"apply", "velk3d", "/dev/zero", folder + "/o.png"}, "not a regular file");
    ExpectFailure({"apply", "velk3d", rgb, folder + "/o.png", "--mask", "/dev/zero"}, "regular");
    // Nothing in the first two files says alpha.
    WriteImageFile(folder + "/two.tif", {Pixels{60, 40, 2, std::vector<uint8_t>(4800, 9)}}, {"Y", "Z"});
    ExpectFailure({"apply", "velk3d", folder + "/two.tif", folder + "/o.png"}, "channels R, G:");
    WriteImageFile(folder + "/rgbz.tif", {TestPicture(60, 40, 4)}, {"R", "G", "B", "Z"});
    ExpectFailure({"apply", "velk3d", folder + "/rgbz.tif", folder + "/o.png"}, "R, G, B, channel3");
    WriteImageFile(folder + "/cmyka.tif", {Pixels{60, 40, 5, std::vector<uint8_t>(12000, 9)}},
                   {"C", "M", "Y", "K", "A"}, [](OIIO::ImageSpec& s) { s.attribute("tiff:ColorSpace", "CMYK"); });
    ExpectFailure({"apply", "velk3d", folder + "/cmyka.tif", folder + "/o.png"}, "CMYK");
    for (const char* ext : {"null", "term", "pgm", "pbm", "sgi"})
        ExpectFailure({"apply", "velk3d", rgb, folder + "/o." + ext}, "unsupported output format");
    EXPECT_EQ(FolderEntries(folder).size(), 4u); // the inputs only
}

TEST_F(CliInputs, OnePageOfManyOnlyWhenNamedAndNeverOverTheOthers)
{
    std::vector<Pixels> pages(3, picture);
    for (size_t p = 0; p < pages.size(); ++p)
        for (uint8_t& b : pages[p].data)
            b = uint8_t(b ^ (p * 40));
    const std::string tiff = folder + "/pages.tif", gif = folder + "/frames.gif";
    WriteImageFile(tiff, pages, {});
    WriteImageFile(gif, {pages[0], pages[1]}, {});
    const std::string before = ReadFile(tiff);
    ExpectFailure({"apply", "velk3d", tiff, folder + "/o.png"}, "3 pages or frames");
    ExpectFailure({"apply", "velk2000", gif, folder + "/o.png"}, "--page N");
    ExpectFailure({"apply", "velk3d", "--page", "4", tiff, folder + "/o.png"}, "no page 4");
    ExpectFailure({"apply", "velk3d", "--page", "2", tiff, tiff}, "other 2 pages");
    EXPECT_EQ(ReadFile(tiff), before);
    WritePixels(folder + "/second.png", pages[1]);
    EXPECT_EQ(Render({"--page", "2"}, tiff, "a.png").data, Render({}, folder + "/second.png").data);
    Render({"--page", "2"}, gif, "b.png");
}

TEST_F(CliInputs, CmykIsConvertedAndItsProfileLeftOut)
{
    // CMYK without black is the inverse of RGB.
    Pixels cmyk{60, 40, 4, {}};
    for (size_t i = 0; i < picture.data.size(); i += 3) {
        for (int k = 0; k < 3; ++k)
            cmyk.data.push_back(uint8_t(255 - picture.data[i + k]));
        cmyk.data.push_back(0);
    }
    std::vector<uint8_t> icc(200, 0);
    std::memcpy(&icc[16], "CMYK", 4); // the colour space in the profile's header
    WriteImageFile(folder + "/cmyk.tif", {cmyk}, {"C", "M", "Y", "K"}, [&](OIIO::ImageSpec& s) {
        s.attribute("tiff:ColorSpace", "CMYK");
        s.attribute("ICCProfile", OIIO::TypeDesc(OIIO::TypeDesc::UINT8, 200), icc.data());
    });
    std::string err;
    EXPECT_EQ(Render({}, folder + "/cmyk.tif", "cmyk.tif", &err).data, Render({}, rgb).data);
    EXPECT_NE(err.find("warning: " + folder + "/cmyk.tif: its colour profile (CMYK)"), err.npos) << err;
    auto in = OIIO::ImageInput::open(folder + "/cmyk.tif");
    ASSERT_TRUE(in);
    EXPECT_EQ(in->spec().find_attribute("ICCProfile"), nullptr);
}

TEST_F(CliInputs, OrientationIsAppliedAndTheResultIsUpright)
{
    // Stored 40 x 60, shown turned a quarter clockwise (orientation 6): the
    // stored top row is the picture's right column.
    Pixels stored{40, 60, 3, std::vector<uint8_t>(picture.data.size())};
    for (int sy = 0; sy < 60; ++sy)
        for (int sx = 0; sx < 40; ++sx)
            std::memcpy(&stored.data[(sy * 40 + sx) * 3], &picture.data[(sx * 60 + 59 - sy) * 3], 3);
    WriteImageFile(folder + "/turned.tif", {stored}, {}, [](OIIO::ImageSpec& s) { s.attribute("Orientation", 6); });
    EXPECT_EQ(Render({}, folder + "/turned.tif").data, Render({}, rgb, "upright.png").data);
    Render({}, folder + "/turned.tif", "out.jpg");
    auto in = OIIO::ImageInput::open(folder + "/out.jpg");
    ASSERT_TRUE(in);
    EXPECT_EQ(in->spec().width, 60);
    EXPECT_EQ(in->spec().get_int_attribute("Orientation", 1), 1);
}

TEST_F(CliInputs, NumbersAreDecimalAndValuesNeverEmpty)
{
    const Pixels fifty = Render({"--saturation", "050"}, rgb, "a.png");
    EXPECT_EQ(fifty.data, Render({"--saturation", "50"}, rgb, "b.png").data);
    EXPECT_NE(fifty.data, Render({"--saturation", "40"}, rgb, "c.png").data); // not octal
    ExpectFailure({"apply", "velk3d", "--light-boost", "0x10", rgb, folder + "/o.png"}, "decimal");
    for (const char* option : {"--fill", "--foreground", "--mask", "--preset", "--brightness"})
        ExpectFailure({"apply", "velk3d", option, "", rgb, folder + "/o.png"}, option);
}

TEST_F(CliInputs, DeclaredSizeIsCheckedBeforeAllocating)
{
    // 18 bytes declaring 30000 x 30000 pixels.
    WriteFile(folder + "/huge.ppm", "P6\n30000 30000\n255\n");
    ExpectFailure({"apply", "velk3d", folder + "/huge.ppm", folder + "/o.png"}, "--max-pixels");
    // Allowed, its 2.7 GB cannot fit in 2 GB of address space (the plain
    // build: the sanitizers' allocator ends the program instead of failing).
    const RunResult r = RunVelk({"apply", "velk3d", "--max-pixels", "900000000",
                                 folder + "/huge.ppm", folder + "/o.png"},
                                "ulimit -v 2000000; ", VELK_PLAIN_BINARY);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "velk: out of memory\n");
    EXPECT_FALSE(FileExists(folder + "/o.png"));
}

} // namespace
