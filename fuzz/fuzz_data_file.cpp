// A data file from arbitrary bytes, taken as `harvex export` takes one: open
// it, walk its samples forwards and back, seek, and export it; the time and
// date columns come from the input's size, so that every input is a plain file.
#include <algorithm>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "data/dFileIt.h"
#include "export/DataExport.h"
#include "storage/MemoryIO.h"
#include "support/RecordingNotice.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static testsupport::RecordingNotice notice;
    notice.clear();
    auto df = std::make_shared<DataFile>(std::make_unique<File>(std::make_unique<MemoryIO>(std::vector<std::uint8_t>(data, data + size))));
    df->open();
    // One main error at most, and always one for a file with no usable block.
    const auto mainErrors = std::count_if(notice.messages.begin(), notice.messages.end(), [](const auto& m) {
        return m == "Can't get block." || m == "Bad Type" || m == "Pointers are corrupted" || m == "End of File";
    });
    FUZZ_CHECK(mainErrors <= 1 && (df->hasBlocks() || mainErrors == 1) && !isBusy());
    if (!df->hasBlocks()) return 0;
    // advance(1) visits toEnd's count of samples, one interval apart within a
    // block, and retreat(1) the same times back.
    DataFileIter last(*df), it(*df);
    last.toEnd(true);
    std::vector<CTime> times{it.time};
    for (const DataBlock* b = it.block(); it.advance(1) != SeekStatus::AfterEnd; times.push_back(it.time), b = it.block())
        FUZZ_CHECK(it.sampleNumber == times.size() && times.size() <= last.sampleNumber &&
                   (b != it.block() || it.time.ticks() == times.back().ticks() + b->interval));
    FUZZ_CHECK(times.size() == last.sampleNumber + 1u && it.time == last.time);
    for (std::size_t i = times.size() - 1; i > 0; --i) FUZZ_CHECK(it.retreat(1) && it.time == times[i - 1]);
    FUZZ_CHECK(!it.retreat(1) && it.sampleNumber == 0);
    // The export of the whole span: a row per sample at most. Exporters live
    // across inputs, as each sets up its chunk buffers once.
    static std::FILE* const sink = std::fopen("/dev/null", "w");
    static std::vector<dFileIt> items(1, dFileIt(std::make_shared<DataFile>()));
    static std::unique_ptr<DataExporter> exporters[12];
    ExportOptions options;
    options.timeFormat = static_cast<std::uint8_t>(size % 4);
    options.dateFormat = static_cast<std::uint8_t>(size / 4 % 3);
    options.stream = sink;
    if (!exporters[size % 12]) exporters[size % 12] = std::make_unique<DataExporter>(items.data(), 1, options);
    items[0] = dFileIt(df);
    FUZZ_CHECK(exporters[size % 12]->run(times.front(), times.back(), "") != ExportResult::Failed && exporters[size % 12]->rows() <= times.size() + 1);
    items[0] = dFileIt(std::make_shared<DataFile>());
    notice.clear();
    df->close();
    FUZZ_CHECK(notice.messages.size() <= 1 && !isBusy());
    return 0;
}
