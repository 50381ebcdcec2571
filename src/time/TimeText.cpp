#include "time/TimeText.h"

#include <cstdint>
#include <cstring>

#include "app/AppSettings.h"
#include "time/NumberText.h"

namespace {

const char* const MonthName[12] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const WeekdayName[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// Fields handed in by callers may be anything; a name is never looked up
// outside its table.
const char* monthName(std::int32_t month) { return month >= 1 && month <= 12 ? MonthName[month - 1] : "?"; }
const char* weekdayName(std::int32_t weekday) { return weekday >= 0 && weekday <= 6 ? WeekdayName[weekday] : "?"; }

char* putText(char* p, const char* s) {
    while (*s) *p++ = *s++;
    return p;
}

// printf's "%*.*d": at least minDigits digits, then the sign, then blanks
// in front up to width.
char* putInt(char* p, std::int64_t v, int minDigits, int width) {
    char digits[24];
    int n = 0;
    std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (n < minDigits) digits[n++] = '0';
    for (int length = n + (v < 0 ? 1 : 0); length < width; ++length) *p++ = ' ';
    if (v < 0) *p++ = '-';
    while (n > 0) *p++ = digits[--n];
    return p;
}

// "%2.2d"
char* putTwo(char* p, std::int32_t v) {
    if (v >= 0 && v <= 99) {
        *p++ = static_cast<char>('0' + v / 10);
        *p++ = static_cast<char>('0' + v % 10);
        return p;
    }
    return putInt(p, v, 2, 0);
}

// "%02d": the zero padding counts the sign.
char* putZeroPadded(char* p, std::int32_t v) { return v >= 0 ? putTwo(p, v) : putInt(p, v, 1, 0); }

char* putPlain(char* p, std::int64_t v) { return putInt(p, v, 1, 0); }

// The date text, always ending in one blank.
char* putDate(char* p, const TimeFields& f, TimeTextFlags flags) {
    if (flags & LongDate) {
        p = putText(p, weekdayName(f.weekday));
        *p++ = ' ';
        if (flags & DayFirst) {  // "%s %ld %s, %d "
            p = putPlain(p, f.day);
            *p++ = ' ';
            p = putText(p, monthName(f.month));
        } else {  // "%s %s %ld, %d "
            p = putText(p, monthName(f.month));
            *p++ = ' ';
            p = putPlain(p, f.day);
        }
        *p++ = ',';
        *p++ = ' ';
        p = putPlain(p, f.year);
    } else {  // "%02ld/%02d/%4d " or "%02d/%02ld/%4d "
        bool dayFirst = (flags & DayFirst) != 0;
        p = putZeroPadded(p, dayFirst ? f.day : f.month);
        *p++ = '/';
        p = putZeroPadded(p, dayFirst ? f.month : f.day);
        *p++ = '/';
        p = putInt(p, f.year, 1, 4);
    }
    *p++ = ' ';
    return p;
}

// "%2.2d:%2.2d:%2.2d"
char* putClock(char* p, std::int32_t hour, std::int32_t minute, std::int32_t second) {
    p = putTwo(p, hour);
    *p++ = ':';
    p = putTwo(p, minute);
    *p++ = ':';
    return putTwo(p, second);
}

// "%4.2f" of the seconds fraction without its first character, so 0.995 s
// and more print as ".00". A tick count is exact in decimal, so its ties
// round up rather than by the nearest binary fraction.
char* putFraction(char* p, std::int32_t ticks) {
    if (ticks >= 0 && ticks < static_cast<std::int32_t>(TicksPerSecond)) {
        std::int32_t hundredths = (ticks + 50) / 100 % 100;
        *p++ = '.';
        return putTwo(p, hundredths);
    }
    char number[NumberTextMax];
    char* end = formatFixed(number, ticks / static_cast<double>(TicksPerSecond), 4, 2);
    for (const char* s = number + 1; s < end; ++s) *p++ = *s;
    return p;
}

TimeTextFlags resolveDisplayFlags(TimeTextFlags flags) {
    if (flags & UseDisplayFlags) flags = (flags & ~(Time24 | DayFirst)) | (AppSettings.displayFlags & (Time24 | DayFirst));
    return flags;
}

// days is the elapsed day count, which can pass what the 32-bit field holds.
char* formatText(const TimeFields& f, std::int64_t days, char* out, TimeTextFlags flags) {
    flags = resolveDisplayFlags(flags);

    char* p = out;
    const char* suffix = "";
    bool elapsed = (flags & Elapsed) != 0;
    bool dateAfter = !elapsed && (flags & ShowDate) && (flags & DateAfter);
    if (elapsed) {  // "%ld:%2.2d:%2.2d:%2.2d"
        p = putPlain(p, days);
        *p++ = ':';
        p = putClock(p, f.hour, f.minute, f.second);
    } else {
        if ((flags & ShowDate) && !dateAfter) p = putDate(p, f, flags);
        if (flags & ShowTime) {
            std::int32_t h = f.hour;
            if (!(flags & Time24)) {
                suffix = h >= 12 ? " pm" : " am";
                if (h > 12) h -= 12;
                if (h == 0) h = 12;
            }
            p = putClock(p, h, f.minute, f.second);
        }
    }
    if (flags & ShowFraction) p = putFraction(p, f.ticks);
    p = putText(p, suffix);
    if (dateAfter) {
        *p++ = ' ';
        p = putDate(p, f, flags);
    }
    *p = '\0';
    return p;
}

// Longest text the parsers look at.
constexpr int ParsedLength = 10;

// Character i of the text, a blank past its end; never reads beyond it.
class FixedText {
public:
    explicit FixedText(const char* text) {
        if (text)
            while (length_ < ParsedLength && text[length_] != '\0') ++length_;
        text_ = text;
    }
    char at(int i) const { return i < length_ ? text_[i] : ' '; }
    // Characters i and i+1 as a number: the low four bits of each code,
    // tens first, as a signed 8-bit value.
    std::int32_t number(int i) const {
        auto v = static_cast<std::uint8_t>(10 * (at(i) & 15) + (at(i + 1) & 15));
        return static_cast<std::int8_t>(v);
    }

private:
    const char* text_ = nullptr;
    int length_ = 0;
};

}  // namespace

char* formatFields(const TimeFields& f, char* out, TimeTextFlags flags) { return formatText(f, f.day, out, flags); }

char* formatTime(CTime t, char* out, TimeTextFlags flags) {
    if (flags & Elapsed)
        return formatText(toElapsedFields(t), static_cast<std::int64_t>(t.ticks() / TicksPerDay), out, flags);
    return formatText(toFields(t), 0, out, flags);
}

TimeTextCache::TimeTextCache(TimeTextFlags flags) : flags_(resolveDisplayFlags(flags) & ~UseDisplayFlags) {
    showClock_ = (flags_ & (Elapsed | ShowTime)) != 0;
}

// The pieces formatText puts around the clock that change only with the day.
void TimeTextCache::newDay(CTime t) {
    const std::uint64_t days = t.ticks() / TicksPerDay;
    day_ = days;
    char* lead = lead_;
    char* trail = trail_;
    if (flags_ & Elapsed) {
        lead = putPlain(lead, static_cast<std::int64_t>(days));
        *lead++ = ':';
    } else if (flags_ & ShowDate) {
        char date[TimeTextMax];
        const auto length = static_cast<std::size_t>(putDate(date, toFields(t), flags_) - date);
        if (flags_ & DateAfter) {
            *trail++ = ' ';
            std::memcpy(trail, date, length);
            trail += length;
        } else {
            std::memcpy(lead, date, length);
            lead += length;
        }
    }
    leadLength_ = static_cast<std::size_t>(lead - lead_);
    trailLength_ = static_cast<std::size_t>(trail - trail_);
}

void TimeTextCache::newSecond(CTime t) {
    const std::uint64_t ticks = t.ticks();
    second_ = ticks / TicksPerSecond;
    if (ticks / TicksPerDay != day_) newDay(t);
    const auto ofDay = static_cast<std::int32_t>(ticks % TicksPerDay / TicksPerSecond);
    std::int32_t hour = ofDay / 3600;
    if (!(flags_ & Elapsed) && !(flags_ & Time24)) {
        suffix_ = hour >= 12 ? " pm" : " am";
        if (hour > 12) hour -= 12;
        if (hour == 0) hour = 12;
    }
    clockLength_ = static_cast<std::size_t>(putClock(clock_, hour, ofDay % 3600 / 60, ofDay % 60) - clock_);
}

char* TimeTextCache::format(CTime t, char* out) {
    if (t.ticks() / TicksPerSecond != second_) newSecond(t);
    // Short pieces go in fixed-size moves, which the room of out
    // (TimeTextMax) and of the pieces allows.
    constexpr std::size_t Short = 32;
    std::memcpy(out, lead_, leadLength_ <= Short ? Short : leadLength_);
    char* p = out + leadLength_;
    if (showClock_) {
        // Always "hh:mm:ss" from a tick count.
        std::memcpy(p, clock_, 8);
        p += clockLength_;
    }
    if (flags_ & ShowFraction) p = putFraction(p, static_cast<std::int32_t>(t.ticks() % TicksPerSecond));
    if (showClock_) p = putText(p, suffix_);
    if (trailLength_) {
        std::memcpy(p, trail_, trailLength_ <= Short ? Short : trailLength_);
        p += trailLength_;
    }
    *p = '\0';
    return p;
}

void parseTimeText(const char* text, TimeFields& f) {
    FixedText t(text);
    f.hour = t.number(0);
    f.minute = t.number(3);
    f.second = t.number(6);
    f.ticks = 0;
}

void parseDateText(const char* text, TimeFields& f) {
    FixedText t(text);
    std::int32_t a = t.number(0);
    std::int32_t b = t.number(3);
    f.year = 100 * t.number(6) + t.number(8);
    if (AppSettings.displayFlags & DisplayDayFirst) {
        f.day = a;
        f.month = b;
    } else {
        f.month = a;
        f.day = b;
    }
}

void parseDateTime(const char* timeText, const char* dateText, TimeFields& f) {
    parseTimeText(timeText, f);
    parseDateText(dateText, f);
}
