// Time and date text: the formatter with any flags and any field values,
// the fixed-position parsers over any typed text, and the calendar round
// trip that the export form's date check is built on.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "time/CTime.h"
#include "time/TimeText.h"

namespace {

using fuzzsupport::ExactText;
using fuzzsupport::Input;

constexpr std::uint64_t RecorderDays = 65536;  // the stored day number's range

// The formatter writes into a heap block of exactly TimeTextMax bytes.
std::string format(const TimeFields* fields, CTime t, TimeTextFlags flags) {
    std::vector<char> out(TimeTextMax);
    char* end = fields ? formatFields(*fields, out.data(), flags) : formatTime(t, out.data(), flags);
    FUZZ_CHECK(end >= out.data() && end < out.data() + TimeTextMax);
    FUZZ_CHECK(*end == '\0');
    FUZZ_CHECK(std::strlen(out.data()) == static_cast<std::size_t>(end - out.data()));
    return std::string(out.data(), end);
}

bool signedByte(std::int32_t v) { return v >= -128 && v <= 127; }

bool digit(const std::string& s, std::size_t i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; }
int twoDigits(const std::string& s, std::size_t i) { return (s[i] - '0') * 10 + (s[i + 1] - '0'); }

void checkParsers(const std::string& timeText, const std::string& dateText, bool dayFirst) {
    const ExactText timeCopy(timeText), dateCopy(dateText);
    TimeFields f;
    f.ticks = 77;
    parseTimeText(timeCopy.get(), f);
    FUZZ_CHECK(f.ticks == 0);
    FUZZ_CHECK(signedByte(f.hour) && signedByte(f.minute) && signedByte(f.second));
    if (digit(timeText, 0) && digit(timeText, 1)) FUZZ_CHECK(f.hour == twoDigits(timeText, 0));
    if (digit(timeText, 3) && digit(timeText, 4)) FUZZ_CHECK(f.minute == twoDigits(timeText, 3));
    if (digit(timeText, 6) && digit(timeText, 7)) FUZZ_CHECK(f.second == twoDigits(timeText, 6));

    parseDateText(dateCopy.get(), f);
    FUZZ_CHECK(signedByte(f.day) && signedByte(f.month));
    FUZZ_CHECK(f.year >= -128 * 100 - 128 && f.year <= 127 * 100 + 127);
    if (digit(dateText, 0) && digit(dateText, 1) && digit(dateText, 3) && digit(dateText, 4)) {
        FUZZ_CHECK((dayFirst ? f.day : f.month) == twoDigits(dateText, 0));
        FUZZ_CHECK((dayFirst ? f.month : f.day) == twoDigits(dateText, 3));
    }
    if (digit(dateText, 6) && digit(dateText, 7) && digit(dateText, 8) && digit(dateText, 9))
        FUZZ_CHECK(f.year == twoDigits(dateText, 6) * 100 + twoDigits(dateText, 8));

    // parseDateTime reads both, as the form does when it takes the span back.
    TimeFields both;
    parseDateTime(timeCopy.get(), dateCopy.get(), both);
    FUZZ_CHECK(both.hour == f.hour && both.minute == f.minute && both.second == f.second);
    FUZZ_CHECK(both.day == f.day && both.month == f.month && both.year == f.year);
}

int monthLength(int month, int year) {
    static const int Length[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return Length[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0);
}

// The date check of the export form: a typed date is accepted when the
// calendar gives it back unchanged. From 1989 on that is exactly the days of
// the calendar (every fourth year a leap year, 2100 included).
void checkCalendar(std::int32_t day, std::int32_t month, std::int32_t year) {
    TimeFields f;
    f.day = day;
    f.month = month;
    f.year = year;
    const TimeFields typed = f;
    dateToDays(f);
    daysToDate(f);
    const bool accepted = f.day == typed.day && f.month == typed.month && f.year == typed.year;
    FUZZ_CHECK(f.month >= 1 && f.month <= 12);
    FUZZ_CHECK(f.day >= 1 && f.day <= 31);
    FUZZ_CHECK(f.weekday >= 0 && f.weekday <= 6);
    if (year >= 1989 && year <= 9999 && day >= 1 && month >= 1) {
        const bool calendarDay = month <= 12 && day <= monthLength(month, year);
        FUZZ_CHECK_MSG(accepted == calendarDay,
                       std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day));
    }
}

// A time the recorder can store, shown in the form's fields and read back:
// the same time to the second.
void checkFormRoundTrip(std::uint64_t ticks) {
    const CTime t = CTime::fromTicks(ticks % (RecorderDays * TicksPerDay));
    const std::string timeText = format(nullptr, t, ShowTime | Time24);
    const std::string dateText = format(nullptr, t, ShowDate | UseDisplayFlags);
    FUZZ_CHECK_MSG(timeText.size() == 8, timeText);
    FUZZ_CHECK_MSG(dateText.size() == 11 && dateText.back() == ' ', dateText);
    TimeFields f;
    parseDateTime(timeText.c_str(), dateText.c_str(), f);
    const TimeFields expected = toFields(t);
    FUZZ_CHECK(f.hour == expected.hour && f.minute == expected.minute && f.second == expected.second);
    FUZZ_CHECK(f.day == expected.day && f.month == expected.month && f.year == expected.year);
    FUZZ_CHECK(fromFields(f).ticks() == t.ticks() - t.ticks() % TicksPerSecond);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const std::uint8_t settings = in.u8();
    const bool dayFirst = settings & 1;
    AppSettings.displayFlags = static_cast<std::uint8_t>((dayFirst ? DisplayDayFirst : 0) | (settings & 2 ? DisplayTime24 : 0));

    const std::uint64_t ticks = in.u64();
    const TimeTextFlags flags = in.u16();
    TimeFields fields;
    fields.ticks = static_cast<std::int32_t>(in.u32());
    fields.second = static_cast<std::int32_t>(in.u32());
    fields.minute = static_cast<std::int32_t>(in.u32());
    fields.hour = static_cast<std::int32_t>(in.u32());
    fields.day = static_cast<std::int32_t>(in.u32());
    fields.weekday = static_cast<std::int32_t>(in.u32());
    fields.month = static_cast<std::int32_t>(in.u32());
    fields.year = static_cast<std::int32_t>(in.u32());
    const std::string timeText = in.text(12);
    const std::string dateText = in.text(14);

    // Any time and any field values fit the text buffer.
    format(nullptr, CTime::fromTicks(ticks), flags);
    format(&fields, CTime(), flags);

    checkParsers(timeText, dateText, dayFirst);
    checkFormRoundTrip(ticks);

    // The calendar over the raw fields (no overflow for any value) and over
    // the dates a user can type.
    checkCalendar(fields.day, fields.month, fields.year);
    checkCalendar(static_cast<std::uint8_t>(fields.day) % 40, static_cast<std::uint8_t>(fields.month) % 16,
                  1989 + static_cast<std::uint16_t>(fields.year) % 8100);
    TimeFields any = fields;
    fromFields(any);
    dateToDays(any);
    return 0;
}
