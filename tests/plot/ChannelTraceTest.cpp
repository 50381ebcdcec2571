#include <gtest/gtest.h>

#include <memory>

#include "data/DataFile.h"
#include "plot/ChannelTrace.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

namespace {

using namespace testfile;

constexpr std::uint64_t Second = 10000;

std::unique_ptr<DataFile> openFile(const DataFileBuilder& b) {
    auto f = std::make_unique<DataFile>(std::make_unique<File>(std::make_unique<MemoryIO>(b.build())));
    f->open();
    return f;
}

// Blocks of one-second samples whose value is their second in the span:
// what joins a block to the one before and what breaks the line.
TEST(ChannelTrace, BlocksJoinOrBreakAndTheSpanCutsThem) {
    const std::uint64_t t0 = ticksAt(2001, 3, 5, 14, 5, 0);
    DataFileBuilder b;
    b.fileScale = ScaleSpec::of("DEGC", -5.0f, 0.0f, 95.0f, 0x12);
    const struct { std::uint64_t start; std::uint8_t code; std::vector<std::int16_t> raw; } blocks[] = {
        {t0 - Second, 2, {-100, 0, 100, 200}},  // starts before the span
        {t0 + 3 * Second, 2, {300, 400}},        // one interval on: joined
        {t0 + 6 * Second, 2, {600, 700}},        // a missed sample: gap
        {t0 + 8 * Second, 0, {800, 900}},        // on time, but the recording restarted
        {t0 + 104000, 3, {1000, 1100, 1200}},    // late by 0.4 s: joined
    };
    for (const auto& s : blocks) {
        BlockSpec blk;
        blk.start = s.start;
        blk.startCode = s.code;
        blk.i16(s.raw);
        b.add(blk);
    }
    auto f = openFile(b);
    ChannelSummary summary(*f);
    summary.build();
    // Span to 12 s: the last sample (12.4 s) falls outside; to 20 s the
    // file ends first.
    for (std::uint32_t seconds : {12u, 20u}) {
        SCOPED_TRACE(seconds);
        const ChannelTrace t = traceChannel(summary, t0, t0 + seconds * Second, seconds);
        EXPECT_EQ(t.title, "RECORDER (DEGC)");
        EXPECT_EQ(t.scaleLow, -5.0f);
        EXPECT_EQ(t.scaleHigh, 95.0f);
        const auto& c = t.envelope.columns();
        ASSERT_EQ(c.size(), seconds);
        const bool joined[13] = {0, 1, 1, 1, 1, 0, 0, 1, 0, 1, 1, 1, 1};
        for (std::uint32_t i = 0; i < seconds; ++i) {
            SCOPED_TRACE(i);
            const bool filled = i != 5 && i < 13 && (i < 12 || seconds > 12);
            ASSERT_EQ(c[i].filled, filled);
            if (!filled) continue;
            EXPECT_EQ(c[i].joined, joined[i]);
            EXPECT_EQ(c[i].low, float(i));
            EXPECT_EQ(c[i].high, float(i));
        }
        float low, high;
        ASSERT_TRUE(t.envelope.range(low, high));
        EXPECT_EQ(low, 0.0f);
        EXPECT_EQ(high, seconds > 12 ? 12.0f : 11.0f);
    }
}

TEST(ChannelTrace, FileWithoutBlocksHasTitleAndScaleOnly) {
    testsupport::RecordingNotice notice;
    DataFileBuilder b;
    b.fileScale = ScaleSpec::of("BAR", 1.0f, 2.0f, 3.0f);
    auto f = openFile(b);
    ASSERT_FALSE(f->hasBlocks());
    ChannelSummary summary(*f);
    EXPECT_TRUE(summary.build());
    const ChannelTrace t = traceChannel(summary, 0, Second, 4);
    EXPECT_EQ(t.title, "RECORDER (BAR)");
    EXPECT_EQ(t.scaleLow, 1.0f);
    EXPECT_EQ(t.scaleHigh, 3.0f);
    float low, high;
    EXPECT_FALSE(t.envelope.range(low, high));
}

}  // namespace
