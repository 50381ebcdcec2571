#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "data/DataFileIter.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

using testfile::BlockSpec;
using testfile::DataFileBuilder;
using testfile::ScaleSpec;
using testsupport::RecordingNotice;

namespace {

const std::uint64_t T0 = testfile::ticksAt(2022, 11, 2, 14, 5);
using Texts = std::vector<std::string>;

BlockSpec u16Block(std::vector<std::uint16_t> values, std::uint64_t start, std::uint8_t startCode = 2) {
    BlockSpec b;
    b.start = start;
    b.startCode = startCode;
    b.u16(values);
    return b;
}

// A stream that refuses more than `budget` fills: a walk that would never
// end fails the test instead of hanging it.
class BoundedMemoryIO : public MemoryIO {
public:
    BoundedMemoryIO(std::vector<std::uint8_t> bytes, int budget) : MemoryIO(std::move(bytes)), budget_(budget) {}
    void fill() override {
        if (fills() >= budget_) {
            setCode(mainError, ErrorCode::ReadFailed);
            return;
        }
        MemoryIO::fill();
    }

private:
    int budget_;
};

std::unique_ptr<DataFile> openData(std::unique_ptr<IO> io) {
    auto df = std::make_unique<DataFile>(std::make_unique<File>(std::move(io)));
    df->open();
    return df;
}

std::unique_ptr<DataFile> openData(const DataFileBuilder& b) { return openData(std::make_unique<MemoryIO>(b.build())); }

std::vector<DataBlock*> loaded(DataFile& df) {
    std::vector<DataBlock*> out;
    VArrayIter<DataBlock> it(df.blocks);
    for (DataBlock* b = it.first(); b; b = it.advance(1) ? it.current() : nullptr) out.push_back(b);
    return out;
}

}  // namespace

TEST(ReaderOpen, FindsTheFirstUsableBlockOrReportsOneError) {
    using B = DataFileBuilder&;
    const Texts none, cantGet = {"Can't get block."}, corrupt = {"Corrupt Pointers.\nBlock Data Ignored."};
    const struct {
        const char* what;
        void (*damage)(DataFileBuilder&);
        const Texts& texts;
        int firstLoaded;  // builder index of the block loaded, -1: none
        std::uint8_t startCode;
    } cases[] = {
        {"clean", [](B) {}, none, 0, 2},
        {"no last block address", [](B b) { b.lastBlock = 0; }, none, 0, 2},
        {"negative prev", [](B b) { b.blocks[0].prev = 0xFFFFFFF0u; }, cantGet, -1, 0},
        {"empty first block", [](B b) { b.blocks[0].samples.clear(); }, none, 1, 0x42},
        {"byte count below sample size", [](B b) { b.blocks[0].samples = {0x12}; }, none, 1, 0x42},
        {"first block has a back address", [](B b) { b.blocks[0].prev = 43; }, corrupt, 1, 0x42},
        {"all blocks empty", [](B b) { for (auto& k : b.blocks) k.samples.clear(); }, cantGet, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingNotice notice;
        DataFileBuilder b;
        b.add(u16Block({1, 2, 3}, T0));
        b.add(u16Block({4, 5}, T0 + 100000));
        c.damage(b);
        auto df = openData(b);
        EXPECT_EQ(notice.texts(), c.texts);
        EXPECT_EQ(notice.busyChanges, (std::vector<bool>{true, false}));
        auto blocks = loaded(*df);
        if (c.firstLoaded < 0) {
            EXPECT_TRUE(blocks.empty());
            continue;
        }
        ASSERT_EQ(blocks.size(), 1u);
        EXPECT_EQ(blocks[0]->address, b.addressOf(c.firstLoaded));
        EXPECT_EQ(blocks[0]->startCode, c.startCode);
        EXPECT_EQ(df->stream()->mainError.code, 0);  // reported and cleared
    }
}

TEST(ReaderOpen, CorruptBackAddressCostsOnlyItsBlock) {
    RecordingNotice notice;
    DataFileBuilder b;
    b.add(u16Block({1, 2, 3}, T0));
    b.add(u16Block({4, 5}, T0 + 100000)).prev = 12345;
    b.add(u16Block({6, 7, 8, 9}, T0 + 200000));
    auto df = openData(b);
    EXPECT_EQ(loaded(*df).size(), 1u);
    EXPECT_TRUE(notice.messages.empty());

    DataFileIter it(*df);
    it.toEnd(true);
    auto blocks = loaded(*df);
    ASSERT_EQ(blocks.size(), 2u);
    // The third block's back address names the dropped second block.
    EXPECT_EQ(blocks[1]->address, b.addressOf(2));
    EXPECT_EQ(blocks[1]->startCode, 0x42);
    EXPECT_EQ(it.sampleNumber, 6u);
    EXPECT_EQ(it.value(), 9.0);
    EXPECT_EQ(notice.texts(), Texts{"Corrupt Pointers.\nBlock Data Ignored."});
}

TEST(ReaderOpen, NegativeAddressLaterStopsTheChainAndIsReportedAtClose) {
    RecordingNotice notice;
    DataFileBuilder b;
    b.add(u16Block({1, 2, 3}, T0));
    b.add(u16Block({4, 5}, T0 + 100000)).next = 0x80000010u;
    b.add(u16Block({6}, T0 + 200000));
    auto df = openData(b);
    DataFileIter it(*df);
    it.toEnd(true);
    EXPECT_EQ(loaded(*df).size(), 1u);
    EXPECT_EQ(df->stream()->mainError.code, ErrorCode::CorruptPointers);
    EXPECT_EQ(it.value(), 3.0);
    df->close();
    EXPECT_EQ(notice.texts(), Texts{"Pointers are corrupted"});
}

TEST(ReaderOpen, InvalidIntervalBecomesFourPerSecond) {
    const Texts illegal = {"Illegal storage rate. Rate set at 4 samples / second", "Address = 0x2B"};
    const struct { std::int32_t stored; std::uint32_t ticks; bool valid; } cases[] = {
        {0, 2500, false}, {-5, 500, true}, {-1, 100, true}, {1, 1, true},
        {60000000, 60000000, true}, {60000001, 2500, false},
        {-600000, 60000000, true}, {-600001, 2500, false}, {INT32_MIN, 2500, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        RecordingNotice notice;
        DataFileBuilder b;
        b.add(u16Block({1, 2, 3}, T0)).interval = c.stored;
        b.add(u16Block({4}, T0 + 900000000000ull));  // the last block, read again by open
        ASSERT_EQ(b.addressOf(0), 0x2Bu);
        auto df = openData(b);
        auto blocks = loaded(*df);
        ASSERT_EQ(blocks.size(), 1u);
        EXPECT_EQ(blocks[0]->interval, c.ticks);
        EXPECT_EQ(blocks[0]->endTime.ticks(), T0 + 2ull * c.ticks);
        EXPECT_EQ(notice.texts(), c.valid ? Texts{} : illegal);
    }
}

TEST(ReaderOpen, TruncatedBlockKeepsTheSamplesRead) {
    RecordingNotice notice;
    DataFileBuilder b;
    BlockSpec& block = b.add(u16Block({10, 11, 12, 13, 14, 15}, T0));
    block.byteCount = 20;           // ten samples declared
    block.samples.push_back(0x55);  // and half of a seventh
    auto df = openData(b);
    auto blocks = loaded(*df);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0]->count, 6);
    EXPECT_EQ(blocks[0]->endTime.ticks(), T0 + 5 * 10000ull);
    EXPECT_EQ(notice.texts(), Texts{"End of File"});
    DataFileIter it(*df);
    it.toEnd(false);
    EXPECT_EQ(it.value(), 15.0);
}

// A chain that comes back to a block it has passed ends with "Pointers are
// corrupted"; the blocks loaded before stay in use. The gaps make every
// block load fill the buffer, so the fill count bounds the walk.
TEST(ReaderOpen, BlockChainCyclesEnd) {
    const int budget = 40;
    const struct { const char* what; std::vector<int> nextIndex; bool empty; } cases[] = {  // -1: as laid out
        {"A -> B -> A", {-1, 0}, false}, {"A -> A", {0}, false}, {"A -> B -> B", {-1, 1}, false},
        {"empty A -> empty B -> A", {-1, 0}, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingNotice notice;
        DataFileBuilder b;
        std::uint32_t total = 0;
        for (std::size_t i = 0; i < c.nextIndex.size(); ++i) {
            std::vector<std::uint16_t> values = {std::uint16_t(10 * i + 1), std::uint16_t(10 * i + 2)};
            if (c.empty) values.clear();
            total += std::uint32_t(values.size());
            BlockSpec& block = b.add(u16Block(values, T0 + 100000 * i));
            block.gapBefore = 600;
            if (c.nextIndex[i] >= 0) block.nextIndex = c.nextIndex[i];
        }
        auto owned = std::make_unique<BoundedMemoryIO>(b.build(), budget);
        BoundedMemoryIO* io = owned.get();
        auto df = openData(std::move(owned));
        if (c.empty) {
            EXPECT_FALSE(df->hasBlocks());
            EXPECT_EQ(notice.texts(), Texts{"Can't get block."});
            EXPECT_LT(io->fills(), budget);
            continue;
        }
        EXPECT_TRUE(notice.messages.empty());
        DataFileIter it(*df);
        it.toEnd(true);
        EXPECT_EQ(it.nextBlock(), nullptr);
        EXPECT_LT(io->fills(), budget);
        EXPECT_EQ(io->mainError.code, ErrorCode::CorruptPointers);
        ASSERT_EQ(loaded(*df).size(), c.nextIndex.size());
        EXPECT_EQ(it.sampleNumber, total - 1);
        it.reset();
        for (std::uint32_t n = 0; n < total; ++n, it.advance(1))
            EXPECT_EQ(it.value(), 10.0 * (n / 2) + 1 + n % 2) << "sample " << n;
    }
}

// A dropped block's own records stay in force for the blocks after it.
TEST(ReaderOpen, DroppedBlockRecordsStayInForce) {
    const struct { const char* what; void (*drop)(BlockSpec&); } cases[] = {
        {"empty", [](BlockSpec& s) { s.samples.clear(); }}, {"corrupt back address", [](BlockSpec& s) { s.prev = 7; }}};
    for (const auto& c : cases) {
        for (int dropped : {0, 1}) {
            SCOPED_TRACE(std::string(c.what) + (dropped ? " second block" : " first block"));
            RecordingNotice notice;
            DataFileBuilder b;
            for (int i = 0; i < 3; ++i) b.add(u16Block({65535}, T0 + 100000 * i));
            BlockSpec& carrier = b.blocks[dropped];
            carrier.scale = ScaleSpec::of("PRESS", 0, 500, 1000);
            carrier.alarm = testfile::AlarmSpec{};
            carrier.alarm->mask = 0x01;
            carrier.alarm->records[0] = {testfile::floatBits(750.0f), testfile::floatBits(900.0f), 1, 0};
            c.drop(carrier);
            auto df = openData(b);
            DataFileIter it(*df);
            it.toEnd(true);
            auto blocks = loaded(*df);
            ASSERT_EQ(blocks.size(), 2u);
            DataBlock* heir = blocks[dropped];  // the block right after the dropped one
            EXPECT_EQ(heir->address, b.addressOf(dropped + 1));
            EXPECT_EQ(heir->startCode, 0x42);
            for (DataBlock* later : {heir, blocks.back()}) {
                ASSERT_NE(later->scale, nullptr);
                EXPECT_STREQ(later->scale->label, "PRESS");
                ASSERT_NE(later->alarms, nullptr);
                EXPECT_EQ(later->alarms->records[0].first, 750.0f);
            }
            EXPECT_FLOAT_EQ(it.reading(), 1000.0f);
            it.reset();
            EXPECT_FLOAT_EQ(it.reading(), dropped ? 100.0f : 1000.0f);
            df.reset();  // records freed once, after every block using them
        }
    }
}
