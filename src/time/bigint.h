#pragma once
// Unsigned 64-bit integer with arithmetic modulo 2^64. A thin value class so
// times can be handled with ordinary operators; word 0 is the low half.
#include <cassert>
#include <compare>
#include <cstdint>

class bigint {
public:
    constexpr bigint() = default;
    // A 32-bit quantity is always zero-extended.
    constexpr bigint(std::uint32_t v) : value_(v) {}
    static constexpr bigint fromU64(std::uint64_t v) {
        bigint b;
        b.value_ = v;
        return b;
    }

    constexpr std::uint64_t u64() const { return value_; }
    constexpr std::uint32_t word(int i) const {
        return static_cast<std::uint32_t>(i == 0 ? value_ : value_ >> 32);
    }
    // Only applied to values below 2^32.
    constexpr std::uint32_t narrow() const { return static_cast<std::uint32_t>(value_); }

    constexpr bigint& operator+=(bigint b) { value_ += b.value_; return *this; }
    constexpr bigint& operator-=(bigint b) { value_ -= b.value_; return *this; }
    constexpr bigint& operator++() { ++value_; return *this; }
    constexpr bigint& operator<<=(unsigned n) { value_ = n >= 64 ? 0 : value_ << n; return *this; }
    constexpr bigint& operator>>=(unsigned n) { value_ = n >= 64 ? 0 : value_ >> n; return *this; }

    friend constexpr bigint operator+(bigint a, bigint b) { return a += b; }
    friend constexpr bigint operator-(bigint a, bigint b) { return a -= b; }
    friend constexpr bigint operator*(bigint a, bigint b) { return fromU64(a.value_ * b.value_); }
    friend constexpr bool operator==(bigint a, bigint b) { return a.value_ == b.value_; }
    friend constexpr auto operator<=>(bigint a, bigint b) { return a.value_ <=> b.value_; }

    constexpr bool isZero() const { return value_ == 0; }

private:
    std::uint64_t value_ = 0;
};

// Unsigned quotient a / b; the remainder goes to *remainder when given.
// A zero divisor never reaches here: the only divisors are the fixed tick
// constants and a sample interval the reader never lets be zero.
inline constexpr bigint divide(bigint a, bigint b, bigint* remainder = nullptr) {
    assert(!b.isZero());
    if (remainder) *remainder = bigint::fromU64(a.u64() % b.u64());
    return bigint::fromU64(a.u64() / b.u64());
}
