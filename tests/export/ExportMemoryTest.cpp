// A long export gives back the samples of blocks its rows have passed; the
// text must not change for it, whether the export runs again over the same
// files or one file stands in two columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/dFileIt.h"
#include "export/DataExport.h"
#include "storage/DISK.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"
#include "support/TextFiles.h"

namespace fs = std::filesystem;
using namespace testfile;

namespace {

constexpr std::uint64_t Second = 10000;

// Three contiguous blocks of whole-number hundredths, every `seconds`.
DataFileBuilder threeBlocks(std::uint64_t t0, int seconds, int perBlock) {
    DataFileBuilder b;
    b.fileScale = ScaleSpec::of("U", 0.0f, 50.0f, 100.0f, 0x12);
    for (int k = 0; k < 3; ++k) {
        BlockSpec blk;
        blk.start = t0 + std::uint64_t(k) * perBlock * seconds * Second;
        blk.interval = seconds * 10000;
        std::vector<std::int16_t> v;
        for (int i = 0; i < perBlock; ++i) v.push_back(static_cast<std::int16_t>(k * 1000 + i * seconds));
        blk.i16(v);
        b.add(blk);
    }
    return b;
}

std::string run(std::vector<dFileIt>& items, std::uint64_t t0, std::uint64_t t1, const fs::path& out) {
    for (auto& item : items) item.iter.reset();
    ExportOptions o;
    o.timeFormat = 0;
    DataExporter e(items.data(), static_cast<int>(items.size()), o);
    EXPECT_EQ(e.run(CTime::fromTicks(t0), CTime::fromTicks(t1), out.string()), ExportResult::Written);
    return testsupport::fileText(out);
}

}  // namespace

TEST(ExportMemory, PassedBlocksAreFreedAndReadAgainWhenNeeded) {
    testsupport::RecordingNotice notice;
    const fs::path dir = fs::temp_directory_path() / "hx_export_memory";
    fs::create_directories(dir);
    const std::uint64_t t0 = ticksAt(2001, 2, 3, 4, 5, 6);
    writeFile((dir / "A.DC1").string(), threeBlocks(t0, 1, 500).build());
    writeFile((dir / "B.DC1").string(), threeBlocks(t0, 2, 250).build());
    auto open = [&](const char* name) {
        auto f = std::make_shared<DataFile>(std::make_unique<File>(std::make_unique<DISK>((dir / name).string())));
        f->open();
        return f;
    };
    std::vector<dFileIt> items;
    items.emplace_back(open("A.DC1"));
    items.emplace_back(open("B.DC1"));
    const std::uint64_t end = t0 + 1499 * Second;

    const std::string first = run(items, t0, end, dir / "1.CSV");
    // One row per second, the slower file repeating its sample.
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 1 + 1500);
    EXPECT_NE(first.find("\n1499,    24.99,    24.98"), std::string::npos);
    for (auto& item : items) {
        EXPECT_EQ(item.file->blocks.head->data[0].samples, nullptr) << "the first block is given back";
        EXPECT_NE(item.iter.block()->samples, nullptr) << "the block the rows end in is kept";
    }
    // Run again: the first blocks are read from the files anew.
    EXPECT_EQ(run(items, t0, end, dir / "2.CSV"), first);

    // One file in two columns: giving a block back for one column must not
    // take it from the other.
    std::vector<dFileIt> twice;
    auto shared = open("A.DC1");
    twice.emplace_back(shared);
    twice.emplace_back(shared);
    const std::string both = run(twice, t0, end, dir / "3.CSV");
    EXPECT_NE(both.find("\n1499,    24.99,    24.99"), std::string::npos);
    EXPECT_EQ(std::count(both.begin(), both.end(), '\n'), 1 + 1500);
    EXPECT_TRUE(notice.messages.empty());
    items.clear();
    twice.clear();
    shared.reset();
    fs::remove_all(dir);
}
