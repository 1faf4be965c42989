// The zoom of both engines is the larger of two quotients edge / (edge -
// shear * period). On a small image with a large period and a strong shear a
// denominator can reach zero or turn negative; such a quotient is left out of
// the maximum (with both out the maximum counts as 1), so the zoom stays
// finite and positive.
#pragma once

// The larger of n1 / d1 and n2 / d2 (n2 / d2 only when strictly larger),
// leaving out a quotient whose denominator is not positive.
inline float LargerQuotient(float n1, float d1, float n2, float d2)
{
    if (d1 > 0.0f && d2 > 0.0f) {
        const float q1 = n1 / d1;
        const float q2 = n2 / d2;
        return q2 > q1 ? q2 : q1;
    }
    if (d1 > 0.0f)
        return n1 / d1;
    if (d2 > 0.0f)
        return n2 / d2;
    return 1.0f;
}
