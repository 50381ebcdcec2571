#include "plot/TimeTicks.h"

#include <cstdio>

#include "time/CTime.h"

namespace {

constexpr std::uint64_t Second = TicksPerSecond;
constexpr std::uint64_t Steps[] = {Second / 10, Second / 5, Second / 2, Second, 2 * Second, 5 * Second, 10 * Second,
                                   15 * Second, 30 * Second, 60 * Second, 120 * Second, 300 * Second, 600 * Second,
                                   900 * Second, 1800 * Second, 3600 * Second, 7200 * Second, 10800 * Second,
                                   21600 * Second, 43200 * Second, TicksPerDay, 2ULL * TicksPerDay, 7ULL * TicksPerDay,
                                   14ULL * TicksPerDay, 28ULL * TicksPerDay, 91ULL * TicksPerDay, 364ULL * TicksPerDay};

}  // namespace

std::vector<TimeTick> timeTicks(std::uint64_t start, std::uint64_t end, unsigned maxTicks) {
    std::vector<TimeTick> out;
    if (end <= start || maxTicks == 0) return out;
    std::uint64_t step = Steps[sizeof Steps / sizeof Steps[0] - 1];
    for (std::uint64_t s : Steps)
        if ((end - start) / s + 1 <= maxTicks) {
            step = s;
            break;
        }
    const bool crossesDays = start / TicksPerDay != end / TicksPerDay;
    const bool showSeconds = step < 60 * Second;
    // Weeks from a Sunday, as the epoch is one.
    for (std::uint64_t t = (start + step - 1) / step * step; t <= end && out.size() < maxTicks; t += step) {
        const TimeFields f = toFields(CTime::fromTicks(t));
        char text[48];
        int n = 0;
        if (crossesDays && (step >= TicksPerDay || out.empty() || t / TicksPerDay != out.back().ticks / TicksPerDay))
            n = std::snprintf(text, sizeof text, "%04d-%02d-%02d", f.year, f.month, f.day);
        if (step < TicksPerDay) {
            n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), n ? " %02d:%02d" : "%02d:%02d", f.hour, f.minute);
            if (showSeconds) n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), ":%02d", f.second);
            if (step < Second) std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), ".%d", f.ticks / 1000);
        }
        out.push_back({t, text});
    }
    return out;
}
