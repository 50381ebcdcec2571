#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "app/AppSettings.h"
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

class TimeText : public ::testing::Test {
protected:
    void SetUp() override { saved_ = AppSettings.displayFlags; }
    void TearDown() override { AppSettings.displayFlags = saved_; }

private:
    std::uint8_t saved_ = 0;
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
        {elapsed(0, 23, 59, 59, 9950), ShowTime | Time24 | ShowFraction, "23:59:59.00"},
        {elapsed(0, 23, 59, 59, 9949), ShowTime | Time24 | ShowFraction, "23:59:59.99"},
        {elapsed(0, 23, 59, 59, 9999), ShowTime | Time24 | ShowFraction, "23:59:59.00"},
    };
    for (const Case& c : cases) EXPECT_EQ(text(c.t, c.flags), c.expected) << "flags " << c.flags;
}

TEST_F(TimeText, FractionTiesRoundUp) {
    // Ticks are exact decimals: every tie rounds up, whichever side of it
    // the nearest double lies.
    struct Case { int ticks; const char* expected; };
    const Case cases[] = {{0, "00:00:00.00"},   {49, "00:00:00.00"},  {50, "00:00:00.01"},
                          {150, "00:00:00.02"}, {450, "00:00:00.05"}, {2675, "00:00:00.27"},
                          {9949, "00:00:00.99"}, {9950, "00:00:00.00"}};
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

#if !defined(_WIN32)
// The texts the printf formats give, for comparison with the hand-written
// output on any field values.
std::string printfText(const TimeFields& f, TimeTextFlags flags) {
    static const char* const months[] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
    static const char* const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    const char* month = f.month >= 1 && f.month <= 12 ? months[f.month - 1] : "?";
    const char* weekday = f.weekday >= 0 && f.weekday <= 6 ? days[f.weekday] : "?";
    char buffer[256], date[128] = "", piece[128];
    std::string out;
    const char* suffix = "";
    if (flags & Elapsed) {
        std::snprintf(buffer, sizeof buffer, "%ld:%2.2d:%2.2d:%2.2d", long(f.day), f.hour, f.minute, f.second);
        out = buffer;
    } else {
        if (flags & ShowDate) {
            if ((flags & LongDate) && (flags & DayFirst))
                std::snprintf(date, sizeof date, "%s %ld %s, %d ", weekday, long(f.day), month, f.year);
            else if (flags & LongDate)
                std::snprintf(date, sizeof date, "%s %s %ld, %d ", weekday, month, long(f.day), f.year);
            else if (flags & DayFirst)
                std::snprintf(date, sizeof date, "%02ld/%02d/%4d ", long(f.day), f.month, f.year);
            else
                std::snprintf(date, sizeof date, "%02d/%02ld/%4d ", f.month, long(f.day), f.year);
            if (!(flags & DateAfter)) out = date;
        }
        if (flags & ShowTime) {
            int h = f.hour;
            if (!(flags & Time24)) {
                suffix = h >= 12 ? " pm" : " am";
                if (h > 12) h -= 12;
                if (h == 0) h = 12;
            }
            std::snprintf(piece, sizeof piece, "%2.2d:%2.2d:%2.2d", h, f.minute, f.second);
            out += piece;
        }
    }
    if (flags & ShowFraction) {
        std::snprintf(piece, sizeof piece, "%4.2f", f.ticks / 10000.0);
        out += piece + 1;
    }
    out += suffix;
    if (!(flags & Elapsed) && (flags & ShowDate) && (flags & DateAfter)) out += std::string(" ") + date;
    return out;
}

TEST_F(TimeText, MatchesPrintfForAnyFieldValues) {
    const int values[] = {INT_MIN, -100, -13, -10, -9, -1, 0, 1, 7, 9, 10, 12, 13, 23, 24, 59, 99, 100, 999, 2675, 9951, 9999, 10000, INT_MAX};
    const int count = sizeof values / sizeof values[0];
    std::mt19937 random(3);
    auto pick = [&] { return random() % 4 == 0 ? int(random()) : values[random() % count]; };
    for (int i = 0; i < 100000; ++i) {
        TimeFields f;
        f.ticks = pick();
        if (f.ticks >= 0 && f.ticks < 10000 && f.ticks % 100 == 50) ++f.ticks;  // ties: decimal, not binary
        f.second = pick();
        f.minute = pick();
        f.hour = pick();
        f.day = pick();
        f.weekday = pick();
        f.month = pick();
        f.year = pick();
        TimeTextFlags flags = random() & 0xFF;
        // A buffer of exactly TimeTextMax, so any overrun shows up under the sanitizer.
        auto out = std::make_unique<char[]>(TimeTextMax);
        char* end = formatFields(f, out.get(), flags);
        ASSERT_EQ(std::string(out.get()), printfText(f, flags)) << "flags " << flags;
        ASSERT_EQ(end, out.get() + std::strlen(out.get()));
    }
}
#endif

TEST_F(TimeText, ExtremeFieldsFitTheBuffer) {
    TimeFields f = date(INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN);
    f.weekday = 3;
    f.month = 9;
    auto out = std::make_unique<char[]>(TimeTextMax);
    char* end = formatFields(f, out.get(), ShowDate | LongDate | ShowTime | ShowFraction | DateAfter);
    EXPECT_LT(std::size_t(end - out.get()), TimeTextMax);
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
        parseTimeText(c.text, f);
        EXPECT_EQ(f.hour, c.hour) << (c.text ? c.text : "null");
        EXPECT_EQ(f.minute, c.minute) << (c.text ? c.text : "null");
        EXPECT_EQ(f.second, c.second) << (c.text ? c.text : "null");
        EXPECT_EQ(f.ticks, 0);
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
        parseDateText(c.text, f);
        EXPECT_EQ(f.day, c.day) << c.text;
        EXPECT_EQ(f.month, c.month) << c.text;
        EXPECT_EQ(f.year, c.year) << c.text;
    }
}

TEST_F(TimeParse, ShortTextIsNotReadPastItsEnd) {
    // Exactly sized heap copies: reading past the terminator would be caught by the sanitizer.
    const char* texts[] = {"", "1", "12:3", "12/31/19"};
    for (const char* t : texts) {
        std::size_t size = std::strlen(t) + 1;
        auto copy = std::make_unique<char[]>(size);
        std::memcpy(copy.get(), t, size);
        TimeFields f;
        parseDateTime(copy.get(), copy.get(), f);
        EXPECT_GE(f.hour, 0);
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

}  // namespace
