// The eight-lane row loop, built with AVX2 where the build allows it (see
// CMakeLists.txt) and run only on a processor that has it. Nothing here is
// used by the four-lane code.
#include "deform/engine/deform_pixel.h"

#if defined(__AVX2__)
#include "deform/engine/deform_row_loop.h"

bool HaveDeformRows8()
{
    return __builtin_cpu_supports("avx2");
}

void RenderDeformRow8(const DeformJob& job, int32_t r)
{
    deform_lanes::RenderRowGroups<Lanes8>(job, r);
}
#else
bool HaveDeformRows8()
{
    return false;
}

// Not reached: job.lanes is 8 only where HaveDeformRows8() holds.
void RenderDeformRow8(const DeformJob& job, int32_t r)
{
    RenderDeformRowLanes(job, r);
}
#endif
