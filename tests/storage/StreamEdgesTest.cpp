// The stream's less travelled paths: prefixed error texts, writing through
// the buffer, a plain IO with no device, and a file device whose reads or
// writes fail.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "storage/DISK.h"
#include "storage/IO.h"
#include "storage/MemoryIO.h"
#include "support/RecordingNotice.h"
#include "time/CTime.h"

namespace fs = std::filesystem;
using testsupport::RecordingNotice;
using Texts = std::vector<std::string>;

namespace {

TEST(ErrorTexts, PrefixesAndTableEnds) {
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {0x20A, "Input Timeout.\nCan't get block."},
        {0x40E, "Input error.\nACK missing."},
        {0x821, "Bad Count.\nBad Length"},
        {0x1122, "Checksum error.\nInvalid Floating Point number."},
        {0x600, "Input Timeout.\n"},  // the first prefix bit wins
        {0x123, "Invalid Time"},
        {0x124, "Unknown Error"},
        {0x1FF, "Unknown Error"},
        {45, ""},
        {255, ""},
        {0x2B, "Serial error = 2B"},
    };
    for (const auto& c : cases) EXPECT_EQ(messageForCode(c.code), c.text) << std::hex << c.code;
}

// A plain IO has no device: it opens, reads nothing and drops what is written.
TEST(PlainStream, HasNoDevice) {
    RecordingNotice notice;
    IO io;
    EXPECT_EQ(io.name(), nullptr);
    EXPECT_NE(io.clone(), nullptr);
    EXPECT_EQ(io.freeSpace(), 1048576u);
    ASSERT_EQ(io.open(0), 1);
    EXPECT_TRUE(io.isOpen());
    EXPECT_TRUE(isBusy());
    EXPECT_EQ(io.getByte(), 0);
    io.close();
    EXPECT_FALSE(io.isOpen());
    EXPECT_FALSE(isBusy());
    EXPECT_TRUE(notice.messages.empty());
}

TEST(WriteStream, SeekFlushesAndBytesLandWhereSought) {
    MemoryIO out({});
    ASSERT_EQ(out.open(IO::ModeWrite), 1);
    const std::uint8_t text[] = {'a', 'b', 'c', 'd'};
    out.writeBytes(text, 4);
    EXPECT_EQ(out.tell(), 4u);
    out.seek(10);  // flushes the four bytes first
    EXPECT_EQ(out.tell(), 10u);
    out.putByte('z');
    out.close();
    const std::vector<std::uint8_t> want = {'a', 'b', 'c', 'd', 0, 0, 0, 0, 0, 0, 'z'};
    EXPECT_EQ(out.bytes(), want);
}

TEST(WriteStream, MainErrorDropsOutputButKeepsTheChecksum) {
    MemoryIO out({});
    out.open(IO::ModeWrite);
    out.checksum = 0;
    IO::setCode(out.mainError, ErrorCode::WriteFailed);
    out.putWord16(0x0102);
    out.close();
    EXPECT_TRUE(out.bytes().empty());
    EXPECT_EQ(out.checksum, 3);
}

// The stored time written and read back is the same time to the tenth of a second.
TEST(StoredTime, WrittenAndReadBack) {
    const std::uint64_t times[] = {0, 5000, 863999999999ull % TicksPerDay, 65535ull * TicksPerDay + 86399ull * 10000 + 9000};
    for (std::uint64_t t : times) {
        MemoryIO out({});
        out.open(IO::ModeWrite);
        writeStored(out, CTime::fromTicks(t));
        out.close();
        ASSERT_EQ(out.bytes().size(), 6u);
        MemoryIO in(out.bytes());
        in.open(0);
        EXPECT_EQ(readStored(in).ticks(), t - t % 1000) << t;
    }
}

TEST(MemoryStream, CloneReadsTheSameBytesFromTheStart) {
    MemoryIO in({1, 2, 3}, "card.DC1");
    in.open(0);
    in.getByte();
    std::unique_ptr<IO> copy = in.clone();
    EXPECT_STREQ(copy->name(), "card.DC1");
    copy->open(0);
    EXPECT_EQ(copy->getByte(), 1);
}

class DiskFiles : public ::testing::Test {
protected:
    void SetUp() override {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir = fs::temp_directory_path() / ("hx_disk_" + std::to_string(stamp));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
    RecordingNotice notice;
};

TEST_F(DiskFiles, DriveLetterAndFreeSpace) {
    EXPECT_EQ(DISK("c:\\DATA\\A.DC1").drive(), 3);
    EXPECT_EQ(DISK("B:x").drive(), 2);
    EXPECT_EQ(DISK("1:x").drive(), 0);
    EXPECT_EQ(DISK("relative.DC1").drive(), 0);
    EXPECT_GT(DISK((dir / "any.DC1").string()).freeSpace(), 0u);
    EXPECT_EQ(DISK((dir / "missing" / "deeper" / "x.DC1").string()).freeSpace(), 0u);
}

TEST_F(DiskFiles, ReopeningAndSeekingPastTheBuffer) {
    std::vector<std::uint8_t> bytes(1500);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i / 7);
    const std::string path = (dir / "big.DC1").string();
    {
        DISK out(path);
        ASSERT_EQ(out.open(IO::ModeWrite), 1);
        out.writeBytes(bytes.data(), static_cast<int>(bytes.size()));
        out.close();
    }
    DISK in(path);
    ASSERT_EQ(in.open(0), 1);
    EXPECT_EQ(in.getByte(), 0);
    ASSERT_EQ(in.open(0), 1);  // a second open starts over on a fresh handle
    in.seek(1400);
    EXPECT_EQ(in.getByte(), bytes[1400]);
    in.seek(700);
    EXPECT_EQ(in.getByte(), bytes[700]);
    in.close();
    EXPECT_TRUE(notice.messages.empty());
}

TEST_F(DiskFiles, ReadingANeverOpenedFileIsTheEnd) {
    DISK never((dir / "never.DC1").string());
    EXPECT_EQ(never.getByte(), 0);
    EXPECT_EQ(never.mainError.code, ErrorCode::EndOfFile);
}

// A device whose read fails: the message names the result and the error
// number, and the read yields zero.
TEST_F(DiskFiles, ReadFailureIsReported) {
#ifdef _WIN32
    GTEST_SKIP() << "a directory cannot be opened as a file here";
#else
    DISK d(dir.string());
    ASSERT_EQ(d.open(0), 1);
    EXPECT_EQ(d.getByte(), 0);
    EXPECT_EQ(d.mainError.code, ErrorCode::ReadFailed);
    ASSERT_EQ(notice.messages.size(), 1u);
    EXPECT_EQ(notice.messages[0].text.rfind("Error reading file.\n -1,", 0), 0u) << notice.messages[0].text;
    d.close();  // the failure was shown; closing shows nothing more
    EXPECT_EQ(notice.messages.size(), 1u);
#endif
}

TEST_F(DiskFiles, WriteFailureIsReported) {
#ifdef _WIN32
    GTEST_SKIP() << "no device that refuses writes";
#endif
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no device that refuses writes";
    DISK d("/dev/full");
    ASSERT_EQ(d.open(IO::ModeWrite), 1);
    std::vector<std::uint8_t> block(600, 0x55);
    d.writeBytes(block.data(), static_cast<int>(block.size()));
    EXPECT_EQ(d.mainError.code, ErrorCode::WriteFailed);
    d.close();
    EXPECT_EQ(notice.texts(), Texts{"Error writing file."});
}

}  // namespace
