// The module files as a host sees them: one export, no runtime DLLs beyond
// the system's, the PiPL of each architecture, and the Filter menu entries.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "tests/windows/harness/expected_pipl.h"
#include "tests/windows/modules/module_run.h"

namespace {

struct PeFacts {
    bool ok = false;
    bool pe32plus = false;
    std::vector<std::string> exports;
    std::vector<std::string> imports; // DLL names, upper case
};

// Reads the export names and imported DLLs of a PE file from its bytes (the
// Win32 modules cannot be loaded into this 64-bit process).
PeFacts ReadPe(const std::vector<uint8_t>& f)
{
    PeFacts pe;
    auto at = [&](size_t offset, size_t size) { return offset + size <= f.size(); };
    if (!at(0, sizeof(IMAGE_DOS_HEADER)))
        return pe;
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, f.data(), sizeof dos);
    const size_t nt = size_t(dos.e_lfanew);
    if (!at(nt, sizeof(IMAGE_NT_HEADERS64)))
        return pe;
    IMAGE_FILE_HEADER file;
    std::memcpy(&file, &f[nt + 4], sizeof file);
    const size_t optional = nt + 4 + sizeof(IMAGE_FILE_HEADER);
    WORD magic;
    std::memcpy(&magic, &f[optional], 2);
    pe.pe32plus = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    IMAGE_DATA_DIRECTORY dirs[2];
    const size_t dirOffset = optional + (pe.pe32plus ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                                     : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
    std::memcpy(dirs, &f[dirOffset], sizeof dirs);
    const size_t sections = optional + file.SizeOfOptionalHeader;
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (int i = 0; i < file.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER s;
            std::memcpy(&s, &f[sections + i * sizeof s], sizeof s);
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return f.size();
    };
    auto text = [&](DWORD rva) {
        const size_t o = fileOffset(rva);
        std::string s;
        for (size_t i = o; i < f.size() && f[i]; ++i)
            s += char(f[i]);
        return s;
    };

    IMAGE_EXPORT_DIRECTORY exports;
    const size_t e = fileOffset(dirs[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    if (dirs[0].VirtualAddress && at(e, sizeof exports)) {
        std::memcpy(&exports, &f[e], sizeof exports);
        EXPECT_EQ(exports.NumberOfFunctions, exports.NumberOfNames) << "exports without names";
        for (DWORD i = 0; i < exports.NumberOfNames; ++i) {
            DWORD nameRva;
            std::memcpy(&nameRva, &f[fileOffset(exports.AddressOfNames) + 4 * i], 4);
            pe.exports.push_back(text(nameRva));
        }
    }
    for (size_t d = fileOffset(dirs[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
         at(d, sizeof(IMAGE_IMPORT_DESCRIPTOR)); d += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR import;
        std::memcpy(&import, &f[d], sizeof import);
        if (import.Name == 0)
            break;
        std::string name = text(import.Name);
        std::transform(name.begin(), name.end(), name.begin(), ::toupper);
        pe.imports.push_back(name);
    }
    pe.ok = true;
    return pe;
}

struct Built {
    std::string path;
    bool win64;
    const char* product;
    uint32_t vers;
};

// This build's modules and the other Windows architecture's.
std::vector<Built> AllModules()
{
    const bool own64 = sizeof(void*) == 8;
    return {{Velk3dModule(), own64, "Velk 3D", 0x00010009},
            {Velk2000Module(), own64, "Velk 2000", 0x00010001},
            {Velk3dOtherModule(), !own64, "Velk 3D", 0x00010009},
            {Velk2000OtherModule(), !own64, "Velk 2000", 0x00010001}};
}

TEST(ModuleFiles, OneExportAndOnlySystemLibraries)
{
    const std::vector<std::string> system = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL",
                                             "MSVCRT.DLL", "SHELL32.DLL", "COMDLG32.DLL"};
    for (const Built& m : AllModules()) {
        const PeFacts pe = ReadPe(ReadBytes(m.path));
        ASSERT_TRUE(pe.ok) << m.path;
        EXPECT_EQ(pe.pe32plus, m.win64) << m.path;
        EXPECT_EQ(pe.exports, std::vector<std::string>{"ENTRYPOINT"}) << m.path;
        for (const std::string& dll : pe.imports)
            EXPECT_NE(std::find(system.begin(), system.end(), dll), system.end())
                << m.path << " needs " << dll;
    }
}

// velkhost's "pipl" command prints "bytes <hex>" and, on a line of its own,
// its verdict ("refused ..." when it will not call the module).
TEST(ModuleFiles, PiplAsTheHostReadsIt)
{
    for (const Built& m : AllModules()) {
        const HostRun run = RunHost("pipl " + Quote(m.path));
        const std::vector<uint8_t> expected = ExpectedPipl(m.product, m.vers, m.win64 ? "8664" : "wx86");
        std::ostringstream hex;
        for (uint8_t b : expected) {
            char two[3];
            std::snprintf(two, sizeof two, "%02x", b);
            hex << two;
        }
        EXPECT_NE(run.output.find("bytes " + hex.str() + "\n"), std::string::npos)
            << m.path << "\n" << run.output;
        // The host runs the modules of its own architecture and refuses the others.
        const bool host64 = sizeof(void*) == 8;
        EXPECT_EQ(run.output.find("refused") == std::string::npos, m.win64 == host64)
            << m.path << "\n" << run.output;
    }
}

TEST(ModuleFiles, FilterMenuListsBothFiltersForRgbOnly)
{
    const std::string folder = TestFolder();
    ASSERT_TRUE(CopyFileA(Velk3dModule().c_str(), (folder + "velk3d.8bf").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(Velk2000Module().c_str(), (folder + "velk2000.8bf").c_str(), FALSE));
    const std::string listed = folder.substr(0, folder.size() - 1); // no trailing backslash
    const HostRun rgb = RunHost("list " + Quote(listed));
    EXPECT_NE(rgb.output.find("Orchwell > Velk 3D"), std::string::npos) << rgb.output;
    EXPECT_NE(rgb.output.find("Orchwell > Velk 2000"), std::string::npos) << rgb.output;
    // On another image mode the menu shows them disabled.
    const HostRun grey = RunHost("list " + Quote(listed) + " --mode grey");
    EXPECT_NE(grey.output.find("Orchwell > Velk 3D (disabled)"), std::string::npos) << grey.output;
    EXPECT_NE(grey.output.find("Orchwell > Velk 2000 (disabled)"), std::string::npos) << grey.output;
    EXPECT_EQ(rgb.output.find("(disabled)"), std::string::npos) << rgb.output;
}

TEST(ModuleFiles, GreyImagesNeverReachTheEntryPoint)
{
    const HostRun run = RunHost("run " + Quote(Velk3dModule()) + " --mode grey --in " +
                                Quote(SourceFile("samples\\coffee.png")));
    EXPECT_EQ(run.exitCode, 2u) << run.output;
    EXPECT_EQ(run.json["status"].text, "refused");
    EXPECT_EQ(run.json["result"].kind, JsonValue::Null); // never called
}

} // namespace
