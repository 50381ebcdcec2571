#include <gtest/gtest.h>

#include "time/bigint.h"

namespace {

// A shift by the full width or more empties the value (the native shift
// would be undefined there).
TEST(BigintShift, WidthOrMoreGivesZero) {
    const struct {
        unsigned n;
        std::uint64_t left, right;
    } cases[] = {
        {0, 0x8000000000000001ull, 0x8000000000000001ull},
        {1, 0x0000000000000002ull, 0x4000000000000000ull},
        {63, 0x8000000000000000ull, 0x0000000000000001ull},
        {64, 0, 0},
        {200, 0, 0},
    };
    for (const auto& c : cases) {
        bigint l = bigint::fromU64(0x8000000000000001ull), r = l;
        l <<= c.n;
        r >>= c.n;
        EXPECT_EQ(l.u64(), c.left) << c.n;
        EXPECT_EQ(r.u64(), c.right) << c.n;
    }
}

}  // namespace
