#pragma once
// Every text form of a time and date, made by one formatter steered by flag
// bits, and the fixed-position readers of typed times and dates.
#include <cstddef>
#include <cstdint>

#include "time/CTime.h"

using TimeTextFlags = unsigned;
inline constexpr TimeTextFlags ShowFraction = 0x01;     // hundredths of the second
inline constexpr TimeTextFlags ShowTime = 0x02;         // time of day
inline constexpr TimeTextFlags LongDate = 0x04;         // weekday and month names
inline constexpr TimeTextFlags ShowDate = 0x08;
inline constexpr TimeTextFlags Elapsed = 0x10;          // days:hours:minutes:seconds
inline constexpr TimeTextFlags Time24 = 0x20;           // else 12-hour with " am" / " pm"
inline constexpr TimeTextFlags DayFirst = 0x40;
inline constexpr TimeTextFlags DateAfter = 0x80;        // date follows the time
inline constexpr TimeTextFlags UseDisplayFlags = 0x8000;  // Time24 and DayFirst from displayFlags

// Room for the text of any field values, even out-of-range ones, and the
// terminating zero. Real times need at most 45.
inline constexpr std::size_t TimeTextMax = 96;

// Write the text at out (TimeTextMax bytes), zero-terminate it and return a
// pointer to the terminator.
char* formatTime(CTime t, char* out, TimeTextFlags flags);
char* formatFields(const TimeFields& f, char* out, TimeTextFlags flags);

// formatTime for a run of times, such as the rows of an export: the date
// text is made again only when the day changes and the clock only when the
// second does. The display flags that
// UseDisplayFlags brings in are taken when it is made.
class TimeTextCache {
public:
    explicit TimeTextCache(TimeTextFlags flags);
    // What formatTime(t, out, flags) writes; returns the terminator.
    char* format(CTime t, char* out);

private:
    void newDay(CTime t);
    void newSecond(CTime t);

    TimeTextFlags flags_;
    std::uint64_t day_ = UINT64_MAX;     // the day lead_ and trail_ are for
    std::uint64_t second_ = UINT64_MAX;  // the second clock_ is for
    // The text is lead_, the clock, the fraction, the suffix and trail_.
    char lead_[TimeTextMax] = {};
    char trail_[TimeTextMax] = {};
    std::size_t leadLength_ = 0, trailLength_ = 0;
    bool showClock_ = false;
    char clock_[TimeTextMax] = {};  // "hh:mm:ss"
    std::size_t clockLength_ = 0;
    const char* suffix_ = "";
};

// Fixed positions, separators ignored: "hh:mm:ss" and "aa/bb/yyyy". A text
// shorter than that reads as if padded with blanks, which count as 0.
void parseTimeText(const char* text, TimeFields& f);
void parseDateText(const char* text, TimeFields& f);
void parseDateTime(const char* timeText, const char* dateText, TimeFields& f);
