// The byte stream's buffer fills, seeks, runs and writes, and its error codes'
// texts. What harvex shows of files it cannot open or read: tests/cases/storage.case.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>

#include "storage/DISK.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"
#include "time/CTime.h"

namespace fs = std::filesystem;
using testsupport::RecordingNotice;
using Texts = std::vector<std::string>;

namespace {

std::vector<std::uint8_t> pattern(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return v;
}

// A file of its own: test processes run side by side.
const std::string scratch = (fs::temp_directory_path() / ("hx-stream-" + std::to_string(std::random_device{}()))).string();

// 512 bytes a fill whatever the device, the rest of a short fill 0xFF; the
// end of the file is a main error shown once, at close, when busy ends.
TEST(Stream, ReadsSevenHundredBytesInTwoFillsThenEndOfFile) {
    const auto bytes = pattern(700);
    testfile::writeFile(scratch, bytes);
    std::unique_ptr<IO> devices[] = {std::make_unique<DISK>(scratch), std::make_unique<MemoryIO>(bytes)};
    for (auto& io : devices) {
        RecordingNotice notice;
        ASSERT_EQ(io->open(0), 1);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            ASSERT_EQ(io->getByte(), bytes[i]) << io->name() << " byte " << i;
            ASSERT_EQ(io->count, i < 512 ? 512 : 188);
        }
        EXPECT_EQ(std::vector<std::uint8_t>(io->buffer + 188, io->buffer + 512), std::vector<std::uint8_t>(324, 0xFF));
        EXPECT_EQ(io->getByte() + io->getByte() + io->mainError.code, ErrorCode::EndOfFile);
        EXPECT_TRUE(notice.messages.empty());
        io->close();
        io->close();
        EXPECT_EQ(notice.messages, Texts{"End of File"});
        EXPECT_EQ(notice.busyChanges, (std::vector<bool>{true, false, false}));
    }
    EXPECT_EQ(static_cast<MemoryIO&>(*devices[1]).fills(), 3);
    fs::remove(scratch);
}

// A seek inside the buffered bytes reads nothing from the device; a long run
// takes the buffer's bytes, then the rest in one device call, summed into
// the checksum as byte reads would be.
TEST(Stream, SeeksAndRuns) {
    const auto bytes = pattern(6000);
    MemoryIO io(bytes);
    io.open(0);
    io.getByte();  // the buffer holds 0..511
    const std::uint32_t steps[][2] = {{300, 1}, {0, 1}, {511, 1}, {512, 2}, {699, 2}, {511, 3}, {100, 4}, {1, 5}};
    for (const auto& [offset, fills] : steps) {
        io.seek(offset);
        EXPECT_EQ(io.getByte(), bytes[offset]) << offset;
        EXPECT_EQ(io.fills() + io.tell(), fills + offset + 1) << offset;
    }
    io.checksum = 0;
    std::vector<std::uint8_t> out(7000);
    EXPECT_EQ(io.readRun(out.data(), 7000), 5998u);
    EXPECT_TRUE(std::equal(bytes.begin() + 2, bytes.end(), out.begin()));
    std::uint16_t sum = 0;
    for (std::size_t i = 2; i < bytes.size(); ++i) sum = static_cast<std::uint16_t>(sum + bytes[i]);
    EXPECT_EQ(io.checksum + io.fills() + io.mainError.code, sum + 7 + ErrorCode::EndOfFile);
}

// Blocks of 512 go out as they fill, the rest at close, a seek leaving a
// hole; without a device nothing is read and nothing overruns the buffer.
TEST(Stream, Writes) {
    const auto bytes = pattern(1300);
    auto want = bytes;
    want.insert(want.end(), {0, 0, 1, 2, 3, 4, 0xC1, 0x48, 0, 0});
    DISK disk(scratch);
    MemoryIO memory({});
    for (IO* io : {static_cast<IO*>(&disk), static_cast<IO*>(&memory)}) {
        const auto written = [&] { return io == &disk ? testfile::readFile(scratch) : memory.bytes(); };
        ASSERT_EQ(io->open(IO::ModeWrite), 1);
        for (std::size_t n = 0; const std::size_t upTo : {511, 512, 1023, 1024, 1300}) {
            for (; n < upTo; ++n) io->putByte(bytes[n]);
            EXPECT_EQ(written().size(), upTo / 512 * 512) << upTo;
        }
        io->seek(1302);
        io->putWord32(0x01020304);
        io->putFloat(-12.5f);
        io->close();
        EXPECT_EQ(written(), want) << io->name();
    }
    fs::remove(scratch);
    std::unique_ptr<IO> deviceless[] = {std::make_unique<IO>(), std::make_unique<DISK>("never-opened")};
    for (auto& io : deviceless) {
        std::uint8_t run[IO::DirectRun + 8];
        EXPECT_EQ(io->readRun(run, sizeof run), 0u);
        for (int i = 0; i < 3 * IO::BufferSize; ++i) io->putByte(0xAB);
        EXPECT_LE(io->index, IO::BufferSize);
        EXPECT_EQ(io->getByte() + io->mainError.code + io->secondaryError.code, io == deviceless[0] ? 0 : ErrorCode::EndOfFile);
    }
    // Stored times read back as written; a drive letter counts from A: as 1;
    // the free space is that of the file's folder.
    MemoryIO stamps({});
    stamps.open(IO::ModeWrite);
    const CTime stored[] = {CTime(), CTime::fromTicks(12345ull * TicksPerDay + 86399 * TicksPerSecond + 9000)};
    for (CTime t : stored) writeStored(stamps, t);
    stamps.close();
    MemoryIO back(stamps.bytes());
    back.open(0);
    for (CTime t : stored) EXPECT_EQ(readStored(back), t);
    EXPECT_EQ(DISK("a:x").drive() * 100 + DISK("Z:\\y").drive() + DISK("/z").drive(), 126);
    EXPECT_GT(DISK(scratch).freeSpace(), 0u);
}

// A failed open ends busy at once and is not shown again at close; a read
// or write the system refuses is shown once; infinity and not-a-number read
// as 0, with one message for a run of them.
TEST(Stream, Failures) {
    RecordingNotice notice;
    DISK missing(scratch + "/no-such"), directory(fs::temp_directory_path().string()), full("/dev/full");
    EXPECT_EQ(missing.open(0), 0);
    EXPECT_FALSE(isBusy() || missing.isOpen());
    missing.close();
    EXPECT_EQ(notice.busyChanges, (std::vector<bool>{true, false, false}));
#if !defined(_WIN32)
    ASSERT_EQ(directory.open(0) + full.open(IO::ModeWrite), 2);
    std::vector<std::uint8_t> out(2 * IO::DirectRun);
    EXPECT_EQ(directory.readRun(out.data(), 2 * IO::DirectRun), 0u);
    full.writeBytes(out.data(), 1300);
    EXPECT_EQ(directory.mainError.code + full.mainError.code, ErrorCode::ReadFailed + ErrorCode::WriteFailed);
    directory.close();
    full.close();
    ASSERT_EQ(notice.messages.size(), 3u);
    EXPECT_EQ(notice.messages[1].rfind("Error reading file.\n -1,", 0), 0u) << notice.messages[1];
    EXPECT_EQ(notice.messages[2], "Error writing file.");
#endif
    notice.clear();
    testfile::Bytes b;
    for (std::uint32_t bits : {0x7F800000u, 0x7FC00000u, 0xFF800000u, 0x7F7FFFFFu, 0x7F800001u, 0x3FC00000u}) b.u32(bits);
    MemoryIO floats(b.data);
    floats.open(0);
    for (float want : {0.0f, 0.0f, 0.0f, 0x1.fffffep127f, 0.0f, 1.5f}) EXPECT_EQ(floats.getFloatChecked(), want);
    EXPECT_EQ(notice.messages, Texts{"Invalid Floating Point number."});
}

// Each code's text, "" for the silent ones, shown once until the code changes.
TEST(Stream, ErrorCodes) {
    const std::pair<int, const char*> cases[] = {{0x1100, "Checksum error.\n"}, {0x10C, "Bad Type"}, {0x2C, "Serial error = 2C"},
        {0x01, "Serial error = 1"}, {0x2D, ""}, {0x81, ""}, {0xFF, ""}, {0x100, ""}, {0x10A, "Can't get block."}, {0x11C, "End of File"},
        {0x123, "Invalid Time"}, {0x124, "Unknown Error"}, {0x1FF, "Unknown Error"}, {0x200, "Input Timeout.\n"},
        {0x40A, "Input error.\nCan't get block."}, {0x81C, "Bad Count.\nEnd of File"}, {0x1C00, "Input error.\n"},
        {0x1610, "Input Timeout.\nPointers are corrupted"}};  // the lowest prefix bit wins
    for (const auto& [code, text] : cases) {
        RecordingNotice notice;
        ErrorRecord record;
        for (int again : {code, code, -1, 0}) IO::reportCode(record, again);
        EXPECT_EQ(notice.messages, *text ? Texts{text} : Texts{}) << std::hex << code;
        EXPECT_EQ(record.code + record.reported, code + 1);
    }
    RecordingNotice notice;
    ErrorRecord record;
    for (int code : {0x10C, 0x10C, 0x10A, 0x10C}) {  // the same code stays reported
        IO::setCode(record, code);
        IO::reportCode(record, -1);
    }
    EXPECT_EQ(notice.messages, (Texts{"Bad Type", "Can't get block.", "Bad Type"}));
}

}  // namespace
