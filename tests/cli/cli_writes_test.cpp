// Writes: an output is replaced only by a complete file, keeps its mode and
// links, and no failure leaves a temporary file behind.

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/cli/cli_run.h"
#include "tests/support/shell_quote.h"

namespace {

// Noise compresses badly: the encoded picture is about as large as its pixels.
Pixels Noise(int width, int height)
{
    Pixels p{width, height, 3, std::vector<uint8_t>(size_t(width) * height * 3)};
    uint32_t state = 12345;
    for (uint8_t& b : p.data)
        b = uint8_t((state = state * 1103515245u + 12345u) >> 24);
    return p;
}

class CliWrites : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        input = folder + "/noise.png";
        WritePixels(input, Noise(300, 300));
    }
    std::string folder, input;
};

TEST_F(CliWrites, FullDiskKeepsTheExistingOutput)
{
    const std::string disk = folder + "/disk";
    mkdir(disk.c_str(), 0755);
    const std::string mount = "mount -t tmpfs -o size=64k velk-test " + ShellQuote(disk);
    if (std::system((mount + " 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "cannot mount a 64 KiB tmpfs here (mounting needs root)";
    struct Unmount {
        std::string command;
        ~Unmount() { std::system(command.c_str()); }
    } unmount{"umount " + ShellQuote(disk)};

    for (std::string ext : {"png", "bmp", "tga", "gif", "jpg", "tif"}) {
        const std::string out = disk + "/out." + ext;
        WriteFile(out, "precious");
        ExpectFailure({"apply", "velk3d", input, out}, "No space left on device");
        EXPECT_EQ(ReadFile(out), "precious") << ext;
        EXPECT_EQ(FolderEntries(disk), std::vector<std::string>{"out." + ext});
        std::remove(out.c_str());
    }
}

TEST_F(CliWrites, OutputsKeepTheirModeAndLinksAndReadOnlyOnesAreKept)
{
    const std::string out = folder + "/out.png", link = folder + "/link.png";
    WriteFile(out, "old");
    chmod(out.c_str(), 0640);
    ASSERT_EQ(RunVelk({"apply", "velk3d", input, out}).exitCode, 0);
    struct stat st;
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    const std::string rendered = ReadFile(out);
    chmod(out.c_str(), 0444);
    ExpectFailure({"apply", "velk3d", input, out}, "read-only");
    EXPECT_EQ(ReadFile(out), rendered);

    // A link is written through and stays a link.
    chmod(out.c_str(), 0644);
    WriteFile(out, "old");
    ASSERT_EQ(symlink("out.png", link.c_str()), 0);
    ASSERT_EQ(RunVelk({"apply", "velk3d", input, link}).exitCode, 0);
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(out), rendered);

    const std::string longName = folder + "/" + std::string(251, 'n') + ".png";
    EXPECT_EQ(RunVelk({"apply", "velk3d", input, longName}).exitCode, 0);
    EXPECT_EQ(ReadFile(longName), rendered);
    ASSERT_EQ(mkfifo((folder + "/fifo.png").c_str(), 0644), 0);
    ExpectFailure({"apply", "velk3d", input, folder + "/fifo.png"}, "not a regular file");
    EXPECT_EQ(FolderEntries(folder).size(), 5u); // no temporary file among them
}

} // namespace
