// Summaries against the samples themselves at every zoom, from whole blocks down to single samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "data/DataFileIter.h"
#include "plot/ChannelSummary.h"
#include "plot/ChannelTrace.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

namespace {

using namespace testfile;
constexpr std::uint64_t S = 10000, T0 = 20000000000000;
constexpr std::uint32_t N = 16384, SpikeAt = N + 4321;
// Samples a column: whole blocks, coarse runs, fine runs, fine runs of floats but 16-bit samples, the samples themselves.
constexpr double Levels[] = {2 * N, 8192, 1024, 128, 100, 0.5};
// Blocks at 0 and N s (a spike, its last sample missed), a float block at 2N, a gap, then 4N and a restart at 5N.
const std::uint64_t Breaks[] = {T0 + 4 * N * S, T0 + 5 * N * S, T0 + 2 * N * S};

struct Channel { std::unique_ptr<DataFile> file; std::unique_ptr<ChannelSummary> summary; std::vector<std::pair<std::uint64_t, float>> samples; std::size_t bytes; };

Channel& channel() {
    static Channel c = [] {
        std::mt19937 random(7);
        const auto noise = [&](std::size_t n) { std::vector<std::int16_t> v(n); for (auto& x : v) x = static_cast<std::int16_t>(random() % 201) - 100; return v; };
        DataFileBuilder b;
        const auto at = [&](std::uint64_t start, std::uint8_t code = 2) -> BlockSpec& { b.add({}).start = start; b.blocks.back().startCode = code; return b.blocks.back(); };
        b.fileScale = ScaleSpec::of("V", -1.0f, 0.0f, 1.0f, 0x12);
        at(T0).i16(noise(N));
        at(T0 + N * S).i16(noise(N - 1)).samples[2 * (SpikeAt - N)] = 0x75;  // about +300
        std::vector<float> f(N / 2);
        for (float& x : f) x = float(random() % 999) / 8;
        at(T0 + 2 * N * S).f32(f);
        at(Breaks[0]).i16(noise(N));
        at(Breaks[1], 1).i16(noise(N));
        const std::vector<std::uint8_t> bytes = b.build();
        Channel c{std::make_unique<DataFile>(std::make_unique<File>(std::make_unique<MemoryIO>(bytes))), nullptr, {}, bytes.size()};
        c.file->open();
        DataFileIter it(*c.file);
        do c.samples.emplace_back(it.time.ticks(), it.reading());  // as the reader gives them
        while (it.advance(1) != SeekStatus::AfterEnd);
        c.summary = std::make_unique<ChannelSummary>(*c.file);
        while (!c.summary->build(5000)) {}  // a step at a time, as a window builds them
        return c;
    }();
    return c;
}

std::vector<float> fields(const EnvelopeColumn& c) { return {float(c.filled), float(c.joined), c.low, c.high, c.first, c.last}; }

TEST(ChannelSummary, EqualsBruteForceMinMaxOnRandomSpans) {
    Channel& c = channel();
    std::mt19937 random(11);
    for (double level : Levels) for (int round = 0; round < 8; ++round) {
        // Columns on whole runs, so each run falls into one.
        const auto w = static_cast<std::uint64_t>(level * S);
        const std::uint32_t columns = 20 + random() % 400;
        const std::uint64_t at = round % 2 ? 2 * N + random() % (N / 2) : random() % (6 * N);  // every other one over the float block
        const std::uint64_t start = T0 + (at * S / w - random() % columns) * w, end = start + columns * w;  // may wrap below T0 and back
        const ColumnEnvelope got = c.summary->envelope(start, end, columns);
        ColumnEnvelope want(start, end, columns);
        for (auto [t, v] : c.samples) {
            if (std::find(std::begin(Breaks), std::end(Breaks), t) != std::end(Breaks)) want.gap();
            want.add(t, v);
        }
        // The last column also takes the run that begins at the end.
        for (std::uint32_t i = 0; i + 1 < columns; ++i) ASSERT_EQ(fields(got.columns()[i]), fields(want.columns()[i])) << level << " " << i;
    }
    EXPECT_LT(c.summary->memoryBytes(), c.bytes / 20);
}

TEST(ChannelSummary, SpikeSurvivesAndGapStaysEmptyAtEveryLevel) {
    Channel& c = channel();
    const auto [spikeTime, spike] = c.samples[SpikeAt];
    const std::uint64_t lastBefore = T0 + (5 * N / 2 - 1) * S;
    std::mt19937 random(5);
    for (double level : Levels) for (std::uint64_t around : {spikeTime, Breaks[0]}) {
        const double w = level * S;
        const std::uint64_t start = around - static_cast<std::uint64_t>(w * (1 + random() % 298) + random() % 1000);
        const ColumnEnvelope env = c.summary->envelope(start, start + static_cast<std::uint64_t>(300 * w), 300);
        const auto& cols = env.columns();
        const auto column = static_cast<std::size_t>(double(around - start) / w);  // a run moves half a column at most
        EXPECT_TRUE(around != spikeTime || std::any_of(&cols[column - 1], &cols[column + 2], [&](auto& col) { return col.filled && col.high == spike; })) << level;
        bool gapSeen = false;  // an empty column within the gap since the last filled one
        for (std::size_t i = 0; i < 300; ++i) {
            const double from = double(start) + double(i) * w;
            EXPECT_FALSE(cols[i].filled && from - w / 2 > lastBefore && from + 1.5 * w < Breaks[0]) << level << " " << i;
            EXPECT_FALSE(cols[i].filled && gapSeen && cols[i].joined) << level << " " << i;
            gapSeen = !cols[i].filled && (gapSeen || (from > lastBefore && from + w < Breaks[0]));
        }
    }
}

TEST(ChannelSummary, ValueAtTheCursor) {
    Channel& c = channel();
    float v = 0;
    for (std::size_t i = 0; i < c.samples.size(); i += 97)
        for (std::uint64_t t : {c.samples[i].first - S / 2, c.samples[i].first + S / 2 - 1})
            ASSERT_TRUE(c.summary->valueAt(t, v) && v == c.samples[i].second) << i;
    for (std::uint64_t t : {T0 - S, Breaks[0] - N * S, Breaks[2] - S}) EXPECT_FALSE(c.summary->valueAt(t, v)) << t;  // before the first sample, in gaps
}

}  // namespace

// A file cut in its second block: the chart reports the end of its chain once, and still reads what it holds.
TEST(ChannelSummary, CutFileReportsItsEndOnceAndStaysReadable) {
    testsupport::RecordingNotice notice;
    DataFileBuilder b;
    b.add({}).u16({1, 2, 3}).start = T0;
    b.add({}).u16({4, 5, 6}).start = T0 + 3 * S;
    std::vector<std::uint8_t> bytes = b.build();
    bytes.resize(bytes.size() - 4);
    DataFile df(std::make_unique<File>(std::make_unique<MemoryIO>(bytes)));
    df.open();
    ChannelSummary summary(df);
    EXPECT_EQ(summary.progress(), 0);
    EXPECT_TRUE(summary.build());
    EXPECT_EQ(summary.progress(), 1);
    EXPECT_TRUE(notice.messages.empty());
    df.reportHeldError();
    df.reportHeldError();
    EXPECT_EQ(notice.messages, std::vector<std::string>{"End of File"});
    float value = 0;
    DataFileIter second(df);
    second.advance(1);
    EXPECT_TRUE(summary.valueAt(T0 + S, value));
    EXPECT_EQ(value, second.reading());
}

// A panel's range: the scale in order, widened to the samples, never empty.
TEST(ChannelTrace, ShownRange) {
    const struct { float scaleLow, scaleHigh; std::vector<float> samples; float low, high; } rows[] = {
        {0, 100, {20, 50}, 0, 100}, {100, 0, {}, 0, 100}, {0, 100, {-5, 120}, -5, 120},
        {NAN, 5, {2}, 0, 2}, {5, 5, {}, 4, 6}, {INFINITY, 1, {}, -1, 1},
    };
    for (const auto& r : rows) {
        ChannelTrace t{"", r.scaleLow, r.scaleHigh, ColumnEnvelope(0, 10, 1)};
        for (float v : r.samples) t.envelope.add(5, v);
        float low = 0, high = 0;
        bool any = false;
        t.shownRange(low, high, any);
        EXPECT_EQ(std::vector<float>({low, high, float(any)}), std::vector<float>({r.low, r.high, float(!r.samples.empty())})) << r.scaleLow;
    }
}
