// Parsing of colour arguments: "R,G,B" with components 0..255.
#pragma once

#include <cstdint>
#include <string>

bool ParseRgb(const std::string& text, uint8_t rgb[3]);
