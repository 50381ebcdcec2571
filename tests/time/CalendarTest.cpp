#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "support/TimeFieldsOf.h"
#include "time/CTime.h"

namespace {

using testsupport::date;

// Both directions, weekdays included, on every day from 1989 to 2100.
TEST(Calendar, AgreesWithGregorianUntil2100) {
    using namespace std::chrono;
    const sys_days epoch = 1989y / January / 1;
    const int lastDay = (sys_days{2100y / February / 28} - epoch).count();
    for (int d = 0; d <= lastDay; ++d) {
        TimeFields f;
        f.day = d;
        daysToDate(f);
        const year_month_day ymd{epoch + days{d}};
        const std::vector<int> expected{int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())),
                                        int(weekday{epoch + days{d}}.c_encoding())};
        ASSERT_EQ((std::vector<int>{f.year, f.month, f.day, f.weekday}), expected) << d;
        dateToDays(f);
        ASSERT_EQ(f.day, d);
    }
}

TEST(Calendar, OutOfRangeFieldsCarry) {
    struct Case { TimeFields typed, meant; };
    const Case cases[] = {
        {date(32, 1, 2000), date(1, 2, 2000)},
        {date(1, 13, 1999), date(1, 1, 2000)},
        {date(30, 2, 2001), date(2, 3, 2001)},
        {date(1, 25, 1999), date(1, 1, 2001)},
    };
    for (const Case& c : cases) {
        TimeFields a = c.typed, b = c.meant;
        dateToDays(a);
        dateToDays(b);
        EXPECT_EQ(a.day, b.day) << c.typed.day << "/" << c.typed.month << "/" << c.typed.year;
    }
    EXPECT_EQ(fromFields(date(31, 12, 1999, 24)), fromFields(date(1, 1, 2000)));
    EXPECT_EQ(fromFields(date(1, 1, 2000, 10, 60)), fromFields(date(1, 1, 2000, 11)));
}

TEST(Calendar, NegativeDayCountsStayInRange) {
    const int counts[] = {-1, -2, -1461, -1462, -100000, INT_MIN, INT_MAX};
    for (int d : counts) {
        TimeFields f;
        f.day = d;
        daysToDate(f);
        EXPECT_TRUE(f.weekday >= 0 && f.weekday <= 6 && f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= 31)
            << d << ": day " << f.day << " month " << f.month << " weekday " << f.weekday;
    }
    TimeFields eve;
    eve.day = -1;
    daysToDate(eve);
    EXPECT_EQ((std::vector<int>{eve.day, eve.month, eve.year, eve.weekday}), (std::vector<int>{31, 12, 1988, 6}));
    TimeFields early = date(15, 0, 1900);  // month 0, before the epoch: must just not misbehave
    dateToDays(early);
    TimeFields extreme = date(INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN);
    (void)fromFields(extreme);
}

TEST(Calendar, FieldsRoundTripPastDay49710) {
    const std::uint64_t dayCounts[] = {0, 49709, 49710, 49711, 65535, 65536, 100000, 1000000, 20000000};
    std::mt19937_64 random(7);
    for (std::uint64_t d : dayCounts) {
        CTime t = CTime::fromTicks(d * TicksPerDay + random() % TicksPerDay);
        TimeFields f = toFields(t);
        EXPECT_EQ(fromFields(f), t) << "day count " << d;
    }
    // 2100 is a leap year in this calendar, so day 49710 is 6 February 2125.
    TimeFields later = date(6, 2, 2125);
    dateToDays(later);
    EXPECT_EQ(later.day, 49710);
    EXPECT_EQ(fromFields(date(6, 2, 2125, 23)).ticks(), 49710ull * TicksPerDay + 23ull * 3600 * TicksPerSecond);
}

TEST(Calendar, ToFieldsSplitsTicks) {
    TimeFields f = toFields(fromFields(date(31, 12, 1999, 23, 59, 59, 5000)));
    EXPECT_EQ((std::vector<int>{f.hour, f.minute, f.second, f.ticks, f.weekday}), (std::vector<int>{23, 59, 59, 5000, 5}));
    TimeFields e = toElapsedFields(CTime::fromTicks(TicksPerDay * 3 + 36610001));
    EXPECT_EQ((std::vector<int>{e.day, e.hour, e.minute, e.second, e.ticks}), (std::vector<int>{3, 1, 1, 1, 1}));
    // The largest time still splits into calendar fields.
    TimeFields last = toFields(CTime::fromTicks(~std::uint64_t{0}));
    EXPECT_GE(last.month, 1);
    EXPECT_LE(last.month, 12);
    EXPECT_GT(last.year, 58000000);
}

TEST(StoredTime, ConvertsBothWays) {
    struct Case { StoredTime stored; std::uint64_t ticks; };
    const Case cases[] = {
        {{-10, -60, -60, -24, 0}, 0},
        {{-5, -59, -58, -23, 1}, 901215000},
        {{-1, -1, -1, -1, 65535}, 65535ull * TicksPerDay + 86399ull * TicksPerSecond + 9000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fromStored(c.stored).ticks(), c.ticks);
        const auto fields = [](const StoredTime& s) { return std::vector<int>{s.tenths, s.second, s.minute, s.hour, s.day}; };
        EXPECT_EQ(fields(toStored(CTime::fromTicks(c.ticks))), fields(c.stored)) << c.ticks;
    }
    EXPECT_EQ(toStored(CTime::fromTicks(9999)).tenths, -1);
    EXPECT_EQ(toStored(CTime::fromTicks(999)).tenths, -10);
}

TEST(TimeArithmetic, OffsetAndUnitsSince) {
    CTime base = CTime::fromTicks(5ull * TicksPerDay);
    CTime later = offsetBy(base, 65535, 60000000);
    EXPECT_EQ(later.ticks(), 5ull * TicksPerDay + 65535ull * 60000000);
    EXPECT_EQ(unitsSince(later, base, 60000000), 65535u);
    EXPECT_EQ(unitsSince(offsetBy(later, 1, 59999999), base, 60000000), 65535u);
    EXPECT_EQ(unitsSince(base, later, 2500), 0u);
    EXPECT_EQ(unitsSince(CTime::fromTicks(~std::uint64_t{0}), CTime(), 1), UINT32_MAX);
    EXPECT_EQ(unitsSince(later, base, 0), 0u);
}

TEST(NextBoundary, StartsThePeriodAfterTheOneHoldingTheTime) {
    struct Case { int interval; TimeFields from, to; };
    const Case cases[] = {
        {IntervalNone, date(5, 3, 2001, 14, 5, 7, 1), date(5, 3, 2001, 14, 5, 7, 1)},
        {IntervalMinute, date(5, 3, 2001, 10, 20, 30, 5000), date(5, 3, 2001, 10, 21)},
        {IntervalMinute, date(31, 12, 1999, 23, 59, 59), date(1, 1, 2000)},
        {IntervalHour, date(5, 3, 2001, 10), date(5, 3, 2001, 11)},
        {IntervalHour, date(28, 2, 2001, 23, 30), date(1, 3, 2001)},
        {IntervalDay, date(28, 2, 2000, 12), date(29, 2, 2000)},
        {IntervalDay, date(31, 12, 1999), date(1, 1, 2000)},
        {IntervalWeek, date(8, 1, 2000, 13, 45), date(9, 1, 2000)},
        {IntervalWeek, date(9, 1, 2000), date(16, 1, 2000)},
        {IntervalWeek, date(29, 12, 1999, 8), date(2, 1, 2000)},
        {IntervalMonth, date(31, 12, 1999, 23, 59), date(1, 1, 2000)},
        {IntervalMonth, date(15, 2, 2000, 6), date(1, 3, 2000)},
        {IntervalMonth, date(1, 1, 2000), date(1, 2, 2000)},
        {6, date(5, 3, 2001, 14, 5), date(5, 3, 2001)},  // unknown codes: start of the day
    };
    for (const Case& c : cases) {
        CTime t = fromFields(c.from);
        nextBoundary(t, c.interval);
        EXPECT_EQ(t, fromFields(c.to)) << "interval " << c.interval << " from day " << c.from.day;
    }
}

TEST(NextBoundary, AlwaysMovesForwardByAtMostOnePeriod) {
    const std::uint64_t longest[] = {0, 60ull * TicksPerSecond, 3600ull * TicksPerSecond, TicksPerDay, 7ull * TicksPerDay,
                                     31ull * TicksPerDay};
    std::mt19937_64 random(11);
    for (int i = 0; i < 20000; ++i) {
        CTime t = CTime::fromTicks(random() % (49000ull * TicksPerDay));
        int interval = 1 + i % 5;
        CTime next = t;
        nextBoundary(next, interval);
        ASSERT_GT(next, t);
        ASSERT_LE((next - t).u64(), longest[interval]);
        TimeFields f = toFields(next);
        ASSERT_EQ(f.ticks + f.second, 0);
        if (interval >= IntervalHour) { ASSERT_EQ(f.minute, 0); }
        if (interval >= IntervalDay) { ASSERT_EQ(f.hour, 0); }
        if (interval == IntervalWeek) { ASSERT_EQ(f.weekday, 0); }
        if (interval == IntervalMonth) { ASSERT_EQ(f.day, 1); }
    }
}

}  // namespace
