// The eight-lane group loop, built with AVX2 where the build allows it (see
// CMakeLists.txt) and run only on a processor that has it. Nothing here is
// used by the four-lane code.
#include "twostage/engine/strip_groups.h"

#if defined(__AVX2__)
#include "twostage/engine/strip_group_loop.h"

bool HaveGroups8()
{
    return __builtin_cpu_supports("avx2");
}

int32_t RenderGroups8(const TwoStageJob& job, int32_t y, int32_t x, StageGeometry g[2],
                      StripPoint& point)
{
    return RenderGroups<Lanes8>(job, y, x, g, point);
}
#else
bool HaveGroups8()
{
    return false;
}

int32_t RenderGroups8(const TwoStageJob&, int32_t, int32_t x, StageGeometry*, StripPoint&)
{
    return x;
}
#endif
