// Bad input: one error line, exit code 2, and nothing written or lost.

#include <gtest/gtest.h>

#include "tests/cli/cli_run.h"

namespace {

class CliErrors : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        input = folder + "/in.png";
        output = folder + "/out.png";
        WritePixels(input, TestPicture(40, 30, 3));
    }
    std::string folder, input, output;
};

TEST_F(CliErrors, MissingAndUnreadableInput)
{
    ExpectFailure({"apply", "velk3d", folder + "/none.png", output}, "no such file");
    WriteFile(folder + "/text.png", "this is not a picture");
    ExpectFailure({"apply", "velk3d", folder + "/text.png", output}, "text.png");
    EXPECT_FALSE(FileExists(output));
}

TEST_F(CliErrors, UnsupportedOutputFormatIsRefusedBeforeRendering)
{
    ExpectFailure({"apply", "velk3d", input, folder + "/out.nosuchformat"}, "unsupported");
    EXPECT_EQ(FolderEntries(folder).size(), 1u); // only the input
}

TEST_F(CliErrors, BadOptionValues)
{
    ExpectFailure({"apply", "velk3d", "--light-boost", "101", input, output}, "light-boost");
    ExpectFailure({"apply", "velk3d", "--saturation", "-1", input, output}, "saturation");
    ExpectFailure({"apply", "velk3d", "--brightness", "x", input, output}, "brightness");
    ExpectFailure({"apply", "velk3d", "--antialias", "maybe", input, output}, "antialias");
    ExpectFailure({"apply", "velk3d", "--fill", "1,2", input, output}, "--fill");
    ExpectFailure({"apply", "velk3d", "--foreground", "300,0,0", input, output}, "--foreground");
    ExpectFailure({"apply", "velk3d", "--background", "1,2,3,4", input, output}, "--background");
    ExpectFailure({"apply", "velk3d", "--preset", "No Such Preset", input, output}, "No Such Preset");
    ExpectFailure({"apply", "velk3d", "--preset", "Roof", "--record", input, input, output},
                  "excludes");
    ExpectFailure({"apply", "velk3d", input}, "OUTPUT");
    EXPECT_FALSE(FileExists(output));
}

TEST_F(CliErrors, TransparentFillNeedsAlpha)
{
    ExpectFailure({"apply", "velk3d", "--fill", "transparent", input, output}, "alpha");
}

TEST_F(CliErrors, MaskOfAnotherSize)
{
    WritePixels(folder + "/mask.png", Pixels{41, 30, 1, std::vector<uint8_t>(41 * 30, 255)});
    ExpectFailure({"apply", "velk3d", "--mask", folder + "/mask.png", input, output}, "41 x 30");
}

TEST_F(CliErrors, BadRecordFiles)
{
    WriteFile(folder + "/short.bin", std::string(63, '\0'));
    ExpectFailure({"apply", "velk3d", "--record", folder + "/short.bin", input, output}, "64-byte");
    WriteFile(folder + "/long.bin", std::string(65, '\0'));
    ExpectFailure({"apply", "velk3d", "--record", folder + "/long.bin", input, output}, "64-byte");
    std::string record(64, '\0');
    record[0] = 10; // valueX[0] = 10 while the stored checksum says 0
    WriteFile(folder + "/bad.bin", record);
    ExpectFailure({"apply", "velk3d", "--record", folder + "/bad.bin", input, output}, "checksum");
    ExpectFailure({"apply", "velk3d", "--record", folder + "/none.bin", input, output}, "none.bin");
}

TEST_F(CliErrors, FailedRunKeepsAnExistingOutput)
{
    WriteFile(output, "precious");
    WritePixels(folder + "/mask.png", Pixels{10, 10, 1, std::vector<uint8_t>(100, 255)});
    ExpectFailure({"apply", "velk3d", "--mask", folder + "/mask.png", input, output}, "mask");
    EXPECT_EQ(ReadFile(output), "precious");
}

TEST_F(CliErrors, UnwritableOutputLeavesNoTemporaryFile)
{
    ExpectFailure({"apply", "velk3d", input, folder + "/missing/out.png"}, "out.png");
    EXPECT_EQ(FolderEntries(folder).size(), 1u);
}

} // namespace
