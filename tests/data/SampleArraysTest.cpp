#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/SampleArrays.h"
#include "storage/DISK.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

namespace {

using Texts = std::vector<std::string>;
constexpr std::uint32_t SampleSize[4] = {2, 2, 4, 1};

TEST(SampleArrays, FactoryAcceptsAndRefuses) {
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
TEST(SampleArrays, StoredSamplesReadAsRawValuesAndWriteBack) {
    const struct { unsigned type; std::vector<std::uint8_t> bytes; std::vector<double> values; bool bad; } cases[] = {
        {0, {0xFF, 0xFE, 0x7F, 0xFF, 0x80, 0x00, 0x00, 0x05}, {-2, 32767, -32768, 5}, false},
        {1, {0xFF, 0xFE, 0x80, 0x00}, {65534, 32768}, false},
        {3, {0xF5, 0x00, 0xF0, 0xFF}, {245, 0, 240, 255}, false},
        {2, {0x42, 0x48, 0x00, 0x00, 0xC0, 0x20, 0x00, 0x00}, {50.0, -2.5}, false},
        {2, {0x7F, 0x80, 0, 0, 0xFF, 0x80, 0, 0, 0x7F, 0xC0, 0, 1, 0x42, 0x48, 0, 0, 0x7F, 0x80, 0, 0}, {0, 0, 0, 50, 0}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        testsupport::RecordingNotice notice;
        MemoryIO stream(c.bytes);
        auto array = makeSampleArray(c.type, std::uint32_t(c.values.size()));
        array->readAll(stream);
        ASSERT_EQ(array->count, c.values.size());
        for (std::uint16_t i = 0; i <= array->count; ++i) EXPECT_EQ(array->value(i), i < c.values.size() ? c.values[i] : 0.0) << i;
        EXPECT_FALSE(stream.hasMainError());
        EXPECT_EQ(notice.texts(), c.bad ? Texts{"Invalid Floating Point number."} : Texts{});
        if (c.bad) continue;
        MemoryIO sink({});
        ASSERT_EQ(sink.open(IO::ModeWrite), 1);
        array->writeAll(sink);
        sink.close();
        EXPECT_EQ(sink.bytes(), c.bytes);
    }
}

// A stream already failed, or one with nothing left, gives no samples.
TEST(SampleArrays, NothingToReadKeepsNoSamples) {
    for (bool failed : {false, true}) {
        MemoryIO stream(failed ? std::vector<std::uint8_t>{1, 2} : std::vector<std::uint8_t>{});
        if (failed) IO::setCode(stream.mainError, ErrorCode::ReadFailed);
        auto array = makeSampleArray(1, 4);
        array->readAll(stream);
        EXPECT_EQ(array->count, 0) << failed;
    }
}

// A single sample read before the whole array: the others read zero.
TEST(SampleArrays, OneSampleReadFirstLeavesTheRestZero) {
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

// The reference for bulk reads: each stored sample decoded on its own.
std::vector<double> decode(unsigned type, const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
    std::vector<double> values;
    for (std::size_t i = 0; i < count && from + (i + 1) * SampleSize[type] <= bytes.size(); ++i) {
        const std::uint8_t* p = bytes.data() + from + i * SampleSize[type];
        if (type == 2) {
            const std::uint32_t bits = std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
            values.push_back((bits & 0x7F800000u) == 0x7F800000u ? 0.0 : std::bit_cast<float>(bits));
        } else {
            const int word = type == 3 ? p[0] : p[0] << 8 | p[1];
            values.push_back(type == 0 ? double(std::int16_t(word)) : double(word));
        }
    }
    return values;
}

// Arrays take whole samples from the stream's buffer in runs; the values,
// the count and the checksum register must come out as reading them byte
// by byte would leave them, wherever the samples start and end relative to
// the stream's fills, and whether a long run comes straight from the
// device (memory or a file on disk).
TEST(SampleArrays, BulkReadMatchesByteByByteAcrossFillsAndEnds) {
    testsupport::RecordingNotice notice;
    std::uint32_t state = 99;
    auto random = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (unsigned type = 0; type < 4; ++type) {
        for (int round = 0; round < 60; ++round) {
            // Samples that start at any offset within a 512-byte fill,
            // span several fills, and sometimes run past the end.
            const std::size_t from = random() % 700;
            const std::size_t count = 1 + random() % (type == 3 ? 12000 : type == 2 ? 3000 : 6000);
            const bool cut = round % 3 == 0;
            // One byte after the samples when not cut: read next, it shows
            // the stream still stands where the byte reads would leave it.
            const std::size_t have = from + count * SampleSize[type] + (cut ? 0 : 1) - (cut ? random() % 40 : 0);
            std::vector<std::uint8_t> bytes(have);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
            if (type == 2 && count > 3) {
                bytes[from + 4] = 0x7F;  // an infinity among the floats
                bytes[from + 5] = 0x80;
            }
            const bool crc = round % 2 == 0;
            const std::uint16_t reg = static_cast<std::uint16_t>(random());

            const auto path = std::filesystem::temp_directory_path() / ("hx-bulk-" + std::to_string(round) + ".bin");
            std::unique_ptr<IO> device = std::make_unique<MemoryIO>(bytes);
            if (round % 5 == 0) {
                testfile::writeFile(path.string(), bytes);
                device = std::make_unique<DISK>(path.string());
            }
            IO& stream = *device;
            ASSERT_EQ(stream.open(0), 1);
            for (std::size_t i = 0; i < from; ++i) stream.getByte();
            stream.checksum = reg;
            stream.setCrcMode(crc);
            auto array = makeSampleArray(type, static_cast<std::uint32_t>(count));
            array->readAll(stream);
            stream.setCrcMode(false);

            const std::vector<double> values = decode(type, bytes, from, count);
            // The register holds every byte read, a sample cut short by the end too.
            const std::size_t consumed = std::min(count * SampleSize[type], bytes.size() - from);
            std::uint16_t sum = reg;
            for (std::size_t i = 0; i < consumed; ++i) sum = static_cast<std::uint16_t>(sum + bytes[from + i]);
            SCOPED_TRACE(::testing::Message() << "type " << type << " from " << from << " count " << count << " bytes " << have);
            ASSERT_EQ(array->count, values.size());
            EXPECT_EQ(stream.hasMainError(), values.size() < count);
            for (std::uint16_t i = 0; i < array->count; ++i) ASSERT_EQ(array->value(i), values[i]) << "sample " << i;
            EXPECT_EQ(stream.checksum, crc ? testfile::crc16(reg, bytes.data() + from, consumed) : sum);
            if (!cut) {
                EXPECT_EQ(stream.tell(), from + count * SampleSize[type]);
                // A step back lands on the bytes just read, not on what
                // the buffer held before a run past it.
                stream.seek(static_cast<std::uint32_t>(bytes.size() - 2));
                EXPECT_EQ(stream.getByte(), bytes[bytes.size() - 2]);
                EXPECT_EQ(stream.getByte(), bytes.back());
            }
            stream.close();
            device.reset();
            std::filesystem::remove(path);
        }
    }
}

}  // namespace
