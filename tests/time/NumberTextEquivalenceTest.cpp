// The number texts of the exports against the C library's printf, on many
// millions of values per format the exports use, and against its recorded
// answers. glibc is the reference only in the native build: the Windows C
// runtime rounds some ties its own way, so there the fast fixed forms are
// held against std::to_chars.
#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "time/NumberText.h"

namespace {

// Values per format: the full count natively; the sanitizer build runs the
// same code paths on fewer, and Wine's run is slow to start with.
#if defined(__SANITIZE_ADDRESS__)
constexpr long ValuesPerFormat = 200000;
#elif defined(_WIN32)
constexpr long ValuesPerFormat = 300000;
#else
constexpr long ValuesPerFormat = 10000000;
#endif

struct Format {
    char form;  // 'f' or 'g'
    int width;
    int precision;
};

// Our text into out (NumberTextMax bytes); false when the end it returns
// is not the terminator's place.
bool ours(char* out, double v, Format f) {
    char* end = f.form == 'f' ? formatFixed(out, v, f.width, f.precision) : formatGeneral(out, v, f.width, f.precision);
    return end == out + std::strlen(out);
}

#if !defined(_WIN32)
void reference(char* out, double v, Format f) {
    if (f.form == 'f') std::snprintf(out, NumberTextMax, "%*.*f", f.width, f.precision, v);
    else std::snprintf(out, NumberTextMax, "%*.*g", f.width, f.precision, v);
}
#else
// std::to_chars is specified to print as printf does in the C locale; here
// it checks the fast fixed forms, which do not use it.
void reference(char* out, double v, Format f) {
    auto r = std::to_chars(out, out + NumberTextMax - 1, v, f.form == 'f' ? std::chars_format::fixed : std::chars_format::general,
                           f.form == 'g' && f.precision == 0 ? 1 : f.precision);
    std::string text(out, r.ptr);
    const auto width = static_cast<std::size_t>(f.width < 0 ? -f.width : f.width);
    if (text.size() < width) {
        if (f.width < 0) text.append(width - text.size(), ' ');
        else text.insert(0, width - text.size(), ' ');
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
}
#endif

// A mismatch, or an empty text when both agree.
std::string compare(double v, Format f) {
    char got[NumberTextMax], want[NumberTextMax];
    const bool endRight = ours(got, v, f);
    reference(want, v, f);
    if (endRight && std::strcmp(got, want) == 0) return {};
    char text[64];
    std::snprintf(text, sizeof text, "%%%d.%d%c of %a: \"", f.width, f.precision, f.form, v);
    return text + std::string(got) + "\", printf \"" + want + "\"" + (endRight ? "" : " (wrong end)");
}

// A small fast generator, so the reference formatter dominates the time.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t below(std::uint64_t n) { return next() % n; }
    double unit() { return static_cast<double>(next() >> 11) * 0x1p-53; }

private:
    std::uint64_t state_;
};

double fromBits(std::uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

float floatFromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

const double PowerOfTen[] = {1, 10, 100, 1000, 10000, 100000};

// What the exports format (readings are floats widened to double) and
// what is hard for a formatter: any bit pattern, decimal ties and their
// neighbours, magnitudes across the whole range, fixed-point counts.
double randomValue(Random& r) {
    const double sign = r.below(2) ? -1.0 : 1.0;
    // Any bit pattern is mostly a huge or tiny magnitude, slow to print in
    // full and past the fast forms, so one value in 32 is one.
    const auto kind = r.below(64);
    if (kind == 0)  // any float, the infinities and not-a-numbers among them
        return floatFromBits(static_cast<std::uint32_t>(r.next()));
    if (kind == 1)  // any double
        return fromBits(r.next());
    if (kind < 12)  // a float reading of the magnitudes printed fixed
        return static_cast<float>(sign * std::pow(10.0, -3.0 + 11.0 * r.unit()));
    if (kind < 22) {  // a 16-bit count or a byte with decimal places
        const double raw = r.below(2) ? static_cast<double>(static_cast<std::int16_t>(r.next())) : static_cast<double>(r.below(256));
        return static_cast<float>(raw / PowerOfTen[r.below(5)]);
    }
    if (kind < 30) {  // a count through a linear scale
        const double low = static_cast<double>(r.below(2001)) - 1000.0;
        const double span = static_cast<double>(r.below(100000) + 1) / PowerOfTen[r.below(4)];
        return static_cast<float>(low + span / 65535.0 * static_cast<double>(r.below(65536)));
    }
    if (kind < 42) {  // an exact decimal tie, or one of its neighbours
        const double tie = (static_cast<double>(r.below(20000000)) + 0.5) / PowerOfTen[r.below(6)];
        const double toward[] = {tie, 0.0, 1e300};
        const double v = std::nextafter(tie, toward[r.below(3)]);
        return sign * (r.below(2) ? static_cast<double>(static_cast<float>(v)) : v);
    }
    if (kind < 50)  // a double magnitude from 1e-12 to 1e20
        return sign * std::pow(10.0, -12.0 + 32.0 * r.unit());
    if (kind < 56)  // a float magnitude near the printing thresholds 0.001 and 1e8
        return sign * static_cast<float>(r.below(2) ? 0.001 * (0.5 + r.unit()) : 1e8 * (0.5 + r.unit()));
    // a binary fraction: exact ties at every precision
    return sign * std::ldexp(static_cast<double>(r.below(1 << 24)), -static_cast<int>(r.below(30)));
}

// Compares ValuesPerFormat values, taking the formats in turn; stops at
// the first few mismatches.
void compareRandom(std::uint64_t seed, const std::vector<Format>& formats) {
    Random r(seed);
    int mismatches = 0;
    for (long i = 0; i < ValuesPerFormat && mismatches < 5; ++i) {
        const Format f = formats[static_cast<std::size_t>(i) % formats.size()];
        const std::string mismatch = compare(randomValue(r), f);
        if (!mismatch.empty()) {
            ++mismatches;
            ADD_FAILURE() << mismatch;
        }
    }
}

// The value columns: %W.Pf for widths 6 to 9 (the width only pads), the
// values of each precision spread over them.
class FixedColumns : public ::testing::TestWithParam<int> {};

TEST_P(FixedColumns, MatchPrintfOnRandomValues) {
    const int precision = GetParam();
    compareRandom(1000 + static_cast<std::uint64_t>(precision),
                  {{'f', 6, precision}, {'f', 7, precision}, {'f', 8, precision}, {'f', 9, precision}});
}

INSTANTIATE_TEST_SUITE_P(NumberTextEquivalence, FixedColumns, ::testing::Values(0, 1, 2, 3, 4));

// Readings at the ends of the range and event values.
TEST(NumberTextEquivalence, GeneralColumnMatchesPrintfOnRandomValues) {
#if defined(_WIN32)
    GTEST_SKIP() << "the general form is std::to_chars itself here";
#endif
    compareRandom(2000, {{'g', 8, 2}});
}
TEST(NumberTextEquivalence, EventValueMatchesPrintfOnRandomValues) { compareRandom(3000, {{'f', 10, 3}}); }

// The cases a formatter gets wrong first, at every width and precision the
// exports use and far beyond, both alignments.
TEST(NumberTextEquivalence, HardCasesMatchPrintf) {
    const double floatMax = FLT_MAX, floatMin = FLT_MIN, floatTrueMin = std::numeric_limits<float>::denorm_min();
    std::vector<double> values = {0.0, -0.0, 0.125, 2.675, 0.5, 1.5, 2.5, 0.005, 0.015, 0.0005, 9.995, 99999.995,
                                  999999.5, 9999999.5, 99999999.5, 0.001, std::nextafter(0.001, 0.0),
                                  static_cast<float>(0.001), std::nextafter(static_cast<double>(static_cast<float>(0.001)), 0.0),
                                  1e8, std::nextafter(1e8, 0.0), std::nextafter(1e8, 1e9), static_cast<float>(99999999.0),
                                  1e7, std::nextafter(1e7, 0.0), 1e15, 1e16, 0x1p53, 0x1p63, 0x1p64, 0x1p64 - 2048.0,
                                  1.8446744073709552e15, 1.8446744073709552e14, floatMax, floatMin, floatTrueMin, DBL_MAX,
                                  DBL_MIN, std::numeric_limits<double>::denorm_min(), 0x0.fffffffffffffp-1022,
                                  9.5e-5, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                                  // decimal ties and near-ties printf rounds one way or the other
                                  0x1.8p-2, 0x1p-2, 0x1.999999999999ap-6, 0x1.0147ae147ae14p+0, 0x1.0624dd2f1a9fcp-8,
                                  0x1.47ae147ae147ap-8, 0x1.fd63886594af5p-1, 0x1.fd70a3d70a3d7p-1, 0x1.fff2e48e8a71ep-1,
                                  0x1.e240c9fbe76c9p+16, 0x1.8ffae147ae148p+6, 0x1.9p+3, 0x1.921fb54442d11p+1,
                                  0x1.1126666666666p+8, 0x1.b1ae4d6e2ef5p+69, 0x1.a36e2eb1c432dp-15, 0x1.3a92a30553261p-13,
                                  0x1.869f8p+16, 0x1.0624dd2f1a9fbp-10};
#if defined(_WIN32)
    const int maxPrecision = 6;
#else
    const int maxPrecision = 20;
#endif
    for (std::size_t i = 0, n = values.size(); i < n; ++i) values.push_back(-values[i]);
    for (double v : values)
        for (char form : {'f', 'g'})
            for (int width = -12; width <= 18; ++width)
                for (int precision = 0; precision <= maxPrecision; ++precision) {
#if defined(_WIN32)
                    // Only the fixed forms are our own arithmetic there.
                    if (form == 'g' || std::isnan(v)) continue;
#endif
                    const std::string mismatch = compare(v, {form, width, precision});
                    ASSERT_TRUE(mismatch.empty()) << mismatch;
                }
}

// What glibc's printf gives for these, in the C locale: the general and
// long fixed forms, which the comparisons above hold only natively. One
// case per way the general form goes: either side of its exponent
// thresholds, a carry into the exponent, precision 0 (taken as 1), the
// precision's own threshold, three-digit exponents, subnormals, signed
// zero, infinity and not-a-number; then a left-aligned and a defaulted
// precision.
TEST(NumberText, MatchesRecordedPrintfAnswers) {
    const struct { double value; Format format; const char* text; } answers[] = {
        {0x1.7d784p+26, {'g', 8, 2}, "   1e+08"},
        {0x1.a36e2eb1c432dp-14, {'g', 8, 2}, "  0.0001"},
        {0x1.4f8b588e368f1p-17, {'g', 8, 2}, "   1e-05"},
        {0x1.8ffae147ae148p+6, {'g', 8, 2}, "   1e+02"},
        {-0x1.fffffffffffffp+1023, {'g', 10, 4}, "-1.798e+308"},
        {0x0.0000000000001p-1022, {'g', 8, 2}, "4.9e-324"},
        {-INFINITY, {'g', 8, 2}, "    -inf"},
        {-NAN, {'g', 8, 2}, "    -nan"},
        {-0x0p+0, {'g', 8, 2}, "      -0"},
        {0x1.f3cp+9, {'g', 0, 0}, "1e+03"},
        {0x1.3p+3, {'g', 0, 0}, "1e+01"},
        {0x1.e24p+16, {'g', 0, 6}, "123456"},
        {0x1.2d687p+20, {'g', 0, 6}, "1.23457e+06"},
        {0x1.999999999999ap-4, {'f', 0, 20}, "0.10000000000000000555"},
        {0x1.5555555555555p-2, {'g', 0, 20}, "0.33333333333333331483"},
        {2.5, {'f', -6, 1}, "2.5   "},
        {2.5, {'f', 0, -1}, "2.500000"},
    };
    for (const auto& a : answers) {
        char got[NumberTextMax];
        EXPECT_TRUE(ours(got, a.value, a.format)) << a.text;
        EXPECT_STREQ(got, a.text) << "%" << a.format.width << "." << a.format.precision << a.format.form;
    }
}

TEST(NumberText, OversizedRequestsStayInTheBuffer) {
    for (double v : {DBL_MAX, -DBL_MAX, 4.9406564584124654e-324, double(-NAN)})
        for (char form : {'f', 'g'})
            for (int width : {-1000, 99, 1000, INT32_MAX}) {
                char out[NumberTextMax];
                EXPECT_TRUE(ours(out, v, {form, width, 1000}));
                EXPECT_LT(std::strlen(out), NumberTextMax);
            }
}

}  // namespace
