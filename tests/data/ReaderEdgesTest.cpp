// The reader's less travelled paths: identifying a file before reading it,
// type ranges, samples loaded again from the file, and files or iterators
// with nothing in them.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "data/DataFileIter.h"
#include "data/File.h"
#include "storage/DISK.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

using testfile::AlarmSpec;
using testfile::BlockSpec;
using testfile::DataFileBuilder;
using testfile::ScaleSpec;
using testsupport::RecordingNotice;
using Texts = std::vector<std::string>;

namespace {

const std::uint64_t T0 = testfile::ticksAt(2020, 2, 29, 23, 59, 58);

std::unique_ptr<File> memoryFile(std::vector<std::uint8_t> bytes) {
    return std::make_unique<File>(std::make_unique<MemoryIO>(std::move(bytes)));
}

TEST(IdentifyFile, ReadsTheHeaderWithoutATypeCheckAndCloses) {
    RecordingNotice notice;
    DataFileBuilder data;
    data.type = 1;
    data.ident = "PRESSURE";
    data.add(BlockSpec{}).u16({1});
    testfile::EventFileBuilder events;
    events.type = 7;  // no type is refused here
    events.linear({});
    const std::vector<std::uint8_t> dataBytes = data.build();
    const struct { const char* name; std::vector<std::uint8_t> bytes; bool clean; int type; } cases[] = {
        {"data file", dataBytes, true, 1},
        {"unknown type", events.build(), true, 7},
        {"cut in the identification", std::vector<std::uint8_t>(dataBytes.begin(), dataBytes.begin() + 6), false, 1},
        {"empty", {}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        notice.clear();
        auto file = memoryFile(c.bytes);
        EXPECT_EQ(identifyFile(*file), c.clean);
        EXPECT_EQ(file->header.type, c.type);
        EXPECT_FALSE(file->stream->isOpen());
        EXPECT_FALSE(isBusy());
        // Closing reports what cut the header short.
        EXPECT_EQ(notice.texts(), c.clean ? Texts{} : Texts{"End of File"});
    }
    auto named = memoryFile(dataBytes);
    identifyFile(*named);
    EXPECT_STREQ(named->header.text, "PRESSURE");

    File noStream;
    EXPECT_FALSE(identifyFile(noStream));
}

// Expected types above 5 name a range of their own.
TEST(GeneralHeaderType, RangesAboveFive) {
    const struct { int expected, upper; std::uint8_t type; bool accepted; } cases[] = {
        {6, 9, 6, true},  {6, 9, 9, true},   {6, 9, 7, true},  {6, 9, 10, false}, {6, 9, 5, false},
        {6, 255, 6, true}, {6, 255, 7, false}, {4, 255, 5, true}, {4, 255, 6, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.expected) + ".." + std::to_string(c.upper) + " type " + std::to_string(c.type));
        std::vector<std::uint8_t> bytes = {'4', 100, c.type, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J'};
        MemoryIO io(bytes);
        io.open(0);
        GeneralHeader h;
        h.read(io, c.expected, c.upper);
        EXPECT_EQ(io.hasMainError(), !c.accepted);
        EXPECT_STREQ(h.text, "ABCDEFGHIJ");  // read whole even when refused
    }
}

// A block whose samples are no longer in memory reads them again from the
// file, past its own alarm and scale records, and checks them against its
// checksum from the start again: a good block stays good.
TEST(LazySamples, LoadAgainFromTheFirstSampleByte) {
    RecordingNotice notice;
    DataFileBuilder b;
    b.add(BlockSpec{}).u16({1, 2});
    BlockSpec& own = b.add(BlockSpec{});
    own.start = T0;
    own.alarm = AlarmSpec{0x03, {}};
    own.scale = ScaleSpec::of("OWN", 0.0f, 500.0f, 1000.0f, 0x10);
    own.u16({0, 32767, 65535});
    BlockSpec& bad = b.add(BlockSpec{});
    bad.start = T0 + 30000;
    bad.u16({7});
    bad.badChecksum = true;
    auto df = std::make_unique<DataFile>(memoryFile(b.build()));
    df->open();
    DataFileIter it(*df);
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

// Without a scale in force the raw value is the reading.
TEST(BlockWithoutScale, ReadingIsTheRawValue) {
    DataBlock block;
    EXPECT_EQ(block.toEngineering(-12.5), -12.5f);
    EXPECT_EQ(block.firstSampleOffset(), 24u);
    block.flags = BlockFlags::OwnAlarms | BlockFlags::OwnScale;
    EXPECT_EQ(block.firstSampleOffset(), 24u + 1 + 19);  // no record read: its mask byte alone
}

}  // namespace
