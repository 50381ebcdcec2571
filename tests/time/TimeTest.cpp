// The calendar against std::chrono's over every day a recorder can store and
// at the far ends of day counts and field values; the export's piecewise time
// text against formatTime on every flag combination; and what harvex cannot
// show: the display settings, fields out of range, the export form's readers
// of typed text. The texts harvex writes are rows of tests/cases/time.case.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "support/KeptSettings.h"
#include "time/TimeText.h"

namespace {

std::vector<int> dateOf(const TimeFields& f) { return {f.year, f.month, f.day, f.weekday}; }

TimeFields dayNumber(int d) {
    TimeFields f;
    f.day = d;
    daysToDate(f);
    return f;
}

// Every fourth year is a leap year here, 2100 too: from 1 March 2100 the
// dates run a day behind the Gregorian ones.
TEST(Calendar, EveryStoredDayBothWays) {
    using namespace std::chrono;
    const sys_days epoch = 1989y / January / 1;
    const int leapDay2100 = (sys_days{2100y / March / 1} - epoch).count();
    for (int d = 0; d <= 65535; ++d) {
        TimeFields f = dayNumber(d);
        const year_month_day g{epoch + days{d > leapDay2100 ? d - 1 : d}};
        const int wd = static_cast<int>(weekday{epoch + days{d}}.c_encoding());
        const std::vector<int> want{d == leapDay2100 ? 2100 : int(g.year()), d == leapDay2100 ? 2 : int(unsigned(g.month())),
                                    d == leapDay2100 ? 29 : int(unsigned(g.day())), wd};
        ASSERT_EQ(dateOf(f), want) << d;
        dateToDays(f);
        ASSERT_EQ(f.day, d);
    }
}

TEST(Calendar, FarEnds) {
    EXPECT_EQ(dateOf(dayNumber(-1)), (std::vector<int>{1988, 12, 31, 6}));
    const auto inRange = [](TimeFields f) { return f.weekday >= 0 && f.weekday <= 6 && f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= 31; };
    for (int d : {-2, -1461, -1462, -100000, INT_MIN, INT_MAX}) EXPECT_TRUE(inRange(dayNumber(d))) << d;  // names are looked up by them
    // Past 2^31 days and 2^32 seconds the fields still give the time back.
    std::mt19937_64 random(7);
    for (std::uint64_t d : {0ull, 49709ull, 49710ull, 65536ull, 1000000ull, 3000000000ull}) {
        const CTime t = CTime::fromTicks(d * TicksPerDay + random() % TicksPerDay);
        EXPECT_EQ(fromFields(toFields(t)), t) << d;
    }
    const TimeFields last = toFields(CTime::fromTicks(~0ull));
    EXPECT_TRUE(last.month >= 1 && last.month <= 12 && last.year > 58000000);
    // Typed fields past their range carry, as the export form's date check relies on.
    EXPECT_EQ(fromFields(calendarFields(2000, 1, 32)), fromFields(calendarFields(2000, 2, 1)));
    EXPECT_EQ(fromFields(calendarFields(1999, 25, 1)), fromFields(calendarFields(2001, 1, 1)));
    EXPECT_EQ(fromFields(calendarFields(1999, 12, 31, 23, 60)), fromFields(calendarFields(2000, 1, 1)));
    (void)fromFields(calendarFields(INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN));  // UBSan watches
    // Sample times are 64-bit products; a count of units saturates, so a far time never looks near.
    const CTime base = CTime::fromTicks(5ull * TicksPerDay), later = offsetBy(base, 65535, 60000000);
    EXPECT_EQ(later.ticks(), 5ull * TicksPerDay + 65535ull * 60000000);
    EXPECT_EQ(unitsSince(offsetBy(later, 1, 59999999), base, 60000000), 65535u);
    EXPECT_EQ(unitsSince(base, later, 2500) + unitsSince(later, base, 0), 0u);
    EXPECT_EQ(unitsSince(CTime::fromTicks(~0ull), CTime(), 1), UINT32_MAX);
}

// The start of the next minute, hour, day, week (a Sunday) or month: later,
// by at most one period, on its boundary.
TEST(Calendar, NextBoundary) {
    const std::uint64_t longest[] = {0, 60ull * TicksPerSecond, 3600ull * TicksPerSecond, TicksPerDay, 7ull * TicksPerDay, 31ull * TicksPerDay};
    std::mt19937_64 random(11);
    for (int i = 0; i < 20000; ++i) {
        const CTime t = CTime::fromTicks(random() % (65536ull * TicksPerDay));
        const int interval = 1 + i % 5;
        CTime next = t;
        nextBoundary(next, interval);
        ASSERT_TRUE(next > t && (next - t).u64() <= longest[interval]) << t.ticks() << " " << interval;
        const TimeFields f = toFields(next);
        ASSERT_EQ(f.ticks + f.second + (interval >= IntervalHour ? f.minute : 0) + (interval >= IntervalDay ? f.hour : 0), 0);
        ASSERT_EQ(interval == IntervalWeek ? f.weekday : interval == IntervalMonth ? f.day - 1 : 0, 0) << t.ticks();
    }
    CTime none = CTime::fromTicks(12345678), unknown = none;
    nextBoundary(none, IntervalNone);
    nextBoundary(unknown, IntervalMonth + 1);  // the start of the day
    EXPECT_EQ(none.ticks() + unknown.ticks(), 12345678u);
}

// Exactly sized on the heap, where the sanitizer sees a write or read past the end.
std::string text(const TimeFields* f, CTime t, TimeTextFlags flags) {
    auto out = std::make_unique<char[]>(TimeTextMax);
    const char* end = f ? formatFields(*f, out.get(), flags) : formatTime(t, out.get(), flags);
    return end == out.get() + std::strlen(out.get()) ? out.get() : "<wrong end>";
}

std::unique_ptr<char[]> exact(const char* s) {
    if (!s) return nullptr;
    auto copy = std::make_unique<char[]>(std::strlen(s) + 1);
    return std::unique_ptr<char[]>(std::strcpy(copy.release(), s));
}

class TimeText : public ::testing::Test {
    testsupport::KeptSettings kept_;  // the tests set the display flags
};

// Runs of times with an export's steps (ticks, seconds, gaps of days), then far ones.
TEST_F(TimeText, CacheMatchesFormatTimeOnEveryFlagCombination) {
    std::vector<CTime> times;
    const std::uint64_t steps[] = {0, 1, 49, 50, 2500, 9950, 10000, 36000000, TicksPerDay, 37ull * TicksPerDay + 7};
    std::uint64_t t = 11ull * TicksPerDay + 86398 * TicksPerSecond;
    for (std::uint32_t i = 0, state = 7; i < 300; ++i, state = state * 1103515245u + 12345u)
        times.push_back(CTime::fromTicks(t += steps[(state >> 16) % std::size(steps)]));
    for (std::uint64_t far : {0ull, 43200ull * TicksPerSecond, 40000ull * TicksPerDay + 9999, ~0ull, ~0ull - TicksPerDay})
        times.push_back(CTime::fromTicks(far));
    for (std::uint8_t display : {0, 0x20, 0x40, 0x60}) {
        AppSettings.displayFlags = display;
        for (unsigned mask = 0; mask < 512; ++mask) {  // the eight flag bits and UseDisplayFlags
            const TimeTextFlags flags = (mask & 0xFF) | (mask & 0x100 ? UseDisplayFlags : 0);
            TimeTextCache cache(flags);
            for (CTime time : times) {
                char out[TimeTextMax];
                const char* end = cache.format(time, out);
                ASSERT_EQ(end, out + std::strlen(out));
                ASSERT_EQ(out, text(nullptr, time, flags)) << "flags 0x" << std::hex << flags << " display 0x" << int(display);
            }
        }
    }
}

// Only the clock and the date order come from the settings, as they are when a cache is made.
TEST_F(TimeText, DisplayFlags) {
    const CTime t = fromFields(calendarFields(2001, 3, 5, 14, 5, 0));
    AppSettings.displayFlags = DisplayDayFirst;
    EXPECT_EQ(text(nullptr, t, ShowDate | ShowTime | UseDisplayFlags | Time24), "05/03/2001 02:05:00 pm");
    TimeTextCache cache(ShowDate | UseDisplayFlags);
    AppSettings.displayFlags = 0xBF;  // stray bits are not flags
    EXPECT_EQ(text(nullptr, t, ShowTime | UseDisplayFlags | DayFirst | LongDate | ShowDate), "Monday March 5, 2001 14:05:00");
    char out[TimeTextMax];
    cache.format(t, out);
    EXPECT_STREQ(out, "05/03/2001 ");
}

// Fields handed in may be anything: each prints as the printf format it
// stands for would ("%02d/%02ld/%4d ", "%2.2d", "%4.2f" less its first
// character), a name outside its table as "?".
TEST_F(TimeText, OutOfRangeFieldsPrintAsPrintfWould) {
    const struct { TimeFields f; int weekday; TimeTextFlags flags; const char* expected; } cases[] = {
        {calendarFields(5, 13, -1, -3, 100, INT_MIN, 10000), 0, ShowDate | ShowTime | Time24 | ShowFraction, "13/-1/   5 -03:100:-2147483648.00"},
        {calendarFields(12345, -7, 123, 25, 0, 0, 12345), 0, ShowDate | DayFirst | ShowTime | ShowFraction, "123/-7/12345 13:00:00.23 pm"},
        {calendarFields(-5, 0, -1, -5, 9, 9, -50), 7, ShowDate | LongDate | ShowTime | ShowFraction, "? ? -1, -5 -05:09:090.01 am"},
        {calendarFields(0, 0, -2, 99, -1, 100, 123456), 0, Elapsed | ShowFraction, "-2:99:-01:1002.35"},
        {calendarFields(INT_MIN, 9, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN), 3, ShowDate | LongDate | ShowTime | ShowFraction | DateAfter,
         "-2147483648:-2147483648:-2147483648214748.36 am Wednesday September -2147483648, -2147483648 "},  // the longest
    };
    for (auto c : cases) {
        c.f.weekday = c.weekday;
        EXPECT_EQ(text(&c.f, CTime(), c.flags), c.expected);
    }
}

// Fixed positions, two characters a number, the low four bits of each a
// digit, taken as a signed byte; a short text reads as padded with blanks.
TEST_F(TimeText, ReadsTypedTimesAndDates) {
    const struct { const char* time; const char* date; std::uint8_t display; std::vector<int> fields; } cases[] = {
        {"07:08:09", "02/03/2004", DisplayDayFirst, {7, 8, 9, 2, 3, 2004}}, {"1a:00:00", "02/03/2004", DisplayTime24, {11, 0, 0, 3, 2, 2004}},
        {"??:00:00", "01/01/04", 0, {-91, 0, 0, 1, 1, 400}}, {"7 : 8", "12", 0, {70, 8, 0, 0, 12, 0}}, {"", nullptr, DisplayDayFirst, {0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        AppSettings.displayFlags = c.display;
        TimeFields f;
        f.ticks = 77;
        parseDateTime(exact(c.time).get(), exact(c.date).get(), f);
        EXPECT_EQ((std::vector<int>{f.hour, f.minute, f.second, f.day, f.month, f.year, f.ticks}),
                  (std::vector<int>{c.fields[0], c.fields[1], c.fields[2], c.fields[3], c.fields[4], c.fields[5], 0})) << c.time;
    }
}

}  // namespace
