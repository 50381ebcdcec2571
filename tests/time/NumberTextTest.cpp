#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "time/NumberText.h"

namespace {

std::string format(double value, int width, int precision, char form) {
    char out[NumberTextMax];
    char* end = form == 'f' ? formatFixed(out, value, width, precision) : formatGeneral(out, value, width, precision);
    EXPECT_EQ(end, out + std::strlen(out));
    return out;
}

// What glibc's printf gives for these, in the C locale: the general and
// long fixed forms, which the equivalence test holds only natively. One
// case per way the general form goes: either side of its exponent
// thresholds, a carry into the exponent, precision 0 (taken as 1), the
// precision's own threshold, three-digit exponents, subnormals, signed
// zero, infinity and not-a-number.
struct Expected { double value; int width, precision; char form; const char* text; };
const Expected printfAnswers[] = {
    {0x1.7d784p+26, 8, 2, 'g', "   1e+08"},
    {0x1.a36e2eb1c432dp-14, 8, 2, 'g', "  0.0001"},
    {0x1.4f8b588e368f1p-17, 8, 2, 'g', "   1e-05"},
    {0x1.8ffae147ae148p+6, 8, 2, 'g', "   1e+02"},
    {-0x1.fffffffffffffp+1023, 10, 4, 'g', "-1.798e+308"},
    {0x0.0000000000001p-1022, 8, 2, 'g', "4.9e-324"},
    {-INFINITY, 8, 2, 'g', "    -inf"},
    {-NAN, 8, 2, 'g', "    -nan"},
    {-0x0p+0, 8, 2, 'g', "      -0"},
    {0x1.f3cp+9, 0, 0, 'g', "1e+03"},
    {0x1.3p+3, 0, 0, 'g', "1e+01"},
    {0x1.e24p+16, 0, 6, 'g', "123456"},
    {0x1.2d687p+20, 0, 6, 'g', "1.23457e+06"},
    {0x1.999999999999ap-4, 0, 20, 'f', "0.10000000000000000555"},
    {0x1.5555555555555p-2, 0, 20, 'g', "0.33333333333333331483"},
};

TEST(NumberText, MatchesRecordedPrintfAnswers) {
    for (const Expected& e : printfAnswers) {
        EXPECT_EQ(format(e.value, e.width, e.precision, e.form), e.text)
            << "%" << e.width << "." << e.precision << e.form << " of " << e.value;
    }
}

TEST(NumberText, OversizedRequestsStayInTheBuffer) {
    const double values[] = {DBL_MAX, -DBL_MAX, 4.9406564584124654e-324, -NAN};
    for (double v : values) {
        for (char form : {'f', 'g'}) {
            for (int width : {-1000, 99, 1000, INT32_MAX}) {
                std::string text = format(v, width, 1000, form);
                EXPECT_LT(text.size(), NumberTextMax);
            }
        }
    }
    EXPECT_EQ(format(2.5, -6, 1, 'f'), "2.5   ");
    EXPECT_EQ(format(2.5, 0, -1, 'f'), "2.500000");
}

}  // namespace
