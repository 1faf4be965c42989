// PiPL reading: header, property walk, and the checks a host makes before it
// lists a filter or enables it for an image mode.
#include "tools/velkhost/pipl.h"

#include <windows.h>

#include <cstring>

static const HostMode kModes[] = {
    {"rgb", 0x1000, "RGBMode", 3, 3},
    {"grey", 0x4000, "GrayScaleMode", 1, 1},
};

const HostMode* FindHostMode(const std::string& option)
{
    for (const HostMode& m : kModes)
        if (option == m.option)
            return &m;
    return nullptr;
}

const HostMode& RgbMode() { return kModes[0]; }

const char* OwnCodeKey()
{
#ifdef _WIN64
    return "8664";
#else
    return "wx86";
#endif
}

static uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A four-character code stored as a little-endian integer of its big-endian
// reading: the bytes appear reversed.
static std::string ReadCode(const uint8_t* p)
{
    return std::string{char(p[3]), char(p[2]), char(p[1]), char(p[0])};
}

static bool PascalString(const PiplProperty& p, std::string& out)
{
    if (p.data.empty() || size_t(p.data[0]) + 1 > p.data.size())
        return false;
    out.assign(reinterpret_cast<const char*>(p.data.data() + 1), p.data[0]);
    return true;
}

static bool CString(const PiplProperty& p, std::string& out)
{
    const void* end = std::memchr(p.data.data(), 0, p.data.size());
    if (!end)
        return false;
    out.assign(reinterpret_cast<const char*>(p.data.data()),
               static_cast<const uint8_t*>(end) - p.data.data());
    return true;
}

static bool Interpret(const PiplProperty& p, PiplInfo& info)
{
    if (p.vendor != "8BIM")
        return true; // other vendors' properties are ignored
    if (p.key == "kind") {
        if (p.data.size() < 4)
            return false;
        info.kind = ReadCode(p.data.data());
    } else if (p.key == "name") {
        info.hasName = PascalString(p, info.name);
        return info.hasName;
    } else if (p.key == "catg") {
        info.hasCategory = PascalString(p, info.category);
        return info.hasCategory;
    } else if (p.key == OwnCodeKey()) {
        info.hasEntry = CString(p, info.entry);
        return info.hasEntry;
    } else if (p.key == "mode") {
        if (p.data.size() < 2)
            return false;
        info.modeFlags = uint16_t(p.data[0] << 8 | p.data[1]);
        info.hasMode = true;
    } else if (p.key == "enbl") {
        info.hasEnbl = CString(p, info.enbl);
        return info.hasEnbl;
    }
    return true;
}

void ParsePipl(const std::vector<uint8_t>& bytes, PiplInfo& info)
{
    info.bytes = bytes;
    const uint8_t* b = bytes.data();
    const size_t size = bytes.size();
    if (size < 10) {
        info.error = "PiPL shorter than its header";
        return;
    }
    const int version = b[0] | b[1] << 8;
    if (version != 1) {
        info.error = "PiPL version " + std::to_string(version) + " (expected 1)";
        return;
    }
    const uint32_t count = ReadU32(b + 6);
    size_t at = 10;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - at < 16) {
            info.error = "property " + std::to_string(i) + " header runs past the end";
            return;
        }
        PiplProperty p;
        p.offset = uint32_t(at);
        p.vendor = ReadCode(b + at);
        p.key = ReadCode(b + at + 4);
        const uint32_t length = ReadU32(b + at + 12);
        if (length > size - at - 16) {
            info.error = "property " + std::to_string(i) + " length " + std::to_string(length) +
                         " runs past the end";
            return;
        }
        p.data.assign(b + at + 16, b + at + 16 + length);
        at += 16 + length; // no rounding: the length must already be padded
        if (!Interpret(p, info)) {
            info.error = "property " + p.key + " is malformed";
            return;
        }
        info.properties.push_back(std::move(p));
    }
}

PiplInfo ReadModulePipl(const std::wstring& path)
{
    PiplInfo info;
    HMODULE data = LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!data)
        data = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!data) {
        info.error = "not a loadable module (error " + std::to_string(GetLastError()) + ")";
        return info;
    }
    HRSRC res = FindResourceW(data, MAKEINTRESOURCEW(16000), L"PIPL");
    HGLOBAL loaded = res ? LoadResource(data, res) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        info.error = "no PiPL resource (type PIPL, id 16000)";
    } else {
        const uint8_t* p = static_cast<const uint8_t*>(bytes);
        ParsePipl(std::vector<uint8_t>(p, p + SizeofResource(data, res)), info);
    }
    FreeLibrary(data);
    return info;
}

std::string FilterRefusal(const PiplInfo& info)
{
    if (!info.error.empty())
        return info.error;
    if (info.kind.empty())
        return "no kind property";
    if (info.kind != "8BFM")
        return "kind " + info.kind + " is not a filter";
    if (!info.hasName)
        return "no name property";
    if (!info.hasEntry)
        return std::string("no ") + OwnCodeKey() + " code property";
    if (info.entry.empty())
        return "empty entry point name";
    return "";
}

std::string ModeRefusal(const PiplInfo& info, const HostMode& mode)
{
    if (!info.hasMode)
        return "no mode property";
    if (!(info.modeFlags & mode.modeFlag))
        return std::string("mode flags do not enable ") + mode.option;
    if (info.hasEnbl) {
        std::string error;
        if (!EnblAllows(info.enbl, mode, error))
            return error.empty() ? std::string("enbl does not enable ") + mode.option : error;
    }
    return "";
}

static std::string Trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r\n");
    size_t b = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// One term: in (PSHOP_ImageMode, A, B, ...)
static bool TermAllows(const std::string& term, const HostMode& mode, std::string& error)
{
    std::string t = Trim(term);
    if (t.compare(0, 2, "in") != 0) {
        error = "unsupported enbl term \"" + t + "\"";
        return false;
    }
    std::string rest = Trim(t.substr(2));
    if (rest.size() < 2 || rest.front() != '(' || rest.back() != ')') {
        error = "unsupported enbl term \"" + t + "\"";
        return false;
    }
    rest = rest.substr(1, rest.size() - 2);
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t comma; (comma = rest.find(',', start)) != std::string::npos; start = comma + 1)
        items.push_back(Trim(rest.substr(start, comma - start)));
    items.push_back(Trim(rest.substr(start)));
    if (items[0] != "PSHOP_ImageMode") {
        error = "unsupported enbl variable \"" + items[0] + "\"";
        return false;
    }
    for (size_t i = 1; i < items.size(); ++i)
        if (items[i] == mode.enblName)
            return true;
    return false;
}

bool EnblAllows(const std::string& expr, const HostMode& mode, std::string& error)
{
    error.clear();
    size_t start = 0;
    for (;;) {
        size_t bar = expr.find("||", start);
        std::string term =
            expr.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (TermAllows(term, mode, error))
            return true;
        if (!error.empty())
            return false;
        if (bar == std::string::npos)
            return false;
        start = bar + 2;
    }
}
