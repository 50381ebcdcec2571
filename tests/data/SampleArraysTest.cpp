#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/SampleArrays.h"
#include "storage/MemoryIO.h"
#include "support/RecordingNotice.h"

namespace {

class SampleArrays : public ::testing::Test {
protected:
    testsupport::RecordingNotice notice;
};

TEST_F(SampleArrays, FactoryAcceptsAndRefuses) {
    const struct { unsigned type; std::uint32_t count; bool made; std::uint16_t isSigned; } cases[] = {
        {0, 32766, true, 1}, {0, 32767, false, 0}, {1, 32766, true, 0}, {1, 32767, false, 0},
        {1, 0, true, 0},     {2, 65535, true, 0},  {3, 65535, true, 0}, {3, 65536, false, 0},
        {4, 1, false, 0},    {255, 1, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << c.type << " count " << c.count);
        auto array = makeSampleArray(c.type, c.count);
        ASSERT_EQ(array != nullptr, c.made);
        if (!array) continue;
        EXPECT_EQ(array->count, c.count);
        EXPECT_EQ(array->isSigned, c.isSigned);
    }
}

// Read as raw values, written back in the stored form; a run of bad floats
// reads zero with one message.
TEST_F(SampleArrays, StoredSamplesReadAsRawValuesAndWriteBack) {
    const struct { unsigned type; std::vector<std::uint8_t> bytes; std::vector<double> values; bool bad; } cases[] = {
        {0, {0xFF, 0xFE, 0x7F, 0xFF, 0x80, 0x00, 0x00, 0x05}, {-2, 32767, -32768, 5}, false},
        {1, {0xFF, 0xFE, 0x80, 0x00}, {65534, 32768}, false},
        {3, {0xF5, 0x00, 0xF0, 0xFF}, {245, 0, 240, 255}, false},
        {2, {0x42, 0x48, 0x00, 0x00, 0xC0, 0x20, 0x00, 0x00}, {50.0, -2.5}, false},
        {2, {0x7F, 0x80, 0, 0, 0xFF, 0x80, 0, 0, 0x7F, 0xC0, 0, 1, 0x42, 0x48, 0, 0, 0x7F, 0x80, 0, 0}, {0, 0, 0, 50, 0}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        notice.clear();
        MemoryIO stream(c.bytes);
        auto array = makeSampleArray(c.type, std::uint32_t(c.values.size()));
        ASSERT_NE(array, nullptr);
        array->readAll(stream);
        ASSERT_EQ(array->count, c.values.size());
        for (std::uint16_t i = 0; i < array->count; ++i) EXPECT_EQ(array->value(i), c.values[i]) << i;
        EXPECT_FALSE(stream.hasMainError());
        EXPECT_EQ(notice.texts(), c.bad ? std::vector<std::string>{"Invalid Floating Point number."} : std::vector<std::string>{});
        if (c.bad) continue;
        MemoryIO sink({});
        ASSERT_EQ(sink.open(IO::ModeWrite), 1);
        array->writeAll(sink);
        sink.close();
        EXPECT_EQ(sink.bytes(), c.bytes);
    }
}

TEST_F(SampleArrays, EarlyEndKeepsWholeSamplesRead) {
    const struct { unsigned type; std::uint32_t asked; std::size_t bytes; std::uint16_t kept; } cases[] = {
        {0, 5, 5, 2}, {1, 4, 8, 4}, {1, 4, 0, 0}, {2, 3, 7, 1}, {3, 600, 513, 513}, {3, 10, 9, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << c.type << " bytes " << c.bytes);
        std::vector<std::uint8_t> bytes(c.bytes);
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = std::uint8_t(i % 7 + 1);
        MemoryIO stream(bytes);
        auto array = makeSampleArray(c.type, c.asked);
        array->readAll(stream);
        EXPECT_EQ(array->count, c.kept);
        if (c.kept > 0 && c.type == 3) {
            EXPECT_EQ(array->value(std::uint16_t(c.kept - 1)), bytes[c.kept - 1]);
        }
        EXPECT_EQ(array->value(c.kept), 0.0);  // beyond count
    }
}

TEST_F(SampleArrays, StreamAlreadyFailedReadsNothing) {
    MemoryIO stream({0x01, 0x02});
    IO::setCode(stream.mainError, ErrorCode::ReadFailed);
    auto array = makeSampleArray(1, 1);
    array->readAll(stream);
    EXPECT_EQ(array->count, 0);
}

TEST_F(SampleArrays, ReadOneFillsOnlyIndexWithinCount) {
    MemoryIO stream({0x00, 0x2A, 0x00, 0x07});
    auto array = makeSampleArray(0, 2);
    array->readOne(stream, 1);
    array->readOne(stream, 2);  // out of range: nothing read
    EXPECT_EQ(array->value(1), 42.0);
    EXPECT_EQ(array->value(0), 0.0);
    array->readOne(stream, 0);
    EXPECT_EQ(array->value(0), 7.0);
}

}  // namespace

namespace {

// A single sample read before the whole array: the others read zero.
TEST_F(SampleArrays, OneSampleReadFirstLeavesTheRestZero) {
    const struct { unsigned type; std::vector<std::uint8_t> bytes; double value; } cases[] = {
        {0, {0xFF, 0xFE}, -2}, {1, {0xFF, 0xFE}, 65534}, {2, {0xC0, 0x20, 0, 0}, -2.5}, {3, {0xF5}, 245}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        MemoryIO stream(c.bytes);
        auto array = makeSampleArray(c.type, 3);
        array->readOne(stream, 1);
        array->readOne(stream, 3);  // beyond the count: nothing read
        EXPECT_EQ(array->value(0), 0.0);
        EXPECT_EQ(array->value(1), c.value);
        EXPECT_EQ(array->value(2), 0.0);
        EXPECT_EQ(stream.tell(), c.bytes.size());
    }
}

}  // namespace
