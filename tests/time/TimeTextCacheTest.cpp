// The time text of a run of times, made piecewise and kept between calls,
// against formatTime on every flag combination and on runs that step,
// repeat, jump back and cross days.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "time/TimeText.h"

namespace {

std::string expected(CTime t, TimeTextFlags flags) {
    char out[TimeTextMax];
    formatTime(t, out, flags);
    return out;
}

std::string cached(TimeTextCache& cache, CTime t) {
    char out[TimeTextMax];
    char* end = cache.format(t, out);
    if (end != out + std::strlen(out)) return "<bad end>";
    return out;
}

// Every combination of the bits the callers pass.
std::vector<TimeTextFlags> allFlags() {
    const TimeTextFlags bits[] = {ShowFraction, ShowTime, LongDate, ShowDate, Elapsed, Time24, DayFirst, DateAfter, UseDisplayFlags};
    std::vector<TimeTextFlags> all;
    for (unsigned mask = 0; mask < (1u << 9); ++mask) {
        TimeTextFlags f = 0;
        for (unsigned i = 0; i < 9; ++i)
            if (mask >> i & 1) f |= bits[i];
        all.push_back(f);
    }
    return all;
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

class TimeTextCacheTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = AppSettings.displayFlags; }
    void TearDown() override { AppSettings.displayFlags = saved_; }

private:
    std::uint8_t saved_ = 0;
};

TEST_F(TimeTextCacheTest, EveryFlagCombinationMatchesFormatTimeOverARun) {
    const auto times = run();
    for (std::uint8_t display : {std::uint8_t(0), DisplayTime24, DisplayDayFirst, std::uint8_t(DisplayTime24 | DisplayDayFirst)}) {
        AppSettings.displayFlags = display;
        for (TimeTextFlags flags : allFlags()) {
            TimeTextCache cache(flags);
            for (CTime t : times)
                ASSERT_EQ(cached(cache, t), expected(t, flags)) << "flags 0x" << std::hex << flags << " display 0x" << int(display)
                                                                << " ticks " << std::dec << t.ticks();
        }
    }
}

// The display flags are taken when the cache is made, as an export takes
// them once for all its lines.
TEST_F(TimeTextCacheTest, DisplayFlagsAreTakenWhenMade) {
    AppSettings.displayFlags = DisplayTime24;
    TimeTextCache cache(ShowTime | ShowDate | UseDisplayFlags);
    const CTime t = CTime::fromTicks(3ull * TicksPerDay + 15ull * 3600 * TicksPerSecond);
    const std::string made = expected(t, ShowTime | ShowDate | UseDisplayFlags);
    AppSettings.displayFlags = DisplayDayFirst;
    EXPECT_EQ(cached(cache, t), made);
    EXPECT_NE(cached(cache, t), expected(t, ShowTime | ShowDate | UseDisplayFlags));
}

}  // namespace
