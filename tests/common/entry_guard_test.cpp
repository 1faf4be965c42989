// The entry points' guard: whatever a selector throws, the host gets a
// result code and no exception.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "common/entry_guard.h"

TEST(EntryGuard, ExceptionsBecomeResultCodes)
{
    EXPECT_EQ(GuardedSelector([] { return int16_t{0}; }), 0);
    EXPECT_EQ(GuardedSelector([] { return int16_t{-128}; }), -128);
    // A container that cannot grow: out of memory for the host.
    EXPECT_EQ(GuardedSelector([]() -> int16_t { throw std::bad_alloc(); }), -108);
    EXPECT_EQ(GuardedSelector([]() -> int16_t {
                  std::vector<char> v;
                  v.reserve(v.max_size() + 1); // length_error: any other failure
                  return 0;
              }),
              -128);
    EXPECT_EQ(GuardedSelector([]() -> int16_t { throw std::runtime_error("broken"); }), -128);
    EXPECT_EQ(GuardedSelector([]() -> int16_t { throw 7; }), -128);
}
