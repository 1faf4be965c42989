// Orientation: the Exif/TIFF Orientation tag says how the stored pixels are
// turned against the picture as it is meant to be seen (1 upright, 2-8 the
// mirrored and quarter-turned variants).
#pragma once

#include <cstdint>
#include <vector>

// Turns rows of width x height pixels of `channels` bytes into the upright
// picture; orientations 5-8 swap width and height. Other values do nothing.
void Reorient(int32_t orientation, int32_t& width, int32_t& height, int32_t channels,
              std::vector<uint8_t>& pixels);
