// What harvex cannot show: the busy state the desktop program watches,
// samples read again once given back, the list removal only its window
// framework uses, and that the export's quick conversion of whole counts
// agrees with the scale's own.
#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <vector>

#include "data/DataFileIter.h"
#include "data/HeaderRecords.h"
#include "data/SampleArrays.h"
#include "data/VArray.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

namespace {

TEST(DataFile, OpenEndsBusyAndDroppedSamplesLoadAgain) {
    testsupport::RecordingNotice notice;
    testfile::DataFileBuilder b;
    testfile::BlockSpec& s = b.add(testfile::BlockSpec{});
    s.u16({7, 65535});
    s.alarm = testfile::AlarmSpec{0x03, {}};
    s.scale = testfile::ScaleSpec::of("OWN", 0, 500, 1000, 0x10);
    std::vector<std::uint8_t> bytes = b.build();
    for (std::size_t size : {bytes.size(), std::size_t(50)}) {
        bytes.resize(size);
        DataFile df(std::make_unique<File>(std::make_unique<MemoryIO>(bytes)));
        df.open();
        EXPECT_FALSE(isBusy());
        if (!df.hasBlocks()) continue;
        // Samples the export gave back are read again, past the block's records.
        DataFileIter it(df);
        it.advance(1);
        it.block()->samples.reset();
        EXPECT_EQ(it.reading(), 1000.0f);
        EXPECT_EQ(it.block()->checksum, ChecksumResult::Match);
    }
    EXPECT_EQ(notice.messages, std::vector<std::string>{"Can't get block."});
}

// What a seek reports and where it stands, for callers that step through
// blocks themselves: three blocks of three samples, a gap before the third.
TEST(DataFileIter, SeekStatusAndSampleNumber) {
    testfile::DataFileBuilder b;
    const std::uint64_t t0 = testfile::ticksAt(2001, 3, 5), s = 10000;
    for (std::uint64_t start : {t0, t0 + 3 * s, t0 + 9 * s}) b.add(testfile::BlockSpec{}).u16({1, 2, 3}).start = start;
    DataFile df(std::make_unique<File>(std::make_unique<MemoryIO>(b.build())));
    df.open();
    DataFileIter it(df);
    const struct { std::uint64_t at; int status; std::uint32_t number; } seeks[] = {
        {t0 + 4 * s, 2, 4}, {t0 + 7 * s, 3, 6}, {t0 + 99 * s, 0, 8}};  // other block, break, after the end
    for (const auto& c : seeks) {
        it.reset();
        EXPECT_EQ(it.seekTime(CTime::fromTicks(c.at)), c.status) << c.number;
        EXPECT_EQ(it.sampleNumber, c.number);
    }
    EXPECT_FALSE((it.reset(), it.retreat(1)));
    // Back from the third block over the whole second one.
    EXPECT_TRUE((it.seekTime(CTime::fromTicks(t0 + 10 * s)), it.retreat(6)));
    EXPECT_EQ(it.time.ticks(), t0 + s);
    // A header of a range of types takes the types within it only.
    for (std::uint8_t type : {5, 6, 8, 9}) {
        b.type = type;
        MemoryIO io(b.build());
        io.open(0);
        GeneralHeader().read(io, 6, 8);
        EXPECT_EQ(io.mainError.code == 0, type == 6 || type == 8) << int(type);
    }
}

// One sample read into an array not read before leaves the others 0; all
// of them go back out as they were read.
TEST(SampleArrays, ReadOneAndWriteAll) {
    const std::vector<std::uint8_t> in = {0x12, 0x34, 0x56, 0x78};
    std::unique_ptr<DataTypeAr> arrays[] = {std::make_unique<IntData>(3, true), std::make_unique<CharData>(3), std::make_unique<FloatData>(3)};
    for (auto& a : arrays) {
        MemoryIO from(in), to({});
        from.open(0), to.open(IO::ModeWrite);
        a->readOne(from, 1), a->readOne(from, 3);  // the second past the end: nothing stored
        a->writeAll(to), to.close();
        const auto width = std::ptrdiff_t(to.bytes().size() / 3);
        std::vector<std::uint8_t> want(std::size_t(3 * width), 0);
        std::copy(in.begin(), in.begin() + width, want.begin() + width);
        EXPECT_EQ(to.bytes(), want) << width;
    }
}

struct Item : DNode<Item> {
    Item(int i, int& gone) : id(i), destroyed(gone) {}
    ~Item() override { ++destroyed; }
    int id;
    int& destroyed;
};

TEST(DList, RemoveUnlinksWithoutDestroying) {
    for (int removed : {0, 1, 2}) {
        int destroyed = 0;
        DList<Item> list;
        Item* items[3];
        for (int i = 0; i < 3; ++i) items[i] = list.append(std::make_unique<Item>(i, destroyed));
        Item stranger(9, destroyed);
        list.remove(&stranger);  // of no list: nothing changes
        list.remove(items[removed]);
        std::vector<int> forward, backward;
        for (Item* n = list.head; n; n = n->next) forward.push_back(n->id);
        for (Item* n = list.tail; n; n = n->prev) backward.insert(backward.begin(), n->id);
        const std::vector<int> rest = removed == 0 ? std::vector{1, 2} : removed == 1 ? std::vector{0, 2} : std::vector{0, 1};
        EXPECT_EQ(forward, rest);
        EXPECT_EQ(backward, rest);
        EXPECT_EQ(destroyed, 0);
        delete items[removed];
        list.clear();
        EXPECT_EQ(destroyed, 3);
        EXPECT_EQ(list.tail, nullptr);
    }
}

TEST(Units, EveryWholeCountConvertsAsTheDivisionDoes) {
    for (std::uint8_t flags : {0, 1, 2, 3, 1 | UNITS::MidScale, 3 | UNITS::MidScale, 1 | UNITS::Logarithmic}) {
        for (int places = 0; places <= UNITS::MaxDecimals; ++places) {
            UNITS u;
            u.set(-12.5f, 3.0f, 87.25f, places, flags);
            for (std::int32_t raw = -32768; raw <= 65535; ++raw)
                ASSERT_EQ(std::bit_cast<std::uint32_t>(u.wholeToEngineering(raw)),
                          std::bit_cast<std::uint32_t>(u.toEngineering(static_cast<double>(raw))))
                    << "flags " << int(flags) << " places " << places << " raw " << raw;
        }
    }
}

}  // namespace
