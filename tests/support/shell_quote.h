// A word for /bin/sh: single-quoted, with embedded quotes escaped.
#pragma once

#include <string>

inline std::string ShellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
