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
        // At the highest quality a JPEG of noise needs more room than the disk has.
        ExpectFailure({"apply", "velk3d", "--quality", "100", input, out}, "No space left on device");
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

TEST_F(CliWrites, ABatchWritesEveryGoodImageAndListsTheOthers)
{
    const std::string in = folder + "/in", out = folder + "/out";
    mkdir(in.c_str(), 0755);
    mkdir(out.c_str(), 0755);
    WritePixels(in + "/wide.png", TestPicture(90, 40, 3));
    WritePixels(in + "/alpha.png", TestPicture(40, 70, 4));
    WritePixels(in + "/small.tif", TestPicture(20, 20, 3));
    WriteFile(in + "/broken.png", "not a picture");
    WriteFile(out + "/broken.png", "precious"); // the bad input's output stays as it was
    const std::vector<std::string> inputs = {in + "/wide.png", in + "/broken.png", in + "/missing.png",
                                             in + "/alpha.png", in + "/small.tif"};
    for (const char* jobs : {"1", "3"}) {
        std::vector<std::string> args = {"apply", "velk3d", "--jobs", jobs, "--out-dir", out,
                                         "--format", "png", "--tile-width", "20"};
        args.insert(args.end(), inputs.begin(), inputs.end());
        const RunResult r = RunVelk(args);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_NE(r.err.find("3 of 5 images written"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("broken.png: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("missing.png: "), std::string::npos) << r.err;
        EXPECT_EQ(ReadFile(out + "/broken.png"), "precious");
        // Each output is what the image alone gives; nothing else is left.
        for (const char* name : {"wide", "alpha", "small"}) {
            const std::string source = in + "/" + name + (name[0] == 's' ? ".tif" : ".png");
            const RunResult alone = RunVelk({"apply", "velk3d", "--tile-width", "20", source,
                                             folder + "/alone.png"});
            ASSERT_EQ(alone.exitCode, 0) << alone.err;
            EXPECT_EQ(ReadPixels(out + "/" + name + ".png").data, ReadPixels(folder + "/alone.png").data)
                << name << " with --jobs " << jobs;
        }
        EXPECT_EQ(FolderEntries(out).size(), 4u);
    }

    // Two inputs of one name would write one file: refused before anything.
    ExpectFailure({"apply", "velk2000", "--out-dir", out, in + "/wide.png", folder + "/noise.png",
                   in + "/../in/wide.png"},
                  "would both be written");
    ExpectFailure({"apply", "velk2000", in + "/wide.png", in + "/alpha.png", folder + "/x.png"},
                  "--out-dir");
}

TEST_F(CliWrites, LossyOutputsTakeTheirQuality)
{
    for (const char* ext : {"jpg", "webp"}) {
        const auto size = [&](std::vector<std::string> quality) {
            const std::string out = folder + "/q." + ext;
            std::vector<std::string> args = {"apply", "velk2000", input, out};
            args.insert(args.end(), quality.begin(), quality.end());
            const RunResult r = RunVelk(args);
            EXPECT_EQ(r.exitCode, 0) << r.err;
            return ReadFile(out).size();
        };
        const size_t low = size({"--quality", "30"}), usual = size({}), high = size({"--quality", "98"});
        EXPECT_LT(low, usual) << ext;
        EXPECT_LT(usual, high) << ext;
        EXPECT_EQ(usual, size({"--quality", "90"})) << ext;
    }
    ExpectFailure({"apply", "velk2000", "--quality", "0", input, folder + "/q.jpg"}, "1..100");
}

} // namespace
