// Hand-built malformed recorder files, each read the way the program reads
// it: a data file is opened, walked to its end (loading every block) and
// closed; an alarm/event file is read. Every case ends in exactly the
// messages given, and the reading works within a budget of device fills, so
// a walk that would never end fails the case instead of hanging the run; a
// loop that reads nothing more is caught by a watchdog on each case.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "data/DataFile.h"
#include "data/DataFileIter.h"
#include "events/EventFile.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

namespace {

using testfile::AlarmSpec;
using testfile::BlockSpec;
using testfile::DataFileBuilder;
using testfile::EventFileBuilder;
using testfile::EventSpec;
using testfile::floatBits;
using testfile::ScaleSpec;
using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

const std::uint64_t T0 = testfile::ticksAt(2023, 6, 1, 8);
constexpr std::uint32_t Inf = 0x7F800000u;
constexpr std::uint32_t NaN = 0x7FC00000u;

const std::string EndOfFile = "End of File";
const std::string CantGetBlock = "Can't get block.";
const std::string BadType = "Bad Type";
const std::string Corrupt = "Pointers are corrupted";
const std::string BackAddress = "Corrupt Pointers.\nBlock Data Ignored.";
const std::string InvalidFloat = "Invalid Floating Point number.";
const std::string Checksum = "Checksum error.\n";
const std::string IllegalRate = "Illegal storage rate. Rate set at 4 samples / second";
const std::string TooLarge = "Value too large to use as an exponent.";

// Ends the whole run, naming the case, when a case is still reading after
// far longer than any takes (milliseconds, under the sanitizers or Wine too):
// a hang would otherwise stop the run without saying where.
class CaseWatchdog {
public:
    explicit CaseWatchdog(std::string name) : name_(std::move(name)), thread_([this] { watch(); }) {}
    ~CaseWatchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

private:
    void watch() {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, std::chrono::seconds(60), [this] { return done_; })) return;
        std::fprintf(stderr, "malformed file case \"%s\" still running after 60 s\n", name_.c_str());
        std::abort();
    }

    std::string name_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

// Refuses fills past its budget: the reader then sees a failed device.
class BudgetIO : public MemoryIO {
public:
    static constexpr int Budget = 64;
    explicit BudgetIO(Bytes bytes) : MemoryIO(std::move(bytes)) {}
    void fill() override {
        if (fills() >= Budget) {
            spent = true;
            setCode(mainError, ErrorCode::ReadFailed);
            return;
        }
        MemoryIO::fill();
    }
    bool spent = false;
};

// The base data file: three blocks of four 16-bit samples, one second apart,
// at 43, 75 and 107; 139 bytes.
DataFileBuilder threeBlocks() {
    DataFileBuilder b;
    for (int i = 0; i < 3; ++i) {
        BlockSpec s;
        s.start = T0 + std::uint64_t(i) * 40000;
        s.u16({std::uint16_t(100 * i + 1), std::uint16_t(100 * i + 2), std::uint16_t(100 * i + 3), std::uint16_t(100 * i + 4)});
        b.add(s);
    }
    return b;
}

Bytes cut(const DataFileBuilder& b, std::size_t length) {
    Bytes bytes = b.build();
    bytes.resize(length);
    return bytes;
}

Bytes build(const std::function<void(DataFileBuilder&)>& change) {
    DataFileBuilder b = threeBlocks();
    change(b);
    return b.build();
}

struct DataOutcome {
    Texts messages;
    int blocks = 0;   // usable blocks after the walk
    int samples = 0;  // samples walked
};

DataOutcome readData(const Bytes& bytes, const std::function<void(DataFile&)>& inspect) {
    testsupport::RecordingNotice notice;
    auto io = std::make_unique<BudgetIO>(bytes);
    BudgetIO* stream = io.get();
    DataOutcome out;
    {
        DataFile df(std::make_unique<File>(std::move(io)));
        df.open();
        if (df.hasBlocks()) {
            DataFileIter it(df);
            it.toEnd(true);
            out.samples = static_cast<int>(it.sampleNumber) + 1;
            out.blocks = static_cast<int>(df.blocks.loadedCount());
        }
        if (inspect) inspect(df);
        df.close();
        EXPECT_FALSE(stream->spent) << "more than " << BudgetIO::Budget << " fills";
    }
    out.messages = notice.texts();
    return out;
}

struct DataCase {
    std::string name;
    Bytes bytes;
    Texts messages;
    int blocks;
    int samples;
    std::function<void(DataFile&)> inspect = nullptr;
};

std::vector<DataCase> dataCases() {
    const DataFileBuilder base = threeBlocks();
    const Texts eof = {EndOfFile}, cantGet = {CantGetBlock};
    std::vector<DataCase> cases = {
        {"empty file", {}, eof, 0, 0},
        {"one byte", {'4'}, eof, 0, 0},
        // Truncation at every field of the file header.
        {"cut in the revision", cut(base, 1), eof, 0, 0},
        {"cut before the type", cut(base, 2), eof, 0, 0},
        {"cut in the identification", cut(base, 8), eof, 0, 0},
        {"cut before the first address", cut(base, 13), eof, 0, 0},
        {"cut in the first address", cut(base, 15), eof, 0, 0},
        {"cut in the last address", cut(base, 19), eof, 0, 0},
        {"cut before the alarm mask", cut(base, 21), eof, 0, 0},
        {"cut in the channel label", cut(base, 24), eof, 0, 0},
        {"cut in the scale's low end", cut(base, 30), eof, 0, 0},
        {"cut in the scale's high end", cut(base, 38), eof, 0, 0},
        {"cut before the scale options", cut(base, 40), eof, 0, 0},
        {"cut in the reserved word", cut(base, 42), eof, 0, 0},
        // Truncation inside the first block.
        {"cut after the header", cut(base, 43), cantGet, 0, 0},
        {"cut in the byte count", cut(base, 44), cantGet, 0, 0},
        {"cut in the back address", cut(base, 49), cantGet, 0, 0},
        {"cut in the next address", cut(base, 53), cantGet, 0, 0},
        {"cut in the start time", cut(base, 58), cantGet, 0, 0},
        {"cut in the interval", cut(base, 62), cantGet, 0, 0},
        {"cut before the flags", cut(base, 66), cantGet, 0, 0},
        {"cut before the samples", cut(base, 67), cantGet, 0, 0},
        {"cut in the first sample", cut(base, 68), cantGet, 0, 0},
        // Samples that arrived whole are kept; open and close each report the end.
        {"cut in the second sample", cut(base, 70), {EndOfFile, EndOfFile}, 1, 1},
        {"cut in the second block's samples", cut(base, 75 + 24 + 5), {EndOfFile, EndOfFile}, 2, 6},
        // Addresses.
        {"first block beyond the end", build([](auto& b) { b.firstBlock = 5000; }), cantGet, 0, 0},
        {"next block beyond the end", build([](auto& b) { b.blocks[0].next = 0x00FFFFFFu; }), eof, 1, 4},
        {"last block beyond the end", build([](auto& b) { b.lastBlock = 0x7FFFFFF0u; }), eof, 3, 12},
        {"first block address 0", build([](auto& b) { b.firstBlock = 0; }), cantGet, 0, 0},
        // The header's bytes read as a block whose back address is not 0.
        {"first block inside the header", build([](auto& b) { b.firstBlock = 13; }), {BackAddress, CantGetBlock}, 0, 0},
        {"negative next address", build([](auto& b) { b.blocks[0].next = 0x80000000u; }), cantGet, 0, 0},
        {"negative back address later", build([](auto& b) { b.blocks[1].prev = 0xFFFFFFF0u; }), {Corrupt}, 1, 4},
        {"negative last block address", build([](auto& b) { b.lastBlock = 0x80000000u; }), eof, 3, 12},
        // The chain comes back to a block it has read.
        {"self-loop", build([](auto& b) { b.blocks[0].nextIndex = 0; }), {Corrupt}, 1, 4},
        {"cycle to the first block", build([](auto& b) { b.blocks[2].nextIndex = 0; }), {Corrupt}, 3, 12},
        {"self-loop of an empty block",
         build([](auto& b) {
             b.blocks[1].samples.clear();
             b.blocks[1].nextIndex = 1;
         }),
         {Corrupt}, 1, 4},
        // Back addresses that disagree cost their block; the next is marked as after a break.
        {"back address disagrees", build([](auto& b) { b.blocks[1].prev = 12345; }), {BackAddress}, 2, 8,
         [](DataFile& df) { EXPECT_EQ(df.blocks.head->data[1].startCode, 0x42); }},
        {"first block has a back address", build([](auto& b) { b.blocks[0].prev = 43; }), {BackAddress}, 2, 8},
        // Byte counts.
        {"odd byte count", build([](auto& b) { b.blocks[0].byteCount = 7; }), {Checksum}, 3, 11},
        {"byte count below one sample", build([](auto& b) { b.blocks[1].byteCount = 1; }), {}, 2, 8,
         [](DataFile& df) { EXPECT_EQ(df.blocks.head->data[1].startCode, 0x42); }},
        {"byte count past the end, first block", build([](auto& b) { b.blocks[0].byteCount = 60000; }), eof, 3, 44},
        {"byte count past the end, last block", build([](auto& b) { b.blocks[2].byteCount = 60000; }), eof, 3, 12},
        {"32767 samples in the first block", build([](auto& b) { b.blocks[0].byteCount = 65534; }), cantGet, 0, 0},
        {"32767 signed samples later",
         build([](auto& b) {
             b.blocks[1].type = testfile::Signed16;
             b.blocks[1].byteCount = 65535;
         }),
         {BadType}, 1, 4},
        // Non-finite floats are reported once and read as zero.
        {"infinite scale end", build([](auto& b) { b.fileScale.low = Inf; }), {InvalidFloat}, 3, 12,
         [](DataFile& df) { EXPECT_EQ(df.blocks.fileScale.units.low, 0.0f); }},
        {"NaN in a block scale", build([](auto& b) { b.blocks[1].scale = ScaleSpec{"B", 0, NaN, floatBits(10), 0}; }),
         {InvalidFloat}, 3, 12},
        {"infinite alarm set-point",
         build([](auto& b) {
             b.fileAlarm.mask = 0x01;
             b.fileAlarm.records[0] = {Inf, NaN, 1, 0};
         }),
         {InvalidFloat}, 3, 12},
        {"infinite set-point of no alarm",
         build([](auto& b) {
             b.fileAlarm.mask = 0x03;
             b.fileAlarm.records[1] = {Inf, Inf, 0, 0};
         }),
         {}, 3, 12},
        {"non-finite float samples", build([](auto& b) { b.blocks[1].f32bits({Inf, floatBits(2.5f), NaN, 0xFF800001u}); }),
         {InvalidFloat}, 3, 12,
         [](DataFile& df) {
             DataFileIter it(df);
             it.advance(4);
             EXPECT_EQ(it.value(), 0.0);
             it.advance(1);
             EXPECT_EQ(it.value(), 2.5);
         }},
        // Intervals; the last block's header is read again at open.
        {"zero interval", build([](auto& b) { b.blocks[0].interval = 0; }), {IllegalRate, "Address = 0x2B"}, 3, 12,
         [](DataFile& df) { EXPECT_EQ(df.blocks.head->data[0].interval, 2500u); }},
        {"interval past 100 minutes, last block", build([](auto& b) { b.blocks[2].interval = 60000001; }),
         {IllegalRate, "Address = 0x6B", IllegalRate, "Address = 0x6B"}, 3, 12},
        {"negative interval past 100 minutes", build([](auto& b) { b.blocks[1].interval = -600001; }),
         {IllegalRate, "Address = 0x4B"}, 3, 12},
        {"most negative interval", build([](auto& b) { b.blocks[1].interval = INT32_MIN; }),
         {IllegalRate, "Address = 0x4B"}, 3, 12},
        // Scales.
        {"explicit decimals above 4", build([](auto& b) { b.fileScale = ScaleSpec::of("DEC", 0, 5, 10, 0x1F); }), {}, 3, 12,
         [](DataFile& df) { EXPECT_EQ(df.blocks.fileScale.units.decimals, 4); }},
        {"logarithmic scale above 300", build([](auto& b) { b.fileScale = ScaleSpec::of("LOG", -1, 2, 400, 0x80); }),
         {TooLarge}, 3, 12,
         [](DataFile& df) {
             const UNITS& u = df.blocks.fileScale.units;
             EXPECT_EQ(u.high, 300.0f);
             EXPECT_EQ(u.low, -1.0f);
         }},
        {"logarithmic block scale, every value above 300",
         build([](auto& b) { b.blocks[1].scale = ScaleSpec::of("LOG", 301, 1e30f, 3e38f, 0xC0); }), {TooLarge}, 3, 12},
    };
    // Files that are not data files.
    for (std::uint8_t type : {2, 3, 4, 6, 255}) {
        DataFileBuilder b = threeBlocks();
        b.type = type;
        cases.push_back({"file type byte " + std::to_string(type), b.build(), {BadType}, 0, 0});
    }
    return cases;
}

TEST(MalformedDataFiles, EndInTheirMessagesWithinBoundedWork) {
    const std::vector<DataCase> cases = dataCases();
    for (const DataCase& c : cases) {
        SCOPED_TRACE(c.name);
        const DataOutcome got = [&] {
            CaseWatchdog watchdog(c.name);
            return readData(c.bytes, c.inspect);
        }();
        EXPECT_EQ(got.messages, c.messages);
        EXPECT_EQ(got.blocks, c.blocks);
        EXPECT_EQ(got.samples, c.samples);
    }
}

// The base event file: two labelled inputs and a ring of eight slots that
// holds five records; the ring starts at 68.
EventFileBuilder fiveEvents() {
    EventFileBuilder b;
    b.labels = {{"Pump", "Stop"}, {"Door", "Shut"}};
    std::vector<EventSpec> events;
    for (int i = 0; i < 5; ++i) events.push_back(EventSpec::of(T0 + std::uint64_t(i) * 10000, i, i, i, float(i)));
    b.wrapped(8, 0, events);
    b.ring.resize(8);
    return b;
}

struct EventCase { const char* name; Bytes bytes; Texts messages; std::uint32_t count; };

Bytes events(const std::function<void(EventFileBuilder&)>& change) {
    EventFileBuilder b = fiveEvents();
    change(b);
    return b.build();
}

Bytes cutEvents(std::size_t length) {
    Bytes bytes = fiveEvents().build();
    bytes.resize(length);
    return bytes;
}

Bytes withInputCount(std::uint8_t n) {
    Bytes bytes = fiveEvents().build();
    bytes[13] = n;
    return bytes;
}

TEST(MalformedEventFiles, EndInTheirMessagesWithinBoundedWork) {
    const Texts eof = {EndOfFile}, corrupt = {Corrupt};
    const EventCase cases[] = {
        {"empty file", {}, eof, 0},
        {"one byte", {'4'}, eof, 0},
        {"cut in the identification", cutEvents(9), eof, 0},
        {"cut before the input count", cutEvents(13), eof, 0},
        {"cut in the labels", cutEvents(14 + 25), eof, 0},
        {"cut in the positions", cutEvents(54 + 6), eof, 0},
        {"cut in the third record", cutEvents(68 + 24 + 7), eof, 2},
        {"negative first position", events([](auto& b) { b.firstPos = -12; }), corrupt, 0},
        {"negative wrap position", events([](auto& b) { b.wrapPos = INT32_MIN; }), corrupt, 0},
        {"unaligned first position", events([](auto& b) { b.firstPos += 6; }), corrupt, 0},
        {"unaligned last position", events([](auto& b) { b.lastPos -= 1; }), corrupt, 0},
        {"positions inside the header", events([](auto& b) { b.firstPos = b.lastPos = b.wrapPos = 20; }), corrupt, 0},
        {"positions past the end", events([](auto& b) { b.firstPos = b.slot(500); b.lastPos = b.slot(501); b.wrapPos = b.slot(502); }), eof, 0},
        {"upper run past the end", events([](auto& b) { b.wrapPos = b.slot(400); }), eof, 8},
        {"ring revisits records: first above wrap",
         events([](auto& b) { b.firstPos = b.slot(6); b.lastPos = b.slot(1); b.wrapPos = b.slot(4); }), corrupt, 0},
        {"ring revisits records: newest above the upper run",
         events([](auto& b) { b.firstPos = b.wrapPos = b.slot(3); b.lastPos = b.slot(6); }), corrupt, 3},
        {"ring revisits records: lower run reaches the oldest",
         events([](auto& b) { b.firstPos = b.slot(2); b.lastPos = b.slot(5); b.wrapPos = b.slot(8); }), corrupt, 8},
        {"nine inputs",
         events([](auto& b) {
             b.labels.assign(9, {"On", "Off"});
             b.linear(std::vector<EventSpec>(4, EventSpec::of(T0, 1, 2, 65, 0)));
         }),
         {}, 4},
        {"255 inputs and no room for their labels", withInputCount(255), eof, 0},
        {"type byte 2", events([](auto& b) { b.type = 2; }), {BadType}, 0},
        {"type byte 3", events([](auto& b) { b.type = 3; }), {BadType}, 0},
        {"type byte 6", events([](auto& b) { b.type = 6; }), {BadType}, 0},
        {"type byte 255", events([](auto& b) { b.type = 255; }), {BadType}, 0},
    };
    for (const EventCase& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::RecordingNotice notice;
        auto io = std::make_unique<BudgetIO>(c.bytes);
        BudgetIO* stream = io.get();
        EventFile f(std::make_unique<File>(std::move(io)));
        {
            CaseWatchdog watchdog(c.name);
            f.readEvents();
        }
        EXPECT_FALSE(stream->spent) << "more than " << BudgetIO::Budget << " fills";
        EXPECT_EQ(notice.texts(), c.messages);
        EXPECT_EQ(f.count, c.count);
        EXPECT_EQ(stream->hasMainError(), !c.messages.empty());
        // The array is never empty once the file was opened.
        std::uint32_t held = 0;
        for (Event* e = f.cursor.first(); e; e = f.cursor.advance(1) ? f.cursor.current() : nullptr) ++held;
        EXPECT_EQ(held, std::max<std::uint32_t>(c.count, 1));
    }
}

}  // namespace
