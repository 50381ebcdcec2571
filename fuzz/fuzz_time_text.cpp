// Time and date text from arbitrary bytes: display settings, a tick count,
// format flags and eight field values, then a typed time and date.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "time/TimeText.h"

// Exactly sized heap copies, so that a read or write past either end is a finding.
static std::string format(const TimeFields* f, CTime t, TimeTextFlags flags) {
    const auto out = std::make_unique<char[]>(TimeTextMax);
    const char* end = f ? formatFields(*f, out.get(), flags) : formatTime(t, out.get(), flags);
    FUZZ_CHECK(end == out.get() + std::strlen(out.get()));
    return out.get();
}

static TimeFields parse(std::string time, std::string date) {
    TimeFields f;
    parseDateTime(std::vector<char>(time.c_str(), time.c_str() + time.size() + 1).data(),
                  std::vector<char>(date.c_str(), date.c_str() + date.size() + 1).data(), f);
    return f;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    struct { std::uint8_t display; std::uint16_t flags; std::uint64_t ticks; TimeFields fields; } in = {};
    std::memcpy(&in, data, std::min(size, sizeof in));  // the padding takes input bytes too
    const std::string rest(data + std::min(size, sizeof in), data + size), time = rest.substr(0, rest.find('\0'));
    AppSettings.displayFlags = in.display & (DisplayDayFirst | DisplayTime24);
    format(nullptr, CTime::fromTicks(in.ticks), in.flags);
    format(&in.fields, CTime(), in.flags);
    parse(time, rest.size() > time.size() ? rest.substr(time.size() + 1) : "");
    // What the export form shows of a storable time reads back to the second.
    const CTime t = CTime::fromTicks(in.ticks % (65536ull * TicksPerDay));
    FUZZ_CHECK(fromFields(parse(format(nullptr, t, ShowTime | Time24), format(nullptr, t, ShowDate | UseDisplayFlags))).ticks() ==
               t.ticks() - t.ticks() % TicksPerSecond);
    // The form takes a typed date when the calendar gives it back unchanged: from
    // 1989 on exactly the days of a calendar with every fourth year a leap year.
    const int y = 1989 + std::uint16_t(in.fields.year) % 8100, m = std::uint8_t(in.fields.month) % 16, d = std::uint8_t(in.fields.day) % 40;
    TimeFields f = calendarFields(y, m, d);
    dateToDays(f);
    daysToDate(f);
    const int length = m == 2 ? 28 + (y % 4 == 0) : 30 + (m + m / 8) % 2;
    FUZZ_CHECK((f.day == d && f.month == m && f.year == y) == (m >= 1 && m <= 12 && d >= 1 && d <= length));
    fromFields(in.fields);  // any field values: UBSan watches
    return 0;
}
