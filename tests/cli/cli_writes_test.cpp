// Writes: an output is replaced only by a complete file, keeps its mode and
// links, and no failure or signal leaves a temporary file behind.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

TEST_F(CliWrites, SignalDuringTheWriteLeavesNoTemporaryFile)
{
    // An uncompressed 18 MB picture takes a while to reach the disk.
    WritePixels(input, Noise(3000, 2000));
    const std::string outFolder = folder + "/out", out = outFolder + "/big.bmp";
    mkdir(outFolder.c_str(), 0755);
    const int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, outFolder.c_str(), IN_CREATE), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        execl(VELK_BINARY, "velk", "apply", "velk2000", input.c_str(), out.c_str(), nullptr);
        _exit(127);
    }
    pollfd created{watch, POLLIN, 0};
    EXPECT_EQ(poll(&created, 1, 120000), 1) << "no temporary file appeared";
    kill(pid, SIGTERM); // the temporary file exists: the write is on its way
    int status = 0;
    waitpid(pid, &status, 0);
    close(watch);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_EQ(FolderEntries(outFolder), std::vector<std::string>{});
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
