// What the command line cannot see of the exports: the busy state after each
// failure, the settings taken, the samples a long export gives back.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>

#include "app/AppSettings.h"
#include "data/dFileIt.h"
#include "events/EventExport.h"
#include "export/DataExport.h"
#include "storage/MemoryIO.h"
#include "support/KeptSettings.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"
#include "support/TextFiles.h"

namespace fs = std::filesystem;
using namespace testfile;

namespace {

const std::uint64_t T0 = ticksAt(2000, 1, 8, 10, 0, 0);
constexpr std::uint64_t Second = 10000;

// `blocks` blocks of `perBlock` one-second samples of hundredths, `gap` seconds apart.
std::shared_ptr<DataFile> channel(int blocks, int perBlock, int gap = 0) {
    DataFileBuilder b;
    b.fileScale = ScaleSpec::of("V", 0.0f, 50.0f, 100.0f, 0x12);
    for (int k = 0; k < blocks; ++k) {
        BlockSpec blk;
        blk.start = T0 + std::uint64_t(k) * (perBlock + gap) * Second;
        std::vector<std::int16_t> v;
        for (int i = 0; i < perBlock; ++i) v.push_back(static_cast<std::int16_t>(k * 1000 + i));
        b.add(blk.i16(v));
    }
    auto f = std::make_shared<DataFile>(std::make_unique<File>(std::make_unique<MemoryIO>(b.build())));
    f->open();
    return f;
}

// A folder of its own: other test processes may run at the same time.
fs::path scratch(const char* name) {
    const fs::path dir = fs::temp_directory_path() / (name + std::to_string(std::random_device{}()));
    return fs::remove_all(dir), fs::create_directories(dir), dir;
}

}  // namespace

// Each failure is reported once and ends the busy state (checked before the files close, which ends it too).
TEST(ExportFailure, ReportsOnceAndEndsBusy) {
    std::FILE* full = fs::exists("/dev/full") ? std::fopen("/dev/full", "wb") : nullptr;
    if (!full) GTEST_SKIP() << "no device that refuses writes";
    std::setvbuf(full, nullptr, _IONBF, 0);
    const fs::path dir = scratch("hx_export_failures");
    fs::create_symlink("/dev/full", dir / "SPLIT000.CSV");
    CsvRewriter rewriter([] { CsvDialect d; d.lineEnd = CsvDialect::LineEnd::Lf; return d; }());
    const auto data = [&](ExportOptions o, int rows, const fs::path& out) {
        std::vector<dFileIt> items{dFileIt(channel(2, rows / 2))};
        const ExportResult r = DataExporter(items.data(), 1, o).run(CTime::fromTicks(T0), CTime::fromTicks(T0 + (rows - 1) * Second), out.string());
        return r == ExportResult::Failed && !isBusy();
    };
    EventFileBuilder b;
    b.linear({EventSpec::of(T0, 1, 1, 9, 1.0f)});
    EventFile events(std::make_unique<File>(std::make_unique<MemoryIO>(b.build())));
    events.readEvents();
    const std::string nowhere = (dir / "missing" / "X.CSV").string(), error = "Error writing file.\n/dev/full";
    const struct { const char* name; std::function<bool()> run; std::string text; } cases[] = {
        {"cannot open", [&] { return data({}, 2, nowhere); }, "Can't Open file.\n" + nowhere},
        {"header", [&] { ExportOptions o; o.stream = full, o.dialect = &rewriter; return data(o, 2, "S"); }, "Error writing file.\nS"},
        {"last rows", [&] { return data({}, 2, "/dev/full"); }, error},
        {"rows of a later chunk", [&] { ExportOptions o; o.timeFormat = 3, o.dateFormat = 1; return data(o, 60000, "/dev/full"); }, error},
        // The chunk fills within the last batch of rows (35 bytes a row).
        {"rows of the last batch", [&] { ExportOptions o; o.timeFormat = 3, o.dateFormat = 1, o.dialect = &rewriter; return data(o, 29960, "/dev/full"); }, error},
        {"between split files", [&] { ExportOptions o; o.rowsPerFile = 1; return data(o, 2, dir / "SPLIT.CSV"); }, "Error writing file.\n" + (dir / "SPLIT000.CSV").string()},
        {"no name left", [&] { ExportOptions o; o.rowsPerFile = 1; return data(o, 2, dir / "ABCDEFGH.CSV"); },
         "Export ended early.\nNo further file name can be counted up from\n" + (dir / "ABCDEFGH.CSV").string()},
        {"events cannot open", [&] { return !exportEvents(events, nowhere) && !isBusy(); }, "Can't Open file.\n" + nowhere},
        {"events not written", [&] { return !exportEvents(events, "/dev/full") && !isBusy(); }, error},
    };
    for (const auto& c : cases) {
        testsupport::RecordingNotice notice;
        EXPECT_TRUE(c.run()) << c.name;
        EXPECT_EQ(notice.messages, std::vector<std::string>{c.text}) << c.name;
    }
    std::fclose(full);
    fs::remove_all(dir);
}

// Settings out of range (a hand-edited file) take the defaults: elapsed time, no date, one file.
TEST(ExportSettings, OutOfRangeTakeTheDefaults) {
    const testsupport::KeptSettings kept;
    for (const auto& [given, taken] : {std::pair{3, 3}, {0, 0}, {4, 1}, {255, 1}}) {
        AppSettings.exportTimeFormat = AppSettings.exportDateFormat = AppSettings.exportInterval = std::uint8_t(given);
        const ExportOptions o = ExportOptions::fromSettings();
        EXPECT_EQ((std::vector<int>{o.timeFormat, o.dateFormat, o.interval}), (std::vector<int>{taken, given <= 2 ? given : 0, given <= 5 ? given : 0}));
    }
}

// A long export gives back the samples of blocks its rows have passed, reads
// them again when run again, and keeps one that another column still shows.
TEST(ExportMemory, PassedBlocksAreGivenBackAndReadAgain) {
    testsupport::RecordingNotice notice;
    const fs::path dir = scratch("hx_export_memory");
    // The size of the text and its last row.
    const auto lastRow = [&](std::vector<dFileIt>& items) {
        for (auto& item : items) item.iter.reset();
        ExportOptions o;
        o.timeFormat = 0;
        DataExporter(items.data(), int(items.size()), o).run(CTime::fromTicks(T0), CTime::fromTicks(T0 + 1499 * Second), (dir / "X.CSV").string());
        std::string text = testsupport::fileText(dir / "X.CSV");
        std::erase(text, '\r');  // the Windows build ends its lines with CR LF
        return std::to_string(text.size()) + ": " + text.substr(text.rfind('\n', text.size() - 2) + 1);
    };
    std::vector<dFileIt> items{dFileIt(channel(3, 500)), dFileIt(channel(5, 300))};
    const std::string first = lastRow(items);
    EXPECT_EQ(first, "36436: 1499,    24.99,    42.99\n");
    for (auto& item : items) {
        EXPECT_EQ(item.file->blocks.head->data[0].samples, nullptr) << "the first block is given back";
        EXPECT_NE(item.iter.block()->samples, nullptr) << "the block the rows end in is kept";
    }
    EXPECT_EQ(lastRow(items), first);
    const auto shared = channel(3, 500);
    std::vector<dFileIt> twice{dFileIt(shared), dFileIt(shared)};
    EXPECT_EQ(lastRow(twice), "36436: 1499,    24.99,    24.99\n");
    // A reversed span, which the export form can pass, writes nothing.
    fs::remove(dir / "X.CSV");
    EXPECT_EQ(DataExporter(twice.data(), 2, {}).run(CTime::fromTicks(T0 + Second), CTime::fromTicks(T0), (dir / "X.CSV").string()), ExportResult::NoData);
    EXPECT_FALSE(fs::exists(dir / "X.CSV"));
    EXPECT_TRUE(notice.messages.empty());
    fs::remove_all(dir);
}

// The files a split export will write, asked about before it starts, are the ones it writes.
TEST(ExportPlan, NamesTheFilesRunWrites) {
    testsupport::RecordingNotice notice;
    const fs::path dir = scratch("hx_export_plan");
    const std::string name = (dir / "P.CSV").string();
    // Two blocks of 90 s, 60 s apart: 10:00:00-10:01:29 and 10:02:30-10:03:59.
    const struct { std::uint8_t interval; std::uint64_t rowsPerFile; int from, to; std::size_t files; } cases[] = {
        {IntervalNone, 0, 0, 239, 1}, {IntervalMinute, 0, 0, 239, 4}, {IntervalMinute, 0, 30, 170, 3},
        {IntervalMinute, 0, 100, 145, 2},  // within the gap: the sample before it, at the start and at the end
        {IntervalHour, 0, 0, 239, 1}, {IntervalNone, 60, 0, 239, 3},
        {IntervalNone, 60, 0, 179, 2}, {IntervalNone, 60, 0, 180, 3}, {IntervalMinute, 0, 10, 5, 0},
    };
    for (const auto& c : cases) {
        std::vector<dFileIt> items{dFileIt(channel(2, 90, 60))};
        ExportOptions o;
        o.interval = c.interval, o.rowsPerFile = c.rowsPerFile;
        DataExporter exporter(items.data(), 1, o);
        const CTime start = CTime::fromTicks(T0 + c.from * Second), end = CTime::fromTicks(T0 + c.to * Second);
        const std::vector<std::string> planned = exporter.plan(start, end, name);
        exporter.run(start, end, name);
        EXPECT_EQ(planned, exporter.written()) << c.from << "-" << c.to;
        EXPECT_EQ(planned.size(), c.files) << c.from << "-" << c.to;
        fs::remove_all(dir), fs::create_directories(dir);
    }
    fs::remove_all(dir);
}
