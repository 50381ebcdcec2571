#include "time/CTime.h"

#include <cstdint>

namespace {

// February is listed with 29 days; common years skip its last day.
constexpr std::int32_t MonthLength[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr std::int64_t DaysPerCycle = 1461;
constexpr std::int32_t EpochYear = 1989;

constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b < 0) ? q - 1 : q;
}

constexpr std::int64_t floorMod(std::int64_t a, std::int64_t b) {
    std::int64_t r = a % b;
    return r < 0 ? r + b : r;
}

// Day counts below zero are counted backwards with floor division so that
// every field stays in its calendar range (names are looked up by them).
void civilFromDays(std::int64_t days, TimeFields& f) {
    f.weekday = static_cast<std::int32_t>(floorMod(days, 7));
    std::int64_t cycles = floorDiv(days, DaysPerCycle);
    auto inCycle = static_cast<std::int32_t>(floorMod(days, DaysPerCycle));
    std::int32_t y = inCycle / 365;
    std::int32_t dayOfYear = inCycle % 365 + 1;
    if (y == 4) {
        y = 3;
        dayOfYear = 366;
    }
    if (y != 3 && dayOfYear >= 60) ++dayOfYear;

    int taken = 0;
    while (dayOfYear > 0 && taken < 12) dayOfYear -= MonthLength[taken++];
    f.month = taken;
    f.day = dayOfYear + MonthLength[taken - 1];
    f.year = static_cast<std::int32_t>(EpochYear + 4 * cycles + y);
}

// Truncating division throughout, as the date check of typed dates expects.
std::int64_t daysFromCivil(const TimeFields& f) {
    std::int64_t d = f.day;
    std::int64_t m = static_cast<std::int64_t>(f.month) - 1;
    std::int64_t year = f.year + m / 12;
    m %= 12;
    std::int64_t n = year - EpochYear;
    std::int64_t r = n % 4;
    if (r < 3 && m >= 2) --d;
    for (std::int64_t i = 0; i < m; ++i) d += MonthLength[i];
    return d + (n / 4) * DaysPerCycle + r * 365 - 1;
}

// Tick count of a day count and a (possibly out-of-range) time of day, in
// wrapping 64-bit arithmetic so no day count is too large.
std::uint64_t ticksOf(std::int64_t days, std::int64_t seconds, std::int64_t ticks) {
    std::uint64_t total = static_cast<std::uint64_t>(days) * 86400u + static_cast<std::uint64_t>(seconds);
    return total * TicksPerSecond + static_cast<std::uint64_t>(ticks);
}

std::int64_t secondsOf(std::int64_t hour, std::int64_t minute, std::int64_t second) {
    return hour * 3600 + minute * 60 + second;
}

}  // namespace

TimeFields calendarFields(int year, int month, int day, int hour, int minute, int second, int ticks) {
    TimeFields f;
    f.year = year;
    f.month = month;
    f.day = day;
    f.hour = hour;
    f.minute = minute;
    f.second = second;
    f.ticks = ticks;
    return f;
}

void daysToDate(TimeFields& f) { civilFromDays(f.day, f); }

void dateToDays(TimeFields& f) { f.day = static_cast<std::int32_t>(daysFromCivil(f)); }

TimeFields toElapsedFields(CTime t) {
    TimeFields f;
    std::uint64_t ticks = t.ticks();
    std::uint64_t ofDay = ticks % TicksPerDay;
    auto seconds = static_cast<std::int32_t>(ofDay / TicksPerSecond);
    f.day = static_cast<std::int32_t>(ticks / TicksPerDay);
    f.hour = seconds / 3600;
    f.minute = seconds % 3600 / 60;
    f.second = seconds % 60;
    f.ticks = static_cast<std::int32_t>(ticks % TicksPerSecond);
    return f;
}

TimeFields toFields(CTime t) {
    TimeFields f = toElapsedFields(t);
    // The full day count: past 2^31 days the 32-bit field would wrap.
    civilFromDays(static_cast<std::int64_t>(t.ticks() / TicksPerDay), f);
    return f;
}

CTime fromFields(const TimeFields& f) {
    return CTime::fromTicks(ticksOf(daysFromCivil(f), secondsOf(f.hour, f.minute, f.second), f.ticks));
}

CTime fromStored(const StoredTime& s) {
    std::int64_t ticks = (static_cast<std::int64_t>(s.tenths) + 10) * TicksPerSecond / 10;
    std::int64_t seconds = secondsOf(static_cast<std::int64_t>(s.hour) + 24, static_cast<std::int64_t>(s.minute) + 60,
                                     static_cast<std::int64_t>(s.second) + 60);
    return CTime::fromTicks(ticksOf(s.day, seconds, ticks));
}

StoredTime toStored(CTime t) {
    TimeFields f = toElapsedFields(t);
    StoredTime s;
    s.tenths = f.ticks * 10 / static_cast<std::int32_t>(TicksPerSecond) - 10;
    s.second = f.second - 60;
    s.minute = f.minute - 60;
    s.hour = f.hour - 24;
    s.day = static_cast<std::uint16_t>(t.ticks() / TicksPerDay);
    return s;
}

CTime offsetBy(CTime base, std::uint32_t n, std::uint32_t unit) { return base + bigint(n) * bigint(unit); }

std::uint32_t unitsSince(CTime t, CTime base, std::uint32_t unit) {
    if (t < base || unit == 0) return 0;
    std::uint64_t count = divide(t - base, bigint(unit)).u64();
    // Saturate rather than wrap, so a far time never looks near.
    return count > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(count);
}

void nextBoundary(CTime& t, int interval) {
    if (interval <= IntervalNone) return;
    TimeFields f = toFields(t);
    switch (interval) {
    case IntervalMonth:
        ++f.month;
        f.day = 1;
        break;
    case IntervalWeek:
        f.day += 7 - f.weekday;
        break;
    case IntervalDay:
        ++f.day;
        break;
    case IntervalHour:
        ++f.hour;
        break;
    default:
        break;
    }
    // Codes past Month fall through to the start of the current day.
    if (interval >= IntervalDay) f.hour = 0;
    if (interval == IntervalMinute)
        ++f.minute;
    else
        f.minute = 0;
    f.second = 0;
    f.ticks = 0;
    t = fromFields(f);
}
