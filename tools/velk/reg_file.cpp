#include "tools/velk/reg_file.h"

#include <cctype>
#include <cstdio>

namespace {

void AppendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16LE (after its byte-order mark) to UTF-8; an unpaired surrogate
// becomes U+FFFD.
std::string FromUtf16(const std::string& bytes)
{
    std::string out;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        uint32_t c = static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
            const uint32_t low = static_cast<uint8_t>(bytes[i + 2]) | (static_cast<uint8_t>(bytes[i + 3]) << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

void AppendUtf16(std::string& out, uint32_t c)
{
    const auto unit = [&](uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    if (c >= 0x10000) {
        unit(0xD800 + ((c - 0x10000) >> 10));
        unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        unit(c);
    }
}

// UTF-8 to UTF-16LE; a byte that starts no valid sequence stands for itself
// (a Latin-1 character), so any name survives.
std::string ToUtf16(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const uint8_t b = static_cast<uint8_t>(text[i]);
        int extra = b >= 0xF0 && b < 0xF5 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : 0;
        if (b >= 0xF5)
            extra = 0;
        uint32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : b & 0x1F;
        bool valid = b >= 0x80 && extra > 0;
        for (int k = 1; valid && k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80)
                valid = false;
            else
                c = (c << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
        }
        if (b < 0x80 || !valid) {
            AppendUtf16(out, b);
            ++i;
        } else {
            AppendUtf16(out, c);
            i += extra + 1;
        }
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string Trim(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t'))
        ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t'))
        --b;
    return s.substr(a, b - a);
}

// "name"= at the start of s: the name unescaped and the position after "=".
bool QuotedName(const std::string& s, std::string& name, size_t& after)
{
    name.clear();
    size_t i = 1;
    for (; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] == '\\' && i + 1 < s.size())
            ++i;
        name += s[i];
    }
    if (i >= s.size())
        return false;
    after = i + 1;
    while (after < s.size() && s[after] == ' ')
        ++after;
    if (after >= s.size() || s[after] != '=')
        return false;
    ++after;
    while (after < s.size() && s[after] == ' ')
        ++after;
    return true;
}

bool HexBytes(const std::string& text, std::vector<uint8_t>& data)
{
    data.clear();
    std::string digits;
    for (char c : text) {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!digits.empty()) {
                if (digits.size() > 2)
                    return false;
                data.push_back(static_cast<uint8_t>(std::stoul(digits, nullptr, 16)));
                digits.clear();
            }
        } else if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else {
            return false;
        }
    }
    if (!digits.empty()) {
        if (digits.size() > 2)
            return false;
        data.push_back(static_cast<uint8_t>(std::stoul(digits, nullptr, 16)));
    }
    return true;
}

} // namespace

bool ParseRegFile(const std::string& bytes, std::vector<RegValue>& values, std::string& error)
{
    std::string text = bytes;
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE)
        text = FromUtf16(bytes);
    else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text = bytes.substr(3);
    const std::vector<std::string> lines = Lines(text);
    size_t n = 0;
    while (n < lines.size() && Trim(lines[n]).empty())
        ++n;
    if (n >= lines.size() || (Trim(lines[n]) != "Windows Registry Editor Version 5.00" &&
                              Trim(lines[n]) != "REGEDIT4")) {
        error = "not a registry file (its first line is not \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\")";
        return false;
    }
    std::string key;
    for (++n; n < lines.size(); ++n) {
        const size_t first = n + 1; // the line number a message names
        std::string line = Trim(lines[n]);
        // A value continues on the next line after a backslash.
        while (!line.empty() && line.back() == '\\' && n + 1 < lines.size())
            line = line.substr(0, line.size() - 1) + Trim(lines[++n]);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            if (line.back() != ']') {
                error = "line " + std::to_string(first) + ": a key without its closing bracket";
                return false;
            }
            key = line.substr(1, line.size() - 2);
            if (!key.empty() && key[0] == '-')
                key.clear(); // a deleted key holds nothing
            continue;
        }
        if (line[0] != '"')
            continue; // the default value "@=..."
        std::string name;
        size_t after;
        if (!QuotedName(line, name, after)) {
            error = "line " + std::to_string(first) + ": a value without \"name\"=";
            return false;
        }
        const std::string value = line.substr(after);
        std::string hex;
        if (value.compare(0, 4, "hex:") == 0)
            hex = value.substr(4);
        else if (value.compare(0, 7, "hex(3):") == 0)
            hex = value.substr(7);
        else
            continue; // strings, numbers, deletions
        RegValue v;
        if (!HexBytes(hex, v.data)) {
            error = "line " + std::to_string(first) + ": \"" + name + "\" has bytes that are not hexadecimal";
            return false;
        }
        if (key.empty())
            continue;
        v.key = key;
        v.name = name;
        values.push_back(std::move(v));
    }
    return true;
}

std::string FormatRegFile(const std::vector<RegValue>& values)
{
    std::string text = "Windows Registry Editor Version 5.00\r\n";
    std::vector<std::string> keys;
    for (const RegValue& v : values) {
        bool seen = false;
        for (const std::string& k : keys)
            seen = seen || k == v.key;
        if (!seen)
            keys.push_back(v.key);
    }
    for (const std::string& key : keys) {
        text += "\r\n[" + key + "]\r\n";
        for (const RegValue& v : values) {
            if (v.key != key)
                continue;
            std::string line = "\"";
            for (char c : v.name)
                line += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
            line += "\"=hex:";
            // regedit breaks lines before 80 columns with a backslash.
            for (size_t i = 0; i < v.data.size(); ++i) {
                char byte[4];
                std::snprintf(byte, sizeof byte, "%02x", v.data[i]);
                line += byte;
                if (i + 1 < v.data.size()) {
                    line += ",";
                    if (line.size() > 76) {
                        text += line + "\\\r\n";
                        line = "  ";
                    }
                }
            }
            text += line + "\r\n";
        }
    }
    text += "\r\n";
    return "\xFF\xFE" + ToUtf16(text);
}
