// The last line of defence of a module's entry point: no C++ exception may
// unwind into the host, which knows nothing of them. An allocation failure
// answers the host's out-of-memory code, any other exception "cannot run".
#pragma once

#include <cstdint>
#include <new>

#include "host/filter_record.h"

template <class Work>
int16_t GuardedSelector(Work&& work) noexcept
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return memFullErr;
    } catch (...) {
        return userCanceledErr;
    }
}
