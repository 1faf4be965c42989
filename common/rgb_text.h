// Colours given as text: "R,G,B", three decimal components 0..255, blanks
// allowed around each component. Used by the command line and velkhost.
#pragma once

#include <cstdint>
#include <string>

inline bool ParseRgb(const std::string& text, uint8_t rgb[3])
{
    size_t pos = 0;
    for (int k = 0; k < 3; ++k) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        int value = 0, digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            value = value * 10 + (text[pos++] - '0');
            if (++digits > 3)
                return false;
        }
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (digits == 0 || value > 255)
            return false;
        rgb[k] = static_cast<uint8_t>(value);
        if (k < 2) {
            if (pos >= text.size() || text[pos] != ',')
                return false;
            ++pos;
        }
    }
    return pos == text.size();
}
