#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

using testfile::BlockSpec;
using testfile::DataFileBuilder;
using testfile::floatBits;
using testfile::ScaleSpec;
using testsupport::RecordingNotice;

namespace {

const std::uint64_t T0 = testfile::ticksAt(2021, 3, 14, 9, 30);
using Texts = std::vector<std::string>;

std::unique_ptr<DataFile> openData(const std::vector<std::uint8_t>& bytes) {
    auto df = std::make_unique<DataFile>(std::make_unique<File>(std::make_unique<MemoryIO>(bytes)));
    df->open();
    return df;
}

DataFileBuilder oneBlockFile() {
    DataFileBuilder b;
    BlockSpec block;
    block.start = T0;
    b.add(block).u16({100, 200, 300});
    return b;
}

DataBlock* firstBlock(DataFile& df) { return df.hasBlocks() ? &df.blocks.head->data[0] : nullptr; }

}  // namespace

// The alarm record's size decides where the file scale record lies; the
// file scale read back proves the reader took the right number of bytes.
TEST(ReaderHeaders, AlarmMaskDecidesHeaderSize) {
    const struct { std::uint8_t mask; std::uint32_t headerSize; } cases[] = {
        {0x00, 43}, {0x1F, 93}, {0x01, 53}, {0x0A, 63}, {0xE1, 53}, {0xFF, 93}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mask));
        RecordingNotice notice;
        DataFileBuilder b = oneBlockFile();
        b.fileAlarm.mask = c.mask;
        for (int i = 0; i < 5; ++i)
            b.fileAlarm.records[i] = {floatBits(10.0f + i), floatBits(20.0f + i), 1, std::uint8_t(i)};
        b.fileScale = ScaleSpec::of("TEMP", -5.0f, 20.0f, 45.0f);
        ASSERT_EQ(b.addressOf(0), c.headerSize);
        auto df = openData(b.build());
        ASSERT_NE(firstBlock(*df), nullptr);
        EXPECT_EQ(firstBlock(*df)->address, c.headerSize);
        EXPECT_STREQ(df->blocks.fileScale.label, "TEMP");
        EXPECT_EQ(df->blocks.fileScale.units.low, -5.0f);
        EXPECT_EQ(df->blocks.fileScale.units.high, 45.0f);
        const AlarmHeader& alarms = df->blocks.fileAlarms;
        EXPECT_EQ(alarms.mask, c.mask);
        for (int i = 0; i < 5; ++i) {
            bool present = (c.mask >> i) & 1;
            EXPECT_EQ(alarms.records[i].first, present ? 10.0f + i : 0.0f) << "record " << i;
            EXPECT_EQ(alarms.records[i].second, present ? 20.0f + i : 0.0f) << "record " << i;
            EXPECT_EQ(alarms.records[i].option, present ? i : 0) << "record " << i;
        }
        EXPECT_TRUE(notice.messages.empty());
    }
}

TEST(ReaderHeaders, AlarmValuesOfNoAlarmOrNonFiniteAreZero) {
    RecordingNotice notice;
    DataFileBuilder b = oneBlockFile();
    b.fileAlarm.mask = 0x07;
    b.fileAlarm.records[0] = {floatBits(5.0f), floatBits(6.0f), 0, 3};  // type 0: no alarm
    b.fileAlarm.records[1] = {0x7F800000, 0x7FC00000, 1, 4};            // infinity, not a number
    b.fileAlarm.records[2] = {floatBits(1.5f), floatBits(-2.5f), 2, 7};
    auto df = openData(b.build());
    const AlarmSetPoint* r = df->blocks.fileAlarms.records;
    const float values[][2] = {{0.0f, 0.0f}, {0.0f, 0.0f}, {1.5f, -2.5f}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r[i].first, values[i][0]) << "record " << i;
        EXPECT_EQ(r[i].second, values[i][1]) << "record " << i;
    }
    EXPECT_EQ(r[2].type, 2);  // the type byte comes before the option byte on file
    EXPECT_EQ(r[2].option, 7);
    EXPECT_EQ(notice.texts(), Texts{"Invalid Floating Point number."});
}

TEST(ReaderHeaders, ScaleRecordLabelRangeAndDecimals) {
    const float infinity = testfile::floatFromBits(0x7F800000);
    const struct {
        ScaleSpec stored;
        const char* label;
        float low, middle, high;
        int decimals;
        std::size_t messages;
    } cases[] = {
        {ScaleSpec::of("LEVEL", 50, 123, 50), "LEVEL", 40, 50, 60, 4, 0},  // high == low widens about it
        {ScaleSpec::of("A", 0, 50, 100, 0x12), "A", 0, 50, 100, 2, 0},     // places given
        {ScaleSpec::of("A", 0, 50, 100, 0x02), "A", 0, 50, 100, 4, 0},     // bit 4 clear: from the range
        {ScaleSpec::of("A", -1000, 0, 1000, 0x02), "A", -1000, 0, 1000, 3, 0},
        {ScaleSpec::of("A", 0, 1, 123456), "A", 0, 1, 123456, 1, 0},
        {ScaleSpec::of("A", 1e6f, 2e6f, 1e7f), "A", 1e6f, 2e6f, 1e7f, 0, 0},
        {ScaleSpec::of("\x84" "C", 0, 50, 100), "\xB0" "C", 0, 50, 100, 4, 0},
        {ScaleSpec::of(std::string("AB\0\x84" "D", 5), 0, 50, 100), "AB", 0, 50, 100, 4, 0},
        {ScaleSpec::of("\x80\x81\x82\x83\x85\x86", 0, 50, 100), "^v><\xB5W", 0, 50, 100, 4, 0},
        {ScaleSpec::of("\x87\x88\x89\x7E\x8A ", 0, 50, 100), "DS\xD6~\x8A ", 0, 50, 100, 4, 0},
        {ScaleSpec::of("A", infinity, 50, 100), "A", 0, 50, 100, 4, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        RecordingNotice notice;
        DataFileBuilder b = oneBlockFile();
        b.fileScale = c.stored;
        auto df = openData(b.build());
        const ScalesHeader& s = df->blocks.fileScale;
        EXPECT_STREQ(s.label, c.label);
        EXPECT_EQ(s.units.low, c.low);
        EXPECT_EQ(s.units.point2, c.middle);
        EXPECT_EQ(s.units.high, c.high);
        EXPECT_EQ(s.units.decimals, c.decimals);
        EXPECT_EQ(notice.messages.size(), c.messages);
    }
}

TEST(ReaderHeaders, DataFileTypeCheck) {
    const struct { std::uint8_t type; bool accepted; } cases[] = {
        {0, true}, {1, true}, {2, false}, {4, false}, {5, false}, {255, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.type));
        RecordingNotice notice;
        DataFileBuilder b = oneBlockFile();
        b.type = c.type;
        b.ident = "ABCDEFGHIJ";
        auto df = openData(b.build());
        EXPECT_EQ(df->hasBlocks(), c.accepted);
        EXPECT_EQ(notice.texts(), c.accepted ? Texts{} : Texts{"Bad Type"});
        EXPECT_STREQ(df->header().text, "ABCDEFGHIJ");  // read whatever the type
    }
}

namespace {

// A block with an alarm record (mask 1: 11 bytes at 24..34), a scale record
// (35..53) and four 16-bit samples (54..61).
DataFileBuilder checksummedFile() {
    DataFileBuilder b;
    BlockSpec block;
    block.start = T0 + 7000;
    block.alarm = testfile::AlarmSpec{};
    block.alarm->mask = 0x01;
    block.alarm->records[0] = {floatBits(12.5f), floatBits(80.0f), 1, 0};
    block.scale = ScaleSpec::of("FLOW", 0, 50, 100);
    b.add(block).u16({1, 2, 3, 4});
    return b;
}

}  // namespace

TEST(ReaderChecksum, CoversHeaderScaleAndSamplesButNotAlarms) {
    const struct { const char* what; std::size_t offset; std::uint8_t flip; bool covered; } cases[] = {
        {"nothing", 0, 0x00, false},          {"time stamp tenths", 12, 0x01, true},
        {"day number", 17, 0x01, true},       {"interval", 21, 0x01, true},
        {"start code", 22, 0x01, true},       {"flags bit 5", 23, 0x20, true},
        {"alarm value", 28, 0x01, false},     {"alarm type", 33, 0x02, false},
        {"alarm option", 34, 0xFF, false},    {"scale label", 35, 0x01, true},
        {"scale low end", 44, 0x01, true},    {"scale option bit 5", 53, 0x20, true},
        {"first sample", 54, 0x01, true},     {"last sample", 61, 0x80, true},
    };
    const DataFileBuilder b = checksummedFile();
    const std::uint32_t at = b.addressOf(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingNotice notice;
        auto bytes = b.build();
        ASSERT_EQ(bytes.size(), at + 62u);
        bytes[at + c.offset] ^= c.flip;
        auto df = openData(bytes);
        DataBlock* block = firstBlock(*df);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->count, 4);  // the samples stay either way
        EXPECT_EQ(notice.texts(), c.covered ? Texts{"Checksum error.\n"} : Texts{});
        EXPECT_EQ(block->checksum, c.covered ? ChecksumResult::Mismatch : ChecksumResult::Match);
    }
}

TEST(ReaderChecksum, VerifiedOnlyFromTheVersionsThatStoreIt) {
    const struct { char version; std::uint8_t revision; bool verified; } cases[] = {
        {'4', 99, false}, {'4', 100, true},  {'5', 0, true},    {'1', 121, true},
        {'1', 120, false}, {'2', 255, false}, {'3', 255, false}, {'9', 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.version) + "/" + std::to_string(c.revision));
        RecordingNotice notice;
        DataFileBuilder b = checksummedFile();
        b.version = c.version;
        b.revision = c.revision;
        b.blocks[0].badChecksum = true;
        auto df = openData(b.build());
        ASSERT_TRUE(df->hasBlocks());
        EXPECT_EQ(notice.texts(), c.verified ? Texts{"Checksum error.\n"} : Texts{});
    }
}
