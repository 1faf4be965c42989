// Text conversions between the encodings velkhost meets.
#include "tools/uidriver/text.h"

#include <windows.h>

#include <cstdio>

static std::wstring ToWide(UINT codePage, const std::string& s)
{
    if (s.empty())
        return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), &w[0], n);
    return w;
}

std::wstring Widen(const std::string& utf8) { return ToWide(CP_UTF8, utf8); }

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::string AnsiToUtf8(const char* text)
{
    return text ? Narrow(ToWide(CP_ACP, text)) : std::string();
}

std::string JsonString(const std::string& utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}
