// Sample arrays take whole samples from the stream's buffer in runs; the
// values, the count and the checksum register must come out as reading
// them byte by byte would leave them, wherever the samples start and end
// relative to the stream's fills, and whether a long run comes straight
// from the device (memory or a file on disk).
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "data/SampleArrays.h"
#include "storage/DISK.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

namespace {

constexpr std::uint32_t SampleSize[4] = {2, 2, 4, 1};

struct Expected {
    std::vector<double> values;
    std::uint16_t checksum = 0;
};

// The reference: each stored sample decoded on its own; the register
// through the builder's bitwise CRC or the plain byte sum.
Expected decode(unsigned type, const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count, std::uint16_t reg, bool crc) {
    Expected e;
    const std::size_t size = SampleSize[type];
    std::size_t n = std::min(count, (bytes.size() - from) / size);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* p = bytes.data() + from + i * size;
        switch (type) {
        case 0: e.values.push_back(static_cast<std::int16_t>(p[0] << 8 | p[1])); break;
        case 1: e.values.push_back(static_cast<std::uint16_t>(p[0] << 8 | p[1])); break;
        case 2: {
            const std::uint32_t bits = std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
            e.values.push_back((bits & 0x7F800000u) == 0x7F800000u ? 0.0 : std::bit_cast<float>(bits));
            break;
        }
        default: e.values.push_back(p[0]); break;
        }
    }
    // The bytes that reached the register: those of the whole samples read,
    // plus any part of a sample cut short by the end.
    const std::size_t consumed = std::min(count * size, bytes.size() - from);
    e.checksum = reg;
    if (crc) {
        e.checksum = testfile::crc16(reg, bytes.data() + from, consumed);
    } else {
        for (std::size_t i = 0; i < consumed; ++i) e.checksum = static_cast<std::uint16_t>(e.checksum + bytes[from + i]);
    }
    return e;
}

TEST(SampleBulkRead, MatchesByteByByteAcrossFillsAndEnds) {
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

            std::unique_ptr<IO> device;
            const auto path = std::filesystem::temp_directory_path() / ("hx-bulk-" + std::to_string(round) + ".bin");
            if (round % 5 == 0) {
                std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
                device = std::make_unique<DISK>(path.string());
            } else {
                device = std::make_unique<MemoryIO>(bytes);
            }
            IO& stream = *device;
            ASSERT_EQ(stream.open(0), 1);
            for (std::size_t i = 0; i < from; ++i) stream.getByte();
            stream.checksum = reg;
            stream.setCrcMode(crc);
            auto array = makeSampleArray(type, static_cast<std::uint32_t>(count));
            ASSERT_NE(array, nullptr);
            array->readAll(stream);
            stream.setCrcMode(false);

            const Expected e = decode(type, bytes, from, count, reg, crc);
            SCOPED_TRACE(::testing::Message() << "type " << type << " from " << from << " count " << count << " bytes " << have);
            ASSERT_EQ(array->count, e.values.size());
            EXPECT_EQ(stream.hasMainError(), e.values.size() < count);
            for (std::uint16_t i = 0; i < array->count; ++i) ASSERT_EQ(array->value(i), e.values[i]) << "sample " << i;
            EXPECT_EQ(stream.checksum, e.checksum);
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
