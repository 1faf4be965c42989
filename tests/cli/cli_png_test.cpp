// PNG outputs, written by the tool itself on every core: the same pixels at
// every level and thread count, read alike by libpng (through OpenImageIO),
// ImageMagick and G'MIC, and the input's metadata carried.
#include <gtest/gtest.h>

#include <OpenImageIO/imageio.h>

#include <cstdlib>
#include <cstring>

#include "tests/cli/cli_run.h"
#include "tests/support/shell_quote.h"

namespace {

class CliPng : public testing::Test {
protected:
    void SetUp() override { folder = TestFolder(testing::UnitTest::GetInstance()->current_test_info()->name()); }

    // Renders input into name with the extra arguments; the output's pixels.
    Pixels Render(const std::string& input, const std::string& name, std::vector<std::string> extra = {})
    {
        std::vector<std::string> args = {"apply", "velk3d"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(input);
        args.push_back(folder + "/" + name);
        const RunResult r = RunVelk(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadPixels(folder + "/" + name);
    }

    // What another program decodes: its raw interleaved bytes, or empty when
    // the program is not installed (or failed).
    std::string Decoded(const std::string& command, const std::string& raw)
    {
        if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
            return "";
        return ReadFile(raw);
    }

    std::string folder;
};

TEST_F(CliPng, EveryLevelAndThreadCountGivesTheSamePixelsThatOtherReadersSee)
{
    // Both images are a few bands high: the joins between bands are read.
    for (int channels : {3, 4}) {
        SCOPED_TRACE(std::to_string(channels) + " channels");
        const std::string input = folder + "/in" + std::to_string(channels) + ".tif";
        WritePixels(input, TestPicture(1200, 900, channels));
        const Pixels reference = Render(input, "reference.tif");
        ASSERT_EQ(reference.channels, channels);
        size_t previousSize = SIZE_MAX;
        for (const char* level : {"0", "4", "9"}) {
            for (const char* threads : {"1", "3"}) {
                const std::string name = std::string("out-") + level + "-" + threads + ".png";
                EXPECT_TRUE(Render(input, name, {"--compression", level, "--threads", threads}).data ==
                            reference.data)
                    << name;
            }
            // Higher levels make smaller files.
            const size_t size = ReadFile(folder + "/out-" + level + "-1.png").size();
            EXPECT_LT(size, previousSize) << level;
            previousSize = size;
        }
        const std::string png = folder + "/out-4-3.png", raw = folder + "/decoded.raw";
        const std::string kind = channels == 4 ? "rgba" : "rgb";
        const std::string magick =
            Decoded("convert-im6.q16 " + ShellQuote(png) + " -depth 8 " + kind + ":" + ShellQuote(raw), raw);
        if (magick.empty())
            std::fprintf(stderr, "ImageMagick (convert-im6.q16) is not installed: not compared\n");
        else
            EXPECT_TRUE(magick == std::string(reference.data.begin(), reference.data.end())) << "ImageMagick";
        const std::string gmic =
            Decoded("gmic " + ShellQuote(png) + " -permute cxyz -o " + ShellQuote(raw + ",uchar"), raw);
        if (gmic.empty())
            std::fprintf(stderr, "G'MIC (gmic) is not installed: not compared\n");
        else
            EXPECT_TRUE(gmic == std::string(reference.data.begin(), reference.data.end())) << "G'MIC";
    }
}

TEST_F(CliPng, ProfileAndTextOfTheInputAreCarried)
{
    // A profile whose header and (empty) tag table libpng accepts.
    std::vector<uint8_t> profile(300);
    for (size_t i = 132; i < profile.size(); ++i)
        profile[i] = uint8_t(i * 7);
    profile[2] = 300 >> 8;
    profile[3] = 300 & 255;
    std::memcpy(&profile[12], "mntrRGB XYZ ", 12);
    std::memcpy(&profile[36], "acsp", 4);
    const uint8_t d50[12] = {0, 0, 0xF6, 0xD6, 0, 1, 0, 0, 0, 0, 0xD3, 0x2D}; // the PCS illuminant
    std::memcpy(&profile[68], d50, sizeof d50);
    const std::string input = folder + "/in.tif";
    const Pixels picture = TestPicture(80, 60, 3);
    OIIO::ImageSpec spec(80, 60, 3, OIIO::TypeDesc::UINT8);
    spec.attribute("ICCProfile", OIIO::TypeDesc(OIIO::TypeDesc::UINT8, int(profile.size())), profile.data());
    spec.attribute("ImageDescription", "harbour at dawn");
    auto out = OIIO::ImageOutput::create(input);
    ASSERT_TRUE(out->open(input, spec));
    ASSERT_TRUE(out->write_image(OIIO::TypeDesc::UINT8, picture.data.data()));
    out->close();

    // From TIFF to PNG, then from that PNG to another.
    Render(input, "first.png");
    Render(folder + "/first.png", "second.png");
    for (const char* name : {"first.png", "second.png"}) {
        auto in = OIIO::ImageInput::open(folder + "/" + name);
        ASSERT_TRUE(in) << name;
        const OIIO::ParamValue* icc = in->spec().find_attribute("ICCProfile");
        ASSERT_NE(icc, nullptr) << name;
        ASSERT_EQ(size_t(icc->type().size()), profile.size());
        EXPECT_EQ(std::memcmp(icc->data(), profile.data(), profile.size()), 0) << name;
        EXPECT_EQ(in->spec().get_string_attribute("ImageDescription"), "harbour at dawn") << name;
    }
}

} // namespace
