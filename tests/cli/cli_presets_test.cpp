// User presets of the command line: text and registry files carry them in
// and out, in the forms Windows writes, and --preset chooses them as the
// plug-ins' preset boxes do.

#include <gtest/gtest.h>

#include "tests/cli/cli_run.h"
#include "tests/support/shell_quote.h"

namespace {

// Text as UTF-16LE with a byte-order mark, as regedit writes.
std::string Utf16(const std::string& ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string Hex(const std::string& bytes)
{
    std::string text;
    char b[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(b, sizeof b, "%02x", static_cast<uint8_t>(bytes[i]));
        text += (i ? "," : "") + std::string(b) + (i % 20 == 19 ? "\\\r\n  " : "");
    }
    return text;
}

class CliPresets : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        rgb = folder + "/rgb.png";
        WritePixels(rgb, TestPicture(50, 40, 3));
    }

    RunResult Velk(const std::vector<std::string>& args, const std::string& store = "store.reg")
    {
        return RunVelk(args, "export VELK_PRESETS=" + ShellQuote(folder + "/" + store) + ";");
    }

    std::string Record(const std::vector<std::string>& args)
    {
        std::vector<std::string> all = {"record"};
        all.insert(all.end(), args.begin(), args.end());
        all.push_back(folder + "/r.rec");
        const RunResult r = Velk(all);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadFile(folder + "/r.rec");
    }

    Pixels Apply(const std::string& filter, const std::vector<std::string>& options)
    {
        std::vector<std::string> args = {"apply", filter};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), {rgb, folder + "/out.png"});
        const RunResult r = Velk(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadPixels(folder + "/out.png");
    }

    std::string folder, rgb;
};

TEST_F(CliPresets, TextAndRegistryFilesCarryPresetsBothWays)
{
    WriteFile(folder + "/mine.txt",
              "# kept under version control\n"
              "\n"
              "Warm Tiles = velk3d --tile-width 20 --fill 200,100,50 --light-boosting 60\n"
              "Folded = velk2000 --preset \"Lonely Hearts\" --stage1-spacing 20,30\n");
    RunResult r = Velk({"presets", "import", folder + "/mine.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = Velk({"presets"});
    EXPECT_NE(r.out.find("  >Warm Tiles\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  >Folded\n"), std::string::npos) << r.out;

    // Chosen by name, a preset renders as its options do.
    EXPECT_EQ(Apply("velk3d", {"--preset", "Warm Tiles"}).data,
              Apply("velk3d", {"--tile-width", "20", "--fill", "200,100,50", "--light-boosting", "60"}).data);
    EXPECT_EQ(Apply("velk2000", {"--preset", ">Folded"}).data,
              Apply("velk2000", {"--preset", "Lonely Hearts", "--stage1-spacing", "20,30"}).data);

    // Registry file out, in elsewhere, text out, in again, registry out: the
    // same file.
    ASSERT_EQ(Velk({"presets", "export", folder + "/one.reg"}).exitCode, 0);
    const std::string one = ReadFile(folder + "/one.reg");
    EXPECT_EQ(one.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(one.find(Utf16("[HKEY_CURRENT_USER\\Software\\Velk 3D\\User Defined]").substr(2)), std::string::npos);
    ASSERT_EQ(Velk({"presets", "import", folder + "/one.reg"}, "second.reg").exitCode, 0);
    ASSERT_EQ(Velk({"presets", "export", folder + "/two.txt"}, "second.reg").exitCode, 0);
    ASSERT_EQ(Velk({"presets", "import", folder + "/two.txt"}, "third.reg").exitCode, 0);
    ASSERT_EQ(Velk({"presets", "export", folder + "/three.reg"}, "third.reg").exitCode, 0);
    EXPECT_EQ(ReadFile(folder + "/three.reg"), one);
}

TEST_F(CliPresets, RegistryFilesAsWindowsWritesThem)
{
    const std::string flowers = Record({"velk2000"});
    const std::string tiles = Record({"velk3d", "--tile-width", "44"});
    // A 32-bit module's keys seen by 64-bit regedit, with a value that is not
    // a record and one of another type; then the same as REGEDIT4 text.
    const std::string regedit =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Orchwell\\Velk2000]\r\n"
        "\"Flowers \\\"too\\\"\"=hex:" + Hex(flowers) + "\r\n"
        "\"Short\"=hex:01,02,03\r\n"
        "\"Note\"=\"not a preset\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
        "\"Elsewhere\"=hex:" + Hex(flowers) + "\r\n";
    WriteFile(folder + "/wow.reg", Utf16(regedit));
    WriteFile(folder + "/old.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Velk 3D\\User Defined]\n"
                                   "\"Last Used\"=hex(3):" + Hex(tiles) + "\n");
    RunResult r = Velk({"presets", "import", folder + "/wow.reg"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("\"Short\" is 3 bytes"), std::string::npos) << r.err;
    ASSERT_EQ(Velk({"presets", "import", folder + "/old.reg"}).exitCode, 0);
    r = Velk({"presets"});
    EXPECT_NE(r.out.find("  >Flowers \"too\"\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  >Last Used\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Elsewhere"), std::string::npos) << r.out;
    EXPECT_EQ(Record({"velk2000", "--preset", "Flowers \"too\""}), flowers);

    // A damaged file is refused with its line, and the presets stay.
    const std::string before = ReadFile(folder + "/store.reg");
    WriteFile(folder + "/bad.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Orchwell\\Velk2000]\n\"X\"=hex:0g\n");
    r = Velk({"presets", "import", folder + "/bad.reg"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
    WriteFile(folder + "/bad.txt", "Fine = velk3d --tile-width 20\nWrong = velk3d --tile-width 999\n");
    r = Velk({"presets", "import", folder + "/bad.txt"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(folder + "/store.reg"), before);
}

} // namespace
