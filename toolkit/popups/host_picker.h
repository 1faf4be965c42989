// The host's colour picker, through the colour services of the FilterRecord.
#pragma once

#include <cstdint>

#include "host/filter_record.h"

// Asks the host to choose a colour in RGB, starting from rgb. True, with rgb
// replaced by the low bytes of the host's components, when the host answered
// without error; false (rgb untouched) when it failed, was cancelled, or
// offers no colour services.
bool PickHostColour(FilterRecord* host, uint8_t rgb[3]);
