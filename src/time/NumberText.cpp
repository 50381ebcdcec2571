#include "time/NumberText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// The bounds NumberTextMax is sized for; larger requests are cut to them.
constexpr int MaxWidth = 99;
constexpr int MaxPrecision = 20;
constexpr int DefaultPrecision = 6;

// Up to this precision the scaled value fits 64 bits (see scaledInteger).
constexpr int FastPrecision = 4;
constexpr std::uint64_t PowerOfFive[FastPrecision + 1] = {1, 5, 25, 125, 625};

constexpr char DigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// |value| x 10^precision rounded to an integer as printf rounds it: the
// exact binary value to the nearest, ties to even. False for infinities,
// not-a-number and magnitudes beyond 64 bits.
bool scaledInteger(double value, int precision, std::uint64_t& result) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto biased = static_cast<int>(bits >> 52 & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t(1) << 52) - 1);
    if (biased == 0x7FF) return false;
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= std::uint64_t(1) << 52;
        exponent = biased - 1075;
    }
    // value x 10^p = mantissa x 5^p x 2^(exponent + p); below 2^63 since
    // the mantissa has 53 bits and 5^4 fewer than 10.
    const std::uint64_t n = mantissa * PowerOfFive[precision];
    const int shift = exponent + precision;
    if (n == 0) {
        result = 0;
    } else if (shift >= 0) {
        if (shift >= 64 || n > (UINT64_MAX >> shift)) return false;
        result = n << shift;
    } else if (shift <= -64) {
        result = 0;  // below a quarter: n < 2^63 <= half of 2^-shift
    } else {
        const int s = -shift;
        const std::uint64_t q = n >> s;
        const std::uint64_t rest = n & ((std::uint64_t(1) << s) - 1);
        const std::uint64_t half = std::uint64_t(1) << (s - 1);
        // Up when above half, or at half with q odd: ties to even.
        result = q + (rest + (q & 1) > half ? 1 : 0);
    }
    return true;
}

// Writes the decimal digits of v backwards, ending at end; returns the
// first.
char* putDigitsBackwards(char* end, std::uint64_t v) {
    while (v >= 100) {
        const auto pair = static_cast<unsigned>(v % 100) * 2;
        v /= 100;
        *--end = DigitPairs[pair + 1];
        *--end = DigitPairs[pair];
    }
    if (v >= 10) {
        const auto pair = static_cast<unsigned>(v) * 2;
        *--end = DigitPairs[pair + 1];
        *--end = DigitPairs[pair];
    } else {
        *--end = static_cast<char>('0' + v);
    }
    return end;
}

constexpr std::uint64_t PowerOfTen[20] = {1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull, 10000000ull,
                                          100000000ull, 1000000000ull, 10000000000ull, 100000000000ull,
                                          1000000000000ull, 10000000000000ull, 100000000000000ull,
                                          1000000000000000ull, 10000000000000000ull, 100000000000000000ull,
                                          1000000000000000000ull, 10000000000000000000ull};

// Decimal digits of v, 0 for 0; without branches on the value.
int digitCount(std::uint64_t v) {
    const int t = ((64 - std::countl_zero(v | 1)) * 1233) >> 12;
    return t + (v >= PowerOfTen[t] ? 1 : 0);
}

// The eight decimal digits of v (below 10^8) as characters in a word, the
// first in its lowest byte: halves, pairs and digits split in parallel.
std::uint64_t eightDigits(std::uint64_t v) {
    std::uint64_t x = v / 10000 | (v % 10000) << 32;
    const std::uint64_t hundreds = ((x * 10486) >> 20) & 0x0000007F0000007Full;
    x = hundreds | (x - hundreds * 100) << 16;
    const std::uint64_t tens = ((x * 103) >> 10) & 0x000F000F000F000Full;
    x = tens | (x - tens * 10) << 8;
    return x + 0x3030303030303030ull;
}

// The right-aligned field of "%W.Pf" for widths up to 8, the exports'
// usual, made in one word and stored at once; false when it does not fit.
bool narrowField(char* out, std::uint64_t scaled, bool negative, int width, int precision) {
    if constexpr (std::endian::native != std::endian::little) return false;
    if (width > 8 || scaled >= PowerOfTen[7]) return false;
    const int digits = std::max(digitCount(scaled), precision + 1);
    const int length = digits + (precision > 0 ? 1 : 0) + (negative ? 1 : 0);
    if (length > width) return false;
    std::uint64_t word = eightDigits(scaled);
    if (precision > 0) {
        // The integer digits move down a place, a leading zero dropping
        // out, to make room for the point.
        const std::uint64_t fraction = ~std::uint64_t(0) << (8 * (8 - precision));
        word = (word & fraction) | ((word & ~fraction) >> 8) | std::uint64_t('.') << (8 * (7 - precision));
    }
    // Blanks before the text, the sign's place included; then the sign,
    // a blank turned into a minus (' ' + 13 is '-').
    const int lead = 8 - length + (negative ? 1 : 0);
    const std::uint64_t blanks = lead > 0 ? ~std::uint64_t(0) >> (8 * (8 - lead)) : 0;
    word = (word & ~blanks) | (0x2020202020202020ull & blanks);
    word += std::uint64_t(negative ? 13 : 0) << (8 * (lead > 0 ? lead - 1 : 0));
    word >>= 8 * (8 - width);
    std::memcpy(out, &word, 8);
    out[width] = '\0';
    return true;
}

// "%*.*f" for precisions up to FastPrecision, built from the scaled
// integer straight into its place in the field; null when the value needs
// the general path.
char* fastFixed(char* out, double value, int width, int precision, bool leftAlign) {
    std::uint64_t scaled;
    if (!scaledInteger(value, precision, scaled)) return nullptr;
    const bool negative = std::signbit(value);
    if (!leftAlign && narrowField(out, scaled, negative, width, precision)) return out + width;
    const int digits = std::max(digitCount(scaled), precision + 1);
    const int length = digits + (precision > 0 ? 1 : 0) + (negative ? 1 : 0);
    const int pad = width > length ? width - length : 0;
    char* text = out;
    if (!leftAlign && pad) {
        // Blanks in front: the usual narrow field in one fixed-size store.
        constexpr int Blanks = 16;
        if (pad <= Blanks) std::memset(out, ' ', Blanks);
        else std::memset(out, ' ', static_cast<std::size_t>(pad));
        text = out + pad;
    }
    char* const end = text + length;
    char* p = end;
    for (int i = 0; i < precision; ++i) {
        *--p = static_cast<char>('0' + scaled % 10);
        scaled /= 10;
    }
    if (precision > 0) *--p = '.';
    p = putDigitsBackwards(p, scaled);
    while (p > text + (negative ? 1 : 0)) *--p = '0';
    if (negative) *text = '-';
    if (leftAlign && pad) {
        std::memset(end, ' ', static_cast<std::size_t>(pad));
        out[width] = '\0';
        return out + width;
    }
    *end = '\0';
    return end;
}

char* format(char* out, double value, int width, int precision, std::chars_format form) {
    // As printf takes them: a negative width left-aligns, a negative
    // precision means none was given.
    bool leftAlign = width < 0;
    if (leftAlign) width = width == INT_MIN ? MaxWidth : -width;
    if (width > MaxWidth) width = MaxWidth;
    if (precision < 0) precision = DefaultPrecision;
    if (precision > MaxPrecision) precision = MaxPrecision;
    if (form == std::chars_format::general && precision == 0) precision = 1;

    if (form == std::chars_format::fixed && precision <= FastPrecision)
        if (char* end = fastFixed(out, value, width, precision, leftAlign)) return end;

    auto [end, ec] = std::to_chars(out, out + NumberTextMax - 1, value, form, precision);
    if (ec != std::errc()) end = out;  // unreachable: the buffer fits every double

    auto length = static_cast<int>(end - out);
    if (length < width) {
        int pad = width - length;
        if (leftAlign) {
            std::memset(end, ' ', static_cast<std::size_t>(pad));
        } else {
            std::memmove(out + pad, out, static_cast<std::size_t>(length));
            std::memset(out, ' ', static_cast<std::size_t>(pad));
        }
        end = out + width;
    }
    *end = '\0';
    return end;
}

}  // namespace

char* formatFixed(char* out, double value, int width, int precision) {
    return format(out, value, width, precision, std::chars_format::fixed);
}

char* formatGeneral(char* out, double value, int width, int precision) {
    return format(out, value, width, precision, std::chars_format::general);
}
