// The shear limit of both engines: a lattice sheared by a factor of 1 or
// more would fold over itself (the cell heights 1 - kx ky reach zero), so
// factors beyond +-0.999 are held just inside at +-0.9999.
#pragma once

inline float ClampShear(float k)
{
    if (k > 0.999f) return 0.9999f;
    if (k < -0.999f) return -0.9999f;
    return k;
}
