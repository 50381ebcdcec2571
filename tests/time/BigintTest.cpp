#include <gtest/gtest.h>

#include <cstdint>

#include "time/bigint.h"

namespace {

constexpr std::uint64_t Max = ~std::uint64_t{0};
constexpr std::uint64_t Top = std::uint64_t{1} << 63;

TEST(Bigint, WrapsModulo2To64AndComparesUnsigned) {
    bigint allOnes(static_cast<std::uint32_t>(-1));  // zero-extended
    ++allOnes;
    EXPECT_EQ(allOnes.word(1), 1u);
    EXPECT_EQ(allOnes.word(0), 0u);
    EXPECT_EQ((bigint(3) - bigint(5)).u64(), Max - 1);
    EXPECT_TRUE((bigint::fromU64(Top) * bigint(2)).isZero());
    EXPECT_EQ((bigint::fromU64(Max) + bigint(2)).u64(), 1u);
    const bigint big = bigint(864000000u) * bigint(30000u);
    EXPECT_GT(big, bigint(0xFFFFFFFFu));
    EXPECT_LT(bigint(0xFFFFFFFFu), bigint::fromU64(std::uint64_t{1} << 32));
    EXPECT_GT(bigint::fromU64(Max), bigint(1));
}

TEST(Bigint, DivideGivesQuotientAndRemainder) {
    struct Case { std::uint64_t a, b, quotient, remainder; };
    const Case cases[] = {
        {7, 10, 0, 7}, {10, 10, 1, 0}, {Max, 1, Max, 0}, {Max, Max, 1, 0},
        {Max, 864000000, Max / 864000000, Max % 864000000}, {Top, 3, Top / 3, 2}, {25920000000000, 864000000, 30000, 0},
    };
    for (const Case& c : cases) {
        bigint remainder(99);
        bigint q = divide(bigint::fromU64(c.a), bigint::fromU64(c.b), &remainder);
        EXPECT_EQ(q.u64(), c.quotient) << c.a << " / " << c.b;
        EXPECT_EQ(remainder.u64(), c.remainder) << c.a << " % " << c.b;
    }
}

// A shift by the full width or more empties the value (the native shift
// would be undefined there).
TEST(Bigint, ShiftByWidthOrMoreGivesZero) {
    const struct { unsigned n; std::uint64_t left, right; } cases[] = {
        {0, Top + 1, Top + 1}, {1, 2, Top >> 1}, {63, Top, 1}, {64, 0, 0}, {200, 0, 0}};
    for (const auto& c : cases) {
        bigint l = bigint::fromU64(Top + 1), r = l;
        l <<= c.n;
        r >>= c.n;
        EXPECT_EQ(l.u64(), c.left) << c.n;
        EXPECT_EQ(r.u64(), c.right) << c.n;
    }
}

}  // namespace
