// Lane arithmetic of the two-stage group rows: the shared lane helpers
// (common/lanes.h) and what only these rows use.
#pragma once

#include "common/lanes.h"

// The larger steps of a group are inlined into their caller, so that their
// lane values stay in registers instead of passing through memory.
#define LANES_INLINE inline __attribute__((always_inline))
