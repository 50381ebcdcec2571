#pragma once
// A channel's engineering-unit scale: turns a raw sample into a reading and
// a reading into text. Count channels are linear in up to three segments;
// on a logarithmic scale the values are exponents of ten.
#include <cstdint>

#include "time/NumberText.h"

class UNITS {
public:
    static constexpr std::uint8_t TypeMask = 0x03;
    static constexpr std::uint8_t MidScale = 0x04;
    static constexpr std::uint8_t Logarithmic = 0x08;
    static constexpr int MaxDecimals = 4;

    // decimals outside 0..4 are clamped: nothing beyond 4 can be formatted.
    void set(float lowEnd, float middle, float highEnd, int places, std::uint8_t newFlags);
    void applyFlags(std::uint8_t newFlags);
    // On a logarithmic scale the result is the exponent. Inline: the
    // exports convert every sample through it.
    float toEngineering(double raw) const {
        switch (flags & TypeMask) {
        case 0: return static_cast<float>(raw / PowerOfTen[decimals < MaxDecimals ? decimals : MaxDecimals]);
        case 2: return static_cast<float>(raw);
        default: return countToEngineering(raw);
        }
    }
    // toEngineering of a whole count of at most 16 bits. Decimal places
    // multiply by the reciprocal instead of dividing: for such counts no
    // float rounding boundary lies near enough to the quotient for the
    // two to round apart, and the division is the slow part of an export.
    // Counts take the segment slopes worked out when the flags were set,
    // the same quotients segment() divides out on every call.
    float wholeToEngineering(std::int32_t raw) const {
        switch (flags & TypeMask) {
        case 0: return static_cast<float>(raw * Reciprocal[decimals < MaxDecimals ? decimals : MaxDecimals]);
        case 2: return static_cast<float>(raw);
        default: break;
        }
        double reading;
        if (raw <= break1)
            reading = slope_[0].apply(low, raw);
        else if (raw <= break2)
            reading = slope_[1].apply(point1, raw - break1);
        else
            reading = slope_[2].apply(point2, raw - break2);
        return static_cast<float>(reading);
    }
    // Writes the reading right-aligned in width (6..9) characters at out,
    // which has NumberTextMax bytes; returns the terminating zero. The
    // usual fixed-point reading is written inline, being most of the text
    // an export makes.
    char* format(char* out, float reading, int width, bool keepExponent) const {
        const double x = reading;
        if (!(flags & Logarithmic) && (x == 0 || (x < 1e8 && x > -1e8 && (x >= 0.001 || x <= -0.001))))
            return formatFixed(out, x, width < 6 ? 6 : width > 9 ? 9 : width, decimals < MaxDecimals ? decimals : MaxDecimals);
        return formatOther(out, reading, width, keepExponent);
    }

    std::uint8_t flags = 0;
    std::uint16_t break1 = 0;
    std::uint16_t break2 = 0;
    std::uint16_t fullScale = 0;
    float low = 0.0f;
    float point1 = 0.0f;
    float point2 = 0.0f;
    float high = 0.0f;
    std::uint8_t decimals = 0;

private:
    char* formatOther(char* out, float reading, int width, bool keepExponent) const;
    static constexpr double PowerOfTen[MaxDecimals + 1] = {1, 10, 100, 1000, 10000};
    static constexpr double Reciprocal[MaxDecimals + 1] = {1, 0.1, 0.01, 0.001, 0.0001};
    // Types 1 and 3: linear within the segment that holds the count.
    float countToEngineering(double raw) const {
        double reading;
        if (raw <= break1)
            reading = segment(low, point1, break1, raw);
        else if (raw <= break2)
            reading = segment(point1, point2, break2 - break1, raw - break1);
        else
            reading = segment(point2, high, fullScale - break2, raw - break2);
        return static_cast<float>(reading);
    }
    // Linear interpolation from (c0, v0) over span counts towards v1.
    static double segment(double v0, double v1, double span, double offset) {
        return span > 0 ? v0 + (v1 - v0) / span * offset : v0;
    }
    struct Slope {
        double perCount = 0;
        bool flat = true;  // an empty segment: its start value throughout
        double apply(double v0, double offset) const { return flat ? v0 : v0 + perCount * offset; }
    };
    static Slope slopeOf(double v0, double v1, double span) { return span > 0 ? Slope{(v1 - v0) / span, false} : Slope{}; }
    // Set with the flags; fields changed by hand afterwards are not seen.
    Slope slope_[3];
};
