#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "data/UNITS.h"
#include "time/NumberText.h"
#include "support/RecordingNotice.h"

namespace {

class Units : public ::testing::Test {
protected:
    std::string text(const UNITS& units, float reading, int width = 8, bool keepExponent = false) {
        char out[NumberTextMax];
        char* end = units.format(out, reading, width, keepExponent);
        EXPECT_EQ(*end, '\0');
        return std::string(out, end);
    }

    testsupport::RecordingNotice notice;
};

constexpr std::uint8_t Mid = UNITS::MidScale;
constexpr std::uint8_t Log = UNITS::Logarithmic;

TEST_F(Units, RawCountsConvertBySegment) {
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
        UNITS units;
        units.set(c.low, c.middle, c.high, c.decimals, c.flags);
        EXPECT_EQ(units.toEngineering(c.raw), c.reading);
    }
}

TEST_F(Units, BreakCountsFollowTypeAndMidScale) {
    const struct { std::uint8_t flags; std::uint16_t break1, break2, fullScale; } cases[] = {
        {0, 32767, 32767, 65535}, {1, 32767, 32767, 65535}, {2, 32767, 32767, 65535},
        {3, 120, 120, 240},       {1 | Mid, 16383, 49150, 65535}, {3 | Mid, 60, 180, 240},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.flags));
        UNITS units;
        units.set(0, 75, 100, 0, c.flags);
        EXPECT_EQ(units.break1, c.break1);
        EXPECT_EQ(units.break2, c.break2);
        EXPECT_EQ(units.fullScale, c.fullScale);
        EXPECT_EQ(units.point1, (c.flags & Mid) ? 25.0f : 75.0f);
        EXPECT_EQ(units.point2, 75.0f);
    }
}

TEST_F(Units, EqualEndsWidenAndDecimalsAreClamped) {
    for (float v : {5.0f, 50.0f, -3.0f}) {
        UNITS units;
        units.set(v, 123.0f, v, 0, 1);
        EXPECT_EQ(units.low, v - 10);
        EXPECT_EQ(units.high, v + 10);
        EXPECT_EQ(units.point2, v);
        EXPECT_EQ(units.point1, v);
    }
    const struct { int given; std::uint8_t kept; } cases[] = {{0, 0}, {4, 4}, {5, 4}, {15, 4}, {-1, 0}};
    for (const auto& c : cases) {
        UNITS units;
        units.set(0, 50, 100, c.given, 0);
        EXPECT_EQ(units.decimals, c.kept) << c.given;
        if (c.given == 15) {
            EXPECT_EQ(text(units, units.toEngineering(-12345)), " -1.2345");
        }
    }
}

TEST_F(Units, ReadingsFormatFixedOrGeneral) {
    const struct {
        int decimals;
        std::uint8_t flags;
        float reading;
        int width;
        bool keepExponent;
        const char* expected;
    } cases[] = {
        {2, 0, -12.34f, 8, false, "  -12.34"},
        {2, 1, 123456789.0f, 8, false, " 1.2e+08"},
        {2, 1, 99999992.0f, 8, false, "99999992.00"},  // just below 1e8: fixed, overflowing the field
        {2, 1, 0.0005f, 8, false, "  0.0005"},
        {4, 1, 0.001f, 8, false, "  0.0010"},
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
        UNITS units;
        units.set(0, 50, 100, c.decimals, c.flags);
        EXPECT_EQ(text(units, c.reading, c.width, c.keepExponent), c.expected);
    }
    EXPECT_TRUE(notice.messages.empty());
}

TEST_F(Units, LogarithmicExponentsAboveLimitAreClampedWithOneMessage) {
    const struct {
        float low, middle, high;
        int messages;
    } cases[] = {{0, 100, 400, 1}, {350, 500, 400, 1}, {0, 2, 300, 0}, {-500, 0, 4, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.low << " " << c.middle << " " << c.high);
        notice.clear();
        UNITS units;
        units.set(c.low, c.middle, c.high, 2, 1 | Log);
        EXPECT_EQ(units.low, std::min(c.low, 300.0f));
        EXPECT_EQ(units.point2, std::min(c.middle, 300.0f));
        EXPECT_EQ(units.high, std::min(c.high, 300.0f));
        EXPECT_EQ(notice.messages, std::vector(c.messages, testsupport::errorBox("Value too large to use as an exponent.")));
        units.applyFlags(3 | Log);  // a later block inheriting the scale
        EXPECT_EQ(int(notice.messages.size()), c.messages);
    }
}

TEST_F(Units, ZeroLengthSegmentNeverDivides) {
    UNITS units;
    units.set(7, 8, 9, 0, 3);
    units.break1 = 0;
    units.break2 = 0;
    units.fullScale = 0;
    for (double raw : {0.0, 1.0, 255.0}) EXPECT_FALSE(std::isnan(units.toEngineering(raw))) << raw;
}

}  // namespace
