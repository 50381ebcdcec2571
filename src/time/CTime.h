#pragma once
// Ticks of 1/10000 s since 00:00 on Sunday 1 January 1989, local wall-clock
// time; no time zone and no daylight saving anywhere.
#include <cstdint>

#include "time/bigint.h"

class IO;

inline constexpr std::uint32_t TicksPerSecond = 10000;
inline constexpr std::uint32_t TicksPerDay = 864000000;

class CTime : public bigint {
public:
    constexpr CTime() = default;
    constexpr CTime(bigint b) : bigint(b) {}
    static constexpr CTime fromTicks(std::uint64_t t) { return CTime(bigint::fromU64(t)); }
    constexpr std::uint64_t ticks() const { return u64(); }
};

// Broken-down time: eight signed 32-bit fields in this order.
struct TimeFields {
    std::int32_t ticks = 0;    // 0..9999 within the second
    std::int32_t second = 0;
    std::int32_t minute = 0;
    std::int32_t hour = 0;
    std::int32_t day = 0;      // day of month 1..31, or days since the epoch
    std::int32_t weekday = 0;  // 0 = Sunday
    std::int32_t month = 0;    // 1..12
    std::int32_t year = 0;
};

// Interval codes of the exportInterval setting.
enum ExportIntervalCode : int { IntervalNone = 0, IntervalMinute, IntervalHour, IntervalDay, IntervalWeek, IntervalMonth };

// The fields of a calendar date and time of day.
TimeFields calendarFields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ticks = 0);
void daysToDate(TimeFields& f);
void dateToDays(TimeFields& f);
TimeFields toElapsedFields(CTime t);
TimeFields toFields(CTime t);
CTime fromFields(const TimeFields& f);

// The 6-byte stored form: four signed bytes (tenths-10, second-60,
// minute-60, hour-24) already widened, and the day number.
struct StoredTime {
    std::int32_t tenths = -10;
    std::int32_t second = -60;
    std::int32_t minute = -60;
    std::int32_t hour = -24;
    std::uint16_t day = 0;
};
CTime fromStored(const StoredTime& s);
StoredTime toStored(CTime t);
CTime readStored(IO& io);
void writeStored(IO& io, CTime t);

CTime offsetBy(CTime base, std::uint32_t n, std::uint32_t unit);
std::uint32_t unitsSince(CTime t, CTime base, std::uint32_t unit);
void nextBoundary(CTime& t, int interval);
