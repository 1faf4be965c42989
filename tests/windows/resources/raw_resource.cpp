#include "tests/windows/resources/raw_resource.h"

#include <cstdio>
#include <cstring>

const ModuleFacts& Module()
{
#if defined(VELK_TEST_velk3d)
    static const ModuleFacts m{true, "Velk 3D", 0x00010009u, {1, 0, 9, 1}, "1.09a",
                               std::string(61, ' ') + "Velk 3D v1.09a"};
#else
    static const ModuleFacts m{false, "Velk 2000", 0x00010001u, {1, 4, 1, 0}, "1.41",
                               std::string(35, ' ') + "VELK 2000" + std::string(3, ' ') + "v1.41"};
#endif
    return m;
}

std::vector<uint8_t> RawResource(LPCSTR type, LPCSTR name)
{
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(self, name, type);
    if (!info)
        return {};
    HGLOBAL handle = LoadResource(self, info);
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(handle));
    DWORD size = SizeofResource(self, info);
    return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

namespace {

uint32_t U32(const std::vector<uint8_t>& d, size_t at)
{
    return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 | uint32_t(d[at + 3]) << 24;
}

uint16_t U16(const std::vector<uint8_t>& d, size_t at) { return uint16_t(d[at] | d[at + 1] << 8); }

// A type or name field of a .res header: 0xFFFF and an ordinal, or a
// zero-terminated UTF-16 string. Advances `at`.
bool ReadId(const std::vector<uint8_t>& d, size_t& at, size_t end, std::wstring& text, int& ordinal)
{
    text.clear();
    ordinal = -1;
    if (at + 2 > end)
        return false;
    if (U16(d, at) == 0xFFFF) {
        if (at + 4 > end)
            return false;
        ordinal = U16(d, at + 2);
        at += 4;
        return true;
    }
    while (at + 2 <= end) {
        wchar_t c = wchar_t(U16(d, at));
        at += 2;
        if (c == 0)
            return true;
        text += c;
    }
    return false;
}

} // namespace

std::vector<uint8_t> ResFileResource(const std::string& path, const std::wstring& type, WORD id)
{
    std::vector<uint8_t> d;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            d.insert(d.end(), buf, buf + n);
        std::fclose(f);
    }
    size_t at = 0;
    while (at + 8 <= d.size()) {
        uint32_t dataSize = U32(d, at), headerSize = U32(d, at + 4);
        size_t data = at + headerSize;
        if (headerSize < 8 || data + dataSize > d.size())
            return {};
        size_t p = at + 8;
        std::wstring typeText, nameText;
        int typeOrdinal, nameOrdinal;
        if (ReadId(d, p, data, typeText, typeOrdinal) && ReadId(d, p, data, nameText, nameOrdinal) &&
            typeOrdinal < 0 && typeText == type && nameOrdinal == id)
            return std::vector<uint8_t>(d.begin() + long(data), d.begin() + long(data + dataSize));
        at = (data + dataSize + 3) & ~size_t(3);
    }
    return {};
}
