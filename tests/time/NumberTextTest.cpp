// Number texts against glibc's printf in the C locale, on millions of values
// of the kinds the exports print and on the cases a formatter gets wrong
// first. The Windows C runtime rounds some ties its own way: no reference there.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "time/NumberText.h"

namespace {

struct Format { char form; int width, precision; };

std::string ours(double v, Format f) {
    char out[NumberTextMax];
    char* end = f.form == 'f' ? formatFixed(out, v, f.width, f.precision) : formatGeneral(out, v, f.width, f.precision);
    return end == out + std::strlen(out) ? out : "<wrong end>";
}

std::string printfText(double v, Format f) {
    char out[NumberTextMax];
    std::snprintf(out, sizeof out, f.form == 'f' ? "%*.*f" : "%*.*g", f.width, f.precision, v);
    return out;
}

// Float readings, counts with decimals, magnitudes near the printing
// thresholds and over the whole range, binary fractions, decimal ties and
// their neighbours; now and then any bit pattern.
double randomValue(std::mt19937_64& r) {
    const double sign = r() & 1 ? -1.0 : 1.0, unit = static_cast<double>(r() >> 11) * 0x1p-53, tens = std::pow(10.0, r() % 6);
    const double tie = (static_cast<double>(r() % 20000000) + 0.5) / tens, near = r() % 3 ? std::nextafter(tie, (r() & 1) * 1e300) : tie;
    const double kinds[] = {std::bit_cast<double>(r()), std::bit_cast<float>(static_cast<std::uint32_t>(r())),
        static_cast<float>(sign * std::pow(10.0, -3.0 + 11.0 * unit)), static_cast<float>(static_cast<std::int16_t>(r()) / tens),
        static_cast<float>(sign * (0.5 + unit) * (r() & 1 ? 0.001 : 1e8)), sign * std::pow(10.0, -12.0 + 32.0 * unit),
        sign * std::ldexp(static_cast<double>(r() % (1 << 24)), -int(r() % 30)), sign * near, sign * static_cast<float>(near)};
    const std::size_t kind = r() % 32;  // the first two once in 32 each: they are slow to print in full
    return kinds[kind < 2 ? kind : 2 + kind % 7];
}

// The formats the exports use (the value columns' %W.Pf with widths 6 to 9,
// the logarithmic columns' %W.(W-6)g, the event value), left-aligned ones,
// and long fixed ones; one value in eight a hard case.
TEST(NumberText, MatchesPrintf) {
#if defined(_WIN32)
    GTEST_SKIP();
#endif
#if defined(__SANITIZE_ADDRESS__)
    const long values = 300000;
#else
    const long values = 8000000;
#endif
    std::vector<Format> formats = {{'f', 10, 3}, {'f', 4, 2}, {'f', -9, 2}, {'g', -8, 2}, {'f', 12, 8}, {'f', 0, 20}, {'g', 0, 17}};
    for (int width = 6; width <= 9; ++width) {
        formats.push_back({'g', width, width - 6});
        for (int precision = 0; precision <= 4; ++precision) formats.push_back({'f', width, precision});
    }
    const double hard[] = {0.0, 0.125, 2.675, 0.015, 9.995, 99999.995, 99999999.5, 0.001, std::nextafter(0.001, 0.0), static_cast<float>(0.001),
        1e8, std::nextafter(1e8, 0.0), static_cast<float>(99999999.0), std::nextafter(1e7, 0.0), 1e16, 0x1p63, 0x1p64, 0x1p64 - 2048.0,
        FLT_MAX, FLT_MIN, DBL_MAX, DBL_MIN, 4.9e-324, 9.5e-5, INFINITY, NAN, 0x1.0147ae147ae14p+0, 0x1.fff2e48e8a71ep-1, 0x1.0624dd2f1a9fbp-10};
    std::mt19937_64 r(1);
    for (long i = 0, mismatches = 0; i < values && mismatches < 5; ++i) {
        const Format f = formats[static_cast<std::size_t>(i) % formats.size()];
        const double v = i % 8 ? randomValue(r) : (r() & 1 ? -1 : 1) * hard[r() % std::size(hard)];
        if (ours(v, f) != printfText(v, f))
            ADD_FAILURE() << ++mismatches << ": %" << f.width << "." << f.precision << f.form << " of " << std::hexfloat << v
                          << ": \"" << ours(v, f) << "\", printf \"" << printfText(v, f) << "\"";
    }
    for (double v : {DBL_MAX, -DBL_MAX, 4.9e-324})  // past the sizes the buffer is made for
        for (int width : {-1000, INT_MIN, INT_MAX}) EXPECT_LT(std::max(ours(v, {'f', width, 1000}).size(), ours(v, {'g', width, 1000}).size()), NumberTextMax);
    EXPECT_EQ(ours(2.5, {'f', 0, -1}), "2.500000");  // no precision given
}

}  // namespace
