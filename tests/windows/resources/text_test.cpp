// String table rows of velk3d (blanks included), the version block, and the
// language of every resource.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/windows/resources/raw_resource.h"

namespace {

std::string LoadText(UINT id)
{
    char buf[512] = {};
    int n = LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
    return std::string(buf, size_t(n > 0 ? n : 0));
}

std::wstring VersionString(const std::vector<uint8_t>& block, const wchar_t* name)
{
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    void* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &len) || !value)
        return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

std::wstring Wide(const char* s) { return std::wstring(s, s + std::char_traits<char>::length(s)); }

} // namespace

TEST(MODULE_SUITE(Strings), FactoryPresetRows)
{
    if (!Module().deform) {
        EXPECT_EQ(LoadText(1), "") << "velk2000 has no string table";
        return;
    }
    const std::pair<UINT, const char*> rows[] = {
        {1, "#9"},
        {2, "Jalousie     #150 010 05 35 25 45 50 25 0"},
        {3, "Herring-Bone #012 030 10 99 25 25 00 50 6"},
        {4, "Velkstone     #035 055 00 50 45 32 50 00 0"},
        {5, "Front Bricks #015 015 40 30 40 40 50 50 6"},
        {6, "Roof         #010 130 40 40 45 30 40 00 2"},
        {7, "Embossed Wrapper #030 010 50 100 25 25 25 25 2"},
        {8, "Jabot        #035 039 00 50 15 45 00 50 0"},
        {9, "Gutters     #030 060 50 99 25 40 45 45 5"},
        {10, "Cellulary    #010 010 10 55 15 35 05 05 1"},
        {11, "SAVE USER  PRESET #"},
        {40, "Unable to locate User Preset      "},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LoadText(row.first), row.second) << "string " << row.first;
    for (UINT absent : {0u, 12u, 39u, 41u})
        EXPECT_EQ(LoadText(absent), "") << "string " << absent;
}

TEST(MODULE_SUITE(Version), FixedInfoAndStrings)
{
    const ModuleFacts& m = Module();
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(m.version[0]) << 16 | m.version[1]);
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(m.version[2]) << 16 | m.version[3]);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_DLL));

    EXPECT_EQ(VersionString(block, L"FileDescription"), L"Adobe Photoshop Filter");
    EXPECT_EQ(VersionString(block, L"FileVersion"), Wide(m.versionText));
    EXPECT_EQ(VersionString(block, L"ProductVersion"), Wide(m.versionText));
    EXPECT_EQ(VersionString(block, L"ProductName"), Wide(m.productName));
    EXPECT_EQ(VersionString(block, L"InternalName"), Wide(m.productName));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len));
    ASSERT_GE(len, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);
}

namespace {

std::vector<WORD>* g_languages;

BOOL CALLBACK OnLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR)
{
    g_languages->push_back(language);
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR)
{
    EnumResourceLanguagesA(module, type, name, OnLanguage, 0);
    return TRUE;
}

} // namespace

TEST(MODULE_SUITE(Languages), EveryResourceIsUsEnglish)
{
    std::vector<WORD> languages;
    g_languages = &languages;
    HMODULE self = GetModuleHandleA(nullptr);
    // RT_CURSOR, RT_BITMAP, RT_DIALOG, RT_STRING, RT_GROUP_CURSOR, RT_VERSION and the PiPL.
    const LPCSTR types[] = {MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(2),  MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(6),
                            MAKEINTRESOURCEA(12), MAKEINTRESOURCEA(16), "PIPL"};
    for (LPCSTR type : types)
        EnumResourceNamesA(self, type, OnName, 0);
    g_languages = nullptr;
    // PiPL, version, 3 dialogs, the cursor and its group at least.
    EXPECT_GE(languages.size(), 7u);
    for (WORD language : languages)
        EXPECT_EQ(language, 0x0409);
}
