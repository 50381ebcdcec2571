#pragma once
// Calendar fields from a date and time of day, for the tests' tables.
#include "time/CTime.h"

namespace testsupport {

inline TimeFields date(int day, int month, int year, int hour = 0, int minute = 0, int second = 0, int ticks = 0) {
    return calendarFields(year, month, day, hour, minute, second, ticks);
}

}  // namespace testsupport
