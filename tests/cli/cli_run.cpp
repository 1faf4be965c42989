#include "tests/cli/cli_run.h"
#include "tests/support/shell_quote.h"

#include <OpenImageIO/imageio.h>

#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(dir);
    }
    return names;
}

std::string TestFolder(const std::string& name)
{
    // Test programs run in parallel: the process id keeps their folders apart.
    const std::string folder =
        testing::TempDir() + "velk-cli-" + std::to_string(getpid()) + "-" + name;
    std::system(("rm -rf " + ShellQuote(folder) + " && mkdir -p " + ShellQuote(folder)).c_str());
    return folder;
}

RunResult RunVelk(const std::vector<std::string>& args, const std::string& shell,
                  const std::string& binary)
{
    static int runs = 0;
    const std::string folder = TestFolder("run" + std::to_string(++runs));
    std::string command = shell + ShellQuote(binary);
    for (const std::string& a : args)
        command += " " + ShellQuote(a);
    command += " >" + ShellQuote(folder + "/out") + " 2>" + ShellQuote(folder + "/err");
    const int status = std::system(command.c_str());
    RunResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadFile(folder + "/out");
    r.err = ReadFile(folder + "/err");
    return r;
}

void ExpectFailure(const std::vector<std::string>& args, const std::string& what)
{
    const RunResult r = RunVelk(args);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("velk: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(what), std::string::npos) << r.err;
}

void WritePixels(const std::string& path, const Pixels& image)
{
    auto out = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(out) << path;
    OIIO::ImageSpec spec(image.width, image.height, image.channels, OIIO::TypeDesc::UINT8);
    spec.attribute("oiio:UnassociatedAlpha", 1); // the bytes as given, not premultiplied
    ASSERT_TRUE(out->open(path, spec));
    ASSERT_TRUE(out->write_image(OIIO::TypeDesc::UINT8, image.data.data()));
    out->close();
}

Pixels ReadPixels(const std::string& path)
{
    Pixels p;
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1); // the stored bytes, not premultiplied
    auto in = OIIO::ImageInput::open(path, &config);
    if (!in)
        return p;
    p.width = in->spec().width;
    p.height = in->spec().height;
    p.channels = in->spec().nchannels;
    p.data.resize(size_t(p.width) * p.height * p.channels);
    in->read_image(0, 0, 0, p.channels, OIIO::TypeDesc::UINT8, p.data.data());
    return p;
}

Pixels TestPicture(int width, int height, int channels)
{
    Pixels p{width, height, channels, {}};
    p.data.resize(size_t(width) * height * channels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* d = &p.data[(size_t(y) * width + x) * channels];
            d[0] = uint8_t(x * 255 / (width - 1));
            d[1] = uint8_t(y * 255 / (height - 1));
            d[2] = uint8_t((x + y) * 4);
            if (channels == 4)
                d[3] = uint8_t(x < width / 2 ? 255 : 128);
        }
    return p;
}
