#include <gtest/gtest.h>

#include <cmath>

#include "plot/ColumnEnvelope.h"
#include "plot/TimeTicks.h"
#include "support/RecorderFileBuilder.h"

namespace {

TEST(ColumnEnvelope, KeepsOneSampleSpikeAmongMany) {
    // 200000 samples into 300 columns; one of them far above the rest.
    const std::uint64_t n = 200000, spikeAt = 123457;
    ColumnEnvelope env(0, n - 1, 300);
    for (std::uint64_t t = 0; t < n; ++t) env.add(t, t == spikeAt ? 99.0f : -1.0f);
    int spiked = 0;
    for (const EnvelopeColumn& c : env.columns()) {
        EXPECT_TRUE(c.filled);
        EXPECT_EQ(c.low, -1.0f);
        spiked += c.high == 99.0f;
    }
    EXPECT_EQ(spiked, 1);
    EXPECT_EQ(env.columns()[spikeAt * 300 / n].high, 99.0f);
}

TEST(ColumnEnvelope, GapsAndEdges) {
    ColumnEnvelope env(1000, 2000, 10);
    env.add(999, 5);    // before the span
    env.add(1000, 1);   // first column
    env.add(1150, 2);   // second
    env.gap();
    env.add(1450, 3);   // fifth, after the recording stopped
    env.add(1550, NAN); // a failed reading stops it too
    env.add(1650, 4);
    env.add(2000, 6);   // the end itself: last column
    env.add(2001, 7);   // after
    const auto& c = env.columns();
    const bool filled[10] = {1, 1, 0, 0, 1, 0, 1, 0, 0, 1};
    const bool joined[10] = {0, 1, 0, 0, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(c[i].filled, filled[i]) << i;
        EXPECT_EQ(c[i].joined, joined[i]) << i;
    }
    float low, high;
    ASSERT_TRUE(env.range(low, high));
    EXPECT_EQ(low, 1.0f);
    EXPECT_EQ(high, 6.0f);
    EXPECT_FALSE(ColumnEnvelope(0, 10, 5).range(low, high));
}

TEST(TimeTicks, RoundStepsAndDatesAcrossDays) {
    using testfile::ticksAt;
    struct Case {
        std::uint64_t start, end;
        unsigned most;
        std::vector<std::string> texts;
    } cases[] = {
        {ticksAt(2001, 3, 5, 14, 4, 59), ticksAt(2001, 3, 5, 14, 15, 1), 10, {"14:06", "14:08", "14:10", "14:12", "14:14"}},
        {ticksAt(2001, 3, 5, 14, 5, 0), ticksAt(2001, 3, 5, 14, 5, 6), 4, {"14:05:00", "14:05:02", "14:05:04", "14:05:06"}},
        {ticksAt(2004, 2, 29, 23, 0, 0), ticksAt(2004, 3, 1, 1, 0, 0), 5,
         {"2004-02-29 23:00", "23:30", "2004-03-01 00:00", "00:30", "01:00"}},
        // Tenths of a second; no step few enough: a 364-day one from the first Sunday.
        {ticksAt(2001, 3, 5, 14, 5, 0), ticksAt(2001, 3, 5, 14, 5, 0, 4000), 5,
         {"14:05:00.0", "14:05:00.1", "14:05:00.2", "14:05:00.3", "14:05:00.4"}},
        {ticksAt(2000, 1, 1), ticksAt(2010, 1, 1), 2, {"2000-12-17", "2001-12-16"}},
        {ticksAt(2000, 1, 1), ticksAt(2000, 1, 1), 5, {}},
        {ticksAt(2000, 1, 1), ticksAt(2000, 1, 2), 0, {}},
        {ticksAt(2004, 2, 27, 12, 0, 0), ticksAt(2004, 3, 2, 0, 0, 0), 5, {"2004-02-28", "2004-02-29", "2004-03-01", "2004-03-02"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> texts;
        for (const TimeTick& t : timeTicks(c.start, c.end, c.most)) texts.push_back(t.text);
        EXPECT_EQ(texts, c.texts);
    }
}

}  // namespace
