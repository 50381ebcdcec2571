// What a PNG cannot pin down: each pixel column's lowest, highest, first and
// last sample and its join to the one before; the texts of the time marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "plot/ColumnEnvelope.h"
#include "plot/TimeTicks.h"
#include "support/RecorderFileBuilder.h"

namespace {

// Random samples, some outside the span, failed readings, gaps, against a reckoning.
TEST(ColumnEnvelope, MatchesSampleBySampleReckoning) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        const std::uint64_t start = 100 + rng() % 1000, end = start + 1 + rng() % 20000;
        const std::uint32_t n = 1 + rng() % 300;
        ColumnEnvelope env(start, end, n);
        std::vector<EnvelopeColumn> want(n);
        bool joined = false, any = false;
        float low = 0, high = 0;
        for (std::uint64_t t = start - 100; t <= end + 100; t += 1 + rng() % (round % 2 ? 3 : 200)) {
            if (rng() % 50 == 0) {
                env.gap(), joined = false;  // the recording stopped
                continue;
            }
            const std::uint64_t time = t > end && t - end < 3 ? end : t;  // the end itself, now and then
            const float v = rng() % 40 == 0 ? NAN : static_cast<float>(static_cast<int>(rng() % 2001) - 1000) / 8;
            env.add(time, v);
            if (time < start || time > end) continue;
            if (std::isnan(v)) {
                joined = false;  // a failed reading stops the line too
                continue;
            }
            EnvelopeColumn& c = want[std::min<std::uint64_t>(n - 1, (time - start) * n / (end - start))];
            if (!c.filled) c = {true, joined, v, v, v, v};
            c.low = std::min(c.low, v), c.high = std::max(c.high, v), c.last = v;
            low = any ? std::min(low, v) : v, high = any ? std::max(high, v) : v;
            joined = any = true;
        }
        const auto fields = [](const EnvelopeColumn& c) { return std::vector<float>{float(c.filled), float(c.joined), c.low, c.high, c.first, c.last}; };
        for (std::uint32_t i = 0; i < n; ++i) ASSERT_EQ(fields(env.columns()[i]), fields(want[i])) << "round " << round << " column " << i;
        float gotLow = 0, gotHigh = 0;
        ASSERT_EQ(env.range(gotLow, gotHigh), any);
        EXPECT_TRUE(!any || (gotLow == low && gotHigh == high)) << gotLow << " " << gotHigh;
    }
}

TEST(TimeTicks, RoundStepsAndDatesAcrossDays) {
    using testfile::ticksAt;
    const struct { std::uint64_t start, end; unsigned most; std::vector<std::string> texts; } cases[] = {
        {ticksAt(2001, 3, 5, 14, 4, 59), ticksAt(2001, 3, 5, 14, 15, 1), 10, {"14:06", "14:08", "14:10", "14:12", "14:14"}},
        {ticksAt(2001, 3, 5, 14, 5, 0), ticksAt(2001, 3, 5, 14, 5, 6), 4, {"14:05:00", "14:05:02", "14:05:04", "14:05:06"}},
        {ticksAt(2004, 2, 29, 23, 0, 0), ticksAt(2004, 3, 1, 1, 0, 0), 5, {"2004-02-29 23:00", "23:30", "2004-03-01 00:00", "00:30", "01:00"}},
        {ticksAt(2001, 3, 5, 14, 5, 0), ticksAt(2001, 3, 5, 14, 5, 0, 4000), 5, {"14:05:00.0", "14:05:00.1", "14:05:00.2", "14:05:00.3", "14:05:00.4"}},
        // No step few enough: 364 days, from a Sunday as the epoch is one.
        {ticksAt(2000, 1, 1), ticksAt(2010, 1, 1), 2, {"2000-12-17", "2001-12-16"}},
        {ticksAt(2004, 2, 27, 12, 0, 0), ticksAt(2004, 3, 2, 0, 0, 0), 5, {"2004-02-28", "2004-02-29", "2004-03-01", "2004-03-02"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> texts;
        for (const TimeTick& t : timeTicks(c.start, c.end, c.most)) texts.push_back(t.text);
        EXPECT_EQ(texts, c.texts);
    }
}

}  // namespace
