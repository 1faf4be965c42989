#include "tests/windows/modules/module_run.h"

#include "tests/support/shell_quote.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

const char kKey[] = "Software\\Velk 3D\\User Defined";

std::string Required(const char* path)
{
    const std::string p = WinPath(path);
    EXPECT_NE(GetFileAttributesA(p.c_str()), INVALID_FILE_ATTRIBUTES)
        << path << " is missing: build every preset first (make test does)";
    return p;
}

} // namespace

std::string Velk3dModule() { return Required(VELK3D_MODULE); }
std::string Velk2000Module() { return Required(VELK2000_MODULE); }
std::string Velk3dOtherModule() { return Required(VELK3D_OTHER_MODULE); }
std::string Velk2000OtherModule() { return Required(VELK2000_OTHER_MODULE); }

std::string SourceFile(const std::string& relative)
{
    return WinPath(SOURCE_DIR) + "\\" + relative;
}

std::string UnixPath(const std::string& windowsPath)
{
    std::string p = windowsPath.compare(0, 2, "Z:") == 0 ? windowsPath.substr(2) : windowsPath;
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

void SetLastUsed(const std::vector<uint8_t>& bytes)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Last Used", 0, REG_BINARY, bytes.data(), DWORD(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void DeleteLastUsed()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, "Last Used");
    RegCloseKey(key);
    // A value left under the user's key would be read as well.
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Last Used");
        RegCloseKey(key);
    }
}

std::vector<uint8_t> MakeRecord(const RecordValues& v)
{
    std::vector<uint8_t> r(64, 0);
    int32_t sum = 0;
    for (int i = 0; i < 8; ++i) {
        std::memcpy(&r[2 * i], &v.valueX[i], 2);
        std::memcpy(&r[16 + 2 * i], &v.valueY[i], 2);
        sum += v.valueX[i] + v.valueY[i];
    }
    r[32] = v.styleBits;
    r[33] = v.antialias;
    r[34] = v.colourSource;
    std::memcpy(&r[36], &sum, 4);
    r[40] = v.colour[0];
    r[41] = v.colour[1];
    r[42] = v.colour[2];
    r[43] = 255;
    r[44] = v.saveFlags;
    r[45] = v.saturation;
    r[62] = 0x34;
    r[63] = 0x12;
    return r;
}

unsigned long RunNativeVelk(const std::vector<std::string>& args, std::string& output,
                            const std::string& environment)
{
    // Wine starts a Linux program without a process handle to wait on, so a
    // shell script runs the tool and writes its exit status to a file last;
    // the test waits for that file.
    static int runs = 0;
    CreateDirectoryA(WinPath(WORK_DIR).c_str(), nullptr);
    // Process ids are per Wine prefix: runs at other scalings, each in a
    // prefix of its own, keep to names of their own.
    const std::string base = WinPath(WORK_DIR) + "\\native-" + std::to_string(TestScale().dpi) + "-" +
                             std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs);
    DeleteFileA((base + ".status").c_str()); // left by an earlier process of the same id
    DeleteFileA((base + ".log").c_str());
    std::string command = environment + ShellQuote(NATIVE_VELK);
    for (const std::string& a : args)
        command += " " + ShellQuote(a);
    const std::string status = UnixPath(base + ".status");
    const std::string script = "#!/bin/sh\n" + command + " >" + ShellQuote(UnixPath(base + ".log")) +
                               " 2>&1\necho $? >" + ShellQuote(status + ".tmp") + "\nmv " +
                               ShellQuote(status + ".tmp") + " " + ShellQuote(status) + "\n";
    WriteBytes(base + ".sh", std::vector<uint8_t>(script.begin(), script.end()));

    std::string line = "Z:\\bin\\sh " + UnixPath(base + ".sh");
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        output = "cannot start /bin/sh";
        return 0xFFFFFFFF;
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    for (int waited = 0; waited < 1200; ++waited) { // two minutes
        const std::vector<uint8_t> code = ReadBytes(base + ".status");
        if (!code.empty()) {
            const std::vector<uint8_t> log = ReadBytes(base + ".log");
            output.assign(log.begin(), log.end());
            return std::stoul(std::string(code.begin(), code.end()));
        }
        Sleep(100);
    }
    output = "velk did not finish within two minutes";
    return 0xFFFFFFFF;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

HostRun RunScripted(const std::string& args, const std::string& folder, const std::string& script)
{
    const std::string path = folder + "ui.txt";
    WriteBytes(path, std::vector<uint8_t>(script.begin(), script.end()));
    return RunHost(args + " --ui " + Quote(path));
}

std::vector<uint8_t> ReadLastUsed()
{
    std::vector<uint8_t> bytes(512);
    DWORD size = DWORD(bytes.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kKey, "Last Used", RRF_RT_ANY, nullptr, bytes.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    bytes.resize(size);
    return bytes;
}

void SetUserPreset3d(const std::string& name, const std::vector<uint8_t>& bytes)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, REG_BINARY, bytes.data(), DWORD(bytes.size()));
    RegCloseKey(key);
}

void DeleteUserPresets3d()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
}

size_t DifferingBytes(const Pixels& a, const Pixels& b)
{
    if (a.width != b.width || a.height != b.height || a.channels != b.channels)
        return std::max(a.bytes.size(), b.bytes.size()) + 1;
    size_t n = 0;
    for (size_t i = 0; i < a.bytes.size(); ++i)
        n += a.bytes[i] != b.bytes[i];
    return n;
}

Pixels Crop(const Pixels& p, int x, int y, int width, int height)
{
    // The middle device pixel of each layout pixel.
    const Scale s = TestScale();
    const auto at = [s](int v) { return (ToDevice(s, v) + ToDevice(s, v + 1) - 1) / 2; };
    Pixels out{width, height, 3, {}};
    if (x < 0 || y < 0 || at(x + width - 1) >= p.width || at(y + height - 1) >= p.height ||
        p.channels < 3)
        return Pixels{};
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            const uint8_t* q = p.At(at(x + i), at(y + j));
            out.bytes.insert(out.bytes.end(), {q[0], q[1], q[2]});
        }
    return out;
}

namespace {
const char kKey2000[] = "Software\\Orchwell\\Velk2000";
}

void SetUserPreset2000(const std::string& name, const std::vector<uint8_t>& bytes)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey2000, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, REG_BINARY, bytes.data(), DWORD(bytes.size()));
    RegCloseKey(key);
}

std::vector<uint8_t> ReadUserPreset2000(const std::string& name)
{
    std::vector<uint8_t> bytes(512);
    DWORD size = DWORD(bytes.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kKey2000, name.c_str(), RRF_RT_ANY, nullptr, bytes.data(),
                     &size) != ERROR_SUCCESS &&
        RegGetValueA(HKEY_CURRENT_USER, kKey2000, name.c_str(), RRF_RT_ANY, nullptr, bytes.data(),
                     &size) != ERROR_SUCCESS)
        return {};
    bytes.resize(size);
    return bytes;
}

void DeleteUserPresets2000()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey2000);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey2000);
}


Pixels CliPicture(const std::string& filter, const std::vector<std::string>& options,
                  const std::string& input, const std::string& output, const std::string& environment)
{
    std::vector<std::string> args = {"apply", filter, "--foreground", "200,30,40", "--background", "30,60,90"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {UnixPath(input), UnixPath(output)});
    std::string printed;
    EXPECT_EQ(RunNativeVelk(args, printed, environment), 0u) << printed;
    return LoadPixels(output);
}

Scale TestScale()
{
    const char* dpi = std::getenv("VELK_DPI");
    const int value = dpi ? std::atoi(dpi) : 96;
    return Scale{value > 0 ? value : 96};
}

std::map<int, ControlBox> ReadRects(const std::string& path)
{
    const Scale s = TestScale();
    std::map<int, ControlBox> rects;
    std::ifstream in(path);
    int id;
    ControlBox r;
    while (in >> id >> r.left >> r.top >> r.right >> r.bottom)
        rects[id] = {ToLayout(s, r.left), ToLayout(s, r.top), ToLayout(s, r.right), ToLayout(s, r.bottom)};
    return rects;
}
