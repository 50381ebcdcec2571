#pragma once
// A channel's engineering-unit scale: turns a raw sample into a reading and
// a reading into text. Count channels are linear in up to three segments;
// on a logarithmic scale the values are exponents of ten.
#include <cstdint>

class UNITS {
public:
    static constexpr std::uint8_t TypeMask = 0x03;
    static constexpr std::uint8_t MidScale = 0x04;
    static constexpr std::uint8_t Logarithmic = 0x08;
    static constexpr int MaxDecimals = 4;

    // decimals outside 0..4 are clamped: nothing beyond 4 can be formatted.
    void set(float lowEnd, float middle, float highEnd, int places, std::uint8_t newFlags);
    void applyFlags(std::uint8_t newFlags);
    // On a logarithmic scale the result is the exponent.
    float toEngineering(double raw) const;
    // Writes the reading right-aligned in width (6..9) characters at out,
    // which has NumberTextMax bytes; returns the terminating zero.
    char* format(char* out, float reading, int width, bool keepExponent) const;

    std::uint8_t flags = 0;
    std::uint16_t break1 = 0;
    std::uint16_t break2 = 0;
    std::uint16_t fullScale = 0;
    float low = 0.0f;
    float point1 = 0.0f;
    float point2 = 0.0f;
    float high = 0.0f;
    std::uint8_t decimals = 0;
};
