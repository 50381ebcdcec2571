// The data export writer, checked byte for byte against text written by
// hand from the rules of the export: time columns, merging of files at
// different rates, gaps, the span's ends, split files and their names.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "data/dFileIt.h"
#include "export/DataExport.h"
#include "export/ExportFileNames.h"
#include "storage/DISK.h"
#include "support/FullDialect.h"
#include "support/KeptSettings.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"
#include "support/TextFiles.h"

namespace fs = std::filesystem;
using namespace testfile;
using testsupport::fileText;
using testsupport::onDisk;
using testsupport::RecordingNotice;

namespace {

constexpr std::uint64_t Second = 10000;

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("hx_export_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        items.clear();
        fs::remove_all(dir);
    }

    // Writes the file and opens it as the next export column.
    void addFile(const DataFileBuilder& b) {
        std::string path = (dir / ("IN" + std::to_string(items.size()) + ".DC1")).string();
        writeFile(path, b.build());
        auto df = std::make_shared<DataFile>(std::make_unique<File>(std::make_unique<DISK>(path)));
        df->open();
        ASSERT_TRUE(df->hasBlocks());
        items.emplace_back(df);
    }

    ExportResult run(ExportOptions o, std::uint64_t start, std::uint64_t end, const std::string& name = "OUT.CSV") {
        DataExporter e(items.data(), static_cast<int>(items.size()), o);
        ExportResult r = e.run(CTime::fromTicks(start), CTime::fromTicks(end), (dir / name).string());
        written = e.written();
        return r;
    }

    fs::path dir;
    std::vector<dFileIt> items;
    std::vector<std::string> written;
};

ExportOptions opts(int time, int date = 0, int interval = 0) {
    ExportOptions o;
    o.timeFormat = static_cast<std::uint8_t>(time);
    o.dateFormat = static_cast<std::uint8_t>(date);
    o.interval = static_cast<std::uint8_t>(interval);
    return o;
}

// One channel with two decimal places: the raw value is hundredths.
DataFileBuilder channel(std::uint64_t start, std::int32_t interval, const std::vector<std::int16_t>& raw, const std::string& label = "CH1") {
    DataFileBuilder b;
    b.fileScale = ScaleSpec::of(label, 0.0f, 50.0f, 100.0f, 0x12);
    BlockSpec blk;
    blk.start = start;
    blk.interval = interval;
    blk.i16(raw);
    b.add(blk);
    return b;
}

std::vector<std::int16_t> ramp(int n, int step = 100) {
    std::vector<std::int16_t> v;
    for (int i = 0; i < n; ++i) v.push_back(static_cast<std::int16_t>(i * step));
    return v;
}

}  // namespace

TEST_F(ExportTest, EveryTimeColumnAndDateStyle) {
    const std::uint64_t t0 = ticksAt(1999, 12, 31, 23, 59, 59, 5000);
    struct Case {
        int time, date;
        const char* expected;
    } cases[] = {
        {0, 0, "\"Sample Number\",\"RECORDER (CH1)\"\n0,    12.50\n1,   -12.34\n2,   100.00\n"},
        {1, 0, "\"Elapsed time\",\"RECORDER (CH1)\"\n\"0:00:00:00.00\",    12.50\n\"0:00:00:00.50\",   -12.34\n\"0:00:00:01.00\",   100.00\n"},
        {1, 2, "\"Elapsed time\",\"RECORDER (CH1)\"\n\"0:00:00:00.00\",    12.50\n\"0:00:00:00.50\",   -12.34\n\"0:00:00:01.00\",   100.00\n"},
        {2, 1,
         "\"12 hour time\",\"RECORDER (CH1)\"\n\"12/31/1999 11:59:59.50 pm\",    12.50\n\"01/01/2000 12:00:00.00 am\",   -12.34\n"
         "\"01/01/2000 12:00:00.50 am\",   100.00\n"},
        {2, 0, "\"12 hour time\",\"RECORDER (CH1)\"\n\"11:59:59.50 pm\",    12.50\n\"12:00:00.00 am\",   -12.34\n\"12:00:00.50 am\",   100.00\n"},
        {3, 2,
         "\"24 hour time\",\"RECORDER (CH1)\"\n\"31/12/1999 23:59:59.50\",    12.50\n\"01/01/2000 00:00:00.00\",   -12.34\n"
         "\"01/01/2000 00:00:00.50\",   100.00\n"},
        {3, 1,
         "\"24 hour time\",\"RECORDER (CH1)\"\n\"12/31/1999 23:59:59.50\",    12.50\n\"01/01/2000 00:00:00.00\",   -12.34\n"
         "\"01/01/2000 00:00:00.50\",   100.00\n"},
    };
    addFile(channel(t0, 5000, {1250, -1234, 10000}));
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "time " << c.time << " date " << c.date);
        items.front().iter.reset();
        ASSERT_EQ(run(opts(c.time, c.date), t0, t0 + Second), ExportResult::Written);
        EXPECT_EQ(fileText(dir / "OUT.CSV"), onDisk(c.expected));
    }
}

TEST_F(ExportTest, TwoRatesMergeOnOneAxis) {
    const std::uint64_t t0 = ticksAt(2001, 3, 5, 14, 5, 0);
    addFile(channel(t0, 10000, ramp(11), "FAST"));
    addFile(channel(t0, 50000, {1000, 2000, 3000}, "SLOW"));
    RecordingNotice notice;
    ASSERT_EQ(run(opts(0), t0, t0 + 10 * Second), ExportResult::Written);
    std::string expected = "\"Sample Number\",\"RECORDER (FAST)\",\"RECORDER (SLOW)\"\n";
    for (int i = 0; i <= 10; ++i) {
        char row[64];
        std::snprintf(row, sizeof row, "%d, %8.2f, %8.2f\n", i, i * 1.0, i < 5 ? 10.0 : i < 10 ? 20.0 : 30.0);
        expected += row;
    }
    EXPECT_EQ(fileText(dir / "OUT.CSV"), onDisk(expected));
    EXPECT_TRUE(notice.messages.empty());
    EXPECT_EQ(notice.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(ExportTest, GapRepeatsTheLastSampleAndJumpsInItsOwnColumn) {
    const std::uint64_t t0 = ticksAt(2001, 3, 5, 14, 5, 0);
    DataFileBuilder gappy = channel(t0, 10000, {100, 200, 300}, "GAP");
    BlockSpec later;
    later.start = t0 + 5 * Second;
    later.interval = 10000;
    later.i16({600, 700});
    gappy.add(later);
    addFile(gappy);
    ASSERT_EQ(run(opts(3), t0, t0 + 6 * Second), ExportResult::Written);
    EXPECT_EQ(fileText(dir / "OUT.CSV"), onDisk("\"24 hour time\",\"RECORDER (GAP)\"\n"
                                            "\"14:05:00.00\",     1.00\n\"14:05:01.00\",     2.00\n\"14:05:02.00\",     3.00\n"
                                            "\"14:05:05.00\",     6.00\n\"14:05:06.00\",     7.00\n"));

    // Beside a steady channel the gap shows as the last value held.
    items.front().iter.reset();
    addFile(channel(t0, 10000, ramp(7, 1000), "STEADY"));
    ASSERT_EQ(run(opts(0), t0, t0 + 6 * Second), ExportResult::Written);
    EXPECT_EQ(fileText(dir / "OUT.CSV"), onDisk("\"Sample Number\",\"RECORDER (GAP)\",\"RECORDER (STEADY)\"\n"
                                            "0,     1.00,     0.00\n1,     2.00,    10.00\n2,     3.00,    20.00\n"
                                            "3,     3.00,    30.00\n4,     3.00,    40.00\n5,     6.00,    50.00\n6,     7.00,    60.00\n"));
}

TEST_F(ExportTest, SpanEnds) {
    const std::uint64_t t0 = ticksAt(2001, 3, 5, 14, 5, 0);
    addFile(channel(t0, 10000, ramp(11)));
    RecordingNotice notice;

    // Start equal to end inside the data: one row stamped with that time.
    ASSERT_EQ(run(opts(3), t0 + 35000, t0 + 35000), ExportResult::Written);
    EXPECT_EQ(fileText(dir / "OUT.CSV"), onDisk("\"24 hour time\",\"RECORDER (CH1)\"\n\"14:05:03.50\",     3.00\n"));

    // An end between samples gets a last row of its own.
    items.front().iter.reset();
    ASSERT_EQ(run(opts(3), t0 + 4 * Second, t0 + 55000), ExportResult::Written);
    EXPECT_EQ(fileText(dir / "OUT.CSV"), onDisk("\"24 hour time\",\"RECORDER (CH1)\"\n\"14:05:04.00\",     4.00\n"
                                            "\"14:05:05.00\",     5.00\n\"14:05:05.50\",     5.00\n"));

    // A start after the last sample: no file and no message.
    fs::remove(dir / "OUT.CSV");
    EXPECT_EQ(run(opts(3), t0 + 20 * Second, t0 + 30 * Second), ExportResult::NoData);
    EXPECT_FALSE(fs::exists(dir / "OUT.CSV"));
    EXPECT_TRUE(notice.messages.empty());
}

TEST_F(ExportTest, HourSplitCountsNamesAndRestartsElapsedTime) {
    const std::uint64_t t0 = ticksAt(2000, 1, 8, 10, 20, 0);
    addFile(channel(t0, 6000000, ramp(12)));  // every 10 minutes, 10:20 to 12:10
    ASSERT_EQ(run(opts(1, 0, 2), t0, t0 + 11 * 600 * Second, "DATA.TXT"), ExportResult::Written);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(fs::path(written[0]).filename(), "DATA0000.TXT");
    EXPECT_EQ(fs::path(written[2]).filename(), "DATA0002.TXT");
    EXPECT_EQ(fileText(written[0]), onDisk("\"Elapsed time\",\"RECORDER (CH1)\"\n\"0:00:00:00.00\",     0.00\n\"0:00:10:00.00\",     1.00\n"
                                       "\"0:00:20:00.00\",     2.00\n\"0:00:30:00.00\",     3.00\n"));
    EXPECT_EQ(fileText(written[1]), onDisk("\"0:00:00:00.00\",     4.00\n\"0:00:10:00.00\",     5.00\n\"0:00:20:00.00\",     6.00\n"
                                       "\"0:00:30:00.00\",     7.00\n\"0:00:40:00.00\",     8.00\n\"0:00:50:00.00\",     9.00\n"));
    EXPECT_EQ(fileText(written[2]), onDisk("\"0:00:00:00.00\",    10.00\n\"0:00:10:00.00\",    11.00\n"));
}

TEST_F(ExportTest, EverySplitIntervalEndsFilesAtItsBoundaries) {
    constexpr std::uint64_t Day = 864000000;
    struct Case {
        int interval;
        std::uint64_t start;
        std::uint64_t every;  // ticks between samples
        int samples;
        std::vector<int> rowsPerFile;
    } cases[] = {
        {1, ticksAt(2000, 1, 8, 10, 0, 40), 20 * Second, 7, {1, 3, 3}},     // :40 | :00 :20 :40 | ...
        {3, ticksAt(1999, 12, 31, 21, 0, 0), 6000 * Second, 4, {2, 2}},     // every 100 minutes past midnight
        {4, ticksAt(2000, 1, 7, 0, 0, 0), Day, 10, {2, 7, 1}},               // daily from a Friday; weeks start on Sunday
        {5, ticksAt(1999, 12, 25, 0, 0, 0), 3 * Day, 14, {3, 10, 1}},        // every third day across a year end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "interval " << c.interval);
        items.clear();
        for (const auto& e : fs::directory_iterator(dir)) fs::remove(e.path());
        // Longer spacings than a block's interval can hold: one block per sample.
        DataFileBuilder b = channel(c.start, 10000, {0});
        for (int k = 1; k < c.samples; ++k) {
            BlockSpec blk;
            blk.start = c.start + c.every * k;
            blk.interval = 10000;
            blk.i16({static_cast<std::int16_t>(100 * k)});
            b.add(blk);
        }
        addFile(b);
        ASSERT_EQ(run(opts(0, 0, c.interval), c.start, c.start + c.every * (c.samples - 1), "EXP?.CSV"), ExportResult::Written);
        ASSERT_EQ(written.size(), c.rowsPerFile.size());
        int value = 0;
        for (std::size_t f = 0; f < written.size(); ++f) {
            std::string expected = f == 0 ? "\"Sample Number\",\"RECORDER (CH1)\"\n" : "";
            for (int r = 0; r < c.rowsPerFile[f]; ++r) {
                char row[48];
                std::snprintf(row, sizeof row, "%d, %8.2f\n", r, static_cast<double>(value++));
                expected += row;
            }
            EXPECT_EQ(fileText(written[f]), onDisk(expected)) << written[f];
        }
        EXPECT_EQ(fs::path(written[0]).filename(), "EXP00000.CSV");
    }
}

TEST(ExportFileNames, TemplatesAndCounting) {
    struct Case {
        const char* path;
        const char* templ;
        const char* next;  // "" when no further name can be counted
    } cases[] = {
        {"DATA.TXT", "DATA0000.TXT", "DATA0001.TXT"},
        {"EXP?.CSV", "EXP00000.CSV", "EXP00001.CSV"},
        {"A*.TXT", "A0000000.TXT", "A0000001.TXT"},
        {"A*.T?", "A0000000.T00", "A0000000.T01"},
        {"C:\\LOG7\\AB.CSV", "C:\\LOG7\\AB000000.CSV", "C:\\LOG7\\AB000001.CSV"},
        {"/tmp/run9/LONGNAMEXYZ.CSV", "/tmp/run9/LONGNAME.CSV", ""},
        {"NODOT", "NODOT000", "NODOT001"},
        {"A.B.C", "A0000000.B00.C00", "A0000000.B00.C01"},
    };
    for (const Case& c : cases) {
        std::string p = c.path;
        makeNameTemplate(p);
        EXPECT_EQ(p, c.templ);
        bool counted = nextFileName(p);
        EXPECT_EQ(counted, *c.next != '\0') << c.path;
        EXPECT_EQ(p, *c.next ? c.next : c.templ) << c.path;
    }
    std::string carry = "D\\DATA0009.TXT";
    ASSERT_TRUE(nextFileName(carry));
    EXPECT_EQ(carry, "D\\DATA0010.TXT");
    std::string spent = "/x1/9999.999";
    EXPECT_FALSE(nextFileName(spent));
    EXPECT_EQ(spent, "/x1/9999.999");
}

TEST_F(ExportTest, SplitEndsWhenNoNameIsLeftRatherThanOverwrite) {
    const std::uint64_t t0 = ticksAt(2000, 1, 8, 10, 0, 0);
    addFile(channel(t0, 18000000, ramp(4)));  // every 30 minutes over two hours
    RecordingNotice notice;
    EXPECT_EQ(run(opts(0, 0, 2), t0, t0 + 3 * 1800 * Second, "ABCDEFGH.TXT"), ExportResult::Failed);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(fileText(written[0]), onDisk("\"Sample Number\",\"RECORDER (CH1)\"\n0,     0.00\n1,     1.00\n"));
    ASSERT_EQ(notice.messages.size(), 1u);
    EXPECT_EQ(notice.messages[0].text, "Export ended early.\nNo further file name can be counted up from\n" + written[0]);
    EXPECT_EQ(notice.busyChanges.back(), false);
}

TEST_F(ExportTest, RefusesToWriteOverAnInputOrAnExistingFile) {
    const std::uint64_t t0 = ticksAt(2000, 1, 8, 10, 0, 0);
    addFile(channel(t0, 10000, ramp(3)));
    const std::string input = (dir / "IN0.DC1").string();
    const auto before = readFile(input);
    RecordingNotice notice;
    EXPECT_EQ(run(opts(0), t0, t0 + 2 * Second, "IN0.DC1"), ExportResult::Failed);
    EXPECT_EQ(readFile(input), before);
    EXPECT_EQ(notice.texts(), std::vector<std::string>{"Export not written.\n" + input + "\nis one of the recorder files being exported."});

    notice.clear();
    writeFile((dir / "OLD.CSV").string(), {'k', 'e', 'e', 'p'});
    ExportOptions keep = opts(0);
    keep.overwrite = false;
    items.front().iter.reset();
    EXPECT_EQ(run(keep, t0, t0 + 2 * Second, "OLD.CSV"), ExportResult::Failed);
    EXPECT_EQ(fileText(dir / "OLD.CSV"), "keep");
    EXPECT_EQ(notice.texts(), std::vector<std::string>{"Export not written.\n" + (dir / "OLD.CSV").string() + "\nexists already."});

    notice.clear();
    items.front().iter.reset();
    const std::string nowhere = (dir / "missing" / "OUT.CSV").string();
    DataExporter e(items.data(), 1, opts(0));
    EXPECT_EQ(e.run(CTime::fromTicks(t0), CTime::fromTicks(t0 + Second), nowhere), ExportResult::Failed);
    EXPECT_EQ(notice.texts(), std::vector<std::string>{"Can't Open file.\n" + nowhere});
    EXPECT_EQ(notice.busyChanges.back(), false);
}

TEST_F(ExportTest, FifteenColumnsOfExtremeValues) {
    const std::uint64_t t0 = ticksAt(2000, 1, 8, 10, 0, 0);
    for (int i = 0; i < MaxExportFiles; ++i) {
        DataFileBuilder b;
        b.ident = "ABCDEFGHIJ";
        b.fileScale = ScaleSpec::of("LABEL6", -1.0f, 0.0f, 1.0f, 0x14);
        BlockSpec blk;
        blk.start = t0;
        blk.f32({-3.4028235e38f, 3.4028235e38f});
        b.add(blk);
        addFile(b);
    }
    ASSERT_EQ(run(opts(2, 1), t0, t0 + Second), ExportResult::Written);
    std::string expected = "\"12 hour time\"";
    for (int i = 0; i < MaxExportFiles; ++i) expected += ",\"ABCDEFGHIJ (LABEL6)\"";
    expected += "\n\"01/08/2000 10:00:00.00 am\"";
    for (int i = 0; i < MaxExportFiles; ++i) expected += ", -3.4e+38";
    expected += "\n\"01/08/2000 10:00:01.00 am\"";
    for (int i = 0; i < MaxExportFiles; ++i) expected += ",  3.4e+38";
    EXPECT_EQ(fileText(dir / "OUT.CSV"), onDisk(expected + "\n"));
}

// A device that takes no bytes: the failure is reported whether the rows
// fit one chunk (written at the end) or run to many (written while the
// next ones are made), exact or rewritten.
TEST_F(ExportTest, WriteFailureIsReportedForShortAndLongOutputs) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no device that refuses writes";
    const std::uint64_t t0 = ticksAt(2000, 1, 8, 10, 0, 0);
    DataFileBuilder b = channel(t0, 10000, ramp(30000, 1));
    BlockSpec more;
    more.start = t0 + 30000 * Second;
    more.interval = 10000;
    more.i16(ramp(30000, 1));
    b.add(more);
    addFile(b);
    CsvDialect d;
    d.lineEnd = CsvDialect::LineEnd::CrLf;
    CsvRewriter rewriter(d);
    const std::pair<std::uint64_t, CsvRewriter*> cases[] = {{3, nullptr}, {60000, nullptr}, {3, &rewriter}, {60000, &rewriter}};
    for (const auto& [rows, dialect] : cases) {
        RecordingNotice notice;
        items.front().iter.reset();
        ExportOptions o = opts(3, 1);
        o.dialect = dialect;
        DataExporter e(items.data(), 1, o);
        EXPECT_EQ(e.run(CTime::fromTicks(t0), CTime::fromTicks(t0 + (rows - 1) * Second), "/dev/full"), ExportResult::Failed) << rows;
        EXPECT_EQ(notice.texts(), std::vector<std::string>{"Error writing file.\n/dev/full"}) << rows;
        EXPECT_EQ(notice.busyChanges.back(), false);
    }
}

// Split by rows and by the minute at once, each file rewritten by a
// dialect: every file gets the mark and the header; elapsed time starts
// again with the minute only; a file that ended holds its last value.
TEST_F(ExportTest, DialectSplitByRowsAndMinute) {
    const std::uint64_t t0 = ticksAt(2000, 1, 8, 10, 0, 58);
    addFile(channel(t0, 10000, ramp(6), "\xB0" "C"));
    addFile(channel(t0, 10000, {1000, 2000, 3000}, "SHORT"));
    CsvDialect d = testsupport::fullDialect(CsvDialect::LineEnd::Lf, CsvDialect::TimeStyle::Seconds);
    d.timeTitle = "Seconds";
    CsvRewriter rewriter(d);
    ExportOptions o = opts(1, 0, 1);
    o.rowsPerFile = 2;
    o.dialect = &rewriter;
    RecordingNotice notice;
    ASSERT_EQ(run(o, t0, t0 + 5 * Second), ExportResult::Written);
    const std::string head = "\xEF\xBB\xBF\"Seconds\";\"RECORDER (\xC2\xB0" "C)\";\"RECORDER (SHORT)\"\n";
    const std::string files[] = {head + "0,00;0,00;10,00\n1,00;1,00;20,00\n", head + "0,00;2,00;30,00\n1,00;3,00;30,00\n",
                                 head + "2,00;4,00;30,00\n3,00;5,00;30,00\n"};
    ASSERT_EQ(written.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(fileText(written[i]), files[i]) << written[i];
    EXPECT_EQ(fs::path(written[2]).filename(), "OUT00002.CSV");
    EXPECT_EQ(rewriter.mostRowsInOneFile(), 2u);
    EXPECT_TRUE(notice.messages.empty());
}

// A stream takes the whole export: no split, no file named.
TEST_F(ExportTest, StreamTakesEverythingUnsplit) {
    const std::uint64_t t0 = ticksAt(2000, 1, 8, 10, 59, 59);
    addFile(channel(t0, 10000, ramp(3)));
    const fs::path path = dir / "stream.out";
    std::FILE* out = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ExportOptions o = opts(0, 0, 2);
    o.rowsPerFile = 1;
    o.stream = out;
    EXPECT_EQ(run(o, t0, t0 + 2 * Second), ExportResult::Written);
    std::fputs("end\n", out);  // still open: the caller's
    std::fclose(out);
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(fileText(path), "\"Sample Number\",\"RECORDER (CH1)\"\n0,     0.00\n1,     1.00\n2,     2.00\nend\n");
}

// Formats out of range, whether from a hand-edited settings file or given
// directly, are taken as the defaults: elapsed time, no date, one file.
TEST_F(ExportTest, SettingsAndOptionsOutOfRangeTakeTheDefaults) {
    const std::uint64_t t0 = ticksAt(2000, 1, 8, 10, 0, 0);
    addFile(channel(t0, 10000, {1234}));
    // As a block whose samples were dropped: the row reads them again.
    items.front().file->blocks.head->data[0].samples.reset();
    const testsupport::KeptSettings kept;
    const struct { int time, date, interval, taken[3]; const char* text; } cases[] = {
        {3, 1, 0, {3, 1, 0}, "\"24 hour time\",\"RECORDER (CH1)\"\n\"01/08/2000 10:00:00.00\",    12.34\n"},
        {2, 2, 5, {2, 2, 5}, "\"12 hour time\",\"RECORDER (CH1)\"\n\"08/01/2000 10:00:00.00 am\",    12.34\n"},
        {4, 3, 6, {1, 0, 0}, "\"Elapsed time\",\"RECORDER (CH1)\"\n\"0:00:00:00.00\",    12.34\n"},
        {0, 255, 255, {0, 0, 0}, "\"Sample Number\",\"RECORDER (CH1)\"\n0,    12.34\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        AppSettings.exportTimeFormat = static_cast<std::uint8_t>(c.time);
        AppSettings.exportDateFormat = static_cast<std::uint8_t>(c.date);
        AppSettings.exportInterval = static_cast<std::uint8_t>(c.interval);
        const ExportOptions o = ExportOptions::fromSettings();
        EXPECT_EQ((std::vector<int>{o.timeFormat, o.dateFormat, o.interval}), (std::vector<int>(c.taken, c.taken + 3)));
        for (bool fromSettings : {true, false}) {
            for (const auto& e : fs::directory_iterator(dir))
                if (e.path().extension() == ".CSV") fs::remove(e.path());
            items.front().iter.reset();
            // One row: a split by interval would still make one file, named from the template.
            const std::string name = (dir / (c.taken[2] ? "OUT00000.CSV" : "OUT.CSV")).string();
            if (fromSettings)
                EXPECT_EQ(exportData(items.data(), 1, CTime::fromTicks(t0), CTime::fromTicks(t0), (dir / "OUT.CSV").string()),
                          ExportResult::Written);
            else
                EXPECT_EQ(run(opts(c.time, c.date, c.interval), t0, t0), ExportResult::Written);
            EXPECT_EQ(fileText(name), onDisk(c.text));
        }
    }
}

TEST_F(ExportTest, ProgressAndNothingToExport) {
    const std::uint64_t t0 = ticksAt(2000, 1, 8, 10, 0, 0);
    addFile(channel(t0, 10000, ramp(5000, 1)));
    std::vector<double> shares;
    ExportOptions o = opts(0);
    o.progress = [&](double share) { shares.push_back(share); };
    ASSERT_EQ(run(o, t0, t0 + 4999 * Second), ExportResult::Written);
    // After row 4096, that of the sample at 4095 s, and at the end.
    EXPECT_EQ(shares, (std::vector<double>{4095.0 / 4999.0, 1.0}));

    RecordingNotice notice;
    fs::remove(dir / "OUT.CSV");
    EXPECT_EQ(run(o, t0 + Second, t0), ExportResult::NoData);
    DataExporter none(items.data(), 0, o);
    EXPECT_EQ(none.run(CTime::fromTicks(t0), CTime::fromTicks(t0 + Second), (dir / "OUT.CSV").string()), ExportResult::NoData);
    EXPECT_FALSE(fs::exists(dir / "OUT.CSV"));
    EXPECT_TRUE(notice.messages.empty());
    EXPECT_TRUE(notice.busyChanges.empty());
}
