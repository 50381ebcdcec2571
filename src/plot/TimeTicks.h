#pragma once
// Marks for a chart's time axis: a round step (seconds to weeks) that
// gives at most the number of marks asked for, each with its text; the
// date shows where the span crosses days.
#include <cstdint>
#include <string>
#include <vector>

struct TimeTick {
    std::uint64_t ticks = 0;
    std::string text;  // "HH:MM:SS", "HH:MM", or with "YYYY-MM-DD" before it
};

std::vector<TimeTick> timeTicks(std::uint64_t start, std::uint64_t end, unsigned maxTicks);
