// User presets that travel: written as text, imported by the command line,
// exported as a registry file, imported into the registry by Windows' own
// reg.exe, then listed and applied by both modules in the stand-in host with
// the same bytes as the command line gives for the same presets; and the
// registry exported by reg.exe read back by the command line unchanged.

#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/shell_quote.h"
#include "tests/windows/modules/module_run.h"

namespace {

// Runs a Windows command line and waits for it; its exit code.
DWORD RunWindows(std::string line)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

std::string ReadText(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes;
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

class PresetFiles : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder();
        DeleteUserPresets3d();
        DeleteUserPresets2000();
    }
    void TearDown() override
    {
        DeleteUserPresets3d();
        DeleteUserPresets2000();
    }

    // The command line with its own presets file in the test's folder.
    unsigned long Velk(const std::vector<std::string>& args, const std::string& store)
    {
        std::string printed;
        const unsigned long code =
            RunNativeVelk(args, printed, "VELK_PRESETS=" + ShellQuote(UnixPath(folder + store)) + " ");
        EXPECT_EQ(code, 0u) << printed;
        return code;
    }

    HostRun Host(const std::string& module, const std::string& script)
    {
        return RunScripted("run " + Quote(module) + " --in " + Quote(coffee) + " --out " +
                               Quote(folder + "host.png") + " --fore 200,30,40 --back 30,60,90",
                           folder, "dialog samples\n" + script);
    }

    std::string folder;
    std::string coffee = SourceFile("samples\\coffee.png");
};

TEST_F(PresetFiles, ARegistryFileOfTheCommandLineIsWhatTheModulesLoad)
{
    const std::string text = "# presets kept as text\n"
                             "Warm Tiles = velk3d --tile-width 20 --g-shading 10,40 --fill 200,100,50\n"
                             "Folded = velk2000 --preset \"Lonely Hearts\" --stage1-spacing 20,30\n";
    WriteBytes(folder + "presets.txt", std::vector<uint8_t>(text.begin(), text.end()));
    ASSERT_EQ(Velk({"presets", "import", UnixPath(folder + "presets.txt")}, "store.reg"), 0u);
    ASSERT_EQ(Velk({"presets", "export", UnixPath(folder + "presets.reg")}, "store.reg"), 0u);
    ASSERT_EQ(RunWindows("reg.exe import \"" + folder + "presets.reg\""), 0u);
    ASSERT_EQ(ReadUserPreset2000("Folded").size(), 64u);

    const std::string env = "VELK_PRESETS=" + ShellQuote(UnixPath(folder + "store.reg")) + " ";
    HostRun run = Host(Velk3dModule(), "select 1014 \">Warm Tiles\"\nclick @1004/tr:144,5\n");
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"),
                             CliPicture("velk3d", {"--preset", "Warm Tiles"}, coffee, folder + "cli.png", env)),
              0u);
    run = Host(Velk2000Module(), "select 1014 \">Folded\"\nclick @1014:90,34\n");
    ASSERT_EQ(run.exitCode, 0u) << run.summary;
    EXPECT_EQ(DifferingBytes(LoadPixels(folder + "host.png"),
                             CliPicture("velk2000", {"--preset", "Folded"}, coffee, folder + "cli.png", env)),
              0u);

    // reg.exe's own export (UTF-16, the machine's and the user's keys) reads
    // back into the same presets, "Last Used" of the Apply above included.
    ASSERT_EQ(RunWindows("reg.exe export \"HKCU\\Software\\Orchwell\\Velk2000\" \"" + folder +
                         "wine2000.reg\" /y"),
              0u);
    ASSERT_EQ(RunWindows("reg.exe export \"HKLM\\Software\\Velk 3D\\User Defined\" \"" + folder +
                         "wine3d.reg\" /y"),
              0u);
    ASSERT_EQ(Velk({"presets", "import", UnixPath(folder + "wine2000.reg")}, "back.reg"), 0u);
    ASSERT_EQ(Velk({"presets", "import", UnixPath(folder + "wine3d.reg")}, "back.reg"), 0u);
    ASSERT_EQ(Velk({"presets", "export", UnixPath(folder + "back.txt")}, "back.reg"), 0u);
    const std::string back = ReadText(folder + "back.txt");
    EXPECT_NE(back.find("Folded = velk2000 --stage1-spacing 20,30 "), std::string::npos) << back;
    EXPECT_NE(back.find("Last Used = velk3d --tile-width 20 "), std::string::npos) << back;
}

} // namespace
