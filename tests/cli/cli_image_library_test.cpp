// The image library (OpenImageIO and the tool's code that calls it) is a
// module the tool opens on its first image: commands that touch no image
// never load it, and where it cannot be found an image command fails with
// one error line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/cli/cli_run.h"
#include "tests/support/shell_quote.h"

namespace {

class CliImageLibrary : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        input = folder + "/in.png";
        WritePixels(input, TestPicture(40, 30, 3));
        tiff = folder + "/in.tif";
        WritePixels(tiff, TestPicture(40, 30, 3));
    }
    std::string folder, input, tiff; // PNG files the tool reads itself; TIFF through the library
};

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// LD_DEBUG=files makes the dynamic loader list on stderr every shared object
// it loads, those the program needs and those it opens itself.
TEST_F(CliImageLibrary, LoadedOnlyByCommandsThatReadOrWriteAnImage)
{
    const std::string output = folder + "/out.png";
    const std::vector<std::pair<std::vector<std::string>, int>> imageless = {
        {{"presets"}, 0},
        {{"--help"}, 0},
        {{"--version"}, 0},
        {{"show", input}, 2}, // not a record
        {{"record", "velk2000", "--dice", "3", folder + "/r.rec"}, 0},
        {{"apply", "velk3d", "--saturation", "101", input, output}, 2},
        {{"apply", "velk2000", "--no-such-option", input, output}, 2},
        {{"apply", "velk3d", input, output}, 0}}; // PNG to PNG
    for (const char* binary : {VELK_BINARY, VELK_PLAIN_BINARY}) {
        SCOPED_TRACE(binary);
        for (const auto& [args, exitCode] : imageless) {
            const RunResult r = RunVelk(args, "LD_DEBUG=files ", binary);
            EXPECT_EQ(r.exitCode, exitCode) << args.back();
            EXPECT_TRUE(Has(r.err, "file=libc.so")) << r.err; // the loader did report
            EXPECT_FALSE(Has(r.err, "OpenImageIO")) << args.back();
            EXPECT_FALSE(Has(r.err, "velk_images")) << args.back();
        }
        EXPECT_EQ(ReadPixels(output).width, 40);
        for (const auto& [in, out] : {std::pair{tiff, output}, std::pair{input, folder + "/out.jpg"}}) {
            const RunResult r = RunVelk({"apply", "velk3d", in, out}, "LD_DEBUG=files ", binary);
            EXPECT_EQ(r.exitCode, 0) << r.err;
            EXPECT_TRUE(Has(r.err, "velk_images")) << r.err;
            EXPECT_TRUE(Has(r.err, "libOpenImageIO")) << r.err;
            EXPECT_EQ(ReadPixels(out).width, 40);
        }
        std::remove(output.c_str());
    }
}

// The module is looked for beside the program, then in ../lib/velk (an
// installed bin/velk).
TEST_F(CliImageLibrary, FoundBesideTheProgramOrInLibVelk)
{
    const std::string module = VELK_IMAGE_MODULE_PATH;
    const std::string moduleName = module.substr(module.rfind('/') + 1);
    const std::string velk = folder + "/bin/velk";
    ASSERT_EQ(std::system(("mkdir -p " + ShellQuote(folder + "/bin") + " && cp " +
                           ShellQuote(VELK_BINARY) + " " + ShellQuote(velk))
                              .c_str()),
              0);

    // The program alone: only PNG files are read and written, every other
    // command works.
    const RunResult presets = RunVelk({"presets"}, "", velk);
    EXPECT_EQ(presets.exitCode, 0) << presets.err;
    EXPECT_TRUE(Has(presets.out, "Velkstone"));
    for (const char* filter : {"velk3d", "velk2000"}) {
        const RunResult png = RunVelk({"apply", filter, input, folder + "/out.png"}, "", velk);
        EXPECT_EQ(png.exitCode, 0) << png.err;
        std::remove((folder + "/out.png").c_str());
        const RunResult r = RunVelk({"apply", filter, tiff, folder + "/out.png"}, "", velk);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(Has(r.err, "velk: cannot load the image library " + moduleName + ": ")) << r.err;
        EXPECT_FALSE(FileExists(folder + "/out.png"));
    }

    // Installed: the same render as the build's.
    ASSERT_EQ(std::system(("mkdir -p " + ShellQuote(folder + "/lib/velk") + " && ln -s " +
                           ShellQuote(module) + " " + ShellQuote(folder + "/lib/velk/" + moduleName))
                              .c_str()),
              0);
    const RunResult installed = RunVelk({"apply", "velk3d", tiff, folder + "/a.png"}, "", velk);
    EXPECT_EQ(installed.exitCode, 0) << installed.err;
    const RunResult built = RunVelk({"apply", "velk3d", tiff, folder + "/b.png"});
    EXPECT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(ReadFile(folder + "/a.png"), ReadFile(folder + "/b.png"));
    EXPECT_EQ(ReadPixels(folder + "/a.png").width, 40);
}

} // namespace
