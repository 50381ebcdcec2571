#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "data/UNITS.h"
#include "support/RecordingNotice.h"
#include "time/NumberText.h"

namespace {

constexpr std::uint8_t Mid = UNITS::MidScale;
constexpr std::uint8_t Log = UNITS::Logarithmic;

UNITS scale(float low, float middle, float high, int decimals, std::uint8_t flags) {
    UNITS units;
    units.set(low, middle, high, decimals, flags);
    return units;
}

TEST(Units, RawCountsConvertBySegment) {
    const struct { float low, middle, high; int decimals; std::uint8_t flags; double raw; float reading; } cases[] = {
        {0, 50, 100, 2, 1, 0, 0.0f},           {0, 50, 100, 2, 1, 32767, 50.0f},
        {0, 50, 100, 2, 1, 65535, 100.0f},     {0, 50, 100, 2, 1, 49151, 75.0f},
        {0, 50, 100, 2, 1, 16383.5, 25.0f},    {0, 120, 240, 0, 3, 240, 240.0f},
        {0, 120, 240, 0, 3, 250, 250.0f},      {0, 120, 240, 0, 3, 60, 60.0f},
        {0, 75, 100, 0, 1 | Mid, 16383, 25.0f}, {0, 75, 100, 0, 1 | Mid, 49150, 75.0f},
        {0, 75, 100, 0, 1 | Mid, 65535, 100.0f}, {0, 75, 100, 0, 1 | Mid, 32766.5, 50.0f},
        {0, 75, 100, 0, 3 | Mid, 60, 25.0f},   {0, 75, 100, 0, 3 | Mid, 210, 87.5f},
        {0, 0, 0, 2, 0, -1234, -12.34f},       {0, 0, 0, 4, 0, 12345, 1.2345f},
        {0, 0, 0, 15, 0, 12345, 1.2345f},      {0, 0, 0, -3, 0, 12345, 12345.0f},
        {-10, 0, 10, 1, 2, 3.25, 3.25f},       {1, 2, 3, 0, 1 | Log, 65535, 3.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "flags " << int(c.flags) << " raw " << c.raw);
        EXPECT_EQ(scale(c.low, c.middle, c.high, c.decimals, c.flags).toEngineering(c.raw), c.reading);
    }
}

// The export converts whole counts with a multiplication where the scale
// divides; every count a sample can hold must give the same reading.
TEST(Units, EveryWholeCountConvertsAsTheDivisionDoes) {
    for (std::uint8_t flags : {0, 1, 2, 3, 1 | Mid, 3 | Mid, 1 | Log}) {
        for (int places = 0; places <= UNITS::MaxDecimals; ++places) {
            UNITS u = scale(-12.5f, 3.0f, 87.25f, places, 1);
            u.applyFlags(flags);  // as a block of another type or options applies it
            for (std::int32_t raw = -32768; raw <= 65535; ++raw) {
                ASSERT_EQ(std::bit_cast<std::uint32_t>(u.wholeToEngineering(raw)),
                          std::bit_cast<std::uint32_t>(u.toEngineering(static_cast<double>(raw))))
                    << "flags " << int(flags) << " places " << places << " raw " << raw;
            }
        }
    }
}

TEST(Units, ReadingsFormatFixedOrGeneral) {
    testsupport::RecordingNotice notice;
    const struct { int decimals; std::uint8_t flags; float reading; int width; bool keepExponent; const char* expected; } cases[] = {
        {2, 0, -12.34f, 8, false, "  -12.34"},
        {2, 1, 123456789.0f, 8, false, " 1.2e+08"},
        {2, 1, 99999992.0f, 8, false, "99999992.00"},  // just below 1e8: fixed, overflowing the field
        {2, 1, 0.0005f, 8, false, "  0.0005"},
        {4, 1, 0.001f, 8, false, "  0.0010"},
        {15, 1, -1.2345f, 8, false, " -1.2345"},  // places beyond 4 format as 4
        {2, 1, 0.001f, 8, false, "    0.00"},
        {2, 1, -0.0005f, 9, false, "  -0.0005"},
        {1, 1, 0.0f, 8, false, "     0.0"},
        {0, 1, 42.0f, 6, false, "    42"},
        {2, 1 | Log, 2.0f, 8, false, "   1e+02"},  // 100 in two significant digits
        {2, 1 | Log, 2.0f, 8, true, "       2"},
        {2, 1 | Log, -2.0f, 9, false, "     0.01"},
        {2, 1 | Log, 0.0f, 8, false, "       1"},
        {2, 1 | Log, 0.0f, 8, true, "    0.00"},  // zero is always fixed
        {2, 1 | Log, 310.0f, 8, false, "     inf"},
        {2, 1 | Log, -400.0f, 8, false, "    0.00"},
        {2, 1, 123456789.0f, 2, false, " 1e+08"},  // width below the field's range: 6
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.reading << " width " << c.width);
        char out[NumberTextMax];
        char* end = scale(0, 50, 100, c.decimals, c.flags).format(out, c.reading, c.width, c.keepExponent);
        EXPECT_EQ(*end, '\0');
        EXPECT_EQ(std::string(out, end), c.expected);
    }
    EXPECT_TRUE(notice.messages.empty());
}

TEST(Units, LogarithmicExponentsAboveLimitAreClampedWithOneMessage) {
    const struct { float low, middle, high; int messages; } cases[] = {
        {0, 100, 400, 1}, {350, 500, 400, 1}, {0, 2, 300, 0}, {-500, 0, 4, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.low << " " << c.middle << " " << c.high);
        testsupport::RecordingNotice notice;
        UNITS units = scale(c.low, c.middle, c.high, 2, 1 | Log);
        EXPECT_EQ(units.low, std::min(c.low, 300.0f));
        EXPECT_EQ(units.point2, std::min(c.middle, 300.0f));
        EXPECT_EQ(units.high, std::min(c.high, 300.0f));
        EXPECT_EQ(notice.messages, std::vector(c.messages, testsupport::errorBox("Value too large to use as an exponent.")));
        units.applyFlags(3 | Log);  // a later block inheriting the scale
        EXPECT_EQ(int(notice.messages.size()), c.messages);
    }
}

}  // namespace
