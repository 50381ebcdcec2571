#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "events/EventFile.h"
#include "storage/DISK.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

namespace {

using testfile::EventFileBuilder;
using testfile::EventSpec;
using testfile::ticksAt;

// Hands out 8 bytes per fill, so every record read needs a fill, and fails
// once its budget is spent: a walk that never ends stops with a count far
// above what the ring holds instead of hanging the test.
class TrickleIO : public IO {
public:
    static constexpr int Budget = 20000;
    explicit TrickleIO(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    int open(int mode) override {
        openCommon(mode);
        cursor_ = 0;
        return 1;
    }
    void close() override { closeCommon(); }
    void positionDevice() override { cursor_ = position; }
    void fill() override {
        if (++fills_ > Budget) {
            setCode(mainError, ErrorCode::ReadFailed);
        } else if (cursor_ >= bytes_.size()) {
            setCode(mainError, ErrorCode::EndOfFile);
        } else {
            std::size_t got = std::min<std::size_t>(8, bytes_.size() - cursor_);
            std::memcpy(buffer, bytes_.data() + cursor_, got);
            cursor_ += got;
            count = static_cast<std::int16_t>(got);
            position += static_cast<std::uint32_t>(got);
        }
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t cursor_ = 0;
    int fills_ = 0;
};

// Events with distinct values 1, 2, 3, ... so the order read is visible.
std::vector<EventSpec> numbered(int n) {
    std::vector<EventSpec> v;
    for (int i = 1; i <= n; ++i) v.push_back(EventSpec::of(ticksAt(2004, 3, 1, 10, 0, i), i % 16, i % 7, i % 13, float(i)));
    return v;
}

std::vector<Event> allEvents(EventFile& f) {
    std::vector<Event> v;
    VArrayIter<Event> it(f.events);
    for (Event* e = it.first(); e; e = it.advance(1) ? it.current() : nullptr) v.push_back(*e);
    return v;
}

class EventFileTest : public ::testing::Test {
protected:
    std::unique_ptr<EventFile> read(std::vector<std::uint8_t> bytes) {
        auto f = std::make_unique<EventFile>(std::make_unique<File>(std::make_unique<TrickleIO>(std::move(bytes))));
        f->readEvents();
        return f;
    }
    IO& stream(EventFile& f) { return *f.file->stream; }

    testsupport::RecordingNotice notice;
};

void expectSameEvents(const std::vector<Event>& got, const std::vector<EventSpec>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].time.ticks(), want[i].time);
        EXPECT_EQ(got[i].point, want[i].point);
        EXPECT_EQ(got[i].alarm, want[i].alarm);
        EXPECT_EQ(got[i].code, want[i].code);
        EXPECT_EQ(got[i].value, testfile::floatFromBits(want[i].value));
    }
}

// No events: the list holds one record of zeros in their place.
void expectPlaceholderOnly(EventFile& f) {
    EXPECT_EQ(f.count, 0u);
    expectSameEvents(allEvents(f), {EventSpec{}});
}

TEST_F(EventFileTest, RingLayoutsReadOldestFirst) {
    const struct {
        const char* name;
        std::function<void(EventFileBuilder&)> make;
        std::vector<EventSpec> expected;
    } cases[] = {
        {"linear", [](EventFileBuilder& b) { b.linear(numbered(5)); }, numbered(5)},
        {"linear, one record", [](EventFileBuilder& b) { b.linear(numbered(1)); }, numbered(1)},
        {"wrapped", [](EventFileBuilder& b) { b.wrapped(6, 4, numbered(4)); }, numbered(4)},
        {"wrapped, newest in slot 0", [](EventFileBuilder& b) { b.wrapped(6, 3, numbered(4)); }, numbered(4)},
        {"partly filled, not wrapped", [](EventFileBuilder& b) { b.wrapped(6, 1, numbered(3)); }, numbered(3)},
        {"full ring", [](EventFileBuilder& b) { b.wrapped(5, 2, numbered(5)); }, numbered(5)},
        {"full ring from slot 0", [](EventFileBuilder& b) { b.wrapped(5, 0, numbered(5)); }, numbered(5)},
        {"full ring of one", [](EventFileBuilder& b) { b.wrapped(1, 0, numbered(1)); }, numbered(1)},
        {"empty ring", [](EventFileBuilder& b) { b.wrapped(6, 0, {}); }, {}},
        {"empty ring, positions mid-ring", [](EventFileBuilder& b) { b.wrapped(6, 3, {}); }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EventFileBuilder b;
        b.labels = {{"A", "B"}};
        c.make(b);
        auto f = read(b.build());
        EXPECT_FALSE(stream(*f).hasMainError());
        EXPECT_EQ(f->count, c.expected.size());
        EXPECT_EQ(f->headerSize, 48);
        if (c.expected.empty()) expectPlaceholderOnly(*f);
        else expectSameEvents(allEvents(*f), c.expected);
        EXPECT_EQ(f->cursor.current(), f->events.head ? &f->events.head->data[0] : nullptr);
    }
}

TEST_F(EventFileTest, RecordFieldsDecode) {
    EventFileBuilder b;
    std::uint64_t t = ticksAt(2003, 12, 31, 13, 5, 9, 7000);
    b.linear({EventSpec::of(t, 11, 13, 200, -1.5f), EventSpec::of(ticksAt(1989, 1, 1), 15, 15, 255, 3.25e38f)});
    auto f = read(b.build());
    EXPECT_EQ(f->headerSize, 28);
    EXPECT_EQ(f->firstPos, 28);
    EXPECT_EQ(f->endPos, 28 + 24);
    EXPECT_EQ(f->wrapPos, 28 + 24);
    EXPECT_EQ(f->inputCount, 0);
    expectSameEvents(allEvents(*f), b.ring);
}

TEST_F(EventFileTest, LabelsBlankDefaultsTrailingSpacesAndInputsPastSeven) {
    EventFileBuilder b;
    b.labels = {{"Pump", "Stop"}, {"", "          "}, {"Seven  ", "ABCDEFGHIJKL"}, {"x", ""}};
    b.linear(numbered(2));
    auto bytes = b.build();
    // Input 3's code-64 label made of zero bytes: empty, not blank.
    for (int i = 0; i < 10; ++i) bytes[14 + 3 * 20 + i] = 0;
    auto f = read(bytes);
    ASSERT_FALSE(stream(*f).hasMainError());
    struct Label { int table, point; const char* text; };
    const Label cases[] = {
        {0, 0, "Pump      "}, {1, 0, "Stop      "}, {0, 1, "Open "},       {1, 1, "Close"},
        {0, 2, "Seven     "}, {1, 2, "ABCDEFGHIJ"}, {0, 3, "Open "},       {1, 3, "Close"},
        {0, 4, ""},           {1, 6, ""},
    };
    for (const Label& c : cases) EXPECT_STREQ(f->EventLabels.label(c.table, c.point), c.text) << c.table << "/" << c.point;

    // Inputs past the seventh are read past, not kept.
    EventFileBuilder nine;
    for (int i = 1; i <= 9; ++i) nine.labels.push_back({"On" + std::to_string(i), "Off" + std::to_string(i)});
    nine.linear(numbered(3));
    f = read(nine.build());
    ASSERT_FALSE(stream(*f).hasMainError());
    EXPECT_EQ(f->inputCount, 9);
    EXPECT_EQ(f->headerSize, 28 + 180);
    for (const Label& c : {Label{0, 6, "On7       "}, Label{1, 6, "Off7      "}, Label{0, 7, ""}, Label{1, 8, ""}})
        EXPECT_STREQ(f->EventLabels.label(c.table, c.point), c.text) << c.table << "/" << c.point;
    expectSameEvents(allEvents(*f), numbered(3));
}

TEST_F(EventFileTest, FileTypes) {
    const struct {
        std::uint8_t type;
        bool accepted;
    } cases[] = {{4, true}, {5, true}, {0, false}, {1, false}, {2, false}, {6, false}, {255, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.type));
        notice.clear();
        EventFileBuilder b;
        b.type = c.type;
        b.linear(numbered(2));
        auto f = read(b.build());
        if (c.accepted) {
            EXPECT_FALSE(stream(*f).hasMainError());
            EXPECT_EQ(f->count, 2u);
            continue;
        }
        EXPECT_EQ(stream(*f).mainError.code, ErrorCode::BadType);
        expectPlaceholderOnly(*f);
        EXPECT_EQ(notice.messages, std::vector{testsupport::errorBox("Bad Type")});
    }
}

// Headers whose positions the ring walk cannot follow (beyond the
// malformed-file table). Every read must end, set the main error and keep
// no more records than the file holds.
TEST_F(EventFileTest, HostileHeadersEndWithMainError) {
    constexpr int Slots = 50;
    const struct {
        const char* name;
        std::function<void(EventFileBuilder&)> spoil;
        int error;
        std::uint32_t count;
    } cases[] = {
        {"wrapPos below headerSize", [](EventFileBuilder& b) { b.wrapPos = b.headerSize() - 12; }, ErrorCode::CorruptPointers, 0},
        {"wrapPos at headerSize", [](EventFileBuilder& b) { b.firstPos = b.wrapPos = b.slot(0); }, ErrorCode::CorruptPointers, 0},
        {"lastPos negative", [](EventFileBuilder& b) { b.lastPos = -1; }, ErrorCode::CorruptPointers, 0},
        {"wrapPos unaligned", [](EventFileBuilder& b) { b.wrapPos -= 6; }, ErrorCode::CorruptPointers, 0},
        {"firstPos above wrapPos", [](EventFileBuilder& b) { b.firstPos = b.slot(20); b.lastPos = b.slot(2); b.wrapPos = b.slot(10); }, ErrorCode::CorruptPointers, 0},
        {"lastPos above wrapPos", [](EventFileBuilder& b) { b.firstPos = b.slot(45); b.lastPos = b.slot(49); b.wrapPos = b.slot(47); }, ErrorCode::CorruptPointers, 2 + 45},
        // Found by fuzzing: with no upper run the walk met wrapPos again
        // before firstPos and went round the lower run for ever.
        {"lastPos above wrapPos, empty upper run", [](EventFileBuilder& b) { b.firstPos = b.wrapPos = b.slot(3); b.lastPos = b.slot(10); }, ErrorCode::CorruptPointers, 3},
        {"upper run past lastPos", [](EventFileBuilder& b) { b.firstPos = b.slot(0); b.lastPos = b.slot(2); b.wrapPos = b.slot(Slots); }, ErrorCode::CorruptPointers, Slots},
        {"lastPos at the top of the range", [](EventFileBuilder& b) { b.lastPos = b.slot(0) + 12 * ((INT32_MAX - b.slot(0)) / 12); }, ErrorCode::CorruptPointers, 0},
        {"upper run past the end of the file", [](EventFileBuilder& b) { b.wrapPos = b.slot(0) + 12 * ((INT32_MAX - b.slot(0)) / 12); b.lastPos = b.firstPos; }, ErrorCode::EndOfFile, Slots},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        notice.clear();
        EventFileBuilder b;
        b.labels = {{"A", "B"}, {"C", "D"}};
        b.linear(numbered(Slots));
        c.spoil(b);
        auto bytes = b.build();
        auto f = read(bytes);
        EXPECT_EQ(stream(*f).mainError.code, c.error);
        EXPECT_EQ(f->count, c.count);
        EXPECT_LE(f->count, (bytes.size() - std::size_t(b.headerSize())) / 12);
        EXPECT_EQ(allEvents(*f).size(), std::max<std::size_t>(c.count, 1));
        if (c.error == ErrorCode::CorruptPointers) {
            EXPECT_EQ(notice.messages, std::vector{testsupport::errorBox("Pointers are corrupted")});
        }
    }
}

TEST_F(EventFileTest, ReadsFromDiskAndReportsAMissingFile) {
    auto path = (std::filesystem::temp_directory_path() / "hx_events_read.ALM").string();
    EventFileBuilder b;
    b.wrapped(8, 5, numbered(6));
    testfile::writeFile(path, b.build());
    EventFile f(std::make_unique<File>(std::make_unique<DISK>(path)));
    f.readEvents();
    std::filesystem::remove(path);
    EXPECT_FALSE(f.file->stream->hasMainError());
    expectSameEvents(allEvents(f), numbered(6));

    std::string missing = path + ".missing";
    EventFile none(std::make_unique<File>(std::make_unique<DISK>(missing)));
    none.readEvents();
    EXPECT_EQ(none.events.head, nullptr);
    EXPECT_EQ(none.cursor.current(), nullptr);
    EXPECT_EQ(notice.texts(), std::vector<std::string>{"Can't Open file.\n" + missing});
}

}  // namespace
