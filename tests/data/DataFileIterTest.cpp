#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "data/DataFileIter.h"
#include "storage/DISK.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

using testfile::BlockSpec;
using testfile::DataFileBuilder;
using testfile::ScaleSpec;
using testsupport::RecordingNotice;
using Texts = std::vector<std::string>;

namespace {

const std::uint64_t T0 = testfile::ticksAt(2023, 6, 30, 23, 59, 30);
constexpr std::uint64_t Second = 10000;

BlockSpec u16Block(std::vector<std::uint16_t> values, std::uint64_t start, std::int32_t interval, std::uint8_t code) {
    BlockSpec b;
    b.start = start;
    b.interval = interval;
    b.startCode = code;
    b.u16(values);
    return b;
}

std::vector<std::uint16_t> run(std::uint16_t first, int n) {
    std::vector<std::uint16_t> v;
    for (int i = 0; i < n; ++i) v.push_back(static_cast<std::uint16_t>(first + i));
    return v;
}

// A: samples 0..9 at 1 s from T0 (ends T0+9 s); a gap; B: 100..104 at 1 s
// from T0+20 s, continuing the recording; a gap; C: 200..203 at 0.5 s from
// T0+40 s after a break (ends T0+41.5 s). Sample numbers 0..18.
std::vector<std::uint8_t> threeBlocks() {
    DataFileBuilder b;
    b.add(u16Block(run(0, 10), T0, 10000, 2));
    b.add(u16Block(run(100, 5), T0 + 20 * Second, 10000, 2));
    b.add(u16Block(run(200, 4), T0 + 40 * Second, 5000, 1));
    return b.build();
}

class ReaderIter : public ::testing::Test {
protected:
    // Opens a fresh copy so that each case loads its blocks itself.
    DataFileIter& start(const std::vector<std::uint8_t>& bytes, std::uint32_t advanceBy = 0) {
        df = std::make_unique<DataFile>(std::make_unique<File>(std::make_unique<MemoryIO>(bytes)));
        df->open();
        it = std::make_unique<DataFileIter>(*df);
        if (advanceBy) it->advance(advanceBy);
        return *it;
    }

    RecordingNotice notice;
    std::unique_ptr<DataFile> df;
    std::unique_ptr<DataFileIter> it;
};

// Sample number n of threeBlocks(): its value and time.
double valueOf(std::uint32_t n) { return n < 10 ? n : n < 15 ? 100 + (n - 10) : 200 + (n - 15); }
std::uint64_t timeOf(std::uint32_t n) {
    return n < 10 ? T0 + n * Second : n < 15 ? T0 + (10 + n) * Second : T0 + 40 * Second + (n - 15) * Second / 2;
}

// A negative step retreats; the result is advance's status, or whether
// retreat found the sample.
TEST_F(ReaderIter, AdvanceAndRetreatAcrossBlocksAndBreaks) {
    const struct { std::uint32_t from; int by; int result; std::uint32_t number; } cases[] = {
        {0, 0, 1, 0}, {0, 3, 1, 3}, {10, 4, 1, 14}, {0, 18, 3, 18}, {16, 1000, 0, 18},
        {9, 1, 2, 10},   // into a block with start code 2
        {14, 1, 3, 15},  // into a block with start code 1
        {5, 12, 3, 17},  // the break is kept while passing on
        {0, 19, 0, 18},  // past the end: stands on the last sample
        {3, -3, 1, 0},   {12, -3, 1, 9}, {10, -1, 1, 9},  {15, -5, 1, 10},
        {15, -6, 1, 9},  {18, -18, 1, 0}, {3, -4, 0, 0},  {18, -19, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("from " + std::to_string(c.from) + " by " + std::to_string(c.by));
        DataFileIter& it = start(threeBlocks(), c.from);
        if (c.by >= 0) {
            EXPECT_EQ(it.advance(std::uint32_t(c.by)), c.result);
            EXPECT_EQ(it.status, c.result);
        } else {
            EXPECT_EQ(it.retreat(std::uint32_t(-c.by)), c.result == 1);
        }
        EXPECT_EQ(it.sampleNumber, c.number);
        EXPECT_EQ(it.value(), valueOf(c.number));
        EXPECT_EQ(it.time.ticks(), timeOf(c.number));
    }
    EXPECT_TRUE(notice.messages.empty());
}

TEST_F(ReaderIter, SeekTimeFindsSamplesAndSnapsInGaps) {
    // time: where the iterator stands, 0 for the time asked for.
    const struct { const char* what; std::uint32_t from; std::uint64_t t; int status; std::uint32_t number; std::uint64_t time; } cases[] = {
        {"on a sample", 0, T0 + 3 * Second, 1, 3, 0},
        {"between samples", 0, T0 + 3 * Second + 5000, 1, 3, 0},
        {"last of the block", 0, T0 + 9 * Second, 1, 9, 0},
        {"before the first sample", 5, T0 - 1, -1, 0, T0},
        {"gap after the block it is in", 0, T0 + 12 * Second, 3, 9, T0 + 9 * Second},
        {"gap after the next block", 12, T0 + 30 * Second, 3, 14, T0 + 24 * Second},
        {"gap found walking forwards", 0, T0 + 30 * Second, 3, 15, T0 + 40 * Second},
        {"later block", 0, T0 + 22 * Second, 2, 12, 0},
        {"start of a later block", 0, T0 + 40 * Second, 2, 15, 0},
        {"last sample of the file", 0, T0 + 41 * Second + 5000, 2, 18, 0},
        {"earlier block", 17, T0 + 5 * Second, 2, 5, 0},
        {"gap found walking backwards", 17, T0 + 12 * Second, 3, 9, T0 + 9 * Second},
        {"gap before the block it is in", 17, T0 + 30 * Second, 3, 14, T0 + 24 * Second},
        {"after the last sample", 0, T0 + 3600 * Second, 0, 18, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DataFileIter& it = start(threeBlocks(), c.from);
        EXPECT_EQ(it.seekTime(CTime::fromTicks(c.t)), c.status);
        EXPECT_EQ(it.sampleNumber, c.number);
        EXPECT_EQ(it.value(), valueOf(c.number));
        EXPECT_EQ(it.time.ticks(), c.time ? c.time : c.t);
        // The position found is a real one: its neighbours follow it.
        if (c.number > 0) {
            EXPECT_TRUE(it.retreat(1));
            EXPECT_EQ(it.value(), valueOf(c.number - 1));
            it.advance(1);
        }
        if (c.number < 18) {
            it.advance(1);
            EXPECT_EQ(it.value(), valueOf(c.number + 1));
        }
    }
}

TEST_F(ReaderIter, ToEndStandsOnTheLastSample) {
    DataFileBuilder b;
    b.add(u16Block(run(0, 10), T0, 10000, 2));
    b.add(u16Block(run(10, 5), T0 + 60 * Second, 20000, 1));
    const auto bytes = b.build();
    const std::uint64_t endA = T0 + 9 * Second, endB = T0 + 68 * Second;
    using I = DataFileIter&;
    const struct { const char* what; void (*before)(I); bool countToo; std::uint32_t number; std::uint64_t time; } cases[] = {
        {"counting from the start", [](I) {}, true, 14, endB},
        {"counting from within", [](I i) { i.advance(3); }, true, 14, endB},
        {"counting with the next block loaded", [](I i) { i.advance(12), i.retreat(10); }, true, 14, endB},
        {"only the first block loaded", [](I) {}, false, 9, endA},
        {"after the chain was read", [](I i) { i.advance(100), i.reset(); }, false, 14, endB},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DataFileIter& it = start(bytes);
        c.before(it);
        it.toEnd(c.countToo);
        EXPECT_EQ(it.sampleNumber, c.number);
        EXPECT_EQ(it.time.ticks(), c.time);
        EXPECT_EQ(it.value(), double(c.number));
    }
}

// One file scale (0 .. 50 .. 100, two places) serves blocks of every data
// type; each converts with its own type even after the others were read.
TEST_F(ReaderIter, ReadingsFollowEachBlocksTypeAndScale) {
    DataFileBuilder b;
    b.fileScale = ScaleSpec::of("MIX", 0, 50, 100, 0x12);
    std::uint64_t at = T0;
    auto next = [&at](BlockSpec s) {
        s.start = at;
        at += 100 * Second;
        return s;
    };
    b.add(next(BlockSpec{})).i16({-1234, 5000});
    b.add(next(BlockSpec{})).u16({0, 32767, 65535, 49151});
    b.add(next(BlockSpec{})).f32({3.25f, -1e6f});
    b.add(next(BlockSpec{})).u8({0, 120, 240, 250});
    BlockSpec& own = b.add(next(BlockSpec{}));  // mid-scale: 0 .. 250 .. 750 .. 1000
    own.u16({16383, 49150, 65535});
    own.scale = ScaleSpec::of("OWN", 0, 750, 1000, 0x40);
    b.add(next(BlockSpec{})).u16({49150});  // inherits the record above
    b.add(next(BlockSpec{})).i16({-1234});  // and so does this: three places from 0 .. 1000
    const struct { double raw; float reading; } expected[] = {
        {-1234, -12.34f}, {5000, 50.0f},                                    // signed fixed point
        {0, 0.0f}, {32767, 50.0f}, {65535, 100.0f}, {49151, 75.0f},          // 16-bit counts
        {3.25, 3.25f}, {-1e6, -1e6f},                                        // floats
        {0, 0.0f}, {120, 50.0f}, {240, 100.0f}, {250, 104.16667f},           // 8-bit counts
        {16383, 250.0f}, {49150, 750.0f}, {65535, 1000.0f}, {49150, 750.0f},  // own scale, inherited
        {-1234, -1.234f}};
    DataFileIter& it = start(b.build());
    it.toEnd(true);
    ASSERT_EQ(it.sampleNumber + 1, std::size(expected));
    it.reset();
    for (std::size_t n = 0; n < std::size(expected); ++n, it.advance(1)) {
        EXPECT_EQ(it.value(), expected[n].raw) << "sample " << n;
        EXPECT_FLOAT_EQ(it.reading(), expected[n].reading) << "sample " << n;
    }
    // Backwards too: the conversion does not depend on the order of reading.
    for (std::size_t n = std::size(expected); n-- > 0; it.retreat(1))
        EXPECT_FLOAT_EQ(it.reading(), expected[n].reading) << "sample " << n;
    EXPECT_TRUE(notice.messages.empty());
}

// A block whose samples are no longer in memory reads them again from the
// file, past its own alarm and scale records, and checks them against its
// checksum from the start again: a good block stays good.
TEST_F(ReaderIter, SamplesDroppedFromMemoryLoadAgain) {
    DataFileBuilder b;
    b.add(BlockSpec{}).u16({1, 2});
    BlockSpec& own = b.add(u16Block({0, 32767, 65535}, T0, 10000, 2));
    own.alarm = testfile::AlarmSpec{0x03, {}};
    own.scale = ScaleSpec::of("OWN", 0.0f, 500.0f, 1000.0f, 0x10);
    b.add(u16Block({7}, T0 + 3 * Second, 10000, 2)).badChecksum = true;
    DataFileIter& it = start(b.build());
    it.toEnd(true);
    EXPECT_EQ(notice.texts(), Texts{"Checksum error.\n"});
    // Cleared, so that a second checksum error would be shown.
    df->stream()->secondaryError = ErrorRecord{};
    notice.clear();

    it.reset();
    it.advance(2);
    DataBlock* block = it.block();
    ASSERT_EQ(block->address, b.addressOf(1));
    EXPECT_EQ(block->firstSampleOffset(), b.addressOf(1) + 24 + 21 + 19);
    block->samples.reset();
    EXPECT_EQ(it.value(), 0.0);
    EXPECT_EQ(block->checksum, ChecksumResult::Match);
    it.advance(2);
    EXPECT_EQ(it.block(), block);
    block->samples.reset();
    EXPECT_EQ(it.value(), 65535.0);
    EXPECT_FLOAT_EQ(it.reading(), 1000.0f);
    EXPECT_TRUE(notice.messages.empty());

    it.advance(1);
    it.block()->samples.reset();
    EXPECT_EQ(it.value(), 7.0);
    EXPECT_EQ(notice.texts(), Texts{"Checksum error.\n"});
}

TEST(EmptyDataFile, NothingToOpenOrWalk) {
    RecordingNotice notice;
    DataFile noFile;
    EXPECT_EQ(noFile.stream(), nullptr);
    noFile.open();
    EXPECT_FALSE(noFile.hasBlocks());

    DataFileIter it(noFile);
    EXPECT_EQ(it.block(), nullptr);
    EXPECT_EQ(it.time.ticks(), 0u);
    EXPECT_EQ(it.advance(3), SeekStatus::AfterEnd);
    EXPECT_FALSE(it.retreat(1));
    EXPECT_EQ(it.seekTime(CTime::fromTicks(T0)), SeekStatus::AfterEnd);
    it.toEnd(true);
    it.toEnd(false);
    EXPECT_EQ(it.nextBlock(), nullptr);
    EXPECT_EQ(it.value(), 0.0);
    EXPECT_EQ(it.reading(), 0.0f);
    noFile.close();
    EXPECT_TRUE(notice.messages.empty());

    const std::string missing = (std::filesystem::temp_directory_path() / "hx_no_such_file.DC1").string();
    DataFile absent(std::make_unique<File>(std::make_unique<DISK>(missing)));
    absent.open();
    EXPECT_FALSE(absent.hasBlocks());
    EXPECT_EQ(notice.texts(), Texts{"Can't Open file.\n" + missing});
    EXPECT_FALSE(isBusy());
}

// Without a scale in force the raw value is the reading; records a block
// is flagged to have but that were not read take their mask byte alone.
TEST(BlockWithoutScale, ReadingIsTheRawValue) {
    DataBlock block;
    EXPECT_EQ(block.toEngineering(-12.5), -12.5f);
    EXPECT_EQ(block.firstSampleOffset(), 24u);
    block.flags = BlockFlags::OwnAlarms | BlockFlags::OwnScale;
    EXPECT_EQ(block.firstSampleOffset(), 24u + 1 + 19);
}

}  // namespace
