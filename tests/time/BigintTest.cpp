#include <gtest/gtest.h>

#include <cstdint>

#include "time/bigint.h"

namespace {

constexpr std::uint64_t Max = ~std::uint64_t{0};

TEST(Bigint, ThirtyTwoBitValuesAreZeroExtended) {
    bigint allOnes(static_cast<std::uint32_t>(-1));
    EXPECT_EQ(allOnes.u64(), 4294967295u);
    ++allOnes;
    EXPECT_EQ(allOnes.word(1), 1u);
    EXPECT_EQ(allOnes.word(0), 0u);
}

TEST(Bigint, ArithmeticWrapsModulo2To64) {
    EXPECT_EQ((bigint(3) - bigint(5)).u64(), Max - 1);
    EXPECT_TRUE((bigint::fromU64(std::uint64_t{1} << 63) * bigint(2)).isZero());
    EXPECT_EQ((bigint::fromU64(Max) + bigint(2)).u64(), 1u);
    bigint shifted(1);
    shifted <<= 64;
    EXPECT_TRUE(shifted.isZero());
}

TEST(Bigint, ComparisonIsUnsignedAcrossWords) {
    bigint big = bigint(864000000u) * bigint(30000u);
    EXPECT_GT(big, bigint(0xFFFFFFFFu));
    EXPECT_LT(bigint(0xFFFFFFFFu), bigint::fromU64(std::uint64_t{1} << 32));
    EXPECT_GT(bigint::fromU64(Max), bigint(1));
    EXPECT_EQ(divide(big, bigint(864000000u)).u64(), 30000u);
}

TEST(Bigint, DivideGivesQuotientAndRemainder) {
    struct Case { std::uint64_t a, b, quotient, remainder; };
    const Case cases[] = {
        {7, 10, 0, 7},
        {10, 10, 1, 0},
        {Max, 1, Max, 0},
        {Max, Max, 1, 0},
        {Max, 864000000, Max / 864000000, Max % 864000000},
        {std::uint64_t{1} << 63, 3, (std::uint64_t{1} << 63) / 3, 2},
    };
    for (const Case& c : cases) {
        bigint remainder(99);
        bigint q = divide(bigint::fromU64(c.a), bigint::fromU64(c.b), &remainder);
        EXPECT_EQ(q.u64(), c.quotient) << c.a << " / " << c.b;
        EXPECT_EQ(remainder.u64(), c.remainder) << c.a << " % " << c.b;
    }
}

}  // namespace
