// The time texts against texts written by hand; the cache that makes them
// piecewise against formatTime on every flag combination over a run of
// times; the fixed-position readers of typed times and dates.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "support/KeptSettings.h"
#include "support/TimeFieldsOf.h"
#include "time/TimeText.h"

namespace {

using testsupport::date;

CTime elapsed(std::uint64_t days, int hour, int minute, int second, int ticks) {
    return CTime::fromTicks(days * TicksPerDay + ((hour * 60ull + minute) * 60 + second) * TicksPerSecond + ticks);
}

std::string text(CTime t, TimeTextFlags flags) {
    char out[TimeTextMax];
    char* end = formatTime(t, out, flags);
    EXPECT_EQ(end, out + std::strlen(out));
    return out;
}

// An exactly sized heap copy: reading past the terminator would be caught
// by the sanitizer.
std::unique_ptr<char[]> exact(const char* s) {
    if (!s) return nullptr;
    auto copy = std::make_unique<char[]>(std::strlen(s) + 1);
    std::strcpy(copy.get(), s);
    return copy;
}

class TimeText : public ::testing::Test {
    testsupport::KeptSettings kept_;  // the tests set the display flags
};

TEST_F(TimeText, Forms) {
    const CTime newYearsEve = fromFields(date(31, 12, 1999, 23, 59, 59, 5000));
    const CTime march5 = fromFields(date(5, 3, 2001, 14, 5, 0));
    struct Case { CTime t; TimeTextFlags flags; const char* expected; };
    const Case cases[] = {
        {newYearsEve, ShowFraction | ShowTime | Time24 | ShowDate, "12/31/1999 23:59:59.50"},
        {newYearsEve, ShowFraction | ShowTime | ShowDate, "12/31/1999 11:59:59.50 pm"},
        {newYearsEve, ShowFraction | ShowTime | ShowDate | DayFirst, "31/12/1999 11:59:59.50 pm"},
        {fromFields(date(1, 1, 2000, 0, 0, 0)), ShowTime, "12:00:00 am"},
        {fromFields(date(1, 1, 2000, 12, 0, 0)), ShowTime, "12:00:00 pm"},
        {fromFields(date(1, 1, 2000, 13, 1, 2)), ShowTime, "01:01:02 pm"},
        {fromFields(date(1, 1, 2000, 11, 59, 59)), ShowTime, "11:59:59 am"},
        {fromFields(date(1, 1, 2000, 0, 30, 0)), ShowTime | ShowFraction, "12:30:00.00 am"},
        {elapsed(1, 2, 3, 4, 2500), Elapsed | ShowFraction | ShowTime, "1:02:03:04.25"},
        {elapsed(123, 0, 0, 0, 0), Elapsed | ShowFraction | ShowTime | ShowDate | LongDate, "123:00:00:00.00"},
        {CTime(), Elapsed | ShowFraction | ShowTime, "0:00:00:00.00"},
        {CTime::fromTicks(~std::uint64_t{0}), Elapsed | ShowFraction, "21350398233:11:02:35.16"},
        {march5, ShowDate | DayFirst, "05/03/2001 "},
        {march5, ShowDate | DayFirst | LongDate, "Monday 5 March, 2001 "},
        {march5, ShowDate | LongDate, "Monday March 5, 2001 "},
        {march5, ShowDate, "03/05/2001 "},
        {march5, ShowTime | ShowDate | DateAfter | Time24, "14:05:00 03/05/2001 "},
        {fromFields(date(27, 9, 2000, 12, 0, 0)), ShowTime | ShowFraction | ShowDate | LongDate | DateAfter,
         "12:00:00.00 pm Wednesday September 27, 2000 "},
    };
    for (const Case& c : cases) EXPECT_EQ(text(c.t, c.flags), c.expected) << "flags " << c.flags;
}

TEST_F(TimeText, FractionTiesRoundUp) {
    // Ticks are exact decimals: every tie rounds up, whichever side of it
    // the nearest double lies. From 0.995 s the fraction shows .00 and the
    // second stays.
    struct Case { int ticks; const char* expected; };
    const Case cases[] = {{0, "00:00:00.00"},   {49, "00:00:00.00"},  {50, "00:00:00.01"},
                          {150, "00:00:00.02"}, {450, "00:00:00.05"}, {2675, "00:00:00.27"},
                          {9949, "00:00:00.99"}, {9950, "00:00:00.00"}, {9999, "00:00:00.00"}};
    for (const Case& c : cases) EXPECT_EQ(text(CTime::fromTicks(c.ticks), ShowTime | Time24 | ShowFraction), c.expected);
}

TEST_F(TimeText, DisplayFlagsReplaceOnlyClockAndDateOrder) {
    const CTime t = fromFields(date(5, 3, 2001, 14, 5, 0));
    struct Case { std::uint8_t display; TimeTextFlags flags; const char* expected; };
    const Case cases[] = {
        {0x20, ShowDate | UseDisplayFlags, "03/05/2001 "},
        {0x40, ShowDate | UseDisplayFlags | Time24, "05/03/2001 "},
        {0x00, ShowDate | UseDisplayFlags | DayFirst, "03/05/2001 "},
        {0x00, ShowTime | UseDisplayFlags | Time24, "02:05:00 pm"},
        {0x20, ShowTime | UseDisplayFlags, "14:05:00"},
        {0xFF, ShowTime | UseDisplayFlags, "14:05:00"},  // stray setting bits are not flags
    };
    for (const Case& c : cases) {
        AppSettings.displayFlags = c.display;
        EXPECT_EQ(text(t, c.flags), c.expected) << "display " << int(c.display);
    }
}

// Fields handed in directly may be anything. Each prints as the printf
// format it stands for would print it ("%02d/%02ld/%4d ", "%2.2d", "%4.2f"
// without its first character, ...), a name outside its table as "?", and
// the longest fits a buffer of exactly TimeTextMax on the heap, where an
// overrun shows up under the sanitizer.
TEST_F(TimeText, OutOfRangeFieldsPrintAsPrintfWould) {
    struct Case { TimeFields f; int weekday; TimeTextFlags flags; const char* expected; };
    const Case cases[] = {
        {date(-1, 13, 5, -3, 100, INT_MIN, 10000), 0, ShowDate | ShowTime | Time24 | ShowFraction, "13/-1/   5 -03:100:-2147483648.00"},
        {date(123, -7, 12345, 25, 0, 0, 12345), 0, ShowDate | DayFirst | ShowTime | ShowFraction, "123/-7/12345 13:00:00.23 pm"},
        {date(-1, 0, -5, -5, 9, 9, -50), 7, ShowDate | LongDate | ShowTime | ShowFraction, "? ? -1, -5 -05:09:090.01 am"},
        {date(-1, 13, 2000, 24), -1, ShowDate | LongDate | DayFirst | DateAfter | ShowTime, "12:00:00 pm ? -1 ?, 2000 "},
        {date(-2, 0, 0, 99, -1, 100, 123456), 0, Elapsed | ShowFraction, "-2:99:-01:1002.35"},
        {date(INT_MIN, 9, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN), 3, ShowDate | LongDate | ShowTime | ShowFraction | DateAfter,
         "-2147483648:-2147483648:-2147483648214748.36 am Wednesday September -2147483648, -2147483648 "},
    };
    for (const Case& c : cases) {
        TimeFields f = c.f;
        f.weekday = c.weekday;
        auto out = std::make_unique<char[]>(TimeTextMax);
        char* end = formatFields(f, out.get(), c.flags);
        EXPECT_EQ(std::string(out.get()), c.expected);
        EXPECT_EQ(end, out.get() + std::strlen(out.get()));
    }
}

using TimeParse = TimeText;  // the display flags put back after each test

TEST_F(TimeParse, ReadsFixedPositions) {
    struct Case { const char* text; int hour, minute, second; };
    const Case cases[] = {
        {"07:08:09", 7, 8, 9},
        {"23:59:59", 23, 59, 59},
        {"1a:00:00", 11, 0, 0},     // low four bits of the letter
        {"??:00:00", -91, 0, 0},    // 165 taken as a signed byte
        {"7 : 8", 70, 8, 0},       // blanks count as 0, missing characters as blanks
        {"12", 12, 0, 0},
        {"", 0, 0, 0},
        {nullptr, 0, 0, 0},
    };
    for (const Case& c : cases) {
        TimeFields f;
        f.ticks = 77;
        parseTimeText(exact(c.text).get(), f);
        EXPECT_EQ((std::vector<int>{f.hour, f.minute, f.second, f.ticks}), (std::vector<int>{c.hour, c.minute, c.second, 0}))
            << (c.text ? c.text : "null");
    }
}

TEST_F(TimeParse, DateOrderFollowsDisplayFlags) {
    struct Case { const char* text; std::uint8_t display; int day, month, year; };
    const Case cases[] = {
        {"02/03/2004", DisplayDayFirst, 2, 3, 2004},
        {"02/03/2004", DisplayTime24, 3, 2, 2004},
        {"31/12/2004 ", DisplayDayFirst | DisplayTime24, 31, 12, 2004},
        {"01/01/04", 0, 1, 1, 400},
        {"12", 0, 0, 12, 0},
        {"", DisplayDayFirst, 0, 0, 0},
    };
    for (const Case& c : cases) {
        AppSettings.displayFlags = c.display;
        TimeFields f;
        parseDateText(exact(c.text).get(), f);
        EXPECT_EQ((std::vector<int>{f.day, f.month, f.year}), (std::vector<int>{c.day, c.month, c.year})) << c.text;
    }
}

TEST_F(TimeParse, TextRoundTripsThroughTheFormatter) {
    for (std::uint8_t display : {std::uint8_t(0x20), std::uint8_t(0x60)}) {
        AppSettings.displayFlags = display;
        const CTime t = fromFields(date(29, 2, 2004, 17, 45, 12));
        char timeText[TimeTextMax], dateText[TimeTextMax];
        formatTime(t, timeText, ShowTime | Time24);
        formatTime(t, dateText, ShowDate | UseDisplayFlags);
        TimeFields f;
        parseDateTime(timeText, dateText, f);
        EXPECT_EQ(fromFields(f), t) << dateText;
    }
}

std::string cached(TimeTextCache& cache, CTime t) {
    char out[TimeTextMax];
    char* end = cache.format(t, out);
    if (end != out + std::strlen(out)) return "<bad end>";
    return out;
}

// Times in order with the steps an export makes (ticks, seconds, a rate's
// interval, gaps of days), then back to the start and a few far ones.
std::vector<CTime> run() {
    std::vector<CTime> times;
    std::uint64_t t = 11ull * TicksPerDay + 23ull * 3600 * TicksPerSecond + 59 * 60 * TicksPerSecond + 58 * TicksPerSecond;
    const std::uint64_t steps[] = {0, 1, 49, 50, 2500, 9950, 10000, 50000, 3600ull * 10000, TicksPerDay, 37ull * TicksPerDay + 7};
    std::uint32_t state = 7;
    for (int i = 0; i < 400; ++i) {
        state = state * 1103515245u + 12345u;
        t += steps[(state >> 16) % (sizeof steps / sizeof steps[0])];
        times.push_back(CTime::fromTicks(t));
    }
    times.push_back(CTime::fromTicks(0));
    times.push_back(CTime::fromTicks(12 * 3600ull * TicksPerSecond));
    times.push_back(CTime::fromTicks(TicksPerDay * 40000ull + 9999));
    times.push_back(CTime::fromTicks(~0ull));
    times.push_back(CTime::fromTicks(~0ull - TicksPerDay));
    return times;
}

using TimeTextCacheTest = TimeText;

TEST_F(TimeTextCacheTest, EveryFlagCombinationMatchesFormatTimeOverARun) {
    const auto times = run();
    for (std::uint8_t display : {std::uint8_t(0), DisplayTime24, DisplayDayFirst, std::uint8_t(DisplayTime24 | DisplayDayFirst)}) {
        AppSettings.displayFlags = display;
        for (unsigned mask = 0; mask < 512; ++mask) {  // the eight flag bits and UseDisplayFlags
            const TimeTextFlags flags = (mask & 0xFF) | (mask & 0x100 ? UseDisplayFlags : 0);
            TimeTextCache cache(flags);
            for (CTime t : times)
                ASSERT_EQ(cached(cache, t), text(t, flags))
                    << "flags 0x" << std::hex << flags << " display 0x" << int(display) << " ticks " << std::dec << t.ticks();
        }
    }
}

// The display flags are taken when the cache is made, as an export takes
// them once for all its lines.
TEST_F(TimeTextCacheTest, DisplayFlagsAreTakenWhenMade) {
    AppSettings.displayFlags = DisplayTime24;
    TimeTextCache cache(ShowTime | ShowDate | UseDisplayFlags);
    const CTime t = CTime::fromTicks(3ull * TicksPerDay + 15ull * 3600 * TicksPerSecond);
    const std::string made = text(t, ShowTime | ShowDate | UseDisplayFlags);
    AppSettings.displayFlags = DisplayDayFirst;
    EXPECT_EQ(cached(cache, t), made);
    EXPECT_NE(cached(cache, t), text(t, ShowTime | ShowDate | UseDisplayFlags));
}

}  // namespace
