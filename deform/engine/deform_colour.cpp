// The colour steps are inline (deform_colour.h); this file checks the
// reciprocal table at compile time.
#include "deform/engine/deform_colour.h"

static_assert(kSmallReciprocals.r[1] == uint64_t{1} << 32, "d = 1 keeps x");
static_assert(kSmallReciprocals.r[255] == 16843010, "ceil(2^32 / 255)");
