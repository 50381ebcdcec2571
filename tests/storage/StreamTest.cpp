#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "storage/DISK.h"
#include "storage/IO.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"
#include "time/CTime.h"

namespace fs = std::filesystem;
using testsupport::errorBox;
using testsupport::RecordingNotice;
using testsupport::ShownMessage;
using Texts = std::vector<std::string>;

namespace {

std::vector<std::uint8_t> pattern(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return v;
}

class StreamFiles : public ::testing::Test {
protected:
    void SetUp() override {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir = (fs::temp_directory_path() / ("hx_stream_" + std::to_string(stamp))).string();
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string file(const std::string& name) const { return (fs::path(dir) / name).string(); }

    std::string dir;
    RecordingNotice notice;
};

TEST(Stream, ReadsAndWritesBigEndian) {
    const std::vector<std::uint8_t> stored = {0x12, 0x34, 0, 0, 1, 0, 0xC1, 0x48, 0, 0, 0xFF, 0xFE};
    MemoryIO out({});
    out.open(IO::ModeWrite);
    out.putWord16(0x1234);
    out.putWord32(256);
    out.putFloat(-12.5f);
    out.putWord16(0xFFFE);
    out.close();
    EXPECT_EQ(out.bytes(), stored);
    MemoryIO in(stored);
    ASSERT_EQ(in.open(0), 1);
    EXPECT_EQ(in.getWord16(), 0x1234);
    EXPECT_EQ(in.getWord32(), 256u);
    EXPECT_EQ(in.getFloat(), -12.5f);
    EXPECT_EQ(in.getWord16(), 0xFFFE);
}

TEST(Stream, NonFiniteFloatsReadAsZeroWithOneMessageForARun) {
    RecordingNotice notice;
    const std::uint32_t stored[] = {0x7F800000, 0x7FC00000, 0xFF800000, 0x7F7FFFFF, 0x7F800001, 0x3FC00000};
    const float expected[] = {0.0f, 0.0f, 0.0f, FLT_MAX, 0.0f, 1.5f};
    testfile::Bytes b;
    for (auto bits : stored) b.u32(bits);
    MemoryIO io(b.data);
    io.open(0);
    for (std::size_t i = 0; i < std::size(stored); ++i) EXPECT_EQ(io.getFloatChecked(), expected[i]) << i;
    EXPECT_EQ(notice.messages, (std::vector<ShownMessage>{errorBox("Invalid Floating Point number.")}));
    EXPECT_EQ(io.mainError.code, 0);  // reading goes on
}

// The buffer is filled 512 bytes at a time whatever the device.
TEST_F(StreamFiles, ReadsSevenHundredBytesInTwoFillsThenEndOfFile) {
    const auto bytes = pattern(700);
    testfile::writeFile(file("700.DC1"), bytes);
    std::unique_ptr<IO> devices[] = {std::make_unique<DISK>(file("700.DC1")), std::make_unique<MemoryIO>(bytes)};
    for (auto& io : devices) {
        SCOPED_TRACE(io->name());
        RecordingNotice notice;
        ASSERT_EQ(io->open(0), 1);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            ASSERT_EQ(io->getByte(), bytes[i]) << "byte " << i;
            if (i == 0) {
                EXPECT_EQ(io->count, 512);
            } else if (i == 512) {
                EXPECT_EQ(io->count, 188);
                for (int k = 188; k < 512; ++k) ASSERT_EQ(io->buffer[k], 0xFF) << "buffer " << k;
            }
        }
        EXPECT_EQ(io->mainError.code, 0);
        EXPECT_EQ(io->getByte(), 0);
        EXPECT_EQ(io->mainError.code, ErrorCode::EndOfFile);
        EXPECT_EQ(io->getByte(), 0);
        EXPECT_TRUE(notice.messages.empty());
        io->close();
        io->close();
        EXPECT_EQ(notice.messages, (std::vector<ShownMessage>{errorBox("End of File")}));
        EXPECT_EQ(notice.busyChanges, (std::vector<bool>{true, false, false}));
    }
    EXPECT_EQ(static_cast<MemoryIO&>(*devices[1]).fills(), 3);
}

TEST(Stream, SeekInsideTheBufferReadsNothingFromTheDevice) {
    const auto bytes = pattern(700);
    MemoryIO io(bytes);
    io.open(0);
    io.getByte();  // buffer holds 0..511
    const struct { std::uint32_t offset; int fills; } steps[] = {
        {300, 1}, {0, 1}, {511, 1}, {512, 2}, {699, 2}, {511, 3}, {100, 4}};
    for (const auto& s : steps) {
        io.seek(s.offset);
        EXPECT_EQ(io.getByte(), bytes[s.offset]) << "offset " << s.offset;
        EXPECT_EQ(io.fills(), s.fills) << "offset " << s.offset;
        EXPECT_EQ(io.tell(), s.offset + 1);
    }
}

TEST_F(StreamFiles, WritesBlocksOf512AndTheRestAtClose) {
    const std::string path = file("out.DC1");
    const auto bytes = pattern(1300);
    DISK disk(path);
    ASSERT_EQ(disk.open(IO::ModeWrite), 1);
    const struct { std::size_t written; std::uintmax_t onDisk; } steps[] = {
        {511, 0}, {512, 512}, {1023, 512}, {1024, 1024}, {1300, 1024}};
    std::size_t n = 0;
    for (const auto& s : steps) {
        for (; n < s.written; ++n) disk.putByte(bytes[n]);
        EXPECT_EQ(fs::file_size(path), s.onDisk) << "after " << s.written << " bytes";
    }
    EXPECT_EQ(disk.tell(), 1300u);
    disk.close();
    EXPECT_EQ(testfile::readFile(path), bytes);
    EXPECT_TRUE(notice.messages.empty());
}

// A device that writes nothing (a plain IO, a DISK never opened) still has
// only its 1024-byte buffer.
TEST(Stream, WithoutADeviceNothingIsReadAndWritingNeverOverrunsTheBuffer) {
    RecordingNotice notice;
    IO plain;  // no device: opens, reads nothing, byte by byte or in a run
    ASSERT_EQ(plain.open(0), 1);
    EXPECT_TRUE(isBusy());
    EXPECT_EQ(plain.getByte(), 0);
    std::uint8_t run[IO::DirectRun + 8];
    plain.seek(100);
    EXPECT_EQ(plain.readRun(run, sizeof run), 0u);
    EXPECT_EQ(plain.mainError.code, 0);
    plain.close();
    EXPECT_FALSE(isBusy());
    DISK never("never-opened.DC1");
    EXPECT_EQ(never.getByte(), 0);  // reading a file never opened is its end
    EXPECT_EQ(never.mainError.code, ErrorCode::EndOfFile);
    EXPECT_TRUE(notice.messages.empty());
    std::unique_ptr<IO> devices[] = {std::make_unique<IO>(), std::make_unique<DISK>("never-opened.DC1")};
    for (auto& io : devices) {
        for (int i = 0; i < 3 * IO::BufferSize; ++i) io->putByte(0xAB);
        EXPECT_EQ(io->mainError.code, 0);
        EXPECT_EQ(io->secondaryError.code, 0);
        EXPECT_LE(io->index, IO::BufferSize);
    }
}

TEST_F(StreamFiles, FailedOpenReportsThePathAndEndsBusy) {
    const std::string missing = file("no-such-dir/DATA.DC1");
    const std::string tooLong = dir + "/" + std::string(150, 'd') + "/" + std::string(150, 'f') + ".DC1";
    const struct { std::string path; std::string text; } cases[] = {
        {missing, "Can't Open file.\n" + missing},
        {tooLong, "Can't Open file.\n" + tooLong + "\nThe path is longer than 259 characters."},
    };
    for (const auto& c : cases) {
        for (int mode : {0, int(IO::ModeWrite)}) {
            SCOPED_TRACE(c.path.size());
            RecordingNotice notice;
            DISK disk(c.path);
            EXPECT_EQ(disk.open(mode), 0);
            EXPECT_EQ(notice.messages, (std::vector<ShownMessage>{errorBox(c.text)}));
            EXPECT_EQ(notice.busyChanges, (std::vector<bool>{true, false}));
            EXPECT_FALSE(isBusy());
            EXPECT_FALSE(disk.isOpen());
            EXPECT_EQ(disk.mainError.code, ErrorCode::OpenFailed);
            EXPECT_EQ(disk.getByte(), 0);
            disk.close();
            EXPECT_EQ(notice.messages.size(), 1u);  // the open failure is not reported twice
        }
    }
}

#ifndef _WIN32
// A path fills 260 characters with its terminating zero: 259 opens, 260
// is refused even when the file exists.
TEST_F(StreamFiles, PathLengthLimitIsExact) {
    const std::string sub = file(std::string(150, 'd'));
    fs::create_directories(sub);
    const std::string at259 = sub + "/" + std::string(259 - sub.size() - 1, 'f');
    const std::string at260 = at259 + "g";
    ASSERT_EQ(at259.size(), 259u);
    testfile::writeFile(at259, pattern(10));
    testfile::writeFile(at260, pattern(10));
    DISK fits(at259), over(at260);
    EXPECT_EQ(fits.open(0), 1);
    EXPECT_EQ(fits.getByte(), pattern(1)[0]);
    fits.close();
    EXPECT_EQ(over.open(0), 0);
    const std::string text = "Can't Open file.\n" + at260 + "\nThe path is longer than 259 characters.";
    EXPECT_EQ(notice.messages, (std::vector<ShownMessage>{errorBox(text)}));
}
#endif

TEST(ErrorRecords, ReportCodeShowsTheTextOfTheCode) {
    const struct { int code; const char* text; } cases[] = {  // null: silent
        {0x1100, "Checksum error.\n"}, {0x10C, "Bad Type"}, {0x2C, "Serial error = 2C"}, {0x01, "Serial error = 1"},
        {0x2D, nullptr}, {0x81, nullptr}, {0x82, nullptr}, {0x83, nullptr}, {0xFF, nullptr},
        {0x10A, "Can't get block."}, {0x110, "Pointers are corrupted"}, {0x11C, "End of File"},
        {0x122, "Invalid Floating Point number."}, {0x123, "Invalid Time"}, {0x124, "Unknown Error"},
        {0x1FF, "Unknown Error"}, {0x200, "Input Timeout.\n"}, {0x40A, "Input error.\nCan't get block."},
        {0x81C, "Bad Count.\nEnd of File"}, {0x1C00, "Input error.\n"},
        {0x1610, "Input Timeout.\nPointers are corrupted"},  // the lowest prefix bit wins
    };
    for (const auto& c : cases) {
        RecordingNotice notice;
        ErrorRecord record;
        IO::reportCode(record, c.code);
        std::vector<ShownMessage> expected;
        if (c.text) expected.push_back(errorBox(c.text));
        EXPECT_EQ(notice.messages, expected) << std::hex << "code 0x" << c.code;
        EXPECT_EQ(messageForCode(c.code), c.text ? c.text : "");
        EXPECT_EQ(record.code, c.code);
        EXPECT_EQ(record.reported, 1);
    }
}

TEST(ErrorRecords, ACodeIsShownOnceUntilItChanges) {
    RecordingNotice notice;
    ErrorRecord record;
    IO::reportCode(record, ErrorCode::BadType);
    IO::reportCode(record, ErrorCode::BadType);
    IO::reportCode(record, -1);
    IO::reportCode(record, 0);
    EXPECT_EQ(record.code, ErrorCode::BadType);
    IO::setCode(record, ErrorCode::BadType);  // the same code stays reported
    IO::reportCode(record, -1);
    IO::setCode(record, ErrorCode::CantGetBlock);
    IO::reportCode(record, -1);
    IO::reportCode(record, ErrorCode::BadType);
    EXPECT_EQ(notice.texts(), (std::vector<std::string>{"Bad Type", "Can't get block.", "Bad Type"}));
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

TEST_F(StreamFiles, DriveLetterAndFreeSpace) {
    EXPECT_EQ(DISK("c:\\DATA\\A.DC1").drive(), 3);
    EXPECT_EQ(DISK("B:x").drive(), 2);
    EXPECT_EQ(DISK("1:x").drive(), 0);
    EXPECT_EQ(DISK("relative.DC1").drive(), 0);
    EXPECT_GT(DISK(file("any.DC1")).freeSpace(), 0u);
    EXPECT_EQ(DISK(file("missing/deeper/x.DC1")).freeSpace(), 0u);
}

TEST_F(StreamFiles, ReopeningAndSeekingPastTheBuffer) {
    const auto bytes = pattern(1500);
    testfile::writeFile(file("big.DC1"), bytes);
    DISK in(file("big.DC1"));
    ASSERT_EQ(in.open(0), 1);
    EXPECT_EQ(in.getByte(), bytes[0]);
    ASSERT_EQ(in.open(0), 1);  // a second open starts over on a fresh handle
    in.seek(1400);
    EXPECT_EQ(in.getByte(), bytes[1400]);
    in.seek(700);
    EXPECT_EQ(in.getByte(), bytes[700]);
    in.close();
    EXPECT_TRUE(notice.messages.empty());
}

// A device whose read fails: the message names the result and the error
// number, and the read yields zero.
TEST_F(StreamFiles, ReadFailureIsReported) {
#ifdef _WIN32
    GTEST_SKIP() << "a directory cannot be opened as a file here";
#else
    // A byte read fills the buffer; a long run reads past it.
    for (bool run : {false, true}) {
        notice.clear();
        DISK d(dir);
        ASSERT_EQ(d.open(0), 1);
        std::vector<std::uint8_t> out(2 * IO::DirectRun);
        EXPECT_EQ(run ? d.readRun(out.data(), 2 * IO::DirectRun) : d.getByte(), 0u);
        EXPECT_EQ(d.mainError.code, ErrorCode::ReadFailed);
        ASSERT_EQ(notice.messages.size(), 1u);
        EXPECT_EQ(notice.messages[0].text.rfind("Error reading file.\n -1,", 0), 0u) << notice.messages[0].text;
        d.close();  // the failure was shown; closing shows nothing more
        EXPECT_EQ(notice.messages.size(), 1u);
    }
#endif
}

TEST_F(StreamFiles, WriteFailureIsReported) {
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

// A run taken partly from the buffer and the rest from the device, as
// getByte would take it.
TEST(Stream, ReadRunTakesTheBufferThenTheDevice) {
    RecordingNotice notice;
    const std::vector<std::uint8_t> bytes = pattern(6000);
    MemoryIO stream(bytes);
    ASSERT_EQ(stream.open(0), 1);
    EXPECT_EQ(stream.getByte(), bytes[0]);
    std::vector<std::uint8_t> out(7000);
    EXPECT_EQ(stream.readRun(out.data(), 7000), 5999u);
    EXPECT_TRUE(std::equal(bytes.begin() + 1, bytes.end(), out.begin()));
    std::uint16_t sum = 0;
    for (std::uint8_t b : bytes) sum = static_cast<std::uint16_t>(sum + b);
    EXPECT_EQ(stream.checksum, sum);
    EXPECT_EQ(stream.mainError.code, ErrorCode::EndOfFile);
    stream.close();
    EXPECT_EQ(notice.texts(), Texts{"End of File"});
}

}  // namespace
