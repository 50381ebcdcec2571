#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "events/EventExport.h"
#include "storage/MemoryIO.h"
#include "support/FullDialect.h"
#include "support/KeptSettings.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"
#include "support/TextFiles.h"

namespace {

using testfile::EventFileBuilder;
using testfile::EventSpec;
using testfile::ticksAt;
using testsupport::fileText;

class EventExportTest : public ::testing::Test {
protected:
    void SetUp() override { AppSettings.displayFlags = DisplayTime24; }
    void TearDown() override { for (const auto& p : made) std::filesystem::remove(p); }

    std::string tempPath(const std::string& name) {
        auto p = (std::filesystem::temp_directory_path() / ("hx_events_" + name)).string();
        made.push_back(p);
        return p;
    }

    std::unique_ptr<EventFile> read(const EventFileBuilder& b) {
        auto f = std::make_unique<EventFile>(std::make_unique<File>(std::make_unique<MemoryIO>(b.build())));
        f->readEvents();
        return f;
    }

    static std::string line(const Event& e, const StateLabels& labels = StateLabels()) {
        std::string out;
        formatEvent(e, labels, out);
        return out;
    }

    testsupport::KeptSettings kept;
    testsupport::RecordingNotice notice;
    std::vector<std::string> made;
};

Event eventOf(std::uint64_t ticks, int point, int alarm, int code, float value) {
    const auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
    return {CTime::fromTicks(ticks), byte(point), byte(alarm), byte(code), value};
}

const std::uint64_t Example = ticksAt(2003, 12, 31, 13, 5, 9);
const std::string ExamplePrefix = "12/31/2003 ,13:05:09";

TEST_F(EventExportTest, EveryCodeClass) {
    StateLabels labels;
    labels.set(1, 0, "          ");
    labels.set(0, 6, "Seventh   ");
    const struct { int point, alarm, code; float value; const char* tail; } cases[] = {
        {1, 0, 0, 1.0f, ",1,\"Close   \",     1.000\n"},
        {0, 0, 1, 0.0f, ",0,\"Open    \",     0.000\n"},
        {2, 0, 2, 2.5f, ",2,\"False   \",     2.500\n"},
        {3, 0, 3, 0.0f, ",3,\"True    \",     0.000\n"},
        {4, 0, 4, 0.0f, ",4,\"Invalid \",     0.000\n"},
        {5, 0, 5, 0.0f, ",5,\"Overange\",     0.000\n"},
        {6, 0, 6, 0.0f, ",6,\"Overflow\",     0.000\n"},
        {7, 0, 7, 0.0f, ",7,\"TCBO    \",     0.000\n"},
        {8, 0, 8, 0.0f, ",8,\"Bypass  \",     0.000\n"},
        {1, 1, 9, 12.345f, ",1,\"High 1  \",    12.345\n"},
        {9, 2, 10, -1.5f, ",9,\"Low  2  \",    -1.500\n"},
        {11, 9, 11, 0.0f, ",B,\"Rate 9  \",     0.000\n"},
        {12, 0, 12, 0.0f, ",C,\"Clear   \",     0.000\n"},
        {15, 10, 9, 0.0f, ",F,\"High :  \",     0.000\n"},
        {10, 15, 11, 0.0f, ",A,\"Rate ?  \",     0.000\n"},
        {14, 3, 66, 230.0f, ",E,\"No Power\",   230.000\n"},
        {0, 3, 67, 0.0f, ",0,\"Power On\",     0.000\n"},
        {0, 0, 65, 0.0f, ",\"Event: 1\",\"Close\"\n"},
        {6, 0, 64, 0.0f, ",\"Event: 7\",\"Seventh   \"\n"},
        {15, 0, 64, 0.0f, ",\"Event: 16\",\"\"\n"},
        {3, 5, 127, 1.0f, ",3,\"Reset\",     1.000\n"},
        {3, 0, 128, 0.5f, ",3,\"Peak Reset:\",     0.500\n"},
        {3, 0, 129, 99.999f, ",3,\"High Peak:\",    99.999\n"},
        {3, 0, 130, 0.0f, ",3,\"Peak Reset:\",     0.000\n"},
        {3, 0, 131, -0.25f, ",3,\"Low Peak:\",    -0.250\n"},
        {3, 9, 13, 1.0f, ",\"Unknown message: 13\"\n"},
        {3, 9, 63, 1.0f, ",\"Unknown message: 63\"\n"},
        {3, 9, 68, 1.0f, ",\"Unknown message: 68\"\n"},
        {3, 9, 126, 1.0f, ",\"Unknown message: 126\"\n"},
        {3, 9, 132, 1.0f, ",\"Unknown message: 132\"\n"},
        // Values of any size keep their digits.
        {0, 0, 127, -FLT_MAX, ",0,\"Reset\",-340282346638528859811704183484516925440.000\n"},
        {0, 0, 127, 1234567.0f, ",0,\"Reset\",1234567.000\n"},
        {0, 0, 127, -0.0004f, ",0,\"Reset\",    -0.000\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(line(eventOf(Example, c.point, c.alarm, c.code, c.value), labels), ExamplePrefix + c.tail);
    }
}

TEST_F(EventExportTest, DateOrderAndClock) {
    const struct { std::uint8_t flags; std::uint64_t ticks; const char* stamp; } cases[] = {
        {DisplayTime24, Example, "12/31/2003 ,13:05:09"},
        {DisplayDayFirst, Example, "31/12/2003 ,01:05:09 pm"},
        {DisplayTime24 | DisplayDayFirst, Example, "31/12/2003 ,13:05:09"},
        {0, ticksAt(2004, 1, 2, 0, 30, 0), "01/02/2004 ,12:30:00 am"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stamp);
        AppSettings.displayFlags = c.flags;
        EXPECT_EQ(line(eventOf(c.ticks, 1, 1, 9, 12.345f)), std::string(c.stamp) + ",1,\"High 1  \",    12.345\n");
    }
}

TEST_F(EventExportTest, ExportWritesHeaderAndOneLinePerEvent) {
    EventFileBuilder wrapped, empty;
    wrapped.labels = {{"Pump", ""}};
    wrapped.wrapped(4, 2, {EventSpec::of(ticksAt(2004, 2, 29, 23, 59, 58), 0, 0, 64, 0.0f),
                           EventSpec::of(ticksAt(2004, 2, 29, 23, 59, 59), 0, 0, 65, 0.0f),
                           EventSpec::of(ticksAt(2004, 3, 1, 0, 0, 0), 2, 3, 9, 101.5f)});
    empty.linear({});
    const struct { const EventFileBuilder& file; const char* lines; } cases[] = {
        {wrapped, "02/29/2004 ,23:59:58,\"Event: 1\",\"Pump      \"\n"
                  "02/29/2004 ,23:59:59,\"Event: 1\",\"Close\"\n"
                  "03/01/2004 ,00:00:00,2,\"High 3  \",   101.500\n"},
        {empty, "01/01/1989 ,00:00:00,0,\"Close   \",     0.000\n"},  // one placeholder line
    };
    for (const auto& c : cases) {
        auto f = read(c.file);
        ASSERT_FALSE(f->file->stream->hasMainError());
        auto path = tempPath("export.csv");
        EXPECT_TRUE(exportEvents(*f, path));
        EXPECT_EQ(fileText(path), testsupport::onDisk("\"Date\",\"Time\",\"Point/Event\",\"Type\",\"Value\"\n" + std::string(c.lines)));
    }
    EXPECT_TRUE(notice.messages.empty());
    EXPECT_FALSE(isBusy());
}

// Far more than one write chunk, exact and through a dialect that keeps
// every byte: no line may be lost or split at a chunk end.
TEST_F(EventExportTest, LongExportKeepsEveryLine) {
    constexpr int N = 7000;
    std::vector<EventSpec> events;
    for (int i = 0; i < N; ++i) events.push_back(EventSpec::of(ticksAt(2004, 1, 1) + std::uint64_t(i) * 10000, i % 16, 0, 127, float(i)));
    EventFileBuilder b;
    b.linear(events);
    auto f = read(b);
    ASSERT_EQ(f->count, std::uint32_t(N));

    std::string expected = EventHeaderLine;
    VArrayIter<Event> it(f->events);
    for (Event* e = it.first(); e; e = it.advance(1) ? it.current() : nullptr) expected += line(*e);
    ASSERT_GT(expected.size(), 256u * 1024);

    CsvDialect same;
    same.lineEnd = CsvDialect::LineEnd::Lf;
    CsvRewriter rewriter(same);
    for (CsvRewriter* dialect : {static_cast<CsvRewriter*>(nullptr), &rewriter}) {
        const std::string path = tempPath("long.csv");
        std::FILE* out = std::fopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        EXPECT_TRUE(writeEvents(*f, out, dialect));
        std::fclose(out);
        const std::string got = fileText(path);
        EXPECT_EQ(got, expected);
        EXPECT_NE(got.find("\n01/01/2004 ,01:23:19,7,\"Reset\",  4999.000\n"), std::string::npos);
    }
}

// Each kind of line split into its fields: a label keeps its comma, a
// reading takes the decimal comma, the date goes ISO.
TEST_F(EventExportTest, DialectRewritesEveryKindOfLine) {
    EventFileBuilder b;
    b.labels = {{"Pump, main", ""}};
    b.linear({EventSpec::of(Example, 1, 1, 9, 12.345f), EventSpec::of(Example, 0, 0, 64, 0.0f), EventSpec::of(Example, 3, 0, 127, 1.0f),
              EventSpec::of(Example, 3, 0, 129, -0.25f), EventSpec::of(Example, 3, 9, 200, 1.0f)});
    auto f = read(b);
    CsvRewriter rewriter(testsupport::fullDialect(CsvDialect::LineEnd::CrLf, CsvDialect::TimeStyle::Iso));
    const auto path = tempPath("dialect.csv");
    ASSERT_TRUE(exportEvents(*f, path, &rewriter));
    EXPECT_EQ(fileText(path), "\xEF\xBB\xBF\"Date\";\"Time\";\"Point/Event\";\"Type\";\"Value\"\r\n"
                              "2003-12-31;13:05:09;1;\"High 1  \";12,345\r\n"
                              "2003-12-31;13:05:09;\"Event: 1\";\"Pump, main\"\r\n"
                              "2003-12-31;13:05:09;3;\"Reset\";1,000\r\n"
                              "2003-12-31;13:05:09;3;\"High Peak:\";-0,250\r\n"
                              "2003-12-31;13:05:09;\"Unknown message: 200\"\r\n");
    EXPECT_TRUE(notice.messages.empty());
}

TEST_F(EventExportTest, UncreatableOrUnwritableFileIsReported) {
    EventFileBuilder b;
    b.linear({EventSpec::of(Example, 0, 0, 0, 0.0f)});
    auto f = read(b);
    const std::string uncreatable = (std::filesystem::temp_directory_path() / "hx_no_such_dir" / "out.csv").string();
    struct Case { std::string path, text; };
    std::vector<Case> cases = {{uncreatable, "Can't Open file.\n" + uncreatable}};
#if !defined(_WIN32)
    if (std::filesystem::exists("/dev/full")) cases.push_back({"/dev/full", "Error writing file.\n/dev/full"});
#endif
    CsvRewriter rewriter(CsvDialect{});
    for (const auto& c : cases) {
        for (CsvRewriter* dialect : {static_cast<CsvRewriter*>(nullptr), &rewriter}) {
            notice.clear();
            EXPECT_FALSE(exportEvents(*f, c.path, dialect));
            EXPECT_EQ(notice.messages, std::vector{testsupport::errorBox(c.text)});
            EXPECT_EQ(notice.busyChanges, (std::vector<bool>{true, false}));
        }
    }
}

}  // namespace
